// A user's road through the real program parts: a new catalogue, a folder imported, the
// category and start-history trees over it, files started, the catalogue compacted and
// reopened, the folder imported again.

#include "catalogue/core/frminputbox.h"
#include "catalogue/core/modatari.h"
#include "catalogue/core/moddatabase.h"
#include "catalogue/core/modglobals.h"
#include "catalogue/core/modfiles.h"
#include "catalogue/core/modmain.h"
#include "catalogue/emulators/modemulator.h"
#include "catalogue/emulators/modstart.h"
#include "catalogue/import/clsfilemanager.h"
#include "catalogue/tree/ctreeitem.h"
#include "catalogue/tree/ctreelevels.h"
#include "catalogue/tree/modsqltree.h"
#include "catalogue/tree/usertree.h"
#include "platform/component/propertybag.h"
#include "platform/db/recordset.h"
#include "platform/gui/msgbox.h"
#include "platform/system/process.h"
#include "tests/catalogue_rows.h"
#include "standin.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace tv {
namespace {

using Rows = std::vector<QStringList>;

// Lists as standard texts, one per line or row (fields joined by " | "), so that a failure
// prints them readably.
std::vector<std::string> Shown(const QStringList& lines)
{
    std::vector<std::string> out;
    for (const QString& line : lines) out.push_back(line.toStdString());
    return out;
}
std::vector<std::string> ShownRows(const Rows& rows)
{
    std::vector<std::string> out;
    for (const QStringList& row : rows) out.push_back(row.join(QStringLiteral(" | ")).toStdString());
    return out;
}

// The program as the main window sets it up: a program folder with the unpacker in its
// tools, the default emulators (each a stand-in script that records its arguments), the
// first-run default profile per file type, the one import engine, and hooks that answer
// every message box.
class CatalogueRoad : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        InitProgramPaths(dir.path());
        InitProgramValues();
        gtImportFiles = kDefaultImportFiles;
        gtSkipZipSize = kDefaultSkipZipSize;
        gtEditor = Stub(QStringLiteral("bin/viewer"));
        ASSERT_TRUE(QDir().mkpath(gtTempPath));
        ASSERT_TRUE(QDir().mkpath(gtToolsPath));
        ASSERT_TRUE(QFile::link(QStandardPaths::findExecutable(QStringLiteral("7za")), gtToolsPath + QStringLiteral("7za")));
        gcolEmulators.clear();
        gcolProfils.clear();
        giProfilCounter = 0;
        for (int type = 1; type <= 3; ++type)
            CreateDefaultEmulator(type, type, gcolEmulators, gcolProfils, true)->Path =
                Stub(QStringLiteral("emu %1/emulator").arg(type));
        gtProfilDefault = QStringLiteral("1");
        gaExtProfil = QStringList(11);
        for (int i = 0; i < 11; ++i)
            if (const auto profil = DefaultProfilForFileType(1, i)) gaExtProfil[i] = QString::number(*profil);
        SetMsgBoxHook([this](const QString& prompt, int, const QString&) {
            boxes << prompt;
            return int(vbOK);
        });
        SetInputTextHook([this](const QString& prompt, const QString&, const QString&) {
            boxes << prompt;
            return QString();
        });
        goFileManager = std::make_unique<clsFileManager>();
        QObject::connect(goFileManager.get(), &clsFileManager::ShowMessage,
                         [this](const QString& text, int type) { if (type != 0) messages << QString::number(type) + ' ' + text; });
    }

    void TearDown() override
    {
        SetMsgBoxHook(nullptr);
        SetInputTextHook(nullptr);
        goFileManager.reset();
        CloseDB();
        gtDBPath.clear();
        gcolEmulators.clear();
        gcolProfils.clear();
    }

    // A stand-in program that records its arguments.
    QString Stub(const QString& relative)
    {
        const QString path = dir.filePath(relative);
        EXPECT_TRUE(test::WriteStandIn(path, record));
        return path;
    }

    // The arguments the last started stand-in received.
    QStringList WaitForRecord() { return test::WaitForStandIn(record).mid(1); }

    // Starts an archived file and checks that the emulator got `option` and the file's
    // extracted copy below the temporary folder.
    void ExpectExtractedStart(const QString& name, const QString& option, const QString& tail)
    {
        EXPECT_FALSE(Start(name).isEmpty()) << boxes.join('\n').toStdString();
        const QStringList args = WaitForRecord();
        ASSERT_EQ(args.size(), 2);
        EXPECT_EQ(args[0].toStdString(), option.toStdString());
        EXPECT_TRUE(args[1].startsWith(gtTempPath + QLatin1Char('/'))) << args[1].toStdString();
        EXPECT_TRUE(args[1].endsWith(tail)) << args[1].toStdString();
    }

    QString Write(const QString& relative, const QByteArray& data)
    {
        const QString path = dir.filePath(relative);
        QDir().mkpath(QFileInfo(path).absolutePath());
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(data);
        return path;
    }

    // The folder a user adds: plain files of three types in two folders, and a ZIP holding a
    // disk image in a folder and a ZIP with a program inside.
    void MakeCollection()
    {
        const QByteArray atr = QByteArray("\x96\x02", 2) + QByteArray(398, 'a');
        Write(QStringLiteral("Bob's Atari/Star Raiders.atr"), atr);
        Write(QStringLiteral("Bob's Atari/Jumpman.xex"), "\xff\xff jumpman");
        Write(QStringLiteral("Bob's Atari/Docs/Read me.txt"), "read me");
        Write(QStringLiteral("src/inner/Inner.com"), "inner program");
        Write(QStringLiteral("src/outer/GAMES/Käfer Jagd.atr"), QByteArray("\x96\x02", 2) + QByteArray(398, 'b'));
        ASSERT_EQ(RunAndWait(QStringLiteral("7za"), {"a", "-tzip", dir.filePath("src/outer/MORE.ZIP"), "Inner.com"},
                             20000, false, nullptr, dir.filePath(QStringLiteral("src/inner"))), 0);
        ASSERT_EQ(RunAndWait(QStringLiteral("7za"), {"a", "-tzip", dir.filePath("Bob's Atari/Collection.zip"), "GAMES", "MORE.ZIP"},
                             20000, false, nullptr, dir.filePath(QStringLiteral("src/outer"))), 0);
    }

    // The add-folder job's walk: every file handed to the engine with the import-list
    // filter, every folder not beginning with "." walked in turn. The number of files visited.
    int AddDirectory(const QString& folder)
    {
        int visited = 0;
        const QFileInfoList entries =
            QDir(folder).entryInfoList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden, QDir::Name);
        for (const QFileInfo& entry : entries) {
            if (entry.isDir()) {
                if (!entry.fileName().startsWith(QLatin1Char('.'))) visited += AddDirectory(entry.filePath());
            } else {
                ++visited;
                goFileManager->LoadFile(entry.fileName(), entry.filePath(), clsFileManager::lfImportListOnly, QString(),
                                        false, 0);
            }
        }
        return visited;
    }

    // The rows of a query on the open catalogue, every value as text, Null as "<Null>".
    static Rows Query(const QString& sql)
    {
        bool ok = false;
        Rows rows = test::CatalogueRows(sql, &ok);
        EXPECT_TRUE(ok) << sql.toStdString() << ": " << (goDB ? goDB->LastError().description.toStdString() : "closed");
        return rows;
    }

    // Starts a catalogued file as a double click does: the start chooses the profile.
    QString Start(const QString& name)
    {
        QString where = QStringLiteral("tFile=") + SQLQuote(name);
        const int32_t id = LookupField(QStringLiteral("ID"), QStringLiteral("MainFiles"), where).toInt();
        EXPECT_NE(id, 0) << name.toStdString();
        QString profil;
        std::shared_ptr<clsFileInfo> file;
        return StartFile(id, profil, file);
    }

    QTemporaryDir dir;
    QString record = dir.filePath(QStringLiteral("record.txt"));
    QStringList boxes, messages;
};

