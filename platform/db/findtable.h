#pragma once

#include "dberror.h"

#include <QStringList>
#include <memory>

struct sqlite3;

namespace tv {

class DbConnection;
class ResultTable;

// Lets the engine evaluate Jet criteria over a recordset's rows in memory: the rows appear
// as a temporary virtual table whose columns carry the recordset's field names and whose
// rowid is the row number. Owned by the recordset; dropped with it.
class FindTable {
public:
    static std::unique_ptr<FindTable> Create(const std::shared_ptr<DbConnection>& connection,
                                             const ResultTable* rows, const QStringList& names, DbError* error);
    ~FindTable();

    // The first row from `from` on, in direction `step` (1 or -1), where the translated
    // criteria hold; -1 in `found` when none does.
    DbError Find(const QString& criteria, int from, int step, int* found);

    const ResultTable* rows() const { return rows_; }
    const QStringList& names() const { return names_; }

private:
    FindTable() = default;
    std::shared_ptr<DbConnection> connection_;
    const ResultTable* rows_ = nullptr;
    QStringList names_;
    int id_ = 0;
};

// Registers the module behind FindTable on one connection.
int RegisterFindModule(sqlite3* db);

} // namespace tv
