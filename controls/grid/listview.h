#pragma once

// ListView: the library's grid list. It hosts one ScrollView (ScrollWnd) that fills it and
// turns that view's events into grid behaviour: the view's rows are the grid's data rows,
// its fixed top and bottom margins the header and footer rows, its fixed left and right
// margins the left- and right-fixed column groups, its virtual width the scrolling group.
//
// The grid owns its column set (Columns), its selection (SelectionSet) and its cell values:
// in storage mode a 2-D array (column, row) that the host fills; in virtual mode a block of
// rows that the host hands over in FetchData just before those rows are painted. The host
// owns the control (a Qt parent); the control owns the inner view and everything above.

#include "cellcontent.h"
#include "cellicons.h"
#include "columns.h"
#include "selectionset.h"
#include "cellpainter.h"
#include "controls/scrollview/popupwnd.h"
#include "controls/scrollview/scrollview.h"
#include "platform/component/event.h"
#include "platform/component/propertybag.h"
#include "platform/gui/ddbitmap.h"
#include "platform/gui/gdiobject.h"
#include "platform/gui/imagelist.h"
#include "platform/gui/systimer.h"
#include "platform/runtime/variant.h"

#include <QPointer>
#include <QWidget>
#include <array>
#include <memory>
#include <optional>
#include <vector>

namespace vantile {

enum DataModeEnum : int32_t { vtlStorage = 0, vtlVirtual = 1 };
enum SelectionModeEnum : int32_t { vtlSingleSelect = 1, vtlMultiSelect = 2, vtlHoverSelect = 3, vtlCellSelect = 4 };
enum AutosizeModeEnum : int32_t { vtlUseCaption = 0, vtlUseContent = 1, vtlSizeToFit = 2 };
enum MarqueeStyleEnum : int32_t { vtlMarqueeNone = 0, vtlMarqueeDotted = 1, vtlMarqueeSolid = 2, vtlMarqueeHighlight = 3 };
enum ToolTipModeEnum : int32_t { vtlNoTips = 0, vtlCellTips = 1, vtlFetchTips = 2 };
enum MousePtrEnum : int32_t { vtlDefaultCursor = 0, vtlSizingCursor = 1, vtlOpenCursor = 2, vtlDropCursor = 3 };
enum HitTestEnum : int32_t { vtlHTNone = 0, vtlHTHeader = 1, vtlHTFooter = 2, vtlHTCell = 3 };

// Bits of a row's tag in the inner view.
constexpr int32_t kTagCurrent = 2;
constexpr int32_t kTagDrop = 4;
constexpr int32_t kTagRepaint = 256;

class ListView : public QWidget {
    Q_OBJECT
public:
    explicit ListView(QWidget* parent = nullptr);
    ~ListView() override;

    // ---- persistence ------------------------------------------------------------------
    void InitProperties();
    // Reading also prepares the run time state: an empty selection, no data, no bookmark.
    void ReadProperties(const tv::PropertyBag& bag);
    void WriteProperties(tv::PropertyBag& bag) const;

    // ---- parts ------------------------------------------------------------------------
    ScrollView* ScrollWnd() const { return sv_; }
    const std::shared_ptr<vantile::Columns>& Columns() const { return columns_; }
    const std::shared_ptr<vantile::SelectionSet>& SelectionSet() const { return selSet_; }
    bool HideFocusRect = false;

