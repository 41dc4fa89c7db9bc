#include "keyselect.h"

#include <QStringList>

namespace tv {

namespace {

bool isWordChar(QChar c) { return c.isLetterOrNumber() || c == u'_'; }

// `sql` with the inside of every quoted text, quoted name and comment blanked out (kept as
// many characters), so that words and punctuation are found only where they are the query's.
// Empty when a quote or comment is not closed.
QString masked(const QString& sql)
{
    QString m = sql;
    for (qsizetype i = 0; i < m.size(); ++i) {
        const QChar c = m[i];
        if (c == u'\'' || c == u'"' || c == u'`' || c == u'[') {
            const QChar close = c == u'[' ? QChar(u']') : c;
            qsizetype j = i + 1;
            for (;; ++j) {
                if (j >= m.size()) return QString();
                if (m[j] != close) continue;
                if (close != u']' && j + 1 < m.size() && m[j + 1] == close) {
                    ++j;
                    continue;
                }
                break;
            }
            for (qsizetype k = i + 1; k < j; ++k) m[k] = u' ';
            i = j;
        } else if (c == u'-' && i + 1 < m.size() && m[i + 1] == u'-') {
            return QString();
        } else if (c == u'/' && i + 1 < m.size() && m[i + 1] == u'*') {
            return QString();
        }
    }
    return m;
}

// Where `word` (any case) stands as a word outside parentheses, from `from` on; -1 when nowhere.
qsizetype topLevelWord(const QString& m, QLatin1String word, qsizetype from)
{
    int depth = 0;
    for (qsizetype i = 0; i < m.size(); ++i) {
        const QChar c = m[i];
        if (c == u'(') ++depth;
        else if (c == u')') --depth;
        else if (depth == 0 && i >= from && (i == 0 || !isWordChar(m[i - 1]))
                 && QStringView(m).mid(i, word.size()).compare(word, Qt::CaseInsensitive) == 0
                 && (i + word.size() >= m.size() || !isWordChar(m[i + word.size()])))
            return i;
    }
    return -1;
}

// The pieces of m's range [from, to) between commas outside parentheses, as ranges.
std::vector<std::pair<qsizetype, qsizetype>> topLevelPieces(const QString& m, qsizetype from, qsizetype to)
{
    std::vector<std::pair<qsizetype, qsizetype>> pieces;
    int depth = 0;
    qsizetype start = from;
    for (qsizetype i = from; i < to; ++i) {
        if (m[i] == u'(') ++depth;
        else if (m[i] == u')') --depth;
        else if (m[i] == u',' && depth == 0) {
            pieces.emplace_back(start, i);
            start = i + 1;
        }
    }
    pieces.emplace_back(start, to);
    return pieces;
}

// A name without its quotes or brackets.
QString unquoted(QString name)
{
    name = name.trimmed();
    if (name.size() >= 2 && (name.front() == u'"' || name.front() == u'[' || name.front() == u'`'))
        name = name.mid(1, name.size() - 2);
    return name;
}

} // namespace

QString KeysOnlySelect(const QString& sql)
{
    const QString m = masked(sql);
    if (m.isEmpty()) return sql;
    qsizetype start = 0;
    while (start < m.size() && m[start].isSpace()) ++start;
    if (QStringView(m).mid(start, 6).compare(QLatin1String("SELECT"), Qt::CaseInsensitive) != 0
        || (start + 6 < m.size() && isWordChar(m[start + 6])))
        return sql;
    const qsizetype listStart = start + 6;
    const qsizetype from = topLevelWord(m, QLatin1String("FROM"), listStart);
    if (from < 0) return sql;
    for (const char* word : {"DISTINCT", "ALL"})
        if (topLevelWord(m.left(from), QLatin1String(word), listStart) >= 0) return sql;
    for (const char* word : {"UNION", "INTERSECT", "EXCEPT", "GROUP", "HAVING", "LIMIT"})
        if (topLevelWord(m, QLatin1String(word), from) >= 0) return sql;
    // Without an order the rows come as the engine finds them, which another index would change.
    const qsizetype order = topLevelWord(m, QLatin1String("ORDER"), from);
    const qsizetype by = order >= 0 ? topLevelWord(m, QLatin1String("BY"), order + 5) : -1;
    if (by < 0) return sql;
    QStringList orderNumbers;
    for (const auto& [a, b] : topLevelPieces(m, by + 2, m.size())) {
        const QString term = m.mid(a, b - a).trimmed().section(QLatin1Char(' '), 0, 0);
        bool number = false;
        term.toInt(&number);
        if (number) orderNumbers << term;
    }
    const auto items = topLevelPieces(m, listStart, from);
    QString result = sql.left(listStart);
    for (size_t n = 0; n < items.size(); ++n) {
        const auto [a, b] = items[n];
        const QString item = sql.mid(a, b - a);
        const QString itemMasked = m.mid(a, b - a);
        if (n > 0) result += QLatin1Char(',');
        if (itemMasked.contains(u'*')) return sql;
        // A parameter stays where it is bound.
        const bool parameter = itemMasked.contains(u'?') || itemMasked.contains(u':') || itemMasked.contains(u'@')
                               || itemMasked.contains(u'$');
        const qsizetype as = topLevelWord(itemMasked, QLatin1String("AS"), 0);
        const QString name = as >= 0 ? unquoted(item.mid(as + 2)) : item.trimmed();
        // A result column that the rest of the query names stays. The rest is searched in the
        // original text: a name may stand there quoted.
        bool named = false;
        for (const QString& word : {name, QLatin1Char('"') + name + QLatin1Char('"'), QLatin1Char('[') + name + QLatin1Char(']')}) {
            for (qsizetype at = sql.indexOf(word, from, Qt::CaseInsensitive); at >= 0 && !named;
                 at = sql.indexOf(word, at + 1, Qt::CaseInsensitive)) {
                const qsizetype end = at + word.size();
                named = (at == 0 || !isWordChar(sql[at - 1]) || !isWordChar(word.front()))
                        && (end >= sql.size() || !isWordChar(sql[end]) || !isWordChar(word.back()));
            }
        }
        if (n == 0 || named || parameter || orderNumbers.contains(QString::number(n + 1))) {
            result += item;
        } else {
            result += QStringLiteral(" NULL");
            if (as >= 0) result += QStringLiteral(" AS ") + item.mid(as + 2).trimmed();
            result += QLatin1Char(' ');
        }
    }
    return result + sql.mid(from);
}

} // namespace tv
