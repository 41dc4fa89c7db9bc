#include "scrollview.h"

#include "controls/scrollview/popupwnd.h"
#include "controls/scrollview/scrollviewclient.h"
#include "platform/gui/dc.h"
#include "platform/gui/wnd.h"

#include <QApplication>
#include <QFontMetrics>
#include <QScrollBar>
#include <QStyle>
#include <cmath>

namespace vantile {

ScrollView::ScrollView(QWidget* parent) : QFrame(parent), client_(new ScrollViewClient(this)), corner_(new QWidget(this))
{
    // The corner between two bars must be painted, or it stays black.
    corner_->setAutoFillBackground(true);
    corner_->setBackgroundRole(QPalette::Button);
    corner_->hide();
    setFocusProxy(client_);
    hoverTimer_.setInterval(400);
    hoverTimer_.Timer.connect([this] { onHover(); });
    font_ = std::make_shared<tv::StdFont>();
    applyFont();
    InitProperties();
}

ScrollView::~ScrollView()
{
    // Teardown: the client (and with it the message handling and the tip) goes first, so
    // that no event reaches a half-destroyed control; then the bars, the brush, the region.
    panTimer_.reset();
    if (toolTip_) delete toolTip_.data();
    delete client_;
    client_ = nullptr;
    bars_.reset();
    backBrush_.reset();
    deleteUpdateRegion();
}

// ---- persistence --------------------------------------------------------------------------

namespace {
const QString kFont = QStringLiteral("Font");
const QString kAppearance = QStringLiteral("Appearance");
const QString kBorderStyle = QStringLiteral("BorderStyle");
const QString kForeColor = QStringLiteral("ForeColor");
const QString kBackColor = QStringLiteral("BackColor");
const QString kRowHeight = QStringLiteral("RowHeight");
const QString kColumnWidth = QStringLiteral("ColumnWidth");
const QString kScrollbarStyle = QStringLiteral("ScrollbarStyle");
const QString kHoverTracking = QStringLiteral("HoverTracking");
constexpr uint32_t kDefaultForeColor = 0x80000008;   // window text
constexpr uint32_t kDefaultBackColor = 0x80000005;   // window background

tv::Variant colorValue(uint32_t c) { return tv::Variant(int32_t(c)); }
} // namespace

void ScrollView::InitProperties()
{
    setAppearance(cc3D);
    setBorderStyle(bsFixedSingle);
    setForeColor(kDefaultForeColor);
    setBackColor(kDefaultBackColor);
    rowHeight_ = 16;
    columnWidth_ = 4;
    scrollbarStyle_ = sbStyleNone;
}

void ScrollView::ReadProperties(const tv::PropertyBag& bag)
{
    const auto ambient = std::make_shared<tv::StdFont>();
    auto font = bag.ReadProperty(kFont, tv::Variant(std::static_pointer_cast<tv::Object>(ambient))).as<tv::StdFont>();
    setFont(font ? font->clone() : ambient);
    setAppearance(bag.ReadProperty(kAppearance, int32_t(1)).toLong());
    setBorderStyle(bag.ReadProperty(kBorderStyle, int32_t(1)).toLong());
    setForeColor(uint32_t(bag.ReadProperty(kForeColor, colorValue(kDefaultForeColor)).toLong()));
    rowHeight_ = std::max(1, bag.ReadProperty(kRowHeight, int32_t(16)).toLong());
    columnWidth_ = std::max(1, bag.ReadProperty(kColumnWidth, int32_t(4)).toLong());
    setScrollbarStyle(bag.ReadProperty(kScrollbarStyle, int32_t(-1)).toLong());
    hoverTracking_ = bag.ReadProperty(kHoverTracking, false).toBool();
    setBackColor(uint32_t(bag.ReadProperty(kBackColor, colorValue(kDefaultBackColor)).toLong()));
    // Loading forgets every row's tag. A count the host set before stays, so the tags are
    // zeroed rather than dropped: one tag per row is what every row access relies on.
    tags_.assign(size_t(itemCount_), 0);
}

void ScrollView::WriteProperties(tv::PropertyBag& bag) const
{
    bag.WriteProperty(kFont, tv::Variant(std::static_pointer_cast<tv::Object>(font_)));
    bag.WriteProperty(kAppearance, appearance_, int32_t(1));
    bag.WriteProperty(kBorderStyle, borderStyle_, int32_t(1));
    bag.WriteProperty(kForeColor, colorValue(foreColor_), colorValue(kDefaultForeColor));
    bag.WriteProperty(kBackColor, colorValue(backColor_), colorValue(kDefaultBackColor));
    bag.WriteProperty(kRowHeight, rowHeight_, int32_t(16));
    bag.WriteProperty(kColumnWidth, columnWidth_, int32_t(4));
    bag.WriteProperty(kScrollbarStyle, scrollbarStyle_, int32_t(-1));
    bag.WriteProperty(kHoverTracking, hoverTracking_, false);
}

void ScrollView::changed(const char* property) { PropertyChanged.raise(QString::fromLatin1(property)); }

// ---- plain properties ---------------------------------------------------------------------

tv::HandleId ScrollView::hdc() const { return client_->hdc(); }
tv::HandleId ScrollView::hwnd() const { return client_->hwnd(); }

void ScrollView::setForeColor(uint32_t oleColor)
{
    foreColor_ = oleColor;
    tv::SetTextColor(hdc(), tv::TranslateOleColor(oleColor));
    changed("ForeColor");
}

void ScrollView::setBackColor(uint32_t oleColor)
{
    backColor_ = oleColor;
    backBrush_ = tv::ColorBrush(oleColor);
    tv::SelectObject(hdc(), backBrush_->Handle());
    tv::SetBkColor(hdc(), tv::TranslateOleColor(oleColor));
    QPalette pal = client_->palette();
    pal.setColor(QPalette::Base, tv::OleToQColor(oleColor));
    client_->setPalette(pal);
    changed("BackColor");
    RedrawItems(-1, -1, 0, 0, false);
}

void ScrollView::applyFrame()
{
    if (borderStyle_ == bsNone) {
        setFrameStyle(QFrame::NoFrame);
    } else if (appearance_ == ccFlat) {
        setFrameStyle(QFrame::Box | QFrame::Plain);
        setLineWidth(1);
    } else {
        setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
        setLineWidth(2);
    }
    layoutChildren();
}

void ScrollView::setAppearance(int32_t v)
{
    appearance_ = v;
    applyFrame();
    changed("Appearance");
}

void ScrollView::setBorderStyle(int32_t v)
{
    borderStyle_ = v;
    applyFrame();
    changed("BorderStyle");
}

void ScrollView::applyFont()
{
    hFont_ = tv::MakeGdiObject(tv::CreateFontFromObject(*font_, hdc()));
    tv::SelectObject(hdc(), hFont_->Handle());
    client_->setFont(font_->toQFont());
}

void ScrollView::setFont(std::shared_ptr<tv::StdFont> font)
{
    font_ = font ? std::move(font) : std::make_shared<tv::StdFont>();
    applyFont();
    changed("Font");
}

void ScrollView::setRowHeight(int32_t v)
{
    if (v < 1) return;
    rowHeight_ = v;
    changed("RowHeight");
}

void ScrollView::setColumnWidth(int32_t v)
{
    if (v < 1) return;
    columnWidth_ = v;
    if (bars_ && bars_->Item(0)) bars_->Item(0)->setSingleStep(v);
    changed("ColumnWidth");
}

bool ScrollView::HasFocus() const { return tv::GetFocus() == hwnd(); }

void ScrollView::setStretchMode(bool v)
{
    stretchMode_ = v;
    changed("StretchMode");
}

int32_t ScrollView::ScaleWidth() const { return client_->width(); }
int32_t ScrollView::ScaleHeight() const { return client_->height(); }

void ScrollView::setVirtualWidth(int32_t v)
{
    virtualWidth_ = v;
    updateScrollbars();
}

void ScrollView::setBorderWidth(int32_t v)
{
    borderWidth_ = v;
    virtualWidth_ = contentsWidth_ + borderWidth_;
}

void ScrollView::SetHorizontalExt(int32_t newContentsWidth, int32_t newBorderWidth, bool update)
{
    contentsWidth_ = newContentsWidth;
    borderWidth_ = newBorderWidth;
    virtualWidth_ = contentsWidth_ + borderWidth_;
    if (update) updateScrollbars();
}

void ScrollView::setHoverTracking(bool v)
{
    hoverTracking_ = v;
    if (v)
        startHoverTracking();
    else
        stopHoverTracking();
    changed("HoverTracking");
}

void ScrollView::Refresh()
{
    client_->invalidateAll();
    client_->paintNow();
}

int32_t ScrollView::TextWidth(const QString& text) const
{
    return QFontMetrics(font_->toQFont()).horizontalAdvance(text);
}

// ---- rows and geometry --------------------------------------------------------------------

int32_t ScrollView::VisibleRows()
{
    if (rowHeight_ < 1) return 0;
    const int32_t area = ScrollAreaHeight();
    const int32_t q = area / rowHeight_;
    integral_ = area % rowHeight_ < 1;
    return integral_ ? q : q + 1;
}

bool ScrollView::IntegralHeight() const { return rowHeight_ >= 1 && ScrollAreaHeight() % rowHeight_ == 0; }

int32_t ScrollView::FirstVisibleItem() const
{
    if (!bars_) return 0;
    if (ScrollBarEx* v = bars_->Item(1)) return v->Value();
    return firstVisible_;
}

void ScrollView::setFirstVisibleItem(int32_t a)
{
    if (!bars_) return;
    if (ScrollBarEx* v = bars_->Item(1)) {
        v->setValue(a);
        return;
    }
    if (a == firstVisible_) return;
    const int32_t rows = VisibleRows();
    a = std::min(itemCount_ - rows + (integral_ ? 0 : 1), a);
    a = std::max(0, a);
    const int32_t old = firstVisible_;
    if (a == old) return;
    firstVisible_ = a;
    int32_t value = a;
    scrollRoutine(1, value, a - old, false);
}

int32_t ScrollView::LastVisibleItem()
{
    return std::min(FirstVisibleItem() + VisibleRows() - 1, itemCount_ - 1);
}

void ScrollView::setLastVisibleItem(int32_t v) { setFirstVisibleItem(v - VisibleRows() + 1); }

bool ScrollView::IsVisible(int32_t index)
{
    return index < itemCount_ && FirstVisibleItem() <= index && index <= LastVisibleItem();
}

int32_t ScrollView::HorizontalOrigin() const
{
    ScrollBarEx* h = bars_ ? bars_->Item(0) : nullptr;
    return h ? h->Value() : 0;
}

void ScrollView::setHorizontalOrigin(int32_t v)
{
    if (ScrollBarEx* h = bars_ ? bars_->Item(0) : nullptr) h->setValue(v);
}

void ScrollView::setItemCount(int32_t n)
{
    itemCount_ = std::max(0, n);
    tags_.assign(size_t(itemCount_), 0);
    applyCount();
}

void ScrollView::applyCount()
{
    if (!bars_)
        setScrollbarStyle(scrollbarStyle_);
    else
        updateScrollbars();
}

int32_t ScrollView::ItemTag(int32_t index, bool* ok) const
{
    const bool in = index >= 0 && index < itemCount_;
    if (ok) *ok = in;
    return in ? tags_[size_t(index)] : 0;
}

bool ScrollView::setItemTag(int32_t index, int32_t tag)
{
    if (index < 0 || index >= itemCount_) return false;
    tags_[size_t(index)] = tag;
    return true;
}

int32_t ScrollView::InsertItems(int32_t count, int32_t startIndex)
{
    if (count < 1) return itemCount_;
    const int32_t old = itemCount_;
    tags_.resize(size_t(old + count), 0);
    if (startIndex != -1) {
        for (int32_t i = old - 1; i >= startIndex && i >= 0; --i) {
            tags_[size_t(i + count)] = tags_[size_t(i)];
            tags_[size_t(i)] = 0;
        }
    }
    itemCount_ = old + count;
    applyCount();
    return itemCount_;
}

int32_t ScrollView::RemoveItems(int32_t count, int32_t startIndex, bool* ok)
{
    if (ok) *ok = true;
    if (count < 1) return itemCount_;
    if (startIndex < 0 || startIndex + count > itemCount_) {
        if (ok) *ok = false;
        return itemCount_;
    }
    tags_.erase(tags_.begin() + startIndex, tags_.begin() + startIndex + count);
    itemCount_ -= count;
    applyCount();
    return itemCount_;
}

void ScrollView::EnsureVisible(int32_t startIndex, int32_t endIndex, bool partialItemOK)
{
    if (endIndex == -1) endIndex = startIndex;
    if (IsVisible(startIndex)) {
        if (!IsVisible(endIndex)) {
            setFirstVisibleItem(std::min(startIndex, endIndex - LastVisibleItem() + FirstVisibleItem()));
            if (startIndex != FirstVisibleItem())
                setFirstVisibleItem(std::min(startIndex, endIndex - LastVisibleItem() + FirstVisibleItem()));
        }
    } else {
        setFirstVisibleItem(startIndex);
    }
    if (!partialItemOK && !integral_ && endIndex == LastVisibleItem() && startIndex != FirstVisibleItem())
        setFirstVisibleItem(FirstVisibleItem() + 1);
}

void ScrollView::MoveThumb(int32_t scrollbar, int32_t motion)
{
    if (!bars_) return;
    if (scrollbar == 0) {
        if (ScrollBarEx* h = bars_->Item(0)) h->MoveThumb(motion);
        return;
    }
    if (scrollbar != 1) return;
    if (ScrollBarEx* v = bars_->Item(1)) {
        v->MoveThumb(motion);
        return;
    }
    const int32_t first = FirstVisibleItem();
    switch (motion) {
    case sbLineUp: setFirstVisibleItem(first - 1); break;
    case sbLineDown: setFirstVisibleItem(first + 1); break;
    case sbPageUp: setFirstVisibleItem(first - VisibleRows()); break;
    case sbPageDown: setFirstVisibleItem(first + VisibleRows()); break;
    case sbTop: setFirstVisibleItem(0); break;
    case sbBottom: setFirstVisibleItem(itemCount_); break;
    default: break;
    }
}

void ScrollView::SetScrollbarStep(int32_t vertStep, int32_t horizStep)
{
    if (!bars_) return;
    if (ScrollBarEx* v = bars_->Item(1)) v->setSingleStep(vertStep);
    if (ScrollBarEx* h = bars_->Item(0)) h->setSingleStep(horizStep);
}

void ScrollView::setDisableScrollBars(bool v)
{
    disableScrollBars_ = v;
    if (!bars_) return;
    for (int i = 0; i < 2; ++i)
        if (ScrollBarEx* b = bars_->Item(i)) b->setDisableScrollBar(v);
}

void ScrollView::setScrollbarStyle(int32_t style)
{
    scrollbarStyle_ = style;
    bars_ = std::make_unique<ScrollbarsEx>();
    bars_->LayoutChanged = [this] { layoutChildren(); };
    bars_->Changed.connect([this](int32_t bar, int32_t& value, int32_t change, bool track) {
        scrollRoutine(bar, value, change, track);
    });
    bars_->ThumbTrack.connect([this](int32_t bar, int32_t value, int32_t state, QString& tip, bool& cancel) {
        ScrollTrack.raise(bar, value, state, tip, cancel);
    });
    bars_->ScrollEnd.connect([this](int16_t bar) { ScrollEnd.raise(bar); });
    bars_->ScrollBegin.connect([this](int16_t bar) {
        hideToolTip();
        takeFocus();
        ScrollBegin.raise(bar);
    });
    if (style == sbStyleNone) {
        bars_->Setup(nullptr, sbStyleNone);
    } else {
        bars_->Setup(this, style);
        if (ScrollBarEx* h = bars_->Item(0)) h->setSingleStep(columnWidth_);
        updateScrollbars();
    }
    layoutChildren();
    changed("ScrollbarStyle");
}

void ScrollView::updateScrollbars()
{
    if (scrollbarStyle_ == sbStyleNone || !bars_) return;
    setDisableScrollBars(disableScrollBars_);
    if (ScrollBarEx* h = bars_->Item(0)) {
        h->setDisableScrollBar(ScrollAreaWidth() > 0 ? disableScrollBars_ : true);
        h->SetRange(0, virtualWidth_ - 1, ScrollAreaWidth());
    }
    if (ScrollBarEx* v = bars_ ? bars_->Item(1) : nullptr) {
        const int32_t rows = VisibleRows();
        v->SetRange(0, IntegralHeight() ? itemCount_ - 1 : itemCount_, rows);
    }
}

void ScrollView::scrollRoutine(int32_t bar, int32_t& value, int32_t change, bool thumbTrack)
{
    if (inScroll_) return;   // a change notification while scrolling is dropped
    inScroll_ = true;
    if (bar == 0) {
        Scroll.raise(0, value, change, thumbTrack);
        if (value != HorizontalOrigin()) {
            change = value + change - HorizontalOrigin();
            setHorizontalOrigin(value);
        }
        if (ScaleWidth() >= fixedLeft_) {
            ScrollEx(change, 0, fixedLeft_, 0, ScrollAreaWidth(), -1, 0);
            FirstVisibleChanged.raise();
        }
    } else {
        Scroll.raise(1, value, change, thumbTrack);
        if (value != -1) {
            ScrollEx(0, change * rowHeight_, 0, fixedTop_, -1, ScrollAreaHeight(), 0);
            FirstVisibleChanged.raise();
        }
    }
    inScroll_ = false;
}

int32_t ScrollView::ScrollEx(int32_t dx, int32_t dy, int32_t posx, int32_t posy, int32_t w, int32_t h,
                             tv::HandleId hdcDest)
{
    const tv::HandleId dc = hdcDest ? hdcDest : hdc();
    const tv::Rect client{0, 0, ScaleWidth(), ScaleHeight()};
    tv::Rect area = client;
    area.Left = posx;
    area.Top = posy;
    if (w != -1) area.Right = posx + w;
    if (h != -1) area.Bottom = posy + h;
    const tv::HandleId rgn = tv::CreateRectRgn(0, 0, 0, 0);
    tv::ScrollDC(dc, -dx, -dy, &area, &client, rgn, nullptr);
    addToUpdateRegion(*tv::RegionOf(rgn));
    tv::DeleteObject(rgn);
    paintLoop(-1, -1, 0, dc, true);
    return 1;
}

// ---- layout -------------------------------------------------------------------------------

void ScrollView::layoutChildren()
{
    if (inLayout_) return;
    inLayout_ = true;
    // Showing one bar can call for the other; a few rounds settle it.
    for (int round = 0; round < 3; ++round) {
        const QRect r = contentsRect();
        const int ext = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this);
        ScrollBarEx* h = bars_ ? bars_->Item(0) : nullptr;
        ScrollBarEx* v = bars_ ? bars_->Item(1) : nullptr;
        const bool hShown = h && h->isShown();
        const bool vShown = v && v->isShown();
        const QRect clientRect(r.x(), r.y(), std::max(0, r.width() - (vShown ? ext : 0)),
                               std::max(0, r.height() - (hShown ? ext : 0)));
        if (v) v->widget()->setGeometry(r.right() + 1 - ext, r.y(), ext, clientRect.height());
        if (h) h->widget()->setGeometry(r.x(), r.bottom() + 1 - ext, clientRect.width(), ext);
        corner_->setGeometry(r.right() + 1 - ext, r.bottom() + 1 - ext, ext, ext);
        corner_->setVisible(hShown && vShown);
        if (clientRect == client_->geometry()) break;
        client_->setGeometry(clientRect);
        if (!client_->isVisible()) {   // hidden widgets get their resize event when shown
            client_->syncBackStore();
            onClientResize();
        }
    }
    inLayout_ = false;
}