    // ---- properties -------------------------------------------------------------------
    int32_t BorderAppearance() const { return columns_->Style()->BorderAppearance(); }
    void setBorderAppearance(int32_t v);
    int32_t BorderType() const { return columns_->Style()->BorderType(); }
    void setBorderType(int32_t v);
    uint32_t BackColor() const { return sv_->BackColor(); }
    void setBackColor(uint32_t oleColor);
    uint32_t HighlightColor() const { return highlightColor_; }
    void setHighlightColor(uint32_t oleColor);
    std::shared_ptr<tv::StdFont> Font() const { return sv_->Font(); }
    void setFont(std::shared_ptr<tv::StdFont> font);
    int32_t RowHeight() const { return sv_->RowHeight(); }
    void setRowHeight(int32_t v);
    bool MinimizeUnusedArea() const { return minimizeUnusedArea_; }
    void setMinimizeUnusedArea(bool v);
    bool SnapMode() const { return snapMode_; }
    void setSnapMode(bool v);
    bool AutoRefresh() const { return autoRefresh_; }
    void setAutoRefresh(bool v);
    int32_t AutosizeMode() const { return autosizeMode_; }
    void setAutosizeMode(int32_t v);
    int32_t ScrollbarStyle() const { return sv_->ScrollbarStyle(); }
    void setScrollbarStyle(int32_t v);
    int32_t ToolTipMode() const { return toolTipMode_; }
    void setToolTipMode(int32_t v);
    int32_t MarqueeWidth() const { return marqueeWidth_; }
    void setMarqueeWidth(int32_t v) { marqueeWidth_ = std::max(1, v); }
    bool ShowHeader() const { return columns_->Headers()->Visible(); }
    void setShowHeader(bool v);
    bool ShowFooter() const { return columns_->Footers()->Visible(); }
    void setShowFooter(bool v);
    int32_t DropHighlight() const { return dropHighlight_; }
    void setDropHighlight(int32_t row);
    int32_t MousePointer() const { return mousePointer_; }
    // 0 the standard cursor, 1 sizing, 2 "open", 3 drop; 99 the MouseIcon picture; any other
    // value a cursor shape of the platform. Every value but 1 to 3 clears MouseIcon.
    void setMousePointer(int32_t v);
    tv::PicturePtr MouseIcon() const { return mouseIcon_; }
    // The picture of the custom cursor (MousePointer 99); null clears it.
    void setMouseIcon(tv::PicturePtr picture);
    // The control's own look: flat (0) or 3-D (1), and with (1) or without (0) a border. The
    // inner view fills the control, so its frame is the control's frame.
    int32_t Appearance() const { return sv_->Appearance(); }
    void setAppearance(int32_t v);
    int32_t BorderStyle() const { return sv_->BorderStyle(); }
    void setBorderStyle(int32_t v);
    // The grid keeps its own copies of the images; null clears.
    void setIcons(const std::shared_ptr<tv::ImageList>& list);
    void setHeaderIcons(const std::shared_ptr<tv::ImageList>& list);

    // Stored switches and values that painting, layout and the mouse read.
    int32_t SelectionMode = vtlSingleSelect;
    int32_t DataMode = vtlStorage;
    int32_t ScrollTrack = 3;
    int32_t MarqueeStyle = vtlMarqueeHighlight;
    bool SmoothTracking = false;
    bool ScrollTips = false;
    bool AllowSizing = true;
    bool AllowReorder = true;
    bool IgnoreFocus = false;
    bool EmptyRows = false;
    bool EmptyHeader = false;
    bool FetchRowStyle = false;

    // Pass-throughs to the inner view.
    int32_t HorizontalOrigin() const { return sv_->HorizontalOrigin(); }
    void setHorizontalOrigin(int32_t v) { sv_->setHorizontalOrigin(v); }
    int32_t FirstVisibleRow() const { return sv_->FirstVisibleItem(); }
    void setFirstVisibleRow(int32_t v) { sv_->setFirstVisibleItem(v); }
    bool DisableScrollBars() const { return sv_->DisableScrollBars(); }
    void setDisableScrollBars(bool v) { sv_->setDisableScrollBars(v); }
    bool StretchMode() const { return sv_->StretchMode(); }
    void setStretchMode(bool v) { sv_->setStretchMode(v); }
    tv::HandleId UpdateRgn() const { return sv_->UpdateRgn(); }
    tv::HandleId hwnd() const;
    tv::HandleId hWnd2() const { return sv_->hwnd(); }
    tv::PicturePtr Picture() const { return sv_->Picture(); }
    int16_t Pan(int16_t direction = -1, int32_t interval = 10, int16_t panStep = 1)
    {
        return sv_->Pan(direction, interval, panStep);
    }
    void GetClientSize(int32_t& clientWidth, int32_t& clientHeight) const;
    void SetOptions(int32_t options);
    int32_t Options() const { return options_; }

