// Archives with many members, and members with names no log line can show as they are: the
// job window stays answerable and can be stopped between members, each member is looked up
// through an index, and the log shows every name on one line.

#include "archivefixtures.h"
#include "catalogue/core/moddatabase.h"
#include "catalogue/core/modglobals.h"
#include "catalogue/import/clsfilemanager.h"
#include "catalogue/import/frmprocess.h"
#include "controls/grid/listview.h"

#include <QMetaObject>
#include <QPushButton>
#include <gtest/gtest.h>

namespace tv {

namespace {

std::vector<test::RawMember> Programs(int count)
{
    std::vector<test::RawMember> members;
    for (int i = 0; i < count; ++i)
        members.push_back({QStringLiteral("M%1.XEX").arg(i, 5, 10, QLatin1Char('0')).toLatin1(), QByteArray("x")});
    return members;
}

QStringList LogRows(const frmProcess& job)
{
    QStringList rows;
    for (int32_t r = 0; r < job.ResultList()->RowCount(); ++r)
        rows << job.ResultList()->Data(Variant(QStringLiteral("Name")), r).text();
    return rows;
}

qint32 Count(const char* sql) { return test::CatalogueRows(QString::fromLatin1(sql))[0][0].toInt(); }

} // namespace

TEST(ArchiveMembers, LookupOfAMemberUsesAnIndexInNewAndOlderCatalogues)
{
    test::AppFolder app;
    const QString catalogue = app.path(QStringLiteral("db/Test.MDB"));
    EXPECT_EQ(test::CatalogueRows("EXPLAIN QUERY PLAN Select Top 1 ID From MainFiles where tPath='/a.zip' and tUnpackPath='X.XEX'")
                  .at(0)
                  .join(' ')
                  .contains(QLatin1String("INDEX MainFiles_Member (tPath=? AND tUnpackPath=?)")),
              true);
    const auto hasIndex = [](Database& db) {
        auto rs = db.OpenRecordset(QStringLiteral("Select name From sqlite_master where name='MainFiles_Member'"));
        return rs && !rs->IsEOF();
    };
    // A catalogue written before the index gets it when it is opened.
    ASSERT_FALSE(goDB->Execute(QStringLiteral("DROP INDEX MainFiles_Member")));
    CloseDB();
    DbError e;
    auto older = Database::Open(catalogue, QByteArray(), &e);
    ASSERT_TRUE(older);
    EXPECT_FALSE(hasIndex(*older));
    older->Close();
    ASSERT_TRUE(ConnectDB(catalogue));
    EXPECT_TRUE(hasIndex(*goDB));
}

TEST(ArchiveMembers, CancelStopsBetweenMembersAndTheNextImportAddsTheArchiveWhole)
{
    test::AppFolder app;
    const QString root = app.path(QStringLiteral("in"));
    ASSERT_TRUE(test::WriteFile(root + QStringLiteral("/A.XEX"), "a"));
    const int members = 3000;
    ASSERT_TRUE(test::WriteStoredZip(root + QStringLiteral("/B.ZIP"), Programs(members)));
    clsFileManager fm;
    fm.InitCount();

    auto job = test::LoadedJob(fm, frmProcess::actAddFolder, root);
    auto* cancel = job->findChild<QPushButton*>(QStringLiteral("cmdCancel"));
    int added = 0, addedWhenClicked = 0;
    QString shownWhenClicked;
    const auto click = QObject::connect(&fm, &clsFileManager::ShowMessage, [&](const QString&, int type) {
        if (type <= 0 || ++added != 100) return;
        // A click that waits in the event queue: it acts only when the job serves events.
        QMetaObject::invokeMethod(
            cancel,
            [&] {
                addedWhenClicked = added;
                shownWhenClicked = job->ProcessText();
                cancel->click();
            },
            Qt::QueuedConnection);
    });
    job->Form_Activate();
    QObject::disconnect(click);

    ASSERT_GT(addedWhenClicked, 0) << "the job served no events";
    EXPECT_LT(addedWhenClicked, members);
    // While it went through the members, the window named the one it was at.
    EXPECT_TRUE(shownWhenClicked.startsWith(root + QStringLiteral("/B.ZIP\\M"))) << shownWhenClicked.toStdString();
    // The archive is not left in part: its rows are taken out again, and the log says so.
    EXPECT_EQ(job->StatusMsg, QStringLiteral("Hinzugefügte Dateien: 1"));
    EXPECT_EQ(Count("Select Count(*) From MainFiles"), 1);
    EXPECT_TRUE(LogRows(*job).contains(
        QStringLiteral("Archiv nicht vollständig aufgenommen, seine Dateien wurden wieder entfernt: ") + root +
        QStringLiteral("/B.ZIP")));

    auto again = test::LoadedJob(fm, frmProcess::actAddFolder, root);
    again->Form_Activate();
    EXPECT_EQ(again->StatusMsg, QStringLiteral("Hinzugefügte Dateien: %1").arg(members));
    EXPECT_EQ(Count("Select Count(*) From MainFiles where tUnpackPath is not null"), members);
    EXPECT_EQ(app.boxes, QStringList());
}

TEST(ArchiveMembers, NamesWithControlCharactersAreCataloguedExactlyAndLoggedOnOneLine)
{
    test::AppFolder app;
    const QString root = app.path(QStringLiteral("in"));
    ASSERT_TRUE(test::WriteStoredZip(root + QStringLiteral("/C.ZIP"),
                                     {{"TWO\nLINES.XEX", "a"}, {"RED\x1b[31mTEXT.XEX", "b"}, {"TAB\tBELL\a.XEX", "c"}}));
    clsFileManager fm;
    fm.InitCount();
    auto job = test::LoadedJob(fm, frmProcess::actAddFolder, root);
    job->Form_Activate();
    ASSERT_EQ(job->StatusMsg, QStringLiteral("Hinzugefügte Dateien: 3"));

    std::vector<QStringList> names = test::CatalogueRows("Select tFile, tUnpackPath From MainFiles order by tFile");
    EXPECT_EQ(names, (std::vector<QStringList>{{"RED\x1b[31mTEXT.XEX", "RED\x1b[31mTEXT.XEX"},
                                               {"TAB\tBELL\a.XEX", "TAB\tBELL\a.XEX"},
                                               {"TWO\nLINES.XEX", "TWO\nLINES.XEX"}}));
    const QStringList log = LogRows(*job);
    for (const char* shown : {"TWO<0A>LINES.XEX", "RED<1B>[31mTEXT.XEX", "TAB<09>BELL<07>.XEX"})
        EXPECT_TRUE(log.contains(QString::fromLatin1(shown))) << shown << '\n' << log.join('\n').toStdString();
    for (const QString& row : log)
        for (const QChar c : row) EXPECT_NE(c.category(), QChar::Other_Control) << row.toStdString();
}

} // namespace tv
