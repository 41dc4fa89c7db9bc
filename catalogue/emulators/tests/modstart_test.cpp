#include "catalogue/core/frminputbox.h"
#include "catalogue/core/modatari.h"
#include "catalogue/core/moddatabase.h"
#include "catalogue/core/modglobals.h"
#include "catalogue/core/modmain.h"
#include "catalogue/emulators/modemulator.h"
#include "catalogue/emulators/modstart.h"
#include "catalogue/import/clsfilemanager.h"
#include "platform/gui/msgbox.h"
#include "platform/system/process.h"
#include "standin.h"

#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QStandardPaths>
#include <QTimer>
#include <QDeadlineTimer>
#include <QThread>
#include <gtest/gtest.h>
#include <optional>

// Readable failure output for Qt texts.
QT_BEGIN_NAMESPACE
inline void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }
QT_END_NAMESPACE

namespace tv {
namespace {

// A program folder with an empty catalogue, the import engine, no emulators and hooks that
// answer every message box and input box.
class StartFileTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        InitProgramPaths(dir.path());
        InitProgramValues();
        ASSERT_TRUE(QDir().mkpath(gtTempPath));
        ASSERT_TRUE(QDir().mkpath(gtToolsPath));
        QFile::link(QStandardPaths::findExecutable(QStringLiteral("7za")), gtToolsPath + QStringLiteral("7za"));
        DbError error;
        goDB = CreateCatalogue(dir.filePath(QStringLiteral("test.mdb")), {}, &error);
        ASSERT_TRUE(goDB) << error.description.toStdString();
        goFileManager = std::make_unique<clsFileManager>();
        goFileManager->InitCount();
        gcolEmulators.clear();
        gcolProfils.clear();
        giProfilCounter = 0;
        gtProfilDefault = QStringLiteral("1");
        gaExtProfil = QStringList(11);
        gtEditor.clear();
        SetMsgBoxHook([this](const QString& prompt, int style, const QString& title) {
            boxes << prompt;
            boxStyles << style;
            boxTitles << title;
            return boxAnswer;
        });
        SetInputTextHook([this](const QString& prompt, const QString& title, const QString&) {
            prompts << prompt;
            EXPECT_EQ(title, QStringLiteral("Optionsparameter"));
            return answers.isEmpty() ? QString() : answers.takeFirst();
        });
        record = dir.filePath(QStringLiteral("record.txt"));
        // The emulators' own configurations are looked for in the home folder: the test's is empty.
        oldHome = qgetenv("HOME");
        qputenv("HOME", dir.filePath(QStringLiteral("home")).toUtf8());
    }

    void TearDown() override
    {
        qputenv("HOME", oldHome);
        SetMsgBoxHook(nullptr);
        SetInputTextHook(nullptr);
        goFileManager.reset();
        CloseDB();
        gcolEmulators.clear();
        gcolProfils.clear();
    }

    // A stand-in program that records its working folder and arguments.
    QString MakeProgram(const QString& relative)
    {
        const QString path = dir.filePath(relative);
        EXPECT_TRUE(test::WriteStandIn(path, record));
        return path;
    }

    // The default emulators of all three types, each path pointing at a stand-in program in
    // a folder with a blank in its name. atari800, which has no configuration yet, finds a
    // BASIC image in its "rom" folder, as it needs to run a BASIC program.
    void MakeDefaultEmulators()
    {
        for (int type = 1; type <= 3; ++type) {
            EmulatorPtr emu = CreateDefaultEmulator(type, type, gcolEmulators, gcolProfils, true);
            emu->Path = MakeProgram(QStringLiteral("emu %1/emulator").arg(type));
        }
        WriteFile(QStringLiteral("emu 3/rom/ataribas.rom"), QByteArray(8192, '\x55'));
    }

    // The working folder and the arguments the stand-in received; empty when it never ran.
    QStringList WaitForRecord() { return test::WaitForStandIn(record); }

    // A catalogue row; returns its ID. `settings` and `param` are SQL values; `chain` is the
    // member chain inside the archive `path`.
    int32_t AddRow(const QString& path, int fileType, const QString& settings = QStringLiteral("Null,Null,Null,Null"),
                   const QString& param = QStringLiteral("Null"), const QString& chain = QString())
    {
        const int32_t id = ++lastID;
        const QString file = chain.isEmpty() ? QFileInfo(path).fileName() : chain.section(QLatin1Char('\\'), -1);
        const QString unpackPath = chain.isEmpty() ? QStringLiteral("Null") : QLatin1Char('\'') + chain + QLatin1Char('\'');
        const DbError e = goDB->Execute(
            QStringLiteral("Insert Into MainFiles (ID,tFile,tPath,tUnpackPath,iFileType,iBasic,iModel,iOS,iVideo,tParam) "
                           "Values (%1,'%2','%3',%4,%5,%6,%7)")
                .arg(id).arg(file, path, unpackPath).arg(fileType).arg(settings, param));
        EXPECT_FALSE(e) << e.description.toStdString();
        return id;
    }

    QString WriteFile(const QString& relative, const QByteArray& data = "x")
    {
        const QString path = dir.filePath(relative);
        QDir().mkpath(QFileInfo(path).absolutePath());
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(data);
        return path;
    }

    // A shell script at `path` (its folder exists) that runs `script`.
    static void WriteScript(const QString& path, const QByteArray& script)
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("#!/bin/sh\n" + script);
        f.close();
        ASSERT_TRUE(f.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
    }

    // Start count of the row and its number of history rows.
    std::pair<int, int> Starts(int32_t id)
    {
        QString where = QStringLiteral("ID=%1").arg(id);
        const int count = LookupField(QStringLiteral("lStartCount"), QStringLiteral("MainFiles"), where).toInt();
        where = QStringLiteral("MainFiles_ID=%1").arg(id);
        const int history = LookupField(QStringLiteral("Count(*)"), QStringLiteral("History"), where).toInt();
        return {count, history};
    }

    QString Start(int32_t id, QString profil = QString())
    {
        std::shared_ptr<clsFileInfo> file;
        return StartFile(id, profil, file);
    }

    QTemporaryDir dir;
    QByteArray oldHome;
    QString record;
    QStringList boxes, boxTitles, prompts, answers;
    QList<int> boxStyles;
    int boxAnswer = vbOK;
    int32_t lastID = 0;
};

