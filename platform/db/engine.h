#pragma once

// The engine's C interface for the layer's own sources; never included by a public header.
#include <sqlite3.h>

#include <cstdint>

namespace tv {

// SQLite copies the bytes of a text or blob result when given this destructor.
inline const sqlite3_destructor_type kSqliteTransient = reinterpret_cast<sqlite3_destructor_type>(intptr_t(-1));

} // namespace tv
