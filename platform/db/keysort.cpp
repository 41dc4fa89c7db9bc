#include "keysort.h"

#include "jetfunctions.h"
#include "keyselect.h"

#include "platform/runtime/textorder.h"

#include "engine.h"

#include <QRegularExpression>
#include <algorithm>
#include <cstring>
#include <strings.h>

namespace tv {

namespace {

// The text before a final "ORDER BY <n> [ASC|DESC]", the number and the direction. Only a
// text ending in a bare number can end so: an ORDER BY inside parentheses or quotes would be
// followed by their close.
struct OrderTail {
    QString head;
    int number = 0;
    bool descending = false;
};
std::optional<OrderTail> orderTail(const QString& sql)
{
    static const QRegularExpression tail(QStringLiteral("^(.*\\S)\\s+ORDER\\s+BY\\s+(\\d{1,4})(?:\\s+(ASC|DESC))?\\s*$"),
                                         QRegularExpression::CaseInsensitiveOption
                                             | QRegularExpression::DotMatchesEverythingOption);
    const QRegularExpressionMatch m = tail.match(sql);
    if (!m.hasMatch()) return std::nullopt;
    return OrderTail{m.captured(1), m.captured(2).toInt(), m.captured(3).compare(QLatin1String("DESC"), Qt::CaseInsensitive) == 0};
}

} // namespace

std::optional<KeySortShape> KeySortShapeOf(const QString& sqliteText)
{
    static const QRegularExpression collate(QStringLiteral("\\bCOLLATE\\b"), QRegularExpression::CaseInsensitiveOption);
    const std::optional<OrderTail> order = orderTail(sqliteText);
    if (!order || order->number < 2 || sqliteText.contains(collate)) return std::nullopt;
    const std::optional<OrderTail> keysOrder = orderTail(KeysOnlySelect(sqliteText));
    if (!keysOrder) return std::nullopt;
    return KeySortShape{keysOrder->head, order->number - 1, order->descending};
}

bool SortsRowsReadInTableOrder(const QStringList& planSteps, QString* table)
{
    static const QRegularExpression read(QStringLiteral(
        "^(?:SCAN TABLE (\\S+)(?: AS \\S+)?|SEARCH TABLE (\\S+)(?: AS \\S+)? USING INTEGER PRIMARY KEY \\(rowid[^)]*\\))$"));
    // A table joined by its key adds at most one row to each: the order of the rows stays.
    static const QRegularExpression joined(
        QStringLiteral("^SEARCH TABLE \\S+(?: AS \\S+)? USING INTEGER PRIMARY KEY \\(rowid=\\?\\)$"));
    if (planSteps.size() < 2 || planSteps.back() != QLatin1String("USE TEMP B-TREE FOR ORDER BY")) return false;
    for (qsizetype i = 1; i + 1 < planSteps.size(); ++i)
        if (!joined.match(planSteps[i]).hasMatch()) return false;
    const QRegularExpressionMatch m = read.match(planSteps[0]);
    if (!m.hasMatch()) return false;
    *table = m.captured(1).isEmpty() ? m.captured(2) : m.captured(1);
    return true;
}

std::optional<KeyCollation> KeyCollationNamed(const QString& name)
{
    if (name.compare(QLatin1String("BINARY"), Qt::CaseInsensitive) == 0) return KeyCollation::Binary;
    if (name.compare(QLatin1String(kTextCollation), Qt::CaseInsensitive) == 0) return KeyCollation::Text;
    return std::nullopt;
}

bool KeySort::add(sqlite3_stmt* stmt, int column)
{
    if (sqlite3_column_type(stmt, 0) != SQLITE_INTEGER) return false;
    Entry e{};
    e.key = sqlite3_column_int64(stmt, 0);
    switch (sqlite3_column_type(stmt, column)) {
    case SQLITE_NULL: e.kind = 0; break;
    case SQLITE_INTEGER:
        e.kind = 1;
        e.i = sqlite3_column_int64(stmt, column);
        break;
    case SQLITE_FLOAT:
        e.kind = 1;
        e.real = true;
        e.d = sqlite3_column_double(stmt, column);
        break;
    case SQLITE_TEXT: {
        e.kind = 2;
        const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(stmt, column));
        const int length = sqlite3_column_bytes(stmt, column);
        e.text.offset = uint32_t(texts_.size());
        e.text.length = uint32_t(length);
        if (texts_.size() + size_t(length) > UINT32_MAX) return false;
        texts_.append(text, size_t(length));
        break;
    }
    default: return false;
    }
    entries_.push_back(e);
    return true;
}

void KeySort::clear()
{
    entries_.clear();
    texts_.clear();
}