TEST_F(StartFileTest, ArgumentsOfEachEmulatorTypeAndFileSetting)
{
    MakeDefaultEmulators();
    const QString image = WriteFile(QStringLiteral("My Games/Star Raiders.atr"));
    struct Case {
        const char* name;
        QString profil;
        QString settings;   // iBasic, iModel, iOS, iVideo
        QString param;
        int emulator;
        QStringList arguments;
    } const kCases[] = {
        {"Altirra disc, settings, extra parameters", "1", "1,2,0,2", "'-x \"@FILEPATH@\" @FILEPATH@'", 1,
         {"/disk", image, "/nobasic", "/hardware:800XL", "/pal", "-x", image, dir.filePath("My"), "Games/Star", "Raiders.atr"}},
        {"Altirra basic program holds /basic", "5", "2,5,6,1", "Null", 1,
         {"/basic", image, "/hardware:5200", "/kernel:default", "/ntsc"}},
        {"Atari++ Nein switches BASIC off", "6", "1,3,6,0", "Null", 2,
         {"-image.1", image, "-enable.1", "true", "-basictype", "Disabled", "-machine", "XE", "-ostype", "Auto"}},
        {"Atari++ Ja switches BASIC on", "8", "2,0,0,2", "Null", 2,
         {"-image.1", image, "-enable.1", "true", "-basictype", "BuiltIn", "-videomode", "PAL"}},
        {"Atari800 program, settings", "13", "2,2,1,1", "Null", 3, {"-run", image, "-basic", "-xl", "-800-rev", "a-ntsc", "-ntsc"}},
        {"Atari800 inactive tape entry left out", "11", "0,0,3,0", "''", 3, {"-nopatch", "-boottape", image}},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.name);
        const int32_t id = AddRow(image, 1, c.settings, c.param);
        QString profil = c.profil;
        std::shared_ptr<clsFileInfo> file;
        const QString info = StartFile(id, profil, file);
        const QStringList got = WaitForRecord();
        ASSERT_FALSE(got.isEmpty());
        EXPECT_EQ(got.first(), dir.filePath(QStringLiteral("emu %1").arg(c.emulator)));
        EXPECT_EQ(got.mid(1), c.arguments);
        EXPECT_TRUE(info.startsWith(QStringLiteral("Profil: ") + GetProfilName(gcolEmulators, gcolProfils, c.profil) + " -> "))
            << info.toStdString();
        ASSERT_TRUE(file);
        EXPECT_EQ(file->Path, image);
        EXPECT_EQ(Starts(id), std::make_pair(1, 1));
    }
    EXPECT_TRUE(boxes.isEmpty()) << boxes.join('\n').toStdString();
}

TEST_F(StartFileTest, ProfilChoiceAndTheRecordOfEachStart)
{
    MakeDefaultEmulators();
    const QString xex = WriteFile(QStringLiteral("game.xex"));
    const int32_t id = AddRow(xex, 11);

    QString profil;
    std::shared_ptr<clsFileInfo> file;
    StartFile(id, profil, file);   // no per-type default: the default profile
    EXPECT_EQ(profil, QStringLiteral("1"));
    EXPECT_EQ(WaitForRecord().mid(1), QStringList({"/disk", xex}));

    gaExtProfil[10] = QStringLiteral("12");
    profil.clear();
    StartFile(-id, profil, file);   // the per-type default; a negative ID counts as its absolute value
    EXPECT_EQ(profil, QStringLiteral("12"));
    EXPECT_EQ(WaitForRecord().mid(1), QStringList({"-run", xex}));

    profil = QStringLiteral("4");
    const QString info = StartFile(id, profil, file);   // the given profile wins
    EXPECT_EQ(info, QStringLiteral("Profil: Altirra - Run program ->  /run \"") + xex + "\"");
    EXPECT_EQ(WaitForRecord().mid(1), QStringList({"/run", xex}));

    // A record the caller hands in (the file-details window's) is used as it stands.
    file->iVideo = 2;
    file->Param = QStringLiteral("-cli");
    StartFile(id, profil, file);
    EXPECT_EQ(WaitForRecord().mid(1), QStringList({"/run", xex, "/pal", "-cli"}));

    EXPECT_EQ(Starts(id), std::make_pair(4, 4));
    QString where = QStringLiteral("ID=%1").arg(id);
    EXPECT_FALSE(LookupField(QStringLiteral("tsLastStarted"), QStringLiteral("MainFiles"), where).isEmpty());
    EXPECT_EQ(Start(0), QString());
}

// A catalogue that cannot be written still starts its files; the starts go unrecorded, without
// a message at each (its opening said once that it cannot be written).
TEST_F(StartFileTest, CatalogueThatCannotBeWrittenStartsWithoutRecordOrMessage)
{
    MakeDefaultEmulators();
    const QString xex = WriteFile(QStringLiteral("game.xex"));
    const int32_t id = AddRow(xex, 11);
    const QString path = goDB->Name();
    CloseDB();
    Database::SetOpenReadOnly(true);
    const auto writable = qScopeGuard([] { Database::SetOpenReadOnly(false); });
    ASSERT_TRUE(ConnectDB(path));
    EXPECT_EQ(boxes.size(), 1);   // the opening's notice
    boxes.clear();
    for (int i = 0; i < 2; ++i) {
        EXPECT_FALSE(Start(id, QStringLiteral("1")).isEmpty());
        EXPECT_EQ(WaitForRecord().mid(1), QStringList({"/disk", xex}));
    }
    EXPECT_TRUE(boxes.isEmpty()) << boxes.join('\n').toStdString();
    EXPECT_EQ(Starts(id), std::make_pair(0, 0));
}

TEST_F(StartFileTest, InputBoxAnsweredOrCancelled)
{
    MakeDefaultEmulators();
    (*gcolProfils.item(QStringLiteral("9")))->Options =
        QStringLiteral("-a <$input$> <$input$>=@=1@@@-b <$INPUT$>=@=1@@@\"<$filepath$>\"=@=1");
    const QString image = WriteFile(QStringLiteral("a.atr"));
    const int32_t id = AddRow(image, 1);

    answers = QStringList({"two words", "<$typed$>"});
    Start(id, QStringLiteral("9"));
    EXPECT_EQ(WaitForRecord().mid(1), QStringList({"-a", "two", "words", "two", "words", "-b", "<$typed$>", image}));
    ASSERT_EQ(prompts.size(), 2);
    EXPECT_EQ(prompts[0], QStringLiteral("Bitte geben Sie einen Wert ein: -a <$input$>"));

    prompts.clear();
    Start(id, QStringLiteral("9"));   // both questions cancelled: only the path is left
    EXPECT_EQ(WaitForRecord().mid(1), QStringList({image}));
    EXPECT_EQ(prompts.size(), 2);
    EXPECT_EQ(Starts(id), std::make_pair(2, 2));
    EXPECT_TRUE(boxes.isEmpty());
}