    // ---- data (storage array or virtual row cache) -------------------------------------
    int32_t RowCount() const { return sv_->ItemCount(); }
    void setRowCount(int32_t n);
    // Column: an Index or a key. Row -1 (or no column) with a 2-D array assigns all values.
    void setData(const tv::Variant& column, int32_t row, const tv::Variant& value);
    void setData(const tv::Variant& array) { setData(int32_t(-1), -1, array); }
    // Never fails: column -1 or an unknown key gives Null, row -1 the Column object, a cell
    // outside the store Empty.
    tv::Variant Data(const tv::Variant& column, int32_t row = -1) const;
    // The row cache's first row (0 without data).
    int32_t CachePos() const;
    // Rows inserted before `startIndex` (-1: at the end) or removed from it on; the values,
    // the selection, the row tags and the current row follow. Both return the new row count.
    int32_t InsertRows(int32_t count, int32_t startIndex = -1);
    int32_t RemoveRows(int32_t count, int32_t startIndex);
    // Empties the selection, the columns and the rows and forgets the current cell.
    void Reset();

    // ---- current cell and selection -----------------------------------------------------
    int32_t CurrentRow();
    int32_t CurrentCol();
    void SetBookmark(int32_t row = -1, int32_t col = -1, int32_t ensureVisible = -1);
    void EnsureVisibleSelection(int32_t delay = 0);
    tv::Variant SelectedItems() const { return selSet_->Members(); }
    void setSelectedItems(const tv::Variant& members) { selSet_->SetMembers(members); }
    // The fixed end of a range selection in multi-select mode; -1 none. Shift with a click or
    // a key sets it to the current row when it is -1; a move without Shift clears it, and so
    // does the host's SetBookmark when the user made the anchor.
    int32_t AnchorRow = -1;

    // ---- painting -----------------------------------------------------------------------
    void Refresh() { sv_->Refresh(); }
    void Redraw(int32_t startIndex = -1, int32_t endIndex = -1, bool eraseBkGround = false)
    {
        sv_->RedrawItems(startIndex, endIndex, 0, 0, eraseBkGround);
    }
    // A picture of one body cell (null for an owner-drawn column or a bad address).
    tv::PicturePtr CreateDragImage(int32_t col, int32_t row);

    // ---- geometry and mouse ---------------------------------------------------------------
    int32_t HitTest(int32_t x, int32_t y, int32_t& col, int32_t& row, int32_t& state);
    // A cell's rectangle (inclusive) in client pixels of the inner view, or of the screen.
    bool GetBounds(int32_t col, int32_t row, int32_t& left, int32_t& top, int32_t& right, int32_t& bottom,
                   bool screenCoords = false);
    // The origin (top left) of a body cell in client pixels of the inner view; false, and x
    // and y untouched, for a cell the grid does not have.
    bool PointToCell(int32_t col, int32_t row, int32_t& x, int32_t& y);
    // Sizes one column (an Index) or, with -1, every column; false for an unknown column.
    bool AutoSizeColumn(int32_t column, int32_t mode);
    // Scrolls a column of the scrolling group into view.
    void EnsureColumnVisible(int32_t index);
    // A horizontal position moved to a column edge (direction -1: the next edge; 1: the
    // nearest).
    int32_t SnapPosition(int32_t pos, int32_t direction) const;
    // Header press state: 0 at rest, 1 a header cell shown pressed, 2 a column being sized,
    // 3 a column being moved.
    int32_t HeaderPressState() const { return headerPress_; }
    // The window that shows the dragged column's header under the mouse; null when no column
    // is being dragged.
    PopupClass* DragColumn() const { return dragColumn_; }

