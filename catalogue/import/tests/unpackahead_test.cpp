// Archives unpacked ahead in the background: the import adds, reports and asks exactly what it
// does when it unpacks each archive as it reaches it, and a stopped job leaves nothing behind.

#include "archivefixtures.h"
#include "catalogue/core/moddatabase.h"
#include "catalogue/core/modglobals.h"
#include "catalogue/import/clsfilemanager.h"
#include "catalogue/import/frmprocess.h"
#include "catalogue/import/unpackahead.h"
#include "platform/gui/msgbox.h"
#include "platform/system/files.h"

#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QPushButton>
#include <QScopeGuard>
#include <QThread>
#include <functional>
#include <gtest/gtest.h>

namespace tv {

namespace {

// A folder of plain files and archives: nested ones, one over the size limit, one in a
// subfolder, and one RAR holding ZIP, 7Z and CAB members.
void MakeSource(const QString& root)
{
    test::WriteFile(root + "/A.XEX", "a");
    test::WriteStoredZip(root + "/B.ZIP", {{"GAME.XEX", "g"}, {"DISK.ATR", test::AtrImage()}, {"BAD.ATR", "xx"}});
    QByteArray inner;
    {
        QTemporaryDir scratch;
        test::WriteStoredZip(scratch.path() + "/INNER.ZIP", {{"X.COM", "x"}, {"Y.CAS", "y"}});
        inner = test::ReadFile(scratch.path() + "/INNER.ZIP");
    }
    test::WriteStoredZip(root + "/C.ZIP", {{"INNER.ZIP", inner}, {"Z.BAS", "z"}});
    std::vector<test::NestedMember> members;
    test::MakeNestedRar(root, &members);
    test::WriteStoredZip(root + "/D.ZIP", {{"BIG.BIN", QByteArray(1200 * 1024, 'b')}});  // over 1 MB
    test::WriteFile(root + "/E.XEX", "e");
    test::WriteStoredZip(root + "/sub/F.ZIP", {{"F.XEX", "f"}});
    test::WriteFile(root + "/sub/G.XEX", "g");
}

struct Outcome {
    QStringList log;    // messages and prompts, in order
    QStringList rows;   // the catalogue's rows
    QStringList temp;   // the temporary folder's tree
};

QStringList Tree(const QString& folder)
{
    QStringList paths;
    QDirIterator it(folder, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) paths << it.next().mid(folder.size());
    paths.sort();
    return paths;
}

// Imports `source` twice (the second time everything is there already) with a fresh engine
// and catalogue; `viaJob` runs the add-folder job, which unpacks ahead, else each file goes
// through LoadFile in the job's order, every archive unpacked when reached.
Outcome Import(const QString& source, bool viaJob, const std::function<void()>& tools)
{
    test::AppFolder app;
    gtSkipZipSize = QStringLiteral("1");
    tools();
    Outcome out;
    const auto clean = [&app](QString s) {
        return s.replace(gtTempPath, QStringLiteral("<temp>")).replace(app.path(), QStringLiteral("<app>"));
    };
    SetMsgBoxHook([&](const QString& prompt, int, const QString&) {
        // The job window's closing message sums up the log; the engine alone shows none.
        if (!prompt.startsWith(QStringLiteral("Nicht durchsuchte Archive: "))) out.log << QStringLiteral("box ") + clean(prompt);
        return 6;
    });
    clsFileManager fm;
    QObject::connect(&fm, &clsFileManager::ShowMessage,
                     [&](const QString& text, int type) { out.log << QString::number(type) + ' ' + clean(text); });
    fm.InitCount();
    for (int pass = 0; pass < 2; ++pass) {
        fm.InitSearch();
        if (viaJob) {
            test::LoadedJob(fm, frmProcess::actAddFolder, source)->Form_Activate();
        } else {
            const std::function<void(const QString&)> walk = [&](const QString& folder) {
                std::vector<FolderEntry> entries;
                ListFolder(folder, entries);
                for (const FolderEntry& e : entries) {
                    if (e.isFolder) walk(e.path);
                    else fm.LoadFile(e.name, e.path, clsFileManager::lfImportListOnly, QString(), false, 0);
                }
            };
            walk(source);
            fm.CommitBatch();
        }
    }
    auto rs = goDB->OpenRecordset(QStringLiteral("Select ID, tFile, tPath, tUnpackPath, iFileType, lSize From MainFiles order by ID"));
    for (; rs && !rs->IsEOF(); rs->MoveNext()) {
        QStringList row;
        for (int f = 0; f < rs->FieldCount(); ++f) row << rs->Fields(f).Value().text();
        out.rows << row.join('|');
    }
    out.temp = Tree(gtTempPath);
    return out;
}

// A stand-in 7za for unpacking; it lists through the real one (an empty script is kept as it
// is: a program that cannot be started).
void Replace7za(const QByteArray& script)
{
    const QString tool = gtToolsPath + QStringLiteral("7za");
    QFile::remove(tool);
    test::WriteFile(tool, script.isEmpty() ? script : test::ListingThroughReal7za(script));
    QFile::setPermissions(tool, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

} // namespace

TEST(UnpackAhead, ImportAddsReportsAndAsksAsWhenEachArchiveIsUnpackedWhenReached)
{
    QTemporaryDir source;
    MakeSource(source.path());
    const struct {
        const char* name;
        std::function<void()> tools;
    } cases[] = {
        {"system unpackers", [] {}},
        {"7za fails after writing half a member", [] { Replace7za("#!/bin/sh\necho half > GAME.XEX\nexit 2\n"); }},
        {"7za cannot be started", [] { Replace7za(""); QFile::setPermissions(gtToolsPath + "7za", QFile::ReadOwner); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const Outcome reached = Import(source.path(), false, c.tools);
        const Outcome ahead = Import(source.path(), true, c.tools);
        EXPECT_EQ(ahead.log, reached.log);
        EXPECT_EQ(ahead.rows, reached.rows);
        EXPECT_EQ(ahead.temp, reached.temp);
        EXPECT_FALSE(reached.rows.isEmpty());
    }
}

TEST(UnpackAhead, PassedArchivesAreRemovedAndOnlyExpectedOnesAreHandedOver)
{
    test::AppFolder app;
    const QString src = app.path("src");
    for (const char* name : {"X", "Y", "Z"})
        ASSERT_TRUE(test::WriteStoredZip(src + '/' + name + ".ZIP", {{QByteArray(name) + ".XEX", name}}));
    UnpackAhead ahead;
    {
        const UnpackAhead::Group group = ahead.Expect({{src + "/X.ZIP"}, {src + "/Y.ZIP"}, {src + "/Z.ZIP"}}, 10000);
        EXPECT_FALSE(ahead.Take(src + "/OTHER.ZIP"));
        const auto z = ahead.Take(src + "/Z.ZIP");
        ASSERT_TRUE(z);
        EXPECT_EQ(z->run, UnpackRun::Done);
        EXPECT_EQ(test::ReadFile(z->folder + "/Z.XEX"), "Z");
        // X and Y were passed by: gone, their folders too.
        EXPECT_FALSE(ahead.Take(src + "/X.ZIP"));
        EXPECT_FALSE(ahead.Take(src + "/Y.ZIP"));
        const QString zFolder = z->folder.mid(gtTempPath.size());
        EXPECT_EQ(Tree(gtTempPath), (QStringList{zFolder, zFolder + "/Z.XEX"}));
    }
    // A group's end removes what it still held.
    {
        const UnpackAhead::Group group = ahead.Expect({{src + "/X.ZIP"}}, 10000);
    }
    EXPECT_FALSE(ahead.Take(src + "/X.ZIP"));
    EXPECT_EQ(Tree(gtTempPath).size(), 2);  // Z's folder and its file, handed over before
}

TEST(UnpackAhead, CancelledJobStopsTheUnpackersAheadAndTheNextImportCompletesIt)
{
    test::AppFolder app;
    const QString root = app.path("in");
    ASSERT_TRUE(test::WriteFile(root + "/A.XEX", "a"));
    for (const char* name : {"B", "C", "D"})
        ASSERT_TRUE(test::WriteStoredZip(root + '/' + name + ".ZIP", {{QByteArray(name) + ".XEX", name}}));
    ASSERT_TRUE(test::WriteFile(root + "/E.XEX", "e"));
    // Unpackers that would take far longer than the test.
    Replace7za("#!/bin/sh\nsleep 600\nexit 2\n");
    clsFileManager fm;
    fm.InitCount();
    const auto add = [&](bool cancelAtFirst) {
        gcolWindows.clear();
        auto job = std::make_unique<frmProcess>();
        job->Action = frmProcess::actAddFolder;
        job->StartPath = root;
        job->mFileManager = &fm;
        job->Form_Load();
        const auto watch = QObject::connect(&fm, &clsFileManager::ShowMessage, job.get(), [&](const QString&, int type) {
            if (type > 0 && cancelAtFirst) job->findChild<QPushButton*>(QStringLiteral("cmdCancel"))->click();
        });
        job->Form_Activate();
        QObject::disconnect(watch);
        return job;
    };
    EXPECT_EQ(add(true)->StatusMsg, QStringLiteral("Hinzugefügte Dateien: 1"));
    EXPECT_EQ(Tree(gtTempPath), QStringList());

    QFile::remove(gtToolsPath + "7za");
    ASSERT_TRUE(QFile::link(QStringLiteral("/usr/bin/7za"), gtToolsPath + "7za"));
    EXPECT_EQ(add(false)->StatusMsg, QStringLiteral("Hinzugefügte Dateien: 4"));
    EXPECT_EQ(test::CatalogueRows("Select tFile From MainFiles order by tFile"),
              (std::vector<QStringList>{{"A.XEX"}, {"B.XEX"}, {"C.XEX"}, {"D.XEX"}, {"E.XEX"}}));
}

} // namespace tv

namespace tv {

namespace {

QStringList LogLines(const QString& log)
{
    return QString::fromUtf8(test::ReadFile(log)).split('\n', Qt::SkipEmptyParts);
}

// Whether the log names `text` within ten seconds (a loaded machine starts programs slowly).
bool LogNamesSoon(const QString& log, const QByteArray& text)
{
    QElapsedTimer waited;
    waited.start();
    while (!test::ReadFile(log).contains(text)) {
        if (waited.elapsed() > 10000) return false;
        QThread::msleep(10);
    }
    return true;
}

} // namespace

// The archives of a folder further on unpack while the files before them are added; a job
// stopped meanwhile leaves nothing of them behind, and the next one adds them.
TEST(UnpackAhead, ArchivesOfLaterFoldersUnpackWhileTheFilesBeforeThemAreAdded)
{
    if (UnpackAhead::RunningLimit() == 0) GTEST_SKIP() << "needs two cores";
    test::AppFolder app;
    const QString root = app.path("in");
    ASSERT_TRUE(test::WriteFile(root + "/A/F1.XEX", "1"));
    ASSERT_TRUE(test::WriteFile(root + "/A/F2.XEX", "2"));
    ASSERT_TRUE(test::WriteStoredZip(root + "/B/X.ZIP", {{"X.XEX", "x"}}));
    const QString log = app.path("log");
    Replace7za("#!/bin/sh\necho \"$2\" >> '" + log.toUtf8() + "'\nexec /usr/bin/7za \"$@\"\n");
    clsFileManager fm;
    fm.InitCount();
    for (const bool stop : {true, false}) {
        SCOPED_TRACE(stop ? "stopped at the first file" : "whole");
        QFile::remove(log);
        auto job = test::LoadedJob(fm, frmProcess::actAddFolder, root);
        bool first = true, unpacking = false;
        QObject::connect(&fm, &clsFileManager::ShowMessage, job.get(), [&](const QString&, int type) {
            if (type <= 0 || !std::exchange(first, false)) return;
            unpacking = LogNamesSoon(log, "/B/X.ZIP");
            if (stop) job->findChild<QPushButton*>(QStringLiteral("cmdCancel"))->click();
        });
        job->Form_Activate();
        EXPECT_TRUE(unpacking);
        if (stop) {
            EXPECT_EQ(job->StatusMsg, QStringLiteral("Hinzugefügte Dateien: 1"));
            EXPECT_EQ(Tree(gtTempPath), QStringList());
        } else {
            EXPECT_EQ(job->StatusMsg, QStringLiteral("Hinzugefügte Dateien: 2"));
        }
    }
    EXPECT_EQ(test::CatalogueRows("Select tFile, tUnpackPath From MainFiles order by ID"),
              (std::vector<QStringList>{{"F1.XEX", "<Null>"}, {"F2.XEX", "<Null>"}, {"X.XEX", "X.XEX"}}));
}

// An archive inside an archive unpacked ahead is unpacked right after it, while the import is
// still adding the files before them, and its members are catalogued as when the import
// unpacks it on reaching it.
TEST(UnpackAhead, ArchivesInsideAnArchiveUnpackRightAfterIt)
{
    if (UnpackAhead::RunningLimit() == 0) GTEST_SKIP() << "needs two cores";
    test::AppFolder app;
    const QString root = app.path("in");
    ASSERT_TRUE(test::WriteFile(root + "/A.XEX", "a"));
    QByteArray inner;
    {
        QTemporaryDir scratch;
        ASSERT_TRUE(test::WriteStoredZip(scratch.path() + "/INNER.ZIP", {{"I.COM", "i"}}));
        inner = test::ReadFile(scratch.path() + "/INNER.ZIP");
    }
    ASSERT_TRUE(test::WriteStoredZip(root + "/X.ZIP", {{"B.XEX", "b"}, {"SUB/INNER.ZIP", inner}}));
    const QString log = app.path("log");
    Replace7za("#!/bin/sh\necho \"$2\" >> '" + log.toUtf8() + "'\nexec /usr/bin/7za \"$@\"\n");
    clsFileManager fm;
    fm.InitCount();
    auto job = test::LoadedJob(fm, frmProcess::actAddFolder, root);
    bool first = true, unpacking = false;
    QObject::connect(&fm, &clsFileManager::ShowMessage, job.get(), [&](const QString&, int type) {
        if (type <= 0 || !std::exchange(first, false)) return;
        unpacking = LogNamesSoon(log, "/SUB/INNER.ZIP");
    });
    job->Form_Activate();
    EXPECT_TRUE(unpacking);
    EXPECT_EQ(job->StatusMsg, QStringLiteral("Hinzugefügte Dateien: 3"));
    EXPECT_EQ(test::CatalogueRows("Select tFile, tUnpackPath From MainFiles order by ID"),
              (std::vector<QStringList>{{"A.XEX", "<Null>"}, {"B.XEX", "B.XEX"}, {"I.COM", "SUB\\INNER.ZIP\\I.COM"}}));
    // Each unpacked once, and nothing left of the copies made ahead.
    EXPECT_EQ(LogLines(log).size(), 2);
    EXPECT_EQ(Tree(gtTempPath).filter(QStringLiteral("/.ahead")), QStringList());
}

// What was unpacked ahead gives way when the temporary folder lacks room for an archive the
// import unpacks itself (here one the user was asked about): the import adds and reports what
// it does when it unpacks each archive on reaching it.
TEST(UnpackAhead, ArchivesUnpackedAheadGiveWayToTheImportsOwnWhenRoomRunsShort)
{
    if (UnpackAhead::RunningLimit() == 0) GTEST_SKIP() << "needs two cores";
    QTemporaryDir source;
    ASSERT_TRUE(test::WriteStoredZip(source.path() + "/A.ZIP", {{"BIG.BIN", QByteArray(1200 * 1024, 'a')}}));
    ASSERT_TRUE(test::WriteStoredZip(source.path() + "/sub/B.ZIP", {{"B.BIN", QByteArray(600 * 1024, 'b')}}));
    // Room for 1.5 MB, less what lies in the temporary folder.
    SetFreeSpaceHook([] {
        qint64 used = 0;
        for (QDirIterator it(gtTempPath, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories); it.hasNext();) {
            it.next();
            used += it.fileInfo().size();
        }
        return 1536 * 1024 - used;
    });
    const auto restore = qScopeGuard([] { SetFreeSpaceHook(nullptr); });
    const Outcome reached = Import(source.path(), false, [] {});
    const Outcome ahead = Import(source.path(), true, [] {});
    EXPECT_EQ(ahead.log, reached.log);
    EXPECT_EQ(ahead.rows, reached.rows);
    EXPECT_EQ(ahead.temp, reached.temp);
    EXPECT_EQ(reached.rows.size(), 1);
}

// While the import waits for a slow unpacker, those ahead that have finished make way for the
// next archives: the unpackers stay busy.
TEST(UnpackAhead, UnpackersThatFinishMakeWayForTheNextWhileTheImportWaits)
{
    const int ahead = UnpackAhead::RunningLimit();
    if (ahead == 0) GTEST_SKIP() << "needs two cores";
    test::AppFolder app;
    const QString root = app.path("in");
    for (int i = 0; i < ahead + 3; ++i)
        ASSERT_TRUE(test::WriteStoredZip(root + QStringLiteral("/X%1.ZIP").arg(i), {{QByteArray("M") + QByteArray::number(i) + ".XEX", "m"}}));
    const QString log = app.path("log");
    // X0 takes three seconds; the others unpack at once.
    Replace7za("#!/bin/sh\nname=$(basename \"$2\")\necho \"begin $name\" >> '" + log.toUtf8() +
               "'\n[ \"$name\" = X0.ZIP ] && sleep 3\necho \"end $name\" >> '" + log.toUtf8() +
               "'\nexec /usr/bin/7za \"$@\"\n");
    clsFileManager fm;
    fm.InitCount();
    test::LoadedJob(fm, frmProcess::actAddFolder, root)->Form_Activate();
    EXPECT_EQ(test::CatalogueRows("Select Count(*) From MainFiles"), (std::vector<QStringList>{{QString::number(ahead + 3)}}));
    const QStringList lines = LogLines(log);
    const qsizetype last = lines.indexOf(QStringLiteral("begin X%1.ZIP").arg(ahead + 2));
    EXPECT_GE(last, 0) << lines.join(", ").toStdString();
    EXPECT_LT(last, lines.indexOf(QStringLiteral("end X0.ZIP"))) << lines.join(", ").toStdString();
}

// While the import adds plain files and waits for no unpacker, the one it would wait for
// unpacks ahead as well: as many unpackers run as while it waits.
TEST(UnpackAhead, WhileTheImportWaitsForNoneOneMoreUnpacksAhead)
{
    const int ahead = UnpackAhead::RunningLimit();
    if (ahead == 0) GTEST_SKIP() << "needs two cores";
    test::AppFolder app;
    const QString root = app.path("in");
    ASSERT_TRUE(test::WriteFile(root + "/A.XEX", "a"));
    for (int i = 0; i < ahead + 2; ++i)
        ASSERT_TRUE(test::WriteStoredZip(root + QStringLiteral("/X%1.ZIP").arg(i), {{QByteArray("M") + QByteArray::number(i) + ".XEX", "m"}}));
    const QString log = app.path("log"), go = app.path("go");
    // Each unpacker waits until the test lets them all go on.
    Replace7za("#!/bin/sh\necho \"$2\" >> '" + log.toUtf8() + "'\nwhile [ ! -e '" + go.toUtf8() +
               "' ]; do sleep 0.01; done\nexec /usr/bin/7za \"$@\"\n");
    clsFileManager fm;
    fm.InitCount();
    auto job = test::LoadedJob(fm, frmProcess::actAddFolder, root);
    qsizetype running = -1;
    QObject::connect(&fm, &clsFileManager::ShowMessage, job.get(), [&](const QString&, int type) {
        if (type <= 0 || running >= 0) return;
        QElapsedTimer waited;
        waited.start();
        while ((running = LogLines(log).size()) < ahead + 1 && waited.elapsed() < 10000) QThread::msleep(10);
        QThread::msleep(100);  // and no more start
        running = LogLines(log).size();
        test::WriteFile(go, "go");
    });
    job->Form_Activate();
    EXPECT_EQ(running, ahead + 1);
    EXPECT_EQ(job->StatusMsg, QStringLiteral("Hinzugefügte Dateien: %1").arg(ahead + 3));
}

} // namespace tv
