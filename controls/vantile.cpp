#include "vantile.h"

namespace vantile {

QString libraryVersion() { return QStringLiteral("1.0"); }

} // namespace vantile