// The level texts of the main window's tree: a single root row, then the categories or the
// days of the start history.
QString RootLevel(int icon, const QString& caption)
{
    return QStringLiteral("SELECT DISTINCT -1 AS ItemKey,-1 AS ParentKey,") + QString::number(icon) + QStringLiteral(" AS Icon,'")
           + QString(caption).replace(QLatin1Char('\''), QStringLiteral("''")) + QStringLiteral("' From Config");
}
const QString kCategories =
    QStringLiteral("SELECT ID AS ItemKey,-1 AS ParentKey,22 AS Icon, tCategory From Category order by tCategory");
// A day is keyed by the whole part of its date serial: clng would round every start after
// noon into the next day's key, so one day could show twice and a late start join the next.
const QString kHistoryDays =
    QStringLiteral("SELECT distinct(int(cDate(tsStarted))),-1,29,Format(tsStarted,'dd.MM.yyyy') from History")
    + QStringLiteral(" order by 1 desc");

// Every row of a tree, expanded, as "level text".
QStringList TreeRows(UserTree& tree)
{
    tree.ExpandAll();
    QStringList rows;
    for (int i = 0; i < tree.ItemCount(); ++i) {
        const auto item = tree.TreeItems(i);
        rows << QString::number(item->Level) + ' ' + item->Text;
    }
    return rows;
}

