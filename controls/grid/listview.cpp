// ListView: creation, persistence, properties and the data store.

#include "listview.h"

#include "column.h"
#include "controls/vantile.h"
#include "platform/gui/dc.h"
#include "platform/gui/keys.h"
#include "platform/gui/wnd.h"
#include "platform/gui/modfont.h"

#include <QCursor>
#include <QMouseEvent>
#include <QPixmap>

namespace vantile {

namespace {
constexpr uint32_t kDefaultBackColor = 0x80000005;
constexpr uint32_t kDefaultHighlight = 0x8000000D;
constexpr int32_t kWindowText = int32_t(0x80000008);
constexpr int32_t kHighlightText = int32_t(0x8000000E);
constexpr int32_t kCustomPointer = 99;   // the pointer that shows MouseIcon

int32_t colorValue(uint32_t c) { return int32_t(c); }

[[maybe_unused]] const bool kRegistered = RegisterControlClass(
    QStringLiteral("Vantile.ListView"), [](QWidget* parent) -> QWidget* { return new ListView(parent); });
} // namespace

ListView::ListView(QWidget* parent) : QWidget(parent)
{
    sv_ = new ScrollView(this);
    columns_ = vantile::Columns::Create();
    selSet_ = std::make_shared<vantile::SelectionSet>();
    selectionConnection_ = selSet_->SelectionChanged.connect([this] { onSelectionChanged(); });
    connectColumns();

    sv_->BeforeDraw.connect([this](int32_t s, int32_t e, int16_t&, tv::HandleId dc) { onBeforeDraw(s, e, dc); });
    sv_->DrawRow.connect([this](int32_t i, int16_t st, int32_t x1, int32_t y1, int32_t x2, int32_t y2,
                                tv::HandleId dc) { onDrawRow(i, st, x1, y1, x2, y2, dc); });
    sv_->EraseBackgroundEx.connect([this](tv::HandleId dc, int16_t& state) { onEraseBackgroundEx(dc, state); });
    sv_->KeyDown.connect([this](int16_t& k, int16_t& s) { onKeyDown(k, s); });
    sv_->KeyUp.connect([this](int16_t& k, int16_t& s) { KeyUp.raise(k, s); });
    sv_->KeyPress.connect([this](int16_t& k) { KeyPress.raise(k); });
    sv_->MouseDown.connect([this](int16_t b, int16_t& s, int32_t x, int32_t y) { onMouseDown(b, s, x, y); });
    sv_->MouseMove.connect([this](int16_t b, int16_t& s, int32_t x, int32_t y) { onMouseMove(b, s, x, y); });
    sv_->MouseUp.connect([this](int16_t b, int16_t& s, int32_t x, int32_t y) { onMouseUp(b, s, x, y); });
    sv_->DblClick.connect([this] { onDblClick(); });
    sv_->MouseDrag.connect([this](int32_t st, int16_t sh, int32_t x, int32_t y, bool& cancel) {
        onMouseDrag(st, sh, x, y, cancel);
    });
    sv_->MouseHoverEx.connect([this](int32_t x, int32_t y) { onHover(x, y); });
    sv_->Scroll.connect([this](int32_t bar, int32_t& v, int32_t change, bool track) { onScroll(bar, v, change, track); });
    sv_->ScrollTrack.connect([this](int32_t bar, int32_t v, int32_t st, QString& tip, bool& cancel) {
        onScrollTrack(bar, v, st, tip, cancel);
    });
    sv_->ScrollBegin.connect([this](int16_t) { ScrollBegin.raise(); });
    sv_->ScrollEnd.connect([this](int16_t) { ScrollEnd.raise(); });
    sv_->FirstVisibleChanged.connect([this] { FirstVisibleChanged.raise(); });
    sv_->Resize.connect([this] {
        if (snapMode_) updateLayout(false, true);
    });

    InitProperties();
    ReadProperties(tv::PropertyBag());
}

ListView::~ListView()
{
    // The inner view goes first, so that none of its events reaches a half-destroyed grid.
    delete sv_;
    sv_ = nullptr;
    layoutConnection_ = {};
    removeConnection_ = {};
    selectionConnection_ = {};
}

void ListView::connectColumns()
{
    layoutConnection_ = columns_->LayoutChange.connect([this](int32_t, int32_t) { onLayoutChange(); });
    removeConnection_ = columns_->ColumnRemoved.connect([this](int32_t index) { onColumnRemoved(index); });
}

void ListView::onColumnRemoved(int32_t index)
{
    // The columns after the removed one moved down by one Index: their values move with them
    // (the storage array and a virtual row block alike are indexed by column).
    if (const tv::VariantArray* a = store_.array(); a && a->dims() == 2 && index <= a->ubound(1)) {
        if (a->ubound(1) == a->lbound(1)) {
            store_ = tv::Variant::null();
        } else {
            tv::VariantArray shrunk(a->lbound(1), a->ubound(1) - 1, a->lbound(2), a->ubound(2));
            for (int32_t c = a->lbound(1); c < a->ubound(1); ++c)
                for (int32_t r = a->lbound(2); r <= a->ubound(2); ++r) shrunk.at(c, r) = a->at(c < index ? c : c + 1, r);
            store_ = tv::Variant(shrunk);
        }
    }
    if (currentCol_ == index) currentCol_ = -1;
    else if (currentCol_ > index) --currentCol_;
    if (pressCol_ >= index) pressCol_ = -1;
    onLayoutChange();
    sv_->RedrawItems();
}

void ListView::changed(const char* property) { PropertyChanged.raise(QString::fromLatin1(property)); }

// ---- persistence --------------------------------------------------------------------------

namespace {
struct BoolKey {
    const char* key;
    bool def;
};
} // namespace

void ListView::InitProperties()
{
    setAppearance(cc3D);
    setBorderStyle(bsFixedSingle);
    setBackColor(kDefaultBackColor);
    SelectionMode = vtlSingleSelect;
    setShowHeader(true);
    setShowFooter(false);
    setBorderAppearance(vtl3DRaised);
    setBorderType(vtlBdrNone);
    setRowHeight(16);
    setAutosizeMode(vtlUseContent);
    DataMode = vtlStorage;
    autoRefresh_ = true;
    setScrollbarStyle(sbStyleBoth);
    ScrollTrack = sbStyleBoth;
    setHighlightColor(kDefaultHighlight);
    marqueeWidth_ = 1;
    MarqueeStyle = vtlMarqueeHighlight;
}

void ListView::ReadProperties(const tv::PropertyBag& bag)
{
    auto rd = [&bag](const char* key, const tv::Variant& def) { return bag.ReadProperty(QString::fromLatin1(key), def); };
    setEnabled(rd("Enabled", true).toBool());
    setAppearance(rd("Appearance", int32_t(1)).toLong());
    setBorderStyle(rd("BorderStyle", int32_t(1)).toLong());
    setBackColor(uint32_t(rd("BackColor", colorValue(kDefaultBackColor)).toLong()));
    setMinimizeUnusedArea(rd("MinimizeUnusedArea", true).toBool());
    const auto ambient = std::make_shared<tv::StdFont>();
    auto font = rd("Font", tv::Variant(std::static_pointer_cast<tv::Object>(ambient))).as<tv::StdFont>();
    setFont(font ? font->clone() : ambient);
    setSnapMode(rd("SnapMode", false).toBool());
    SelectionMode = rd("SelectionMode", int32_t(1)).toLong();
    setShowHeader(rd("ShowHeader", true).toBool());
    setShowFooter(rd("ShowFooter", false).toBool());
    setBorderAppearance(rd("BorderAppearance", int32_t(4)).toLong());
    setBorderType(rd("BorderType", int32_t(0)).toLong());
    setRowHeight(rd("RowHeight", int32_t(16)).toLong());
    setAutosizeMode(rd("AutosizeMode", int32_t(1)).toLong());
    DataMode = rd("DataMode", int32_t(0)).toLong();
    AllowSizing = rd("AllowSizing", true).toBool();
    AllowReorder = rd("AllowReorder", true).toBool();
    setScrollbarStyle(rd("ScrollbarStyle", int32_t(3)).toLong());
    ScrollTips = rd("ScrollTips", false).toBool();
    ScrollTrack = rd("ScrollTrack", int32_t(3)).toLong();
    SmoothTracking = rd("SmoothTracking", false).toBool();
    EmptyRows = rd("EmptyRows", false).toBool();
    EmptyHeader = rd("EmptyHeader", false).toBool();
    FetchRowStyle = rd("FetchRowStyle", false).toBool();
    MarqueeStyle = rd("MarqueeStyle", int32_t(3)).toLong();
    autoRefresh_ = rd("AutoRefresh", true).toBool();
    setMarqueeWidth(rd("MarqueeWidth", int32_t(1)).toLong());
    setHighlightColor(uint32_t(rd("HighlightColor", colorValue(kDefaultHighlight)).toLong()));
    setToolTipMode(rd("ToolTipMode", int32_t(0)).toLong());

    // Run time: an empty selection, no bookmark, no data, a fresh layout.
    selSet_->Restore(0);
    AnchorRow = userAnchor_ = -1;
    currentRow_ = currentCol_ = -1;
    normal_.style = {baseFontStyle_, kWindowText, BorderAppearance(), colorValue(BackColor())};
    normal_.brush = sv_->BackBrush();
    selected_.style = {baseFontStyle_, kHighlightText, BorderAppearance(), colorValue(highlightColor_)};
    selected_.brush = highlightBrush_->Handle();
    store_ = tv::Variant::null();
    entries_.clear();
    updateLayout(false, true);
    SetOptions(Enums().Options());
}

void ListView::WriteProperties(tv::PropertyBag& bag) const
{
    auto wr = [&bag](const char* key, const tv::Variant& v, const tv::Variant& def) {
        bag.WriteProperty(QString::fromLatin1(key), v, def);
    };
    wr("Enabled", isEnabled(), true);
    wr("Appearance", Appearance(), int32_t(1));
    wr("BorderStyle", BorderStyle(), int32_t(1));
    bag.WriteProperty(QStringLiteral("Font"), tv::Variant(std::static_pointer_cast<tv::Object>(Font())));
    wr("BackColor", colorValue(BackColor()), colorValue(kDefaultBackColor));
    wr("MinimizeUnusedArea", minimizeUnusedArea_, true);
    wr("SnapMode", snapMode_, false);
    wr("SelectionMode", SelectionMode, int32_t(1));
    wr("ShowHeader", ShowHeader(), true);
    wr("ShowFooter", ShowFooter(), false);
    wr("BorderAppearance", BorderAppearance(), int32_t(4));
    wr("BorderType", BorderType(), int32_t(0));
    wr("RowHeight", RowHeight(), int32_t(16));
    wr("AutosizeMode", autosizeMode_, int32_t(1));
    wr("DataMode", DataMode, int32_t(0));
    wr("AllowSizing", AllowSizing, true);
    wr("AllowReorder", AllowReorder, true);
    wr("ScrollbarStyle", ScrollbarStyle(), int32_t(3));
    wr("ScrollTips", ScrollTips, false);
    wr("ScrollTrack", ScrollTrack, int32_t(3));
    wr("SmoothTracking", SmoothTracking, false);
    wr("EmptyRows", EmptyRows, false);
    wr("EmptyHeader", EmptyHeader, false);
    wr("FetchRowStyle", FetchRowStyle, false);
    wr("MarqueeStyle", MarqueeStyle, int32_t(3));
    wr("AutoRefresh", autoRefresh_, true);
    wr("HighlightColor", colorValue(highlightColor_), colorValue(kDefaultHighlight));
    wr("MarqueeWidth", marqueeWidth_, int32_t(1));
    wr("ToolTipMode", toolTipMode_, int32_t(0));
}

// ---- properties ---------------------------------------------------------------------------

void ListView::setBorderAppearance(int32_t v)
{
    columns_->Style()->SetBorderAppearance(v);
    changed("BorderAppearance");
}

void ListView::setBorderType(int32_t v)
{
    columns_->Style()->SetBorderType(v);
    changed("BorderType");
}

void ListView::setBackColor(uint32_t oleColor)
{
    sv_->setBackColor(oleColor);
    normal_.style.BackColor = colorValue(oleColor);
    normal_.brush = sv_->BackBrush();
    normal_.brushObject.reset();
    backBuffer_.reset();
    changed("BackColor");
}

void ListView::setHighlightColor(uint32_t oleColor)
{
    highlightColor_ = oleColor;
    highlightBrush_ = tv::MakeGdiObject(tv::CreateSolidBrush(tv::TranslateOleColor(oleColor)));
    selected_.style.BackColor = colorValue(oleColor);
    selected_.brush = highlightBrush_->Handle();
    selected_.brushObject.reset();
    changed("HighlightColor");
}

void ListView::setFont(std::shared_ptr<tv::StdFont> font)
{
    if (!font) return;
    sv_->setFont(font);
    baseFontStyle_ = tv::FontStyleOf(*font);
    fontFor(baseFontStyle_, true);
    normal_.style.FontStyle = baseFontStyle_;
    selected_.style.FontStyle = baseFontStyle_;
    backBuffer_.reset();
    changed("Font");
}

void ListView::setRowHeight(int32_t v)
{
    sv_->setRowHeight(v);
    // Header and footer rows that the host sized keep their height.
    for (const auto& cells : {columns_->Headers(), columns_->Footers()})
        if (cells->RowHeight() == 0) cells->SetRowHeight(v);
    updateLayout(autoRefresh_, true);
    changed("RowHeight");
}

void ListView::setMinimizeUnusedArea(bool v)
{
    minimizeUnusedArea_ = v;
    updateLayout(true, true);
    changed("MinimizeUnusedArea");
}

void ListView::setSnapMode(bool v)
{
    snapMode_ = v;
    updateLayout(true, true);
    if (v) sv_->setHorizontalOrigin(SnapPosition(sv_->HorizontalOrigin(), 1));
    changed("SnapMode");
}

void ListView::setAutoRefresh(bool v)
{
    if (v == autoRefresh_) return;
    autoRefresh_ = v;
    if (v) {
        updateMarqueeSpan();
        updateLayout(false, true);
    }
    changed("AutoRefresh");
}

void ListView::setAutosizeMode(int32_t v)
{
    autosizeMode_ = v;
    if (v == vtlSizeToFit) {
        sv_->setScrollbarStyle(sbStyleVert);
        sv_->setStretchMode(true);
    } else {
        sv_->setScrollbarStyle(sbStyleBoth);
        sv_->setStretchMode(ShowFooter());
    }
    sv_->RedrawItems();
    resizeEvent(nullptr);
    changed("AutosizeMode");
}

void ListView::setScrollbarStyle(int32_t v)
{
    sv_->setScrollbarStyle(v);
    changed("ScrollbarStyle");
}

void ListView::setToolTipMode(int32_t v)
{
    toolTipMode_ = v;
    if (v >= vtlNoTips && v <= vtlFetchTips) sv_->setHoverTracking(v != vtlNoTips);
}

void ListView::setShowHeader(bool v)
{
    columns_->Headers()->SetVisible(v);
    changed("ShowHeader");
}

void ListView::setShowFooter(bool v)
{
    columns_->Footers()->SetVisible(v);
    changed("ShowFooter");
}

void ListView::setDropHighlight(int32_t row)
{
    if (dropHighlight_ != -1) {
        bool ok = false;
        const int32_t tag = sv_->ItemTag(dropHighlight_, &ok);
        if (ok) sv_->setItemTag(dropHighlight_, (tag & ~kTagDrop) | kTagRepaint);
    }
    if (row >= 0 && row < RowCount()) {
        dropHighlight_ = row;
        sv_->setItemTag(row, sv_->ItemTag(row) | kTagDrop | kTagRepaint);
        sv_->EnsureVisible(row, row);
    }
    sv_->RedrawItems(-1, -1, kTagRepaint);
}

void ListView::setMousePointer(int32_t v)
{
    mousePointer_ = v;
    if (v < vtlSizingCursor || v > vtlDropCursor) mouseIcon_.reset();
    applyCursor();
}

void ListView::setMouseIcon(tv::PicturePtr picture)
{
    mouseIcon_ = std::move(picture);
    applyCursor();
}

void ListView::applyCursor()
{
    switch (mousePointer_) {
    case vtlDefaultCursor: unsetCursor(); break;
    case vtlSizingCursor: setCursor(Qt::SplitHCursor); break;
    case vtlOpenCursor: setCursor(Qt::SizeHorCursor); break;
    case vtlDropCursor: setCursor(Qt::DragMoveCursor); break;
    case kCustomPointer:
        if (mouseIcon_ && mouseIcon_->Type() != 0)
            setCursor(QCursor(QPixmap::fromImage(mouseIcon_->image())));
        else
            unsetCursor();
        break;
    default: setCursor(Qt::CursorShape(std::clamp(mousePointer_, 0, int32_t(Qt::LastCursor)))); break;
    }
}

void ListView::setAppearance(int32_t v)
{
    sv_->setAppearance(v);
    changed("Appearance");
}

void ListView::setBorderStyle(int32_t v)
{
    sv_->setBorderStyle(v);
    changed("BorderStyle");
}

void ListView::copyImages(std::unique_ptr<tv::ImageListClass>& target, const std::shared_ptr<tv::ImageList>& list)
{
    if (!list) {
        target.reset();
        return;
    }
    auto copy = std::make_unique<tv::ImageListClass>();
    copy->Copy(list);
    target = std::move(copy);
}

void ListView::setIcons(const std::shared_ptr<tv::ImageList>& list) { copyImages(icons_, list); }
void ListView::setHeaderIcons(const std::shared_ptr<tv::ImageList>& list) { copyImages(headerIcons_, list); }

tv::HandleId ListView::hwnd() const { return tv::HwndOf(const_cast<ListView*>(this)); }

void ListView::GetClientSize(int32_t& clientWidth, int32_t& clientHeight) const
{
    clientWidth = sv_->ScaleWidth();
    clientHeight = sv_->ScaleHeight();
}

void ListView::SetOptions(int32_t options)
{
    options_ = options;
    if (options & 0x8000) sv_->SetOptions(0x8000);
}

void ListView::resizeEvent(QResizeEvent*)
{
    sv_->setGeometry(0, 0, width(), height());
    updateLayout(false, false);
    if (autosizeMode_ == vtlSizeToFit) sv_->SetHorizontalExt(width());
}

void ListView::mousePressEvent(QMouseEvent* e)
{
    // Presses outside the inner view (it fills the control, so rarely any).
    int16_t button = int16_t(tv::ButtonMaskOf(e->button()));
    int16_t shift = int16_t(tv::ShiftMaskOf(e->modifiers()));
    bool cancel = false;
    MouseDown.raise(button, shift, int32_t(e->position().x()), int32_t(e->position().y()), cancel);
}

// ---- data ---------------------------------------------------------------------------------

void ListView::setRowCount(int32_t n)
{
    const int32_t cols = columns_->Count();
    if (DataMode == vtlVirtual || n < 1 || cols < 1)
        store_ = tv::Variant::null();
    else
        store_ = tv::Variant(tv::VariantArray(0, cols - 1, 0, n - 1));
    selSet_->Restore(std::max(0, n));
    sv_->setItemCount(std::max(0, n));
    updateLayout(false, true);
    currentRow_ = currentCol_ = -1;
    AnchorRow = userAnchor_ = -1;
}

int32_t ListView::CachePos() const
{
    const tv::VariantArray* a = store_.array();
    return a && a->dims() == 2 ? a->lbound(2) : 0;
}

namespace {
// The column index of a number or key; -1 when the key names no column.
int32_t columnIndexOf(const Columns& columns, const tv::Variant& column)
{
    if (column.isNumber()) return column.toLong();
    const auto c = columns.Item(column);
    return c ? c->Index() : -1;
}
} // namespace

void ListView::setData(const tv::Variant& column, int32_t row, const tv::Variant& value)
{
    const int32_t col = columnIndexOf(*columns_, column);
    if (col != -1 && row != -1) {
        if (!growStore(col, row)) return;
        store_.arrayMut()->at(col, row) = value;
        return;
    }
    const tv::VariantArray* in = value.array();
    if (!in || in->dims() != 2) return;
    if (columns_->Count() == 0) {
        store_ = value;
        for (int32_t i = 0; i <= in->ubound(1); ++i) columns_->Add(QString::number(i), 64);
    } else if (in->ubound(1) < columns_->Count() - 1) {
        tv::VariantArray a(0, columns_->Count() - 1, 0, in->ubound(2));
        for (int32_t c = in->lbound(1); c <= in->ubound(1); ++c)
            for (int32_t r = in->lbound(2); r <= in->ubound(2); ++r)
                if (a.inBounds(c, r)) a.at(c, r) = in->at(c, r);
        store_ = tv::Variant(a);
    } else {
        store_ = value;
    }
    setShowHeader(ShowHeader());
    setShowFooter(ShowFooter());
    const int32_t rows = store_.array()->ubound(2) + 1;
    sv_->setItemCount(rows);   // forgets every row's tag: the current row is marked again
    if (currentRow_ >= rows) currentRow_ = -1;
    if (currentRow_ >= 0) sv_->setItemTag(currentRow_, kTagCurrent);
    if (selSet_->RowCount() != rows) selSet_->Restore(rows);
    updateLayout(autoRefresh_, true);
}

bool ListView::growStore(int32_t col, int32_t row)
{
    const tv::VariantArray* a = store_.array();
    if (a && a->inBounds(col, row)) return true;
    // A column added after the rows were sized (or rows sized before any column) still
    // takes its values: the storage array grows to the grid's columns and rows.
    if (DataMode != vtlStorage || col < 0 || col >= columns_->Count() || row < 0 || row >= RowCount()) return false;
    const int32_t cols = std::max(columns_->Count(), a ? a->ubound(1) + 1 : 0);
    tv::VariantArray grown(0, cols - 1, 0, RowCount() - 1);
    if (a)
        for (int32_t c = a->lbound(1); c <= a->ubound(1); ++c)
            for (int32_t r = a->lbound(2); r <= a->ubound(2); ++r)
                if (grown.inBounds(c, r)) grown.at(c, r) = a->at(c, r);
    store_ = tv::Variant(grown);
    return true;
}

tv::Variant ListView::Data(const tv::Variant& column, int32_t row) const
{
    const int32_t col = columnIndexOf(*columns_, column);
    if (col == -1) return tv::Variant::null();
    if (row == -1) {
        const auto c = columns_->Item(col);
        return c ? tv::Variant(std::static_pointer_cast<tv::Object>(c)) : tv::Variant::null();
    }
    return storedValue(col, row);
}

tv::Variant ListView::storedValue(int32_t col, int32_t row) const
{
    const tv::VariantArray* a = store_.array();
    if (!a || !a->inBounds(col, row)) return tv::Variant();
    return a->at(col, row);
}

RowValueLookup ListView::rowLookup(int32_t row) const
{
    return [this, row](const QString& key) {
        const auto c = columns_->Item(key);
        return c ? storedValue(c->Index(), row) : tv::Variant();
    };
}

void ListView::fetchRows(int32_t startIndex, int32_t endIndex)
{
    if (RowCount() == 0 || DataMode != vtlVirtual) return;
    int32_t cachePos = CachePos();
    tv::Variant block = store_;
    FetchData.raise(startIndex, endIndex, cachePos, block);
    const tv::VariantArray* a = block.array();
    if (!a || a->dims() != 2) {
        store_ = tv::Variant::null();
        return;
    }
    if (a->lbound(2) == cachePos) {
        store_ = block;
        return;
    }
    // The block comes numbered from its own base: it is moved to the rows it stands for.
    tv::VariantArray moved(0, a->ubound(1), cachePos, cachePos + a->count(2) - 1);
    for (int32_t c = a->lbound(1); c <= a->ubound(1); ++c)
        for (int32_t i = 0; i < a->count(2); ++i)
            if (moved.inBounds(c, cachePos + i)) moved.at(c, cachePos + i) = a->at(c, a->lbound(2) + i);
    store_ = tv::Variant(moved);
}

int32_t ListView::InsertRows(int32_t count, int32_t startIndex)
{
    const int32_t rows = RowCount();
    if (count < 1) return rows;
    if (startIndex < 0 || startIndex > rows) startIndex = -1;
    const int32_t at = startIndex == -1 ? rows : startIndex;
    if (const tv::VariantArray* a = store_.array();
        a && DataMode == vtlStorage && at == rows && a->lbound(1) == 0 && a->lbound(2) == 0 &&
        a->ubound(2) == rows - 1 && a->ubound(1) >= columns_->Count() - 1) {
        // Rows added at the end grow the array in place: a list filled a row at a time (the
        // job window's log) must not copy every row it holds for each one it adds.
        store_.arrayMut()->redimPreserve(rows + count - 1);
    } else if (a && DataMode == vtlStorage) {
        tv::VariantArray grown(0, std::max(a->ubound(1), columns_->Count() - 1), 0, rows + count - 1);
        for (int32_t c = 0; c <= a->ubound(1); ++c)
            for (int32_t r = 0; r < rows && a->inBounds(c, r); ++r) grown.at(c, r < at ? r : r + count) = a->at(c, r);
        store_ = tv::Variant(grown);
    } else if (DataMode == vtlStorage && columns_->Count() > 0) {
        store_ = tv::Variant(tv::VariantArray(0, columns_->Count() - 1, 0, rows + count - 1));
    } else {
        store_ = tv::Variant::null();   // the host's row block no longer matches the rows
    }
    selSet_->ShiftRows(count, startIndex);
    sv_->InsertItems(count, startIndex);
    if (currentRow_ >= at) currentRow_ += count;
    if (AnchorRow >= at) AnchorRow += count;
    if (userAnchor_ >= at) userAnchor_ += count;
    updateLayout(false, true);
    // The rows above the new ones look as they did: rows added below the view draw nothing.
    // Drawn as a range even when it is one row: a single row is drawn only when wholly seen.
    if (autoRefresh_) {
        const int32_t first = std::max(at, sv_->FirstVisibleItem()), last = sv_->LastVisibleItem();
        if (first <= last) sv_->RedrawItems(first, std::max(first + 1, last));
    }
    return RowCount();
}

int32_t ListView::RemoveRows(int32_t count, int32_t startIndex)
{
    const int32_t rows = RowCount();
    if (count < 1 || startIndex < 0 || startIndex >= rows) return rows;
    count = std::min(count, rows - startIndex);
    if (const tv::VariantArray* a = store_.array(); a && DataMode == vtlStorage && rows - count > 0) {
        tv::VariantArray shrunk(0, a->ubound(1), 0, rows - count - 1);
        for (int32_t c = 0; c <= a->ubound(1); ++c)
            for (int32_t r = 0; r < rows && a->inBounds(c, r); ++r) {
                if (r < startIndex) shrunk.at(c, r) = a->at(c, r);
                else if (r >= startIndex + count) shrunk.at(c, r - count) = a->at(c, r);
            }
        store_ = tv::Variant(shrunk);
    } else {
        store_ = tv::Variant::null();
    }
    selSet_->ShiftRows(-count, startIndex);
    sv_->RemoveItems(count, startIndex);
    for (int32_t* row : {&currentRow_, &AnchorRow, &userAnchor_}) {
        if (*row >= startIndex + count)
            *row -= count;
        else if (*row >= startIndex)
            *row = -1;
    }
    updateLayout(autoRefresh_, true);
    return RowCount();
}

void ListView::Reset()
{
    selSet_->Clear();
    currentRow_ = currentCol_ = -1;
    AnchorRow = userAnchor_ = -1;
    columns_->Clear();
    // The values belonged to the columns just dropped: without them the grid starts empty,
    // so that columns added next never show the old values.
    store_ = tv::Variant::null();
    selSet_->Restore(0);
    sv_->setItemCount(0);
    updateLayout(false, true);
}

} // namespace vantile
