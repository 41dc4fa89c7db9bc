#include "jetfunctions.h"

#include "platform/runtime/convert.h"
#include "platform/runtime/format.h"
#include "platform/runtime/textorder.h"
#include "platform/runtime/variant.h"

#include "engine.h"

#include <QDateTime>
#include <QRegularExpression>
#include <QVarLengthArray>
#include <algorithm>
#include <cmath>
#include <string_view>
#include <vector>

namespace tv {

namespace {

// ---- Like patterns ----

struct LikeElem {
    enum Type { Star, One, Digit, Set, Literal } type;
    QString chars;                         // Set: single characters; Literal: the character
    std::vector<std::pair<QChar, QChar>> ranges;
    bool negate = false;
};

// A compiled pattern. `infix` holds the text of a pattern "*text*" whose characters are all
// ASCII (folded): such a pattern, the search boxes' own, matches an ASCII text exactly where
// the folded text holds it, found without stepping through the pattern.
struct LikePattern {
    std::vector<LikeElem> elems;
    QByteArray infix;
};

// Jet compares without case: characters are compared case-folded, one UTF-16 unit at a time.
// ASCII letters fold to their lower case and every other ASCII character to itself.
char foldAscii(char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; }

QChar fold(QChar c)
{
    return c.unicode() < 0x80 ? QChar(foldAscii(char(c.unicode()))) : c.toCaseFolded();
}

LikePattern compileLike(const QString& pattern)
{
    LikePattern compiled;
    std::vector<LikeElem>& out = compiled.elems;
    for (qsizetype i = 0; i < pattern.size(); ++i) {
        const QChar c = pattern[i];
        if (c == QLatin1Char('*')) {
            if (out.empty() || out.back().type != LikeElem::Star) out.push_back({LikeElem::Star, {}, {}});
        } else if (c == QLatin1Char('?')) {
            out.push_back({LikeElem::One, {}, {}});
        } else if (c == QLatin1Char('#')) {
            out.push_back({LikeElem::Digit, {}, {}});
        } else if (c == QLatin1Char('[') && pattern.indexOf(QLatin1Char(']'), i + 1) > i) {
            const qsizetype close = pattern.indexOf(QLatin1Char(']'), i + 1);
            LikeElem e{LikeElem::Set, {}, {}};
            qsizetype j = i + 1;
            if (j < close && pattern[j] == QLatin1Char('!') && close > j + 1) {
                e.negate = true;
                ++j;
            }
            for (; j < close; ++j) {
                if (j + 2 < close && pattern[j + 1] == QLatin1Char('-')) {
                    e.ranges.push_back({fold(pattern[j]), fold(pattern[j + 2])});
                    j += 2;
                } else {
                    e.chars.append(fold(pattern[j]));
                }
            }
            // One character in brackets (how the search boxes pass "#", "?" and "[") is that
            // character.
            if (!e.negate && e.ranges.empty() && e.chars.size() == 1) e.type = LikeElem::Literal;
            out.push_back(e);
            i = close;
        } else {
            out.push_back({LikeElem::Literal, QString(fold(c)), {}});
        }
    }
    if (out.size() >= 3 && out.front().type == LikeElem::Star && out.back().type == LikeElem::Star
        && std::all_of(out.begin() + 1, out.end() - 1, [](const LikeElem& e) {
               return e.type == LikeElem::Literal && e.chars[0].unicode() < 0x80;
           }))
        for (auto e = out.begin() + 1; e != out.end() - 1; ++e) compiled.infix.append(char(e->chars[0].unicode()));
    return compiled;
}

// A text as the matcher reads it: a QString, folded as it is read.
struct WideText {
    const QString& s;
    qsizetype size() const { return s.size(); }
    QChar folded(qsizetype i) const { return fold(s[i]); }
    bool digit(qsizetype i) const { return s[i].isDigit(); }
};

// An ASCII text, folded beforehand: the same characters, read without converting the text.
struct AsciiText {
    const char* s;
    qsizetype n;
    qsizetype size() const { return n; }
    QChar folded(qsizetype i) const { return QChar(uchar(s[i])); }
    bool digit(qsizetype i) const { return s[i] >= '0' && s[i] <= '9'; }
};

template <class Text>
bool matchOne(const LikeElem& e, const Text& text, qsizetype i)
{
    switch (e.type) {
    case LikeElem::One: return true;
    case LikeElem::Digit: return text.digit(i);
    case LikeElem::Literal: return text.folded(i) == e.chars[0];
    case LikeElem::Set: {
        const QChar f = text.folded(i);
        bool in = e.chars.contains(f);
        for (const auto& r : e.ranges) in = in || (f >= r.first && f <= r.second);
        return in != e.negate;
    }
    case LikeElem::Star: break;
    }
    return false;
}

template <class Text>
bool matchCompiled(const Text& text, const std::vector<LikeElem>& p)
{
    qsizetype ti = 0;
    size_t pi = 0;
    qsizetype starT = 0;
    long starP = -1;
    const qsizetype n = text.size();
    while (ti < n) {
        if (pi < p.size() && p[pi].type == LikeElem::Star) {
            starP = long(pi++);
            starT = ti;
        } else if (pi < p.size() && matchOne(p[pi], text, ti)) {
            ++pi;
            ++ti;
        } else if (starP >= 0) {
            pi = size_t(starP) + 1;
            ti = ++starT;
        } else {
            return false;
        }
    }
    while (pi < p.size() && p[pi].type == LikeElem::Star) ++pi;
    return pi == p.size();
}

// Matches the UTF-8 text `bytes` when it is all ASCII (most paths and names are), folding it
// into `folded`; false when it is not, leaving the match undecided.
bool matchAscii(const char* bytes, qsizetype n, const LikePattern& p, QVarLengthArray<char, 512>& folded,
                bool* match)
{
    folded.resize(n);
    char* out = folded.data();
    for (qsizetype i = 0; i < n; ++i) {
        const char c = bytes[i];
        if (uchar(c) >= 0x80) return false;
        out[i] = foldAscii(c);
    }
    if (!p.infix.isEmpty())
        *match = std::string_view(out, size_t(n)).find(std::string_view(p.infix.constData(), size_t(p.infix.size())))
                 != std::string_view::npos;
    else
        *match = matchCompiled(AsciiText{out, n}, p.elems);
    return true;
}

// ---- value helpers ----

QString valueText(sqlite3_value* v)
{
    return QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_value_text(v)), sqlite3_value_bytes(v));
}

