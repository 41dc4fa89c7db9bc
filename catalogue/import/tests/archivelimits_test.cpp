// Archives against the machine's limits: an archive far larger unpacked than packed, a
// temporary folder without room or that cannot be written, and a machine with one core.

#include "archivefixtures.h"
#include "catalogue/core/modglobals.h"
#include "catalogue/import/clsfilemanager.h"
#include "catalogue/import/frmprocess.h"
#include "catalogue/import/unpackahead.h"
#include "catalogue/import/unpacker.h"
#include "platform/gui/msgbox.h"
#include "platform/system/files.h"

#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QThread>
#include <gtest/gtest.h>

#include <functional>
#include <sched.h>

namespace tv {

namespace {

// What an add-folder job left: its rows and log lines ("type text", progress left out).
struct Job {
    QStringList log;
    QString status;
};

Job AddFolder(clsFileManager& fm, const QString& folder)
{
    Job out;
    const auto watch = QObject::connect(&fm, &clsFileManager::ShowMessage, [&out](const QString& text, int type) {
        if (type != 0) out.log << QString::number(type) + QLatin1Char(' ') + text;
    });
    fm.InitSearch();
    const auto job = test::LoadedJob(fm, frmProcess::actAddFolder, folder);
    job->Form_Activate();
    QObject::disconnect(watch);
    out.status = job->StatusMsg;
    return out;
}

QStringList Files()
{
    QStringList names;
    for (const QStringList& row : test::CatalogueRows("Select tFile From MainFiles order by tFile")) names << row[0];
    return names;
}

// Files of the zip bomb that reached the temporary folder.
QStringList BombFilesInTemp()
{
    QStringList found;
    QDirIterator it(gtTempPath, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext())
        if (it.next().contains(QLatin1String("ZERO"))) found << it.filePath();
    return found;
}

struct BombCase {
    const char* name;
    bool nested;
};

// A folder with a plain file and a zip bomb of 16 MiB unpacked, at its top or inside a
// stored ZIP beside B.XEX.
bool MakeBombFolder(const QString& root, bool nested)
{
    if (!test::WriteFile(root + "/A.XEX", "a")) return false;
    if (!nested) return test::MakeZipBomb(root + "/BOMB.ZIP", 2, 8);
    QTemporaryDir scratch;
    return test::MakeZipBomb(scratch.path() + "/BOMB.ZIP", 2, 8) &&
           test::WriteStoredZip(root + "/OUTER.ZIP", {{"BOMB.ZIP", test::ReadFile(scratch.path() + "/BOMB.ZIP")},
                                                      {"B.XEX", "b"}});
}

constexpr BombCase kBombCases[] = {{"at the top", false}, {"inside another archive", true}};

} // namespace

TEST(ArchiveLimits, ZipBombIsAskedAboutByItsUnpackedSizeBeforeAnythingIsUnpacked)
{
    for (const BombCase& c : kBombCases) {
        SCOPED_TRACE(c.name);
        test::AppFolder app;
        gtSkipZipSize = "1";
        app.answer = vbNo;
        const QString root = app.path("in");
        ASSERT_TRUE(MakeBombFolder(root, c.nested));
        clsFileManager fm;
        fm.InitCount();
        AddFolder(fm, root);
        // Packed it is far below the limit; the question names its unpacked size, and the
        // archive as the log names it.
        const QString asked = c.nested ? root + "/OUTER.ZIP\\BOMB.ZIP" : root + "/BOMB.ZIP";
        EXPECT_EQ(app.boxes, QStringList{"Die Datei '" + asked +
                                         "' hat eine Größe von 0,0 Mb.\nEntpackt: 16,0 Mb.\nSoll die Datei entpackt werden?"});
        EXPECT_EQ(Files(), c.nested ? QStringList({"A.XEX", "B.XEX"}) : QStringList{"A.XEX"});
        // Not unpacked ahead either while the question waited.
        EXPECT_EQ(BombFilesInTemp(), QStringList());
    }
}

TEST(ArchiveLimits, ArchiveThatDoesNotFitIntoTheFreeSpaceOfTempIsNeverUnpacked)
{
    for (const BombCase& c : kBombCases) {
        SCOPED_TRACE(c.name);
        test::AppFolder app;
        gtSkipZipSize = "0";  // no question: only the room decides
        SetFreeSpaceHook([] { return qint64(1048576); });
        const auto restore = qScopeGuard([] { SetFreeSpaceHook(nullptr); });
        const QString root = app.path("in");
        ASSERT_TRUE(MakeBombFolder(root, c.nested));
        ASSERT_TRUE(test::WriteStoredZip(root + "/SMALL.ZIP", {{"S.XEX", "s"}}));
        clsFileManager fm;
        fm.InitCount();
        const Job job = AddFolder(fm, root);
        const QStringList notices = job.log.filter(QRegularExpression("^-1 "));
        ASSERT_EQ(notices.size(), 1) << job.log.join('\n').toStdString();
        // It names the archive, its unpacked size and the free space.
        EXPECT_TRUE(notices[0].contains(c.nested ? root + "/OUTER.ZIP\\BOMB.ZIP" : root + "/BOMB.ZIP")) << notices[0].toStdString();
        EXPECT_TRUE(notices[0].contains("16,0 Mb")) << notices[0].toStdString();
        EXPECT_TRUE(notices[0].contains("1,0 Mb")) << notices[0].toStdString();
        EXPECT_EQ(Files(), c.nested ? QStringList({"A.XEX", "B.XEX", "S.XEX"}) : QStringList({"A.XEX", "S.XEX"}));
        EXPECT_EQ(BombFilesInTemp(), QStringList());
    }
}

TEST(ArchiveLimits, FullTempFolderEndsWithOneMessageSayingHowManyArchivesWereNotSearched)
{
    test::AppFolder app;
    gtSkipZipSize = "0";
    const QString root = app.path("in");
    ASSERT_TRUE(test::WriteFile(root + "/A.XEX", "a"));
    for (const char* name : {"B", "C", "D"})
        ASSERT_TRUE(test::WriteStoredZip(root + '/' + name + ".ZIP", {{QByteArray(name) + ".XEX", QByteArray(200000, 'x')}}));
    ASSERT_TRUE(test::WriteStoredZip(root + "/E.ZIP", {{"E.XEX", "e"}}));
    // Room for the small archive only.
    SetFreeSpaceHook([] { return qint64(100000); });
    const auto restore = qScopeGuard([] { SetFreeSpaceHook(nullptr); });
    clsFileManager fm;
    fm.InitCount();
    const Job job = AddFolder(fm, root);
    EXPECT_EQ(Files(), QStringList({"A.XEX", "E.XEX"}));
    EXPECT_EQ(job.log.filter("Zu wenig freier Platz").size(), 3) << job.log.join('\n').toStdString();
    EXPECT_EQ(job.status, "Hinzugefügte Dateien: 2, Nicht durchsuchte Archive: 3");
    ASSERT_EQ(app.boxes.size(), 1);
    EXPECT_TRUE(app.boxes[0].startsWith("Nicht durchsuchte Archive: 3\r\nZu wenig freier Platz im temporären Ordner: 3\r\n"))
        << app.boxes[0].toStdString();
}

TEST(ArchiveLimits, LargeArchiveUnpackedAfterYesLeavesNothingInTempWhenNothingOfItWasCatalogued)
{
    struct Case {
        const char* name;
        bool catalogued;     // the large archive holds a file the import catalogues
        bool nested;         // inside a small archive, which holds B.XEX
        QStringList files;   // catalogued afterwards
    };
    const Case kCases[] = {
        {"nothing catalogued", false, false, {"A.XEX"}},
        {"nothing catalogued, nested", false, true, {"A.XEX", "B.XEX"}},
        {"a file catalogued", true, false, {"A.XEX", "G.XEX"}},
    };
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.name);
        test::AppFolder app;
        gtSkipZipSize = "1";
        const QString root = app.path("in");
        ASSERT_TRUE(test::WriteFile(root + "/A.XEX", "a"));
        std::vector<test::RawMember> big{{"BIG.DAT", QByteArray(1200 * 1024, 'b')}, {"README", "r"}};
        if (c.catalogued) big.push_back({"G.XEX", "g"});
        if (c.nested) {
            QTemporaryDir scratch;
            ASSERT_TRUE(test::WriteStoredZip(scratch.path() + "/BIG.ZIP", big));
            ASSERT_TRUE(test::WriteStoredZip(root + "/OUTER.ZIP", {{"BIG.ZIP", test::ReadFile(scratch.path() + "/BIG.ZIP")},
                                                                  {"B.XEX", "b"}}));
        } else {
            ASSERT_TRUE(test::WriteStoredZip(root + "/BIG.ZIP", big));
        }
        clsFileManager fm;
        fm.InitCount();
        AddFolder(fm, root);
        // The size question, answered Yes (for the outer archive too, itself over the limit).
        ASSERT_EQ(app.boxes.size(), c.nested ? 2 : 1);
        EXPECT_EQ(Files(), c.files);
        QStringList bigInTemp;
        QDirIterator it(gtTempPath, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
        while (it.hasNext())
            if (it.next().endsWith("BIG.DAT")) bigInTemp << it.filePath();
        // Kept only where a catalogued file lies, which a start can then take from there.
        EXPECT_EQ(bigInTemp.size(), c.catalogued ? 1 : 0) << bigInTemp.join('\n').toStdString();
    }
}

