// Reads run on the background connection: what the asking side sees while it waits, and the
// reads that must stay on the asking connection.
#include "dbfixture.h"
#include "platform/db/backgroundreads.h"
#include "platform/db/recordset.h"

#include <atomic>
#include <chrono>
#include <thread>

using namespace tv;

namespace {

// 3,000 files, read by key; every read goes to the background connection and is waited for
// by `onWait` (once per wait) and then by polling.
class BackgroundReads : public ::testing::Test {
protected:
    void SetUp() override
    {
        SetKeyedRowsThreshold(0);
        db = Database::Create(dir.filePath(QStringLiteral("b.MDB")), "k", &e);
        ASSERT_TRUE(db);
        db->SetReadInBackground(true);
        run("CREATE TABLE Files (ID INTEGER PRIMARY KEY, tFile VARCHAR(255) COLLATE TVTEXT)");
        run("BEGIN");
        for (int i = 1; i <= 3000; ++i)
            run(QStringLiteral("INSERT INTO Files VALUES (%1, 'F%2.ATR')").arg(i).arg(i, 4, 10, QLatin1Char('0')));
        run("COMMIT");
        SetBackgroundReads(
            [this](const std::function<bool()>& finished) {
                ++waits;
                if (onWait) onWait();
                while (!finished()) {}
            },
            -1);
    }
    void TearDown() override
    {
        SetBackgroundReads(nullptr, 0);
        SetKeyedRowsThreshold(kKeyedRowsDefault);
    }
    void run(const char* sql) { run(QString::fromUtf8(sql)); }
    void run(const QString& sql) { ASSERT_FALSE(db->Execute(sql)) << sql.toStdString(); }
    int count(const QString& sql)
    {
        auto rs = db->OpenRecordset(sql);
        return rs ? rs->RecordCount() : -1;
    }

    QTemporaryDir dir;
    DbError e;
    std::shared_ptr<Database> db;
    int waits = 0;
    std::function<void()> onWait;
};

} // namespace

TEST_F(BackgroundReads, WhileWaitingTheListIsEmptyAndOtherReadsRunOnTheAskingConnection)
{
    auto rs = db->OpenRecordset(QStringLiteral("SELECT ID, tFile FROM Files ORDER BY tFile DESC"));
    ASSERT_TRUE(rs);
    EXPECT_EQ(rs->RecordCount(), 3000);
    EXPECT_GE(waits, 1);
    run("DELETE FROM Files WHERE ID > 2000");
    int seenWhileWaiting = -1, readWhileWaiting = -1;
    bool inRead = false;
    onWait = [&] {
        // A window painting meanwhile sees no rows, not half of them; and what it reads
        // itself is read at once, here.
        seenWhileWaiting = rs->RecordCount();
        inRead = InBackgroundRead();
        readWhileWaiting = count(QStringLiteral("SELECT ID FROM Files WHERE ID <= 10"));
        onWait = nullptr;
    };
    waits = 0;
    ASSERT_FALSE(rs->Requery());
    EXPECT_EQ(waits, 1);  // the read inside the wait was not waited for again
    EXPECT_EQ(seenWhileWaiting, 0);
    EXPECT_TRUE(inRead);
    EXPECT_EQ(readWhileWaiting, 10);
    EXPECT_FALSE(InBackgroundRead());
    EXPECT_EQ(rs->RecordCount(), 2000);
    EXPECT_EQ(rs->Fields(1).Value(), Variant("F2000.ATR"));
}

TEST_F(BackgroundReads, ReadsTheBackgroundConnectionCannotSeeStayOnTheAskingOne)
{
    // Rows of a transaction not yet committed, and a temporary table of this connection.
    run("BEGIN");
    run("INSERT INTO Files VALUES (5000, 'NEU.ATR')");
    waits = 0;
    EXPECT_EQ(count(QStringLiteral("SELECT ID FROM Files")), 3001);
    EXPECT_EQ(count(QStringLiteral("SELECT ID FROM Files WHERE tFile = 'NEU.ATR'")), 1);
    run("COMMIT");
    EXPECT_EQ(waits, 0);
    run("CREATE TEMP TABLE Picked (ID INTEGER PRIMARY KEY)");
    run("INSERT INTO Picked SELECT ID FROM Files WHERE ID <= 2500");
    EXPECT_EQ(count(QStringLiteral("SELECT ID FROM Picked")), 2500);
    // Once committed, the background connection sees the rows.
    waits = 0;
    EXPECT_EQ(count(QStringLiteral("SELECT ID FROM Files")), 3001);
    EXPECT_GE(waits, 1);
    // A job keeps its lookups where they are asked.
    waits = 0;
    {
        const ReadsWhereAsked lookups;
        EXPECT_EQ(count(QStringLiteral("SELECT ID FROM Files")), 3001);
    }
    EXPECT_EQ(waits, 0);
}

