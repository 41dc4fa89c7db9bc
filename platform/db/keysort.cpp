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
    const int64_t key = sqlite3_column_int64(stmt, 0);
    switch (sqlite3_column_type(stmt, column)) {
    case SQLITE_NULL: nulls_.push_back(key); return true;
    case SQLITE_INTEGER: integers_.push_back({key, sqlite3_column_int64(stmt, column)}); return true;
    case SQLITE_FLOAT: reals_.push_back({key, sqlite3_column_double(stmt, column)}); return true;
    case SQLITE_TEXT: {
        const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(stmt, column));
        const int length = sqlite3_column_bytes(stmt, column);
        if (chars_.size() + size_t(length) > UINT32_MAX) return false;
        texts_.push_back({key, uint32_t(chars_.size()), uint32_t(length)});
        chars_.append(text, size_t(length));
        return true;
    }
    default: return false;
    }
}

void KeySort::clear()
{
    nulls_.clear();
    integers_.clear();
    reals_.clear();
    texts_.clear();
    chars_.clear();
}

std::vector<int64_t> KeySort::sorted(KeyCollation collation, bool descending)
{
    // Equal values by key; otherwise by value, upwards or downwards.
    auto order = [descending](int c, int64_t keyA, int64_t keyB) {
        if (c != 0) return descending ? c > 0 : c < 0;
        return keyA < keyB;
    };
    auto sign = [](auto a, auto b) { return a < b ? -1 : (b < a ? 1 : 0); };
    std::sort(nulls_.begin(), nulls_.end());
    std::sort(integers_.begin(), integers_.end(),
              [&](const Integer& a, const Integer& b) { return order(sign(a.value, b.value), a.key, b.key); });
    std::sort(reals_.begin(), reals_.end(),
              [&](const Real& a, const Real& b) { return order(sign(a.value, b.value), a.key, b.key); });
    const char* chars = chars_.data();
    std::sort(texts_.begin(), texts_.end(), [&](const Text& a, const Text& b) {
        const char* ta = chars + a.offset;
        const char* tb = chars + b.offset;
        const int la = int(a.length), lb = int(b.length);
        int c;
        if (collation == KeyCollation::Text) {
            c = CompareTextUtf8(ta, la, tb, lb);
        } else {
            c = std::memcmp(ta, tb, size_t(std::min(la, lb)));
            if (c == 0) c = la - lb;
        }
        return order(c, a.key, b.key);
    });

    std::vector<int64_t> keys;
    keys.reserve(nulls_.size() + integers_.size() + reals_.size() + texts_.size());
    auto addNulls = [&] { keys.insert(keys.end(), nulls_.begin(), nulls_.end()); };
    // Whole numbers and others together, compared as the engine compares them: as numbers.
    auto addNumbers = [&] {
        size_t i = 0, r = 0;
        while (i < integers_.size() || r < reals_.size()) {
            const bool integer = r == reals_.size()
                                 || (i < integers_.size()
                                     && order(sign(double(integers_[i].value), reals_[r].value), integers_[i].key, reals_[r].key));
            keys.push_back(integer ? integers_[i++].key : reals_[r++].key);
        }
    };
    auto addTexts = [&] {
        for (const Text& t : texts_) keys.push_back(t.key);
    };
    // Null first, then numbers, then texts; downwards the other way round.
    if (descending) {
        addTexts();
        addNumbers();
        addNulls();
    } else {
        addNulls();
        addNumbers();
        addTexts();
    }
    clear();
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