void ScrollView::resizeEvent(QResizeEvent* e)
{
    QFrame::resizeEvent(e);
    layoutChildren();
}

void ScrollView::onClientResize()
{
    Resize.raise();
    updateScrollbars();
    if (stretchMode_) client_->invalidateAll();
}

// ---- tool tip -----------------------------------------------------------------------------

ToolTipWnd* ScrollView::toolTip() const { return toolTip_.data(); }

void ScrollView::hideToolTip()
{
    if (toolTip_ && toolTip_->isShown()) toolTip_->Hide();
}

void ScrollView::ShowToolTip(int32_t px, int32_t py, int32_t pixelWidth, int32_t pixelHeight, int32_t hotAreaX,
                             int32_t hotAreaY, int32_t hotAreaWidth, int32_t hotAreaHeight, const QString& toolText,
                             int32_t fontStyle)
{
    if (toolTip_) toolTip_->deleteLater();
    auto* tip = new ToolTipWnd(client_, *font_);
    toolTip_ = tip;
    tip->setBackColor(0x80000018);
    const QPoint hot = client_->mapToGlobal(QPoint(hotAreaX, hotAreaY));
    tip->setHotArea(QRect(hot, QSize(hotAreaWidth, hotAreaHeight)));
    // The tip is placed in screen pixels: the client point is converted first.
    const QPoint at = client_->mapToGlobal(QPoint(px, py));
    tip->Move(at.x(), at.y(), pixelWidth, pixelHeight);
    tip->setFontStyle(fontStyle);
    tip->DrawTip(toolText);
    tip->HideEvent.connect([this, tip] {
        if (toolTip_ == tip) toolTip_ = nullptr;
        tip->deleteLater();
    });
    tip->Show();
    stopHoverTracking();
}

} // namespace vantile
