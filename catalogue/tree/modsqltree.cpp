#include "catalogue/tree/modsqltree.h"

#include "catalogue/core/modlang.h"
#include "platform/db/field.h"
#include "platform/gui/msgbox.h"
#include "platform/runtime/format.h"

#include <cmath>

namespace tv {

namespace {

constexpr Qt::CaseSensitivity CI = Qt::CaseInsensitive;

bool isWordChar(QChar c) { return c.isLetterOrNumber() || c == QLatin1Char('_'); }

// `text` with the inside of every quoted literal ('...', "...") and bracketed name ([...])
// replaced by a character that is no letter, blank, comma or parenthesis, so that keywords,
// commas and parentheses typed into a search text or written in a name are not taken for
// the statement's own. The text keeps its length: a position in it is one in `text`.
QString maskLiterals(const QString& text)
{
    QString masked = text;
    QChar close;
    for (qsizetype i = 0; i < masked.size(); ++i) {
        const QChar c = masked.at(i);
        if (!close.isNull()) {
            // A doubled quote inside a literal ends it and opens it again: both stay quotes.
            if (c == close) close = QChar();
            else masked[i] = QLatin1Char('_');
        } else if (c == QLatin1Char('\'') || c == QLatin1Char('"')) {
            close = c;
        } else if (c == QLatin1Char('[')) {
            close = QLatin1Char(']');
        }
    }
    return masked;
}

// The first occurrence of `keyword` (any case) at or after `from` outside literals; -1 when none.
qsizetype findKeyword(const QString& text, QLatin1String keyword, qsizetype from = 0)
{
    return maskLiterals(text).indexOf(keyword, from, CI);
}

// Pieces of `text` between the commas outside parentheses and literals; the last piece only
// when it is not empty.
QStringList splitTopLevel(const QString& text)
{
    const QString masked = maskLiterals(text);
    QStringList pieces;
    QString piece;
    int depth = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = masked.at(i);
        if (c == QLatin1Char('(')) ++depth;
        else if (c == QLatin1Char(')')) --depth;
        if (c == QLatin1Char(',') && depth == 0) {
            pieces << piece;
            piece.clear();
        } else {
            piece += text.at(i);
        }
    }
    if (!piece.isEmpty()) pieces << piece;
    return pieces;
}

// A select-list item without its alias.
QString cutAlias(const QString& item)
{
    QString t = item.trimmed();
    const qsizetype as = findKeyword(t, QLatin1String(" AS "));
    return as >= 0 ? t.left(as).trimmed() : t;
}

// Splits at every occurrence of `separator` (any case) outside literals.
QStringList splitCI(const QString& text, const QString& separator)
{
    const QString masked = maskLiterals(text);
    QStringList pieces;
    qsizetype start = 0;
    for (qsizetype at; (at = masked.indexOf(separator, start, CI)) >= 0; start = at + separator.size())
        pieces << text.mid(start, at - start);
    pieces << text.mid(start);
    return pieces;
}

// "... WHERE cond" becomes "... WHERE (cond)", so that a condition appended with And
// cannot bind to one side of an Or in it. `where` is the position of " WHERE "; the
// keyword keeps the case it was written in.
QString bracketWhere(const QString& statement, qsizetype where)
{
    return statement.left(where + 7) + QLatin1Char('(') + statement.mid(where + 7).trimmed() + QLatin1Char(')');
}

} // namespace

QStringList SplitSQLUnion(const QString& sql)
{
    // Only the word UNION splits: an identifier such as "Reunion" stays whole.
    QStringList parts;
    QString rest = sql;
    qsizetype from = 0;
    for (;;) {
        const qsizetype pos = findKeyword(rest, QLatin1String("UNION"), from);
        if (pos < 0) break;
        bool wordStart = pos == 0 || !isWordChar(rest.at(pos - 1));
        bool wordEnd = pos + 5 >= rest.size() || !isWordChar(rest.at(pos + 5));
        if (!wordStart || !wordEnd) {
            from = pos + 5;
            continue;
        }
        parts << rest.left(pos).trimmed();
        rest = rest.mid(pos + 6).trimmed();
        from = 0;
    }
    if (!rest.isEmpty()) parts << rest;
    return parts;
}

QString GetParentKey(const QString& select)
{
    const QStringList items = splitTopLevel(select);
    return items.size() >= 3 ? cutAlias(items.at(1)) : QString();
}