// Whether its keys or its whole rows were being read, a read whose catalogue closed while it
// was waited for reports the close, not the interruption that ended it.
TEST_F(BackgroundReads, ClosingTheCatalogueWhileWaitingEndsTheReadAsClosed)
{
    const QString path = dir.filePath(QStringLiteral("b.MDB"));
    for (const char* sql : {"SELECT ID, tFile FROM Files ORDER BY tFile", "SELECT tFile, ID FROM Files ORDER BY tFile"}) {
        if (!db->IsOpen()) {
            db = Database::Open(path, "k", &e);
            ASSERT_TRUE(db);
            db->SetReadInBackground(true);
        }
        // Closed while the rows are being stepped through; they then come slowly, so that the
        // close lands before the read's end.
        std::atomic<bool> stepping{false}, closing{false};
        SetBackgroundRowFault([&] {
            stepping = true;
            if (closing) std::this_thread::sleep_for(std::chrono::milliseconds(1));
            return false;
        });
        onWait = [&] {
            while (!stepping) {}
            closing = true;
            db->Close();
        };
        auto rs = db->OpenRecordset(QString::fromUtf8(sql));
        SetBackgroundRowFault(nullptr);
        EXPECT_FALSE(rs) << sql;
        EXPECT_EQ(db->LastError().number, dbErrObjectClosed) << sql << ": " << db->LastError().description.toStdString();
        EXPECT_FALSE(InBackgroundRead());
    }
}

// A read that fails on the background connection while its rows come (a disk error there) is
// read again on the asking connection, as one the background connection cannot prepare is:
// whole, and with none of the rows read before the failure twice.
TEST_F(BackgroundReads, AReadFailingInTheBackgroundIsReadAgainOnTheAskingConnection)
{
    // Keys first (the first column is the key), and rows read whole (it is not).
    for (const char* sql : {"SELECT ID, tFile FROM Files ORDER BY tFile DESC", "SELECT tFile, ID FROM Files ORDER BY tFile DESC"}) {
        std::atomic<int> stepped{0};
        SetBackgroundRowFault([&stepped] { return ++stepped == 1000; });
        waits = 0;
        auto rs = db->OpenRecordset(QString::fromUtf8(sql));
        SetBackgroundRowFault(nullptr);
        ASSERT_TRUE(rs) << sql << ": " << db->LastError().description.toStdString();
        EXPECT_GE(waits, 1) << sql;
        EXPECT_EQ(stepped, 1000) << sql;
        EXPECT_EQ(rs->RecordCount(), 3000) << sql;
        EXPECT_EQ(rs->Value(QStringLiteral("tFile")), Variant("F3000.ATR")) << sql;
        ASSERT_FALSE(rs->MoveLast());
        EXPECT_EQ(rs->Value(QStringLiteral("tFile")), Variant("F0001.ATR")) << sql;
    }
}

// A list whose keys come back none has no rows: it is not read a second time whole (at a million
// files, a selection that matches nothing would scan the catalogue twice).
TEST_F(BackgroundReads, AListWithoutRowsIsReadOnce)
{
    SetKeyedRowsThreshold(kKeyedRowsDefault);
    auto rs = db->OpenRecordset(QStringLiteral("SELECT ID, tFile, ucase(tFile) AS Gross FROM Files"
                                               " WHERE tFile Like '*.BMP' ORDER BY tFile"));
    ASSERT_TRUE(rs);
    EXPECT_EQ(waits, 1);
    EXPECT_EQ(rs->RecordCount(), 0);
    EXPECT_TRUE(rs->IsEOF());
    EXPECT_EQ(rs->FieldCount(), 3);
    EXPECT_EQ(rs->Fields(2).Name(), QStringLiteral("Gross"));
    // A few rows are still read whole, once their keys were counted.
    waits = 0;
    auto few = db->OpenRecordset(QStringLiteral("SELECT ID, tFile FROM Files WHERE tFile Like 'F000*' ORDER BY tFile"));
    ASSERT_TRUE(few);
    EXPECT_EQ(few->RecordCount(), 9);
    EXPECT_EQ(waits, 2);
}