TEST(ArchiveLimits, TempFolderThatCannotBeWrittenIsNamedWithWhatToDo)
{
    test::AppFolder app;
    const QString zip = app.path("in/A.ZIP");
    ASSERT_TRUE(test::WriteStoredZip(zip, {{"GAME.XEX", "x"}}));
    // Below a regular file: no one, root included, can make a folder there.
    ASSERT_TRUE(test::WriteFile(app.path("blocker"), "file"));
    gtTempPath = app.path("blocker/Temp");
    clsFileManager fm;
    fm.InitSearch();
    const struct {
        const char* name;
        std::function<bool()> unpack;
    } kCases[] = {
        {"import", [&] { return fm.LoadFile("A.ZIP", zip, 1, QString(), false, 0) != 0; }},
        {"extraction", [&] { return !fm.ExtractFileFromArchiv("GAME.XEX", "GAME.XEX", zip).isEmpty(); }},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.name);
        app.boxes.clear();
        EXPECT_FALSE(c.unpack());
        ASSERT_EQ(app.boxes.size(), 1);
        EXPECT_TRUE(app.boxes[0].contains(gtTempPath)) << app.boxes[0].toStdString();
        EXPECT_TRUE(app.boxes[0].contains("Zugriffsrechte")) << app.boxes[0].toStdString();
        EXPECT_FALSE(app.boxes[0].contains(gtToolsPath)) << app.boxes[0].toStdString();
    }
    EXPECT_EQ(test::CatalogueRows("Select Count(ID) From MainFiles"), (std::vector<QStringList>{{"0"}}));
}