QString CutSQLSuffix(QString& select)
{
    for (const char* keyword : {" GROUP ", " HAVING ", " ORDER "}) {
        const qsizetype pos = findKeyword(select, QLatin1String(keyword));
        if (pos >= 0) {
            QString tail = select.mid(pos + 1);
            select.truncate(pos);
            return tail;
        }
    }
    return QString();
}

QString MakeSQLItemString(const QString& sql)
{
    QStringList rewritten;
    for (QString part : SplitSQLUnion(sql)) {
        const QString key = GetParentKey(part);
        const QString tail = CutSQLSuffix(part);
        const QString parentCondition = key + QLatin1String("=xxx");
        QString condition;
        const qsizetype where = findKeyword(part, QLatin1String(" WHERE "));
        if (where >= 0) {
            // The condition keeps the blank in front of WHERE: two blanks stand before it.
            condition = bracketWhere(part, where).mid(where) + QLatin1String(" And ") + parentCondition;
            part = part.left(where).trimmed();
        } else {
            condition = QLatin1String("WHERE ") + parentCondition;
        }
        rewritten << (part + QLatin1Char(' ') + condition + QLatin1Char(' ') + tail).trimmed();
    }
    if (rewritten.isEmpty()) return sql;
    return QLatin1String("Parameters xxx Value;") + rewritten.join(QLatin1String(" UNION "));
}

QString MakeSQLParentString(const QString& sql)
{
    const QStringList parts = SplitSQLUnion(sql);
    if (parts.isEmpty()) {
        ShowTreeError(QStringLiteral("CTreeLevels_MakeSQLParentString"), 9,
                      QStringLiteral("Index außerhalb des gültigen Bereichs"));
        return QString();
    }
    QStringList rewritten;
    for (QString part : parts) {
        const QString key = GetParentKey(part);
        CutSQLSuffix(part);
        const qsizetype from = findKeyword(part, QLatin1String(" FROM "));
        const QString fromTail = from >= 0 ? part.mid(from) : part;
        rewritten << (QLatin1String("SELECT DISTINCT ") + key + QLatin1Char(' ') + fromTail).trimmed();
    }
    return rewritten.join(QLatin1String(" UNION "));
}

QStringList GetSQLFieldList(const QString& sql)
{
    QString t = sql.trimmed();
    // "SELECT DISTINCT(expr)" is read as the expression itself, so that the first field
    // is usable in a condition (the history level keys its rows this way).
    if (t.startsWith(QLatin1String("SELECT DISTINCT"), CI) && t.size() > 15 &&
        (t.at(15) == QLatin1Char(' ') || t.at(15) == QLatin1Char('('))) {
        t = t.mid(15);
    } else if (t.startsWith(QLatin1String("SELECT "), CI)) {
        t = t.mid(6);
    }
    QStringList fields{QString()};
    for (const QString& piece : splitTopLevel(t)) fields << cutAlias(piece);
    return fields;
}

QString MakeSQLFindParent(const QString& levelSql, const QString& itemKey)
{
    // "inf" and "nan" read as numbers too, but are names to the database.
    bool ok = false;
    const double number = itemKey.trimmed().toDouble(&ok);
    const bool numeric = ok && std::isfinite(number);
    const QString key = numeric ? itemKey : SQLQuote(itemKey);
    QString statement = splitCI(levelSql, QStringLiteral(" ORDER BY ")).at(0);
    if (IsUnionSQL(levelSql)) return statement;

    QStringList pieces = splitCI(statement, QStringLiteral(" GROUP BY "));
    statement = pieces.at(0);
    const QString group = pieces.size() > 1 ? QLatin1String(" GROUP BY ") + pieces.at(1) : QString();
    pieces = splitCI(statement, QStringLiteral(" WHERE "));
    statement = pieces.at(0);
    QString conditions = pieces.size() > 1 ? QLatin1String(" AND (") + pieces.at(1) + QLatin1Char(')') : QString();
    conditions += QLatin1String(" AND (") + GetSQLFieldList(statement).value(1) + QLatin1String(" = ") + key +
                  QLatin1Char(')');
    return statement + QLatin1String(" WHERE ") + conditions.mid(4) + QLatin1Char(' ') + group;
}

bool IsUnionSQL(const QString& levelSql) { return findKeyword(levelSql, QLatin1String(" UNION ")) >= 0; }

QString SQLQuote(const QString& text)
{
    QString doubled = text;
    doubled.replace(QLatin1Char('\''), QLatin1String("''"));
    return QLatin1Char('\'') + doubled + QLatin1Char('\'');
}