void resultText(sqlite3_context* ctx, const QString& s)
{
    const QByteArray u = s.toUtf8();
    sqlite3_result_text(ctx, u.constData(), int(u.size()), kSqliteTransient);
}

// Jet's text of a number: whole numbers without a decimal point.
QString numberText(double d)
{
    if (d == std::trunc(d) && std::fabs(d) < 1e15) return QString::number(qint64(d));
    return QString::number(d, 'g', 15);
}

QString jetText(sqlite3_value* v)
{
    switch (sqlite3_value_type(v)) {
    case SQLITE_NULL: return QString();
    case SQLITE_INTEGER: return QString::number(sqlite3_value_int64(v));
    case SQLITE_FLOAT: return numberText(sqlite3_value_double(v));
    default: return valueText(v);
    }
}

// A number from a value: numbers as they are, texts when they read as one.
bool numberOf(sqlite3_value* v, double* out)
{
    switch (sqlite3_value_type(v)) {
    case SQLITE_INTEGER: *out = double(sqlite3_value_int64(v)); return true;
    case SQLITE_FLOAT: *out = sqlite3_value_double(v); return true;
    case SQLITE_TEXT: {
        bool ok = false;
        *out = Variant(valueText(v)).toDouble(&ok);
        return ok;
    }
    default: return false;
    }
}

bool isNullArg(sqlite3_context* ctx, sqlite3_value* v)
{
    if (sqlite3_value_type(v) != SQLITE_NULL) return false;
    sqlite3_result_null(ctx);
    return true;
}

void resultNumber(sqlite3_context* ctx, double d)
{
    if (d == std::trunc(d) && std::fabs(d) < 9.2e18) sqlite3_result_int64(ctx, sqlite3_int64(d));
    else sqlite3_result_double(ctx, d);
}

// ---- the functions ----

