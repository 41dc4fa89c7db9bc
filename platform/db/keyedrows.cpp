#include "keyedrows.h"

#include "backgroundreads.h"
#include "connection.h"
#include "field.h"
#include "keyrepeats.h"
#include "keyselect.h"

#include "engine.h"

#include <QHash>
#include <algorithm>

namespace tv {

namespace {

// Blocks kept: enough for a few screens on either side of what the grid shows.
constexpr size_t kCachedBlocks = 128;

QString quotedName(const QString& name)
{
    QString r = name;
    r.replace(QLatin1Char('"'), QLatin1String("\"\""));
    return QLatin1Char('"') + r + QLatin1Char('"');
}

bool wordAt(const QString& s, qsizetype i, QLatin1String word)
{
    if (i > 0 && (s[i - 1].isLetterOrNumber() || s[i - 1] == u'_')) return false;
    if (QStringView(s).mid(i, word.size()).compare(word, Qt::CaseInsensitive) != 0) return false;
    const qsizetype end = i + word.size();
    return end >= s.size() || !(s[end].isLetterOrNumber() || s[end] == u'_');
}

} // namespace

QString WithoutFinalOrderBy(const QString& sql)
{
    qsizetype depth = 0, order = -1;
    bool limited = false;
    for (qsizetype i = 0; i < sql.size(); ++i) {
        const QChar c = sql[i];
        if (c == u'\'' || c == u'"' || c == u'`' || c == u'[') {
            const QChar close = c == u'[' ? QChar(u']') : c;
            for (++i; i < sql.size(); ++i)
                if (sql[i] == close) {
                    if (close != u']' && i + 1 < sql.size() && sql[i + 1] == close) ++i;   // doubled: a quote inside
                    else break;
                }
        } else if (c == u'-' && i + 1 < sql.size() && sql[i + 1] == u'-') {
            while (i < sql.size() && sql[i] != u'\n') ++i;
        } else if (c == u'/' && i + 1 < sql.size() && sql[i + 1] == u'*') {
            const qsizetype end = sql.indexOf(QLatin1String("*/"), i + 2);
            i = end < 0 ? sql.size() : end + 1;
        } else if (c == u'(') {
            ++depth;
        } else if (c == u')') {
            --depth;
        } else if (depth == 0 && wordAt(sql, i, QLatin1String("ORDER"))) {
            qsizetype j = i + 5;
            while (j < sql.size() && sql[j].isSpace()) ++j;
            if (wordAt(sql, j, QLatin1String("BY"))) {
                order = i;
                limited = false;
            }
        } else if (depth == 0 && order >= 0 && (wordAt(sql, i, QLatin1String("LIMIT")) || wordAt(sql, i, QLatin1String("OFFSET")))) {
            limited = true;
        }
    }
    return order >= 0 && !limited ? sql.left(order) : sql;
}

KeyedRows::KeyedRows(DbConnection& connection, const JetSql& sql, std::vector<Variant> parameters, int columns)
    : connection_(connection), sql_(sql), parameters_(std::move(parameters)), columns_(columns)
{
}

std::unique_ptr<KeyedRows> KeyedRows::Open(DbConnection& connection, const JetSql& sql,
                                           const std::vector<Variant>& parameters, const QString& keyName,
                                           int columns, int minRows, DbError* error, bool* empty)
{
    *error = {};
    if (empty) *empty = false;
    const QString key = quotedName(keyName);
    std::unique_ptr<KeyedRows> k(new KeyedRows(connection, sql, parameters, columns));
    // The query as a subquery: the engine flattens it, so that only the key and the sort
    // terms are computed and sorted, and a key lookup reaches the base table's rows directly.
    // Its other result columns are Nulls there, so that an index that holds the columns the
    // keys need is read in place of the table.
    // The keys are collected apart and taken over once read: a window painting meanwhile
    // must not see a half-read list.
    std::vector<int64_t> keys;
    bool whole = true;
    bool prepared = true;
    *error = ReadRows(connection, QStringLiteral("SELECT ") + key + QStringLiteral(" FROM (") + KeysOnlySelect(sql.sql) + QLatin1Char(')'),
                      sql, parameters,
                      [&keys, &whole](sqlite3_stmt* stmt) {
                          if (sqlite3_column_type(stmt, 0) != SQLITE_INTEGER) return whole = false;
                          keys.push_back(sqlite3_column_int64(stmt, 0));
                          return true;
                      },
                      [&keys, &whole] {
                          keys.clear();
                          whole = true;
                      },
                      &prepared);
    if (!prepared) *error = {};
    // A read stopped at a key that is no number read nothing, which says nothing of the rows.
    if (empty) *empty = !*error && prepared && whole && keys.empty();
    if (*error || !prepared || !whole || int(keys.size()) < minRows || HasRepeatedKeys(keys)) return nullptr;
    k->keys_ = std::move(keys);
    QStringList places;
    const int first = int(sql.parameters.size()) + 1;
    for (int i = 0; i < kBlockRows * kBlocksPerRead; ++i) places.append(QLatin1Char('?') + QString::number(first + i));
    // Rows are read by key and put in place by key: the query's own order would only cost a
    // sort of every block.
    k->rowsSql_ = QStringLiteral("SELECT * FROM (") + WithoutFinalOrderBy(sql.sql) + QStringLiteral(") WHERE ") + key
                  + QStringLiteral(" IN (") + places.join(QLatin1Char(',')) + QLatin1Char(')');
    return k;
}

int KeyedRows::findKey(int64_t key, int from, int step) const
{
    for (int row = from; row >= 0 && row < rowCount(); row += step)
        if (keys_[size_t(row)] == key) return row;
    return -1;
}

const ResultTable& KeyedRows::block(int row, int* offset, DbError* error)
{
    const int index = row / kBlockRows;
    *offset = row % kBlockRows;
    *error = {};
    auto it = blocks_.find(index);
    if (it == blocks_.end()) {
        *error = read({index});
        it = blocks_.find(index);
    }
    it->second.used = ++clock_;
    return it->second.rows;
}

DbError KeyedRows::prefetch(int first, int last)
{
    first = std::max(first, 0);
    last = std::min(last, rowCount() - 1);
    if (first > last) return {};
    std::vector<int> missing;
    for (int index = first / kBlockRows; index <= last / kBlockRows; ++index) {
        if (blocks_.count(index)) continue;
        missing.push_back(index);
        if (int(missing.size()) == kBlocksPerRead) {
            if (DbError e = read(missing)) return e;
            missing.clear();
        }
    }
    return missing.empty() ? DbError{} : read(missing);
}

void KeyedRows::setCell(int row, int column, const Variant& value, int fieldType)
{
    int offset = 0;
    DbError error;
    block(row, &offset, &error);
    Block& b = blocks_[row / kBlockRows];
    if (offset < b.rows.rowCount()) b.rows.setCell(offset, column, value, fieldType);
}

DbError KeyedRows::read(const std::vector<int>& indexes)
{
    // Room first, so that the blocks read now stay.
    while (!blocks_.empty() && blocks_.size() + indexes.size() > kCachedBlocks) {
        auto oldest = std::min_element(blocks_.begin(), blocks_.end(),
                                       [](const auto& a, const auto& b) { return a.second.used < b.second.used; });
        blocks_.erase(oldest);
    }
    ResultTable found;
    found.reset(columns_);
    DbError error;
    sqlite3_stmt* stmt = connection_.Prepare(rowsSql_, &error);
    if (stmt) {
        BindParameters(stmt, sql_, parameters_);
        // The places of keys past the end, and of blocks not read, stay Null: the connection
        // hands out its statements with their values cleared.
        int place = int(sql_.parameters.size()) + 1;
        for (const int index : indexes) {
            const int first = index * kBlockRows;
            const int count = std::min(kBlockRows, rowCount() - first);
            for (int i = 0; i < count; ++i) sqlite3_bind_int64(stmt, place + i, keys_[size_t(first + i)]);
            place += kBlockRows;
        }
        int rc;
        while ((rc = sqlite3_step(stmt)) == SQLITE_ROW) found.appendRow(stmt);
        if (rc != SQLITE_DONE) error = connection_.EngineError();
        sqlite3_reset(stmt);
        sqlite3_clear_bindings(stmt);
    }
    QHash<int64_t, int> at;
    for (int r = 0; r < found.rowCount(); ++r) at.insert(found.integer(r, 0), r);
    std::vector<Variant> gone(size_t(columns_), Variant::null());
    std::vector<int> types(size_t(columns_), 0);
    types[0] = dbLong;
    for (const int index : indexes) {
        Block& block = blocks_[index];
        block.used = ++clock_;
        block.rows.reset(columns_);
        const int first = index * kBlockRows;
        const int count = std::min(kBlockRows, rowCount() - first);
        for (int i = 0; i < count; ++i) {
            const int64_t key = keys_[size_t(first + i)];
            const auto hit = at.constFind(key);
            if (hit != at.constEnd()) {
                block.rows.appendRow(found, *hit);
            } else {
                gone[0] = Variant(int32_t(key));
                block.rows.appendRow(gone, types);
            }
        }
    }
    return error;
}

} // namespace tv
