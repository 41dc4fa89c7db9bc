#include "inifile.h"

#include "files.h"
#include "textfile.h"

#include <QSaveFile>
#include <algorithm>
#include <optional>

namespace tv {

namespace {

bool sameName(const QString& a, const QString& b) { return a.toCaseFolded() == b.toCaseFolded(); }

bool isBlank(QChar c) { return c == QLatin1Char(' ') || c == QLatin1Char('\t'); }

bool hasLineBreak(const QString& s) { return s.contains(QLatin1Char('\r')) || s.contains(QLatin1Char('\n')); }

QString trimBlanks(const QString& s)
{
    qsizetype from = 0, to = s.size();
    while (from < to && isBlank(s.at(from))) ++from;
    while (to > from && isBlank(s.at(to - 1))) --to;
    return s.mid(from, to - from);
}

constexpr QChar kQuote = QLatin1Char('"');
constexpr QChar kEscape = QLatin1Char('^');

// The text between the quotes of a quoted form with its escapes resolved; nothing when the
// text has no quotes around it or holds what the writer never writes there.
std::optional<QString> unescapeQuoted(const QString& stored)
{
    if (stored.size() < 2 || stored.front() != kQuote || stored.back() != kQuote) return std::nullopt;
    QString value;
    value.reserve(stored.size() - 2);
    for (qsizetype i = 1; i < stored.size() - 1; ++i) {
        const QChar c = stored.at(i);
        if (c == QLatin1Char('\r') || c == QLatin1Char('\n')) return std::nullopt;
        if (c != kEscape) {
            value += c;
            continue;
        }
        if (++i == stored.size() - 1) return std::nullopt;
        const QChar e = stored.at(i);
        if (e == kEscape) value += kEscape;
        else if (e == QLatin1Char('M')) value += QLatin1Char('\r');
        else if (e == QLatin1Char('J')) value += QLatin1Char('\n');
        else return std::nullopt;
    }
    return value;
}

// Whether the plain form would lose the value or read it as another one. A text of quotes
// inside quotes is unwrapped level by level, so that every level the writer adds is undone.
bool needsQuotes(QString value)
{
    for (;;) {
        if (value.isEmpty()) return false;
        if (isBlank(value.front()) || isBlank(value.back()) || hasLineBreak(value)) return true;
        std::optional<QString> inner = unescapeQuoted(value);
        if (!inner) return false;
        value = std::move(*inner);
    }
}

// The text a value is stored as after "key=": the value itself, or its quoted form.
QString IniStoredValue(const QString& value)
{
    if (!needsQuotes(value)) return value;
    QString stored = kQuote;
    for (const QChar c : value) {
        if (c == kEscape) stored += QLatin1String("^^");
        else if (c == QLatin1Char('\r')) stored += QLatin1String("^M");
        else if (c == QLatin1Char('\n')) stored += QLatin1String("^J");
        else stored += c;
    }
    return stored + kQuote;
}

// The value a stored text (trimmed, as the reader takes it) stands for.
QString IniValue(const QString& stored)
{
    // Only the writer's own quoted form is unwrapped: what it stands for must be a value that
    // the writer would have quoted.
    std::optional<QString> value = unescapeQuoted(stored);
    return value && needsQuotes(*value) ? *value : stored;
}

// Whether a line can hold a section or key name so that it is found again: not empty, no
// blank or tab at either end, no CR or LF; a section name without "]", a key that neither
// begins with "[" or ";" nor holds "=". The program's names all fit; a caller that is handed
// other names is refused rather than writing an entry that reads back under another name.
bool IniNameFits(const QString& name, bool section)
{
    if (name.isEmpty() || isBlank(name.front()) || isBlank(name.back()) || hasLineBreak(name)) return false;
    if (section) return !name.contains(QLatin1Char(']'));
    return !name.startsWith(QLatin1Char('[')) && !name.startsWith(QLatin1Char(';')) && !name.contains(QLatin1Char('='));
}

} // namespace

QString IniEntryLine(const QString& key, const QString& value)
{
    return key + QLatin1Char('=') + IniStoredValue(value);
}

bool IniFile::load(const QString& path, QString* error)
{
    preamble_ = Section();
    sections_.clear();
    if (!IsFile(path)) {
        if (IsFolder(path)) {
            if (error) *error = QStringLiteral("%1: is a folder").arg(path);
            return false;
        }
        return true;
    }
    QString text;
    if (!ReadTextFile(path, text, error)) return false;
    parse(text);
    return true;
}

void IniFile::parse(const QString& text)
{
    preamble_ = Section();
    sections_.clear();
    crlf_ = false;
    QStringList lines = text.split(QLatin1Char('\n'));
    if (!lines.isEmpty() && lines.last().isEmpty()) lines.removeLast();
    Section* current = &preamble_;
    for (QString line : lines) {
        if (line.endsWith(QLatin1Char('\r'))) {
            line.chop(1);
            crlf_ = true;
        }
        const QString trimmed = trimBlanks(line);
        if (trimmed.startsWith(QLatin1Char('['))) {
            const qsizetype close = trimmed.indexOf(QLatin1Char(']'));
            if (close > 0) {
                sections_.push_back(Section{trimBlanks(trimmed.mid(1, close - 1)), line, {}});
                current = &sections_.back();
                continue;
            }
        }
        const qsizetype eq = trimmed.indexOf(QLatin1Char('='));
        if (eq > 0 && current != &preamble_ && !trimmed.startsWith(QLatin1Char(';')))
            current->lines.push_back(Line{trimBlanks(trimmed.left(eq)), trimBlanks(trimmed.mid(eq + 1)), QString()});
        else
            current->lines.push_back(Line{QString(), QString(), line});
    }
}

QString IniFile::text() const
{
    // A file read with CR LF line ends is written with them: only then does a value that ends
    // in CR read back the same.
    // So do lines whose text ends in CR (a value "\r" after "key =\r \t" trimmed, say).
    bool crlf = crlf_;
    auto endsInCr = [](const Section& s) {
        return s.raw.endsWith(QLatin1Char('\r')) || std::any_of(s.lines.begin(), s.lines.end(), [](const Line& l) {
                   return (l.key.isEmpty() ? l.raw : l.value).endsWith(QLatin1Char('\r'));
               });
    };
    crlf = crlf || endsInCr(preamble_) || std::any_of(sections_.begin(), sections_.end(), endsInCr);
    const QLatin1String lineEnd(crlf ? "\r\n" : "\n");
    QString out;
    auto writeLines = [&out, lineEnd](const Section& s) {
        for (const Line& l : s.lines) {
            out += l.key.isEmpty() ? l.raw : l.key + QLatin1Char('=') + l.value;
            out += lineEnd;
        }
    };
    writeLines(preamble_);
    for (const Section& s : sections_) {
        out += s.raw + lineEnd;
        writeLines(s);
    }
    return out;
}

bool IniFile::save(const QString& path, QString* error) const
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        if (error) *error = path + QStringLiteral(": ") + file.errorString();
        return false;
    }
    file.write(text().toUtf8());
    if (!file.commit()) {
        if (error) *error = path + QStringLiteral(": ") + file.errorString();
        return false;
    }
    return true;
}

