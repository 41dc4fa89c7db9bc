#include "convert.h"

#include <cmath>

namespace tv {

namespace {

bool isAsciiDigit(QChar c) { return c >= u'0' && c <= u'9'; }

bool isDigitIn(QChar c, int base)
{
    const char16_t l = c.toLower().unicode();
    int d = isAsciiDigit(c) ? l - u'0' : (l >= u'a' && l <= u'f') ? l - u'a' + 10 : 99;
    return d < base;
}

// "&H" / "&O" literals: the value with the width rule described in convert.h.
double radixValue(const QString& s, int base)
{
    int n = 0;
    while (n < s.size() && isDigitIn(s[n], base)) ++n;
    if (n == 0) return 0;
    bool ok = false;
    qulonglong v = s.left(n).toULongLong(&ok, base);
    if (!ok) return 0;
    if (v <= 0xFFFF) return double(int16_t(uint16_t(v)));
    if (v <= 0xFFFFFFFFULL) return double(int32_t(uint32_t(v)));
    return 0;
}

double toFinite(double d) { return std::isfinite(d) ? d : 0; }

} // namespace

double Val(const QString& text)
{
    QString s;
    s.reserve(text.size());
    for (QChar c : text)
        if (c != u' ' && c != u'\t' && c != u'\n') s += c;

    if (s.startsWith(u'&')) {
        if (s.size() > 1 && s[1].toUpper() == u'H') return radixValue(s.mid(2), 16);
        if (s.size() > 1 && s[1].toUpper() == u'O') return radixValue(s.mid(2), 8);
        return radixValue(s.mid(1), 8);
    }

    QString num;
    int i = 0;
    if (i < s.size() && (s[i] == u'+' || s[i] == u'-')) num += s[i++];
    int digits = 0;
    while (i < s.size() && isAsciiDigit(s[i])) { num += s[i++]; ++digits; }
    if (i < s.size() && s[i] == u'.') {
        num += s[i++];
        while (i < s.size() && isAsciiDigit(s[i])) { num += s[i++]; ++digits; }
    }
    if (digits == 0) return 0;
    if (i < s.size() && QStringLiteral("EeDd").contains(s[i])) {
        int j = i + 1;
        QString exp = QStringLiteral("e");
        if (j < s.size() && (s[j] == u'+' || s[j] == u'-')) exp += s[j++];
        int expDigits = 0;
        while (j < s.size() && isAsciiDigit(s[j])) { exp += s[j++]; ++expDigits; }
        if (expDigits > 0) num += exp;
    }
    return toFinite(num.toDouble());
}

double Val(const Variant& value)
{
    if (value.isEmptyOrNull()) return 0;
    if (value.isNumber() || value.isDate() || value.isBool()) return value.toDouble();
    return Val(value.text());
}

QString Str(double value) { return Str(Variant(value)); }

QString Str(const Variant& value, bool* ok)
{
    if (ok) *ok = true;
    switch (value.type()) {
    case VarType::Empty:
        return QStringLiteral(" 0");
    case VarType::Boolean:
    case VarType::Date:
        return value.toString();
    case VarType::String:
        if (IsNumeric(value)) return Str(value.toDouble());
        break;
    default:
        if (value.isNumber()) {
            double d = value.toDouble();
            int digits = value.type() == VarType::Single ? 7 : 15;
            QString t = QString::number(std::fabs(d), 'g', digits);
            t.replace(u'e', u'E');
            if (t.startsWith(QLatin1String("0."))) t.remove(0, 1);
            return (d < 0 ? QStringLiteral("-") : QStringLiteral(" ")) + t;
        }
        break;
    }
    if (ok) *ok = false;
    return QString();
}

bool IsNumeric(const Variant& value)
{
    if (value.isEmpty() || value.isNumber() || value.isBool()) return true;
    if (!value.isString()) return false;
    const QString t = value.text().trimmed();
    if (t.compare(QLatin1String("True"), Qt::CaseInsensitive) == 0 ||
        t.compare(QLatin1String("False"), Qt::CaseInsensitive) == 0)
        return false;
    bool ok = false;
    value.toDouble(&ok);
    return ok;
}

double ToDateSerial(const QDateTime& dateTime) { return Variant::fromDateTime(dateTime).toDouble(); }

QDateTime FromDateSerial(double serial) { return Variant::fromDate(serial).toDateTime(); }

double DateSerial(int year, int month, int day)
{
    if (year >= 0 && year <= 29) year += 2000;
    else if (year >= 30 && year <= 99) year += 1900;
    // Carry whole years out of the month first so that addMonths stays in range; in 64 bits,
    // so that months and days near the integer limits cannot overflow.
    const qint64 m0 = qint64(month) - 1;
    const qint64 carry = m0 >= 0 ? m0 / 12 : -((-m0 + 11) / 12);
    const qint64 y = qint64(year) + carry;
    // A day count of 32 bits moves less than 6 million years: anything farther is no date.
    if (y < -7000000 || y > 7000000) return std::nan("");
    // The calendar has no year 0: year 0 is 1 BC.
    const QDate d = QDate(int(y <= 0 ? y - 1 : y), 1, 1).addMonths(int(m0 - carry * 12)).addDays(qint64(day) - 1);
    const double serial = ToDateSerial(QDateTime(d, QTime(0, 0)));
    return serial >= kFirstDateSerial && serial <= kLastDateSerial ? serial : std::nan("");
}

double Now() { return ToDateSerial(QDateTime::currentDateTime()); }

std::optional<int> Compare(const Variant& a, const Variant& b, Qt::CaseSensitivity cs)
{
    auto comparable = [](const Variant& v) {
        return v.isEmpty() || v.isNumber() || v.isDate() || v.isBool() || v.isString();
    };
    if (!comparable(a) || !comparable(b)) return std::nullopt;
    auto sign = [](auto x, auto y) { return x < y ? -1 : x > y ? 1 : 0; };

    const bool aText = a.isString(), bText = b.isString();
    if ((aText && (bText || b.isEmpty())) || (bText && a.isEmpty()))
        return sign(a.text().compare(b.text(), cs), 0);
    if (aText != bText) {
        const Variant& text = aText ? a : b;
        const Variant& other = aText ? b : a;
        bool isDateText = false;
        const double date = other.isDate() ? text.toDate(&isDateText) : 0;
        if (isDateText)   // a date against a date text compares as dates
            return aText ? sign(date, b.toDouble()) : sign(a.toDouble(), date);
        if (!IsNumeric(text)) return aText ? 1 : -1;   // a number sorts before a text
    }
    return sign(a.toDouble(), b.toDouble());
}

} // namespace tv
