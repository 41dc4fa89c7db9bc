#pragma once

// SimpleReport: the report list. It shows one SQL record source of the catalogue in the grid
// (ListView) in virtual mode: the control keeps one temporary query and one recordset, and
// answers the grid's row requests with blocks of rows around what the grid is about to draw.
// Columns are built from the recordset's fields (one per field, keyed by its name); sorting
// rewrites the query's ORDER BY; a filter binds one select-list column to the parameter XXX.
// The host gives it the open database (DataBase) and a record source and listens to its
// events. The control owns its grid, its query and recordset; the database is shared.

#include "controls/grid/listview.h"
#include "platform/component/event.h"
#include "platform/runtime/collection.h"
#include "platform/runtime/variant.h"

#include <QElapsedTimer>
#include <QWidget>
#include <memory>

class QMenu;
class QProgressBar;

namespace tv {

class Database;
class Field;
class ImageList;
class PropertyBag;
class QueryDef;
class Recordset;
class StdFont;
class SysTimer;
class frmSearch;

// The width every column gets when the report builds its columns, before a layout sizes it.
inline constexpr int32_t kReportColumnWidth = 64;

// The record of one selected report row; SimpleReport fills only Row.
struct cListItem {
    int32_t Row = -1;
    QString Key;
    QString ParentKey;
    Variant Tag;
    int16_t Level = 0;
    QString Text;
};

class SimpleReport : public QWidget {
    Q_OBJECT
public:
    explicit SimpleReport(QWidget* parent = nullptr);
    ~SimpleReport() override;

    vantile::ListView* grid() const { return grid_; }
    HandleId hwnd() const { return grid_->hwnd(); }
    // The window the control sits in.
    QWidget* GetParentForm() const { return window(); }

    // ---- persistence ------------------------------------------------------------------
    // The values of a newly placed control (they differ from the bag's defaults).
    void InitProperties();
    void ReadProperties(const PropertyBag& bag);
    void WriteProperties(PropertyBag& bag) const;

    // ---- display, forwarded to the grid -----------------------------------------------
    uint32_t BackColor() const { return grid_->BackColor(); }
    void setBackColor(uint32_t color);
    uint32_t HighlightColor() const { return grid_->HighlightColor(); }
    void setHighlightColor(uint32_t color) { grid_->setHighlightColor(color); }
    std::shared_ptr<StdFont> Font() const { return grid_->Font(); }
    void setFont(std::shared_ptr<StdFont> font);
    int32_t BorderStyle() const;
    void setBorderStyle(int32_t style);
    bool GridLines() const { return grid_->BorderAppearance() == -2; }
    void setGridLines(bool on);
    bool Snapmode() const { return grid_->SnapMode(); }
    void setSnapmode(bool on);
    bool EmptyRows() const { return grid_->EmptyRows; }
    void setEmptyRows(bool on);
    int32_t RowHeight() const { return grid_->RowHeight(); }
    void setRowHeight(int32_t px);
    bool FetchRowStyle() const { return grid_->FetchRowStyle; }
    void setFetchRowStyle(bool on);
    int32_t ScrollbarStyle() const { return grid_->ScrollbarStyle(); }
    void setScrollbarStyle(int32_t style);
    bool ShowCellTips() const { return grid_->ToolTipMode() == vantile::vtlCellTips; }
    void setShowCellTips(bool on);
    bool FetchToolTips() const { return grid_->ToolTipMode() == vantile::vtlFetchTips; }
    void setFetchToolTips(bool on);
    bool AutoRefresh() const { return grid_->AutoRefresh(); }
    void setAutoRefresh(bool on);
    void Refresh() { grid_->Refresh(); }
    void setImages(const std::shared_ptr<ImageList>& images) { grid_->setIcons(images); }