// Called for every row a condition "like" compares (a path search at a million files: a
// million times), so a text of ASCII is matched as it is, without converting it.
void fnLike(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    if (isNullArg(ctx, argv[0]) || isNullArg(ctx, argv[1])) return;
    auto* compiled = static_cast<LikePattern*>(sqlite3_get_auxdata(ctx, 0));
    if (!compiled) {
        compiled = new LikePattern(compileLike(jetText(argv[0])));
        sqlite3_set_auxdata(ctx, 0, compiled, [](void* p) { delete static_cast<LikePattern*>(p); });
        compiled = static_cast<LikePattern*>(sqlite3_get_auxdata(ctx, 0));
        if (!compiled) {
            sqlite3_result_int(ctx, JetLike(jetText(argv[1]), jetText(argv[0])) ? 1 : 0);
            return;
        }
    }
    if (sqlite3_value_type(argv[1]) == SQLITE_TEXT) {
        const auto* bytes = reinterpret_cast<const char*>(sqlite3_value_text(argv[1]));
        QVarLengthArray<char, 512> folded;
        bool match = false;
        if (bytes && matchAscii(bytes, sqlite3_value_bytes(argv[1]), *compiled, folded, &match)) {
            sqlite3_result_int(ctx, match ? 1 : 0);
            return;
        }
    }
    const QString text = jetText(argv[1]);
    sqlite3_result_int(ctx, matchCompiled(WideText{text}, compiled->elems) ? 1 : 0);
}

void fnIif(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    double d = 0;
    const bool cond = numberOf(argv[0], &d) && d != 0;
    sqlite3_result_value(ctx, cond ? argv[1] : argv[2]);
}

void fnIsNull(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    sqlite3_result_int(ctx, sqlite3_value_type(argv[0]) == SQLITE_NULL ? -1 : 0);
}

void fnUcase(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    if (!isNullArg(ctx, argv[0])) resultText(ctx, jetText(argv[0]).toUpper());
}

void fnLcase(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    if (!isNullArg(ctx, argv[0])) resultText(ctx, jetText(argv[0]).toLower());
}

bool lengthArg(sqlite3_context* ctx, sqlite3_value* v, qsizetype* n)
{
    double d = 0;
    if (!numberOf(v, &d) || std::isnan(d) || d < 0) {
        sqlite3_result_error(ctx, "Invalid procedure call or argument", -1);
        return false;
    }
    // No text is longer than this; a larger (or infinite) length means "all of it", and a
    // conversion of a value beyond the integer range would be undefined.
    constexpr double kLongest = 1e15;
    *n = qsizetype(std::nearbyint(std::min(d, kLongest)));
    return true;
}

void fnLeft(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    qsizetype n = 0;
    if (isNullArg(ctx, argv[0]) || !lengthArg(ctx, argv[1], &n)) return;
    resultText(ctx, jetText(argv[0]).left(n));
}

void fnRight(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    qsizetype n = 0;
    if (isNullArg(ctx, argv[0]) || !lengthArg(ctx, argv[1], &n)) return;
    resultText(ctx, jetText(argv[0]).right(n));
}

void fnMid(sqlite3_context* ctx, int argc, sqlite3_value** argv)
{
    qsizetype start = 0, n = -1;
    if (isNullArg(ctx, argv[0]) || !lengthArg(ctx, argv[1], &start)) return;
    if (argc > 2 && !lengthArg(ctx, argv[2], &n)) return;
    if (start < 1) {
        sqlite3_result_error(ctx, "Invalid procedure call or argument", -1);
        return;
    }
    const QString text = jetText(argv[0]);
    if (start > text.size()) return resultText(ctx, QString());
    resultText(ctx, text.mid(start - 1, n));
}

void fnLen(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    if (!isNullArg(ctx, argv[0])) sqlite3_result_int64(ctx, jetText(argv[0]).size());
}

// CLng / CInt: round half to even, fail outside the type's range or on a non-number.
void convertWhole(sqlite3_context* ctx, sqlite3_value* v, double lo, double hi)
{
    if (isNullArg(ctx, v)) return;
    double d = 0;
    if (sqlite3_value_type(v) == SQLITE_TEXT) {
        bool ok = false;
        d = Variant(valueText(v)).toDate(&ok);
        if (!ok) {
            sqlite3_result_error(ctx, "Type mismatch", -1);
            return;
        }
    } else if (!numberOf(v, &d)) {
        sqlite3_result_error(ctx, "Type mismatch", -1);
        return;
    }
    d = std::nearbyint(d);
    if (std::isnan(d) || d < lo || d > hi) {
        sqlite3_result_error(ctx, "Overflow", -1);
        return;
    }
    sqlite3_result_int64(ctx, sqlite3_int64(d));
}

void fnClng(sqlite3_context* ctx, int, sqlite3_value** argv) { convertWhole(ctx, argv[0], -2147483648.0, 2147483647.0); }
void fnCint(sqlite3_context* ctx, int, sqlite3_value** argv) { convertWhole(ctx, argv[0], -32768.0, 32767.0); }