TEST(ArchiveLimits, OnOneCoreEveryArchiveArrivesWithinItsTimeOut)
{
    test::AppFolder app;
    const QString root = app.path("in");
    for (int i = 1; i <= 8; ++i)
        ASSERT_TRUE(test::WriteStoredZip(root + QStringLiteral("/P%1.ZIP").arg(i),
                                         {{QByteArray("X") + QByteArray::number(i) + ".XEX", "x"},
                                          {QByteArray("Y") + QByteArray::number(i) + ".COM", "y"}}));
    // An unpacker that needs a fixed amount of processor time before it unpacks, so that the
    // time-out below is a multiple of its own speed, whatever the machine's.
    const QString tool = gtToolsPath + "7za";
    QFile::remove(tool);
    ASSERT_TRUE(test::WriteFile(tool, test::ListingThroughReal7za("#!/bin/sh\ni=0\nwhile [ $i -lt 300000 ]; do i=$((i+1)); done\n"
                                                                  "exec /usr/bin/7za \"$@\"\n")));
    ASSERT_TRUE(QFile::setPermissions(tool, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));

    // This thread, and the threads and programs it starts, on one core only.
    cpu_set_t before;
    ASSERT_EQ(sched_getaffinity(0, sizeof before, &before), 0);
    cpu_set_t one;
    CPU_ZERO(&one);
    for (int cpu = 0; cpu < CPU_SETSIZE; ++cpu)
        if (CPU_ISSET(cpu, &before)) {
            CPU_SET(cpu, &one);
            break;
        }
    ASSERT_EQ(sched_setaffinity(0, sizeof one, &one), 0);
    const auto restore = qScopeGuard([&before] { sched_setaffinity(0, sizeof before, &before); });

    // One unpack alone, the slower of two.
    qint64 alone = 0;
    for (int run = 0; run < 2; ++run) {
        const QString dest = gtTempPath + QStringLiteral("/alone%1").arg(run);
        ASSERT_TRUE(CreateFolder(dest));
        QElapsedTimer clock;
        clock.start();
        ASSERT_EQ(RunUnpacker(MakeUnpackCommand(root + "/P1.ZIP", QString(), dest), dest, 60000), UnpackRun::Done);
        alone = std::max(alone, clock.elapsed());
        DeletePath(dest);
    }
    clsFileManager fm;
    fm.InitCount();
    fm.lUnpackTimeoutMs = int(3 * alone);
    const Job job = AddFolder(fm, root);
    EXPECT_EQ(job.status, QStringLiteral("Hinzugefügte Dateien: 16")) << job.log.join('\n').toStdString();
    EXPECT_EQ(job.log.filter("Fehler beim Entpacken"), QStringList());
    EXPECT_EQ(app.boxes, QStringList());
    EXPECT_EQ(Files().size(), 16);
}

