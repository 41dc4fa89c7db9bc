#pragma once

#include <QString>

namespace vantile {

// Version of the control library, "major.minor".
QString libraryVersion();

} // namespace vantile
