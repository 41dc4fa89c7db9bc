#pragma once

#include "platform/db/database.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>

namespace tv {

// The open catalogue, or none. Set only by ConnectDB once every check passed, released only
// by CloseDB; everything that queries the catalogue shares this one object.
extern std::shared_ptr<Database> goDB;

// Every catalogue the program creates is encrypted with this key and has no password.
extern const QByteArray kProgramKey;

// The catalogue's tables and indexes, in the order CreateCatalogue makes them.
// Text columns compare without regard to case; tPath and tUnpackPath are file names and
// compare exactly, as Linux file names do. Index names carry their table's name because
// SQLite's index names are global. Long texts are LONGTEXT so that "1.10" stays a text.
inline constexpr const char* kCatalogueSchema[] = {
    ("CREATE TABLE MainFiles (ID INTEGER PRIMARY KEY AUTOINCREMENT, tFile VARCHAR(255) COLLATE TVTEXT,"
    " tPath VARCHAR(255), tUnpackPath VARCHAR(255), iFileType SMALLINT, lSize INTEGER, iBasic SMALLINT,"
    " iModel SMALLINT, iOS SMALLINT, iVideo SMALLINT, tMemo VARCHAR(255) COLLATE TVTEXT,"
    " tParam VARCHAR(255) COLLATE TVTEXT, Category_ID INTEGER, tsCreated DATETIME, tsLastStarted DATETIME,"
    " lStartCount INTEGER)"),
    "CREATE INDEX MainFiles_C1 ON MainFiles (tFile)",
    "CREATE INDEX MainFiles_C2 ON MainFiles (Category_ID)",
    "CREATE INDEX MainFiles_C3 ON MainFiles (tPath)",
    "CREATE INDEX MainFiles_C4 ON MainFiles (iFileType)",
    ("CREATE TABLE Config (ID INTEGER PRIMARY KEY AUTOINCREMENT, tItem VARCHAR(255) COLLATE TVTEXT,"
    " mConfig LONGTEXT COLLATE TVTEXT, tsCreated DATETIME)"),
    "CREATE INDEX Config_C1 ON Config (tItem)",
    "CREATE TABLE Category (ID INTEGER PRIMARY KEY, tCategory VARCHAR(255) COLLATE TVTEXT)",
    "CREATE TABLE History (ID INTEGER PRIMARY KEY AUTOINCREMENT, MainFiles_ID INTEGER, tsStarted DATETIME)",
    "CREATE INDEX History_C1 ON History (tsStarted)",
    "CREATE INDEX History_C2 ON History (MainFiles_ID)",
    "CREATE INDEX MainFiles_Member ON MainFiles (tPath, tUnpackPath)",
    "CREATE INDEX MainFiles_C5 ON MainFiles (tsLastStarted)",
    "CREATE INDEX MainFiles_C6 ON MainFiles (tFile, ID, Category_ID)",
    ("CREATE INDEX MainFiles_C7 ON MainFiles (ID, lSize, iModel, iOS, iBasic, iVideo, tsCreated, lStartCount,"
    " tMemo, tUnpackPath)"),
    "CREATE INDEX MainFiles_C8 ON MainFiles (iFileType, ID, tFile)",
};

// Indexes that catalogues written before them lack. Each speeds up a query and changes no
// stored value: an older catalogue gets them when it is opened for writing or compacted.
inline constexpr const char* kAddedIndexes[] = {
    // The history view joins History to each block of files it shows; without it every block
    // scans the whole table.
    "CREATE INDEX IF NOT EXISTS History_C2 ON History (MainFiles_ID)",
    // The import looks up each archive member by its archive and member chain; without it each
    // lookup reads every row of the archive stored so far, and an archive of N members costs N².
    "CREATE INDEX IF NOT EXISTS MainFiles_Member ON MainFiles (tPath, tUnpackPath)",
    // The history view lists the started files by their last start: with it, their keys come
    // in that order from the index, without a lookup of each file's row.
    "CREATE INDEX IF NOT EXISTS MainFiles_C5 ON MainFiles (tsLastStarted)",
    // The categories view lists the files that have a category by name: with it, their keys
    // come in that order from the index, without a lookup of each file's row for its category.
    // Equal names stay in the order of their IDs, as in the name index.
    "CREATE INDEX IF NOT EXISTS MainFiles_C6 ON MainFiles (tFile, ID, Category_ID)",
    // The file list sorted by one of its small columns reads the keys and that column from
    // here, a tenth of the table, in the table's own order (by ID): it orders no result
    // differently, and it grows only at its end as files are added.
    ("CREATE INDEX IF NOT EXISTS MainFiles_C7 ON MainFiles (ID, lSize, iModel, iOS, iBasic, iVideo, tsCreated,"
    " lStartCount, tMemo, tUnpackPath)"),
    // The selections by file type read the keys and names of the files of a type from here,
    // without each file's row; in the order of their IDs, as from the type index.
    "CREATE INDEX IF NOT EXISTS MainFiles_C8 ON MainFiles (iFileType, ID, tFile)",
};

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
// version, or lack tables or columns of the schema (with a message naming them); the previous
// catalogue then stays current and a refused file is never written to. Every catalogue is
// trusted only after the engine's quick check: a file whose first page opens with a key but
// that fails the check (or a read while opening) is damaged, not foreign; the user is offered
// to compact it into a copy of what is readable, and without his Yes it opens for reading only
// and nothing is written to it. A catalogue larger than the foreground limit is checked beside
// the window (no write reaches it before the check passed); damage found then, or by any later
// statement, gives the same notice once (SetCatalogueDamagedHandler) and the catalogue is read
// only from then on. A file cut short opens when the check passes, with a notice and the offer
// to compact it. A file that cannot be written opens for reading, with a notice. A catalogue
// opened for writing gets the indexes it lacks (kAddedIndexes); one opened for reading stays as
// it is. A copy left beside it by a compaction that was stopped (".MDR") is removed.
bool ConnectDB(const QString& path);
// The notice that the catalogue at `path` is damaged (`description`: the engine's finding),
// with the offer to compact it; true when the user answered Yes.
bool OfferToCompactDamaged(const QString& path, const QString& description);
// Who learns, on the event loop, that the open catalogue was found damaged after it opened
// (goDB is read only by then): the main window, which offers compaction and can close and
// reopen the catalogue. Without one the notice alone is shown. Null: none.
void SetCatalogueDamagedHandler(std::function<void(const QString& path, const DbError& damage)> handler);
// Catalogues up to this many bytes are checked before they open, larger ones beside the window.
// For tests and benchmarks.
void SetForegroundCheckLimit(qint64 bytes);
// Compares two version texts part by part as numbers ("1.10" is newer than "1.9", "1.0"
// equals "1"): -1, 0 or 1 when `stored` is older, equal or newer; 2 when either text is no
// version (digits separated by dots and nothing else: " 9.9", "" and "1..2" are none).
int CompareVersions(const QString& stored, const QString& program);
// The tables ("History") and columns ("MainFiles.iFileType") of the schema that the open
// database lacks; empty for a complete catalogue. Reads only.
QStringList MissingCatalogueParts(Database& db);
// Closes and releases goDB, if any.
void CloseDB();
// Compacts the closed catalogue at gtDBPath in place with the key it was opened with,
// keeping the previous file as ".OLD"; the compacted file has every index of kAddedIndexes.
// False after a message on failure (a catalogue or folder that cannot be written among them),
// the catalogue then as it was. Whenever it stops, the catalogue's name holds the old or the
// new complete file; a copy left by a run that was stopped is removed by the next one.
bool CompactDB();
// Gives `path` to the file `replacement` in one rename, keeping the file that had the name as
// `kept` (an older `kept` is deleted). When the replacement cannot take the name, `kept` is
// removed again and `path` is as it was. Empty text on success, else the reason.
QString ReplaceKeepingOld(const QString& path, const QString& replacement, const QString& kept);
// The steps of a compaction after which the files beside the catalogue change. A test hook is
// called after each (null: none), and sees the files as a program that stopped there leaves them.
enum class CompactStep { CopyWritten, OldRemoved, OldKept, Replaced };
void SetCompactStepHook(std::function<void(CompactStep)> hook);

// The first value of "Select <expression> As FldValue From <table> <whereText>" as text;
// empty when there is no row, no catalogue or any failure. Puts "where " in front of a
// whereText that does not begin with "where" (for the caller too).
QString LookupField(const QString& expression, const QString& table, QString& whereText);
// whereText extended by one condition joined by `op` ("And" when empty; none after "(").
QString AddWhere(const QString& whereText, const QString& condition, QString& op);
// `text` for a Like pattern in which it matches itself: "?", "#" and "[" are enclosed in
// brackets. "*" stays the one wildcard a user types, unless `literalStar` encloses it too.
QString LikeText(const QString& text, bool literalStar = false);
// A Jet Like condition: fieldText'*searchText*', or fieldText'searchText' when the text holds
// a "*" of its own; empty for an empty searchText. Apart from "*" the text matches literally.
QString GetLikeClause(const QString& fieldText, const QString& searchText);

} // namespace tv