void fnCdate(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    if (isNullArg(ctx, argv[0])) return;
    double d = 0;
    bool ok = false;
    if (sqlite3_value_type(argv[0]) == SQLITE_TEXT) d = Variant(valueText(argv[0])).toDate(&ok);
    else ok = numberOf(argv[0], &d);
    if (!ok) {
        sqlite3_result_error(ctx, "Type mismatch", -1);
        return;
    }
    sqlite3_result_double(ctx, d);
}

void fnInt(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    if (isNullArg(ctx, argv[0])) return;
    double d = 0;
    if (!numberOf(argv[0], &d)) {
        sqlite3_result_error(ctx, "Type mismatch", -1);
        return;
    }
    resultNumber(ctx, std::floor(d));
}

// Val: the number at the start of a text, blanks ignored, 0 when there is none.
void fnVal(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    if (isNullArg(ctx, argv[0])) return;
    const int type = sqlite3_value_type(argv[0]);
    if (type == SQLITE_INTEGER || type == SQLITE_FLOAT) sqlite3_result_value(ctx, argv[0]);
    else resultNumber(ctx, Val(valueText(argv[0])));
}

Variant variantOf(sqlite3_value* v)
{
    switch (sqlite3_value_type(v)) {
    case SQLITE_NULL: return Variant::null();
    case SQLITE_INTEGER: {
        const sqlite3_int64 i = sqlite3_value_int64(v);
        return i >= INT32_MIN && i <= INT32_MAX ? Variant(int32_t(i)) : Variant(double(i));
    }
    case SQLITE_FLOAT: return Variant(sqlite3_value_double(v));
    default: return Variant(valueText(v));
    }
}

// Format: a number under a date pattern is a date serial, as the catalogue stores dates.
void fnFormat(sqlite3_context* ctx, int argc, sqlite3_value** argv)
{
    if (isNullArg(ctx, argv[0])) return;
    const QString pattern = argc > 1 ? jetText(argv[1]) : QString();
    Variant value = variantOf(argv[0]);
    static const QRegularExpression datePattern(QStringLiteral("[dDmMyYhHnNsS]"));
    if (value.isNumber() && pattern.contains(datePattern)) value = Variant::fromDate(value.toDouble());
    resultText(ctx, Format(value, pattern));
}

// Jet's "&": texts joined, Null counting as an empty text.
void fnCat(sqlite3_context* ctx, int argc, sqlite3_value** argv)
{
    QByteArray out;
    for (int i = 0; i < argc; ++i) {
        const int type = sqlite3_value_type(argv[i]);
        if (type == SQLITE_TEXT || type == SQLITE_BLOB)
            out.append(reinterpret_cast<const char*>(sqlite3_value_text(argv[i])), sqlite3_value_bytes(argv[i]));
        else if (type != SQLITE_NULL)
            out.append(jetText(argv[i]).toUtf8());
    }
    sqlite3_result_text(ctx, out.constData(), int(out.size()), kSqliteTransient);
}

int textCollation(void*, int la, const void* a, int lb, const void* b)
{
    return CompareTextUtf8(static_cast<const char*>(a), la, static_cast<const char*>(b), lb);
}

} // namespace

bool JetLike(const QString& text, const QString& pattern)
{
    return matchCompiled(WideText{text}, compileLike(pattern).elems);
}

int RegisterJetFunctions(sqlite3* db)
{
    struct Fn {
        const char* name;
        int args;
        void (*fn)(sqlite3_context*, int, sqlite3_value**);
    };
    static const Fn kFunctions[] = {
        {"like", 2, fnLike},     {"iif", 3, fnIif},       {"tv_isnull", 1, fnIsNull},
        {"ucase", 1, fnUcase},   {"lcase", 1, fnLcase},   {"tv_left", 2, fnLeft},
        {"tv_right", 2, fnRight}, {"mid", 2, fnMid},      {"mid", 3, fnMid},
        {"len", 1, fnLen},       {"clng", 1, fnClng},     {"cint", 1, fnCint},
        {"cdate", 1, fnCdate},   {"format", 1, fnFormat}, {"format", 2, fnFormat},
        {"val", 1, fnVal},       {"int", 1, fnInt},       {"tv_cat", -1, fnCat},
    };
    for (const Fn& f : kFunctions) {
        const int rc = sqlite3_create_function_v2(db, f.name, f.args, SQLITE_UTF8 | SQLITE_DETERMINISTIC,
                                                  nullptr, f.fn, nullptr, nullptr, nullptr);
        if (rc != SQLITE_OK) return rc;
    }
    return sqlite3_create_collation_v2(db, kTextCollation, SQLITE_UTF8, nullptr, textCollation, nullptr);
}

} // namespace tv
