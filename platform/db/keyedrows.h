#pragma once

#include "dberror.h"
#include "jetsql.h"
#include "resulttable.h"
#include "platform/runtime/variant.h"

#include <QString>
#include <cstdint>
#include <memory>
#include <unordered_map>
#include <vector>

namespace tv {

class DbConnection;

// `sql` without the ORDER BY that ends it, where nothing but the order depends on it (no LIMIT
// or OFFSET after it); an ORDER BY inside parentheses or quotes stays.
QString WithoutFinalOrderBy(const QString& sql);

// The rows of a large query result by key. Opening runs the query for its first column alone
// (the primary key of its base table), which gives the count and the order of the rows;
// whole rows are read by key, a block at a time, when they are first wanted, and a few blocks
// stay cached. Opening a result of 100,000 rows then costs little more than sorting their
// keys, and memory grows with the number of rows, not with their width. A result qualifies
// when its keys are whole numbers and unique; the recordset reads every row at once otherwise.
// Owned by its recordset; dies with it or when the recordset reads its rows whole.
class KeyedRows {
public:
    // A block is about a page of a list: a jump to the end reads little more than it shows.
    static constexpr int kBlockRows = 32;
    // Expression columns take their type from the first value among this many rows; past them
    // the engine looks for one.
    static constexpr int kTypeSampleRows = 128;

    // The keys of `sql` (with its parameter values) through the column named `keyName`. Null
    // when the result does not qualify or has fewer than `minRows` rows; `error` is set only
    // when the query itself failed. `empty` (when given) tells that the keys were read and
    // there are none: the result has no rows, and reading it again would only cost the time.
    static std::unique_ptr<KeyedRows> Open(DbConnection& connection, const JetSql& sql,
                                           const std::vector<Variant>& parameters, const QString& keyName,
                                           int columns, int minRows, DbError* error, bool* empty = nullptr);

    int rowCount() const { return int(keys_.size()); }
    int64_t key(int row) const { return keys_[size_t(row)]; }
    // The row from `from` on, stepping by `step`, whose key is `key`; -1 when none.
    int findKey(int64_t key, int from, int step) const;
    // The block holding `row`, read when needed, and the row's place in it. A row deleted
    // since the keys were read comes back with its key and Nulls.
    const ResultTable& block(int row, int* offset, DbError* error);
    // Reads the blocks of rows `first` to `last` not yet cached, a few blocks to a statement:
    // a page of a list that spans two blocks costs one read.
    DbError prefetch(int first, int last);
    // A cell written through the recordset, in the cached copy of its row.
    void setCell(int row, int column, const Variant& value, int fieldType);

private:
    struct Block {
        ResultTable rows;
        uint64_t used = 0;
    };
    KeyedRows(DbConnection& connection, const JetSql& sql, std::vector<Variant> parameters, int columns);
    // Reads the blocks `indexes` (at most kBlocksPerRead) into the cache, evicting the least
    // recently used ones to make room.
    DbError read(const std::vector<int>& indexes);
    static constexpr int kBlocksPerRead = 4;

    DbConnection& connection_;
    QString rowsSql_;
    JetSql sql_;
    std::vector<Variant> parameters_;
    int columns_;
    std::vector<int64_t> keys_;
    std::unordered_map<int, Block> blocks_;
    uint64_t clock_ = 0;
};

} // namespace tv
