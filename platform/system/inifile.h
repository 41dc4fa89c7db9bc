#pragma once

#include <QString>
#include <QStringList>
#include <vector>

namespace tv {

// A settings file with private-profile semantics. Grammar, line by line:
//
//   "[" section "]" ...      a section header; the name is trimmed, text after "]" is ignored
//   key "=" value            an entry of the current section; key and value are trimmed of
//                            blanks and tabs, the value is everything after the first "="
//   anything else            kept as it stands and never matched (comments, blank lines,
//                            entries before the first section)
//
//   value  = plain | quoted
//   quoted = '"' { char | "^^" | "^M" | "^J" } '"'     "^^" is "^", "^M" CR and "^J" LF
//
// A value that the plain form cannot hold (blanks or tabs at either end, a CR or LF, or a text
// that would itself read as quoted) is written quoted. A stored text reads as quoted only when
// it is exactly what the writer makes of such a value; every other text, a quoted path in an
// old file say, reads as it stands, so files written before (plain "key=value" lines) read the
// same as ever.
//
// Lines end in LF or CR LF (one CR before the LF belongs to the line end, so a value that
// itself ends in CR keeps it). Sections and keys match without regard to case; the first match
// wins. The file is read as UTF-8, or as Windows-1252 when it is not valid UTF-8, and written
// as UTF-8, with CR LF line ends when it had any, else LF. Saving writes a
// temporary file beside the target and renames it over the target, so a crash never leaves a
// half-written settings file. The object is a plain value; it does not watch the file.
class IniFile {
public:
    // Reads a file. A missing file gives an empty object and true; a file that exists but
    // cannot be read gives false.
    bool load(const QString& path, QString* error = nullptr);
    bool save(const QString& path, QString* error = nullptr) const;
    // Replaces the contents by those of a file's text (as load() reads it, after decoding).
    void parse(const QString& text);

    // The stored value; `defaultValue` only when the key is missing (an empty stored value
    // stays empty).
    QString value(const QString& section, const QString& key, const QString& defaultValue = QString()) const;
    bool contains(const QString& section, const QString& key) const;

    // Sets a value, adding the section and key at their ends when missing; any value reads back
    // as it was set. False, and nothing changed, for a section or key that a line cannot hold:
    // one that is empty, has blanks at an end or a line break, a section holding "]", a key
    // beginning with "[" or ";" or holding "=".
    bool setValue(const QString& section, const QString& key, const QString& value);
    void removeKey(const QString& section, const QString& key);
    void removeSection(const QString& section);

    QStringList sections() const;
    QStringList keys(const QString& section) const;

    // The file text as save() writes it.
    QString text() const;

private:
    struct Line {
        QString key;   // empty for a line that is no entry
        QString value; // the stored text, as after "key=" (a value may be stored quoted)
        QString raw;   // the line as read, for lines that are no entry
    };
    struct Section {
        QString name;
        QString raw;   // header line as read, written back unchanged
        std::vector<Line> lines;
    };
    Section* findSection(const QString& name);
    const Section* findSection(const QString& name) const;
    const Line* findLine(const QString& section, const QString& key) const;

    Section preamble_;            // lines before the first section header
    bool crlf_ = false;           // the text read had CR LF line ends
    std::vector<Section> sections_;
};

// One entry line, "key=" and the stored value: the value itself, or, where the plain form would
// not read back as it is, its quoted form.
QString IniEntryLine(const QString& key, const QString& value);

// One-call forms over a settings file: read a value (the default for a missing file or key),
// and change one value by rewriting the whole file.
QString ReadProfileString(const QString& path, const QString& section, const QString& key,
                          const QString& defaultValue = QString());
bool WriteProfileString(const QString& path, const QString& section, const QString& key,
                        const QString& value, QString* error = nullptr);

} // namespace tv