IniFile::Section* IniFile::findSection(const QString& name)
{
    for (Section& s : sections_)
        if (sameName(s.name, name)) return &s;
    return nullptr;
}

const IniFile::Section* IniFile::findSection(const QString& name) const
{
    return const_cast<IniFile*>(this)->findSection(name);
}

const IniFile::Line* IniFile::findLine(const QString& section, const QString& key) const
{
    if (const Section* s = findSection(section))
        for (const Line& l : s->lines)
            if (!l.key.isEmpty() && sameName(l.key, key)) return &l;
    return nullptr;
}

QString IniFile::value(const QString& section, const QString& key, const QString& defaultValue) const
{
    const Line* l = findLine(section, key);
    return l ? IniValue(l->value) : defaultValue;
}

bool IniFile::contains(const QString& section, const QString& key) const
{
    return findLine(section, key) != nullptr;
}

bool IniFile::setValue(const QString& section, const QString& key, const QString& value)
{
    if (!IniNameFits(section, true) || !IniNameFits(key, false)) return false;
    const QString stored = IniStoredValue(value);
    Section* s = findSection(section);
    if (!s) {
        sections_.push_back(Section{section, QLatin1Char('[') + section + QLatin1Char(']'), {}});
        s = &sections_.back();
    }
    for (Line& l : s->lines)
        if (!l.key.isEmpty() && sameName(l.key, key)) {
            l.value = stored;
            return true;
        }
    // After the last entry, so blank lines that separate sections stay at the end.
    auto pos = s->lines.end();
    while (pos != s->lines.begin() && std::prev(pos)->key.isEmpty() && trimBlanks(std::prev(pos)->raw).isEmpty())
        --pos;
    s->lines.insert(pos, Line{key, stored, QString()});
    return true;
}

void IniFile::removeKey(const QString& section, const QString& key)
{
    if (Section* s = findSection(section))
        std::erase_if(s->lines, [&](const Line& l) { return !l.key.isEmpty() && sameName(l.key, key); });
}

void IniFile::removeSection(const QString& section)
{
    std::erase_if(sections_, [&](const Section& s) { return sameName(s.name, section); });
}

QStringList IniFile::sections() const
{
    QStringList out;
    for (const Section& s : sections_) out << s.name;
    return out;
}

QStringList IniFile::keys(const QString& section) const
{
    QStringList out;
    if (const Section* s = findSection(section))
        for (const Line& l : s->lines)
            if (!l.key.isEmpty()) out << l.key;
    return out;
}

QString ReadProfileString(const QString& path, const QString& section, const QString& key,
                          const QString& defaultValue)
{
    IniFile ini;
    if (!ini.load(path)) return defaultValue;
    return ini.value(section, key, defaultValue);
}

bool WriteProfileString(const QString& path, const QString& section, const QString& key,
                        const QString& value, QString* error)
{
    IniFile ini;
    if (!ini.load(path, error)) return false;
    if (!ini.setValue(section, key, value)) {
        if (error) *error = QStringLiteral("%1: [%2] %3: no name a settings line can hold").arg(path, section, key);
        return false;
    }
    return ini.save(path, error);
}

} // namespace tv