TEST_F(StartFileTest, StopsThatStartNothingAndRecordNothing)
{
    MakeDefaultEmulators();
    const QString image = WriteFile(QStringLiteral("a.atr"));
    const int32_t id = AddRow(image, 1);
    const int32_t missing = AddRow(dir.filePath(QStringLiteral("gone.atr")), 1);

    (*gcolProfils.item(QStringLiteral("10")))->Options = QStringLiteral("-cart \"<$filepath=@=1");
    (*gcolProfils.item(QStringLiteral("12")))->Options = QStringLiteral("-run <$file$>=@=1");
    struct Case {
        const char* name;
        int32_t id;
        QString profil;
        QString message;
        int style;
    } const kCases[] = {
        {"missing file", missing, "1", "Datei nicht gefunden: " + dir.filePath("gone.atr"), vbExclamation},
        {"incomplete placeholder", id, "10", "Unvollständiger Parameter: <$filepath", vbInformation},
        {"unknown placeholder", id, "12", "Unbekannter Parameter: <$file$>", vbInformation},
        {"unknown profile", id, "99", "Start-Error: Unbekanntes Profil: 99", vbOKOnly},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.name);
        boxes.clear();
        boxStyles.clear();
        boxTitles.clear();
        EXPECT_EQ(Start(c.id, c.profil), QString());
        EXPECT_EQ(boxes, QStringList{c.message});
        EXPECT_EQ(boxStyles, QList<int>{c.style});
        EXPECT_EQ(boxTitles, QStringList{"Tovarin"});
    }
    EXPECT_FALSE(QFile::exists(record));
    EXPECT_EQ(Starts(id), std::make_pair(0, 0));
}

TEST_F(StartFileTest, MissingEmulatorOpensTheEmulatorEditor)
{
    MakeDefaultEmulators();
    (*gcolEmulators.item(QStringLiteral("2")))->Path = QStringLiteral("atari++");
    const int32_t id = AddRow(WriteFile(QStringLiteral("a.atr")), 1);

    QString editorTitle;
    QTimer closer;
    QObject::connect(&closer, &QTimer::timeout, [&] {
        if (auto* editor = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
            editorTitle = editor->windowTitle();
            editor->reject();
        }
    });
    closer.start(20);
    EXPECT_EQ(Start(id, QStringLiteral("7")), QString());
    closer.stop();
    // One message names the missing program, the emulator whose path to give and where.
    EXPECT_EQ(boxes, QStringList{"Datei nicht gefunden: atari++\n\nBitte geben Sie im folgenden Fenster den Pfad des "
                                 "Emulators „Atari++“ an (später unter Extras > Optionen > Emulatorprofile)."});
    EXPECT_EQ(boxTitles, QStringList{"Profil: Load cartridge"});
    EXPECT_EQ(boxStyles, QList<int>{vbExclamation});
    EXPECT_EQ(editorTitle, QStringLiteral("Emulator"));
    EXPECT_FALSE(QFile::exists(record));
    EXPECT_EQ(Starts(id), std::make_pair(0, 0));
}

// A bare program name is looked up on the PATH and started from the folder it was found in;
// a Windows program starts through Wine with the file in Wine's drive form.
TEST_F(StartFileTest, BareNamesFromThePathAndWindowsProgramsThroughWine)
{
    MakeDefaultEmulators();
    const QString image = WriteFile(QStringLiteral("My Games/Star Raiders.atr"));
    const int32_t id = AddRow(image, 1, QStringLiteral("2,0,0,2"));
    const QString bin = dir.filePath(QStringLiteral("path bin"));
    MakeProgram(QStringLiteral("path bin/atari800"));
    MakeProgram(QStringLiteral("path bin/wine"));
    const QString altirra = WriteFile(QStringLiteral("Windows Emu/Altirra.exe"));   // needs no execute bit
    (*gcolEmulators.item(QStringLiteral("1")))->Path = altirra;
    (*gcolEmulators.item(QStringLiteral("3")))->Path = QStringLiteral("atari800");
    const QByteArray oldPath = qgetenv("PATH");
    qputenv("PATH", bin.toUtf8() + ':' + oldPath);
    const auto restorePath = qScopeGuard([&oldPath] { qputenv("PATH", oldPath); });

    Start(id, QStringLiteral("12"));
    EXPECT_EQ(WaitForRecord(), (QStringList{bin, "-run", image, "-basic", "-pal"}));

    const QString drive = QStringLiteral("Z:") + QString(image).replace('/', '\\');
    const QString info = Start(id, QStringLiteral("1"));
    EXPECT_EQ(WaitForRecord(), (QStringList{dir.filePath("Windows Emu"), altirra, "/disk", drive, "/basic", "/pal"}));
    EXPECT_EQ(info, QStringLiteral("Profil: Altirra - Load disc ->  /disk \"") + drive + "\" /basic /pal");
    EXPECT_TRUE(boxes.isEmpty()) << boxes.join('\n').toStdString();

    // Without Wine the start says what is missing and leaves the emulator's path alone.
    qputenv("PATH", dir.filePath(QStringLiteral("empty")).toUtf8());
    EXPECT_EQ(Start(id, QStringLiteral("1")), QString());
    EXPECT_EQ(boxes, QStringList{"Windows-Programme starten mit Wine, doch Wine (wine) ist nicht installiert: " + altirra});
    EXPECT_EQ(boxTitles, QStringList{"Profil: Load disc"});
    EXPECT_EQ(boxStyles, QList<int>{vbExclamation});
    EXPECT_FALSE(QFile::exists(record));
    EXPECT_EQ(Starts(id), std::make_pair(2, 2));
}

// After a wizard that set up Atari++ alone, a .PRO image keeps Altirra's disc profile: the
// start's one message names the missing program and the file type's profile setting.
TEST_F(StartFileTest, MissingEmulatorOfTheFileTypesProfilSaysWhichSettingChoseIt)
{
    MakeDefaultEmulators();
    (*gcolEmulators.item(QStringLiteral("1")))->Path = QStringLiteral("Altirra.exe");
    gaExtProfil[4] = QStringLiteral("1");
    const int32_t id = AddRow(WriteFile(QStringLiteral("a.pro")), 5);
    QTimer closer;
    QObject::connect(&closer, &QTimer::timeout, [] {
        if (auto* editor = qobject_cast<QDialog*>(QApplication::activeModalWidget())) editor->reject();
    });
    closer.start(20);
    const QByteArray oldPath = qgetenv("PATH");
    qputenv("PATH", dir.filePath(QStringLiteral("empty")).toUtf8());
    const auto restorePath = qScopeGuard([&oldPath] { qputenv("PATH", oldPath); });
    EXPECT_EQ(Start(id), QString());
    ASSERT_EQ(boxes.size(), 1);
    EXPECT_TRUE(boxes[0].startsWith(QStringLiteral("Datei nicht gefunden: Altirra.exe\n\n"))) << boxes[0].toStdString();
    EXPECT_TRUE(boxes[0].endsWith(QStringLiteral("\nProfil für .PRO-Dateien (Extras > Optionen > Profilzuordnung): "
                                                 "Altirra - Load disc")))
        << boxes[0].toStdString();
    EXPECT_EQ(Starts(id), std::make_pair(0, 0));
}