    // ---- events ---------------------------------------------------------------------------
    tv::Event<int16_t& /*KeyCode*/, int16_t& /*Shift*/> KeyDown;
    tv::Event<int16_t&, int16_t&> KeyUp;
    tv::Event<int16_t& /*KeyAscii*/> KeyPress;
    using MouseEvent = tv::Event<int16_t& /*Button*/, int16_t& /*Shift*/, int32_t, int32_t, bool& /*Cancel*/>;
    MouseEvent MouseDown;
    MouseEvent MouseUp;
    MouseEvent MouseMove;
    tv::Event<int32_t /*Index*/, int16_t /*Button*/> HeaderClick;
    tv::Event<int32_t, int16_t> FooterClick;
    tv::Event<int32_t /*Row*/, int32_t /*Col*/, int16_t /*Button*/, int16_t /*KeyState*/, int32_t, int32_t> ItemClick;
    tv::Event<int32_t /*Row*/, int32_t /*Col*/> ItemDblClick;
    tv::Event<int32_t /*StartIndex*/, int32_t /*EndIndex*/, int32_t& /*CachePos*/, tv::Variant& /*Data*/> FetchData;
    FetchStyleExEvent FetchStyleEx;
    FetchContentsEvent FetchContents;
    tv::Event<> ScrollBegin;
    tv::Event<> ScrollEnd;
    tv::Event<int32_t /*Scrollbar*/, int32_t /*Value*/, QString& /*Text*/> ScrollTip;
    tv::Event<int32_t /*PrevRow*/, int32_t /*PrevCol*/> RowColChange;
    tv::Event<> FirstVisibleChanged;
    tv::Event<> SelectionChanged;
    tv::Event<tv::HandleId, int32_t /*Row*/, int32_t /*Col*/, int32_t, int32_t, int32_t, int32_t> DrawCell;
    tv::Event<int32_t /*State*/, int32_t /*Col*/, int32_t /*Row*/, int32_t, int32_t, int32_t, int32_t, int16_t,
              bool& /*Cancel*/>
        CellDrag;
    tv::Event<int32_t /*Row*/, int32_t /*Col*/, QString& /*Text*/> CellTip;
    tv::Event<QString> PropertyChanged;