TEST_F(CatalogueRoad, ImportTreesStartsCompactingAndReimport)
{
    MakeCollection();
    const QString folder = dir.filePath(QStringLiteral("Bob's Atari"));
    const QString zip = dir.filePath(QStringLiteral("Bob's Atari/Collection.zip"));

    // A new catalogue, opened as the main window opens it.
    ASSERT_TRUE(QDir().mkpath(dir.filePath(QStringLiteral("db"))));
    const QString path = CreateDBFile(dir.filePath(QStringLiteral("db/Sammlung")));
    ASSERT_EQ(path.toStdString(), dir.filePath(QStringLiteral("db/Sammlung.MDB")).toStdString()) << boxes.join('\n').toStdString();
    ASSERT_TRUE(ConnectDB(path));
    gtDBPath = path;
    goFileManager->InitCount();
    goFileManager->InitSearch();

    EXPECT_EQ(AddDirectory(folder), 4);
    messages.sort();
    EXPECT_EQ(Shown(messages), Shown({"1 Käfer Jagd.atr", "1 Star Raiders.atr", "11 Jumpman.xex", "18 Read me.txt",
                                     "2 Inner.com"}))
        << boxes.join('\n').toStdString();
    const Rows catalogued = Query(QStringLiteral(
        "Select tFile, tPath, tUnpackPath, iFileType, lSize, lStartCount From MainFiles order by tFile"));
    EXPECT_EQ(ShownRows(catalogued), ShownRows(Rows{
                              {"Inner.com", zip, "MORE.ZIP\\Inner.com", "2", "13", "<Null>"},
                              {"Jumpman.xex", folder + "/Jumpman.xex", "<Null>", "11", "10", "<Null>"},
                              {"Käfer Jagd.atr", zip, "GAMES\\Käfer Jagd.atr", "1", "400", "<Null>"},
                              {"Read me.txt", folder + "/Docs/Read me.txt", "<Null>", "18", "7", "<Null>"},
                              {"Star Raiders.atr", folder + "/Star Raiders.atr", "<Null>", "1", "400", "<Null>"},
                          }));

    // Two categories, as the category window stores them.
    ASSERT_FALSE(goDB->Execute(QStringLiteral("Insert Into Category (ID, tCategory) Values (1, 'Spiele')")));
    ASSERT_FALSE(goDB->Execute(QStringLiteral("Insert Into Category (ID, tCategory) Values (2, 'Anleitungen')")));
    ASSERT_FALSE(goDB->Execute(QStringLiteral("Update MainFiles Set Category_ID=1 Where iFileType<>18")));
    ASSERT_FALSE(goDB->Execute(QStringLiteral("Update MainFiles Set Category_ID=2 Where iFileType=18")));

    // The main window's two trees over the open catalogue.
    QWidget window;
    auto* categories = new UserTree(&window);
    auto* history = new UserTree(&window);
    for (UserTree* tree : {categories, history}) {
        tree->ReadProperties(PropertyBag());
        tree->resize(200, 200);
        tree->setDataBase(goDB);
    }
    window.show();
    categories->levels()->Setup(RootLevel(9, QStringLiteral("Alle Kategorien")), kCategories);
    history->levels()->Setup(RootLevel(29, QStringLiteral("Zuletzt gestartet")), kHistoryDays);
    EXPECT_EQ(Shown(TreeRows(*categories)), Shown({"1 Alle Kategorien", "2 Anleitungen", "2 Spiele"}));
    EXPECT_EQ(Shown(TreeRows(*history)), Shown({"1 Zuletzt gestartet"}));

    // Star Raiders was started late yesterday and this morning; now an archived disk image
    // twice, a plain program and a text file once.
    const QDate day = QDate::currentDate();
    for (const QDateTime& at : {QDateTime(day.addDays(-1), QTime(23, 30)), QDateTime(day, QTime(9, 0))})
        ASSERT_FALSE(goDB->Execute(QStringLiteral("Insert Into History (MainFiles_ID, tsStarted) Select ID, ")
                                   + MakeSQLDate(at) + QStringLiteral(" From MainFiles Where tFile='Star Raiders.atr'")));
    for (int run = 1; run <= 2; ++run) {
        SCOPED_TRACE(run);
        ExpectExtractedStart(QStringLiteral("Käfer Jagd.atr"), QStringLiteral("/disk"), QStringLiteral("/GAMES/Käfer Jagd.atr"));
    }
    EXPECT_FALSE(Start(QStringLiteral("Jumpman.xex")).isEmpty());
    EXPECT_EQ(Shown(WaitForRecord()), Shown({"/run", folder + "/Jumpman.xex"}));
    EXPECT_EQ(Start(QStringLiteral("Read me.txt")).toStdString(), "VIEWER: Read me.txt");
    EXPECT_EQ(Shown(WaitForRecord()), Shown({folder + "/Docs/Read me.txt"}));
    EXPECT_TRUE(boxes.isEmpty()) << boxes.join('\n').toStdString();

    const QString today = day.toString(QStringLiteral("dd.MM.yyyy"));
    const QString yesterday = day.addDays(-1).toString(QStringLiteral("dd.MM.yyyy"));
    const QStringList days{"1 Zuletzt gestartet", "2 " + today, "2 " + yesterday};
    history->Requery();
    EXPECT_EQ(Shown(TreeRows(*history)), Shown(days));
    const Rows started = Query(QStringLiteral(
        "Select tFile, lStartCount, Format(tsLastStarted,'dd.MM.yyyy') From MainFiles Where lStartCount>0 order by tFile"));
    EXPECT_EQ(ShownRows(started), ShownRows(Rows{{"Jumpman.xex", "1", today}, {"Käfer Jagd.atr", "2", today}, {"Read me.txt", "1", today}}));
    const Rows historyRows = Query(QStringLiteral(
        "Select tFile, Count(*) From History Inner Join MainFiles On History.MainFiles_ID=MainFiles.ID group by tFile order by tFile"));
    EXPECT_EQ(ShownRows(historyRows), ShownRows(Rows{{"Jumpman.xex", "1"}, {"Käfer Jagd.atr", "2"}, {"Read me.txt", "1"}, {"Star Raiders.atr", "2"}}));

    // Shutdown with compacting: the catalogue is closed under the trees, which then let go.
    const Rows categoryRows = Query(QStringLiteral("Select ID, tCategory From Category order by ID"));
    const Rows everything = Query(QStringLiteral("Select * From MainFiles order by ID"));
    CloseDB();
    for (UserTree* tree : {categories, history}) tree->setDataBase(nullptr);
    ASSERT_TRUE(CompactDB()) << boxes.join('\n').toStdString();
    EXPECT_EQ(Shown(QDir(dir.filePath(QStringLiteral("db"))).entryList(QDir::Files, QDir::Name)),
              Shown({"Sammlung.MDB", "Sammlung.OLD"}));

    // The next session opens it again.
    ASSERT_TRUE(ConnectDB(path)) << boxes.join('\n').toStdString();
    goFileManager->InitCount();
    EXPECT_EQ(goFileManager->FileCount, 5);
    EXPECT_EQ(goFileManager->lStartFileID, 5);   // the view of new files starts empty
    EXPECT_EQ(ShownRows(Query(QStringLiteral("Select * From MainFiles order by ID"))), ShownRows(everything));
    EXPECT_EQ(ShownRows(Query(QStringLiteral("Select ID, tCategory From Category order by ID"))), ShownRows(categoryRows));
    for (UserTree* tree : {categories, history}) tree->setDataBase(goDB);
    categories->levels()->Setup(RootLevel(9, QStringLiteral("Alle Kategorien")), kCategories);
    history->levels()->Setup(RootLevel(29, QStringLiteral("Zuletzt gestartet")), kHistoryDays);
    EXPECT_EQ(Shown(TreeRows(*categories)), Shown({"1 Alle Kategorien", "2 Anleitungen", "2 Spiele"}));
    EXPECT_EQ(Shown(TreeRows(*history)), Shown(days));

    // Start-up emptied the temporary folder: the program inside the inner ZIP is unpacked afresh.
    ASSERT_TRUE(ShellFileOperation(gtTempPath + QStringLiteral("/*.*")));
    goFileManager->DeleteTempCol();
    ExpectExtractedStart(QStringLiteral("Inner.com"), QStringLiteral("/run"), QStringLiteral("/Inner.com"));
    history->Requery();
    EXPECT_EQ(Shown(TreeRows(*history)), Shown(days));
    EXPECT_EQ(ShownRows(Query(QStringLiteral("Select lStartCount From MainFiles Where tFile='Inner.com'"))), ShownRows(Rows{{"1"}}));

    // The same folder again: every file is known, nothing is added.
    messages.clear();
    goFileManager->InitSearch();
    EXPECT_EQ(AddDirectory(folder), 4);
    messages.sort();
    EXPECT_EQ(Shown(messages), Shown({"-1 Datei ist schon vorhanden: Collection.zip",
                                     "-1 Datei ist schon vorhanden: Jumpman.xex",
                                     "-1 Datei ist schon vorhanden: Read me.txt",
                                     "-1 Datei ist schon vorhanden: Star Raiders.atr"}));
    EXPECT_EQ(ShownRows(Query(QStringLiteral("Select Count(*) From MainFiles"))), ShownRows(Rows{{"5"}}));
    goFileManager->CountFiles();
    EXPECT_EQ(goFileManager->FileCount, 5);
    EXPECT_TRUE(boxes.isEmpty()) << boxes.join('\n').toStdString();
    for (UserTree* tree : {categories, history}) tree->setDataBase(nullptr);
}

} // namespace
} // namespace tv