// The BASIC profile of atari800 in settings from older versions holds "DOS-Path" for the user
// to replace: until then the start runs nothing, says what to enter where and offers the
// option's editor.
TEST_F(StartFileTest, UnreplacedDosPathStopsAndOffersTheProfilsEditor)
{
    MakeDefaultEmulators();
    (*gcolProfils.item(QStringLiteral("13")))->Name = QStringLiteral("Run basic program (Enter DOS Path first!)");
    (*gcolProfils.item(QStringLiteral("13")))->Options = QStringLiteral("\"DOS-Path\" -run \"<$filepath$>\"=@=1");
    const QString options = (*gcolProfils.item(QStringLiteral("13")))->Options;
    gaExtProfil[6] = QStringLiteral("13");
    const int32_t id = AddRow(WriteFile(QStringLiteral("prog.bas")), 7);
    QString editorTitle, editorText;
    QTimer closer;
    QObject::connect(&closer, &QTimer::timeout, [&] {
        if (auto* editor = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
            editorTitle = editor->windowTitle();
            if (auto* box = editor->findChild<QComboBox*>()) editorText = box->currentText();
            editor->reject();
        }
    });
    closer.start(20);
    for (const int answer : {int(vbNo), int(vbYes)}) {
        SCOPED_TRACE(answer);
        boxes.clear();
        boxStyles.clear();
        boxAnswer = answer;
        EXPECT_EQ(Start(id), QString());
        ASSERT_EQ(boxes.size(), 1);
        EXPECT_TRUE(boxes[0].contains(QStringLiteral("„Atari800(Win) - Run basic program (Enter DOS Path first!)“")))
            << boxes[0].toStdString();
        EXPECT_TRUE(boxes[0].contains(QStringLiteral("DOS-Diskettenabbild"))) << boxes[0].toStdString();
        EXPECT_EQ(boxStyles, QList<int>{vbQuestion | vbYesNo});
        EXPECT_EQ(editorTitle.isEmpty(), answer == vbNo);
    }
    EXPECT_EQ(editorTitle, QStringLiteral("Parameter"));
    EXPECT_EQ(editorText, QStringLiteral("\"DOS-Path\" -run \"<$filepath$>\""));
    EXPECT_EQ((*gcolProfils.item(QStringLiteral("13")))->Options, options);
    EXPECT_FALSE(QFile::exists(record));
    EXPECT_EQ(Starts(id), std::make_pair(0, 0));

    // With a DOS disk entered, the same profile starts.
    (*gcolProfils.item(QStringLiteral("13")))->Options = QStringLiteral("\"/disks/dos.atr\" -run \"<$filepath$>\"=@=1");
    boxes.clear();
    EXPECT_FALSE(Start(id).isEmpty());
    EXPECT_EQ(WaitForRecord().mid(1), (QStringList{"/disks/dos.atr", "-run", dir.filePath("prog.bas")}));
    EXPECT_TRUE(boxes.isEmpty()) << boxes.join('\n').toStdString();
}

// What Atari++ needs beyond its default profiles: its own BASIC for a BASIC program, the kind
// of a cartridge; a .PRO image, which it cannot read, and a cartridge of unknown kind stop
// with a message.
TEST_F(StartFileTest, AtariPlusPlusBasicProgramsCartridgesAndProImages)
{
    MakeDefaultEmulators();
    struct Case {
        const char* name;
        const char* file;
        int type;
        int size;
        QString profil;
        QString settings;   // iBasic, iModel, iOS, iVideo
        QStringList arguments;   // after the path; empty: not started
        const char* message;     // part of the message of a stop
    } const kCases[] = {
        {"BASIC program", "p.bas", 7, 100, "6", "Null,Null,Null,Null", {"-enable.1", "true", "-basictype", "BuiltIn", "-holdoption", "false"}, ""},
        {"BASIC program with BASIC off", "q.bas", 7, 100, "6", "1,Null,Null,2",
         {"-enable.1", "true", "-basictype", "Disabled", "-videomode", "PAL", "-holdoption", "false"}, ""},
        {"BASIC program with BASIC on", "r.bas", 7, 100, "6", "2,Null,Null,Null",
         {"-enable.1", "true", "-basictype", "BuiltIn", "-holdoption", "false"}, ""},
        {"XEX in the cartridge slot", "p.xex", 11, 8192, "7", "Null,Null,Null,Null", {}, "kein Steckmodul-Abbild"},
        {"disk image in the cartridge slot", "d.atr", 1, 16384, "7", "Null,Null,Null,Null", {}, "kein Steckmodul-Abbild"},
        {"tape in the cartridge slot", "t.cas", 4, 300, "7", "Null,Null,Null,Null", {}, "kein Steckmodul-Abbild"},
        {"BASIC program in the cartridge slot", "b.bas", 7, 100, "7", "Null,Null,Null,Null", {}, "kein Steckmodul-Abbild"},
        {"8 KB cartridge", "c8.rom", 10, 8192, "7", "Null,Null,Null,Null", {"-carttype", "8k"}, ""},
        {"16 KB cartridge with CART header", "c16.bin", 9, 16400, "7", "Null,Null,Null,Null", {"-carttype", "16k"}, ""},
        {"cartridge of unknown kind", "c5.bin", 9, 5000, "7", "Null,Null,Null,Null", {}, "-carttype xegs"},
        {"PRO image", "d.pro", 5, 100, "6", "Null,Null,Null,Null", {}, ".PRO"},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.name);
        boxes.clear();
        const QString path = WriteFile(QString::fromLatin1(c.file), QByteArray(c.size, '\0'));
        const int32_t id = AddRow(path, c.type, c.settings);
        const QString info = Start(id, c.profil);
        if (c.arguments.isEmpty()) {
            EXPECT_EQ(info, QString());
            ASSERT_EQ(boxes.size(), 1);
            EXPECT_TRUE(boxes[0].contains(QLatin1String(c.message))) << boxes[0].toStdString();
            EXPECT_EQ(Starts(id), std::make_pair(0, 0));
            continue;
        }
        const QStringList got = WaitForRecord();
        ASSERT_GE(got.size(), 3);
        EXPECT_EQ(got[2], path);
        EXPECT_EQ(got.mid(3), c.arguments);
        EXPECT_TRUE(boxes.isEmpty()) << boxes.join('\n').toStdString();
    }
    // A kind the file's extra parameters name is left to them.
    const QString other = WriteFile(QStringLiteral("x.bin"), QByteArray(32768, '\0'));
    Start(AddRow(other, 9, QStringLiteral("Null,Null,Null,Null"), QStringLiteral("'-carttype xegs'")), QStringLiteral("7"));
    EXPECT_EQ(WaitForRecord().mid(1), (QStringList{"-cartpath", other, "-carttype", "xegs"}));
}

