#include "jetsql.h"

#include "platform/runtime/variant.h"

#include <QHash>
#include <QRegularExpression>
#include <map>
#include <vector>

namespace tv {

namespace {

enum class Kind { Space, String, Ident, Quoted, Number, Punct };

struct Tok {
    Kind kind;
    QString text;   // output text
    QString name;   // identifiers: the name without brackets
};

bool isSig(const Tok& t) { return t.kind != Kind::Space && !t.text.isEmpty(); }

bool isIdent(const Tok& t, const char* word)
{
    return t.kind == Kind::Ident && t.name.compare(QLatin1String(word), Qt::CaseInsensitive) == 0;
}

bool isPunct(const Tok& t, const char* p) { return t.kind == Kind::Punct && t.text == QLatin1String(p); }

QString quoteString(const QString& s)
{
    QString r = s;
    r.replace(QLatin1Char('\''), QLatin1String("''"));
    return QLatin1Char('\'') + r + QLatin1Char('\'');
}

QString quoteName(const QString& s)
{
    QString r = s;
    r.replace(QLatin1Char('"'), QLatin1String("\"\""));
    return QLatin1Char('"') + r + QLatin1Char('"');
}

QString serialText(double serial) { return QString::number(serial, 'g', 17); }

// Reads a delimited run starting at text[i] (the opening delimiter); a doubled closing
// delimiter stands for itself. Returns false when the run is not closed.
bool readDelimited(const QString& text, qsizetype& i, QChar close, bool doubling, QString* inner)
{
    qsizetype j = i + 1;
    inner->clear();
    while (j < text.size()) {
        if (text[j] == close) {
            if (doubling && j + 1 < text.size() && text[j + 1] == close) {
                inner->append(close);
                j += 2;
                continue;
            }
            i = j + 1;
            return true;
        }
        inner->append(text[j]);
        ++j;
    }
    return false;
}

bool tokenize(const QString& s, std::vector<Tok>* out, QString* error)
{
    qsizetype i = 0;
    const qsizetype n = s.size();
    while (i < n) {
        const QChar c = s[i];
        if (c.isSpace()) {
            qsizetype j = i;
            while (j < n && s[j].isSpace()) ++j;
            out->push_back({Kind::Space, s.mid(i, j - i), {}});
            i = j;
        } else if (c == QLatin1Char('\'') || c == QLatin1Char('"')) {
            QString inner;
            if (!readDelimited(s, i, c, true, &inner)) {
                *error = QStringLiteral("Unterminated text literal");
                return false;
            }
            out->push_back({Kind::String, quoteString(inner), {}});
        } else if (c == QLatin1Char('[')) {
            QString inner;
            if (!readDelimited(s, i, QLatin1Char(']'), false, &inner)) {
                *error = QStringLiteral("Unterminated [name]");
                return false;
            }
            out->push_back({Kind::Quoted, quoteName(inner), inner});
        } else if (c == QLatin1Char('#')) {
            QString inner;
            double serial = 0;
            if (!readDelimited(s, i, QLatin1Char('#'), false, &inner) || !ParseJetDateLiteral(inner, &serial)) {
                *error = QStringLiteral("Invalid date literal #%1#").arg(inner);
                return false;
            }
            out->push_back({Kind::Number, serialText(serial), {}});
        } else if (c.isDigit() || (c == QLatin1Char('.') && i + 1 < n && s[i + 1].isDigit())) {
            qsizetype j = i;
            while (j < n && (s[j].isDigit() || s[j] == QLatin1Char('.'))) ++j;
            if (j < n && (s[j] == QLatin1Char('e') || s[j] == QLatin1Char('E'))) {
                qsizetype k = j + 1;
                if (k < n && (s[k] == QLatin1Char('+') || s[k] == QLatin1Char('-'))) ++k;
                if (k < n && s[k].isDigit()) {
                    while (k < n && s[k].isDigit()) ++k;
                    j = k;
                }
            }
            out->push_back({Kind::Number, s.mid(i, j - i), {}});
            i = j;
        } else if (c.isLetter() || c == QLatin1Char('_')) {
            qsizetype j = i;
            while (j < n && (s[j].isLetterOrNumber() || s[j] == QLatin1Char('_') || s[j] == QLatin1Char('$'))) ++j;
            const QString word = s.mid(i, j - i);
            out->push_back({Kind::Ident, word, word});
            i = j;
        } else {
            static const char* const kTwo[] = {"<>", "<=", ">=", "!=", "||", "=="};
            QString p(c);
            if (i + 1 < n) {
                const QString two = s.mid(i, 2);
                for (const char* t : kTwo)
                    if (two == QLatin1String(t)) p = two;
            }
            out->push_back({Kind::Punct, p, {}});
            i += p.size();
        }
    }
    return true;
}

qsizetype nextSig(const std::vector<Tok>& t, qsizetype i)
{
    for (qsizetype j = i + 1; j < qsizetype(t.size()); ++j)
        if (isSig(t[j])) return j;
    return -1;
}

const Tok* lastSig(const std::vector<Tok>& t)
{
    for (auto it = t.rbegin(); it != t.rend(); ++it)
        if (isSig(*it)) return &*it;
    return nullptr;
}

// Reads "PARAMETERS a Type, [b] Type;" at the start; returns the index after the ";".
qsizetype readParameters(const std::vector<Tok>& t, QStringList* names, QList<bool>* text, QString* error)
{
    static const QStringList kTextTypes = {QStringLiteral("text"), QStringLiteral("char"), QStringLiteral("varchar"),
                                           QStringLiteral("memo"), QStringLiteral("longtext"), QStringLiteral("string")};
    qsizetype first = nextSig(t, -1);
    if (first < 0 || !isIdent(t[first], "parameters")) return 0;
    bool expectName = true, expectType = false;
    for (qsizetype i = first + 1; i < qsizetype(t.size()); ++i) {
        const Tok& k = t[i];
        if (!isSig(k)) continue;
        if (isPunct(k, ";")) return i + 1;
        if (isPunct(k, ",")) { expectName = true; continue; }
        if (expectName) {
            if (k.kind != Kind::Ident && k.kind != Kind::Quoted) break;
            names->append(k.name);
            text->append(false);
            expectName = false;
            expectType = true;
        } else if (expectType) {
            text->last() = kTextTypes.contains(k.name.toLower());
            expectType = false;
        }
    }
    *error = QStringLiteral("PARAMETERS declaration without \";\"");
    return -1;
}

// The declared parameters by case-folded name, the first declaration of a name winning: one
// lookup per name keeps the translation linear however many are declared.
QHash<QString, int> declaredIndexes(const QStringList& names)
{
    QHash<QString, int> indexes;
    for (int i = 0; i < names.size(); ++i)
        if (!names[i].isEmpty() && !indexes.contains(names[i].toCaseFolded())) indexes.insert(names[i].toCaseFolded(), i);
    return indexes;
}

int parameterIndex(const QHash<QString, int>& declared, const QString& name)
{
    const auto it = declared.constFind(name.toCaseFolded());
    return it == declared.constEnd() ? -1 : *it;
}

// Functions whose Jet names are keywords in SQLite get the names they are registered under.
QString renamedFunction(const QString& lower)
{
    if (lower == QLatin1String("isnull")) return QStringLiteral("tv_isnull");
    if (lower == QLatin1String("left")) return QStringLiteral("tv_left");
    if (lower == QLatin1String("right")) return QStringLiteral("tv_right");
    return {};
}

// The token-by-token rewrites: names, literals, parameters, calls, Top and Delete *.
std::vector<Tok> rewriteTokens(const std::vector<Tok>& in, qsizetype start, QStringList* params, QList<bool>* text,
                               int* top)
{
    std::vector<Tok> out;
    std::map<int, QString> limits;   // paren depth of a "Top n" select -> n
    int depth = 0;
    const QHash<QString, int> declared = declaredIndexes(*params);
    auto placeholder = [](int index) { return QStringLiteral("?%1").arg(index + 1); };
    for (qsizetype i = start; i < qsizetype(in.size()); ++i) {
        Tok k = in[i];
        const Tok* prev = lastSig(out);
        const bool afterDot = prev && isPunct(*prev, ".");
        const qsizetype nx = nextSig(in, i);
        const bool beforeParen = nx >= 0 && isPunct(in[nx], "(");
        if (k.kind == Kind::Ident && !afterDot) {
            const QString lower = k.name.toLower();
            const int p = beforeParen ? -1 : parameterIndex(declared, k.name);
            const QString renamed = beforeParen ? renamedFunction(lower) : QString();
            if (!renamed.isEmpty()) {
                k.text = renamed;
            } else if (p >= 0) {
                k = {Kind::Number, placeholder(p), {}};
            } else if (!beforeParen && lower == QLatin1String("true")) {
                k = {Kind::Number, QStringLiteral("-1"), {}};
            } else if (!beforeParen && lower == QLatin1String("false")) {
                k = {Kind::Number, QStringLiteral("0"), {}};
            } else if (lower == QLatin1String("distinctrow")) {
                if (i + 1 < qsizetype(in.size()) && in[i + 1].kind == Kind::Space) ++i;
                continue;
            } else if (lower == QLatin1String("top") && nx >= 0 && in[nx].kind == Kind::Number && prev
                       && (isIdent(*prev, "select") || isIdent(*prev, "distinct") || isIdent(*prev, "all")
                           || isIdent(*prev, "distinctrow"))) {
                limits[depth] = in[nx].text;
                i = nx;
                if (i + 1 < qsizetype(in.size()) && in[i + 1].kind == Kind::Space) ++i;
                continue;
            } else if (lower == QLatin1String("delete") && nx >= 0 && isPunct(in[nx], "*")) {
                out.push_back(k);
                i = nx;
                continue;
            }
        } else if (k.kind == Kind::Quoted) {
            const int p = parameterIndex(declared, k.name);
            if (p >= 0) k = {Kind::Number, placeholder(p), {}};
        } else if (isPunct(k, "?")) {
            params->append(QString());
            text->append(false);
            k = {Kind::Number, placeholder(int(params->size()) - 1), {}};
        } else if (isPunct(k, "(")) {
            ++depth;
        } else if (isPunct(k, ")")) {
            auto it = limits.find(depth);
            if (it != limits.end()) {
                out.push_back({Kind::Space, QStringLiteral(" "), {}});
                out.push_back({Kind::Ident, QStringLiteral("LIMIT"), QStringLiteral("LIMIT")});
                out.push_back({Kind::Space, QStringLiteral(" "), {}});
                out.push_back({Kind::Number, it->second, {}});
                limits.erase(it);
            }
            --depth;
        }
        out.push_back(k);
    }
    auto it = limits.find(0);
    if (it != limits.end()) {
        bool number = false;
        const int n = it->second.toInt(&number);
        if (number && n >= 0) *top = n;
        auto pos = out.end();
        for (auto r = out.end(); r != out.begin();) {
            --r;
            if (!isSig(*r)) continue;
            if (isPunct(*r, ";")) pos = r;
            break;
        }
        out.insert(pos, {{Kind::Space, QStringLiteral(" "), {}},
                         {Kind::Ident, QStringLiteral("LIMIT"), QStringLiteral("LIMIT")},
                         {Kind::Space, QStringLiteral(" "), {}},
                         {Kind::Number, it->second, {}}});
    }
    return out;
}

// A select item that Jet names by itself: *, X.*, a column or X.column, or one with AS.
bool itemHasName(const std::vector<const Tok*>& sig)
{
    const qsizetype n = qsizetype(sig.size());
    if (n == 0) return true;
    if (n >= 2 && isIdent(*sig[n - 2], "as")) return true;
    auto name = [](const Tok* t) { return t->kind == Kind::Ident || t->kind == Kind::Quoted; };
    if (n == 1) return name(sig[0]) || isPunct(*sig[0], "*");
    if (n == 3 && name(sig[0]) && isPunct(*sig[1], ".")) return name(sig[2]) || isPunct(*sig[2], "*");
    return false;
}

// Names the unnamed expression columns of the first SELECT as Jet does: Expr1000 plus the
// column's position (the third column is Expr1002).
void nameExpressionColumns(std::vector<Tok>& t)
{
    qsizetype i = 0;
    int depth = 0;
    for (; i < qsizetype(t.size()); ++i) {
        if (isPunct(t[i], "(")) ++depth;
        if (isPunct(t[i], ")")) --depth;
        if (depth == 0 && isIdent(t[i], "select")) break;
    }
    if (i >= qsizetype(t.size())) return;
    qsizetype j = nextSig(t, i);
    if (j >= 0 && (isIdent(t[j], "distinct") || isIdent(t[j], "all"))) i = j;
    int position = 0;
    std::vector<const Tok*> item;
    qsizetype itemEnd = -1;
    std::vector<std::pair<qsizetype, QString>> inserts;
    depth = 0;
    auto closeItem = [&]() {
        if (!itemHasName(item))
            inserts.push_back({itemEnd + 1, QStringLiteral(" AS Expr%1").arg(1000 + position)});
        item.clear();
        ++position;
    };
    for (qsizetype k = i + 1; k < qsizetype(t.size()); ++k) {
        const Tok& tok = t[k];
        if (depth == 0 && (isIdent(tok, "from") || isIdent(tok, "union") || isIdent(tok, "order")
                           || isIdent(tok, "where") || isIdent(tok, "limit") || isPunct(tok, ";")
                           || isPunct(tok, ")"))) {
            break;
        }
        if (isPunct(tok, "(")) ++depth;
        if (isPunct(tok, ")")) --depth;
        if (depth == 0 && isPunct(tok, ",")) {
            closeItem();
            continue;
        }
        if (isSig(tok)) {
            item.push_back(&tok);
            itemEnd = k;
        }
    }
    closeItem();
    if (inserts.empty()) return;
    // One pass that copies the tokens with the names between them: inserting name by name
    // would move the tail once per column.
    std::vector<Tok> named;
    named.reserve(t.size() + inserts.size());
    size_t next = 0;
    for (qsizetype k = 0; k <= qsizetype(t.size()); ++k) {
        for (; next < inserts.size() && inserts[next].first == k; ++next)
            named.push_back(Tok{Kind::Ident, inserts[next].second, QStringLiteral("as")});
        if (k < qsizetype(t.size())) named.push_back(std::move(t[size_t(k)]));
    }
    t = std::move(named);
}

// Operators and keywords that bind less tightly than Jet's "&": they end its operands.
bool endsOperand(const Tok& t)
{
    if (t.kind == Kind::Punct) {
        static const char* const kOps[] = {",", ";", "=", "<", ">", "<=", ">=", "<>", "!=", "=="};
        for (const char* op : kOps)
            if (t.text == QLatin1String(op)) return true;
        return false;
    }
    if (t.kind != Kind::Ident) return false;
    static const char* const kWords[] = {
        "select", "distinct", "all", "as", "and", "or", "not", "xor", "eqv", "imp", "like", "between",
        "in", "is", "from", "where", "on", "join", "inner", "left", "right", "outer", "cross", "group",
        "order", "by", "having", "union", "set", "values", "into", "update", "delete", "insert", "limit",
        "asc", "desc", "case", "when", "then", "else", "end"};
    for (const char* w : kWords)
        if (t.text.compare(QLatin1String(w), Qt::CaseInsensitive) == 0) return true;
    return false;
}

struct Piece {
    QString text;
    bool boundary = false;
    bool amp = false;
    bool space = false;
};

// For each "(" the position of its ")" (-1 when it is never closed), found in one pass; false
// when parentheses nest deeper than kMaxNesting.
bool matchParentheses(const std::vector<Tok>& t, std::vector<qsizetype>* match)
{
    match->assign(t.size(), -1);
    std::vector<qsizetype> open;
    for (qsizetype i = 0; i < qsizetype(t.size()); ++i) {
        if (isPunct(t[size_t(i)], "(")) {
            if (open.size() >= size_t(kMaxNesting)) return false;
            open.push_back(i);
        } else if (isPunct(t[size_t(i)], ")") && !open.empty()) {
            (*match)[size_t(open.back())] = i;
            open.pop_back();
        }
    }
    return true;
}

// Joins tokens [b, e) into text, turning "a & b & c" into tv_cat(a,b,c) level by level.
// `match` pairs the parentheses (matchParentheses); the nesting limit bounds the recursion.
QString joinLevel(const std::vector<Tok>& t, const std::vector<qsizetype>& match, qsizetype b, qsizetype e)
{
    std::vector<Piece> pieces;
    bool anyAmp = false;
    for (qsizetype i = b; i < e; ++i) {
        const Tok& k = t[i];
        if (isPunct(k, "(")) {
            const qsizetype j = match[size_t(i)];
            if (j >= 0 && j < e) {
                pieces.push_back({QLatin1Char('(') + joinLevel(t, match, i + 1, j) + QLatin1Char(')')});
                i = j;
                continue;
            }
        }
        Piece p{k.text};
        p.amp = isPunct(k, "&");
        p.boundary = endsOperand(k);
        p.space = !isSig(k);
        anyAmp = anyAmp || p.amp;
        pieces.push_back(p);
    }
    QString out;
    if (!anyAmp) {
        for (const Piece& p : pieces) out += p.text;
        return out;
    }
    size_t i = 0;
    while (i < pieces.size()) {
        if (pieces[i].boundary) {
            out += pieces[i++].text;
            continue;
        }
        size_t j = i;
        bool hasAmp = false;
        for (; j < pieces.size() && !pieces[j].boundary; ++j) hasAmp = hasAmp || pieces[j].amp;
        if (!hasAmp) {
            for (size_t k = i; k < j; ++k) out += pieces[k].text;
            i = j;
            continue;
        }
        // Keep the blanks around the segment outside the call.
        size_t s = i, f = j;
        while (s < f && pieces[s].space) out += pieces[s++].text;
        QString tail;
        while (f > s && pieces[f - 1].space) tail.prepend(pieces[--f].text);
        QString operand;
        QStringList operands;
        for (size_t k = s; k < f; ++k) {
            if (pieces[k].amp) {
                operands.append(operand.trimmed());
                operand.clear();
            } else {
                operand += pieces[k].text;
            }
        }
        operands.append(operand.trimmed());
        out += QStringLiteral("tv_cat(") + operands.join(QLatin1Char(',')) + QLatin1Char(')') + tail;
        i = j;
    }
    return out;
}

} // namespace

bool ParseJetDateLiteral(const QString& inner, double* serial)
{
    static const QRegularExpression re(QStringLiteral(
        "^\\s*(\\d{1,2})/(\\d{1,2})/(\\d{2,4})(?:\\s+(\\d{1,2}):(\\d{1,2})(?::(\\d{1,2}))?\\s*([aApP][mM])?)?\\s*$"));
    const QRegularExpressionMatch m = re.match(inner);
    if (!m.hasMatch()) return false;
    int year = m.captured(3).toInt();
    if (m.captured(3).size() <= 2) year += year < 30 ? 2000 : 1900;
    const QDate date(year, m.captured(1).toInt(), m.captured(2).toInt());
    if (!date.isValid()) return false;
    int hour = m.captured(4).toInt();
    const int minute = m.captured(5).toInt();
    const int second = m.captured(6).toInt();
    const QString ampm = m.captured(7).toLower();
    if (!ampm.isEmpty()) {
        if (hour < 1 || hour > 12) return false;
        if (ampm == QLatin1String("am") && hour == 12) hour = 0;
        if (ampm == QLatin1String("pm") && hour != 12) hour += 12;
    }
    const QTime time(hour, minute, second);
    if (!time.isValid()) return false;
    *serial = Variant::fromDateTime(QDateTime(date, time)).toDate();
    return true;
}

JetSql TranslateJetSql(const QString& jet)
{
    JetSql result;
    std::vector<Tok> tokens;
    if (!tokenize(jet, &tokens, &result.error)) return result;
    const qsizetype start = readParameters(tokens, &result.parameters, &result.textParameters, &result.error);
    if (start < 0) return result;
    std::vector<Tok> out = rewriteTokens(tokens, start, &result.parameters, &result.textParameters, &result.top);
    nameExpressionColumns(out);
    std::vector<qsizetype> match;
    if (!matchParentheses(out, &match)) {
        result.error = QStringLiteral("Expression nested too deeply (more than %1 parentheses)").arg(kMaxNesting);
        return result;
    }
    result.sql = joinLevel(out, match, 0, qsizetype(out.size())).trimmed();
    return result;
}

} // namespace tv
