#pragma once

#include "platform/db/database.h"

#include <QByteArray>
#include <QString>
#include <memory>

namespace tv {

// The open catalogue, or none. Set only by ConnectDB once every check passed, released only
// by CloseDB; everything that queries the catalogue shares this one object.
extern std::shared_ptr<Database> goDB;

// Creates an empty catalogue at `path`, encrypted with `key` (empty: plain SQLite), with the
// tables MainFiles, Config, Category and History and the first "Version" row. Returns the
// open database, or null with `error` set (3204 when the file exists; a partly written file
// stays).
std::shared_ptr<Database> CreateCatalogue(const QString& path, const QByteArray& key, DbError* error);

// Asks for the name of a new catalogue ("Neue Datenbank erstellen") and creates it with the
// program's key. The full path, or empty text when cancelled or failed (after a message).
QString CreateDB();
// CreateDB after the dialog: `answer` is the chosen name (".MDB" is added when missing);
// sets gtDialogPath to its folder.
QString CreateDBFile(const QString& answer);

// Opens a catalogue: with the program's key, else as a plain SQLite file, else with the
// password the user types. Refuses files that are no catalogue or were written by a newer
// version (with a message); the previous catalogue then stays current.
bool ConnectDB(const QString& path);
// Closes and releases goDB, if any.
void CloseDB();
// Compacts the closed catalogue at gtDBPath in place with the key it was opened with,
// keeping the previous file as ".OLD". False after a message on failure; the catalogue is
// never left missing under its name.
bool CompactDB();

// The first value of "Select <expression> As FldValue From <table> <whereText>" as text;
// empty when there is no row, no catalogue or any failure. Puts "where " in front of a
// whereText that does not begin with "where" (for the caller too).
QString LookupField(const QString& expression, const QString& table, QString& whereText);
// whereText extended by one condition joined by `op` ("And" when empty; none after "(").
QString AddWhere(const QString& whereText, const QString& condition, QString& op);
// A Jet Like condition: fieldText'*searchText*', or fieldText'searchText' when the text holds
// a "*" of its own; empty for an empty searchText.
QString GetLikeClause(const QString& fieldText, const QString& searchText);

} // namespace tv