// A Windows program named bare is found on the PATH without an execute bit; a file whose
// Linux name cannot be written in Wine's drive form is refused by name.
TEST_F(StartFileTest, WindowsProgramWithoutExecuteBitAndNamesWineCannotTake)
{
    MakeDefaultEmulators();
    const QString bin = dir.filePath(QStringLiteral("path bin"));
    MakeProgram(QStringLiteral("path bin/wine"));
    WriteFile(QStringLiteral("path bin/Altirra.exe"));   // unpacked from a ZIP: no execute bit
    (*gcolEmulators.item(QStringLiteral("1")))->Path = QStringLiteral("Altirra.exe");
    const QByteArray oldPath = qgetenv("PATH");
    qputenv("PATH", bin.toUtf8() + ':' + oldPath);
    const auto restorePath = qScopeGuard([&oldPath] { qputenv("PATH", oldPath); });
    bool editorOpened = false;   // the emulator editor would ask for a path that is right
    QTimer closer;
    QObject::connect(&closer, &QTimer::timeout, [&] {
        if (auto* editor = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
            editorOpened = true;
            editor->reject();
        }
    });
    closer.start(20);

    const QString image = WriteFile(QStringLiteral("games/a.atr"));
    Start(AddRow(image, 1), QStringLiteral("1"));
    EXPECT_EQ(WaitForRecord(), (QStringList{bin, bin + "/Altirra.exe", "/disk", "Z:" + QString(image).replace('/', '\\')}));
    EXPECT_TRUE(boxes.isEmpty()) << boxes.join('\n').toStdString();

    for (const char* name : {"games/back\\slash.atr", "games/say \"hi\".atr"}) {
        SCOPED_TRACE(name);
        boxes.clear();
        const QString odd = WriteFile(QString::fromUtf8(name));
        const int32_t id = AddRow(odd, 1);
        EXPECT_EQ(Start(id, QStringLiteral("1")), QString());
        ASSERT_EQ(boxes.size(), 1);
        EXPECT_TRUE(boxes[0].endsWith(odd)) << boxes[0].toStdString();
        EXPECT_EQ(Starts(id), std::make_pair(0, 0));
    }
    EXPECT_FALSE(QFile::exists(record));
    EXPECT_FALSE(editorOpened);
}

TEST_F(StartFileTest, ArchivedFileStartsFromItsExtractedCopyEveryTime)
{
    MakeDefaultEmulators();
    WriteFile(QStringLiteral("src/GAMES/Blue Max.atr"), QByteArray("\x96\x02", 2) + "image");
    const QString zip = dir.filePath(QStringLiteral("archives/Old Games.zip"));
    QDir().mkpath(QFileInfo(zip).absolutePath());
    ASSERT_EQ(RunAndWait(QStringLiteral("7za"), {"a", "-tzip", zip, "GAMES"}, 20000, false, nullptr,
                         dir.filePath(QStringLiteral("src"))), 0);
    ASSERT_TRUE(QFile::exists(zip));
    const int32_t id = AddRow(zip, 1, QStringLiteral("Null,Null,Null,Null"), QStringLiteral("Null"),
                              QStringLiteral("GAMES\\Blue Max.atr"));

    std::shared_ptr<clsFileInfo> file;
    for (int run = 1; run <= 2; ++run) {
        SCOPED_TRACE(run);
        QString profil = QStringLiteral("9");
        const QString info = StartFile(id, profil, file);
        ASSERT_FALSE(info.isEmpty()) << boxes.join('\n').toStdString();
        const QStringList got = WaitForRecord();
        ASSERT_EQ(got.size(), 2);
        EXPECT_TRUE(got[1].startsWith(gtTempPath + QLatin1Char('/'))) << got[1].toStdString();
        EXPECT_TRUE(got[1].endsWith(QStringLiteral("/Blue Max.atr")));
        EXPECT_TRUE(info.endsWith(QLatin1Char('"') + got[1] + QLatin1Char('"')));
        ASSERT_TRUE(file);
        EXPECT_EQ(file->Path, zip);   // the caller's record keeps the archive
    }
    EXPECT_EQ(Starts(id), std::make_pair(2, 2));
}

TEST_F(StartFileTest, ViewersAndDocuments)
{
    const QString text = WriteFile(QStringLiteral("docs/read me.txt"));
    const QString pdf = WriteFile(QStringLiteral("docs/manual.pdf"));
    const int32_t textID = AddRow(text, 18);
    const int32_t pdfID = AddRow(pdf, 19);

    gtEditor = MakeProgram(QStringLiteral("bin/my.viewer"));
    EXPECT_EQ(Start(textID), QStringLiteral("MY: read me.txt"));
    EXPECT_EQ(WaitForRecord().mid(1), QStringList{text});

    // Without a viewer (or with the old platform's default) text and PDF files go to the
    // desktop's default program.
    const QString opener = MakeProgram(QStringLiteral("bin/xdg-open"));
    const QByteArray oldPath = qgetenv("PATH");
    qputenv("PATH", QFileInfo(opener).absolutePath().toUtf8() + ':' + oldPath);
    gtEditor = QStringLiteral("Notepad");
    EXPECT_EQ(Start(textID), QStringLiteral("xdg-open: read me.txt"));
    EXPECT_EQ(WaitForRecord().mid(1), QStringList{text});
    EXPECT_EQ(Start(pdfID), QStringLiteral("manual.pdf"));
    EXPECT_EQ(WaitForRecord().mid(1), QStringList{pdf});
    qputenv("PATH", oldPath);
    EXPECT_EQ(Starts(textID), std::make_pair(2, 2));
    EXPECT_EQ(Starts(pdfID), std::make_pair(1, 1));

    // A missing viewer (by path or by a name on no folder of the PATH) and one that cannot
    // run are reported with the setting that names it, and not recorded.
    const QString setting = QStringLiteral("Extras > Optionen, Seite „Datenbank“, Feld „Text-Viewer“");
    for (const QString& missing : {dir.filePath(QStringLiteral("bin/gone")), QStringLiteral("no-such-viewer")}) {
        gtEditor = missing;
        boxes.clear();
        EXPECT_EQ(Start(textID), QString());
        ASSERT_EQ(boxes.size(), 1);
        EXPECT_TRUE(boxes[0].startsWith("Datei nicht gefunden: " + gtEditor)) << boxes[0].toStdString();
        EXPECT_TRUE(boxes[0].contains(setting)) << boxes[0].toStdString();
    }
    gtEditor = WriteFile(QStringLiteral("bin/not-executable"));
    boxes.clear();
    EXPECT_EQ(Start(textID), QString());
    ASSERT_EQ(boxes.size(), 1);
    // The system's own words come after a sentence in the program's language.
    EXPECT_TRUE(boxes[0].startsWith(QStringLiteral("Start-Error: Das Programm konnte nicht gestartet werden: ") + gtEditor))
        << boxes[0].toStdString();
    EXPECT_EQ(boxes[0].count(gtEditor), 1) << boxes[0].toStdString();   // the program is named once
    EXPECT_TRUE(boxes[0].contains(setting)) << boxes[0].toStdString();
    EXPECT_EQ(Starts(textID), std::make_pair(2, 2));
}