std::vector<int64_t> KeySort::sorted(KeyCollation collation, bool descending)
{
    const char* texts = texts_.data();
    // The engine's comparison of two values of one column.
    auto compare = [texts, collation](const Entry& a, const Entry& b) {
        if (a.kind != b.kind) return a.kind < b.kind ? -1 : 1;
        if (a.kind == 1) {
            if (!a.real && !b.real) return a.i < b.i ? -1 : (a.i > b.i ? 1 : 0);
            const double x = a.real ? a.d : double(a.i);
            const double y = b.real ? b.d : double(b.i);
            return x < y ? -1 : (x > y ? 1 : 0);
        }
        if (a.kind == 2) {
            const char* ta = texts + a.text.offset;
            const char* tb = texts + b.text.offset;
            const int la = int(a.text.length), lb = int(b.text.length);
            if (collation == KeyCollation::Text) return CompareTextUtf8(ta, la, tb, lb);
            const int c = std::memcmp(ta, tb, size_t(std::min(la, lb)));
            return c != 0 ? c : la - lb;
        }
        return 0;
    };
    std::sort(entries_.begin(), entries_.end(), [&](const Entry& a, const Entry& b) {
        const int c = compare(a, b);
        if (c != 0) return descending ? c > 0 : c < 0;
        return a.key < b.key;
    });
    std::vector<int64_t> keys;
    keys.reserve(entries_.size());
    for (const Entry& e : entries_) keys.push_back(e.key);
    return keys;
}

std::optional<KeyCollation> KeySortCollation(sqlite3_stmt* stmt, int column, const QString& table)
{
    if (column >= sqlite3_column_count(stmt)) return std::nullopt;
    sqlite3* db = sqlite3_db_handle(stmt);
    const char* keyTable = sqlite3_column_table_name(stmt, 0);
    const char* keyColumn = sqlite3_column_origin_name(stmt, 0);
    if (!keyTable || !keyColumn || table.compare(QString::fromUtf8(keyTable), Qt::CaseInsensitive) != 0) return std::nullopt;
    const char* type = nullptr;
    const char* collation = nullptr;
    int notNull = 0, primaryKey = 0, autoIncrement = 0;
    if (sqlite3_table_column_metadata(db, sqlite3_column_database_name(stmt, 0), keyTable, keyColumn, &type, &collation,
                                      &notNull, &primaryKey, &autoIncrement) != SQLITE_OK
        || !primaryKey || !type || strcasecmp(type, "INTEGER") != 0)
        return std::nullopt;
    const char* valueTable = sqlite3_column_table_name(stmt, column);
    const char* valueColumn = sqlite3_column_origin_name(stmt, column);
    if (!valueTable || !valueColumn) return KeyCollation::Binary;
    if (sqlite3_table_column_metadata(db, sqlite3_column_database_name(stmt, column), valueTable, valueColumn, &type,
                                      &collation, &notNull, &primaryKey, &autoIncrement) != SQLITE_OK)
        return std::nullopt;
    return KeyCollationNamed(collation ? QString::fromUtf8(collation) : QStringLiteral("BINARY"));
}

KeySortOutcome SortKeysApart(const QString& sqliteText, const QString& quotedKey,
                             const std::function<QStringList(const QString&)>& planOf,
                             const std::function<bool(const QString&, const KeySortRow&, const std::function<void()>&)>& read,
                             std::vector<int64_t>& keys)
{
    const std::optional<KeySortShape> shape = KeySortShapeOf(sqliteText);
    if (!shape) return KeySortOutcome::NotSortedApart;
    QString table;
    if (!SortsRowsReadInTableOrder(
            planOf(QStringLiteral("SELECT ") + quotedKey + QStringLiteral(" FROM (") + KeysOnlySelect(sqliteText) + QLatin1Char(')')),
            &table))
        return KeySortOutcome::NotSortedApart;
    KeySort sort;
    std::optional<KeyCollation> collation;
    bool refused = false;
    const bool ok = read(
        QStringLiteral("SELECT * FROM (") + shape->unordered + QLatin1Char(')'),
        [&](sqlite3_stmt* stmt) {
            if (!collation) collation = KeySortCollation(stmt, shape->column, table);
            refused = !collation || !sort.add(stmt, shape->column);
            return !refused;
        },
        [&] {
            sort.clear();
            collation.reset();
            refused = false;
        });
    if (refused) return KeySortOutcome::NotSortedApart;
    if (!ok) return KeySortOutcome::Failed;
    keys = sort.sorted(collation.value_or(KeyCollation::Binary), shape->descending);
    return KeySortOutcome::Sorted;
}

} // namespace tv
