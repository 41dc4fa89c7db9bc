#include "columnstate.h"

#include "mainsettings.h"
#include "viewsql.h"
#include "controls/grid/columns.h"

namespace tv {

namespace {

// The column's width as the layout stores it; Width() reads 0 while a column is hidden.
int32_t storedWidth(const vantile::Column& column)
{
    for (const QString& field : column.LayoutText().split(QLatin1Char(';')))
        if (field.startsWith(QLatin1String("Width="))) return field.mid(6).toInt();
    return column.Width();
}

std::vector<std::shared_ptr<vantile::Column>> byDisplayOrder(const vantile::Columns* columns)
{
    std::vector<std::shared_ptr<vantile::Column>> result;
    for (int32_t pos = 0; columns && pos < columns->Count(); ++pos)
        if (auto c = columns->Item(Variant(pos), true)) result.push_back(c);
    return result;
}

} // namespace

std::vector<ColumnState> ReadColumnState(const vantile::Columns* columns)
{
    if (!columns || columns->Count() == 0) return std::vector<ColumnState>(1);
    std::vector<ColumnState> states(size_t(columns->Count()) + 1);
    size_t pos = 0;
    for (const auto& c : byDisplayOrder(columns)) {
        if (c->Hidden() != vantile::vtlHiddenAllways)
            states[pos] = ColumnState{c->Key(), c->Hidden(), c->Order(), storedWidth(*c)};
        ++pos;
    }
    return states;
}

void ApplyColumnState(vantile::Columns* columns, const std::vector<ColumnState>& saved, bool hideCategory)
{
    if (!columns || saved.size() < 2) return;
    // In saved display order, so every column finds the ones before it in place.
    for (const ColumnState& state : saved) {
        if (state.Key.isEmpty()) continue;
        const auto c = columns->Item(Variant(state.Key));
        if (!c || c->Hidden() == vantile::vtlHiddenAllways) continue;
        // An empty list is no stored list (a settings file without one): the columns stay shown
        // as the view gives them. A column of one view alone that the list does not name keeps
        // what it had: the list may come from a view that never had it.
        int32_t hidden = 1;
        if (MainListColumns.isEmpty()) hidden = c->Hidden();
        else if (MainListColumns.contains(GetViewColumn(c->Key()), Qt::CaseInsensitive)) hidden = 0;
        else if (IsViewOwnColumn(c->Key())) hidden = state.Hidden;
        // Place and width are ignored while a column is hidden: show first, hide last.
        if (hidden == 0 && c->Hidden() != 0) c->SetHidden(0);
        if (c->Order() != state.Order) c->SetOrder(state.Order);
        if (storedWidth(*c) != state.Width) c->SetWidth(state.Width);
        if (hidden != 0 && c->Hidden() != hidden) c->SetHidden(hidden);
    }
    if (!hideCategory) return;
    for (const ColumnState& state : saved)
        if (state.Key.compare(gtCategoryCaption, Qt::CaseInsensitive) == 0) return;
    if (columns->Item(Variant(gtCategoryCaption))) columns->Remove(Variant(gtCategoryCaption));
}

QString VisibleColumnFields(const vantile::Columns* columns)
{
    QStringList fields;
    for (const auto& c : byDisplayOrder(columns))
        if (c->Hidden() == 0 && c->Fixed() == 0) fields << GetViewColumn(c->Key());
    return fields.join(QStringLiteral("@@@"));
}

QString RenameLayoutKeys(const QString& layout, const ColumnKeyRenames& renames)
{
    if (renames.isEmpty() || layout.isEmpty()) return layout;
    QStringList levels = layout.split(QLatin1Char('@'));
    for (QString& level : levels) {
        QStringList entries = level.split(QLatin1Char('$'));
        for (QString& entry : entries) {
            const int bang = entry.indexOf(QLatin1Char('!'));
            if (bang < 0) continue;
            const auto renamed = renames.constFind(entry.left(bang));
            if (renamed != renames.cend()) entry = *renamed + entry.mid(bang);
        }
        level = entries.join(QLatin1Char('$'));
    }
    return levels.join(QLatin1Char('@'));
}

void RenameStateKeys(std::vector<ColumnState>& states, const ColumnKeyRenames& renames)
{
    for (ColumnState& state : states) state.Key = renames.value(state.Key, state.Key);
}

QString RenameFieldList(const QString& fields, const ColumnKeyRenames& renames)
{
    if (renames.isEmpty() || fields.isEmpty()) return fields;
    QStringList items = fields.split(QStringLiteral("@@@"));
    for (QString& item : items) item = renames.value(item, item);
    return items.join(QStringLiteral("@@@"));
}

} // namespace tv