// The desktop's opener starts, then finds no program for the file (exit code 3) or sees the
// program fail (4) at once: the user learns that the file did not open and that the desktop's
// default program for such files is the setting to change, and no start is recorded. An
// opener that outlasts its first moment has handed the file over: the start is recorded, and
// the exit status it passes on later (without a desktop environment it waits for the viewer)
// is the viewer's, of which nothing is said.
TEST_F(StartFileTest, DocumentTheDesktopCannotOpenSaysWhichSettingToChange)
{
    const QString pdf = WriteFile(QStringLiteral("docs/manual.pdf"));
    const QString picture = WriteFile(QStringLiteral("docs/title.png"));
    const QString text = WriteFile(QStringLiteral("docs/read me.txt"));
    const QString opener = dir.filePath(QStringLiteral("bin/xdg-open"));
    ASSERT_TRUE(QDir().mkpath(QFileInfo(opener).absolutePath()));
    const auto writeOpener = [&](const QByteArray& script) { WriteScript(opener, script); };
    const QByteArray oldPath = qgetenv("PATH");
    qputenv("PATH", QFileInfo(opener).absolutePath().toUtf8() + ':' + oldPath);
    const auto restorePath = qScopeGuard([&oldPath] { qputenv("PATH", oldPath); });
    const auto saysWhatAndWhere = [this](const QString& path) {
        ASSERT_EQ(boxes.size(), 1);
        EXPECT_TRUE(boxes[0].startsWith(QStringLiteral("Die Datei konnte nicht geöffnet werden: ") + path))
            << boxes[0].toStdString();
        EXPECT_TRUE(boxes[0].contains(QStringLiteral("Standardprogramm für diese Art Datei")))
            << boxes[0].toStdString();
        EXPECT_TRUE(boxes[0].contains(QStringLiteral("Einstellungen Ihres Desktops"))) << boxes[0].toStdString();
    };

    writeOpener("echo \"no method available for opening '$1'\" >&2\nexit 3\n");
    gtEditor.clear();   // text files go to the desktop as well
    for (const QString& path : {pdf, picture, text}) {
        SCOPED_TRACE(path.toStdString());
        boxes.clear();
        const int32_t id = AddRow(path, path == pdf ? 19 : path == picture ? 20 : 18);
        EXPECT_EQ(Start(id), QString());
        saysWhatAndWhere(path);
        EXPECT_TRUE(boxes[0].contains(QStringLiteral("Der Desktop kennt kein Programm für diese Art Datei.")));
        // A text file can go to the program's own viewer as well: its setting is named too.
        EXPECT_EQ(boxes[0].contains(QStringLiteral("Extras > Optionen, Seite „Datenbank“, Feld „Text-Viewer“")), path == text)
            << boxes[0].toStdString();
        EXPECT_EQ(Starts(id), std::make_pair(0, 0));
    }

    // The program fails within the opener's first moment.
    writeOpener("exit 4\n");
    boxes.clear();
    const int32_t failing = AddRow(picture, 20);
    EXPECT_EQ(Start(failing), QString());
    saysWhatAndWhere(picture);
    EXPECT_TRUE(boxes[0].contains(QStringLiteral("Fehler 4"))) << boxes[0].toStdString();
    EXPECT_EQ(Starts(failing), std::make_pair(0, 0));

    // An opener that waits for the viewer it started, which ends with an error minutes later
    // (here in under two seconds): the start stands and no message follows.
    const QString ended = dir.filePath(QStringLiteral("opener-ended"));
    writeOpener("sleep 1.5\ntouch '" + ended.toUtf8() + "'\nexit 4\n");
    boxes.clear();
    const int32_t id = AddRow(pdf, 19);
    EXPECT_EQ(Start(id), QStringLiteral("manual.pdf"));
    EXPECT_EQ(Starts(id), std::make_pair(1, 1));
    QDeadlineTimer deadline(30000);
    while (!QFileInfo::exists(ended) && !deadline.hasExpired()) {
        QCoreApplication::processEvents();
        QThread::msleep(20);
    }
    ASSERT_TRUE(QFileInfo::exists(ended));
    // The opener's end reaches the program through the event loop.
    QDeadlineTimer settle(500);
    while (!settle.hasExpired()) {
        QCoreApplication::processEvents();
        QThread::msleep(20);
    }
    EXPECT_TRUE(boxes.isEmpty()) << boxes.join('\n').toStdString();
    EXPECT_EQ(Starts(id), std::make_pair(1, 1));
}

TEST_F(StartFileTest, SecondStartWhileBusyDoesNothing)
{
    MakeDefaultEmulators();
    (*gcolProfils.item(QStringLiteral("9")))->Options = QStringLiteral("<$input$>=@=1");
    const int32_t id = AddRow(WriteFile(QStringLiteral("a.atr")), 1);
    QString nested = QStringLiteral("not called");
    SetInputTextHook([&](const QString&, const QString&, const QString&) {
        nested = Start(id, QStringLiteral("9"));
        return QStringLiteral("v");
    });
    Start(id, QStringLiteral("9"));
    EXPECT_EQ(nested, QString());
    EXPECT_EQ(WaitForRecord().mid(1), QStringList{"v"});
    EXPECT_EQ(Starts(id), std::make_pair(1, 1));
}

// What each emulator needs to start a tape, a BASIC program and a cartridge, with the profile
// its wizard assigns to the file type: Atari++ boots a tape from drive 1, atari800 without its
// SIO patch; atari800 runs a BASIC program by itself and is told the kind of a plain cartridge.
TEST_F(StartFileTest, WizardProfilesStartTapesBasicProgramsAndCartridges)
{
    MakeDefaultEmulators();
    struct Case {
        const char* name;
        int emulator;
        const char* file;
        int type;
        int size;
        QString param;           // the file's extra parameters (SQL)
        QStringList arguments;   // with "<f>" for the file's path
    } const kCases[] = {
        {"Atari++ tape", 2, "tape.cas", 4, 300, "Null", {"-image.1", "<f>", "-enable.1", "true"}},
        {"atari800 tape", 3, "tape.cas", 4, 300, "Null", {"-nopatch", "-boottape", "<f>"}},
        {"atari800 BASIC program", 3, "prog.bas", 7, 100, "Null", {"-run", "<f>"}},
        {"atari800 8 KB ROM", 3, "c8.rom", 10, 8192, "Null", {"-cart", "<f>", "-cart-type", "1"}},
        {"atari800 16 KB BIN", 3, "c16.bin", 9, 16384, "Null", {"-cart", "<f>", "-cart-type", "2"}},
        {"atari800 8 KB BIN", 3, "c8.bin", 9, 8192, "Null", {"-cart", "<f>", "-cart-type", "1"}},
        {"atari800 CART image names its kind", 3, "c16h.bin", 9, 16400, "Null", {"-cart", "<f>"}},
        {"atari800 kind in the extra parameters", 3, "c8p.rom", 10, 8192, "'-cart-type 3'", {"-cart", "<f>", "-cart-type", "3"}},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.name);
        boxes.clear();
        const QString path = WriteFile(QStringLiteral("files/") + QString::fromLatin1(c.file), QByteArray(c.size, '\0'));
        const int32_t id = AddRow(path, c.type, QStringLiteral("Null,Null,Null,Null"), c.param);
        const std::optional<int> profil = DefaultProfilForFileType(c.emulator, c.type - 1);
        ASSERT_TRUE(profil);
        EXPECT_FALSE(Start(id, QString::number(*profil)).isEmpty()) << boxes.join('\n').toStdString();
        QStringList expected = c.arguments;
        expected.replaceInStrings(QStringLiteral("<f>"), path);
        EXPECT_EQ(WaitForRecord().mid(1), expected);
        EXPECT_TRUE(boxes.isEmpty()) << boxes.join('\n').toStdString();
        EXPECT_EQ(Starts(id), std::make_pair(1, 1));
    }
}

