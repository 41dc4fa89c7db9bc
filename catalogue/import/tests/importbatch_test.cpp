// The import commits its rows in batches; an import stopped in the middle leaves a catalogue
// another connection reads whole, and a second import of the same folder completes it. When the
// catalogue cannot be written, the job stops with one message, and what it reports is what the
// catalogue holds.

#include "archivefixtures.h"
#include "catalogue/core/moddatabase.h"
#include "catalogue/core/modglobals.h"
#include "catalogue/import/clsfilemanager.h"
#include "catalogue/import/frmprocess.h"

#include <QDir>
#include <QFile>
#include <QPushButton>
#include <QSet>
#include <functional>
#include <gtest/gtest.h>

namespace tv {

namespace {

// What another program sees on disk: the committed rows' paths and member chains.
QStringList CommittedRows(const QString& catalogue)
{
    DbError e;
    auto db = Database::Open(catalogue, QByteArray(), &e);
    if (!db) return {QStringLiteral("cannot open: ") + e.description};
    QStringList rows;
    auto rs = db->OpenRecordset(QStringLiteral("Select tPath, tUnpackPath From MainFiles order by ID"));
    for (; rs && !rs->IsEOF(); rs->MoveNext())
        rows << rs->Fields(0).Value().text() + QLatin1Char('|') + rs->Fields(1).Value().text();
    db->Close();
    return rows;
}

// The add-folder job in the job window; `during` sees each added file's running number.
std::unique_ptr<frmProcess> AddFolder(clsFileManager& fm, const QString& folder,
                                      const std::function<void(frmProcess&, int)>& during = {})
{
    auto f = test::LoadedJob(fm, frmProcess::actAddFolder, folder);
    int added = 0;
    const auto watch = QObject::connect(&fm, &clsFileManager::ShowMessage, f.get(), [&](const QString&, int type) {
        if (type > 0 && during) during(*f, ++added);
    });
    f->Form_Activate();
    QObject::disconnect(watch);
    return f;
}

class ImportBatches : public ::testing::Test {
protected:
    void SetUp() override
    {
        gcolWindows.clear();
        fm.InitCount();
        catalogue = app.path(QStringLiteral("db/Test.MDB"));
    }
    std::unique_ptr<frmProcess> Add(const QString& folder, const std::function<void(frmProcess&, int)>& during = {})
    {
        return AddFolder(fm, folder, during);
    }
    // The catalogue opened afresh, without the page limit the test set on its connection.
    void ReopenWithRoom()
    {
        CloseDB();
        DbError e;
        goDB = Database::Open(catalogue, QByteArray(), &e);
        ASSERT_TRUE(goDB);
        ASSERT_FALSE(goDB->StartWriting());
        fm.InitCount();
    }
    test::AppFolder app;
    clsFileManager fm;
    QString catalogue;
};

// Every committed row names a file of the folder, once.
void ExpectWhole(const QStringList& rows, const QString& root, int expected)
{
    EXPECT_EQ(rows.size(), expected);
    EXPECT_EQ(QSet<QString>(rows.begin(), rows.end()).size(), rows.size());
    for (const QString& row : rows) EXPECT_TRUE(row.startsWith(root)) << row.toStdString();
}

// Writes `count` files g0000.xex... below `root`.
void WritePrograms(const QString& root, int count)
{
    for (int i = 0; i < count; ++i)
        ASSERT_TRUE(test::WriteFile(root + QStringLiteral("/g%1.xex").arg(i, 4, 10, QLatin1Char('0')), "prog"));
}

qint32 CountOf(const QString& catalogue) { return qint32(CommittedRows(catalogue).size()); }

} // namespace

TEST_F(ImportBatches, FullCatalogueStopsTheJobWithOneMessageAndReportsWhatItHolds)
{
    // A catalogue that can grow by a few pages only stands in for a full disk: the write
    // fails in the middle of a batch, and the engine may roll the whole batch back.
    const QString root = app.path(QStringLiteral("games"));
    const int files = 600;
    WritePrograms(root, files);
    ASSERT_FALSE(goDB->Execute(QStringLiteral("PRAGMA max_page_count = 24")));

    auto f = Add(root);
    const qint32 held = CountOf(catalogue);
    EXPECT_GT(held, 0);
    EXPECT_LT(held, files);
    // The job's totals are the catalogue's; the rest was not walked, and the job says so once.
    ASSERT_EQ(app.boxes.size(), 1) << app.boxes.join('\n').toStdString();
    EXPECT_TRUE(app.boxes[0].startsWith(QStringLiteral("Die Datenbank konnte nicht beschrieben werden: ")))
        << app.boxes[0].toStdString();
    EXPECT_TRUE(app.boxes[0].contains(QStringLiteral("Hinzugefügte Dateien: %1\r\n").arg(held)))
        << app.boxes[0].toStdString();
    EXPECT_TRUE(f->StatusMsg.startsWith(QStringLiteral("Hinzugefügte Dateien: %1, Nicht aufgenommene Dateien: ").arg(held)))
        << f->StatusMsg.toStdString();
    EXPECT_TRUE(f->ProcessText().contains(QStringLiteral("Hinzugefügte Dateien: %1\n").arg(held)))
        << f->ProcessText().toStdString();
    EXPECT_EQ(fm.lAddedFiles, held);
    EXPECT_GE(fm.lNotAddedFiles, 1);
    EXPECT_EQ(f->Action, frmProcess::actChanged);

    // With room again, the next import adds exactly the files that are missing.
    ReopenWithRoom();
    auto again = Add(root);
    EXPECT_EQ(again->StatusMsg, QStringLiteral("Hinzugefügte Dateien: %1").arg(files - held));
    ExpectWhole(CommittedRows(catalogue), root, files);
    EXPECT_EQ(app.boxes.size(), 1);
}

// A write that fails in the middle of an archive: the members already added would make the
// archive count as present, and no later import would add the rest. They are removed again,
// and the next import with room adds the archive whole; files outside it stay.
TEST_F(ImportBatches, ArchiveCutShortByAFullCatalogueIsTakenOutAndAddedWholeNextTime)
{
    const QString root = app.path(QStringLiteral("in"));
    ASSERT_TRUE(test::WriteFile(root + QStringLiteral("/A.XEX"), "prog"));
    std::vector<test::RawMember> members;
    const int inArchive = 600;
    for (int i = 0; i < inArchive; ++i)
        members.push_back({QStringLiteral("GAME%1.XEX").arg(i, 4, 10, QLatin1Char('0')).toLatin1(), QByteArray("x")});
    ASSERT_TRUE(test::WriteStoredZip(root + QStringLiteral("/B.ZIP"), members));
    ASSERT_FALSE(goDB->Execute(QStringLiteral("PRAGMA max_page_count = 24")));

    auto f = Add(root);
    EXPECT_EQ(CommittedRows(catalogue), QStringList{root + QStringLiteral("/A.XEX|")});
    EXPECT_EQ(fm.lAddedFiles, 1);
    EXPECT_TRUE(f->StatusMsg.startsWith(QStringLiteral("Hinzugefügte Dateien: 1, Nicht aufgenommene Dateien: ")))
        << f->StatusMsg.toStdString();
    ASSERT_EQ(app.boxes.size(), 1);
    EXPECT_TRUE(app.boxes[0].contains(QStringLiteral("Hinzugefügte Dateien: 1\r\n"))) << app.boxes[0].toStdString();

    ReopenWithRoom();
    auto again = Add(root);
    EXPECT_EQ(again->StatusMsg, QStringLiteral("Hinzugefügte Dateien: %1").arg(inArchive));
    ExpectWhole(CommittedRows(catalogue), root, 1 + inArchive);
}

TEST(ImportBatchRollback, RowsOfABatchTheEngineDroppedAreWrittenAgainOrReported)
{
    // The engine may drop the whole open batch when a write fails (an I/O error, a full disk,
    // a failed write of another part of the program): the rows already listed as added must
    // then be written again, or counted as not added. A number taken meanwhile by another
    // program is no failure: the row gets the next free one.
    struct Case {
        const char* name;
        bool roomAgain;  // the rows of the batch can be written on their own afterwards
    };
    for (const Case c : {Case{"rows written again", true}, Case{"rows lost and reported", false}}) {
        SCOPED_TRACE(c.name);
        test::AppFolder local;
        clsFileManager engine;
        engine.InitCount();
        const QString root = local.path(QStringLiteral("games"));
        const QString db = local.path(QStringLiteral("db/Test.MDB"));
        WritePrograms(root, 300);
        const int failAt = clsFileManager::kBatchRows + 10;  // ten rows into the second batch
        int added = 0;
        const auto fault = QObject::connect(&engine, &clsFileManager::ShowMessage, [&](const QString&, int type) {
            if (type <= 0 || ++added != failAt) return;
            // The batch is gone, and the next insert fails: its ID is taken meanwhile, or the
            // catalogue cannot be written at all.
            ASSERT_FALSE(goDB->Rollback());
            if (c.roomAgain)
                ASSERT_FALSE(goDB->Execute(QStringLiteral("INSERT INTO MainFiles (ID, tFile, tPath) VALUES (%1, 'x', '/x')")
                                               .arg(engine.lMaxFilesID + 1)));
            else
                ASSERT_FALSE(goDB->Execute(QStringLiteral("PRAGMA query_only = 1")));
        });
        const auto job = AddFolder(engine, root);
        const frmProcess& f = *job;
        QObject::disconnect(fault);

        const int batchRows = failAt - clsFileManager::kBatchRows;
        if (c.roomAgain) {
            EXPECT_EQ(CountOf(db), 300 + 1);
            EXPECT_EQ(f.StatusMsg, QStringLiteral("Hinzugefügte Dateien: 300"));
            EXPECT_EQ(local.boxes, QStringList());
        } else {
            EXPECT_EQ(CountOf(db), clsFileManager::kBatchRows);
            EXPECT_EQ(f.StatusMsg, QStringLiteral("Hinzugefügte Dateien: %1, Nicht aufgenommene Dateien: %2")
                                       .arg(clsFileManager::kBatchRows)
                                       .arg(1 + batchRows));
            EXPECT_EQ(local.boxes.size(), 1);
        }
    }
}

TEST_F(ImportBatches, ReadOnlyCatalogueGivesOneMessageForTheJob)
{
    const QString root = app.path(QStringLiteral("games"));
    WritePrograms(root, 30);
    // Refuses every write as a read-only file does, also for a test run as root.
    ASSERT_FALSE(goDB->Execute(QStringLiteral("PRAGMA query_only = 1")));

    auto f = Add(root);
    ASSERT_EQ(app.boxes.size(), 1) << app.boxes.join('\n').toStdString();
    EXPECT_TRUE(app.boxes[0].contains(QStringLiteral("readonly"))) << app.boxes[0].toStdString();
    EXPECT_EQ(f->StatusMsg, QStringLiteral("Hinzugefügte Dateien: 0, Nicht aufgenommene Dateien: 1"));
    EXPECT_EQ(f->Action, 0);
    EXPECT_EQ(CountOf(catalogue), 0);
}

TEST_F(ImportBatches, CountsItsOwnRowsWhileAnotherProgramDeletes)
{
    // Rows of another folder, which a second program deletes while the job runs.
    for (int i = 1; i <= 5; ++i)
        ASSERT_FALSE(goDB->Execute(QStringLiteral("INSERT INTO MainFiles (ID, tFile, tPath, iFileType) "
                                                  "VALUES (%1, 'old.xex', '/elsewhere/old%1.xex', 11)")
                                       .arg(i)));
    fm.InitCount();
    const QString root = app.path(QStringLiteral("in"));
    ASSERT_TRUE(test::WriteStoredZip(root + QStringLiteral("/A.ZIP"), {{"GAME.XEX", "x"}, {"DISK.ATR", test::AtrImage()}}));
    WritePrograms(root, 2);

    bool deleted = false;
    const auto other = QObject::connect(&fm, &clsFileManager::ShowMessage, [&](const QString&, int type) {
        // Unpacking the first entry: the job has counted the catalogue and written nothing yet.
        if (type != 0 || deleted) return;
        DbError e;
        auto second = Database::Open(catalogue, QByteArray(), &e);
        ASSERT_TRUE(second);
        EXPECT_FALSE(second->Execute(QStringLiteral("DELETE FROM MainFiles WHERE tPath LIKE '/elsewhere/*'")));
        EXPECT_EQ(second->RecordsAffected(), 5);
        second->Close();
        deleted = true;
    });
    auto f = Add(root);
    QObject::disconnect(other);
    EXPECT_TRUE(deleted);
    EXPECT_EQ(f->StatusMsg, QStringLiteral("Hinzugefügte Dateien: 4"));
    EXPECT_EQ(CountOf(catalogue), 4);
}

// Two programs import two folders into one catalogue at the same time: each has counted the
// catalogue before the other wrote, and each adds, reports and stores all its files.
TEST_F(ImportBatches, TwoProgramsImportingAtTheSameTimeEachAddAllTheirFiles)
{
    const QString mine = app.path(QStringLiteral("mine"));
    const QString theirs = app.path(QStringLiteral("theirs"));
    ASSERT_TRUE(test::WriteStoredZip(mine + QStringLiteral("/A.ZIP"), {{"A1.XEX", "a"}, {"A2.XEX", "a"}, {"A3.XEX", "a"}}));
    ASSERT_TRUE(test::WriteStoredZip(mine + QStringLiteral("/B.ZIP"), {{"B1.XEX", "b"}, {"B2.XEX", "b"}}));
    WritePrograms(theirs, 4);
    ASSERT_TRUE(test::WriteStoredZip(theirs + QStringLiteral("/C.ZIP"), {{"C1.XEX", "c"}}));

    // The other program: its own program folder (its own temporary folder), its own
    // connection to the file and its own engine, which counted the catalogue when it opened
    // it, as this one did.
    QString otherTemp = app.path(QStringLiteral("other/Temp"));
    ASSERT_TRUE(QDir().mkpath(otherTemp));
    DbError e;
    std::shared_ptr<Database> other = Database::Open(catalogue, QByteArray(), &e);
    ASSERT_TRUE(other);
    ASSERT_FALSE(other->StartWriting());
    const auto otherProgram = [&] {
        std::swap(goDB, other);
        std::swap(gtTempPath, otherTemp);
    };
    clsFileManager otherEngine;
    otherProgram();
    otherEngine.InitCount();
    otherProgram();

    // It imports its folder while this job unpacks its second archive, the first one stored.
    std::unique_ptr<frmProcess> otherJob;
    const auto meanwhile = QObject::connect(&fm, &clsFileManager::ShowMessage, [&](const QString& text, int type) {
        if (type != 0 || otherJob || !text.endsWith(QStringLiteral("B.ZIP"))) return;
        otherProgram();
        otherJob = AddFolder(otherEngine, theirs);
        otherProgram();
    });
    auto job = Add(mine);
    QObject::disconnect(meanwhile);
    ASSERT_TRUE(otherJob);

    EXPECT_EQ(otherJob->StatusMsg, QStringLiteral("Hinzugefügte Dateien: 5"));
    EXPECT_EQ(job->StatusMsg, QStringLiteral("Hinzugefügte Dateien: 5"));
    EXPECT_EQ(app.boxes, QStringList());
    const QStringList rows = CommittedRows(catalogue);
    EXPECT_EQ(rows.size(), 10);
    EXPECT_EQ(QSet<QString>(rows.begin(), rows.end()).size(), rows.size());
    EXPECT_EQ(rows.filter(mine).size(), 5) << rows.join('\n').toStdString();
    EXPECT_EQ(rows.filter(theirs).size(), 5);
    other->Close();
}

// A start recorded for a file deleted since: its number is never given again, also when
// another program deleted the file after this one counted.
TEST_F(ImportBatches, NumberOfAFileDeletedWithItsHistoryIsNotGivenAgain)
{
    ASSERT_FALSE(goDB->Execute(QStringLiteral("INSERT INTO MainFiles (ID, tFile, tPath) VALUES (1, 'a.xex', '/x/a.xex')")));
    fm.InitCount();
    DbError e;
    auto other = Database::Open(catalogue, QByteArray(), &e);
    ASSERT_TRUE(other);
    ASSERT_FALSE(other->StartWriting());
    for (const char* sql : {"INSERT INTO MainFiles (ID, tFile, tPath) VALUES (2, 'b.xex', '/x/b.xex')",
                            "INSERT INTO History (MainFiles_ID, tsStarted) VALUES (2, 46000)",
                            "DELETE FROM MainFiles WHERE ID=2"})
        ASSERT_FALSE(other->Execute(QString::fromLatin1(sql))) << sql;
    other->Close();
    const QString root = app.path(QStringLiteral("games"));
    WritePrograms(root, 1);
    auto job = Add(root);
    EXPECT_EQ(job->StatusMsg, QStringLiteral("Hinzugefügte Dateien: 1"));
    EXPECT_EQ(test::CatalogueRows("Select ID From MainFiles where tPath like '*g0000.xex'"),
              std::vector<QStringList>{{"3"}});
}

TEST_F(ImportBatches, CancelledImportKeepsWholeBatchesAndTheNextImportCompletesIt)
{
    const QString root = app.path(QStringLiteral("games"));
    const int files = 2 * clsFileManager::kBatchRows + 40;
    for (int i = 0; i < files; ++i)
        ASSERT_TRUE(test::WriteFile(root + QStringLiteral("/g%1.xex").arg(i, 4, 10, QLatin1Char('0')), "prog"));

    // Midway through the second batch another connection sees exactly the first batch;
    // the job window shows the count and the rate meanwhile.
    const int stopAt = clsFileManager::kBatchRows + 50;
    QStringList seenMidway;
    QString statusMidway;
    auto f = Add(root, [&](frmProcess& job, int added) {
        if (added == 1) statusMidway = job.StatusText();
        if (added != stopAt) return;
        seenMidway = CommittedRows(catalogue);
        job.findChild<QPushButton*>(QStringLiteral("cmdCancel"))->click();
    });
    EXPECT_EQ(seenMidway.size(), clsFileManager::kBatchRows);
    EXPECT_TRUE(statusMidway.startsWith(QStringLiteral("Hinzugefügte Dateien: 1 ("))) << statusMidway.toStdString();
    EXPECT_TRUE(statusMidway.endsWith(QStringLiteral(" Dateien/s)"))) << statusMidway.toStdString();

    // The stopped job committed what it added.
    EXPECT_EQ(f->StatusMsg, QStringLiteral("Hinzugefügte Dateien: %1").arg(stopAt));
    ExpectWhole(CommittedRows(catalogue), root, stopAt);

    auto again = Add(root);
    EXPECT_EQ(again->StatusMsg, QStringLiteral("Hinzugefügte Dateien: %1").arg(files - stopAt));
    ExpectWhole(CommittedRows(catalogue), root, files);
}

TEST_F(ImportBatches, FailedUnpackerLeavesTheOtherFilesAndTheNextImportAddsTheArchive)
{
    const QString root = app.path(QStringLiteral("in"));
    ASSERT_TRUE(test::WriteFile(root + QStringLiteral("/A.XEX"), "prog"));
    ASSERT_TRUE(test::WriteStoredZip(root + QStringLiteral("/B.ZIP"), {{"GAME.XEX", "x"}, {"DISK.ATR", test::AtrImage()}}));
    ASSERT_TRUE(test::WriteFile(root + QStringLiteral("/C.XEX"), "prog"));
    // An unpacker that leaves half a member and fails.
    const QString tool = gtToolsPath + QStringLiteral("7za");
    QFile::remove(tool);
    ASSERT_TRUE(test::WriteFile(tool, "#!/bin/sh\necho half > GAME.XEX\nexit 2\n"));
    ASSERT_TRUE(QFile::setPermissions(tool, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));

    auto f = Add(root);
    EXPECT_EQ(f->StatusMsg, QStringLiteral("Hinzugefügte Dateien: 2, Nicht durchsuchte Archive: 1"));
    EXPECT_EQ(CommittedRows(catalogue),
              (QStringList{root + QStringLiteral("/A.XEX|"), root + QStringLiteral("/C.XEX|")}));

    QFile::remove(tool);
    ASSERT_TRUE(QFile::link(QStringLiteral("/usr/bin/7za"), tool));
    auto again = Add(root);
    EXPECT_EQ(again->StatusMsg, QStringLiteral("Hinzugefügte Dateien: 2"));
    const QStringList rows = CommittedRows(catalogue);
    ExpectWhole(rows, root, 4);
    EXPECT_TRUE(rows.contains(root + QStringLiteral("/B.ZIP|GAME.XEX")));
    EXPECT_TRUE(rows.contains(root + QStringLiteral("/B.ZIP|DISK.ATR")));
}

} // namespace tv