    // Tests: the delayed scroll to the current cell.
    tv::SysTimer* ensureVisibleTimer() const { return ensureVisibleTimer_.get(); }

protected:
    void resizeEvent(QResizeEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;

private:
    struct RowStyle {
        CellPaintStyle style;
        tv::GdiObjectPtr brushObject;   // made for a back colour that differs from the grid's
        tv::HandleId brush = 0;
    };
    struct PaintEntry {
        std::shared_ptr<Column> column;
        int32_t left = 0, right = 0;   // window x, right inclusive
        int32_t format = 0;
        int32_t borderType = 0;
        int32_t edge = 0;   // fixed-group edge: 1 left line, 4 right line
        bool inRegion = true;
        // Merged columns: for each visible row from mergeFirst on, the first and last row of
        // the run of equal values it belongs to (a run starts at the first row on screen).
        int32_t mergeFirst = 0;
        std::vector<std::pair<int32_t, int32_t>> runs;
    };

    // data
    void fetchRows(int32_t startIndex, int32_t endIndex);
    tv::Variant storedValue(int32_t col, int32_t row) const;
    // Makes the storage array hold the cell of a column and row the grid has; false when the
    // cell is outside the grid or the grid is in virtual mode.
    bool growStore(int32_t col, int32_t row);
    RowValueLookup rowLookup(int32_t row) const;
    // selection
    void setCurrentRow(int32_t row);
    void onSelectionChanged();
    void ensureVisibleStep();
    // layout
    void updateLayout(bool redraw, bool updateScrollbars);
    void updateMarqueeSpan();
    void onLayoutChange();
    void onColumnRemoved(int32_t index);
    void onScroll(int32_t bar, int32_t& value, int32_t change, bool thumbTrack);
    void onScrollTrack(int32_t bar, int32_t value, int32_t state, QString& tip, bool& cancelUpdate);
    int32_t measureText(const QString& text, int32_t fontStyle);
    int32_t snapExtent() const;
    // painting
    tv::HandleId fontFor(int32_t style, bool reset = false);
    void prepareBackBuffer();
    void buildPaintEntries();
    void buildMergeRuns(PaintEntry& entry);
    void paintBand(int32_t kind, tv::HandleId hdc);
    // How a header or footer cell is painted; `edge` is the fixed-group edge line.
    CellPaint bandCellPaint(const Cell& cell, int32_t edge);
    void paintDraggedHeader(const Column& column);
    void onBeforeDraw(int32_t startIndex, int32_t endIndex, tv::HandleId hdc);
    void onDrawRow(int32_t index, int16_t state, int32_t x1, int32_t y1, int32_t x2, int32_t y2, tv::HandleId hdc);
    void drawFocusFrame(tv::HandleId hdc, int32_t y1, int32_t y2, int32_t h);
    void onEraseBackgroundEx(tv::HandleId hdc, int16_t& state);
    void paintEmptyRows(tv::HandleId hdc);
    RowStyle rowStyle(int32_t row, bool selected);
    void resolveBrush(RowStyle& s) const;
    CellContent cellContent(const Column& column, int32_t row, const CellPaintStyle& style, int32_t status);
    void onHover(int32_t x, int32_t y);
    // mouse
    void setCursorAt(int32_t x, int32_t y);
    void clickAt(int16_t button, int16_t shift, int32_t x, int32_t y, int32_t& col, int32_t& row, int32_t& zone,
                 int32_t& state);
    // Moves the current cell for the mouse or the keyboard: Shift in multi-select mode
    // extends from the anchor row.
    bool ctrlHeld() const;
    void moveTo(int32_t row, int32_t col, int16_t shift, int32_t ensureVisible);
    void onKeyDown(int16_t& keyCode, int16_t& shift);
    // Column dragging: the header's picture follows the mouse from the start of the drag
    // until the button comes up, where the column is dropped.
    void startColumnDrag();
    void moveColumnDrag(int32_t x, int32_t y);
    void endColumnDrag();
    void dropColumn(int32_t x);
    // Raises a mouse event to the host and sets the cursor; false when the host cancelled
    // the grid's own handling.
    bool relayMouse(const MouseEvent& event, int16_t button, int16_t& shift, int32_t x, int32_t y);
    void onMouseDown(int16_t button, int16_t& shift, int32_t x, int32_t y);
    void onMouseMove(int16_t button, int16_t& shift, int32_t x, int32_t y);
    void onMouseUp(int16_t button, int16_t& shift, int32_t x, int32_t y);
    void onDblClick();
    void onMouseDrag(int32_t state, int16_t shift, int32_t x, int32_t y, bool& cancel);
    void sizeColumnBy(int32_t delta);
    void changed(const char* property);
    void applyCursor();
    void copyImages(std::unique_ptr<tv::ImageListClass>& target, const std::shared_ptr<tv::ImageList>& list);
    void connectColumns();

    ScrollView* sv_ = nullptr;
    std::shared_ptr<vantile::Columns> columns_;
    std::shared_ptr<vantile::SelectionSet> selSet_;
    tv::ScopedConnection layoutConnection_;
    tv::ScopedConnection removeConnection_;
    tv::ScopedConnection selectionConnection_;
    std::unique_ptr<tv::SysTimer> ensureVisibleTimer_;

    tv::Variant store_ = tv::Variant::null();   // Null or a 2-D array (column, row)
    int32_t currentRow_ = -1, currentCol_ = -1;
    int32_t autosizeMode_ = vtlUseContent;
    bool minimizeUnusedArea_ = true, snapMode_ = false, autoRefresh_ = true;
    int32_t toolTipMode_ = vtlNoTips;
    int32_t marqueeWidth_ = 1;
    int32_t dropHighlight_ = -1;
    int32_t mousePointer_ = 0;
    tv::PicturePtr mouseIcon_;
    int32_t options_ = 0;
    uint32_t highlightColor_ = 0x8000000D;
    tv::GdiObjectPtr highlightBrush_;
    std::unique_ptr<tv::ImageListClass> icons_, headerIcons_;
    RowStyle normal_, selected_;
    int32_t baseFontStyle_ = 0;
    std::array<tv::GdiObjectPtr, 16> fonts_;
    int32_t marqueeFirst_ = 0, marqueeLast_ = 0;

    // painting
    std::unique_ptr<tv::DDBitmap> backBuffer_;
    std::vector<PaintEntry> entries_;
    int32_t mergedCount_ = 0;
    uint32_t currentHighlight_ = 0x8000000D;
    tv::HandleId currentHighlightBrush_ = 0;

    // mouse
    int32_t pressZone_ = vtlHTNone, pressState_ = 0, pressRow_ = -1, pressCol_ = -1;
    int32_t pressX_ = 0, pressY_ = 0;
    int16_t pressButton_ = 0, pressShift_ = 0;
    int32_t headerPress_ = 0;
    int32_t sizingColumn_ = -1, lastDragX_ = 0;
    bool sizing_ = false;
    bool dragActive_ = false;
    QPointer<PopupClass> dragColumn_;
    QPoint dragGrab_;   // the point of the dragged header under the mouse
    // The Shift and Ctrl state of the input event being handled; outside one, the keyboard's.
    std::optional<int16_t> eventShift_;
    int32_t userAnchor_ = -1;   // the anchor a Shift move made, -1 when the anchor is not the user's
};

} // namespace vantile
