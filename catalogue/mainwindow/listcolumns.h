#pragma once

#include "platform/runtime/variant.h"

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
// never shown.
void SetupFileColumns(vantile::Columns* columns);

} // namespace tv
