#include "modroms.h"

#include "catalogue/core/modatari.h"
#include "catalogue/core/modlang.h"
#include "catalogue/emulators/clsemulator.h"
#include "catalogue/import/filetype.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>

#include <algorithm>

namespace tv {

namespace {

// Settings read from a configuration, keys in upper case; `source` names where they came from.
struct Settings {
    QHash<QString, QString> values;
    QStringList sources;
};

// Reads the "key=value" lines of a configuration file into `settings` (later ones win).
// Lines starting with "#" are comments. False when the file cannot be read.
bool ReadSettingsFile(const QString& path, Settings& settings)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return false;
    for (const QByteArray& raw : f.readAll().split('\n')) {
        const QString line = QString::fromLocal8Bit(raw).trimmed();
        const qsizetype eq = line.indexOf(QLatin1Char('='));
        if (line.startsWith(QLatin1Char('#')) || eq <= 0) continue;
        settings.values.insert(line.left(eq).trimmed().toUpper(), line.mid(eq + 1).trimmed());
    }
    settings.sources << path;
    return true;
}

// The value after `option` on the command line (case-insensitive when `anyCase`); "" when absent.
QString ArgumentValue(const QStringList& arguments, const QString& option, bool anyCase)
{
    QString value;
    for (qsizetype i = 0; i + 1 < arguments.size(); ++i)
        if (arguments[i].compare(option, anyCase ? Qt::CaseInsensitive : Qt::CaseSensitive) == 0) value = arguments[i + 1];
    return value;
}

bool HasArgument(const QStringList& arguments, const QString& option)
{
    return arguments.contains(option, Qt::CaseSensitive);
}

// One ROM image a start needs: what the user reads, and the settings any of which may name it.
struct RomNeed {
    QString what;
    QStringList keys;
};

// A setting names an image when it is not empty and the file is there (relative paths count
// from the emulator's working folder).
bool NamesImage(const Settings& settings, const QStringList& keys, const QString& folder)
{
    for (const QString& key : keys) {
        const QString value = settings.values.value(key.toUpper());
        if (!value.isEmpty() && QFileInfo(QDir(folder), value).isFile()) return true;
    }
    return false;
}

QString HomeFolder() { return qEnvironmentVariable("HOME"); }

// atari800 ------------------------------------------------------------------------------

// The configuration atari800 reads; false when there is none (atari800 never ran, and then
// it looks for images itself).
bool Atari800Settings(const QString& folder, const QStringList& arguments, Settings& settings)
{
    const QString given = ArgumentValue(arguments, QStringLiteral("-config"), false);
    if (!given.isEmpty()) return ReadSettingsFile(QFileInfo(QDir(folder), given).filePath(), settings);
    const QString name = QStringLiteral(".atari800.cfg");
    for (const QString& path : {QDir(folder).filePath(name), QDir(HomeFolder()).filePath(name),
                                QStringLiteral("/etc/atari800.cfg")})
        if (ReadSettingsFile(path, settings)) break;
    if (settings.sources.isEmpty()) return false;
    // Images given on the command line count as named.
    const struct {
        const char* option;
        const char* key;
    } kRomOptions[] = {{"-osa_rom", "OS/A_ROM"}, {"-osb_rom", "OS/B_ROM"}, {"-xlxe_rom", "XL/XE_ROM"},
                       {"-basic_rom", "BASIC_ROM"}};
    for (const auto& o : kRomOptions) {
        const QString value = ArgumentValue(arguments, QString::fromLatin1(o.option), false);
        if (!value.isEmpty()) settings.values.insert(QString::fromLatin1(o.key), value);
    }
    return true;
}

std::vector<RomNeed> Atari800Needs(const QStringList& arguments, const clsFileInfo& file, const Settings& settings)
{
    std::vector<RomNeed> needs;
    // The 400/800's OS revision matters only when the machine is a 400/800: chosen on the
    // command line, else by the configuration.
    bool machine800 = HasArgument(arguments, QStringLiteral("-atari"));
    const bool otherMachine = std::any_of(arguments.cbegin(), arguments.cend(), [](const QString& a) {
        static const QStringList kMachines{"-xl", "-xe", "-1200", "-xegs", "-5200", "-320xe", "-rambo", "-576xe", "-1088xe"};
        return kMachines.contains(a);
    });
    if (!machine800 && !otherMachine) {
        const QString configured = settings.values.value(QStringLiteral("MACHINE_TYPE"));
        machine800 = configured == QLatin1String("Atari 400/800") || configured == QLatin1String("Atari OS/A")
                     || configured == QLatin1String("Atari OS/B");
    }
    const QString os = machine800 ? ArgumentValue(arguments, QStringLiteral("-800-rev"), false).toLower() : QString();
    if (os == QLatin1String("a-ntsc")) needs.push_back({QStringLiteral("OS-A"), {"ROM_OS_A_NTSC", "OS/A_ROM"}});
    if (os == QLatin1String("a-pal")) needs.push_back({QStringLiteral("OS-A"), {"ROM_OS_A_PAL", "OS/A_ROM"}});
    if (os == QLatin1String("b-ntsc")) needs.push_back({QStringLiteral("OS-B"), {"ROM_OS_B_NTSC", "OS/B_ROM"}});
    const QString xl = ArgumentValue(arguments, QStringLiteral("-xl-rev"), false).toLower();
    const struct {
        const char* rev;
        const char* key;
    } kXlRevisions[] = {{"10", "ROM_OS_AA00R10"}, {"11", "ROM_OS_AA00R11"}, {"1", "ROM_OS_BB00R1"},
                        {"2", "ROM_OS_BB01R2"},   {"3", "ROM_OS_BB01R3"},   {"4", "ROM_OS_BB01R4"}};
    for (const auto& r : kXlRevisions)
        if (xl == QLatin1String(r.rev))
            needs.push_back({QStringLiteral("OS-XL Rev. ") + xl, {QString::fromLatin1(r.key), "XL/XE_ROM"}});
    const QString basicRev = ArgumentValue(arguments, QStringLiteral("-basic-rev"), false).toLower();
    for (const char* rev : {"a", "b", "c"})
        if (basicRev == QLatin1String(rev))
            needs.push_back({QStringLiteral("BASIC Rev. ") + basicRev.toUpper(),
                             {QStringLiteral("ROM_BASIC_") + basicRev.toUpper(), "BASIC_ROM"}});
    // Its BASIC loader types RUN only after the real BASIC's "READY"; the built-in one says
    // "Ready". A configuration that asks for the built-in BASIC has no real one either.
    const bool builtinBasic = basicRev == QLatin1String("altirra")
                              || settings.values.value(QStringLiteral("BASIC_VERSION")).compare(
                                     QLatin1String("ALTIRRA"), Qt::CaseInsensitive) == 0;
    if (file.Filetyp == ftBAS && HasArgument(arguments, QStringLiteral("-run")))
        needs.push_back({QStringLiteral("Atari BASIC"),
                         builtinBasic ? QStringList()
                                      : QStringList{"ROM_BASIC_A", "ROM_BASIC_B", "ROM_BASIC_C", "ROM_BASIC_CUSTOM",
                                                    "BASIC_ROM"}});
    return needs;
}

// Before its first run atari800 has no configuration and looks for ROM images itself, in its
// data folder (its own folder when it may write there, where it then keeps its configuration;
// else the home folder), the system's folder and its own folder with "rom" and "ROM" below it.
QStringList Atari800RomFolders(const QString& folder)
{
    const QString own = QDir::cleanPath(folder);
    QStringList folders{QFileInfo(own).isWritable() ? own : QDir::cleanPath(HomeFolder()),
                        QStringLiteral("/usr/share/atari800"), own, own + QStringLiteral("/rom"),
                        own + QStringLiteral("/ROM")};
    folders.removeDuplicates();
    return folders;
}

// Whether one of `folders` holds a file of an Atari BASIC image's size (8 KB). atari800 takes
// such a file when its content or its name is that of a BASIC image; which it is, it decides.
bool HoldsBasicSizedFile(const QStringList& folders)
{
    constexpr qint64 kBasicSize = 8192;
    for (const QString& f : folders)
        for (const QFileInfo& entry : QDir(f).entryInfoList(QDir::Files | QDir::Hidden))
            if (entry.size() == kBasicSize) return true;
    return false;
}

// A BASIC program started with "-run" before atari800's first run: the message when atari800
// will find no BASIC image and fall back to its built-in one, which never runs the program.
QString Atari800FirstRunBasicText(const QString& folder, const QStringList& arguments, const clsFileInfo& file)
{
    if (file.Filetyp != ftBAS || !HasArgument(arguments, QStringLiteral("-run"))
        || !ArgumentValue(arguments, QStringLiteral("-basic_rom"), false).isEmpty())
        return QString();
    const QStringList folders = Atari800RomFolders(folder);
    if (HoldsBasicSizedFile(folders)) return QString();
    return Translate(QStringLiteral("@1 braucht für diesen Start ein echtes Atari-ROM-Abbild: "), QStringLiteral("atari800"))
           + QStringLiteral("Atari BASIC\n")
           + Translate(QStringLiteral("Es hat noch keine Einstellungen, und seine ROM-Ordner enthalten keines: "))
           + folders.join(QStringLiteral(", ")) + QStringLiteral("\n\n")
           + Translate(QStringLiteral("atari800 tippt RUN erst, wenn BASIC „READY“ meldet; sein eingebautes BASIC meldet "
                                      "„Ready“. Bitte legen Sie ein BASIC-ROM-Abbild in einen dieser Ordner, oder starten "
                                      "Sie BASIC-Programme mit Atari++ oder Altirra (Extras > Optionen > "
                                      "Profilzuordnung)."));
}

// Atari++ ---------------------------------------------------------------------------------

void AtariPPSettings(const QString& folder, const QStringList& arguments, Settings& settings)
{
    const QString name = QStringLiteral(".atari++.conf");
    for (const QString& path : {QStringLiteral("/etc/atari++/atari++.conf"), QDir(HomeFolder()).filePath(name),
                                QDir(folder).filePath(name)})
        ReadSettingsFile(path, settings);
    for (qsizetype i = 0; i + 1 < arguments.size(); ++i)
        if (arguments[i].startsWith(QLatin1Char('-')))
            settings.values.insert(arguments[i].mid(1).toUpper(), arguments[i + 1]);
}

std::vector<RomNeed> AtariPPNeeds(const Settings& settings)
{
    const auto value = [&settings](const char* key) { return settings.values.value(QString::fromLatin1(key)).toLower(); };
    const QString machine = value("MACHINE");
    QString os = value("OSTYPE");
    if (machine == QLatin1String("5200")) os = QStringLiteral("os5200");   // the 5200 runs its own OS only
    std::vector<RomNeed> needs;
    if (os.isEmpty() || os == QLatin1String("auto")) {
        // Its automatic choice: OS-A or OS-B for a 400/800, the 1200XL's own OS, else the
        // built-in one for the XL and XE.
        if (machine == QLatin1String("800")) needs.push_back({QStringLiteral("OS-A / OS-B"), {"OsAPath", "OsBPath"}});
        if (machine == QLatin1String("1200")) needs.push_back({QStringLiteral("OS 1200"), {"Os1200Path"}});
    }
    const struct {
        const char* type;
        const char* what;
        const char* key;
    } kOsTypes[] = {{"osa", "OS-A", "OsAPath"},          {"osb", "OS-B", "OsBPath"},     {"osxl", "OS-XL", "OsXLPath"},
                    {"os1200", "OS 1200", "Os1200Path"}, {"os5200", "OS 5200", "Os5200Path"}};
    for (const auto& t : kOsTypes)
        if (os == QLatin1String(t.type)) needs.push_back({QString::fromLatin1(t.what), {QString::fromLatin1(t.key)}});
    const QString basic = value("BASICTYPE");
    for (const char* rev : {"a", "b", "c"})
        if (basic == QLatin1String("rev") + QLatin1String(rev))
            needs.push_back({QStringLiteral("BASIC Rev. ") + QString::fromLatin1(rev).toUpper(),
                             {QStringLiteral("Basic") + QString::fromLatin1(rev).toUpper() + QStringLiteral("Path")}});
    return needs;
}

} // namespace

