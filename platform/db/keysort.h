#pragma once

#include <QString>
#include <QStringList>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

struct sqlite3_stmt;

namespace tv {

// A list sorted by one of its columns that no index orders: the engine reads every row of the
// table and sorts them all, record by record, which at a million files takes a second or two.
// Its keys can instead be read with that column alone, unsorted, from an index that holds
// both (a tenth of the table), and sorted here, in the engine's order: the column's values as
// the engine compares them (Null first, then numbers, then texts in the column's collation),
// and equal values in the order the engine's sort kept them, which is the table's (by key)
// when it read the table in that order.

// How the keys of `sqliteText` may be read apart: the query (as the list's key query, with
// the columns nothing needs made Null) without its ORDER BY, the 0-based result column it is
// ordered by, and the direction. None unless the text ends in "ORDER BY <n> [ASC|DESC]" with
// n past the first (key) column and names no collation of its own.
struct KeySortShape {
    QString unordered;
    int column = 0;
    bool descending = false;
};
std::optional<KeySortShape> KeySortShapeOf(const QString& sqliteText);

// Whether the engine's plan of the ordered key query (its steps, as EXPLAIN QUERY PLAN words
// them) reads one table in the order of its rows (with tables joined by their key, which add
// at most one row to each) and sorts them afterwards: then equal values come in the order of
// their keys. `table` is the table it reads in order.
bool SortsRowsReadInTableOrder(const QStringList& planSteps, QString* table);

// The collations the keys are sorted in here; any other leaves the sort to the engine.
enum class KeyCollation { Binary, Text };
// The collation named `name` (the engine's "BINARY", the catalogue's text collation); none
// for any other.
std::optional<KeyCollation> KeyCollationNamed(const QString& name);

// The keys with their sort values, as read, then sorted. Each storage class apart, in 16 bytes
// a row: a million keys take little more than the table of their keys.
class KeySort {
public:
    // Adds the row's key (column 0, a whole number) and its value in `column`. False when the
    // value cannot be sorted here (a blob) or the key is no whole number.
    bool add(sqlite3_stmt* stmt, int column);
    void clear();
    // The keys in the engine's order: by value (`descending` reverses it), equal values by key.
    std::vector<int64_t> sorted(KeyCollation collation, bool descending);

private:
    struct Integer {
        int64_t key, value;
    };
    struct Real {
        int64_t key;
        double value;
    };
    struct Text {
        int64_t key;
        uint32_t offset, length;
    };
    std::vector<int64_t> nulls_;
    std::vector<Integer> integers_;
    std::vector<Real> reals_;
    std::vector<Text> texts_;
    std::string chars_;
};

// The collation of the read's column `column`, when its column 0 is the key of `table` (an
// INTEGER PRIMARY KEY, the number of the table's row): a column of a table has its declared
// one, an expression the engine's binary one. None when the keys cannot be sorted here.
std::optional<KeyCollation> KeySortCollation(sqlite3_stmt* stmt, int column, const QString& table);

// Reads the keys of `sqliteText` (its key column `quotedKey`) sorted apart, when the engine
// would sort rows it reads in table order: `planOf` gives the steps of a text's plan, `read`
// reads a text's rows to their end, handing each to its row sink (false ends it early) and
// calling its start-over when it starts again, and tells whether it succeeded.
// NotSortedApart: the keys are to be read in the engine's order. Failed: a read failed.
using KeySortRow = std::function<bool(sqlite3_stmt*)>;
enum class KeySortOutcome { NotSortedApart, Sorted, Failed };
KeySortOutcome SortKeysApart(const QString& sqliteText, const QString& quotedKey,
                             const std::function<QStringList(const QString&)>& planOf,
                             const std::function<bool(const QString&, const KeySortRow&, const std::function<void()>&)>& read,
                             std::vector<int64_t>& keys);

} // namespace tv
