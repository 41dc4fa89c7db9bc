#pragma once

#include <QString>

namespace tv {

// The query a list's keys are read through (as "SELECT key FROM (...)"): `sql` with every
// result column but the first (the key) that neither the ORDER BY nor the rest of the text
// names made a Null of the same name. The rows, their order and the first column stay as they
// are; the engine, which takes every column a subquery names for used, can then read the keys
// from an index that holds the key, the condition's and the order's columns, without reading
// the table's rows. `sql` comes back as it is when it is no plain SELECT (DISTINCT, UNION,
// GROUP BY, a "*"), has no ORDER BY (whose rows come in the order the engine finds them) or
// cannot be read.
QString KeysOnlySelect(const QString& sql);

} // namespace tv
