#include "inifile.h"

#include "files.h"
#include "textfile.h"

#include <QSaveFile>
#include <algorithm>

namespace tv {

namespace {

bool sameName(const QString& a, const QString& b) { return a.toCaseFolded() == b.toCaseFolded(); }

QString trimBlanks(const QString& s)
{
    qsizetype from = 0, to = s.size();
    auto blank = [](QChar c) { return c == QLatin1Char(' ') || c == QLatin1Char('\t'); };
    while (from < to && blank(s.at(from))) ++from;
    while (to > from && blank(s.at(to - 1))) --to;
    return s.mid(from, to - from);
}

} // namespace

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

QString IniFile::value(const QString& section, const QString& key, const QString& defaultValue) const
{
    if (const Section* s = findSection(section))
        for (const Line& l : s->lines)
            if (!l.key.isEmpty() && sameName(l.key, key)) return l.value;
    return defaultValue;
}

bool IniFile::contains(const QString& section, const QString& key) const
{
    const QString none = QStringLiteral("\n"); // no stored value can hold a line break
    return value(section, key, none) != none;
}

void IniFile::setValue(const QString& section, const QString& key, const QString& value)
{
    QString clean = value;
    clean.replace(QLatin1String("\r\n"), QLatin1String(" "));
    clean.replace(QLatin1Char('\r'), QLatin1Char(' '));
    clean.replace(QLatin1Char('\n'), QLatin1Char(' '));
    Section* s = findSection(section);
    if (!s) {
        sections_.push_back(Section{section, QLatin1Char('[') + section + QLatin1Char(']'), {}});
        s = &sections_.back();
    }
    for (Line& l : s->lines)
        if (!l.key.isEmpty() && sameName(l.key, key)) {
            l.value = clean;
            return;
        }
    // After the last entry, so blank lines that separate sections stay at the end.
    auto pos = s->lines.end();
    while (pos != s->lines.begin() && std::prev(pos)->key.isEmpty() && trimBlanks(std::prev(pos)->raw).isEmpty())
        --pos;
    s->lines.insert(pos, Line{key, clean, QString()});
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
    ini.setValue(section, key, value);
    return ini.save(path, error);
}

} // namespace tv
