#include "mainsettings.h"

#include "catalogue/core/modglobals.h"
#include "catalogue/core/modmain.h"
#include "catalogue/core/modatari.h"
#include "catalogue/core/modsettings.h"
#include "catalogue/emulators/modemulator.h"
#include "platform/runtime/convert.h"
#include "platform/system/inifile.h"

#include <QSaveFile>

namespace tv {

namespace {

struct LayoutColumn {
    const char* key;
    int hidden, width, fixed, order;
};

QString layoutText(std::initializer_list<LayoutColumn> columns)
{
    QStringList parts;
    for (const LayoutColumn& c : columns)
        parts << QStringLiteral("%1!Hidden=%2;Width=%3;Fixed=%4;Order=%5")
                     .arg(QString::fromUtf8(c.key)).arg(c.hidden).arg(c.width).arg(c.fixed).arg(c.order);
    return parts.join(QLatin1Char('$'));
}

QString numbered(const char* key, int n) { return QString::fromUtf8(key) + QString::number(n); }

int readInt(const QString& section, const QString& key, int defaultValue)
{
    return int(Val(ReadIni(section, key, QString::number(defaultValue))));
}

// "0" and "1" as the file stores them; a word the old platform wrote ("True", "False") is
// understood, anything else reads as `otherwise`.
bool readBool(const QString& text, bool otherwise)
{
    const QString t = text.trimmed();
    if (t.compare(QLatin1String("True"), Qt::CaseInsensitive) == 0) return true;
    if (t.compare(QLatin1String("False"), Qt::CaseInsensitive) == 0) return false;
    bool ok = false;
    const double v = t.toDouble(&ok);
    return ok ? v != 0 : otherwise;
}

// Database, Database2, ... (or Dialog...): the first one is the current path and may be empty
// (no catalogue was open at exit); the numbered ones follow until the first empty value. A
// path listed twice is kept once; paths that differ in case are different files.
void readRecentList(const char* key, Collection<QString>& list, QString& current)
{
    current = ReadIni(kIniMain, QString::fromUtf8(key));
    if (!current.isEmpty()) list.add(current);
    for (int i = 2;; ++i) {
        const QString path = ReadIni(kIniMain, numbered(key, i));
        if (path.isEmpty()) break;
        if (RecentPosition(list, path) == 0) list.add(path);
    }
}

void writeRecentList(QString& text, const char* key, const Collection<QString>& list, const QString& current)
{
    AddLine(text, IniEntryLine(QString::fromUtf8(key), current));
    int n = 1;
    for (const auto& entry : list) {
        if (entry.value == current) continue;
        AddLine(text, IniEntryLine(numbered(key, ++n), entry.value));
    }
}

QString flag(bool value) { return value ? QStringLiteral("1") : QStringLiteral("0"); }

} // namespace

// The flat list as the views build it: the leading key, type and archive fields hidden, the
// name and the path wide enough to read.
const QString kDefaultListLayout =
    layoutText({{"ID", 2, 64, 0, 0}, {"iTyp", 2, 64, 0, 1}, {"IsArchiv", 2, 64, 0, 2}, {"Filetyp", 0, 59, 0, 3},
                {"Datei", 0, 169, 0, 4}, {"Größe", 0, 70, 0, 5}, {"Dateipfad", 0, 254, 0, 6}});

QString MainListColumns;
bool gbCreateMD5 = false;
bool gbCheckRefresh = false;

void AddLine(QString& text, const QString& line)
{
    if (!text.isEmpty()) text += QStringLiteral("\r\n");
    text += line;
}

void LimitRecentList(Collection<QString>& list, const QString& path)
{
    if (list.count() >= kMaxRecentPaths) list.remove(list.count());
    if (list.isEmpty()) list.add(path);
    else list.add(path, QString(), 1);
}

int RecentPosition(const Collection<QString>& list, const QString& path)
{
    for (int i = 1; i <= list.count(); ++i)
        if (*list.item(i) == path) return i;
    return 0;
}

QStringList SplitListLayouts(const QString& text)
{
    // An entry may end in "@" (a drill-down layout whose last level was never shown). In a run
    // of "@" the separators are the last three of each three, and what is left over belongs to
    // the entry before, so such an entry does not shift the ones after it.
    QStringList entries;
    QString entry;
    for (qsizetype i = 0; i < text.size();) {
        if (text[i] != QLatin1Char('@')) {
            entry += text[i++];
            continue;
        }
        qsizetype run = 0;
        while (i + run < text.size() && text[i + run] == QLatin1Char('@')) ++run;
        entry += QString(run % 3, QLatin1Char('@'));
        for (qsizetype k = 0; k < run / 3; ++k) {
            entries << entry;
            entry.clear();
        }
        i += run;
    }
    entries << entry;
    return entries;
}

int GetLayoutIndex(int viewMode)
{
    return viewMode == 3 ? 1 : viewMode == 4 ? 2 : 0;
}

void LoadMainSettings(MainSettings& s)
{
    s.FontSize = readInt(kIniMain, QStringLiteral("FontSize"), kDefaultFontSize);
    if (s.FontSize < 6 || s.FontSize > 20) s.FontSize = kDefaultFontSize;
    auto colour = [](const char* key, qint32 fallback) {
        const qint32 v = qint32(Val(ReadIni(kIniMain, QString::fromUtf8(key), QStringLiteral("-1"))));
        return v == -1 ? fallback : v;
    };
    s.PreviewForeColor = colour("PreviewForeColor", kDefaultPreviewForeColor);
    s.PreviewBackColor = colour("PreviewBackColor", kDefaultPreviewBackColor);
    s.PreviewSelectColor = colour("PreviewSelectColor", kDefaultPreviewSelectColor);

    s.RecentDatabases.clear();
    s.RecentFolders.clear();
    gtDBPath.clear();
    gtDialogPath.clear();
    readRecentList("Database", s.RecentDatabases, gtDBPath);
    readRecentList("Dialog", s.RecentFolders, gtDialogPath);
    gtLanguageFile = ReadIni(kIniMain, QStringLiteral("LanguageFile"));

    s.Filters.clear();
    LoadFilters(s.Filters, kIniMain);
    if (s.Filters.isEmpty()) CreateDefaultFilters(s.Filters);
    s.LastFilterRow = readInt(kIniMain, QStringLiteral("LastFilterRow"), 0);
    if (s.LastFilterRow <= 0 || s.LastFilterRow >= s.Filters.count() + 1) s.LastFilterRow = 0;

    s.ViewMode = readInt(kIniMain, QStringLiteral("ViewMode"), 1);
    if (s.ViewMode != 1 && s.ViewMode != 3 && s.ViewMode != 4) s.ViewMode = 1;

    gbCreateMD5 = gbCheckRefresh = gbRefreshFiles = gbRefreshZip = false;
    gtSkipZipSize = Str(Val(ReadIni(kIniMain, QStringLiteral("SkipZipSize"), kDefaultSkipZipSize))).trimmed();
    s.Preview = readBool(ReadIni(kIniMain, QStringLiteral("Preview"), QStringLiteral("0")), false);

    s.ListLayouts = SplitListLayouts(ReadIni(kIniMain, QStringLiteral("ListLayout"), kDefaultListLayout));
    while (s.ListLayouts.size() < 4) s.ListLayouts.append(QString());
    while (s.ListLayouts.size() > 4) s.ListLayouts.removeLast();
    if (s.ListLayouts[3].size() == 1) s.ListLayouts[3].clear();
    MainListColumns = ReadIni(kIniMain, QStringLiteral("MainListColumns"));

    // Emulators keep their file positions as keys; profiles refer to them by these.
    gcolEmulators.clear();
    for (int i = 1;; ++i) {
        const QString name = ReadIni(kIniEmulators, numbered("EmulName", i));
        if (name.isEmpty()) break;
        AddEmulator(i, readInt(kIniEmulators, numbered("EmulType", i), 0), name,
                    ReadIni(kIniEmulators, numbered("EmulPath", i)), gcolEmulators,
                    readBool(ReadIni(kIniEmulators, numbered("EmulAktiv", i)), false));
    }

    // Profiles get their file positions as keys, so that the default profile and the
    // per-type references below find them even when one entry could not be taken.
    gcolProfils.clear();
    giProfilCounter = 0;
    int profilCount = readInt(kIniProfils, QStringLiteral("ProfilCount"), -1);
    s.FirstRun = profilCount < 1;
    if (!s.FirstRun) {
        for (int i = 1; i <= profilCount; ++i) {
            QString emulKey = ReadIni(kIniProfils, numbered("ProfilEmul", i), QStringLiteral("-1"));
            if (emulKey == QLatin1String("-1")) emulKey = QStringLiteral("0");
            AddProfil(gcolProfils, emulKey, ReadIni(kIniProfils, numbered("ProfilName", i)),
                      ReadIni(kIniProfils, numbered("ProfilOptions", i)),
                      readBool(ReadIni(kIniProfils, numbered("ProfilAktiv", i), QStringLiteral("1")), true), i);
        }
        const int def = readInt(kIniProfils, QStringLiteral("ProfilDefault"), 1);
        gtProfilDefault = QString::number(def < 1 || def > profilCount ? 1 : def);
    } else {
        // Emulators read from the file keep their numbers; the defaults follow them. The default
        // profiles keep their fixed numbers, which the per-type table below refers to.
        for (int type = kEmulAltirra; type <= kEmulAtari800; ++type)
            CreateDefaultEmulator(gcolEmulators.count() + 1, type, gcolEmulators, gcolProfils, true);
        gtProfilDefault = QStringLiteral("1");
        profilCount = gcolProfils.count();
    }

    gtImportFiles = ReadIni(kIniExtensions, QStringLiteral("ImportFiles"), kDefaultImportFiles).toUpper();
    gtEditor = ReadIni(kIniExtensions, QStringLiteral(".txt"), QStringLiteral("Notepad"));

    InitProgramValues();  // gaEmulExt, gaZipExt
    gaExtProfil = QStringList(gaEmulExt.size());
    for (int i = 0; i < gaEmulExt.size(); ++i) {
        QString value;
        if (s.FirstRun) {
            const std::optional<int> number = DefaultProfilForFileType(kEmulAltirra, i);
            if (number) value = QString::number(*number);
        } else {
            value = ReadIni(kIniExtensions, gaEmulExt[i], QStringLiteral("-1"));
        }
        bool ok = false;
        const int number = value.trimmed().toInt(&ok);
        gaExtProfil[i] = ok && number >= 1 && number <= profilCount ? QString::number(number) : QString();
    }

    gcolWindows.clear();
    for (const QString& window : kPlacedWindows) {
        const QString placement = ReadIni(kIniWindows, window);
        if (!placement.isEmpty()) gcolWindows.add(placement, window);
    }

    s.ShowToolbar = readBool(ReadIni(kIniMain, QStringLiteral("ShowToolbar"), QStringLiteral("1")), true);
    s.MenuSplitPos = readInt(kIniMain, QStringLiteral("MenuSplitPos"), kDefaultMenuSplitPos);
    s.PreviewSplitPos = readInt(kIniMain, QStringLiteral("PreviewSplitPos"), kDefaultPreviewSplitPos);
    s.ListSplitPos = readInt(kIniMain, QStringLiteral("ListSplitPos"), kDefaultListSplitPos);
}

bool FirstRunWizardDue()
{
    return ReadIni(kIniEmulators, QStringLiteral("EmulName1")).isEmpty()
           && ReadIni(kIniProfils, QStringLiteral("ProfilCount")).isEmpty();
}

QString MainSettingsText(const MainSettings& s)
{
    QString text = QStringLiteral("[MAIN]");
    writeRecentList(text, "Database", s.RecentDatabases, gtDBPath);
    writeRecentList(text, "Dialog", s.RecentFolders, gtDialogPath);
    auto line = [&text](const char* key, const QString& value) {
        AddLine(text, IniEntryLine(QString::fromUtf8(key), value));
    };
    line("LanguageFile", gtLanguageFile);
    line("LastFilterRow", QString::number(s.LastFilterRow));
    line("ListSplitPos", QString::number(s.ListSplitPos));
    line("MenuSplitPos", QString::number(s.MenuSplitPos));
    line("Preview", flag(s.Preview));
    line("PreviewSplitPos", QString::number(s.PreviewSplitPos));
    line("ShowToolbar", flag(s.ShowToolbar));
    line("SkipZipSize", gtSkipZipSize);
    line("ViewMode", QString::number(s.ViewMode));
    line("Version", gtVersion);
    line("ListLayout", s.ListLayouts.join(QStringLiteral("@@@")));
    line("MainListColumns", MainListColumns);
    SaveFilters(s.Filters, text);

    text += QStringLiteral("\r\n");
    AddLine(text, QStringLiteral("[EMULATORS]"));
    int i = 0;
    for (auto& entry : gcolEmulators) {
        clsEmulator& emu = *entry.value;
        ++i;
        AddLine(text, IniEntryLine(numbered("EmulName", i), emu.Name));
        AddLine(text, IniEntryLine(numbered("EmulPath", i), emu.Path));
        AddLine(text, IniEntryLine(numbered("EmulType", i), QString::number(emu.EmulType)));
        AddLine(text, IniEntryLine(numbered("EmulAktiv", i), flag(emu.Aktiv)));
        emu.Key = QString::number(i);
    }

    text += QStringLiteral("\r\n");
    AddLine(text, QStringLiteral("[PROFILS]"));
    line("ProfilCount", QString::number(gcolProfils.count()));
    i = 0;
    for (auto& entry : gcolProfils) {
        clsProfil& profil = *entry.value;
        ++i;
        if (profil.Key == gtProfilDefault) line("ProfilDefault", QString::number(i));
        // The emulators are still held under their old keys; their records carry the new ones.
        const EmulatorPtr* emu = gcolEmulators.item(profil.EmulKey);
        AddLine(text, IniEntryLine(numbered("ProfilEmul", i), (emu ? (*emu)->Key : QStringLiteral("-1"))));
        AddLine(text, IniEntryLine(numbered("ProfilName", i), profil.Name));
        AddLine(text, IniEntryLine(numbered("ProfilAktiv", i), flag(profil.Aktiv)));
        AddLine(text, IniEntryLine(numbered("ProfilOptions", i), profil.Options));
        profil.Key = QString::number(i);
    }

    text += QStringLiteral("\r\n");
    AddLine(text, QStringLiteral("[EXTENSIONS]"));
    line("ImportFiles", gtImportFiles);
    for (int index = 0; index < gaEmulExt.size(); ++index) {
        const QString key = index < gaExtProfil.size() ? gaExtProfil[index] : QString();
        const ProfilPtr* profil = gcolProfils.item(key);
        AddLine(text, IniEntryLine(gaEmulExt[index], profil ? (*profil)->Key : QString()));
    }
    line(".txt", gtEditor);

    text += QStringLiteral("\r\n");
    AddLine(text, QStringLiteral("[WINDOWS]"));
    for (const auto& entry : gcolWindows) AddLine(text, IniEntryLine(entry.key, entry.value));
    return text;
}

bool WriteMainSettings(const MainSettings& settings, QString* error)
{
    QSaveFile file(gtIniFile);
    const QByteArray bytes = (MainSettingsText(settings) + QStringLiteral("\r\n")).toUtf8();
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit()) {
        if (error) *error = file.errorString();
        return false;
    }
    return true;
}

} // namespace tv
