#include "simplereport.h"

#include "frmcolumnheader.h"
#include "frmsearch.h"
#include "catalogue/tree/modsqltree.h"
#include "platform/component/propertybag.h"
#include "platform/db/database.h"
#include "platform/gui/imagelist.h"
#include "platform/gui/modfont.h"
#include "catalogue/core/modlang.h"
#include "platform/gui/msgbox.h"
#include "platform/gui/systimer.h"
#include "platform/runtime/format.h"

#include <QApplication>
#include <QMenu>
#include <QProgressBar>
#include <QScopeGuard>
#include <cmath>

namespace tv {

namespace {

// The hourglass pointer while the control works; back to normal whatever happens.
auto busyPointer()
{
    QApplication::setOverrideCursor(Qt::WaitCursor);
    return qScopeGuard([] { QApplication::restoreOverrideCursor(); });
}

int32_t roundEven(double v) { return int32_t(std::nearbyint(v)); }

// The two sort arrows of the header, 8 x 8: image 1 points up, image 2 down.
std::shared_ptr<ImageList> makeSortArrows()
{
    auto list = std::make_shared<ImageList>();
    // The list keeps its images at their own size: scaled to the usual 16, they blur.
    list->ImageWidth = list->ImageHeight = 8;
    for (bool up : {true, false}) {
        QImage image(8, 8, QImage::Format_ARGB32);
        image.fill(Qt::transparent);
        for (int y = 0; y < 4; ++y)
            for (int x = 3 - y; x <= 4 + y; ++x) image.setPixel(x, up ? 2 + y : 5 - y, qRgb(96, 96, 96));
        list->Add(image);
    }
    return list;
}

} // namespace

SimpleReport::SimpleReport(QWidget* parent) : QWidget(parent)
{
    grid_ = new vantile::ListView(this);
    grid_->InitProperties();
    grid_->DataMode = vantile::vtlVirtual;
    grid_->setToolTipMode(vantile::vtlCellTips);
    grid_->setBorderAppearance(0);
    grid_->setBorderType(15);
    grid_->setSnapMode(true);
    grid_->SmoothTracking = true;
    grid_->EmptyHeader = true;
    progressBar_ = new QProgressBar(this);
    progressBar_->hide();
    imglArrows_ = makeSortArrows();
    clock_.start();

    connections_.emplace_back(grid_->FetchData.connect(
        [this](int32_t s, int32_t e, int32_t& pos, Variant& block) { onFetchData(s, e, pos, block); }));
    connections_.emplace_back(grid_->FetchContents.connect(
        [this](int32_t r, int32_t c, Variant& v, Variant& i) { onFetchContents(r, c, v, i); }));
    connections_.emplace_back(grid_->HeaderClick.connect([this](int32_t i, int16_t b) { onHeaderClick(i, b); }));
    connections_.emplace_back(grid_->SelectionChanged.connect([this] { onSelectionChanged(); }));
    connections_.emplace_back(grid_->KeyDown.connect([this](int16_t& k, int16_t& s) { onKeyDown(k, s); }));
    connections_.emplace_back(grid_->KeyPress.connect([this](int16_t& k) { onKeyPress(k); }));
    connections_.emplace_back(grid_->ItemClick.connect([this](int32_t row, int32_t col, int16_t b, int16_t k, int32_t,
                                                              int32_t) {
        ItemClick.raise(row, b, k);
        ItemClickEx.raise(row, col, b, k);
    }));
    connections_.emplace_back(
        grid_->ItemDblClick.connect([this](int32_t row, int32_t) { ItemDblClick.raise(row, int16_t(1), int16_t(0)); }));
    connections_.emplace_back(grid_->CellTip.connect([this](int32_t r, int32_t c, QString& t) { CellTip.raise(r, c, t); }));
    connections_.emplace_back(grid_->FetchStyleEx.connect(
        [this](int32_t r, int32_t c, int32_t status, Variant& v, int32_t& fs, int32_t& tc, int32_t& bc, int32_t&) {
            FetchStyle.raise(r, c, status, v, fs, tc, bc);
        }));
    // The host starts its own drag when it wants one; the grid never runs its cell drag.
    connections_.emplace_back(grid_->CellDrag.connect(
        [this](int32_t, int32_t, int32_t row, int32_t, int32_t, int32_t, int32_t, int16_t shift, bool& cancel) {
            DragItem.raise(row, shift);
            cancel = true;
        }));
}

SimpleReport::~SimpleReport()
{
    connections_.clear();
    delete frmFind_;
    frmFind_ = nullptr;
    CloseData();
    db_.reset();
}

void SimpleReport::reportError(const char* procedure, const QString& description) const
{
    // The list's failures are the engine's, reading the catalogue.
    MsgBox(FailureText(QStringLiteral("Fehler beim Lesen der Datenbank: "), description), vbCritical,
           QStringLiteral("Q16-Report-Fehler: ") + QString::fromLatin1(procedure));
}

// ---- persistence ---------------------------------------------------------------------------

void SimpleReport::InitProperties()
{
    setBorderStyle(1);
    setGridLines(false);
    maxColWidth_ = 300;
    currencyFormat_ = QStringLiteral("Currency");
    currencyFactor_ = 1.0;
    filterColumn_ = Variant(int32_t(-1));
    imageColumn_ = Variant(int32_t(-1));
    keyColumn_ = Variant(int32_t(-1));
    translateIcons_ = false;
    invisibleColMode_ = 1;
    autoSizeMode_ = 1;
    lockUpdate_ = false;
    dblClickOnReturn_ = true;
    searchMode_ = 0;
    multiSelect_ = false;
    sortMode_ = 0;
    recordsetType_ = 1;
    showContextMenu_ = true;
    showThousands_ = false;
    hoverSelect_ = false;
    grid_->setSnapMode(true);
    enableHotKeys_ = true;
    grid_->setScrollbarStyle(3);
}

void SimpleReport::ReadProperties(const PropertyBag& bag)
{
    auto read = [&bag](const char* key, const Variant& def) { return bag.ReadProperty(QString::fromLatin1(key), def); };
    // A colour may come as a negative Long (a system colour) or as its unsigned value.
    setBackColor(uint32_t(int64_t(read("BackColor", Variant(double(0x80000005u))).toDouble())));
    setBorderStyle(read("BorderStyle", Variant(int16_t(1))).toInt());
    if (auto font = read("Font", Variant()).as<StdFont>()) setFont(font);
    setEnabled(read("Enabled", Variant(true)).toBool());
    setGridLines(read("GridLines", Variant(false)).toBool());
    maxColWidth_ = read("MaxColWidth", Variant(int16_t(300))).toInt();
    currencyFormat_ = read("CurrencyFormat", Variant(QStringLiteral("Currency"))).text();
    // A stored factor of 0 or below would divide every currency value by nothing: the same
    // rule as setting the property keeps 1.
    const double factor = read("CurrencyFaktor", Variant(1.0)).toDouble();
    currencyFactor_ = factor > 0 ? factor : 1.0;
    filterColumn_ = read("FilterColumn", Variant(int16_t(-1)));
    filterValue_ = read("FilterValue", Variant::null());
    imageColumn_ = read("ImageColumn", Variant(int16_t(-1)));
    translateIcons_ = read("TranslateIcons", Variant(false)).toBool();
    invisibleCols_ = read("InvisibleCols", Variant(int16_t(0))).toInt();
    invisibleColMode_ = read("InvisibleColMode", Variant(int32_t(0))).toLong();
    keyColumn_ = read("KeyColumn", Variant(int16_t(-1)));
    autoSizeMode_ = read("AutoSizeMode", Variant(int32_t(0))).toLong();
    lockUpdate_ = read("LockUpdate", Variant(false)).toBool();
    dblClickOnReturn_ = read("DblClickOnReturn", Variant(false)).toBool();
    searchMode_ = read("SearchMode", Variant(int32_t(0))).toLong();
    setMultiSelect(read("MultiSelect", Variant(false)).toBool());
    setSortMode(read("SortMode", Variant(int32_t(0))).toLong());
    optimizeLoad_ = read("OptimizeLoad", Variant(false)).toBool();
    recordSource_ = read("RecordSource", Variant(QString())).text();
    recordsetType_ = read("RecordsetType", Variant(int32_t(0))).toLong();
    setShowCellTips(read("ShowCellTips", Variant(false)).toBool());
    setShowContextMenu(read("ShowContextMenu", Variant(false)).toBool());
    setEmptyRows(read("EmptyRows", Variant(true)).toBool());
    setFetchRowStyle(read("FetchRowStyle", Variant(false)).toBool());
    showThousands_ = read("ShowThousands", Variant(false)).toBool();
    setHoverSelect(read("HoverSelect", Variant(false)).toBool());
    caseSensitive_ = read("CaseSensitive", Variant(false)).toBool();
    setRowHeight(read("RowHeight", Variant(int16_t(16))).toInt());
    setSnapmode(read("SnapMode", Variant(true)).toBool());
    enableHotKeys_ = read("EnableHotKeys", Variant(true)).toBool();
    setScrollbarStyle(read("ScrollbarStyle", Variant(int32_t(3))).toLong());
    setFetchToolTips(read("FetchToolTips", Variant(false)).toBool());
    grid_->setHeaderIcons(imglArrows_);
}

void SimpleReport::WriteProperties(PropertyBag& bag) const
{
    auto write = [&bag](const char* key, const Variant& value, const Variant& def) {
        bag.WriteProperty(QString::fromLatin1(key), value, def);
    };
    write("BackColor", Variant(double(BackColor())), Variant(double(0x80000005u)));
    write("BorderStyle", Variant(int16_t(BorderStyle())), Variant(int16_t(1)));
    write("Font", Variant(std::static_pointer_cast<Object>(Font())), Variant());
    write("Enabled", Variant(isEnabled()), Variant(true));
    write("GridLines", Variant(GridLines()), Variant(false));
    write("MaxColWidth", Variant(maxColWidth_), Variant(int16_t(300)));
    write("CurrencyFormat", Variant(currencyFormat_), Variant(QStringLiteral("Currency")));
    write("CurrencyFaktor", Variant(currencyFactor_), Variant(1.0));
    write("FilterColumn", filterColumn_, Variant(int16_t(-1)));
    write("FilterValue", filterValue_, Variant::null());
    write("ImageColumn", imageColumn_, Variant(int16_t(-1)));
    write("TranslateIcons", Variant(translateIcons_), Variant(false));
    write("InvisibleCols", Variant(invisibleCols_), Variant(int16_t(0)));
    write("InvisibleColMode", Variant(invisibleColMode_), Variant(int32_t(0)));
    write("KeyColumn", keyColumn_, Variant(int16_t(-1)));
    write("AutoSizeMode", Variant(autoSizeMode_), Variant(int32_t(0)));
    write("LockUpdate", Variant(lockUpdate_), Variant(false));
    write("DblClickOnReturn", Variant(dblClickOnReturn_), Variant(false));
    write("SearchMode", Variant(searchMode_), Variant(int32_t(0)));
    write("MultiSelect", Variant(multiSelect_), Variant(false));
    write("SortMode", Variant(sortMode_), Variant(int32_t(0)));
    write("OptimizeLoad", Variant(optimizeLoad_), Variant(false));
    write("RecordSource", Variant(recordSource_), Variant(QString()));
    write("RecordsetType", Variant(recordsetType_), Variant(int32_t(0)));
    write("ShowCellTips", Variant(ShowCellTips()), Variant(false));
    write("ShowContextMenu", Variant(showContextMenu_), Variant(false));
    write("EmptyRows", Variant(EmptyRows()), Variant(true));
    write("FetchRowStyle", Variant(FetchRowStyle()), Variant(false));
    write("ShowThousands", Variant(showThousands_), Variant(false));
    write("HoverSelect", Variant(hoverSelect_), Variant(false));
    write("CaseSensitive", Variant(caseSensitive_), Variant(false));
    write("RowHeight", Variant(int16_t(RowHeight())), Variant(int16_t(16)));
    write("SnapMode", Variant(Snapmode()), Variant(true));
    write("EnableHotKeys", Variant(enableHotKeys_), Variant(true));
    write("ScrollbarStyle", Variant(ScrollbarStyle()), Variant(int32_t(3)));
    write("FetchToolTips", Variant(FetchToolTips()), Variant(false));
}

// ---- display properties ----------------------------------------------------------------------

void SimpleReport::setBackColor(uint32_t color)
{
    grid_->setBackColor(color);
    grid_->Refresh();
    changed("BackColor");
}

void SimpleReport::setFont(std::shared_ptr<StdFont> font)
{
    grid_->setFont(std::move(font));
    changed("Font");
}

int32_t SimpleReport::BorderStyle() const { return grid_->ScrollWnd()->BorderStyle(); }

void SimpleReport::setBorderStyle(int32_t style)
{
    grid_->ScrollWnd()->setBorderStyle(style);
    changed("BorderStyle");
}

void SimpleReport::setGridLines(bool on)
{
    grid_->setBorderAppearance(on ? -2 : 0);
    changed("GridLines");
}

void SimpleReport::setSnapmode(bool on)
{
    grid_->setSnapMode(on);
    changed("SnapMode");
}

void SimpleReport::setEmptyRows(bool on)
{
    grid_->EmptyRows = on;
    changed("EmptyRows");
}

void SimpleReport::setRowHeight(int32_t px)
{
    grid_->setRowHeight(px);
    changed("RowHeight");
}

void SimpleReport::setFetchRowStyle(bool on)
{
    grid_->FetchRowStyle = on;
    changed("FetchRowStyle");
}

void SimpleReport::setScrollbarStyle(int32_t style)
{
    grid_->setScrollbarStyle(style);
    changed("ScrollbarStyle");
}

void SimpleReport::setShowCellTips(bool on)
{
    if (on) grid_->setToolTipMode(vantile::vtlCellTips);
    else if (grid_->ToolTipMode() == vantile::vtlCellTips) grid_->setToolTipMode(vantile::vtlNoTips);
    changed("ShowCellTips");
}

void SimpleReport::setFetchToolTips(bool on)
{
    if (on) grid_->setToolTipMode(vantile::vtlFetchTips);
    else if (grid_->ToolTipMode() == vantile::vtlFetchTips) grid_->setToolTipMode(vantile::vtlNoTips);
    changed("FetchToolTips");
}

void SimpleReport::setAutoRefresh(bool on)
{
    const bool was = grid_->AutoRefresh();
    grid_->setAutoRefresh(on);
    if (on && !was) grid_->Refresh();
}

// ---- stored values with effects ------------------------------------------------------------

void SimpleReport::setFilterColumn(const Variant& v)
{
    filterColumn_ = v;
    filterValue_ = Variant::null();
    changed("FilterColumn");
}

void SimpleReport::setFilterValue(const Variant& v)
{
    filterValue_ = v;
    changed("FilterValue");
    if (!recordSource_.isEmpty() && filterColumn_.toLong() != -1) UpdateView(true, false);
}

void SimpleReport::setInvisibleCols(int16_t n)
{
    if (n == invisibleCols_) return;
    invisibleCols_ = n;
    changed("InvisibleCols");
}

void SimpleReport::setInvisibleColMode(int32_t mode)
{
    if (mode == invisibleColMode_) return;
    invisibleColMode_ = mode;
    changed("InvisibleColMode");
}

void SimpleReport::setLockUpdate(bool on)
{
    lockUpdate_ = on;
    changed("LockUpdate");
    if (!on) Requery();
}

void SimpleReport::setMultiSelect(bool on)
{
    multiSelect_ = on;
    grid_->SelectionMode = on ? vantile::vtlMultiSelect : vantile::vtlSingleSelect;
    changed("MultiSelect");
}

void SimpleReport::setHoverSelect(bool on)
{
    if (on == hoverSelect_) return;
    hoverSelect_ = on;
    grid_->SelectionMode = on ? vantile::vtlHoverSelect : vantile::vtlSingleSelect;
    changed("HoverSelect");
}

void SimpleReport::setSortMode(int32_t mode)
{
    sortMode_ = mode;
    if (mode == 0) sortColumn_ = 0;
    else if (mode == 1 || mode == 2) sortColumn_ = -1;
    changed("SortMode");
}

void SimpleReport::setCurrencyFactor(double factor)
{
    if (factor <= 0) return;
    currencyFactor_ = factor;
    changed("CurrencyFaktor");
}

// ---- layout of the parts ---------------------------------------------------------------------

void SimpleReport::layoutParts()
{
    const int barHeight = progressBar_->isVisible() ? progressBar_->sizeHint().height() : 0;
    grid_->setGeometry(0, 0, width(), std::max(0, height() - barHeight));
    if (barHeight) progressBar_->setGeometry(0, height() - barHeight, width(), barHeight);
}

void SimpleReport::resizeEvent(QResizeEvent* e)
{
    QWidget::resizeEvent(e);
    layoutParts();
}

void SimpleReport::showEvent(QShowEvent* e)
{
    QWidget::showEvent(e);
    // Only the grid's tips appear, not the one the container gave the control.
    if (grid_->ToolTipMode() != vantile::vtlNoTips) setToolTip(QString());
    LoadPending(false);
}

void SimpleReport::moveEvent(QMoveEvent* e)
{
    QWidget::moveEvent(e);
    if (isVisible()) LoadPending(false);
}

// ---- record source -------------------------------------------------------------------------

void SimpleReport::setDataBase(std::shared_ptr<Database> database)
{
    if (!database) return;
    db_ = std::move(database);
    setRecordSource(recordSource_);
}

void SimpleReport::setRecordSet(const std::shared_ptr<Recordset>& recordset)
{
    if (recordset) setRecordSource(recordset->Name());
}

void SimpleReport::setRecordSource(const QString& source)
{
    recordSource_ = source;
    changed("RecordSource");
    if (source.isEmpty()) {
        CloseData();
        clearGrid();
    } else {
        OpenView();
    }
    firstCached_ = lastCached_ = -1;
}

void SimpleReport::Setup(const QString& recordSource, int16_t invisCols, int32_t invisColMode, const QString& layout,
                         const Variant& imageColumn, bool translateIcons, const Variant& keyColumn,
                         const Variant& filterColumn)
{
    if (invisCols != -1) setInvisibleCols(invisCols);
    if (imageColumn.toLong() != -2) setImageColumn(imageColumn);
    invisibleColMode_ = invisColMode;
    layout_ = layout;
    filterColumn_ = filterColumn;
    keyColumn_ = keyColumn;
    translateIcons_ = translateIcons;
    setRecordSource(recordSource);
}

void SimpleReport::clearGrid()
{
    grid_->setRowCount(0);
    grid_->Reset();
    if (grid_->AutoRefresh()) grid_->Refresh();
}

bool SimpleReport::filterActive() const { return filterColumn_.toLong() != -1 && !filterValue_.text().isEmpty(); }

bool SimpleReport::OpenView()
{
    ascending_ = true;
    if (sortMode_ != 1 && sortMode_ != 2) {
        sortColumn_ = invisibleColMode_ == 1 ? invisibleCols_ : 0;
        FetchColumn.raise(sortColumn_);
    } else {
        sortColumn_ = -1;
    }
    if (DataSetup() == -1) return false;
    if (!rs_) {
        // Nothing open (a load kept pending): no columns or rows of an earlier source stay.
        clearGrid();
        return false;
    }
    return ColumnSetup();
}

int32_t SimpleReport::DataSetup()
{
    if (!db_ || recordSource_.isEmpty()) {
        if (rs_) rs_->Close();
        rs_.reset();
        return 0;
    }
    if (!IsOnScreen()) {
        // The load waits until the list shows; the rows of the previous source must not stay
        // meanwhile, or the pending load would never run.
        if (rs_) rs_->Close();
        rs_.reset();
        return 0;
    }
    const int32_t filterColumn = filterActive() ? filterColumn_.toLong() : -1;
    const int32_t sortColumn = sortMode_ == 1 ? -1 : sortColumn_;
    const QString sql = MakeSQLParamQuery(recordSource_, filterColumn, sortColumn, ascending_);
    if (!query_) {
        query_ = db_->CreateQueryDef(QString(), sql);
        if (!query_) {
            reportError("DataSetup", db_->LastError().description);
            return 0;
        }
    } else if (query_->SQL() != sql) {
        if (DbError e = query_->SetSQL(sql)) {
            reportError("DataSetup", e.description);
            return 0;
        }
    }
    if (filterColumn != -1) query_->Parameters(QStringLiteral("XXX")).Value = filterValue_;
    if (rs_) rs_->Close();
    rs_ = recordsetType_ == 1 ? query_->OpenRecordset(dbOpenDynaset, dbSeeChanges | dbReadOnly)
                              : query_->OpenRecordset(dbOpenSnapshot, dbSeeChanges);
    if (!rs_) {
        reportError("DataSetup", query_->LastError().description);
        return 0;
    }
    if (rs_->RecordCount() > 0) {
        rs_->MoveLast();
        return rs_->RecordCount();
    }
    return 0;
}

void SimpleReport::CloseData()
{
    if (rs_) rs_->Close();
    rs_.reset();
    if (query_) query_->Close();
    query_.reset();
}

void SimpleReport::Requery()
{
    if (rs_) UpdateView(false, true);
}

void SimpleReport::UpdateView(bool rebuild, bool keepPosition)
{
    RememberSelectedKey();
    int32_t count = 0;
    if (rebuild) {
        count = DataSetup();
    } else if (rs_) {
        if (DbError e = rs_->Requery()) {
            reportError("UpdateView", e.description);
            return;
        }
        if (rs_->RecordCount() >= 1) {
            rs_->MoveLast();
            count = rs_->RecordCount();
        }
    }
    firstCached_ = lastCached_ = -1;
    grid_->setRowCount(count);
    RestoreSelectedKey(keepPosition);
    grid_->Refresh();
}

int32_t SimpleReport::fieldOrdinal(const Variant& field) const
{
    if (!rs_) return -1;
    if (field.isNumber()) {
        const int32_t i = field.toLong();
        return i >= 0 && i < rs_->FieldCount() ? i : -1;
    }
    for (int i = 0; i < rs_->FieldCount(); ++i)
        if (rs_->Fields(i).Name().compare(field.text(), Qt::CaseInsensitive) == 0) return i;
    return -1;
}

void SimpleReport::RememberSelectedKey()
{
    keptKey_ = keptRow_ = keptIndex_ = Variant::null();
    if (!rs_) return;
    const int32_t selected = SelectedIndex();
    if (selected == -1) return;
    if (rs_->SetAbsolutePosition(selected)) return;
    const int32_t key = fieldOrdinal(keyColumn_);
    if (keyColumn_.toLong() != -1 && key >= 0) {
        Field& f = rs_->Fields(key);
        keptKey_ = Variant(MakeSQLValue(f.Type(), f.Value()));
    } else {
        keptRow_ = Variant(rs_->GetRows(1));
    }
    keptIndex_ = Variant(selected);
}

void SimpleReport::RestoreSelectedKey(bool keepPosition)
{
    auto forget = qScopeGuard([this] { keptKey_ = keptRow_ = keptIndex_ = Variant::null(); });
    if (ItemCount() <= 0 || !rs_) return;
    QString criterion;
    const int32_t key = fieldOrdinal(keyColumn_);
    if (keyColumn_.toLong() != -1 && key >= 0) {
        // The name is bracketed: the lists' column names are captions, which may hold blanks.
        if (!keptKey_.isNull() && !keptKey_.text().isEmpty())
            criterion = QLatin1Char('[') + rs_->Fields(key).Name() + QStringLiteral("]=") + keptKey_.text();
    } else if (const VariantArray* row = keptRow_.array(); row && row->dims() == 2 && row->count(2) > 0) {
        for (int i = 0; i < rs_->FieldCount() && i <= row->ubound(1); ++i) {
            const Variant& v = row->at(i, row->lbound(2));
            if (v.isEmptyOrNull()) continue;
            const QString literal = MakeSQLValue(rs_->Fields(i).Type(), v);
            if (literal.isEmpty()) continue;
            criterion += (criterion.isEmpty() ? QStringLiteral("[") : QStringLiteral(" and [")) +
                         rs_->Fields(i).Name() + QStringLiteral("] =") + literal;
        }
    }
    if (criterion.isEmpty()) return;
    rs_->FindFirst(criterion);
    if (!rs_->LastError() && !rs_->NoMatch()) {
        setSelectedIndex(rs_->AbsolutePosition());
    } else if (keepPosition && !keptIndex_.isNull()) {
        setSelectedIndex(std::min(keptIndex_.toLong(), ItemCount() - 1));
    } else {
        setSelectedIndex(0);
    }
}

void SimpleReport::Resort(int16_t column, bool ascending)
{
    if (grid_->RowCount() == 0 || column < 0 || column >= grid_->Columns()->Count()) return;
    if (sortColumn_ != -1)
        if (auto old = grid_->Columns()->Item(Variant(int32_t(sortColumn_)))) old->Header(0)->Icons = Variant::null();
    ascending_ = ascending;
    sortColumn_ = column;
    if (auto col = grid_->Columns()->Item(Variant(int32_t(column))))
        col->Header(0)->Icons = Variant(int32_t(ascending ? -2 : -1));
    sortChange_ = true;
    UpdateView(true, false);
    // When the kept row stays where it was, the grid reports no change, and the flag must
    // not swallow the user's next one.
    sortChange_ = false;
}

Variant SimpleReport::FieldValue(const Variant& field, int32_t row)
{
    if (!LoadPending(true)) return Variant::null();
    if (row == -1) row = SelectedIndex();
    if (row == -1 || row >= rs_->RecordCount()) return Variant::null();
    const int32_t ordinal = fieldOrdinal(field);
    if (ordinal < 0) return Variant::null();
    if (row < firstCached_ || row > lastCached_) {
        if (rs_->SetAbsolutePosition(row)) return Variant::null();
        return rs_->Fields(ordinal).Value();
    }
    return grid_->Data(Variant(ordinal), row);
}

// ---- delayed first load ----------------------------------------------------------------------

bool SimpleReport::IsOnScreen() const
{
    if (!optimizeLoad_ || loadForced_) return true;
    if (!isVisible()) return false;
    const QWidget* container = parentWidget();
    return !container || container->rect().intersects(geometry());
}

bool SimpleReport::LoadPending(bool force)
{
    loadForced_ = force;
    if (optimizeLoad_ && !rs_ && IsOnScreen()) {
        auto busy = busyPointer();
        OpenView();
    }
    loadForced_ = false;
    return rs_ != nullptr;
}

// ---- row cache -----------------------------------------------------------------------------

void SimpleReport::onFetchData(int32_t startIndex, int32_t endIndex, int32_t& cachePos, Variant& block)
{
    if (!rs_ || rs_->RecordCount() == 0) return;
    if (const VariantArray* a = block.array();
        a && a->dims() == 2 && startIndex >= a->lbound(2) && endIndex <= a->ubound(2))
        return;
    const int32_t rowHeight = std::max(1, grid_->RowHeight());
    const int32_t n = roundEven(2.0 * grid_->height() / rowHeight);
    const int32_t m = roundEven((endIndex - startIndex + 1) / 2.0) + startIndex;
    int32_t first = m - roundEven((n - 1) / 2.0);
    int32_t last = roundEven((n - 1) / 2.0) + m;
    const int32_t rows = grid_->RowCount();
    if (first >= 0 && last > rows - 1) first -= last - rows;
    if (first < 0) last += -first;
    first = std::max(first, 0);
    last = std::min(last, rows - 1);
    if (rs_->SetAbsolutePosition(first)) return;
    cachePos = first;
    block = Variant(rs_->GetRows(last - first + 1));
    const VariantArray* got = block.array();
    const int32_t delivered = got && got->dims() == 2 ? got->count(2) : 0;
    firstCached_ = first;
    lastCached_ = first + delivered - 1;
    if (delivered != last - first + 1) Requery();
}

// ---- columns -------------------------------------------------------------------------------

std::shared_ptr<vantile::Columns> SimpleReport::Columns()
{
    LoadPending(true);
    return rs_ ? grid_->Columns() : nullptr;
}

QString SimpleReport::Layout() const { return grid_->Columns()->Layout(); }

bool SimpleReport::ColumnSetup()
{
    if (!db_ || !rs_ || lockUpdate_) return false;
    const bool autoRefresh = grid_->AutoRefresh();
    grid_->setAutoRefresh(false);
    auto restore = qScopeGuard([&] { grid_->setAutoRefresh(autoRefresh); });
    grid_->Reset();

    const int32_t fields = rs_->FieldCount();
    int32_t hiddenFirst = 0, hiddenLast = -1, firstVisible = 0;
    if (invisibleCols_ > 0 && invisibleColMode_ != 0) {
        hiddenLast = invisibleCols_ - 1;
        firstVisible = invisibleCols_;
    } else if (invisibleCols_ > 0) {
        hiddenFirst = fields - invisibleCols_;
        hiddenLast = fields - 1;
    }
    if (sortMode_ != 0) sortColumn_ = -1;
    const bool withImage = imageColumn_.toLong() != -1;
    const bool currencyByFactor = currencyFactor_ != 1 && currencyFactor_ != 0;

    auto columns = grid_->Columns();
    for (int32_t i = 0; i < fields; ++i) {
        Field& field = rs_->Fields(i);
        int32_t alignment = 0;
        QString format;
        bool fetch = false;
        switch (field.Type()) {
        case dbNumeric: case dbDecimal: case dbDouble: case dbFloat: case dbSingle:
            alignment = 2;
            if (showThousands_) format = QStringLiteral("#,0.0#################");
            break;
        case dbInteger: case dbLong: case dbBigInt: case dbByte:
            alignment = 2;
            if (showThousands_) format = QStringLiteral("#,0");
            break;
        case dbBoolean:
            alignment = 2;
            format = QStringLiteral("Yes/No");
            break;
        case dbCurrency:
            alignment = 2;
            if (currencyByFactor) fetch = true;
            else format = currencyFormat_;
            break;
        case dbDate: case dbTime:
            alignment = 1;
            break;
        case dbText: case dbMemo:
            format = QStringLiteral("RPL");
            break;
        default:
            break;
        }
        if (withImage && i == firstVisible) {
            alignment = 0;
            format.clear();
        }
        auto column = columns->Add(field.Name(), kReportColumnWidth, 0, 0, 0, false, QString(), QString(), QString(), Variant());
        if (!column) {
            reportError("ColumnSetup", QStringLiteral("Doppelter Spaltenname: ") + field.Name());
            return false;
        }
        column->Style()->SetAlignment(alignment);
        column->Format = format;
        column->MinWidth = 26;
        column->Header(0)->Text = field.Name();
        column->Header(0)->Style()->SetAlignment(alignment);
        if (fetch) column->FetchContents = true;
        if (i >= hiddenFirst && i <= hiddenLast) column->SetHidden(2);
    }
    if (auto first = columns->Item(Variant(firstVisible))) {
        first->AllowHide = false;
        if (withImage) {
            if (auto image = columns->Item(imageColumn_.isNumber() ? Variant(imageColumn_.toLong()) : imageColumn_))
                first->Icons = Variant(image->Key());
            if (translateIcons_) first->FetchContents = true;
        }
    }
    if (sortColumn_ != -1)
        if (auto sorted = columns->Item(Variant(int32_t(sortColumn_)))) sorted->Header(0)->Icons = Variant(int32_t(-2));
    grid_->setRowCount(rs_->RecordCount());

    if (layout_.isEmpty()) {
        grid_->AutoSizeColumn(-1, autoSizeMode_);
    } else {
        if (layout_.contains(QLatin1Char('!'))) columns->SetLayout(layout_);
        else ApplyLegacyLayout(layout_);
        layout_ = columns->Layout();
    }
    ReinitFindDialog();
    return true;
}

void SimpleReport::ApplyLegacyLayout(const QString& text)
{
    const QStringList entries = text.split(text.contains(QLatin1Char(';')) ? QLatin1Char(';') : QLatin1Char(','));
    const int32_t n = Variant(entries.value(0)).toLong();
    auto columns = grid_->Columns();
    if (invisibleCols_ < 1) return;
    if (invisibleCols_ + n != columns->Count()) {
        grid_->AutoSizeColumn(-1, vantile::vtlUseContent);
        return;
    }
    for (int32_t k = 0; k < n; ++k) {
        const int32_t target = invisibleColMode_ != 0 ? columns->Count() - n + k : k;
        auto column = columns->Item(Variant(target));
        if (!column) continue;
        const int32_t width = Variant(entries.value(n + 1 + k)).toLong();
        column->SetOrder(Variant(entries.value(k + 1)).toLong());
        column->SetWidth(std::max(column->MinWidth, width));
        if (width == 0 && column->Hidden() == 0) column->SetHidden(1);
    }
}

void SimpleReport::AutoSizeColumns(const Variant& column)
{
    int32_t index = -1;
    if (column.isNumber()) index = column.toLong();
    else if (auto c = grid_->Columns()->Item(column); c && c->Key().compare(column.text(), Qt::CaseInsensitive) == 0)
        index = c->Index();
    grid_->AutoSizeColumn(index, autoSizeMode_ == 1 ? vantile::vtlUseContent : vantile::vtlUseCaption);
}

void SimpleReport::EditHeaders(const QString&)
{
    EditHeadersRequested.raise(this);
    frmColumnHeader dialog(grid_, window());
    dialog.exec();
}

void SimpleReport::onFetchContents(int32_t row, int32_t col, Variant& value, Variant& icons)
{
    if (!icons.isNull() && translateIcons_) {
        int32_t icon = icons.toLong();
        TranslateIcon.raise(icon);
        icons = Variant(icon);
        return;
    }
    if (!value.isNull() && value.type() == VarType::Currency) {
        value = Variant(Format(Variant(value.toDouble() / currencyFactor_), currencyFormat_));
        return;
    }
    FetchContents.raise(row, col, value, icons);
}

// ---- selection -----------------------------------------------------------------------------

int32_t SimpleReport::SelectedIndex()
{
    if (grid_->RowCount() == 0 || !rs_) return -1;
    return grid_->CurrentRow();
}

void SimpleReport::setSelectedIndex(int32_t row)
{
    if (row >= 0 && row < grid_->RowCount()) grid_->SetBookmark(row, -1, 0);
}

Collection<cListItem> SimpleReport::SelectedItems() const
{
    Collection<cListItem> items;
    // The members must outlive the pointer into their array.
    const Variant members = SelectedItemsEx();
    if (const VariantArray* rows = members.array())
        for (int i = rows->lbound(); i <= rows->ubound(); ++i) {
            cListItem item;
            item.Row = rows->at(i).toLong();
            items.add(std::move(item));
        }
    return items;
}

void SimpleReport::ClearSelection() { grid_->SelectionSet()->Add(grid_->CurrentRow(), -1, true); }

void SimpleReport::setItemSelected(int32_t row, bool selected)
{
    if (multiSelect_) {
        if (row < -1 || row >= ItemCount()) return;
        if (selected) grid_->SelectionSet()->Add(row, -1, false);
        else grid_->SelectionSet()->Remove(row, -1);
    } else if (selected) {
        setSelectedIndex(row);
    }
}

PicturePtr SimpleReport::CreateDragImage(const Variant& column)
{
    auto c = grid_->Columns()->Item(column);
    return c ? grid_->CreateDragImage(c->Index(), SelectedIndex()) : nullptr;
}

void SimpleReport::onSelectionChanged()
{
    // The reselection after a re-sort is no change the host has to hear about.
    if (sortChange_) {
        sortChange_ = false;
        return;
    }
    SelectionChange.raise();
}

void SimpleReport::onHeaderClick(int32_t index, int16_t button)
{
    bool raise = true;
    if (button == 1) {
        const bool allowed = sortMode_ == 0 || sortMode_ == 2;
        if (allowed) {
            raise = false;
            if (grid_->RowCount() > 0) {
                const bool ascending = index == sortColumn_ ? !ascending_ : true;
                auto busy = busyPointer();
                Resort(int16_t(index), ascending);
            }
        }
    } else if (showContextMenu_) {
        raise = false;
        BuildContextMenu(index);
    }
    if (raise) ColumnClick.raise(index, button, int16_t(0));
}

} // namespace tv
