#include "rawreference.h"

#include "platform/db/engine.h"
#include "platform/db/jetfunctions.h"
#include "platform/db/keyrepeats.h"
#include "platform/db/keyselect.h"
#include "platform/db/keysort.h"

#include <QStringList>
#include <algorithm>

QString RawTable::display(int row, int column) const
{
    const RawCell& c = cells[size_t(row) * size_t(columns) + size_t(column)];
    switch (c.kind) {
    case RawCell::Integer: return QString::number(c.i);
    case RawCell::Real: return QString::number(c.d);
    case RawCell::Text: return QString::fromUtf8(texts.data() + c.text.offset, qsizetype(c.text.length));
    default: return QString();
    }
}

int RawTable::column(const QString& name) const
{
    for (int c = 0; c < int(names.size()); ++c)
        if (names[size_t(c)].compare(name, Qt::CaseInsensitive) == 0) return c;
    return -1;
}

bool RawReference::open(const QString& path, const QByteArray& key)
{
    if (sqlite3_open_v2(path.toUtf8().constData(), &db_, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK) return false;
    if (!key.isEmpty()) sqlite3_key(db_, key.constData(), int(key.size()));
    tv::RegisterJetFunctions(db_);
    // The engine set up as the catalogue's own connection is: a large page cache that keeps
    // decrypted pages between queries, and sorting in memory.
    for (const char* pragma : {"PRAGMA cache_size=-65536", "PRAGMA temp_store=MEMORY"})
        if (sqlite3_exec(db_, pragma, nullptr, nullptr, nullptr) != SQLITE_OK) return false;
    return sqlite3_exec(db_, "SELECT count(*) FROM sqlite_master", nullptr, nullptr, nullptr) == SQLITE_OK;
}

RawReference::~RawReference() { sqlite3_close(db_); }

QString RawReference::lastError() const { return QString::fromUtf8(sqlite3_errmsg(db_)); }

namespace {

void bindValues(sqlite3_stmt* stmt, const std::vector<QVariant>& parameters)
{
    for (int p = 0; p < int(parameters.size()); ++p) {
        const QVariant& v = parameters[size_t(p)];
        switch (v.typeId()) {
        case QMetaType::Int:
        case QMetaType::LongLong:
        case QMetaType::Short:
        case QMetaType::Bool: sqlite3_bind_int64(stmt, p + 1, v.toLongLong()); break;
        case QMetaType::Double: sqlite3_bind_double(stmt, p + 1, v.toDouble()); break;
        case QMetaType::QString: {
            const QByteArray s = v.toString().toUtf8();
            sqlite3_bind_text(stmt, p + 1, s.constData(), int(s.size()), tv::kSqliteTransient);
            break;
        }
        default: sqlite3_bind_null(stmt, p + 1); break;
        }
    }
}

sqlite3_stmt* prepare(sqlite3* db, const QString& sql)
{
    sqlite3_stmt* stmt = nullptr;
    const QByteArray text = sql.toUtf8();
    if (sqlite3_prepare_v2(db, text.constData(), int(text.size()), &stmt, nullptr) != SQLITE_OK) return nullptr;
    return stmt;
}

QString quoted(const QString& name)
{
    return QLatin1Char('"') + QString(name).replace(QLatin1Char('"'), QLatin1String("\"\"")) + QLatin1Char('"');
}

// Every row of `stmt` into `out`; the statement is finalized.
bool readRows(sqlite3_stmt* stmt, RawTable& out)
{
    out.columns = sqlite3_column_count(stmt);
    out.names.clear();
    for (int c = 0; c < out.columns; ++c) out.names.push_back(QString::fromUtf8(sqlite3_column_name(stmt, c)));
    out.cells.clear();
    out.texts.clear();
    int rc;
    while ((rc = sqlite3_step(stmt)) == SQLITE_ROW) {
        for (int c = 0; c < out.columns; ++c) {
            RawCell cell{};
            switch (sqlite3_column_type(stmt, c)) {
            case SQLITE_INTEGER: cell.kind = RawCell::Integer; cell.i = sqlite3_column_int64(stmt, c); break;
            case SQLITE_FLOAT: cell.kind = RawCell::Real; cell.d = sqlite3_column_double(stmt, c); break;
            case SQLITE_TEXT:
            case SQLITE_BLOB:
                cell.kind = RawCell::Text;
                cell.text.offset = unsigned(out.texts.size());
                cell.text.length = unsigned(sqlite3_column_bytes(stmt, c));
                out.texts.append(reinterpret_cast<const char*>(sqlite3_column_text(stmt, c)), cell.text.length);
                break;
            default: break;
            }
            out.cells.push_back(cell);
        }
    }
    sqlite3_finalize(stmt);
    return rc == SQLITE_DONE;
}

} // namespace

bool RawReference::run(const QString& sql, const std::vector<QVariant>& parameters, RawTable& out)
{
    sqlite3_stmt* stmt = prepare(db_, sql);
    if (!stmt) return false;
    bindValues(stmt, parameters);
    return readRows(stmt, out);
}

bool RawReference::read(const QString& sql, const std::vector<QVariant>& parameters, int keyedFrom, RawResult& out)
{
    out.keyed = false;
    out.keys.clear();
    out.keyName.clear();
    sqlite3_stmt* stmt = prepare(db_, sql);
    if (!stmt) return false;
    // Is the first column its table's key?
    const char* table = sqlite3_column_table_name(stmt, 0);
    const char* column = sqlite3_column_origin_name(stmt, 0);
    int primary = 0;
    if (table && column)
        sqlite3_table_column_metadata(db_, sqlite3_column_database_name(stmt, 0), table, column, nullptr, nullptr,
                                      nullptr, &primary, nullptr);
    if (primary) {
        out.keyName = QString::fromUtf8(sqlite3_column_name(stmt, 0));
        sqlite3_finalize(stmt);
        // A list the engine would sort by reading its table in order has its keys read with the
        // sort column and sorted apart, as the window does.
        auto planOf = [&](const QString& text) {
            QStringList steps;
            if (sqlite3_stmt* plan = prepare(db_, QStringLiteral("EXPLAIN QUERY PLAN ") + text)) {
                bindValues(plan, parameters);
                while (sqlite3_step(plan) == SQLITE_ROW)
                    steps << QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(plan, 3)));
                sqlite3_finalize(plan);
            }
            return steps;
        };
        auto readText = [&](const QString& text, const tv::KeySortRow& row, const std::function<void()>&) {
            sqlite3_stmt* rows = prepare(db_, text);
            if (!rows) return false;
            bindValues(rows, parameters);
            int rc;
            while ((rc = sqlite3_step(rows)) == SQLITE_ROW && row(rows)) {}
            sqlite3_finalize(rows);
            return rc == SQLITE_DONE || rc == SQLITE_ROW;
        };
        const tv::KeySortOutcome sorted = tv::SortKeysApart(sql, quoted(out.keyName), planOf, readText, out.keys);
        if (sorted == tv::KeySortOutcome::Failed) return false;
        bool whole = true;
        if (sorted == tv::KeySortOutcome::NotSortedApart) {
            out.keys.clear();
            stmt = prepare(db_, QStringLiteral("SELECT ") + quoted(out.keyName) + QStringLiteral(" FROM (")
                                    + tv::KeysOnlySelect(sql) + QLatin1Char(')'));
            if (!stmt) return false;
            bindValues(stmt, parameters);
            int rc;
            while (whole && (rc = sqlite3_step(stmt)) == SQLITE_ROW) {
                if (sqlite3_column_type(stmt, 0) != SQLITE_INTEGER) whole = false;
                else out.keys.push_back(sqlite3_column_int64(stmt, 0));
            }
            sqlite3_finalize(stmt);
            if (whole && rc != SQLITE_DONE) return false;
        }
        // No keys, no rows: the window does not read it again either.
        if (whole && out.keys.empty()) {
            out.table = RawTable{};
            return true;
        }
        // The window's own check for repeated keys, so that both do the same work.
        out.keyed = whole && int(out.keys.size()) >= keyedFrom && !tv::HasRepeatedKeys(out.keys);
        if (out.keyed) return true;
        out.keys.clear();
        stmt = prepare(db_, sql);
        if (!stmt) return false;
    }
    bindValues(stmt, parameters);
    return readRows(stmt, out.table);
}

bool RawReference::rowsByKey(const QString& sql, const std::vector<QVariant>& parameters, const RawResult& result,
                             int first, int count, RawTable& out)
{
    first = std::max(0, first);
    count = std::min(count, int(result.keys.size()) - first);
    QStringList places;
    const int from = int(parameters.size()) + 1;
    for (int i = 0; i < std::max(count, 1); ++i) places.append(QLatin1Char('?') + QString::number(from + i));
    sqlite3_stmt* stmt = prepare(db_, QStringLiteral("SELECT * FROM (") + sql + QStringLiteral(") WHERE ")
                                          + quoted(result.keyName) + QStringLiteral(" IN (")
                                          + places.join(QLatin1Char(',')) + QLatin1Char(')'));
    if (!stmt) return false;
    bindValues(stmt, parameters);
    for (int i = 0; i < count; ++i) sqlite3_bind_int64(stmt, from + i, result.keys[size_t(first + i)]);
    return readRows(stmt, out);
}