    // ---- stored values ----------------------------------------------------------------
    int16_t MaxColWidth() const { return maxColWidth_; }
    void setMaxColWidth(int16_t v) { maxColWidth_ = v; changed("MaxColWidth"); }
    int32_t RecordsetType() const { return recordsetType_; }
    void setRecordsetType(int32_t v) { recordsetType_ = v; changed("RecordsetType"); }
    Variant FilterColumn() const { return filterColumn_; }
    void setFilterColumn(const Variant& v);
    Variant FilterValue() const { return filterValue_; }
    void setFilterValue(const Variant& v);
    int16_t InvisibleCols() const { return invisibleCols_; }
    void setInvisibleCols(int16_t n);
    int32_t InvisibleColMode() const { return invisibleColMode_; }
    void setInvisibleColMode(int32_t mode);
    Variant KeyColumn() const { return keyColumn_; }
    void setKeyColumn(const Variant& v) { keyColumn_ = v; changed("KeyColumn"); }
    Variant ImageColumn() const { return imageColumn_; }
    void setImageColumn(const Variant& v) { imageColumn_ = v; changed("ImageColumn"); }
    bool TranslateIcons() const { return translateIcons_; }
    void setTranslateIcons(bool on) { translateIcons_ = on; changed("TranslateIcons"); }
    bool LockUpdate() const { return lockUpdate_; }
    void setLockUpdate(bool on);
    bool MultiSelect() const { return multiSelect_; }
    void setMultiSelect(bool on);
    bool HoverSelect() const { return hoverSelect_; }
    void setHoverSelect(bool on);
    bool CaseSensitive() const { return caseSensitive_; }
    void setCaseSensitive(bool on) { caseSensitive_ = on; changed("CaseSensitive"); }
    bool DblClickOnReturn() const { return dblClickOnReturn_; }
    void setDblClickOnReturn(bool on) { dblClickOnReturn_ = on; changed("DblClickOnReturn"); }
    int32_t SortMode() const { return sortMode_; }
    void setSortMode(int32_t mode);
    int32_t SearchMode() const { return searchMode_; }
    void setSearchMode(int32_t mode) { searchMode_ = mode; changed("SearchMode"); }
    int32_t AutoSizeMode() const { return autoSizeMode_; }
    void setAutoSizeMode(int32_t mode) { autoSizeMode_ = mode; changed("AutoSizeMode"); }
    double CurrencyFactor() const { return currencyFactor_; }
    // A factor not above 0 is ignored.
    void setCurrencyFactor(double factor);
    QString CurrencyFormat() const { return currencyFormat_; }
    void setCurrencyFormat(const QString& f) { currencyFormat_ = f; changed("CurrencyFormat"); }
    bool ShowThousands() const { return showThousands_; }
    void setShowThousands(bool on) { showThousands_ = on; changed("ShowThousands"); }
    bool ShowContextMenu() const { return showContextMenu_; }
    void setShowContextMenu(bool on) { showContextMenu_ = on; changed("ShowContextMenu"); }
    bool OptimizeLoad() const { return optimizeLoad_; }
    void setOptimizeLoad(bool on) { optimizeLoad_ = on; changed("OptimizeLoad"); }
    bool EnableHotKeys() const { return enableHotKeys_; }
    void setEnableHotKeys(bool on) { enableHotKeys_ = on; changed("EnableHotKeys"); }
    int16_t SortColumn() const { return sortColumn_; }
    void setSortColumn(int16_t column) { sortColumn_ = column; }
    void SortInfo(int16_t& sortCol, bool& sortAsc) const { sortCol = sortColumn_; sortAsc = ascending_; }

    // ---- record source and query --------------------------------------------------------
    std::shared_ptr<Database> DataBase() const { return db_; }
    // A database reloads the view; none is ignored.
    void setDataBase(std::shared_ptr<Database> database);
    QString RecordSource() const { return recordSource_; }
    void setRecordSource(const QString& source);
    std::shared_ptr<Recordset> RecordSet() const { return rs_; }
    // Takes the SQL the recordset was opened with as the record source; none is ignored.
    void setRecordSet(const std::shared_ptr<Recordset>& recordset);
    // One-call configuration; invisCols -1 and imageColumn -2 keep the current values.
    void Setup(const QString& recordSource, int16_t invisCols = 0, int32_t invisColMode = 0,
               const QString& layout = QString(), const Variant& imageColumn = Variant(int32_t(-1)),
               bool translateIcons = false, const Variant& keyColumn = Variant(int32_t(-1)),
               const Variant& filterColumn = Variant(int32_t(-1)));
    void Requery();
    void Resort(int16_t column, bool ascending);
    // The value of a field (name or ordinal) in a row (-1: the selected one); Null when none.
    Variant FieldValue(const Variant& field, int32_t row = -1);
    int32_t ItemCount() const { return grid_->RowCount(); }

    // ---- columns ------------------------------------------------------------------------
    QString Layout() const;
    void setLayout(const QString& layout) { layout_ = layout; }
    // Loads a pending view first; null without a recordset.
    std::shared_ptr<vantile::Columns> Columns();
    void AutoSizeColumns(const Variant& column);
    // Raised before the column-layout dialog opens (modally, on the grid's columns).
    Event<SimpleReport*> EditHeadersRequested;
    void EditHeaders(const QString& view = QString());

    // ---- selection ----------------------------------------------------------------------
    int32_t SelectedIndex();
    void setSelectedIndex(int32_t row);
    Variant SelectedItemsEx() const { return grid_->SelectionSet()->Members(); }
    Collection<cListItem> SelectedItems() const;
    void ClearSelection();
    bool ItemSelected(int32_t row) const { return grid_->SelectionSet()->Contains(row); }
    void setItemSelected(int32_t row, bool selected);
    PicturePtr CreateDragImage(const Variant& column);

    // ---- sorting, find, type-ahead, copy ------------------------------------------------
    // Selects the first row (after `offset`, -1: from the top) whose field matches `value`.
    bool Find(const Variant& col, const Variant& value, int32_t offset = -1);
    // mode true closes the dialog, false opens it.
    void FindDialog(bool mode = false, bool fModal = false);
    frmSearch* findWindow() const { return frmFind_; }
    void CopyToClipboard(bool useSelection);
    // The column menu of a grid column (by Index); the menu stays open until chosen or closed.
    void BuildContextMenu(int32_t column);
    QMenu* contextMenu() const { return mnuKontext_; }
    // The menu actions by item number; only while the menu is up or for tests.
    void mnuPopup_Click(int index);
    void mnuCopy_Click(int index);
    SysTimer* typeAheadTimer() const { return timeOut_.get(); }

