#pragma once

#include "platform/runtime/variant.h"

#include <QFont>
#include <QString>
#include <optional>

namespace vantile {
class Columns;
}

namespace tv {

// The display text of a coded file column, by the column's key (the captions of the file
// select list): the size as "12.5 KB", the BASIC, model, OS and video codes as their names.
// Nothing for a column that shows its value as it stands.
std::optional<QString> CodedColumnText(const QString& key, const Variant& value);

// Sets up the file columns of a list once it has them: the coded columns ask for their text,
// the type and archive-path columns show the row's icons, and the internal archive mark is
// never shown. A column that the stored `layout` (the list's layout text, levels joined by "@")
// does not name and that still has the report's first width gets its default width in `font`
// (DefaultColumnWidth).
void SetupFileColumns(vantile::Columns* columns, const QString& layout = QString(), const QFont& font = QFont());

// The width a file column (by its key, the translated caption) needs to show its caption and a
// whole value of the usual kind in `font`: a date with its time, the longest code name, a
// size, a path of some depth. 0 for a key that is no file column.
int32_t DefaultColumnWidth(const QString& key, const QFont& font);

} // namespace tv
