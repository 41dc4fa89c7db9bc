#pragma once

#include "clsfilter.h"
#include "platform/runtime/collection.h"

#include <QString>
#include <QStringList>

namespace tv {

// The settings file "Tovarin.ini" in the program folder, read key by key when the main
// window loads and rewritten whole when it unloads. Grammar of the written text (CR LF line
// ends, one line end after the last line, an empty line before every section but the first;
// each entry written by IniEntryLine, so values with blanks at their ends or line breaks
// are quoted and read back whole):
//
//   [MAIN]        Database, Database2.., Dialog, Dialog2.., LanguageFile, LastFilterRow,
//                 ListSplitPos, MenuSplitPos, Preview, PreviewSplitPos, ShowToolbar,
//                 SkipZipSize, ViewMode, Version, ListLayout, MainListColumns,
//                 FilterName1, FilterDef1, ...
//   [EMULATORS]   EmulName i, EmulPath i, EmulType i, EmulAktiv i        (i = position)
//   [PROFILS]     ProfilCount; per profile i: [ProfilDefault=i,] ProfilEmul i (emulator
//                 position, -1 for none), ProfilName i, ProfilAktiv i, ProfilOptions i
//   [EXTENSIONS]  ImportFiles; ".ATR" .. ".XEX" = position of the type's default profile
//                 (empty for none); ".txt" = text viewer
//   [WINDOWS]     window name = placement text
//
// Read but never written (a rewrite drops them): FontSize, PreviewForeColor,
// PreviewBackColor, PreviewSelectColor.

// Settings keys and their defaults, spelled as the file stores them.
inline const QString kIniMain = QStringLiteral("MAIN");
inline const QString kIniEmulators = QStringLiteral("EMULATORS");
inline const QString kIniProfils = QStringLiteral("PROFILS");
inline const QString kIniExtensions = QStringLiteral("EXTENSIONS");
inline const QString kIniWindows = QStringLiteral("WINDOWS");
inline constexpr int kDefaultFontSize = 9;
inline constexpr int kDefaultListSplitPos = 3000;
inline constexpr int kDefaultMenuSplitPos = 2000;
inline constexpr int kDefaultPreviewSplitPos = 9000;
inline constexpr int kMaxRecentPaths = 20;
// Colours are stored as the old platform's colour numbers: red + 256 * green + 65536 * blue.
inline constexpr qint32 kDefaultPreviewForeColor = 0xFF8080;
inline constexpr qint32 kDefaultPreviewBackColor = 53 + 256 * 40 + 65536 * 121;
inline constexpr qint32 kDefaultPreviewSelectColor = 255 + 256 * 255 + 65536 * 255;
// The windows whose placement is read back.
inline const QStringList kPlacedWindows = {
    QStringLiteral("frmCategory"), QStringLiteral("frmColumnHeader"), QStringLiteral("frmEditEmu"),
    QStringLiteral("frmEditParams"), QStringLiteral("frmEditProfil"), QStringLiteral("frmLegend"),
    QStringLiteral("frmFile"), QStringLiteral("frmMain"), QStringLiteral("frmMainFilter"),
    QStringLiteral("frmNewPath"), QStringLiteral("frmOptions"), QStringLiteral("frmParameter"),
    QStringLiteral("frmProcess"), QStringLiteral("frmSearch")};
// The column layout of the file list when none is stored, in the captions the views build.
extern const QString kDefaultListLayout;

// Program-wide values of the main window that the core does not hold yet.
extern QString MainListColumns;  // fields of the optional columns kept visible, joined by "@@@"
extern bool gbCreateMD5;
extern bool gbCheckRefresh;

// The main window's own state that the settings file keeps. Owned by frmMain.
struct MainSettings {
    int FontSize = kDefaultFontSize;
    qint32 PreviewForeColor = kDefaultPreviewForeColor;
    qint32 PreviewBackColor = kDefaultPreviewBackColor;
    qint32 PreviewSelectColor = kDefaultPreviewSelectColor;
    Collection<QString> RecentDatabases;  // newest first, exact paths (see RecentPosition)
    Collection<QString> RecentFolders;
    int LastFilterRow = 0;                // row of the filter pane; 0 is "Filter aus"
    int ListSplitPos = kDefaultListSplitPos;
    int MenuSplitPos = kDefaultMenuSplitPos;
    int PreviewSplitPos = kDefaultPreviewSplitPos;
    bool Preview = false;
    bool ShowToolbar = true;
    int ViewMode = 1;
    QStringList ListLayouts = QStringList(4);  // per GetLayoutIndex
    FilterCollection Filters;                  // mcolFilters
    bool FirstRun = false;                     // no profiles were stored: defaults were made
};

// text becomes text, CR LF, line (nothing in front of the first line).
void AddLine(QString& text, const QString& line);

// Adds a path in front of a recent list, dropping the oldest entry of a full list. Callers add
// only paths that are not in the list yet.
void LimitRecentList(Collection<QString>& list, const QString& path);

// Position (from 1) of a path in a recent list, 0 when it is not there. Paths compare exactly:
// two that differ in case name two files.
int RecentPosition(const Collection<QString>& list, const QString& path);

// The stored "ListLayout" text split into its entries at "@@@"; an entry's trailing "@" stays
// with it.
QStringList SplitListLayouts(const QString& text);

// The ListLayouts entry of a view kind: 3 gives 1, 4 gives 2, every other 0.
int GetLayoutIndex(int viewMode);

// Reads every setting into `settings` and the program-wide values (gtDBPath, gtDialogPath,
// gtLanguageFile, gtSkipZipSize, gtImportFiles, gtEditor, MainListColumns, gcolEmulators,
// gcolProfils, gtProfilDefault, gaEmulExt, gaExtProfil, gaZipExt, gcolWindows). Missing keys
// give their defaults; unreadable values give the defaults too, so a damaged file never stops
// the start. Without stored profiles the default emulators and profiles are made.
void LoadMainSettings(MainSettings& settings);

// Whether the first-run wizard is due: the file itself holds neither "EmulName1" nor
// "ProfilCount" (or only empty values).
bool FirstRunWizardDue();

// The whole settings text from `settings` and the program-wide values. Gives every emulator
// and profile its position as Key, as the file numbers them.
QString MainSettingsText(const MainSettings& settings);

// Writes MainSettingsText to gtIniFile in one piece (never half-written). False, with the
// reason in `error`, when the file cannot be written; the old file then stays.
bool WriteMainSettings(const MainSettings& settings, QString* error = nullptr);

} // namespace tv
