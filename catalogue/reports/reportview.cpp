#include "catalogue/reports/reportview.h"

#include "catalogue/tree/ctreeitem.h"
#include "platform/component/propertybag.h"
#include "platform/db/database.h"
#include "platform/db/recordset.h"
#include "platform/gui/modfont.h"

#include <QApplication>
#include <QScopeGuard>

namespace tv {

// ---- cListLevels -------------------------------------------------------------------------------

void cListLevels::Setup(const Variant& levels)
{
    Clear();
    QStringList sources;
    if (const VariantArray* outer = levels.array(); outer && outer->ubound() >= outer->lbound()) {
        const VariantArray* list = outer;
        if (const VariantArray* inner = outer->at(outer->lbound()).array()) list = inner;
        for (int i = list->lbound(); i <= list->ubound(); ++i) sources << list->at(i).text();
    }
    sources_ = sources;
    ids_.assign(size_t(sources_.size()), Variant());
    Changed.raise();
}

void cListLevels::Setup(const QStringList& sources)
{
    VariantArray array(0, int(sources.size()) - 1);
    for (int i = 0; i < sources.size(); ++i) array.at(i) = Variant(sources[i]);
    Setup(Variant(array));
}

Variant cListLevels::id(int level) const
{
    return level >= 1 && level <= Count() ? ids_[size_t(level - 1)] : Variant();
}

void cListLevels::setId(int level, const Variant& value)
{
    if (level >= 1 && level <= Count()) ids_[size_t(level - 1)] = value;
}

void cListLevels::Clear()
{
    sources_.clear();
    ids_.clear();
}

QString cListLevels::LevelSource(int level) const
{
    return level >= 1 && level <= Count() ? sources_[level - 1] : QString();
}

void InitListItem(cListItem& item, int32_t row, const QString& key, const QString& parentKey, int16_t level,
                  const QString& text)
{
    item.Row = row;
    item.Key = key;
    item.ParentKey = parentKey;
    item.Tag = Variant(key);
    item.Level = level;
    item.Text = text;
}

// ---- ReportView -----------------------------------------------------------------------------------

ReportView::ReportView(QWidget* parent) : QWidget(parent)
{
    list_ = new SimpleReport(this);
    list_->setObjectName(QStringLiteral("SimpleReport"));
    list_->InitProperties();
    list_->ReadProperties(PropertyBag());
    list_->setRecordsetType(1);
    list_->setKeyColumn(Variant(int32_t(0)));
    list_->setFilterValue(Variant(QString()));

    auto& c = connections_;
    c.emplace_back(list_->TranslateIcon.connect([this](int32_t& icon) { TranslateIcon.raise(curLevel_, icon); }));
    c.emplace_back(list_->ColumnClick.connect([this](int32_t col, int16_t b, int16_t s) { ColumnClick.raise(col, b, s); }));
    c.emplace_back(list_->SelectionChange.connect([this] { SelectionChange.raise(); }));
    c.emplace_back(list_->ItemClick.connect([this](int32_t i, int16_t b, int16_t k) { ItemClick.raise(i, b, k); }));
    c.emplace_back(list_->ItemDblClick.connect([this](int32_t i, int16_t b, int16_t k) { onItemDblClick(i, b, k); }));
    c.emplace_back(list_->TranslateLanguage.connect([this] {
        QString text;
        TranslateLanguage.raise(text);
    }));
    c.emplace_back(list_->Keydown.connect([this](int16_t& k, int16_t& s) { Keydown.raise(k, s); }));
    c.emplace_back(list_->FetchColumn.connect([this](int16_t& col) { FetchColumn.raise(col); }));
    c.emplace_back(list_->FetchStyle.connect(
        [this](int32_t i, int32_t col, int32_t st, Variant& v, int32_t& fs, int32_t& tc, int32_t& bc) {
            FetchStyle.raise(i, col, st, v, fs, tc, bc);
        }));
    c.emplace_back(list_->FetchContents.connect(
        [this](int32_t i, int32_t col, Variant& v, Variant& icons) { FetchContents.raise(i, col, v, icons); }));
}

ReportView::~ReportView()
{
    levelsConnection_.disconnect();
    connections_.clear();
}

// ---- persistence -------------------------------------------------------------------------------

void ReportView::InitProperties()
{
    dblClickMode_ = 1;
    setDblClickOnReturn(true);
    setBorderStyle(1);
}

void ReportView::ReadProperties(const PropertyBag& bag)
{
    auto read = [&bag](const char* key, const Variant& def) { return bag.ReadProperty(QString::fromLatin1(key), def); };
    list_->setBackColor(uint32_t(int64_t(read("BackColor", Variant(double(0x80000005u))).toDouble())));
    QWidget::setEnabled(read("Enabled", Variant(true)).toBool());
    if (auto font = read("Font", Variant()).as<StdFont>()) list_->setFont(font);
    list_->setBorderStyle(read("BorderStyle", Variant(int16_t(1))).toInt());
    list_->setTranslateIcons(read("TranslateIcons", Variant(false)).toBool());
    list_->setAutoSizeMode(read("AutoSizeMode", Variant(int16_t(0))).toInt());
    list_->setMaxColWidth(int16_t(read("MaxColWidth", Variant(int16_t(300))).toInt()));
    list_->setMultiSelect(read("MultiSelect", Variant(false)).toBool());
    list_->setDblClickOnReturn(read("DblClickOnReturn", Variant(false)).toBool());
    list_->setSearchMode(read("SearchMode", Variant(int32_t(0))).toLong());
    list_->setSortMode(read("SortMode", Variant(int32_t(0))).toLong());
    list_->setCurrencyFormat(read("CurrencyFormat", Variant(QStringLiteral("Currency"))).text());
    list_->setCurrencyFactor(read("CurrencyFaktor", Variant(1.0)).toDouble());
    list_->setShowCellTips(read("ShowCellTips", Variant(false)).toBool());
    list_->setShowContextMenu(read("ShowContextMenu", Variant(false)).toBool());
    list_->setGridLines(read("GridLines", Variant(false)).toBool());
    list_->setShowThousands(read("ShowThousands", Variant(false)).toBool());
    dblClickMode_ = int16_t(read("DblClickMode", Variant(int32_t(0))).toLong());
    storeUserColWidth_ = read("StoreUserColWidth", Variant(true)).toBool();

    // The inner list serves the level record sources: key, parent key and icon hidden in front.
    list_->setInvisibleColMode(1);
    list_->setInvisibleCols(3);
    list_->setFilterColumn(Variant(int32_t(1)));
    list_->setImageColumn(Variant(int32_t(2)));
    list_->setKeyColumn(Variant(int32_t(0)));
}

void ReportView::WriteProperties(PropertyBag& bag) const
{
    auto write = [&bag](const char* key, const Variant& value, const Variant& def) {
        bag.WriteProperty(QString::fromLatin1(key), value, def);
    };
    write("BackColor", Variant(double(BackColor())), Variant(double(0x80000005u)));
    write("Enabled", Variant(isEnabled()), Variant(true));
    write("Font", Variant(std::static_pointer_cast<Object>(Font())), Variant());
    write("BorderStyle", Variant(int16_t(BorderStyle())), Variant(int16_t(1)));
    write("TranslateIcons", Variant(TranslateIcons()), Variant(false));
    write("AutoSizeMode", Variant(int16_t(AutoSizeMode())), Variant(int16_t(0)));
    write("MaxColWidth", Variant(MaxColWidth()), Variant(int16_t(300)));
    write("DblClickMode", Variant(int32_t(dblClickMode_)), Variant(int32_t(0)));
    write("StoreUserColWidth", Variant(storeUserColWidth_), Variant(true));
    write("MultiSelect", Variant(MultiSelect()), Variant(false));
    write("DblClickOnReturn", Variant(DblClickOnReturn()), Variant(false));
    write("SearchMode", Variant(SearchMode()), Variant(int32_t(0)));
    write("SortMode", Variant(SortMode()), Variant(int32_t(0)));
    write("CurrencyFormat", Variant(CurrencyFormat()), Variant(QStringLiteral("Currency")));
    write("CurrencyFaktor", Variant(CurrencyFactor()), Variant(1.0));
    write("ShowCellTips", Variant(ShowCellTips()), Variant(false));
    write("ShowContextMenu", Variant(ShowContextMenu()), Variant(false));
    write("GridLines", Variant(GridLines()), Variant(false));
    write("ShowThousands", Variant(ShowThousands()), Variant(false));
}

void ReportView::setEnabled(bool on)
{
    QWidget::setEnabled(on);
    changed("Enabled");
}

void ReportView::resizeEvent(QResizeEvent*) { list_->setGeometry(0, 0, width(), height()); }

// ---- levels --------------------------------------------------------------------------------------

void ReportView::setDataBase(std::shared_ptr<Database> database)
{
    if (!database) return;
    db_ = database;
    levelsConnection_.disconnect();
    levels_ = std::make_shared<cListLevels>();
    levels_->SetDatabase(database);
    levelsConnection_ = levels_->Changed.connect([this] { onLevelsChanged(); });
    list_->setRecordSource(QString());
    list_->setDataBase(std::move(database));
}

void ReportView::onLevelsChanged()
{
    const int count = levels_->Count();
    if (count == 0) return;
    const int16_t remembered = curLevel_;
    curLevel_ = 0;
    if (levels_->ReInit) {
        filters_.clear();
        layouts_.clear();
    }
    // One filter value per level and one more, one layout per level.
    while (filters_.size() < count + 1) filters_ << QString();
    while (layouts_.size() < count) layouts_ << QString();
    if (levels_->ReInit) {
        QString answer;
        FetchColumnLayout.raise(answer);
        if (!answer.isEmpty()) takeLayouts(answer, count);
    } else if (remembered >= 1 && remembered <= count) {
        SetActiveLevel(remembered, filters_[remembered - 1]);
        return;
    }
    // Without a level shown before, a kept level list starts at level 1 too.
    SetActiveLevel(1, QString());
}

void ReportView::takeLayouts(const QString& text, int count)
{
    const QStringList segments = text.split(QLatin1Char('@'));
    for (int k = 0; k < count; ++k) layouts_[k] = k < segments.size() ? segments[k] : QString();
}

void ReportView::storeActiveLayout()
{
    if (curLevel_ < 1 || curLevel_ > layouts_.size()) return;
    const QString layout = list_->Layout();
    if (!layout.isEmpty()) layouts_[curLevel_ - 1] = layout;
}

void ReportView::SetActiveLevel(int16_t level, const QString& filter)
{
    if (level != curLevel_ && level >= 1 && level <= levels_->Count()) {
        storeActiveLayout();
        curLevel_ = level;
        filters_[level - 1] = filter;
        const bool autoRefresh = list_->AutoRefresh();
        list_->setAutoRefresh(false);
        auto restore = qScopeGuard([&] { list_->setAutoRefresh(autoRefresh); });
        list_->setRecordSource(QString());
        list_->setFilterValue(Variant(filter));
        list_->setLayout(layouts_[level - 1]);
        list_->setRecordSource(levels_->LevelSource(level));
        ActiveLevelChange.raise(level);
    } else if (list_->FilterValue().isNull() || list_->FilterValue().text() != filter) {
        list_->setFilterValue(Variant(filter));
    }
}

void ReportView::NextLevel()
{
    if (!levels_ || list_->SelectedIndex() == -1) return;
    if (curLevel_ >= levels_->Count()) return;
    const Variant key = list_->FieldValue(Variant(int32_t(0)), -1);
    if (key.isNull()) return;
    SetActiveLevel(int16_t(curLevel_ + 1), key.text());
}

void ReportView::PrevLevel()
{
    if (curLevel_ > 1) SetActiveLevel(int16_t(curLevel_ - 1), filters_[curLevel_ - 2]);
}

void ReportView::Synchronize(const std::shared_ptr<CTreeItem>& item)
{
    if (!item || !levels_ || levels_->Count() == 0) return;
    const int count = levels_->Count();
    for (auto it = item; it; it = it->ParentItem())
        if (it->Level >= 1 && it->Level <= count + 1 && filters_.size() > count) filters_[it->Level - 1] = it->Key;
    if (item->Level == 1) {
        SetActiveLevel(1, QString());
    } else if (item->Level > count) {
        if (auto parent = item->ParentItem()) SetActiveLevel(int16_t(parent->Level), parent->Key);
    } else {
        SetActiveLevel(int16_t(item->Level), item->Key);
    }
}

QString ReportView::Layout()
{
    if (curLevel_ == 0) return QString();
    storeActiveLayout();
    return layouts_.join(QLatin1Char('@'));
}

void ReportView::setLayout(const QString& layout)
{
    if (layout.isEmpty()) return;
    const int count = levels_ ? levels_->Count() : 0;
    if (count >= 1 && layouts_.size() >= count) {
        takeLayouts(layout, count);
        if (curLevel_ >= 1) {
            // The inner list keeps a layout for its next load; the columns shown take it now.
            list_->setLayout(layouts_[curLevel_ - 1]);
            list_->grid()->Columns()->SetLayout(layouts_[curLevel_ - 1]);
        }
    } else {
        layouts_ = layout.split(QLatin1Char('@'));
    }
}

// ---- own members --------------------------------------------------------------------------------

vantile::ListView* ReportView::grid() const { return list_->grid(); }

void ReportView::EditHeaders()
{
    list_->EditHeaders();
    storeActiveLayout();
}

void ReportView::onItemDblClick(int32_t index, int16_t button, int16_t keyState)
{
    if (dblClickMode_ != 0) {
        ItemDblClick.raise(index, button, keyState);
        return;
    }
    QApplication::setOverrideCursor(Qt::WaitCursor);
    auto restore = qScopeGuard([] { QApplication::restoreOverrideCursor(); });
    NextLevel();
}

int32_t ReportView::SelectedItemKey()
{
    if (list_->SelectedIndex() == -1) return -1;
    return list_->FieldValue(Variant(int32_t(0)), -1).toLong();
}

void ReportView::fillItem(cListItem& item, const std::shared_ptr<Recordset>& rs, int32_t row)
{
    if (rs->SetAbsolutePosition(row)) return;
    InitListItem(item, row, rs->Fields(0).Value().text(), rs->Fields(1).Value().text(), curLevel_,
                 rs->FieldCount() > 3 ? rs->Fields(3).Value().text() : QString());
}

std::optional<cListItem> ReportView::SelectedItem()
{
    const int32_t row = list_->SelectedIndex();
    if (row == -1) return std::nullopt;
    auto rs = list_->RecordSet();
    if (!rs || rs->RecordCount() <= row) return std::nullopt;
    cListItem item;
    fillItem(item, rs, row);
    return item;
}

Collection<cListItem> ReportView::SelectedItems()
{
    Collection<cListItem> items = list_->SelectedItems();
    if (auto rs = list_->RecordSet())
        for (int i = 1; i <= items.count(); ++i) fillItem(*items.item(i), rs, items.item(i)->Row);
    return items;
}

} // namespace tv