// Without real ROM images the emulators run neither another OS than their built-in XL one nor
// (atari800) a BASIC program: where their own configuration names no such image, the start
// says so, starts nothing and records nothing. A configuration that names it lets it start.
TEST_F(StartFileTest, StartsThatNeedRealRomsSayWhichWhereTheConfigurationNamesNone)
{
    MakeDefaultEmulators();
    const QString image = WriteFile(QStringLiteral("a.atr"));
    const QString basic = WriteFile(QStringLiteral("p.bas"), QByteArray(20, '\0'));
    const QString rom = WriteFile(QStringLiteral("roms/real.rom"), QByteArray(8192, '\x55'));
    const QString a800cfg = dir.filePath(QStringLiteral("emu 3/.atari800.cfg"));
    const QString appConf = dir.filePath(QStringLiteral("home/.atari++.conf"));
    struct Case {
        const char* name;
        QString path;
        int type;
        QString settings;   // iBasic, iModel, iOS, iVideo
        QString profil;
        QString a800;       // the text of atari800's configuration (none when empty)
        QString app;        // the text of Atari++'s configuration in the home folder (none when empty)
        const char* missing;   // in the message; "" when the file starts
    } const kCases[] = {
        {"atari800 BASIC without a BASIC image", basic, 7, "Null,Null,Null,Null", "13", "ROM_BASIC_C=\nROM_OS_A_NTSC=\n", "",
         "Atari BASIC"},
        {"atari800 BASIC with the built-in BASIC asked for", basic, 7, "Null,Null,Null,Null", "13",
         "ROM_BASIC_C=" + rom + "\nBASIC_VERSION=ALTIRRA\n", "", "Atari BASIC"},
        {"atari800 BASIC with a BASIC image", basic, 7, "Null,Null,Null,Null", "13", "ROM_BASIC_C=" + rom + "\n", "", ""},
        {"atari800 OS-A without its image", image, 1, "Null,1,1,Null", "9", "ROM_OS_A_NTSC=\n", "", "OS-A"},
        {"atari800 OS-B with an image named that is not there", image, 1, "Null,1,2,Null", "9",
         "ROM_OS_B_NTSC=" + dir.filePath("roms/gone.rom") + "\n", "", "OS-B"},
        {"atari800 OS-A with its image", image, 1, "Null,1,1,Null", "9", "ROM_OS_A_NTSC=" + rom + "\n", "", ""},
        {"atari800 OS-B on a 400/800 of its configuration", image, 1, "Null,Null,2,Null", "9",
         "MACHINE_TYPE=Atari 400/800\nROM_OS_B_NTSC=\n", "", "OS-B"},
        {"atari800 XL ignores the 400/800's OS", image, 1, "Null,2,1,Null", "9", "ROM_OS_A_NTSC=\n", "", ""},
        {"Atari++ OS-XL without its image", image, 1, "Null,3,3,Null", "6", "", "", "OS-XL"},
        {"Atari++ 400/800 takes OS-A or OS-B", image, 1, "Null,1,Null,Null", "6", "", "Machine = 800\n", "OS-A / OS-B"},
        {"Atari++ OS-XL with its image", image, 1, "Null,3,3,Null", "6", "", "OsXLPath = " + rom + "\n", ""},
        {"Atari++ built-in OS of the XE", image, 1, "Null,3,6,Null", "6", "", "", ""},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.name);
        QFile::remove(a800cfg);
        QFile::remove(appConf);
        if (!c.a800.isEmpty()) WriteFile(QStringLiteral("emu 3/.atari800.cfg"), c.a800.toUtf8());
        if (!c.app.isEmpty()) WriteFile(QStringLiteral("home/.atari++.conf"), c.app.toUtf8());
        boxes.clear();
        boxStyles.clear();
        const int32_t id = AddRow(c.path, c.type, c.settings);
        const QString info = Start(id, c.profil);
        if (*c.missing) {
            EXPECT_EQ(info, QString());
            ASSERT_EQ(boxes.size(), 1);
            EXPECT_TRUE(boxes[0].contains(QStringLiteral("ROM-Abbild: ") + QString::fromUtf8(c.missing) + "\n"))
                << boxes[0].toStdString();
            EXPECT_TRUE(boxes[0].contains(c.a800.isEmpty() ? QStringLiteral(".atari++.conf") : a800cfg))
                << boxes[0].toStdString();
            // The setting to fill in, spelt as the emulator spells it.
            if (QString::fromUtf8(c.missing) == QLatin1String("OS-XL"))
                EXPECT_TRUE(boxes[0].contains(QStringLiteral("(OsXLPath)"))) << boxes[0].toStdString();
            EXPECT_EQ(boxStyles, QList<int>{vbExclamation});
            EXPECT_EQ(Starts(id), std::make_pair(0, 0));
            EXPECT_FALSE(QFile::exists(record));
        } else {
            EXPECT_FALSE(info.isEmpty()) << boxes.join('\n').toStdString();
            EXPECT_FALSE(WaitForRecord().isEmpty());
            EXPECT_TRUE(boxes.isEmpty()) << boxes.join('\n').toStdString();
            EXPECT_EQ(Starts(id), std::make_pair(1, 1));
        }
    }
}

