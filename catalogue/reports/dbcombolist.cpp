#include "catalogue/reports/dbcombolist.h"

#include "catalogue/reports/simplereport.h"
#include "controls/grid/columns.h"
#include "controls/grid/listview.h"
#include "platform/gui/keys.h"
#include "platform/gui/screeninfo.h"
#include "platform/gui/wnd.h"

#include <QKeyEvent>

#include <cmath>

namespace tv {

namespace {
int ToTwips(int pixels) { return pixels * 15; }
int ToPixels(double twips) { return int(std::lround(twips / 15)); }
} // namespace

frmDBCombo::frmDBCombo(QWidget* parent) : QDialog(parent, Qt::Popup)
{
    list_ = new SimpleReport(this);
    list_->setObjectName(QStringLiteral("srpCombo"));
    list_->ItemClickEx.connect([this](int32_t, int32_t, int16_t button, int16_t) {
        if (button == 1) AcceptRow();
    });
    list_->Keydown.connect([this](int16_t& key, int16_t& shift) {
        // Key codes of the grid's key events (virtual-key numbers).
        if (shift == 0 && (key == VK_RETURN || key == VK_TAB)) AcceptRow();
        else if (shift == 0 && (key == VK_ESCAPE || key == VK_F1 + 3)) CloseList();
        else if (shift == 4 && (key == VK_UP || key == VK_DOWN)) CloseList();
        else if (shift == 2 && key == 'S') SizeList();
    });
}

frmDBCombo::~frmDBCombo() = default;

void frmDBCombo::Load()
{
    if (loaded_) return;
    loaded_ = true;
    FillList();
    SizeList();
}

void frmDBCombo::showEvent(QShowEvent* event)
{
    Load();
    QDialog::showEvent(event);
}

void frmDBCombo::resizeEvent(QResizeEvent* event)
{
    QDialog::resizeEvent(event);
    list_->setGeometry(0, 0, width(), height());
}

void frmDBCombo::FillList()
{
    if (Fnt) list_->setFont(Fnt);
    list_->setBackColor(Def == 2 ? 0x80000018u : BColor);
    list_->setInvisibleColMode(InvisibleColMode);
    list_->setInvisibleCols(InvisibleCols);
    list_->setSortColumn(SearchCol);
    list_->setDataBase(ComboDB);
    list_->setRecordSource(RecordSource);

    auto columns = list_->Columns();
    if (!columns) return;
    columns->Headers()->SetVisible(false);
    columns->Style()->SetBorderType(vantile::vtlBdrCol);
    columns->Style()->SetBorderAppearance(-4);
    if (auto value = columns->Item(Variant(ValueField))) value->SetHidden(vantile::vtlHiddenAllways);
    if (auto last = columns->HitTest(columns->Width() - 1)) last->Style()->SetBorderType(vantile::vtlBdrNone);
    if (Def == 2)
        if (auto search = columns->Item(Variant(int32_t(SearchCol)))) search->Style()->SetBackColor(int32_t(BColor));

    if (!Value.isNull() && list_->ItemCount() > 0) {
        const QString text = Value.text();
        if (Value.isString() && text.startsWith(QLatin1Char('@')))
            list_->Find(Variant(int32_t(SearchCol)), Variant(text.mid(1)));
        else
            list_->Find(Variant(ValueField), Value);
    }
}

void frmDBCombo::SizeList()
{
    static ScreenInfo screen;
    const ScreenArea area = screen.AreaFromPoint(int32_t(XPos), int32_t(YPos), 15);
    list_->AutoSizeColumns(Variant(int32_t(-1)));
    auto columns = list_->Columns();

    int rows = Rows;
    int scrollBar = 0;
    const int n = list_->ItemCount();
    if (n == 0) rows = 1;
    else if (n > Rows) scrollBar = GetSystemMetrics(SM_CXVSCROLL);
    else rows = n;
    const int h = ToTwips(list_->RowHeight() * rows + 2);
    auto widthNow = [&] { return ToTwips((columns ? columns->Width() : 0) + scrollBar + 2); };
    int w = widthNow();
    auto lastColumn = [&] { return columns ? columns->HitTest(columns->Width() - 1) : nullptr; };
    if (w >= MinWidth) {
        // Stops when the last column cannot give more: a list wider than the screen with an
        // empty last column would otherwise never end.
        while (w > area.Right) {
            auto last = lastColumn();
            if (!last || last->Width() == 0) break;
            last->SetWidth(std::max(0, last->Width() - ToPixels(w - area.Right)));
            const int before = w;
            w = widthNow();
            if (w == before) break;
        }
    } else if (auto last = lastColumn()) {
        last->SetWidth(last->Width() + ToPixels(MinWidth - w));
        w = MinWidth;
    } else {
        w = MinWidth;
    }

    double left = XPos;
    if (left + w > area.Right) left = std::max(0, area.Right - w);
    double top = YPos;
    if (top + h > area.Bottom) top = YPos - ControlHeight - h;
    setGeometry(ToPixels(left), ToPixels(top), ToPixels(w), ToPixels(h));
}

void frmDBCombo::AcceptRow()
{
    Value = list_->SelectedIndex() >= 0 ? list_->FieldValue(Variant(int32_t(0))) : Variant::null();
    done(QDialog::Accepted);
}

void frmDBCombo::CloseList()
{
    Value = Variant::null();
    done(QDialog::Rejected);
}

} // namespace tv
