#include "catalogue/reports/dbcombolist.h"

#include "catalogue/core/modlang.h"
#include "catalogue/reports/simplereport.h"
#include "controls/grid/columns.h"
#include "controls/grid/listview.h"
#include "controls/scrollview/scrollview.h"
#include "platform/db/database.h"
#include "platform/db/field.h"
#include "platform/gui/keys.h"
#include "platform/gui/screeninfo.h"
#include "platform/gui/wnd.h"

#include <QApplication>
#include <QCursor>
#include <QKeyEvent>
#include <QMenu>

#include <cmath>

namespace tv {

namespace {
int ToTwips(int pixels) { return pixels * 15; }
int ToPixels(double twips) { return int(std::lround(twips / 15)); }
constexpr uint32_t kMarkedBackColor = 0x80000018u;
} // namespace

frmDBCombo::frmDBCombo(QWidget* parent) : QDialog(parent, Qt::Popup)
{
    setObjectName(QStringLiteral("frmDBCombo"));
    // A click outside closes the list and goes no further: the window under it never sees it.
    setAttribute(Qt::WA_NoMouseReplay);
    list_ = new SimpleReport(this);
    list_->setObjectName(QStringLiteral("srpCombo"));
    // Columns as wide as their longest text, a vertical scroll bar only, the key is the text.
    list_->setAutoSizeMode(1);
    list_->setScrollbarStyle(1);
    list_->setDblClickOnReturn(false);
    list_->grid()->ScrollWnd()->installEventFilter(this);
    // The rows are sorted by what the combo shows, so that typing finds them.
    list_->FetchColumn.connect([this](int16_t& column) { column = SearchCol; });
    list_->ItemClickEx.connect([this](int32_t, int32_t column, int16_t button, int16_t) {
        if (button == vbLeftButton) {
            AcceptRow();
        } else if (button == vbRightButton) {
            clickedColumn_ = column;
            ShowPopup();
        }
    });
    list_->Keydown.connect([this](int16_t& key, int16_t& shift) { onKeyDown(key, shift); });
    // The header is hidden: a tip names the column under the pointer.
    list_->setFetchToolTips(true);
    list_->CellTip.connect([this](int32_t, int32_t column, QString& text) {
        if (auto columns = list_->Columns())
            if (auto c = columns->Item(Variant(column))) text = c->Key();
    });
    connect(qApp, &QGuiApplication::applicationStateChanged, this, [this](Qt::ApplicationState state) {
        if (state != Qt::ApplicationActive && isVisible()) CloseList();
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
    // A pop-up gives its child no keyboard focus by itself.
    list_->grid()->ScrollWnd()->setFocus(Qt::PopupFocusReason);
}

void frmDBCombo::resizeEvent(QResizeEvent* event)
{
    QDialog::resizeEvent(event);
    list_->setGeometry(0, 0, width(), height());
}

bool frmDBCombo::eventFilter(QObject* watched, QEvent* event)
{
    // Tab would move the focus before the list saw it; here it chooses the row.
    if (event->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(event)->key() == Qt::Key_Tab &&
        static_cast<QKeyEvent*>(event)->modifiers() == Qt::NoModifier) {
        int16_t key = VK_TAB, shift = 0;
        onKeyDown(key, shift);
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void frmDBCombo::onKeyDown(int16_t& key, int16_t& shift)
{
    if (shift == 0 && (key == VK_RETURN || key == VK_TAB)) {
        AcceptRow();
        key = 0;
    } else if (shift == 0 && (key == VK_ESCAPE || key == VK_F1 + 3)) {
        CloseList();
        key = 0;
    }
    else if (shift == vbAltMask && (key == VK_UP || key == VK_DOWN)) CloseList();
    else if (shift == vbCtrlMask && key == 'S') SizeList();
    else if (shift == vbCtrlMask && key == 'N') SortByNeighbour(false);
    else if (shift == vbCtrlMask && key == 'V') SortByNeighbour(true);
}

void frmDBCombo::FillList()
{
    if (Fnt) list_->setFont(Fnt);
    list_->setBackColor(Def == 2 ? kMarkedBackColor : BColor);
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
    const ScreenArea area = TheScreenInfo().AreaFromPoint(int32_t(XPos), int32_t(YPos), 15);
    const int n = list_->ItemCount();
    // The columns fit the rows the list will show, on a list that the screen's width bounds,
    // not the width it happens to have now.
    list_->resize(std::max(1, ToPixels(area.Right - area.Left)),
                  list_->RowHeight() * std::max(1, std::min(n, int(Rows))) + 2);
    list_->AutoSizeColumns(Variant(int32_t(-1)));
    auto columns = list_->Columns();

    int rows = Rows;
    int scrollBar = 0;
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
    // The row's value column, whatever place the record source gives it.
    Value = list_->SelectedIndex() >= 0 ? list_->FieldValue(Variant(ValueField)) : Variant::null();
    done(QDialog::Accepted);
}

void frmDBCombo::CloseList()
{
    Value = Variant::null();
    done(QDialog::Rejected);
}

// Escape and a click outside close the pop-up through here: no choice.
void frmDBCombo::reject()
{
    Value = Variant::null();
    QDialog::reject();
}

// ---- context menu and sorting ------------------------------------------------------------------

void frmDBCombo::ShowPopup()
{
    QMenu menu(this);
    menu.setObjectName(QStringLiteral("mnuPopup"));
    auto item = [&](const char* name, const char* caption, auto action) {
        QAction* a = menu.addAction(Translate(QString::fromUtf8(caption)));
        a->setObjectName(QString::fromLatin1(name));
        connect(a, &QAction::triggered, this, action);
        return a;
    };
    item("mnuPopupColSize", "&Spaltenbreiten optimieren", [this] { SizeList(); })
        ->setShortcut(QKeySequence(QStringLiteral("Ctrl+S")));
    // Sorting is offered where the search column is marked.
    const bool sorting = Def == 2;
    menu.addSeparator()->setVisible(sorting);
    item("mnuPopupSortThisCol", "Nach &dieser Spalte sortieren", [this] {
        if (fieldType(clickedColumn_) != dbLongBinary) SortByColumn(clickedColumn_);
    })->setVisible(sorting);
    QAction* next = item("mnuPopupSortNextCol", "Nach &nächster Spalte sortieren", [this] { SortByNeighbour(false); });
    next->setShortcut(QKeySequence(QStringLiteral("Ctrl+N")));
    next->setVisible(sorting);
    QAction* previous =
        item("mnuPopupSortPrevCol", "Nach &vorheriger Spalte sortieren", [this] { SortByNeighbour(true); });
    previous->setShortcut(QKeySequence(QStringLiteral("Ctrl+V")));
    previous->setVisible(sorting);
    menu_ = &menu;
    menu.exec(QCursor::pos());
    menu_ = nullptr;
}

int frmDBCombo::fieldType(int32_t column) const
{
    auto rs = list_->RecordSet();
    if (!rs || column < 0 || column >= rs->FieldCount()) return 0;
    return rs->Fields(column).Type();
}

void frmDBCombo::SortByColumn(int32_t column)
{
    if (fieldType(column) == dbMemo) return;
    auto columns = list_->Columns();
    if (!columns) return;
    if (Def == 2) {
        if (auto old = columns->Item(Variant(int32_t(list_->SortColumn())))) old->Style()->SetBackColor(-1);
        if (auto now = columns->Item(Variant(column))) now->Style()->SetBackColor(int32_t(BColor));
    }
    list_->Resort(int16_t(column), true);
}

void frmDBCombo::SortByNeighbour(bool backwards)
{
    auto columns = list_->Columns();
    if (!columns) return;
    auto firstColumn = columns->HitTest(1);
    auto lastColumn = columns->HitTest(columns->Width() - 1);
    if (!firstColumn || !lastColumn) return;
    const int32_t first = firstColumn->Index(), last = lastColumn->Index();
    const int32_t start = list_->SortColumn();
    int32_t c = start;
    // Long binary and memo columns cannot be sorted by; hidden ones are not seen. The walk
    // ends where it began.
    for (int32_t steps = 0; steps <= last - first; ++steps) {
        c = backwards ? (c - 1 < first ? last : c - 1) : (c + 1 > last ? first : c + 1);
        if (c == start) return;
        const int type = fieldType(c);
        auto column = columns->Item(Variant(c));
        if ((type < dbLongBinary || type >= 13) && column && column->Hidden() == 0) {
            SortByColumn(c);
            return;
        }
    }
}

} // namespace tv
