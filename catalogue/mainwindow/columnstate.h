#pragma once

#include <QHash>
#include <QString>
#include <cstdint>
#include <vector>

namespace vantile {
class Columns;
}

namespace tv {

// The arrangement of one list column, kept across a rebuild of the main window's lists.
struct ColumnState {
    QString Key;
    int32_t Hidden = 0;  // 0 shown, 1 hidden now, 2 hidden always
    int32_t Order = 0;   // place in its group
    int32_t Width = 0;   // the stored width, also while hidden
};

// One record per display position (0 to the column count), for the columns that are not
// always hidden; the positions of always-hidden columns stay empty records. No columns give
// one empty record.
std::vector<ColumnState> ReadColumnState(const vantile::Columns* columns);

// Applies a saved state: every column found in it (and not always hidden) is shown exactly
// when MainListColumns names its field (an empty MainListColumns leaves it shown or hidden as
// it is; a column of one view alone that it does not name keeps its saved visibility), and
// takes its saved place and width. Columns not in
// the state stay as they are, except that with `hideCategory` the category column is removed.
// A state of fewer than two records changes nothing.
void ApplyColumnState(vantile::Columns* columns, const std::vector<ColumnState>& saved, bool hideCategory);

// The fields (GetViewColumn) of the shown, unfixed columns in display order, joined by "@@@":
// what MainListColumns keeps of a list.
QString VisibleColumnFields(const vantile::Columns* columns);

// The list columns are keyed by their captions, so a language switch gives them new keys. These
// carry what was kept under the old keys over to the new ones (old key -> new key): a layout
// text (levels joined by "@", columns by "$", each "Key!..."), a saved state, and the
// "@@@"-joined field list of MainListColumns, whose untranslated fields stay as they are.
using ColumnKeyRenames = QHash<QString, QString>;
QString RenameLayoutKeys(const QString& layout, const ColumnKeyRenames& renames);
void RenameStateKeys(std::vector<ColumnState>& states, const ColumnKeyRenames& renames);
QString RenameFieldList(const QString& fields, const ColumnKeyRenames& renames);

} // namespace tv
