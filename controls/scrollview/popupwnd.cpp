#include "popupwnd.h"

#include "platform/gui/dc.h"
#include "platform/gui/textedge.h"

#include <QCursor>

namespace vantile {

PopupClass::PopupClass(QWidget* owner) : tv::OwnerDrawSurface(owner)
{
    setWindowFlags(Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);
    setAttribute(Qt::WA_ShowWithoutActivating);
    setFocusPolicy(Qt::NoFocus);
    timer_.setInterval(250);
    timer_.Timer.connect([this] { checkHotArea(); });
}

PopupClass::~PopupClass() = default;

void PopupClass::Move(int x, int y, int width, int height)
{
    setGeometry(x, y, std::max(1, width), std::max(1, height));
    // The owner draws before the pop-up shows: the back store must have its size now, and
    // what is new gets its background at once, not later over what the owner drew.
    syncBackStore();
    paintNow();
}

void PopupClass::setBackColor(uint32_t oleColor)
{
    backColor_ = oleColor;
    invalidateAll();
}

void PopupClass::Show()
{
    shown_ = true;
    show();
    if (!hotArea_.isEmpty()) timer_.setEnabled(true);
}

void PopupClass::Hide()
{
    if (!shown_) return;
    shown_ = false;
    timer_.setEnabled(false);
    hide();
    HideEvent.raise();
}

void PopupClass::checkHotArea()
{
    if (shown_ && !hotArea_.isEmpty() && !hotArea_.contains(QCursor::pos())) Hide();
}

void PopupClass::paintInvalid(const QRegion& region)
{
    const tv::HandleId brush = tv::CreateSolidBrush(tv::TranslateOleColor(backColor_));
    for (const QRect& r : region) tv::FillRect(hdc(), tv::Rect::fromQRect(r), brush);
    tv::DeleteObject(brush);
}

ToolTipWnd::ToolTipWnd(QWidget* owner, const tv::StdFont& font) : PopupClass(owner), font_(font)
{
    hFont_ = tv::CreateFontFromObject(font_, hdc());
    tv::SelectObject(hdc(), hFont_);
}

ToolTipWnd::~ToolTipWnd()
{
    tv::SelectObject(hdc(), tv::GetStockGuiFont());
    tv::DeleteObject(hFont_);
}

void ToolTipWnd::setFontStyle(int32_t style)
{
    tv::ApplyFontStyle(font_, style);
    const tv::HandleId f = tv::CreateFontFromObject(font_, hdc());
    tv::SelectObject(hdc(), f);
    tv::DeleteObject(hFont_);
    hFont_ = f;
}

void ToolTipWnd::DrawTip(const QString& text)
{
    text_ = text;
    const tv::HandleId h = hdc();
    const int w = width(), ht = height();
    // The whole window gets its colour now: the owner draws before the first paint.
    validate(QRegion(rect()));
    paintInvalid(QRegion(rect()));
    tv::FrameRect(h, {0, 0, w, ht}, tv::COLOR_WINDOWFRAME + 1);
    tv::SetBkMode(h, tv::TRANSPARENT);
    tv::SetTextColor(h, tv::GetSysColor(tv::COLOR_INFOTEXT));
    tv::Rect r{5, 2, w - 1, ht - 2};
    tv::DrawText(h, text, r, tv::DT_NOPREFIX);
}

} // namespace vantile
