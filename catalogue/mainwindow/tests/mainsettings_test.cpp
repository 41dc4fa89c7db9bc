#include "mainwindowtest.h"

#include "catalogue/core/modatari.h"
#include "catalogue/emulators/modemulator.h"
#include "catalogue/mainwindow/mainsettings.h"

using namespace tv;

namespace {

using SettingsFile = MainFolderTest;

// A settings file with no keys at all: every default, and the first run's emulators.
TEST_F(SettingsFile, MissingFileGivesTheDefaults)
{
    MainSettings s;
    LoadMainSettings(s);
    EXPECT_EQ(s.FontSize, 9);
    EXPECT_EQ(s.PreviewForeColor, 0xFF8080);
    EXPECT_EQ(s.PreviewBackColor, 53 + 256 * 40 + 65536 * 121);
    EXPECT_EQ(s.ViewMode, 1);
    EXPECT_TRUE(s.ShowToolbar);
    EXPECT_FALSE(s.Preview);
    EXPECT_EQ(s.MenuSplitPos, 2000);
    EXPECT_EQ(s.PreviewSplitPos, 9000);
    EXPECT_EQ(s.ListSplitPos, 3000);
    EXPECT_EQ(s.Filters.count(), 5);
    EXPECT_EQ(s.ListLayouts.size(), 4);
    // The default layout of the file list; the other view kinds start from it.
    EXPECT_EQ(s.ListLayouts[0], kDefaultListLayout);
    EXPECT_EQ(s.ListLayouts.mid(1), QStringList(3));
    EXPECT_TRUE(s.FirstRun);
    EXPECT_TRUE(FirstRunWizardDue());
    EXPECT_EQ(gcolEmulators.count(), 3);
    EXPECT_EQ(gcolProfils.count(), 13);
    EXPECT_EQ(gtProfilDefault, QStringLiteral("1"));
    EXPECT_EQ(gtImportFiles.split(QLatin1Char(';')).size(), 24);
    EXPECT_EQ(gtEditor, QStringLiteral("Notepad"));
    EXPECT_EQ(gtSkipZipSize, QStringLiteral("5"));
    ASSERT_EQ(gaExtProfil.size(), 11);
    for (int i = 0; i < 11; ++i)
        EXPECT_EQ(gaExtProfil[i], QString::number(DefaultProfilForFileType(kEmulAltirra, i).value_or(0))) << i;
}

// The first run's per-type profiles name the profiles the table means: tapes load as tapes,
// cartridges as cartridges, and the file refers to them by their written positions.
TEST_F(SettingsFile, FirstRunPerTypeProfilesNameTheirProfiles)
{
    MainSettings s;
    LoadMainSettings(s);
    auto name = [](int position) {
        const ProfilPtr* profil = gcolProfils.item(gaExtProfil[position]);
        return profil ? (*profil)->Name : QString();
    };
    EXPECT_EQ(name(0), QStringLiteral("Load disc"));       // .ATR
    EXPECT_EQ(name(1), QStringLiteral("Run program"));     // .COM
    EXPECT_EQ(name(3), QStringLiteral("Load tape"));       // .CAS
    EXPECT_EQ(name(6), QStringLiteral("Run basic program")); // .BAS
    EXPECT_EQ(name(8), QStringLiteral("Load cartridge"));  // .BIN
    EXPECT_EQ(name(9), QStringLiteral("Load cartridge"));  // .ROM
    // Altirra's profiles stand in the order disc, tape, cartridge, program, basic program.
    ASSERT_TRUE(WriteMainSettings(s));
    const QString text = readIni();
    EXPECT_TRUE(text.contains(QStringLiteral("ProfilName2=Load tape\r\n")));
    EXPECT_TRUE(text.contains(QStringLiteral("\r\n.CAS=2\r\n")));
    EXPECT_TRUE(text.contains(QStringLiteral("\r\n.BIN=3\r\n.ROM=3\r\n")));
    MainSettings next;
    LoadMainSettings(next);
    EXPECT_EQ(name(3), QStringLiteral("Load tape"));
    EXPECT_EQ(name(9), QStringLiteral("Load cartridge"));
}

// A drill-down layout whose last level was never shown ends in "@"; the entries after it stay
// where they are.
TEST_F(SettingsFile, LayoutEndingInAtSignKeepsTheOthersInPlace)
{
    struct Case {
        const char* name;
        const char* stored;
        QStringList entries;
    };
    const Case cases[] = {
        {"plain", "A@B@@@C@@@D@@@EF", {"A@B", "C", "D", "EF"}},
        {"trailing @ of the categories", "L0@@@L1@@@@L2@@@", {"L0", "L1@", "L2", ""}},
        {"trailing @ of the history", "L0@@@@@@L2@@@@", {"L0", "", "L2@", ""}},
        {"empty entries", "@@@@@@@@@", {"", "", "", ""}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        writeIni(QStringLiteral("[MAIN]\r\nListLayout=") + QString::fromUtf8(c.stored) + QStringLiteral("\r\n"));
        MainSettings s;
        LoadMainSettings(s);
        EXPECT_EQ(s.ListLayouts, c.entries);
    }
}

TEST_F(SettingsFile, SingleValuesAsRead)
{
    struct Case {
        const char* name;
        const char* main;  // extra lines of [MAIN]
        int fontSize, viewMode, lastFilterRow;
        const char* skipZip;
    };
    const Case cases[] = {
        {"font too large", "FontSize=25", 9, 1, 0, "5"},
        {"smallest font", "FontSize=6", 6, 1, 0, "5"},
        {"largest font", "FontSize=20", 20, 1, 0, "5"},
        {"new files view not restored", "ViewMode=2", 9, 1, 0, "5"},
        {"history view", "ViewMode=4", 9, 4, 0, "5"},
        {"row of the last selection", "LastFilterRow=5", 9, 1, 5, "5"},
        {"row past the pane", "LastFilterRow=6", 9, 1, 0, "5"},
        {"negative row", "LastFilterRow=-2", 9, 1, 0, "5"},
        {"empty size limit means none", "SkipZipSize=", 9, 1, 0, "0"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        writeIni(QStringLiteral("[MAIN]\r\n") + QString::fromUtf8(c.main) + QStringLiteral("\r\n"));
        MainSettings s;
        LoadMainSettings(s);
        EXPECT_EQ(s.FontSize, c.fontSize);
        EXPECT_EQ(s.ViewMode, c.viewMode);
        EXPECT_EQ(s.LastFilterRow, c.lastFilterRow);
        EXPECT_EQ(gtSkipZipSize, QString::fromUtf8(c.skipZip));
    }
}

const char* const kFullFile =
    "[MAIN]\r\n"
    "Database=/data/b.MDB\r\n"
    "Database2=/data/a.MDB\r\n"
    "Dialog=/in\r\n"
    "LanguageFile=\r\n"
    "LastFilterRow=2\r\n"
    "ListSplitPos=3100\r\n"
    "MenuSplitPos=2100\r\n"
    "Preview=1\r\n"
    "PreviewSplitPos=9100\r\n"
    "ShowToolbar=0\r\n"
    "SkipZipSize=7\r\n"
    "ViewMode=3\r\n"
    "Version=%VERSION%\r\n"
    "ListLayout=L0@@@L1@@@@@@\r\n"
    "MainListColumns=Model@@@tCategory\r\n"
    "FilterName1=Eins\r\n"
    "FilterDef1=iFileType!@!=!@!1!@!@@@tFile!@!( )!@!x!@!Or\r\n"
    "FilterName2=Zwei\r\n"
    "FilterDef2=\r\n"
    "\r\n"
    "[EMULATORS]\r\n"
    "EmulName1=Alt\r\n"
    "EmulPath1=/opt/alt\r\n"
    "EmulType1=1\r\n"
    "EmulAktiv1=1\r\n"
    "EmulName2=Tool\r\n"
    "EmulPath2=tool\r\n"
    "EmulType2=0\r\n"
    "EmulAktiv2=0\r\n"
    "\r\n"
    "[PROFILS]\r\n"
    "ProfilCount=3\r\n"
    "ProfilEmul1=1\r\n"
    "ProfilName1=Disk\r\n"
    "ProfilAktiv1=1\r\n"
    "ProfilOptions1=/disk \"<$filepath$>\"=@=1\r\n"
    "ProfilDefault=2\r\n"
    "ProfilEmul2=2\r\n"
    "ProfilName2=Show\r\n"
    "ProfilAktiv2=0\r\n"
    "ProfilOptions2=\r\n"
    "ProfilEmul3=-1\r\n"
    "ProfilName3=Orphan\r\n"
    "ProfilAktiv3=1\r\n"
    "ProfilOptions3=x=@=1\r\n"
    "\r\n"
    "[EXTENSIONS]\r\n"
    "ImportFiles=.ATR;.XEX\r\n"
    ".ATR=1\r\n"
    ".COM=3\r\n"
    ".EXE=\r\n"
    ".CAS=\r\n"
    ".PRO=\r\n"
    ".DCM=\r\n"
    ".BAS=\r\n"
    ".XFD=\r\n"
    ".BIN=\r\n"
    ".ROM=\r\n"
    ".XEX=\r\n"
    ".txt=mousepad\r\n"
    "\r\n"
    "[WINDOWS]\r\n"
    "frmMain=1;2;3;4;0\r\n";

// What the program writes it reads back, and the second writing is the same text.
TEST_F(SettingsFile, RoundTrip)
{
    const QString expected = QString::fromUtf8(kFullFile).replace(QStringLiteral("%VERSION%"), gtVersion);
    // The text ends with one line end. Keys the writer drops: read-only settings, windows it does not read back; and values
    // it normalises.
    QString input = expected;
    input.replace(QStringLiteral("ImportFiles=.ATR;.XEX"), QStringLiteral("ImportFiles=.atr;.xex"));
    input.replace(QStringLiteral("[WINDOWS]\r\n"), QStringLiteral("[WINDOWS]\r\nfrmOther=5;5;5;5;0\r\n"));
    input.replace(QStringLiteral("[EMULATORS]"), QStringLiteral("FontSize=12\r\n[EMULATORS]"));
    writeIni(input);

    MainSettings s;
    LoadMainSettings(s);
    EXPECT_EQ(s.FontSize, 12);
    EXPECT_EQ(gtDBPath, QStringLiteral("/data/b.MDB"));
    EXPECT_EQ(s.RecentDatabases.count(), 2);
    EXPECT_EQ(gtProfilDefault, QStringLiteral("2"));
    EXPECT_EQ((*gcolProfils.item(QStringLiteral("3")))->EmulKey, QStringLiteral("0"));
    EXPECT_EQ(gaExtProfil.mid(0, 3), (QStringList{"1", "3", ""}));
    EXPECT_FALSE(FirstRunWizardDue());
    ASSERT_TRUE(WriteMainSettings(s));
    EXPECT_EQ(readIni(), expected);

    MainSettings again;
    LoadMainSettings(again);
    ASSERT_TRUE(WriteMainSettings(again));
    EXPECT_EQ(readIni(), expected);
}

// Profiles held under keys 3, 1 and 7, the default being 7: the file numbers them by position
// and every reference follows.
TEST_F(SettingsFile, ReferencesFollowThePositions)
{
    MainSettings s;
    LoadMainSettings(s);
    gcolEmulators.clear();
    gcolProfils.clear();
    AddEmulator(5, kEmulAltirra, "A", "a", gcolEmulators, true);
    AddProfil(gcolProfils, "5", "P3", "", true, 3);
    AddProfil(gcolProfils, "5", "P1", "", true, 1);
    AddProfil(gcolProfils, "9", "P7", "", false, 7);
    gtProfilDefault = QStringLiteral("7");
    gaExtProfil = QStringList(11);
    gaExtProfil[0] = QStringLiteral("1");
    gaExtProfil[1] = QStringLiteral("4");
    const QString text = MainSettingsText(s);
    EXPECT_TRUE(text.contains(QStringLiteral("EmulName1=A\r\n")));
    EXPECT_TRUE(text.contains(QStringLiteral("ProfilEmul1=1\r\nProfilName1=P3\r\n")));
    EXPECT_TRUE(text.contains(QStringLiteral("ProfilOptions2=\r\nProfilDefault=3\r\nProfilEmul3=-1\r\nProfilName3=P7\r\n")));
    EXPECT_TRUE(text.contains(QStringLiteral("\r\n.ATR=2\r\n.COM=\r\n")));
    EXPECT_EQ((*gcolProfils.item(1))->Key, QStringLiteral("1"));
    EXPECT_EQ((*gcolProfils.item(3))->Key, QStringLiteral("3"));
}

TEST_F(SettingsFile, RecentLists)
{
    MainSettings s;
    LoadMainSettings(s);
    LimitRecentList(s.RecentDatabases, QStringLiteral("/a.MDB"));
    LimitRecentList(s.RecentDatabases, QStringLiteral("/b.MDB"));
    gtDBPath = QStringLiteral("/b.MDB");
    EXPECT_TRUE(MainSettingsText(s).contains(QStringLiteral("[MAIN]\r\nDatabase=/b.MDB\r\nDatabase2=/a.MDB\r\nDialog=\r\nLanguageFile=")));

    // No catalogue open at exit: the recent ones follow an empty first entry and still come
    // back at the next start, with no current catalogue.
    gtDBPath.clear();
    ASSERT_TRUE(WriteMainSettings(s));
    EXPECT_TRUE(readIni().contains(QStringLiteral("Database=\r\nDatabase2=/b.MDB\r\nDatabase3=/a.MDB\r\n")));
    MainSettings next;
    LoadMainSettings(next);
    EXPECT_TRUE(gtDBPath.isEmpty());
    ASSERT_EQ(next.RecentDatabases.count(), 2);
    EXPECT_EQ(*next.RecentDatabases.item(1), QStringLiteral("/b.MDB"));
    EXPECT_EQ(*next.RecentDatabases.item(2), QStringLiteral("/a.MDB"));

    // Paths that differ in case are two files.
    LimitRecentList(next.RecentFolders, QStringLiteral("/Spiele/"));
    EXPECT_EQ(RecentPosition(next.RecentFolders, QStringLiteral("/spiele/")), 0);
    LimitRecentList(next.RecentFolders, QStringLiteral("/spiele/"));
    gtDialogPath = QStringLiteral("/spiele/");
    ASSERT_TRUE(WriteMainSettings(next));
    EXPECT_TRUE(readIni().contains(QStringLiteral("Dialog=/spiele/\r\nDialog2=/Spiele/\r\n")));
    MainSettings third;
    LoadMainSettings(third);
    EXPECT_EQ(third.RecentFolders.count(), 2);
    EXPECT_EQ(RecentPosition(third.RecentFolders, QStringLiteral("/Spiele/")), 2);

    Collection<QString> full;
    for (int i = 1; i <= 20; ++i) LimitRecentList(full, QString::number(i));
    LimitRecentList(full, QStringLiteral("new"));
    EXPECT_EQ(full.count(), 20);
    EXPECT_EQ(*full.item(1), QStringLiteral("new"));
    EXPECT_EQ(*full.item(20), QStringLiteral("2"));
}

// Faults of a hand-edited file never stop the start: a path listed twice is kept once, an
// unreadable active flag reads as inactive.
TEST_F(SettingsFile, DamagedEntriesAreTolerated)
{
    writeIni(QStringLiteral("[MAIN]\r\nDatabase=/a.MDB\r\nDatabase2=/b.MDB\r\nDatabase3=/a.MDB\r\nDatabase4=/c.MDB\r\n"
                            "[EMULATORS]\r\nEmulName1=X\r\nEmulAktiv1=ja\r\nEmulName2=Y\r\nEmulAktiv2=1\r\n"));
    MainSettings s;
    LoadMainSettings(s);
    EXPECT_EQ(s.RecentDatabases.count(), 3);
    EXPECT_EQ(*s.RecentDatabases.item(3), QStringLiteral("/c.MDB"));
    ASSERT_GE(gcolEmulators.count(), 2);
    EXPECT_FALSE((*gcolEmulators.item(1))->Aktiv);
    EXPECT_TRUE((*gcolEmulators.item(2))->Aktiv);
}

// A profile name is a settings value of its own and never part of an option string: names
// holding the option-string separators are read, kept under their positions and written back.
TEST_F(SettingsFile, ProfilNamesWithSeparatorsAreKept)
{
    writeIni(QStringLiteral("[EMULATORS]\r\nEmulName1=E\r\nEmulType1=1\r\nEmulAktiv1=1\r\n[PROFILS]\r\nProfilCount=3\r\n"
                            "ProfilEmul1=1\r\nProfilName1=a@@@b\r\nProfilEmul2=1\r\nProfilName2=c=@=d\r\n"
                            "ProfilEmul3=1\r\nProfilName3=plain\r\n[EXTENSIONS]\r\n.COM=3\r\n"));
    MainSettings s;
    LoadMainSettings(s);
    ASSERT_EQ(gcolProfils.count(), 3);
    EXPECT_EQ((*gcolProfils.item(QStringLiteral("1")))->Name, QStringLiteral("a@@@b"));
    EXPECT_EQ((*gcolProfils.item(QStringLiteral("2")))->Name, QStringLiteral("c=@=d"));
    EXPECT_EQ(gaExtProfil[1], QStringLiteral("3"));
    const QString text = MainSettingsText(s);
    EXPECT_TRUE(text.contains(QStringLiteral("ProfilName1=a@@@b\r\n")));
    EXPECT_TRUE(text.contains(QStringLiteral("ProfilName2=c=@=d\r\n")));
}

// Values the user chose with blanks or tabs at their ends come back as they were written.
TEST_F(SettingsFile, ValuesWithBlanksAtTheirEndsReadBack)
{
    writeIni(QStringLiteral("[EMULATORS]\r\nEmulName1=E\r\nEmulType1=1\r\nEmulAktiv1=1\r\n[PROFILS]\r\nProfilCount=1\r\n"
                            "ProfilEmul1=1\r\nProfilName1=P\r\n"));
    MainSettings s;
    LoadMainSettings(s);
    ASSERT_EQ(gcolEmulators.count(), 1);
    ASSERT_EQ(gcolProfils.count(), 1);
    const QString name = QStringLiteral(" Atari800 "), path = QStringLiteral("/opt/Atari 800 /atari800 ");
    const QString profil = QStringLiteral("\tSpiel\t"), editor = QStringLiteral("mousepad "), dialog = QStringLiteral(" /home/a b");
    (*gcolEmulators.item(1))->Name = name;
    (*gcolEmulators.item(1))->Path = path;
    (*gcolProfils.item(1))->Name = profil;
    gtEditor = editor;
    gtDialogPath = dialog;
    ASSERT_TRUE(WriteMainSettings(s));

    MainSettings again;
    LoadMainSettings(again);
    ASSERT_EQ(gcolEmulators.count(), 1);
    EXPECT_EQ((*gcolEmulators.item(1))->Name, name);
    EXPECT_EQ((*gcolEmulators.item(1))->Path, path);
    EXPECT_EQ((*gcolProfils.item(1))->Name, profil);
    EXPECT_EQ(gtEditor, editor);
    EXPECT_EQ(gtDialogPath, dialog);
}

// Emulators but no profiles: no wizard, and the default emulators follow the stored ones.
TEST_F(SettingsFile, EmulatorsWithoutProfiles)
{
    writeIni(QStringLiteral("[EMULATORS]\r\nEmulName1=Mine\r\nEmulType1=0\r\nEmulAktiv1=1\r\n[PROFILS]\r\nProfilCount=\r\n"));
    MainSettings s;
    LoadMainSettings(s);
    EXPECT_FALSE(FirstRunWizardDue());
    EXPECT_TRUE(s.FirstRun);
    ASSERT_EQ(gcolEmulators.count(), 4);
    EXPECT_EQ((*gcolEmulators.item(1))->Name, QStringLiteral("Mine"));
    EXPECT_EQ((*gcolEmulators.item(2))->Key, QStringLiteral("2"));
    EXPECT_EQ((*gcolEmulators.item(2))->EmulType, int(kEmulAltirra));
    EXPECT_EQ(gcolProfils.count(), 13);
}

TEST_F(SettingsFile, PerTypeProfilesOutOfRangeAreDropped)
{
    writeIni(QStringLiteral("[PROFILS]\r\nProfilCount=2\r\nProfilName1=a\r\nProfilName2=b\r\nProfilDefault=5\r\n"
                            "[EXTENSIONS]\r\n.ATR=-1\r\n.COM=3\r\n.EXE=2\r\n.CAS=0\r\n.PRO=x\r\n"));
    MainSettings s;
    LoadMainSettings(s);
    EXPECT_EQ(gaExtProfil.mid(0, 5), (QStringList{"", "", "2", "", ""}));
    EXPECT_EQ(gtProfilDefault, QStringLiteral("1"));
}

TEST_F(SettingsFile, UnwritableFileIsReported)
{
    MainSettings s;
    LoadMainSettings(s);
    gtIniFile = dir.filePath(QStringLiteral("missing/Tovarin.ini"));
    QString error;
    EXPECT_FALSE(WriteMainSettings(s, &error));
    EXPECT_FALSE(error.isEmpty());
}

} // namespace
