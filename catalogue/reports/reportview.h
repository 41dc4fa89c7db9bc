#pragma once

// ReportView: the drill-down report. It stacks levels of record sources over the catalogue:
// level 1 lists the top rows, level k+1 the rows whose parent key (column 1) equals the key
// (column 0) of a level-k row. One inner report list (SimpleReport) shows the active level;
// changing the level re-points it at another record source, filter value and column layout.
// Every level's record source selects, in this order, the key, the parent key, the icon and
// the caption, then further visible columns; the first three stay hidden.

#include "catalogue/reports/simplereport.h"
#include "platform/gui/wnd.h"

#include <QStringList>
#include <QWidget>
#include <memory>
#include <optional>
#include <vector>

namespace tv {

class CTreeItem;

// The level list of one ReportView: the record source of each level (1..Count).
class cListLevels {
public:
    cListLevels() = default;
    ~cListLevels() { Clear(); }

    // Replaces all levels by the texts of an array (its first element may itself be the
    // array of texts; further elements are then ignored) and raises Changed, also when the
    // new list is empty. A value that is no array leaves no levels.
    void Setup(const Variant& levels);
    void Setup(const QStringList& sources);
    int16_t Count() const { return int16_t(sources_.size()); }
    // A free value per level for the host: Empty for a level outside 1..Count; writing a
    // level outside 1..Count is ignored.
    Variant id(int level) const;
    void setId(int level, const Variant& value);

    Variant Key = Variant::null();
    // True: a new Setup shows level 1 anew and asks the host for layouts; false: it shows
    // the level that was active again.
    bool ReInit = true;
    Event<> Changed;

    // For the report controls.
    void SetDatabase(std::shared_ptr<Database> database) { db_ = std::move(database); }
    void Clear();
    QString LevelSource(int level) const;

private:
    QStringList sources_;
    std::vector<Variant> ids_;
    std::shared_ptr<Database> db_;
};

// Fills all six fields of a report row record; Tag gets the key a second time.
void InitListItem(cListItem& item, int32_t row, const QString& key, const QString& parentKey, int16_t level,
                  const QString& text);

class ReportView : public QWidget {
    Q_OBJECT
public:
    explicit ReportView(QWidget* parent = nullptr);
    ~ReportView() override;

    // The inner report list.
    SimpleReport* SimpleReport_() const { return list_; }
    HandleId hwnd() const { return HwndOf(const_cast<ReportView*>(this)); }
    // Repaints the control itself.
    void Refresh() { update(); }

    // ---- persistence -------------------------------------------------------------------
    // A newly placed control.
    void InitProperties();
    void ReadProperties(const PropertyBag& bag);
    void WriteProperties(PropertyBag& bag) const;

    // ---- levels --------------------------------------------------------------------------
    // A database starts a new, empty level list; none is ignored.
    void setDataBase(std::shared_ptr<Database> database);
    std::shared_ptr<cListLevels> levels() const { return levels_; }
    int16_t CurLevel() const { return curLevel_; }
    void NextLevel();
    void PrevLevel();
    // Shows the level and filter that belong to a tree item; none changes nothing.
    void Synchronize(const std::shared_ptr<CTreeItem>& item);
    // The column layouts of all levels joined by "@", level 1 first.
    QString Layout();
    void setLayout(const QString& layout);

    // ---- own members ---------------------------------------------------------------------
    void setEnabled(bool on);
    int16_t DblClickMode() const { return dblClickMode_; }
    void setDblClickMode(int16_t mode) { dblClickMode_ = mode; changed("DblClickMode"); }
    bool StoreUserColWidth() const { return storeUserColWidth_; }
    void setStoreUserColWidth(bool on) { storeUserColWidth_ = on; changed("StoreUserColWidth"); }
    // The column-layout dialog of the inner list; its result becomes the active level's layout.
    void EditHeaders();
    // The key (column 0) of the selected row; -1 for none.
    int32_t SelectedItemKey();
    // The selected row with all its fields; none without a selected row or record set.
    std::optional<cListItem> SelectedItem();
    Collection<cListItem> SelectedItems();

