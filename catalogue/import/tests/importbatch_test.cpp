// The import commits its rows in batches; an import stopped in the middle leaves a catalogue
// another connection reads whole, and a second import of the same folder completes it.

#include "archivefixtures.h"
#include "catalogue/core/moddatabase.h"
#include "catalogue/core/modglobals.h"
#include "catalogue/import/clsfilemanager.h"
#include "catalogue/import/frmprocess.h"

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

class ImportBatches : public ::testing::Test {
protected:
    void SetUp() override
    {
        gcolWindows.clear();
        fm.InitCount();
        catalogue = app.path(QStringLiteral("db/Test.MDB"));
    }
    // The add-folder job in the job window; `during` sees each added file's running number.
    std::unique_ptr<frmProcess> Add(const QString& folder, const std::function<void(frmProcess&, int)>& during = {})
    {
        auto f = std::make_unique<frmProcess>();
        f->Action = frmProcess::actAddFolder;
        f->StartPath = folder;
        f->mFileManager = &fm;
        f->Form_Load();
        int added = 0;
        const auto watch = QObject::connect(&fm, &clsFileManager::ShowMessage, f.get(), [&](const QString&, int type) {
            if (type > 0 && during) during(*f, ++added);
        });
        f->Form_Activate();
        QObject::disconnect(watch);
        return f;
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

} // namespace

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
    EXPECT_EQ(f->StatusMsg, QStringLiteral("Hinzugefügte Dateien: 2"));
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
