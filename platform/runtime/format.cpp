#include "format.h"

#include "convert.h"

#include <QLocale>
#include <QStringList>
#include <algorithm>
#include <cmath>

namespace tv {

namespace {

// German output conventions (see format.h).
constexpr char16_t kDecimalSep = u',';
constexpr char16_t kThousandsSep = u'.';
constexpr char16_t kDateSep = u'.';

const QLocale& german()
{
    static const QLocale l(QLocale::German, QLocale::Germany);
    return l;
}

// Reads a literal at `i` ("\x" or a quoted text); advances `i` past it.
bool readLiteral(const QString& p, int& i, QString* text)
{
    if (p[i] == u'\\') {
        *text = i + 1 < p.size() ? QString(p[i + 1]) : QString();
        i += 2;
        return true;
    }
    if (p[i] == u'"') {
        int end = p.indexOf(u'"', i + 1);
        if (end < 0) end = p.size();
        *text = p.mid(i + 1, end - i - 1);
        i = end + 1;
        return true;
    }
    return false;
}

QStringList splitSections(const QString& p)
{
    QStringList out;
    int start = 0, i = 0;
    QString lit;
    while (i < p.size()) {
        if (readLiteral(p, i, &lit)) continue;
        if (p[i] == u';') {
            out += p.mid(start, i - start);
            start = i + 1;
        }
        ++i;
    }
    out += p.mid(start);
    return out;
}

// ---- numbers ----

// The decimal digits of a non-negative value rounded half away from zero to `decimals`
// places, taken from its 15 significant digits so that 0.125 or 1.005 round as written.
struct Digits {
    QString intPart;   // without leading zeros; empty for 0
    QString frac;      // exactly `decimals` digits
};

Digits roundDecimal(double value, int decimals)
{
    Digits r;
    r.frac = QString(decimals, u'0');
    if (!(value > 0) || !std::isfinite(value)) return r;
    const QString e = QString::number(value, 'e', 14);   // d.ddddddddddddddde+xx
    const int ePos = e.indexOf(u'e');
    QString digits = e.left(1) + e.mid(2, ePos - 2);
    int point = e.mid(ePos + 1).toInt() + 1;   // digits before the decimal point
    const int keep = point + decimals;
    if (keep < 0) return r;
    if (keep < digits.size()) {
        const bool up = digits[keep] >= u'5';
        digits.truncate(keep);
        if (up) {
            int i = keep - 1;
            while (i >= 0 && digits[i] == u'9') digits[i--] = u'0';
            if (i >= 0) digits[i] = QChar(digits[i].unicode() + 1);
            else { digits.prepend(u'1'); ++point; }
        }
    }
    if (point < 0) { digits.prepend(QString(-point, u'0')); point = 0; }
    if (digits.size() < point) digits += QString(point - digits.size(), u'0');
    r.intPart = digits.left(point);
    r.frac = digits.mid(point).leftJustified(decimals, u'0', true);
    int z = 0;
    while (z < r.intPart.size() && r.intPart[z] == u'0') ++z;
    r.intPart.remove(0, z);
    return r;
}

struct NumTok {
    enum Kind { Zero, Hash, Point, Comma, Percent, Lit } kind;
    QString text;
    bool isDigit() const { return kind == Zero || kind == Hash; }
};

QList<NumTok> tokenizeNumber(const QString& p)
{
    QList<NumTok> out;
    bool seenPoint = false;
    int i = 0;
    QString lit;
    while (i < p.size()) {
        if (readLiteral(p, i, &lit)) { out.append(NumTok{NumTok::Lit, lit}); continue; }
        const QChar c = p[i++];
        switch (c.unicode()) {
        case u'0': out.append(NumTok{NumTok::Zero, {}}); break;
        case u'#': out.append(NumTok{NumTok::Hash, {}}); break;
        case u',': out.append(NumTok{NumTok::Comma, {}}); break;
        case u'%': out.append(NumTok{NumTok::Percent, QStringLiteral("%")}); break;
        case u'.':
            if (!seenPoint) { out.append(NumTok{NumTok::Point, {}}); seenPoint = true; break; }
            out.append(NumTok{NumTok::Lit, QString(c)});
            break;
        default: out.append(NumTok{NumTok::Lit, QString(c)}); break;
        }
    }
    return out;
}

// One section applied to a non-negative value; `nonZero` tells whether any digit shown is
// not 0 (a negative value that rounds to zero gets no minus sign).
QString formatNumberSection(double value, const QString& section, bool* nonZero)
{
    const QList<NumTok> toks = tokenizeNumber(section);
    int pointIdx = int(toks.size());
    for (int t = 0; t < toks.size(); ++t)
        if (toks[t].kind == NumTok::Point) { pointIdx = t; break; }

    // Integer placeholders; from the first "0" on each one is a digit that is always shown.
    int firstInt = -1, lastInt = -1, intCount = 0, minInt = 0;
    for (int t = 0; t < pointIdx; ++t) {
        if (!toks[t].isDigit()) continue;
        if (firstInt < 0) firstInt = t;
        lastInt = t;
        ++intCount;
        if (minInt > 0 || toks[t].kind == NumTok::Zero) ++minInt;
    }
    bool grouping = false;
    for (int t = firstInt + 1; firstInt >= 0 && t < lastInt; ++t)
        if (toks[t].kind == NumTok::Comma) grouping = true;
    int scale = 0;
    for (int t = lastInt + 1; lastInt >= 0 && t < pointIdx && toks[t].kind == NumTok::Comma; ++t)
        ++scale;
    int maxDec = 0, minDec = 0;
    for (int t = pointIdx + 1; t < toks.size(); ++t) {
        if (!toks[t].isDigit()) continue;
        ++maxDec;
        if (toks[t].kind == NumTok::Zero) minDec = maxDec;
    }
    for (const NumTok& t : toks)
        if (t.kind == NumTok::Percent) value *= 100;
    value /= std::pow(1000.0, scale);

    const Digits d = roundDecimal(value, maxDec);
    *nonZero = !d.intPart.isEmpty() ||
               std::any_of(d.frac.begin(), d.frac.end(), [](QChar c) { return c != u'0'; });
    QString frac = d.frac;
    while (frac.size() > minDec && frac.endsWith(u'0')) frac.chop(1);
    QString intDigits = d.intPart.rightJustified(minInt, u'0');

    // Integer part, right to left: each placeholder takes one digit, the leftmost takes all
    // that are left; literals stay where they stand.
    QString rev;
    int remaining = int(intDigits.size());
    const int total = remaining;
    auto pushDigit = [&]() {
        const int j = total - remaining;   // position from the right, 0-based
        if (grouping && j > 0 && j % 3 == 0) rev += kThousandsSep;
        rev += intDigits[--remaining];
    };
    if (intCount == 0 && pointIdx < toks.size())
        while (remaining > 0) pushDigit();
    for (int t = pointIdx - 1; t >= 0; --t) {
        const NumTok& tok = toks[t];
        if (tok.isDigit()) {
            if (t == firstInt) while (remaining > 0) pushDigit();
            else if (remaining > 0) pushDigit();
        } else if (tok.kind != NumTok::Comma) {
            for (qsizetype k = tok.text.size() - 1; k >= 0; --k) rev += tok.text[k];
        }
    }
    QString out(rev.size(), u' ');
    std::reverse_copy(rev.begin(), rev.end(), out.begin());

    int next = 0;
    for (int t = pointIdx; t < toks.size(); ++t) {
        const NumTok& tok = toks[t];
        if (tok.kind == NumTok::Point) out += kDecimalSep;
        else if (tok.isDigit()) { if (next < frac.size()) out += frac[next++]; }
        else if (tok.kind != NumTok::Comma) out += tok.text;
    }
    return out;
}

QString formatNumber(double v, const QStringList& sections)
{
    int si = 0;
    bool minus = false;
    if (v < 0) {
        if (sections.size() > 1 && !sections[1].isEmpty()) si = 1;
        else minus = true;
    } else if (v == 0 && sections.size() > 2 && !sections[2].isEmpty()) {
        si = 2;
    }
    bool nonZero = false;
    QString out = formatNumberSection(std::fabs(v), sections[si], &nonZero);
    if (minus && nonZero) out.prepend(u'-');
    return out;
}

QString generalNumber(double v)
{
    QString t = QString::number(v, 'g', 15);
    t.replace(u'e', u'E');
    t.replace(u'.', kDecimalSep);
    return t;
}

// ---- dates ----

struct DateTok {
    char16_t kind;   // 'L' literal, 'A' am/pm, else the placeholder letter (lower case)
    int len;
    QString text;
};

// The am/pm marker at `i` ("am/pm", "a/p" or "ampm" in any case), or 0.
int ampmLength(const QString& p, int i)
{
    for (const char* marker : {"am/pm", "a/p", "ampm"}) {
        const QLatin1String m(marker);
        if (p.mid(i, m.size()).compare(m, Qt::CaseInsensitive) == 0) return int(m.size());
    }
    return 0;
}

// How many letters of a run of one placeholder letter form one placeholder.
int placeholderLength(char16_t c, int run)
{
    switch (c) {
    case u'd': return std::min(run, 6);
    case u'm': return std::min(run, 4);
    case u'y': return run >= 4 ? 4 : run == 3 ? 2 : run;
    case u'w': case u'h': case u'n': case u's': return std::min(run, 2);
    default: return 1;
    }
}

QList<DateTok> tokenizeDate(const QString& p)
{
    QList<DateTok> out;
    int i = 0;
    QString lit;
    while (i < p.size()) {
        if (readLiteral(p, i, &lit)) {
            out.append(DateTok{u'L', 0, lit});
        } else if (const int n = ampmLength(p, i)) {
            out.append(DateTok{u'A', 0, p.mid(i, n)});
            i += n;
        } else if (const char16_t c = p[i].toLower().unicode();
                   QStringLiteral("dwmqyhnsc").contains(QChar(c))) {
            int run = 0;
            while (i + run < p.size() && p[i + run].toLower() == QChar(c)) ++run;
            const int take = placeholderLength(c, run);
            out.append(DateTok{c, take, {}});
            i += take;
        } else if (p.mid(i, 5).compare(QLatin1String("ttttt"), Qt::CaseInsensitive) == 0) {
            out.append(DateTok{u't', 5, {}});
            i += 5;
        } else {
            const QChar ch = p[i++];
            out.append(DateTok{u'L', 0, ch == u'/' ? QString(QChar(kDateSep)) : QString(ch)});
        }
    }
    // "m" or "mm" right after an hour placeholder is the minute.
    char16_t prev = 0;
    for (DateTok& t : out) {
        if (t.kind == u'L') continue;
        if (t.kind == u'm' && t.len <= 2 && prev == u'h') t.kind = u'n';
        prev = t.kind;
    }
    return out;
}

bool isDatePattern(const QString& p)
{
    const QList<DateTok> toks = tokenizeDate(p);
    return std::any_of(toks.begin(), toks.end(), [](const DateTok& t) { return t.kind != u'L'; });
}

QString shortName(QString name)
{
    if (name.endsWith(u'.')) name.chop(1);
    return name;
}

QString generalDate(double serial) { return Variant::fromDate(serial).toString(); }

QString formatDate(double serial, const QString& pattern)
{
    QDate date;
    QTime time;
    if (!DateSerialParts(serial, &date, &time)) return QString();   // no date: shown as empty
    const QList<DateTok> toks = tokenizeDate(pattern);
    const bool clock12 =
        std::any_of(toks.begin(), toks.end(), [](const DateTok& t) { return t.kind == u'A'; });
    auto two = [](int n) { return QStringLiteral("%1").arg(n, 2, 10, QLatin1Char('0')); };
    auto num = [&](int n, int len) { return len >= 2 ? two(n) : QString::number(n); };

    QString out;
    for (const DateTok& t : toks) {
        switch (t.kind) {
        case u'L': out += t.text; break;
        case u'd':
            if (t.len <= 2) out += num(date.day(), t.len);
            else if (t.len == 3) out += shortName(german().dayName(date.dayOfWeek(), QLocale::ShortFormat));
            else if (t.len == 4) out += german().dayName(date.dayOfWeek(), QLocale::LongFormat);
            else if (t.len == 5) out += formatDate(serial, QStringLiteral("dd/mm/yyyy"));
            else out += formatDate(serial, QStringLiteral("dddd, d. mmmm yyyy"));
            break;
        case u'w': {
            const int weekday = date.dayOfWeek() % 7 + 1;   // Sunday = 1
            if (t.len == 1) { out += QString::number(weekday); break; }
            const int offset = QDate(date.year(), 1, 1).dayOfWeek() % 7;
            out += QString::number((date.dayOfYear() - 1 + offset) / 7 + 1);
            break;
        }
        case u'm':
            if (t.len <= 2) out += num(date.month(), t.len);
            else if (t.len == 3) out += shortName(german().monthName(date.month(), QLocale::ShortFormat));
            else out += german().monthName(date.month(), QLocale::LongFormat);
            break;
        case u'q': out += QString::number((date.month() - 1) / 3 + 1); break;
        case u'y':
            if (t.len == 1) out += QString::number(date.dayOfYear());
            else if (t.len == 2) out += two(date.year() % 100);
            else out += QString::number(date.year());
            break;
        case u'h': {
            int h = time.hour();
            if (clock12) h = h % 12 == 0 ? 12 : h % 12;
            out += num(h, t.len);
            break;
        }
        case u'n': out += num(time.minute(), t.len); break;
        case u's': out += num(time.second(), t.len); break;
        case u'A': {
            const bool pm = time.hour() >= 12;
            if (t.text.size() == 5) out += pm ? t.text.mid(3, 2) : t.text.left(2);
            else if (t.text.size() == 3) out += pm ? t.text[2] : t.text[0];
            else out += pm ? QStringLiteral("PM") : QStringLiteral("AM");
            break;
        }
        case u'c': out += generalDate(serial); break;
        case u't': out += formatDate(serial, QStringLiteral("hh:nn:ss")); break;
        default: break;
        }
    }
    return out;
}

// ---- named formats ----

enum class Kind { Number, Date, Bool };
struct Named {
    const char* name;
    Kind kind;
    const char* pattern;   // for Bool: "true text/false text"
};
const Named kNamed[] = {
    {"General Number", Kind::Number, ""},
    {"Currency", Kind::Number, "#,##0.00 \xe2\x82\xac;-#,##0.00 \xe2\x82\xac"},
    {"Fixed", Kind::Number, "0.00"},
    {"Standard", Kind::Number, "#,##0.00"},
    {"Percent", Kind::Number, "0.00%"},
    {"Scientific", Kind::Number, ""},
    {"Yes/No", Kind::Bool, "Ja/Nein"},
    {"True/False", Kind::Bool, "Wahr/Falsch"},
    {"On/Off", Kind::Bool, "Ein/Aus"},
    {"General Date", Kind::Date, ""},
    {"Long Date", Kind::Date, "dddddd"},
    {"Medium Date", Kind::Date, "dd-mmm-yy"},
    {"Short Date", Kind::Date, "ddddd"},
    {"Long Time", Kind::Date, "hh:nn:ss"},
    {"Medium Time", Kind::Date, "hh:nn AM/PM"},
    {"Short Time", Kind::Date, "hh:nn"},
};

// The number a value stands for; false for a text that holds none (or Null/objects).
bool numberOf(const Variant& v, double* d)
{
    if (v.type() == VarType::Single) {   // its 7 digits, not the binary tail of a float
        *d = QString::number(v.toDouble(), 'g', 7).toDouble();
        return true;
    }
    if (v.isNumber() || v.isBool() || v.isDate() || (v.isString() && IsNumeric(v))) {
        *d = v.toDouble();
        return true;
    }
    return false;
}

bool serialOf(const Variant& v, double* d)
{
    bool ok = false;
    if (v.isString()) *d = v.toDate(&ok);
    else if (v.isNumber() || v.isBool() || v.isDate()) { *d = v.toDouble(); ok = true; }
    return ok;
}

} // namespace

QString Format(const Variant& value, const QString& pattern)
{
    if (value.isNull()) {
        const QStringList sections = splitSections(pattern);
        return sections.size() > 3 ? formatNumber(0, {sections[3]}) : QString();
    }
    if (value.isEmpty()) return QString();

    for (const Named& n : kNamed) {
        if (pattern.compare(QLatin1String(n.name), Qt::CaseInsensitive) != 0) continue;
        const QString p = QString::fromUtf8(n.pattern);
        double d = 0;
        if (n.kind == Kind::Date) {
            if (!serialOf(value, &d)) return value.text();
            return p.isEmpty() ? generalDate(d) : formatDate(d, p);
        }
        if (!numberOf(value, &d)) return value.text();
        if (n.kind == Kind::Bool) return p.section(u'/', d != 0 ? 0 : 1, d != 0 ? 0 : 1);
        if (QLatin1String(n.name) == QLatin1String("Scientific"))
            return QString::number(d, 'E', 2).replace(u'.', kDecimalSep);
        return p.isEmpty() ? generalNumber(d) : formatNumber(d, splitSections(p));
    }

    double d = 0;
    if (pattern.isEmpty()) {
        if (value.isNumber() && numberOf(value, &d)) return generalNumber(d);
        return value.text();
    }
    if (isDatePattern(pattern)) {
        if (!serialOf(value, &d)) return value.text();
        return formatDate(d, pattern);
    }
    if (!numberOf(value, &d)) return value.text();
    return formatNumber(d, splitSections(pattern));
}

} // namespace tv
