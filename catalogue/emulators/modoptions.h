#pragma once

#include <QString>
#include <vector>

namespace tv {

// Option string of a start profile, as stored in clsProfil.Options and the settings file:
//
//   options := ""  |  entry ( "@@@" entry )*
//   entry   := text "=@=" flag          flag "0" = inactive, anything else = active
//
// A text never holds "@@@" or "=@=", nor ends in "=@" (the model refuses such texts). The text reaches the
// emulator as it stands, carrying its own quotes, apart from the placeholders
// "<$filepath$>" (the started file's path) and "<$input$>" (a value asked at start).
// Damaged strings from older settings (an entry without "=@=", with two of them, or an
// empty entry from a doubled or trailing "@@@") parse to inactive entries and never fail.

inline const QString kOptionSep = QStringLiteral("@@@");
inline const QString kOptionFlagSep = QStringLiteral("=@=");
inline const QString kOptionEmptyMark = QStringLiteral("-1");   // flag of the empty list

struct OptionEntry {
    QString Text;
    QString Flag;   // "1" active, "0" inactive, "-1" the empty-list mark
    bool operator==(const OptionEntry&) const = default;
};
using OptionTable = std::vector<OptionEntry>;

// The empty string gives one entry with an empty text and the flag "-1".
OptionTable ParseOptions(const QString& options);

// Skips entries with an empty text (the empty-list mark included). Returns false, with
// `options` untouched and `error` set, when a text holds a separator.
bool JoinOptions(const OptionTable& table, QString& options, QString* error = nullptr);

// True when any entry, active or not, begins with `option` (case-insensitive).
bool HasOption(const OptionTable& table, const QString& option);

// The message for a text that would break an option string, or "" when it is fine. Used
// for option texts and profile names alike.
QString OptionTextError(const QString& text);

} // namespace tv
