#include "filtersql.h"

#include "catalogue/core/moddatabase.h"

#include <cmath>

namespace tv {

namespace {

QString pattern(const QString& text)
{
    return text.contains(QLatin1Char('*')) ? QLatin1Char('\'') + text + QLatin1Char('\'')
                                           : QStringLiteral("'*") + text + QStringLiteral("*'");
}

QString doubledQuotes(QString text) { return text.replace(QLatin1Char('\''), QStringLiteral("''")); }

bool isOneOf(const QString& upperField, std::initializer_list<const char*> names)
{
    for (const char* n : names)
        if (upperField == QLatin1String(n)) return true;
    return false;
}

// A value that may stand in the SQL as a number: "inf" and "nan" read as numbers too, but the
// SQL would take them for column names.
bool isNumber(const QString& value)
{
    bool ok = false;
    const double number = value.trimmed().toDouble(&ok);
    return ok && std::isfinite(number);
}

bool isWholeNumber(const QString& value)
{
    bool ok = false;
    value.trimmed().toLongLong(&ok);
    return ok;
}

} // namespace

QStringList IgnoredConditions(const clsFilter& selection)
{
    QStringList ignored;
    for (const auto& entry : selection.Conditions) {
        const clsFilterDef& c = *entry.value;
        const QString field = c.Field.toUpper();
        const bool refused = c.Value.isEmpty() ? false
                             : isOneOf(field, {"IFILETYPE", "LSIZE"}) ? !isNumber(c.Value)
                             : field == QLatin1String("CATEGORY_ID") && !isWholeNumber(c.Value);
        if (refused) ignored << c.Field + QLatin1Char(' ') + c.Compare + QLatin1Char(' ') + c.Value;
    }
    return ignored;
}

QString BuildFilterCondition(const clsFilterDef& condition)
{
    const QString field = condition.Field.toUpper();
    const QString& value = condition.Value;
    const QString& compare = condition.Compare;
    const QString head = condition.Field + QLatin1Char(' ');
    if (isOneOf(field, {"IFILETYPE", "LSIZE"})) {
        // The value goes into the SQL without quotes: only a number may.
        if (!isNumber(value)) return QString();
        return head + compare + value.trimmed();
    }
    if (field == QLatin1String("CATEGORY_ID") && !value.isEmpty()) {
        // A category number compares as a number, equal or not equal: as a text, category 12
        // would contain 1 and 2. The text operators test the category's name (C.TCATEGORY).
        if (!isWholeNumber(value)) return QString();
        return head + (compare == QLatin1String("<>") ? QStringLiteral("<>") : QStringLiteral("=")) + value.trimmed();
    }
    if (value.isEmpty())
        return head + (compare == QLatin1String("<>") ? QStringLiteral("Is Not Null") : QStringLiteral("Is Null"));
    const QString like = doubledQuotes(LikeText(value));
    if (compare == QLatin1String("( )")) return head + QStringLiteral("Like") + pattern(like);
    if (compare == QLatin1String(">")) return head + QStringLiteral("Like") + pattern(like + QLatin1Char('*'));
    if (compare == QLatin1String("<")) return head + QStringLiteral("Like") + pattern(QLatin1Char('*') + like);
    if (compare == QLatin1String("<>")) return head + QStringLiteral("Not Like") + pattern(like);
    return head + QStringLiteral("='") + doubledQuotes(value) + QLatin1Char('\'');
}

bool AddSelectionConditions(const clsFilter& selection, QString& listWhere, QString& treeWhere)
{
    const FilterPtr expanded = ExpandPathConditions(selection);
    const int n = expanded->Conditions.count();
    bool needsCategory = false;
    bool listGroup = false;
    bool treeGroup = false;
    // The texts before a group opened: a group whose conditions all came out empty is taken
    // back, since "()" is no valid condition.
    QString listBefore, treeBefore;
    auto close = [&] {
        if (listGroup) {
            if (listWhere.endsWith(QLatin1Char('('))) listWhere = listBefore;
            else listWhere += QLatin1Char(')');
        }
        if (treeGroup) {
            if (treeWhere.endsWith(QLatin1Char('('))) treeWhere = treeBefore;
            else treeWhere += QLatin1Char(')');
        }
        listGroup = treeGroup = false;
    };
    auto add = [](QString& where, const QString& text, QString join) { where = AddWhere(where, text, join); };
    for (int i = 1; i <= n; ++i) {
        const clsFilterDef& c = **expanded->Conditions.item(i);
        if (listGroup && c.Join.isEmpty()) close();
        if (i < n && !listGroup) {
            const clsFilterDef& next = **expanded->Conditions.item(i + 1);
            if (next.Join.compare(QLatin1String("Or"), Qt::CaseInsensitive) == 0) {
                listBefore = listWhere;
                add(listWhere, QStringLiteral("("), QString());
                listGroup = true;
                if (isOneOf(next.Field.toUpper(), {"IFILETYPE", "TPATH", "TUNPACKPATH", "TYPE"})) {
                    treeBefore = treeWhere;
                    add(treeWhere, QStringLiteral("("), QString());
                    treeGroup = true;
                }
            }
        }
        const QString field = c.Field.toUpper();
        QString text;
        bool toTree = true;
        if (isOneOf(field, {"IFILETYPE", "TFILE", "TPATH", "TUNPACKPATH"})) {
            text = BuildFilterCondition(c);
            if (!text.isEmpty()) text.prepend(QStringLiteral("F."));
        } else if (field == QLatin1String("TYPE")) {
            const bool byName = QStringLiteral(".TXT;.NFO;.DIZ").contains(c.Value, Qt::CaseInsensitive)
                                || QStringLiteral(".BMP;.GIF;.JPG;.PNG;.TIFF").contains(c.Value, Qt::CaseInsensitive);
            text = (byName ? QStringLiteral("F.tFile") : QStringLiteral("F.tPath"))
                   + QStringLiteral(" Like '*.") + doubledQuotes(LikeText(c.Value)) + QLatin1Char('\'');
        } else {
            text = BuildFilterCondition(c);
            toTree = false;
            if (c.Field == QLatin1String("C.TCATEGORY")) needsCategory = true;
        }
        add(listWhere, text, c.Join);
        if (toTree) add(treeWhere, text, c.Join);
    }
    close();
    return needsCategory;
}

} // namespace tv
