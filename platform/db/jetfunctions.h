#pragma once

#include <QString>

struct sqlite3;

namespace tv {

// The collation of every text column but the path: Unicode, without regard to case
// ("Ärger" equals "ärger"; SQLite's NOCASE folds ASCII only).
inline constexpr char kTextCollation[] = "TVTEXT";

// Jet's Like: "*" any run, "?" one character, "#" one digit, "[a-z]" / "[!a-z]" a set or
// its complement ("[*]" is a literal star); letters compare without regard to case.
bool JetLike(const QString& text, const QString& pattern);

// Registers the Jet functions the catalogue's SQL texts call (like, iif, tv_isnull, ucase,
// lcase, tv_left, tv_right, mid, len, clng, cint, cdate, format, val, int, tv_cat) and the
// text collation on one connection. Returns an SQLite result code.
int RegisterJetFunctions(sqlite3* db);

// Jet's Format for the patterns the SQL texts use: dates ("dd.MM.yyyy", "hh:nn:ss", ...)
// and numbers ("0", "0.00", "#,##0").
QString JetFormatDate(double serial, const QString& pattern);
QString JetFormatNumber(double value, const QString& pattern);

} // namespace tv
