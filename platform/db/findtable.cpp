#include "findtable.h"

#include "connection.h"
#include "jetfunctions.h"
#include "resulttable.h"

#include "engine.h"

#include <cstring>
#include <map>

namespace tv {

namespace {

std::map<int, FindTable*>& registry()
{
    static std::map<int, FindTable*> tables;
    return tables;
}

int nextId = 1;

struct VTab {
    sqlite3_vtab base;
    FindTable* owner;
};

struct Cursor {
    sqlite3_vtab_cursor base;
    const ResultTable* rows;
    int row;
    int step;
};

enum Plan { ForwardAll = 0, ForwardFrom = 1, BackwardFrom = 2, BackwardAll = 3 };

int xConnect(sqlite3* db, void*, int argc, const char* const* argv, sqlite3_vtab** out, char** err)
{
    auto it = argc > 3 ? registry().find(atoi(argv[3])) : registry().end();
    if (it == registry().end()) {
        *err = sqlite3_mprintf("no rows for this find table");
        return SQLITE_ERROR;
    }
    QStringList columns;
    for (QString name : it->second->names()) {
        name.replace(QLatin1Char('"'), QLatin1String("\"\""));
        columns.append(QStringLiteral("\"%1\" COLLATE %2").arg(name, QLatin1String(kTextCollation)));
    }
    const QByteArray schema = QStringLiteral("CREATE TABLE x(%1)").arg(columns.join(QLatin1Char(','))).toUtf8();
    const int rc = sqlite3_declare_vtab(db, schema.constData());
    if (rc != SQLITE_OK) return rc;
    auto* tab = static_cast<VTab*>(sqlite3_malloc(sizeof(VTab)));
    std::memset(tab, 0, sizeof(VTab));
    tab->owner = it->second;
    *out = &tab->base;
    return SQLITE_OK;
}

int xDisconnect(sqlite3_vtab* tab)
{
    sqlite3_free(tab);
    return SQLITE_OK;
}

int xBestIndex(sqlite3_vtab*, sqlite3_index_info* info)
{
    int plan = ForwardAll;
    for (int i = 0; i < info->nConstraint; ++i) {
        const auto& c = info->aConstraint[i];
        if (!c.usable || c.iColumn != -1) continue;
        if (c.op == SQLITE_INDEX_CONSTRAINT_GE || c.op == SQLITE_INDEX_CONSTRAINT_LE) {
            plan = c.op == SQLITE_INDEX_CONSTRAINT_GE ? ForwardFrom : BackwardFrom;
            info->aConstraintUsage[i].argvIndex = 1;
            info->aConstraintUsage[i].omit = 1;
            break;
        }
    }
    if (info->nOrderBy == 1 && info->aOrderBy[0].iColumn == -1) {
        const bool desc = info->aOrderBy[0].desc != 0;
        if (plan == ForwardAll && desc) plan = BackwardAll;
        const bool backward = plan == BackwardFrom || plan == BackwardAll;
        info->orderByConsumed = backward == desc ? 1 : 0;
    }
    info->idxNum = plan;
    info->estimatedCost = plan == ForwardAll || plan == BackwardAll ? 1e6 : 1e3;
    return SQLITE_OK;
}

int xOpen(sqlite3_vtab* tab, sqlite3_vtab_cursor** out)
{
    auto* cur = static_cast<Cursor*>(sqlite3_malloc(sizeof(Cursor)));
    std::memset(cur, 0, sizeof(Cursor));
    cur->rows = reinterpret_cast<VTab*>(tab)->owner->rows();
    *out = &cur->base;
    return SQLITE_OK;
}

int xClose(sqlite3_vtab_cursor* cur)
{
    sqlite3_free(cur);
    return SQLITE_OK;
}

int xFilter(sqlite3_vtab_cursor* base, int plan, const char*, int argc, sqlite3_value** argv)
{
    auto* cur = reinterpret_cast<Cursor*>(base);
    const bool backward = plan == BackwardFrom || plan == BackwardAll;
    cur->step = backward ? -1 : 1;
    cur->row = backward ? cur->rows->rowCount() - 1 : 0;
    if (argc > 0) {
        const sqlite3_int64 from = sqlite3_value_int64(argv[0]);
        cur->row = int(std::max<sqlite3_int64>(-1, std::min<sqlite3_int64>(from, cur->rows->rowCount())));
    }
    return SQLITE_OK;
}

int xNext(sqlite3_vtab_cursor* base)
{
    auto* cur = reinterpret_cast<Cursor*>(base);
    cur->row += cur->step;
    return SQLITE_OK;
}

int xEof(sqlite3_vtab_cursor* base)
{
    auto* cur = reinterpret_cast<Cursor*>(base);
    return cur->row < 0 || cur->row >= cur->rows->rowCount();
}

int xColumn(sqlite3_vtab_cursor* base, sqlite3_context* ctx, int column)
{
    auto* cur = reinterpret_cast<Cursor*>(base);
    cur->rows->result(ctx, cur->row, column);
    return SQLITE_OK;
}

int xRowid(sqlite3_vtab_cursor* base, sqlite3_int64* rowid)
{
    *rowid = reinterpret_cast<Cursor*>(base)->row;
    return SQLITE_OK;
}

sqlite3_module makeModule()
{
    sqlite3_module m{};
    m.iVersion = 1;
    m.xCreate = xConnect;
    m.xConnect = xConnect;
    m.xBestIndex = xBestIndex;
    m.xDisconnect = xDisconnect;
    m.xDestroy = xDisconnect;
    m.xOpen = xOpen;
    m.xClose = xClose;
    m.xFilter = xFilter;
    m.xNext = xNext;
    m.xEof = xEof;
    m.xColumn = xColumn;
    m.xRowid = xRowid;
    return m;
}

QString tableName(int id) { return QStringLiteral("temp.tv_find_%1").arg(id); }

} // namespace

int RegisterFindModule(sqlite3* db)
{
    static const sqlite3_module module = makeModule();
    return sqlite3_create_module(db, "tv_find", &module, nullptr);
}

std::unique_ptr<FindTable> FindTable::Create(const std::shared_ptr<DbConnection>& connection,
                                             const ResultTable* rows, const QStringList& names, DbError* error)
{
    std::unique_ptr<FindTable> t(new FindTable);
    t->connection_ = connection;
    t->rows_ = rows;
    t->names_ = names;
    t->id_ = nextId++;
    registry()[t->id_] = t.get();
    *error = connection->RunPlain(
        QStringLiteral("CREATE VIRTUAL TABLE %1 USING tv_find(%2)").arg(tableName(t->id_)).arg(t->id_));
    if (*error) return nullptr;
    return t;
}

FindTable::~FindTable()
{
    if (connection_ && connection_->IsOpen() && rows_) connection_->RunPlain(QStringLiteral("DROP TABLE ") + tableName(id_));
    registry().erase(id_);
}

DbError FindTable::Find(const QString& criteria, int from, int step, int* found)
{
    *found = -1;
    const QString sql = step > 0 ? QStringLiteral("SELECT rowid FROM %1 WHERE rowid >= ?1 AND (%2) ORDER BY rowid LIMIT 1")
                                 : QStringLiteral("SELECT rowid FROM %1 WHERE rowid <= ?1 AND (%2) ORDER BY rowid DESC LIMIT 1");
    DbError error;
    sqlite3_stmt* stmt = connection_->Prepare(sql.arg(tableName(id_), criteria), &error);
    if (!stmt) return error;
    sqlite3_bind_int(stmt, 1, from);
    const int rc = sqlite3_step(stmt);
    if (rc == SQLITE_ROW) *found = sqlite3_column_int(stmt, 0);
    else if (rc != SQLITE_DONE) error = connection_->EngineError();
    sqlite3_reset(stmt);
    return error;
}

} // namespace tv