    // ---- passed to the inner list ---------------------------------------------------------
    uint32_t BackColor() const { return list_->BackColor(); }
    void setBackColor(uint32_t c) { list_->setBackColor(c); changed("BackColor"); }
    std::shared_ptr<StdFont> Font() const { return list_->Font(); }
    void setFont(std::shared_ptr<StdFont> f) { list_->setFont(std::move(f)); changed("Font"); }
    int32_t BorderStyle() const { return list_->BorderStyle(); }
    void setBorderStyle(int32_t s) { list_->setBorderStyle(s); changed("BorderStyle"); }
    int32_t SelectedIndex() { return list_->SelectedIndex(); }
    void setSelectedIndex(int32_t row) { list_->setSelectedIndex(row); }
    Variant FieldValue(const Variant& field, int32_t row = -1) { return list_->FieldValue(field, row); }
    void AutoSizeColumns(const Variant& column) { list_->AutoSizeColumns(column); }
    bool Find(const Variant& col, const Variant& value, int32_t offset = -1) { return list_->Find(col, value, offset); }
    void FindDialog() { list_->FindDialog(false, true); }
    void setImages(const std::shared_ptr<ImageList>& images) { list_->setImages(images); }
    bool TranslateIcons() const { return list_->TranslateIcons(); }
    void setTranslateIcons(bool on) { list_->setTranslateIcons(on); changed("TranslateIcons"); }
    int32_t AutoSizeMode() const { return list_->AutoSizeMode(); }
    void setAutoSizeMode(int32_t m) { list_->setAutoSizeMode(m); changed("AutoSizeMode"); }
    void Requery() { list_->Requery(); }
    int16_t MaxColWidth() const { return list_->MaxColWidth(); }
    void setMaxColWidth(int16_t w) { list_->setMaxColWidth(w); changed("MaxColWidth"); }
    std::shared_ptr<Recordset> RecordSet() const { return list_->RecordSet(); }
    bool MultiSelect() const { return list_->MultiSelect(); }
    void setMultiSelect(bool on) { list_->setMultiSelect(on); changed("MultiSelect"); }
    int32_t ItemCount() const { return list_->ItemCount(); }
    void SortInfo(int16_t& col, bool& asc) const { list_->SortInfo(col, asc); }
    void Resort(int16_t col, bool asc) { list_->Resort(col, asc); }
    int16_t SortColumn() const { return list_->SortColumn(); }
    bool DblClickOnReturn() const { return list_->DblClickOnReturn(); }
    void setDblClickOnReturn(bool on) { list_->setDblClickOnReturn(on); changed("DblClickOnReturn"); }
    int32_t SearchMode() const { return list_->SearchMode(); }
    void setSearchMode(int32_t m) { list_->setSearchMode(m); changed("SearchMode"); }
    int32_t SortMode() const { return list_->SortMode(); }
    void setSortMode(int32_t m) { list_->setSortMode(m); changed("SortMode"); }
    double CurrencyFactor() const { return list_->CurrencyFactor(); }
    void setCurrencyFactor(double f) { list_->setCurrencyFactor(f); changed("CurrencyFactor"); }
    QString CurrencyFormat() const { return list_->CurrencyFormat(); }
    void setCurrencyFormat(const QString& f) { list_->setCurrencyFormat(f); changed("CurrencyFormat"); }
    void CopyToClipboard(bool useSelection) { list_->CopyToClipboard(useSelection); }
    std::shared_ptr<vantile::Columns> Columns() { return list_->Columns(); }
    // The grid of the inner list (for the host's checks of what it shows).
    vantile::ListView* grid() const;
    bool AutoRefresh() const { return list_->AutoRefresh(); }
    void setAutoRefresh(bool on) { list_->setAutoRefresh(on); }
    bool ShowCellTips() const { return list_->ShowCellTips(); }
    void setShowCellTips(bool on) { list_->setShowCellTips(on); changed("ShowCellTips"); }
    bool ShowContextMenu() const { return list_->ShowContextMenu(); }
    void setShowContextMenu(bool on) { list_->setShowContextMenu(on); changed("ShowContextMenu"); }
    bool GridLines() const { return list_->GridLines(); }
    void setGridLines(bool on) { list_->setGridLines(on); changed("GridLines"); }
    bool ShowThousands() const { return list_->ShowThousands(); }
    void setShowThousands(bool on) { list_->setShowThousands(on); changed("ShowThousands"); }

    // ---- events ----------------------------------------------------------------------------
    Event<int16_t /*Level*/, int32_t& /*icon*/> TranslateIcon;
    Event<int32_t /*Column*/, int16_t /*Button*/, int16_t /*Shift*/> ColumnClick;
    Event<> SelectionChange;
    Event<int32_t /*Index*/, int16_t /*Button*/, int16_t /*KeyState*/> ItemClick;
    Event<int32_t, int16_t, int16_t> ItemDblClick;
    Event<QString&> TranslateLanguage;
    Event<QString& /*Layout*/> FetchColumnLayout;
    Event<int16_t& /*KeyCode*/, int16_t& /*Shift*/> Keydown;
    Event<int16_t& /*Column*/> FetchColumn;
    Event<int32_t, int32_t, int32_t, Variant&, int32_t&, int32_t&, int32_t&> FetchStyle;
    Event<int16_t /*Level*/> ActiveLevelChange;
    Event<int32_t, int32_t, Variant& /*Value*/, Variant& /*Icons*/> FetchContents;
    // A persisted property changed.
    Event<QString> PropertyChanged;

protected:
    void resizeEvent(QResizeEvent* e) override;

private:
    void changed(const char* property) { PropertyChanged.raise(QString::fromLatin1(property)); }
    void onLevelsChanged();
    void SetActiveLevel(int16_t level, const QString& filter);
    // Segment k of an "@"-joined text becomes the layout of level k (1..count).
    void takeLayouts(const QString& text, int count);
    void storeActiveLayout();
    void onItemDblClick(int32_t index, int16_t button, int16_t keyState);
    void fillItem(cListItem& item, const std::shared_ptr<Recordset>& rs, int32_t row);

    SimpleReport* list_ = nullptr;
    std::vector<ScopedConnection> connections_;
    ScopedConnection levelsConnection_;
    std::shared_ptr<Database> db_;
    std::shared_ptr<cListLevels> levels_;
    int16_t curLevel_ = 0;
    QStringList filters_;   // index 0 = level 1; one more than the levels
    QStringList layouts_;   // index 0 = level 1
    int16_t dblClickMode_ = 0;
    bool storeUserColWidth_ = true;
};

} // namespace tv
