#pragma once

#include <QString>

struct sqlite3;

namespace tv {

// The collation of every text column but the path: German order without regard to case
// ("Ärger" equals "ärger", "Käferjagd" sorts before "Kolonie"; see CompareText). SQLite's
// NOCASE folds ASCII only and sorts umlauts after "Z".
inline constexpr char kTextCollation[] = "TVTEXT";

// Jet's Like: "*" any run, "?" one character, "#" one digit, "[a-z]" / "[!a-z]" a set or
// its complement ("[*]" is a literal star); letters compare without regard to case.
bool JetLike(const QString& text, const QString& pattern);

// Registers the Jet functions the catalogue's SQL texts call (like, iif, tv_isnull, ucase,
// lcase, tv_left, tv_right, mid, len, clng, cint, cdate, format, val, int, tv_cat) and the
// text collation on one connection. Returns an SQLite result code.
int RegisterJetFunctions(sqlite3* db);

} // namespace tv