    // ---- events -------------------------------------------------------------------------
    Event<int32_t /*Index*/, int16_t /*Button*/, int16_t /*KeyState*/> ItemDblClick;
    Event<int32_t, int16_t, int16_t> ItemClick;
    Event<int32_t /*Index*/, int32_t /*colIndex*/, int16_t, int16_t> ItemClickEx;
    Event<int32_t /*Column*/, int16_t /*Button*/, int16_t /*Shift*/> ColumnClick;
    Event<> SelectionChange;
    Event<> TranslateLanguage;
    Event<int32_t& /*icon*/> TranslateIcon;
    Event<int16_t& /*KeyCode*/, int16_t& /*Shift*/> Keydown;
    Event<int32_t /*Index*/, int16_t /*Shift*/> DragItem;
    Event<int32_t, int32_t, int32_t /*status*/, Variant&, int32_t& /*FontStyle*/, int32_t& /*TextColor*/,
          int32_t& /*BackColor*/>
        FetchStyle;
    Event<int32_t, int32_t, QString&> CellTip;
    Event<int16_t& /*Column*/> FetchColumn;
    Event<int32_t, int32_t, Variant& /*Value*/, Variant& /*Icons*/> FetchContents;
    // A persisted property changed.
    Event<QString> PropertyChanged;

    // Row block kept for the grid (-1 .. -1: none).
    int32_t firstCachedRow() const { return firstCached_; }
    int32_t lastCachedRow() const { return lastCached_; }

protected:
    void resizeEvent(QResizeEvent* e) override;
    void showEvent(QShowEvent* e) override;
    void moveEvent(QMoveEvent* e) override;

private:
    void changed(const char* property) { PropertyChanged.raise(QString::fromLatin1(property)); }
    void reportError(const char* procedure, const QString& description) const;
    void layoutParts();
    // loading
    bool OpenView();
    int32_t DataSetup();
    void CloseData();
    // No rows and no columns.
    void clearGrid();
    bool ColumnSetup();
    void ApplyLegacyLayout(const QString& text);
    void UpdateView(bool rebuild, bool keepPosition);
    void RememberSelectedKey();
    void RestoreSelectedKey(bool keepPosition);
    bool LoadPending(bool force);
    void ReinitFindDialog();
    bool IsOnScreen() const;
    bool filterActive() const;
    int32_t fieldOrdinal(const Variant& field) const;
    // grid events
    void onFetchData(int32_t startIndex, int32_t endIndex, int32_t& cachePos, Variant& data);
    void onFetchContents(int32_t row, int32_t col, Variant& value, Variant& icons);
    void onHeaderClick(int32_t index, int16_t button);
    void onSelectionChanged();
    void onKeyDown(int16_t& keyCode, int16_t& shift);
    void onKeyPress(int16_t& keyAscii);
    // type-ahead
    void typeAhead(const QChar& c);
    void resetTypeAhead();
    void onTimeOut();
    int32_t typeAheadSearch(QString& text);
    // copy
    QString BuildClipboardText(int32_t row);
    QString cellText(const Field& field) const;

    vantile::ListView* grid_ = nullptr;
    QProgressBar* progressBar_ = nullptr;
    QMenu* mnuKontext_ = nullptr;
    std::shared_ptr<ImageList> imglArrows_;
    std::vector<ScopedConnection> connections_;

    std::shared_ptr<Database> db_;
    QString recordSource_;
    std::shared_ptr<QueryDef> query_;
    std::shared_ptr<Recordset> rs_;
    Variant filterColumn_ = Variant(int32_t(-1));
    Variant filterValue_ = Variant::null();
    int16_t sortColumn_ = 0;
    bool ascending_ = true;
    Variant keyColumn_ = Variant(int32_t(-1));
    Variant imageColumn_ = Variant(int32_t(-1));
    int16_t invisibleCols_ = 0;
    int32_t invisibleColMode_ = 0;
    QString layout_;
    double currencyFactor_ = 1.0;
    QString currencyFormat_ = QStringLiteral("Currency");
    int32_t firstCached_ = -1, lastCached_ = -1;
    Variant keptKey_ = Variant::null(), keptRow_ = Variant::null(), keptIndex_ = Variant::null();
    bool sortChange_ = false;
    bool loadForced_ = false;
    bool translateIcons_ = false, multiSelect_ = false, hoverSelect_ = false, lockUpdate_ = false;
    bool showContextMenu_ = false, showThousands_ = false, caseSensitive_ = false, enableHotKeys_ = true;
    bool optimizeLoad_ = false, dblClickOnReturn_ = false;
    int32_t sortMode_ = 0, searchMode_ = 0, autoSizeMode_ = 0, recordsetType_ = 0;
    int16_t maxColWidth_ = 300;

    // type-ahead
    QString typed_;
    double lastKey_ = 0;
    QElapsedTimer clock_;
    std::unique_ptr<SysTimer> timeOut_;

    frmSearch* frmFind_ = nullptr;
};

} // namespace tv