QString MakeSQLValue(int fieldType, const Variant& value, bool* ok)
{
    if (ok) *ok = true;
    switch (fieldType) {
    case dbBoolean:
        return QString::number(value.toInt(ok));
    case dbDate:
        return MakeSQLDate(value, ok);
    case dbBinary: case dbLongBinary: case dbMemo: case dbVarBinary:   // no literal
        return QString();
    case dbText:
        return SQLQuote(value.text());
    default: {
        // A decimal comma of the user's locale becomes the point SQL needs.
        QString text = value.text();
        return text.replace(QLatin1Char(','), QLatin1Char('.'));
    }
    }
}

QString MakeSQLDate(const QDateTime& dateTime) { return MakeSQLDate(Variant::fromDateTime(dateTime)); }

QString MakeSQLDate(const Variant& value, bool* ok)
{
    bool good = false;
    const double serial = value.toDate(&good);
    if (ok) *ok = good;
    return good ? Format(Variant::fromDate(serial), QStringLiteral("\\#mm\\/dd\\/yyyy hh:nn:ss am/pm\\#")) : QString();
}

QStringList GetSelectFields(const QString& select)
{
    QString t = select;
    for (const char* word : {"SELECT", " DISTINCTROW ", " DISTINCT "}) {
        const qsizetype pos = findKeyword(t, QLatin1String(word));
        if (pos >= 0) t.remove(pos, qsizetype(qstrlen(word)));
    }
    const qsizetype from = findKeyword(t, QLatin1String(" FROM "));
    if (from >= 0) t.truncate(from);
    while (t.contains(QLatin1String("  "))) t.replace(QLatin1String("  "), QLatin1String(" "));
    t.replace(QLatin1String(", "), QLatin1String(","));
    t.replace(QLatin1String(" ,"), QLatin1String(","));
    QStringList fields;
    for (const QString& piece : splitTopLevel(t)) fields << cutAlias(piece);
    return fields;
}

QString AddSQLWhereOrder(const QString& select, int filterColumn, int sortColumn, bool ascending)
{
    const QStringList pieces = splitCI(select, QStringLiteral(" ORDER BY "));
    QString statement = pieces.at(0);
    QString order;
    if (sortColumn != -1)
        order = QString::number(sortColumn + 1) + (ascending ? QLatin1String(" ASC") : QLatin1String(" DESC"));
    else if (pieces.size() > 1)
        order = pieces.at(1);

    if (filterColumn != -1) {
        const QStringList fields = GetSelectFields(select);
        const QString field = filterColumn >= 0 && filterColumn < fields.size() ? fields.at(filterColumn) : QString();
        if (!field.isEmpty()) {
            QString filter = field + QLatin1String(" = XXX");
            const qsizetype group = findKeyword(statement, QLatin1String(" GROUP BY "));
            if (group >= 0) {
                filter += statement.mid(group);
                statement.truncate(group);
            }
            const qsizetype where = findKeyword(statement, QLatin1String(" WHERE "));
            if (where >= 0)
                statement = bracketWhere(statement, where) + QLatin1String(" AND ") + filter;
            else
                statement += QLatin1String(" WHERE ") + filter;
        }
    }
    if (order.isEmpty()) return statement;
    return statement + QLatin1String(" ORDER BY ") + order;
}

QString MakeSQLParamQuery(const QString& sql, int filterColumn, int sortColumn, bool ascending)
{
    if (sql.isEmpty()) return QString();
    QStringList parts = splitCI(sql, QStringLiteral(" UNION "));
    for (int i = 0; i < parts.size(); ++i) {
        // A UNION takes one ORDER BY, after its last SELECT; one on an earlier part is an
        // error in the database engine.
        const bool last = i == parts.size() - 1;
        QString part = parts.at(i);
        if (!last) part = splitCI(part, QStringLiteral(" ORDER BY ")).at(0);
        parts[i] = AddSQLWhereOrder(part, filterColumn, last ? sortColumn : -1, ascending);
    }
    QString result = parts.join(QLatin1String(" UNION "));
    if (filterColumn != -1) result.prepend(QLatin1String("PARAMETERS XXX VALUE; "));
    return result;
}

void ShowTreeError(const QString& procedure, int number, const QString& description)
{
    MsgBox(QString::number(number) + QLatin1String(": ") + Translate(description), vbCritical | vbOKOnly,
           QLatin1String("Tree: ") + procedure);
}

void ShowTreeError(const QString& procedure, const DbError& error)
{
    MsgBox(FailureText(QStringLiteral("Fehler beim Lesen der Datenbank: "),
                       QString::number(error.number) + QLatin1String(": ") + error.description),
           vbCritical | vbOKOnly, QLatin1String("Tree: ") + procedure);
}

} // namespace tv