QString MissingRomText(int emulType, const QString& program, const QStringList& arguments, const clsFileInfo& file)
{
    if (emulType != kEmulAtari800 && emulType != kEmulAtariPP) return QString();
    const QString folder = QFileInfo(program).absolutePath();
    Settings settings;
    std::vector<RomNeed> needs;
    if (emulType == kEmulAtari800) {
        if (!Atari800Settings(folder, arguments, settings)) return Atari800FirstRunBasicText(folder, arguments, file);
        needs = Atari800Needs(arguments, file, settings);
    } else {
        AtariPPSettings(folder, arguments, settings);
        needs = AtariPPNeeds(settings);
    }
    for (const RomNeed& need : needs) {
        if (NamesImage(settings, need.keys, folder)) continue;
        const QString emulator = emulType == kEmulAtari800 ? QStringLiteral("atari800") : QStringLiteral("Atari++");
        QString text = Translate(QStringLiteral("@1 braucht für diesen Start ein echtes Atari-ROM-Abbild: "), emulator)
                       + need.what + QStringLiteral("\n")
                       + Translate(QStringLiteral("Seine Einstellungen nennen keines: "))
                       + (settings.sources.isEmpty() ? QStringLiteral("~/.atari++.conf") : settings.sources.join(QStringLiteral(", ")))
                       + (need.keys.isEmpty() ? QString() : QStringLiteral(" (") + need.keys.first() + QStringLiteral(")"))
                       + QStringLiteral("\n\n");
        if (file.Filetyp == ftBAS && emulType == kEmulAtari800 && need.what == QLatin1String("Atari BASIC"))
            text += Translate(QStringLiteral("atari800 tippt RUN erst, wenn BASIC „READY“ meldet; sein eingebautes BASIC "
                                             "meldet „Ready“. Bitte tragen Sie dort ein BASIC-ROM ein, oder starten Sie "
                                             "BASIC-Programme mit Atari++ oder Altirra (Extras > Optionen > Profilzuordnung)."));
        else
            text += Translate(QStringLiteral("Ohne echte ROMs bringt der Emulator nur Nachbildungen des XL-Betriebssystems "
                                             "und des BASIC mit. Bitte tragen Sie das ROM-Abbild dort ein, oder wählen Sie "
                                             "in den Details der Datei (Bearbeiten > Details) ein anderes Betriebssystem "
                                             "oder einen anderen Rechner."));
        return text;
    }
    return QString();
}

} // namespace tv