// Before atari800's first run it has no configuration and looks for ROM images itself: in its
// data folder (its own folder when it may write there), the system's folder and its own folder
// with "rom" and "ROM" below it. Where none of them holds a file of a BASIC image's size, it
// can only use its built-in BASIC, which never runs the program: the start says so, naming the
// folders, and starts nothing. A file of that size there lets atari800 decide.
TEST_F(StartFileTest, AtariBasicBeforeAtari800sFirstRunNeedsAnImageInItsRomFolders)
{
    MakeDefaultEmulators();
    const QString basic = WriteFile(QStringLiteral("p.bas"), QByteArray(20, '\0'));
    const QString folder = dir.filePath(QStringLiteral("emu 3"));
    ASSERT_TRUE(QFile::remove(folder + QStringLiteral("/rom/ataribas.rom")));
    WriteFile(QStringLiteral("emu 3/rom/notes.txt"), QByteArray(100, 'x'));
    WriteFile(QStringLiteral("home/basic.rom"), QByteArray(8192, '\x55'));   // not searched: atari800's folder is writable
    const int32_t id = AddRow(basic, 7);

    EXPECT_EQ(Start(id, QStringLiteral("13")), QString());
    ASSERT_EQ(boxes.size(), 1);
    EXPECT_TRUE(boxes[0].contains(QStringLiteral("ROM-Abbild: Atari BASIC\n"))) << boxes[0].toStdString();
    EXPECT_TRUE(boxes[0].contains(folder + QStringLiteral(", /usr/share/atari800, ") + folder + QStringLiteral("/rom, ")
                                  + folder + QStringLiteral("/ROM")))
        << boxes[0].toStdString();
    EXPECT_FALSE(boxes[0].contains(QStringLiteral(".atari++.conf"))) << boxes[0].toStdString();
    EXPECT_EQ(boxStyles, QList<int>{vbExclamation});
    EXPECT_EQ(Starts(id), std::make_pair(0, 0));
    EXPECT_FALSE(QFile::exists(record));

    for (const char* image : {"emu 3/ROM/ATARIBAS.ROM", "emu 3/rom/basic.rom", "emu 3/basic c.rom"}) {
        SCOPED_TRACE(image);
        const QString path = WriteFile(QString::fromLatin1(image), QByteArray(8192, '\x55'));
        boxes.clear();
        EXPECT_FALSE(Start(id, QStringLiteral("13")).isEmpty()) << boxes.join('\n').toStdString();
        EXPECT_TRUE(boxes.isEmpty()) << boxes.join('\n').toStdString();
        EXPECT_FALSE(WaitForRecord().isEmpty());
        QFile::remove(path);
        QFile::remove(record);
    }
}

// An emulator that ends at once with an error status has not started the file: the start
// shows its last words and records nothing. One that runs on, or ends well, is recorded.
// Atari++ reads no listed BASIC program, which the start says before starting it.
TEST_F(StartFileTest, EmulatorThatEndsAtOnceWithAnErrorSaysWhyAndIsNotRecorded)
{
    MakeDefaultEmulators();
    const QString emulator = dir.filePath(QStringLiteral("emu 2/emulator"));
    const QString image = WriteFile(QStringLiteral("a.atr"));
    const int32_t id = AddRow(image, 1);
    const auto writeEmulator = [&](const QByteArray& script) { WriteScript(emulator, script); };

    writeEmulator("echo 'Atari++ starting'\necho 'Failure: invalid parameter:' >&2\necho 'file is not an xfd image file' >&2\n"
                  "exit 10\n");
    EXPECT_EQ(Start(id, QStringLiteral("6")), QString());
    ASSERT_EQ(boxes.size(), 1);
    EXPECT_TRUE(boxes[0].contains(QStringLiteral("Fehler 10"))) << boxes[0].toStdString();
    EXPECT_TRUE(boxes[0].contains(emulator)) << boxes[0].toStdString();
    EXPECT_TRUE(boxes[0].contains(QStringLiteral("Failure: invalid parameter:\nfile is not an xfd image file")))
        << boxes[0].toStdString();
    EXPECT_EQ(Starts(id), std::make_pair(0, 0));

    boxes.clear();
    writeEmulator("exit 0\n");
    EXPECT_FALSE(Start(id, QStringLiteral("6")).isEmpty());
    writeEmulator("sleep 3\nexit 1\n");
    EXPECT_FALSE(Start(id, QStringLiteral("6")).isEmpty());
    EXPECT_TRUE(boxes.isEmpty()) << boxes.join('\n').toStdString();
    EXPECT_EQ(Starts(id), std::make_pair(2, 2));

    // A listed BASIC program for Atari++ is refused before the start, tokens are started.
    MakeProgram(QStringLiteral("emu 2/emulator"));
    const int32_t listed = AddRow(WriteFile(QStringLiteral("list.bas"), "10 PRINT 1\x9b"), 7);
    EXPECT_EQ(Start(listed, QStringLiteral("6")), QString());
    ASSERT_EQ(boxes.size(), 1);
    EXPECT_TRUE(boxes[0].startsWith(QStringLiteral("Atari++ lädt nur gespeicherte (tokenisierte) BASIC-Programme; "
                                                   "„list.bas“")))
        << boxes[0].toStdString();
    EXPECT_EQ(Starts(listed), std::make_pair(0, 0));
    EXPECT_FALSE(QFile::exists(record));
    const int32_t saved = AddRow(WriteFile(QStringLiteral("saved.bas"), QByteArray(20, '\0')), 7);
    EXPECT_FALSE(Start(saved, QStringLiteral("6")).isEmpty());
    EXPECT_FALSE(WaitForRecord().isEmpty());
}

// A file's own parameters get their placeholders expanded as a profile's options do, and the
// file's BASIC setting is kept: a profile's switch that says otherwise gives way.
TEST_F(StartFileTest, FileParametersWithPlaceholdersAndTheFilesOwnBasicChoice)
{
    MakeDefaultEmulators();
    const QString bas = WriteFile(QStringLiteral("My Progs/prog.bas"), QByteArray(20, '\0'));
    struct Case {
        const char* name;
        QString profil;
        QString settings;
        QString param;
        QStringList arguments;
    } const kCases[] = {
        {"picked file parameter", "12", "Null,Null,Null,Null", "'-tape \"<$Filepath$>\"'", {"-basic", "-run", bas, "-tape", bas}},
        {"Altirra BASIC program with BASIC off", "5", "1,Null,Null,Null", "Null", {"Z:" + QString(bas).replace('/', '\\'), "/nobasic"}},
        {"Altirra BASIC program with BASIC on", "5", "2,Null,Null,Null", "Null", {"/basic", "Z:" + QString(bas).replace('/', '\\')}},
        {"Altirra cartridge profile with BASIC on", "2", "2,Null,Null,Null", "Null", {"/cart", "Z:" + QString(bas).replace('/', '\\'), "/basic"}},
        {"atari800 profile switch gives way", "12", "1,Null,Null,Null", "Null", {"-run", bas, "-nobasic"}},
    };
    (*gcolProfils.item(QStringLiteral("12")))->Options = QStringLiteral("-basic=@=1@@@-run \"<$filepath$>\"=@=1");
    const QString bin = dir.filePath(QStringLiteral("path bin"));
    MakeProgram(QStringLiteral("path bin/wine"));
    (*gcolEmulators.item(QStringLiteral("1")))->Path = WriteFile(QStringLiteral("win/Altirra.exe"));
    const QByteArray oldPath = qgetenv("PATH");
    qputenv("PATH", bin.toUtf8() + ':' + oldPath);
    const auto restorePath = qScopeGuard([&oldPath] { qputenv("PATH", oldPath); });
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.name);
        const int32_t id = AddRow(bas, 7, c.settings, c.param);
        EXPECT_FALSE(Start(id, c.profil).isEmpty()) << boxes.join('\n').toStdString();
        QStringList got = WaitForRecord().mid(1);
        if (c.profil.toInt() <= 5) got = got.mid(1);   // Wine's first argument is Altirra itself
        EXPECT_EQ(got, c.arguments);
    }
    EXPECT_TRUE(boxes.isEmpty()) << boxes.join('\n').toStdString();
}

} // namespace
} // namespace tv