// On two cores one unpacker runs ahead. Its time-out runs from when the import takes the
// archive: an archive unpacked ahead while the import waited for the user longer than the
// time-out still arrives.
TEST(ArchiveLimits, OnTwoCoresTheTimeOutOfAnArchiveUnpackedAheadRunsFromWhenTheImportTakesIt)
{
    cpu_set_t before;
    ASSERT_EQ(sched_getaffinity(0, sizeof before, &before), 0);
    if (CPU_COUNT(&before) < 2) GTEST_SKIP() << "needs two cores";
    cpu_set_t two;
    CPU_ZERO(&two);
    for (int cpu = 0, taken = 0; cpu < CPU_SETSIZE && taken < 2; ++cpu)
        if (CPU_ISSET(cpu, &before)) {
            CPU_SET(cpu, &two);
            ++taken;
        }
    ASSERT_EQ(sched_setaffinity(0, sizeof two, &two), 0);
    const auto restore = qScopeGuard([&before] { sched_setaffinity(0, sizeof before, &before); });
    ASSERT_EQ(UnpackAhead::RunningLimit(), 1);

    test::AppFolder app;
    gtSkipZipSize = "1";
    const QString root = app.path("in");
    // A.ZIP is over the size limit: the import asks, and the user takes his time. B.ZIP is
    // unpacked ahead meanwhile, by an unpacker that ends only after the answer.
    ASSERT_TRUE(test::WriteStoredZip(root + "/A.ZIP", {{"BIG.BIN", QByteArray(1200 * 1024, 'a')}}));
    ASSERT_TRUE(test::WriteStoredZip(root + "/B.ZIP", {{"B.XEX", "b"}}));
    const QString answered = app.path("answered");
    const QString tool = gtToolsPath + "7za";
    QFile::remove(tool);
    ASSERT_TRUE(test::WriteFile(tool, test::ListingThroughReal7za(
                                          "#!/bin/sh\nwhile [ ! -e '" + answered.toUtf8() + "' ]; do sleep 0.02; done\n"
                                          "exec /usr/bin/7za \"$@\"\n")));
    ASSERT_TRUE(QFile::setPermissions(tool, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
    clsFileManager fm;
    fm.InitCount();
    fm.lUnpackTimeoutMs = 1000;
    SetMsgBoxHook([&](const QString& prompt, int, const QString&) {
        app.boxes << prompt;
        QThread::msleep(fm.lUnpackTimeoutMs * 13 / 10);
        test::WriteFile(answered, "no");
        return int(vbNo);
    });
    const Job job = AddFolder(fm, root);
    EXPECT_EQ(app.boxes.size(), 1);
    EXPECT_EQ(job.status, QStringLiteral("Hinzugefügte Dateien: 1")) << job.log.join('\n').toStdString();
    EXPECT_EQ(Files(), QStringList{"B.XEX"});
}

} // namespace tv
