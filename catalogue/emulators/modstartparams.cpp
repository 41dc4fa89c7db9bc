#include "modstartparams.h"

#include "catalogue/core/modatari.h"
#include "catalogue/core/modlang.h"
#include "catalogue/emulators/clsemulator.h"
#include "catalogue/emulators/modoptions.h"
#include "catalogue/import/filetype.h"
#include "platform/system/process.h"

#include <QHash>
#include <QRegularExpression>
#include <QStringList>

namespace tv {

namespace {

const QString kFilePathMark = QStringLiteral("@FILEPATH@");

// Expands the placeholders of one option text. Returns false on a stop (error set); an
// empty result means the user dropped the option.
bool ExpandPlaceholders(QString& text, const AskInputFn& askInput, QString& error)
{
    QHash<QString, QString> answers;   // one question per placeholder spelling
    qsizetype p = 0;
    for (;;) {
        const qsizetype open = text.indexOf(QLatin1String("<$"), p);
        if (open < 0) return true;
        const qsizetype close = text.indexOf(QLatin1String("$>"), open + 2);
        if (close < 0) {
            error = Translate(QStringLiteral("Unvollständiger Parameter: ")) + text.mid(open);
            return false;
        }
        const QString placeholder = text.mid(open, close + 2 - open);
        const QString name = placeholder.mid(2, placeholder.size() - 4).toUpper();
        QString value;
        if (name == QLatin1String("FILEPATH")) {
            value = kFilePathMark;
        } else if (name == QLatin1String("INPUT")) {
            auto known = answers.constFind(placeholder);
            if (known == answers.constEnd()) {
                const QString prompt = Translate(QStringLiteral("Bitte geben Sie einen Wert ein: "))
                                       + text.left(close + 2);
                known = answers.insert(placeholder, askInput ? askInput(prompt) : QString());
            }
            value = *known;
            if (value.isEmpty()) {
                text.clear();
                return true;
            }
        } else {
            error = Translate(QStringLiteral("Unbekannter Parameter: ")) + placeholder;
            return false;
        }
        text.replace(open, placeholder.size(), value);
        p = open + value.size();
    }
}

// One group of per-file switches: the texts for the codes 1, 2, ... of a setting.
// `lastRepeats` makes the last text serve every higher code ("2 or more").
struct SwitchGroup {
    QStringList byCode;
    bool lastRepeats = false;
};

QString SwitchFor(const SwitchGroup& g, int32_t code)
{
    if (code < 1) return QString();
    if (code > g.byCode.size()) return g.lastRepeats ? g.byCode.last() : QString();
    return g.byCode.at(code - 1);
}

QStringList Prefixed(const QString& prefix, const QStringList& values)
{
    QStringList out;
    for (const QString& v : values) out << prefix + v;
    return out;
}

// The BASIC, model, OS and video groups of an emulator type, in that order; none for the
// file tool or an unknown type. Each text is a switch today's version of that emulator
// documents for the meaning of the code; a code it has no switch for adds nothing.
std::vector<SwitchGroup> SwitchGroups(int emulType)
{
    switch (emulType) {
    case kEmulAltirra:
        return {{{QStringLiteral(" /nobasic"), QStringLiteral(" /basic")}, true},
                {Prefixed(QStringLiteral(" /hardware:"), {"800", "800XL", "130XE", "1200XL", "5200"})},
                {Prefixed(QStringLiteral(" /kernel:"), {"OSA", "OSB", "XL", "XL", "5200", "default"})},
                {{QStringLiteral(" /ntsc"), QStringLiteral(" /pal")}, true}};
    case kEmulAtariPP:
        // "Nein" (code 1) switches BASIC off, "Ja" on: the built-in BASIC needs no ROM
        // image. The 5200 runs its own OS and takes no OS type.
        return {{{QStringLiteral(" -basictype Disabled"), QStringLiteral(" -basictype BuiltIn")}, true},
                {Prefixed(QStringLiteral(" -machine "), {"800", "XL", "XE", "1200", "5200"})},
                {{QStringLiteral(" -ostype OsA"), QStringLiteral(" -ostype OsB"), QStringLiteral(" -ostype OsXL"),
                  QStringLiteral(" -ostype Os1200"), QString(), QStringLiteral(" -ostype Auto")}},
                {{QStringLiteral(" -videomode NTSC"), QStringLiteral(" -videomode PAL")}, true}};
    case kEmulAtari800:
        // OS A and B are revisions of the 400/800's OS; the XL and 5200 OS follow the model.
        return {{{QStringLiteral(" -nobasic"), QStringLiteral(" -basic")}, true},
                {Prefixed(QStringLiteral(" -"), {"atari", "xl", "xe", "1200", "5200"})},
                {{QStringLiteral(" -800-rev a-ntsc"), QStringLiteral(" -800-rev b-ntsc")}},
                {{QStringLiteral(" -ntsc"), QStringLiteral(" -pal")}, true}};
    default:
        return {};
    }
}

// The file's own BASIC setting ("Nein" 1, "Ja" 2) is the user's choice: a profile's option
// that begins with the opposite switch ("/basic "<$filepath$>"" of Altirra's BASIC profile
// for a file set to "Nein") loses that switch, and the file's own is added after the
// options. Returns false when nothing of the option is left.
bool WithoutOverruledBasicSwitch(int emulType, int32_t basic, QString& text)
{
    if (basic != 1 && basic != 2) return true;
    QString overruled;
    if (emulType == kEmulAltirra) overruled = basic == 1 ? QStringLiteral("/basic") : QStringLiteral("/nobasic");
    if (emulType == kEmulAtari800) overruled = basic == 1 ? QStringLiteral("-basic") : QStringLiteral("-nobasic");
    if (overruled.isEmpty()) return true;
    const QString trimmed = text.trimmed();
    const QString word = trimmed.section(QLatin1Char(' '), 0, 0);
    if (word.compare(overruled, emulType == kEmulAltirra ? Qt::CaseInsensitive : Qt::CaseSensitive) != 0) return true;
    text = trimmed.mid(word.size()).trimmed();
    return !text.isEmpty();
}

// Altirra leaves out a per-file switch that the profile holds already, active or not: the
// switch up to its ":" (" /hardware:800" is held by any "/hardware:..." option).
bool HeldByProfil(const OptionTable& table, const QString& sw)
{
    QString held = sw.trimmed();
    const qsizetype colon = held.indexOf(QLatin1Char(':'));
    if (colon >= 0) held.truncate(colon + 1);
    return HasOption(table, held);
}

// The path as the command-line splitter must see it to give it back unchanged: a quote in
// it is escaped with a backslash (backslashes right before it doubled), and so are the
// path's trailing backslashes when the option's closing quote follows. Other paths stay as
// they are.
QString ShieldedPath(const QString& path, bool quoteFollows)
{
    QString out;
    qsizetype slashes = 0;
    for (const QChar c : path) {
        if (c == QLatin1Char('"')) {
            out += QString(slashes + 1, QLatin1Char('\\'));
            slashes = 0;
        } else {
            slashes = c == QLatin1Char('\\') ? slashes + 1 : 0;
        }
        out += c;
    }
    if (quoteFollows) out += QString(slashes, QLatin1Char('\\'));
    return out;
}

// Splits the parameter text into arguments with the path put in its shielded form.
QStringList SplitWithPath(const QString& params, const QString& filePath)
{
    QString line;
    qsizetype from = 0;
    for (;;) {
        const qsizetype at = params.indexOf(kFilePathMark, from);
        if (at < 0) break;
        const qsizetype after = at + kFilePathMark.size();
        line += params.mid(from, at - from)
                + ShieldedPath(filePath, after < params.size() && params.at(after) == QLatin1Char('"'));
        from = after;
    }
    return SplitCommandLine(line + params.mid(from));
}

bool IsCartridgeType(int fileType) { return fileType == ftBIN || fileType == ftROM; }

// The message for a file of another type started with a cartridge profile.
QString NotACartridgeText(const clsFileInfo& file)
{
    return Translate(QStringLiteral("„@1“ ist kein Steckmodul-Abbild (nur .BIN- und .ROM-Dateien sind es). Bitte starten "
                                    "Sie die Datei mit einem anderen Profil, etwa „Load program“ oder „Load disc“."),
                     file.File);
}

// atari800 asks in a menu of its own for the kind of a raw cartridge image; a plain 8 or 16 KB
// image is its standard cartridge (types 1 and 2), which `sw` receives here. An image with the
// CART header names its kind itself, and other sizes are left to atari800's menu.
void Atari800CartType(const clsFileInfo& file, const QString& params, qint64 fileSize, QString& sw)
{
    static const QRegularExpression cart(QStringLiteral("(^|\\s)-cart\\s"));
    if (!IsCartridgeType(file.Filetyp) || !cart.match(params + QLatin1Char(' ') + file.Param).hasMatch()
        || (params + QLatin1Char(' ') + file.Param).contains(QLatin1String("-cart-type")))
        return;
    if (fileSize == 8192) sw = QStringLiteral(" -cart-type 1");
    if (fileSize == 16384) sw = QStringLiteral(" -cart-type 2");
}

// Atari++ inserts a cartridge only when it is told the cartridge's kind; a plain 8 or 16 KB
// image (with or without the 16-byte CART header) is added to `sw` here, any other kind the user
// names in the file's extra parameters. Returns false with `error` set when the kind is
// unknown.
bool AtariPPCartType(qint64 fileSize, QString& sw, QString& error)
{
    constexpr qint64 kHeader = 16;
    if (fileSize == 8192 || fileSize == 8192 + kHeader) {
        sw += QStringLiteral(" -carttype 8k");
    } else if (fileSize == 16384 || fileSize == 16384 + kHeader) {
        sw += QStringLiteral(" -carttype 16k");
    } else {
        error = Translate(QStringLiteral("Atari++ setzt ein Steckmodul nur ein, wenn es seine Art kennt. Bitte geben Sie "
                                         "sie im Feld Parameter der Datei an (Bearbeiten > Details), zum Beispiel: "))
                + QStringLiteral("-carttype xegs");
        return false;
    }
    return true;
}

// What Atari++ needs for the file's type beyond the profile and the file's settings: a BASIC
// program runs only while BASIC is on; a cartridge needs its kind; no .PRO image is read.
bool AtariPPFileTypeSwitches(const clsFileInfo& file, const QString& params, qint64 fileSize, QString& out,
                             QString& error)
{
    if (file.Filetyp == ftPRO) {
        error = Translate(QStringLiteral("Atari++ kann .PRO-Abbilder nicht lesen. Bitte starten Sie die Datei mit einem Profil "
                                         "von Atari800 oder Altirra (Extras > Optionen > Profilzuordnung)."));
        return false;
    }
    const auto holds = [&](QLatin1String sw) {
        return params.contains(sw, Qt::CaseInsensitive) || file.Param.contains(sw, Qt::CaseInsensitive);
    };
    // Its XL and XE machines hold the Option key while they start, which switches BASIC off.
    if (file.Filetyp == ftBAS) out = QStringLiteral(" -holdoption false");
    if (!holds(QLatin1String("-cartpath"))) return true;
    if (!IsCartridgeType(file.Filetyp)) {
        error = NotACartridgeText(file);
        return false;
    }
    if (!holds(QLatin1String("-carttype"))) return AtariPPCartType(fileSize, out, error);
    return true;
}

} // namespace

StartParams BuildStartParams(const QString& options, int emulType, const clsFileInfo& file,
                             const QString& filePath, const AskInputFn& askInput, qint64 fileSize)
{
    StartParams result;
    const auto stop = [&result] {
        result.ok = false;
        result.params.clear();
        return result;
    };
    const OptionTable table = ParseOptions(options);
    if (table.front().Flag != kOptionEmptyMark) {
        for (const OptionEntry& e : table) {
            if (e.Flag != QLatin1String("1")) continue;
            QString text = e.Text;
            if (!ExpandPlaceholders(text, askInput, result.error)) return stop();
            if (!WithoutOverruledBasicSwitch(emulType, file.iBasic, text)) continue;
            result.params += QLatin1Char(' ') + text;
        }
    }

    const int32_t codes[] = {file.iBasic, file.iModel, file.iOS, file.iVideo};
    const std::vector<SwitchGroup> groups = SwitchGroups(emulType);
    for (size_t i = 0; i < groups.size(); ++i) {
        QString sw = SwitchFor(groups[i], codes[i]);
        // Atari++ runs a BASIC program from drive 1 by itself only with its own BASIC: unless
        // the file's own setting says otherwise, it is switched on.
        if (i == 0 && emulType == kEmulAtariPP && file.Filetyp == ftBAS && sw.isEmpty()) sw = groups[i].byCode.last();
        if (sw.isEmpty()) continue;
        if (emulType == kEmulAltirra && HeldByProfil(table, sw)) continue;
        result.params += sw;
    }
    if (emulType == kEmulAtariPP) {
        QString sw;
        if (!AtariPPFileTypeSwitches(file, result.params, fileSize, sw, result.error)) return stop();
        result.params += sw;
    }
    if (emulType == kEmulAtari800) {
        QString sw;
        Atari800CartType(file, result.params, fileSize, sw);
        result.params += sw;
    }

    // The file's own parameters may name the file too ("-tape "<$Filepath$>"", as the
    // parameter picker writes it): their placeholders are expanded as a profile's are.
    QString param = file.Param;
    if (!ExpandPlaceholders(param, askInput, result.error)) return stop();
    if (!param.isEmpty()) result.params += QLatin1Char(' ') + param;
    result.arguments = SplitWithPath(result.params, filePath);
    result.params.replace(kFilePathMark, filePath);
    return result;
}

} // namespace tv
