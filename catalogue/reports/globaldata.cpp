#include "globaldata.h"

#include "catalogue/tree/modsqltree.h"
#include "platform/db/field.h"
#include "platform/runtime/convert.h"

#include <QLineEdit>
#include <QWidget>

namespace tv {

QWidget* GetTopLevelWindow(QWidget* control) { return control ? control->window() : nullptr; }

namespace {

// Typed text inside a quoted LIKE pattern: characters that could end the literal, open a
// character class or widen the pattern match any single character instead.
QString likeSafe(QString text)
{
    for (QChar c : {QChar('\''), QChar('"'), QChar('['), QChar(']'), QChar('*')}) text.replace(c, QLatin1Char('?'));
    return text;
}

} // namespace

QString MakeSQLCriterion(const QString& fieldName, int fieldType, const Variant& value, bool exact,
                         bool caseSensitive, bool brackets, bool* ok)
{
    if (ok) *ok = true;
    const QString f = brackets ? QLatin1Char('[') + fieldName + QStringLiteral("] ") : fieldName + QLatin1Char(' ');
    // Numbers go into the text only as numbers, never as the typed characters.
    auto number = [&](QString* out) {
        bool numeric = IsNumeric(value);
        if (numeric) *out = Str(Val(value)).trimmed();
        if (!numeric && ok) *ok = false;
        return numeric;
    };
    QString t;
    switch (fieldType) {
    case dbByte: case dbInteger: case dbLong:
        if (!number(&t)) return QString();
        return f + (exact ? QStringLiteral(" = ") : QStringLiteral(" >= ")) + t;
    case dbCurrency: case dbSingle: case dbDouble: case dbNumeric: case dbDecimal:
        if (!number(&t)) return QString();
        return f + (exact ? QStringLiteral(" = VAL('") : QStringLiteral(" >= VAL('")) + t + QStringLiteral("')");
    case dbDate:
        if (exact) {
            bool isDate = false;
            QString d = MakeSQLDate(value, &isDate);
            if (!isDate) d = MakeSQLDate(QDateTime::currentDateTime());
            return f + QStringLiteral(" = ") + d;
        }
        return QStringLiteral("'' & ") + f + QStringLiteral("LIKE '") + likeSafe(value.text()) + QStringLiteral("*'");
    case dbText: {
        QString s = value.text();
        QString field = f;
        if (!caseSensitive) {
            s = s.toUpper();
            field = QStringLiteral("UCASE(") + f + QLatin1Char(')');
        }
        // An equality compares the literal as typed ("Joe's Game.atr" must find itself); only a
        // pattern needs its special characters masked.
        return exact ? field + QStringLiteral("= ") + SQLQuote(s)
                     : field + QStringLiteral("LIKE '") + likeSafe(s) + QStringLiteral("*'");
    }
    default:
        return QString();
    }
}

int32_t ClampTextPos(int32_t pos, int32_t length)
{
    if (pos == -1 || pos > length) return length;
    return pos < 0 ? 0 : pos;
}

void SelectTextReverse(QLineEdit* textBox, int32_t startPos, int32_t endPos)
{
    const int32_t length = int32_t(textBox->text().size());
    const int32_t a = ClampTextPos(startPos, length), b = ClampTextPos(endPos, length);
    // A negative length puts the caret at the start of the selection.
    textBox->setSelection(a, b - a);
}

} // namespace tv
