#pragma once

// The plain way to read a query, for the main-window benchmark's references: the engine's C
// interface on a connection of its own (its own copy of the engine, with the same Jet
// functions and collation). A query is read as the window reads it, without its machinery:
// a large result whose first column is its table's key as the keys alone, in the query's
// order (through the same key query as the window's, or the keys sorted apart as the window
// sorts them, with its check for repeated keys), and
// then the rows one screen shows by key; a result without keys not at all; any other result
// whole, each row into a plain array of cells.

#include <QByteArray>
#include <QString>
#include <QVariant>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#define RAWREF_EXPORT __attribute__((visibility("default")))

// A cell: a number, or a text as offset and length in its table's text block.
struct RawCell {
    enum Kind : unsigned char { Null, Integer, Real, Text } kind = Null;
    union {
        long long i;
        double d;
        struct { unsigned offset, length; } text;
    };
};

struct RAWREF_EXPORT RawTable {
    int columns = 0;
    std::vector<QString> names;  // the result's column names
    std::vector<RawCell> cells;  // row by row
    std::string texts;           // UTF-8
    int rows() const { return columns ? int(cells.size() / size_t(columns)) : 0; }
    QString display(int row, int column) const;
    // The index of the column named `name`; -1 when the result has none.
    int column(const QString& name) const;
};

// A query's result: its keys in order (`keyed`), or its rows whole.
struct RAWREF_EXPORT RawResult {
    bool keyed = false;
    QString keyName;              // the first column, when keyed
    std::vector<int64_t> keys;
    RawTable table;
    int rows() const { return keyed ? int(keys.size()) : table.rows(); }
};

class RAWREF_EXPORT RawReference {
public:
    // Opens an existing catalogue file with its key; false when it cannot.
    bool open(const QString& path, const QByteArray& key);
    ~RawReference();
    // Runs an SQLite text with its parameter values bound in order; every row into `out`.
    bool run(const QString& sql, const std::vector<QVariant>& parameters, RawTable& out);
    // Reads `sql` for its keys when its first column is its base table's key and it has at
    // least `keyedFrom` rows, all of them whole numbers and unique; whole otherwise.
    bool read(const QString& sql, const std::vector<QVariant>& parameters, int keyedFrom, RawResult& out);
    // The rows of a keyed result with the keys keys[first] to keys[first + count - 1], in the
    // query's order: the query itself, narrowed to those keys.
    bool rowsByKey(const QString& sql, const std::vector<QVariant>& parameters, const RawResult& result, int first,
                   int count, RawTable& out);
    QString lastError() const;

private:
    struct sqlite3* db_ = nullptr;
};
