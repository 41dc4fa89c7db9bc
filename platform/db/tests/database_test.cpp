#include "dbfixture.h"

#include <QFile>
#include <chrono>
#include <thread>

using namespace tv;

namespace {

// A closed file "a.MDB" in `dir`, encrypted with `key`, with the one table `createTable` makes.
QString fileWithTable(const QTemporaryDir& dir, const QByteArray& key, const char* createTable)
{
    const QString path = dir.filePath(QStringLiteral("a.MDB"));
    DbError e;
    auto db = Database::Create(path, key, &e);
    EXPECT_TRUE(db) << e.description.toStdString();
    if (db) EXPECT_FALSE(db->Execute(QString::fromUtf8(createTable)));
    return path;
}

} // namespace

TEST(DatabaseOpen, KeysExistingNamesAndMissingFiles)
{
    QTemporaryDir dir;
    const QString path = fileWithTable(dir, "secret", "CREATE TABLE T (ID INTEGER PRIMARY KEY)");
    DbError e;
    EXPECT_FALSE(Database::Create(path, "secret", &e));
    EXPECT_EQ(e.number, dbErrDatabaseExists);

    EXPECT_FALSE(Database::Open(path, "wrong", &e));
    EXPECT_EQ(e.number, dbErrNeedsPassword);
    EXPECT_FALSE(Database::Open(path, QByteArray(), &e));
    EXPECT_EQ(e.number, dbErrNeedsPassword);
    EXPECT_TRUE(Database::Open(path, "secret", &e));
    EXPECT_FALSE(e);

    EXPECT_FALSE(Database::Open(dir.filePath(QStringLiteral("none.MDB")), "secret", &e));
    EXPECT_EQ(e.number, dbErrFileNotFound);
    EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("none.MDB"))));
}

// A file kept unwritten takes no write, also none prepared and run before (the import's
// statements are), none in a transaction, and gets no log copied into it when it closes;
// temporary tables still work and reading goes on.
TEST(DatabaseUnwritten, KeptUnwrittenTakesNoWriteOfAnyKind)
{
    QTemporaryDir dir;
    const QString path = fileWithTable(dir, "k", "CREATE TABLE T (ID INTEGER PRIMARY KEY, tName TEXT)");
    DbError e;
    auto db = Database::Open(path, "k", &e);
    ASSERT_TRUE(db);
    ASSERT_FALSE(db->CheckBeforeWriting());
    ASSERT_FALSE(db->StartWriting());
    const QString insert = QStringLiteral("INSERT INTO T (tName) VALUES ('a')");
    ASSERT_FALSE(db->Execute(insert));
    // A row the log holds, which must not reach the file.
    const QByteArray before = [&] {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }();
    db->KeepUnwritten();
    EXPECT_TRUE(db->IsReadOnly());
    EXPECT_EQ(db->Execute(insert).number, int(dbErrNotUpdatable));
    EXPECT_EQ(db->Execute(QStringLiteral("UPDATE T SET tName='b'")).number, int(dbErrNotUpdatable));
    EXPECT_EQ(db->Execute(QStringLiteral("PRAGMA journal_mode=DELETE")).number, int(dbErrNotUpdatable));
    EXPECT_FALSE(db->Execute(QStringLiteral("CREATE TEMP TABLE Scratch (x)")));
    EXPECT_FALSE(db->Execute(QStringLiteral("INSERT INTO Scratch VALUES (1)")));
    ASSERT_FALSE(db->BeginTrans());
    EXPECT_TRUE(db->Execute(QStringLiteral("DELETE FROM T")));
    EXPECT_EQ(db->CommitTrans().number, int(dbErrNotUpdatable));
    auto rs = db->OpenRecordset(QStringLiteral("SELECT count(*) FROM T"));
    ASSERT_TRUE(rs);
    EXPECT_EQ(rs->Fields(0).Value().toLong(), 1);
    rs->Close();
    db->Close();
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_TRUE(f.readAll() == before) << "the log was copied into the file";
    EXPECT_GT(QFile(path + QStringLiteral("-wal")).size(), 0);
}

TEST_P(DbFixture, MovingCountingAndPositions)
{
    addFiles();
    auto rs = db->OpenRecordset(QStringLiteral("Select * From Files order by ID"), dbOpenSnapshot);
    ASSERT_TRUE(rs);
    EXPECT_EQ(rs->RecordCount(), 4);
    EXPECT_FALSE(rs->IsBOF());
    EXPECT_EQ(rs->AbsolutePosition(), 0);
    EXPECT_EQ(rs->Fields("tfile").Value(), Variant("Boulder.ATR"));
    EXPECT_FALSE(rs->MoveLast());
    EXPECT_EQ(rs->Fields(0).Value(), Variant(int32_t(4)));
    EXPECT_TRUE(rs->Fields("lSize").Value().isNull());
    EXPECT_FALSE(rs->MoveNext());
    EXPECT_TRUE(rs->IsEOF());
    EXPECT_EQ(rs->MoveNext().number, dbErrNoCurrentRecord);
    EXPECT_TRUE(rs->Fields("tFile").Value().isEmpty());
    EXPECT_EQ(rs->LastError().number, dbErrNoCurrentRecord);
    EXPECT_FALSE(rs->SetAbsolutePosition(2));
    EXPECT_EQ(rs->Fields("ID").Value().toLong(), 3);
    EXPECT_EQ(rs->SetAbsolutePosition(4).number, dbErrInvalidArgument);
    EXPECT_FALSE(rs->MoveFirst());
    EXPECT_FALSE(rs->MovePrevious());
    EXPECT_TRUE(rs->IsBOF());
    EXPECT_EQ(rs->AbsolutePosition(), -1);

    auto empty = db->OpenRecordset(QStringLiteral("Select * From Files where ID=99"));
    ASSERT_TRUE(empty);
    EXPECT_TRUE(empty->IsBOF() && empty->IsEOF());
    EXPECT_EQ(empty->RecordCount(), 0);
    EXPECT_EQ(empty->MoveFirst().number, dbErrNoCurrentRecord);
}

TEST_P(DbFixture, FieldTypesSizesAndNames)
{
    addFiles();
    auto rs = db->OpenRecordset(QStringLiteral(
        "Select F.ID, tFile, iType, lSize, tsCreated, mMemo, ucase(tFile), clng(tsCreated), C.ID, 1.5"
        " From Files as F Left Join Category as C on F.Category_ID = C.ID order by F.ID"));
    ASSERT_TRUE(rs) << db->LastError().description.toStdString();
    struct Case { int index; const char* name; int type; int size; };
    const Case cases[] = {
        {0, "ID", dbLong, 4},          {1, "tFile", dbText, 255},  {2, "iType", dbInteger, 2},
        {3, "lSize", dbLong, 4},       {4, "tsCreated", dbDate, 8}, {5, "mMemo", dbMemo, 0},
        {6, "Expr1006", dbText, 255},  {7, "Expr1007", dbLong, 4}, {8, "Category.ID", dbLong, 4},
        {9, "Expr1009", dbDouble, 8},
    };
    ASSERT_EQ(rs->FieldCount(), 10);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Field& f = rs->Fields(c.index);
        EXPECT_EQ(f.Name(), QString::fromUtf8(c.name));
        EXPECT_EQ(f.Type(), c.type);
        EXPECT_EQ(f.Size(), c.size);
        EXPECT_EQ(f.OrdinalPosition(), c.index);
    }
    EXPECT_EQ(rs->Fields("iType").Value(), Variant(int16_t(1)));
    EXPECT_EQ(rs->Fields("tsCreated").Value(), Variant::fromDate(45000.25));
    EXPECT_EQ(rs->Fields("Expr1006").Value(), Variant("BOULDER.ATR"));

    rs->Fields("nothing");
    EXPECT_EQ(rs->LastError().number, dbErrItemNotFound);
}

TEST_P(DbFixture, GetRowsGivesFieldRowWindowsAndMovesOn)
{
    addFiles();
    auto rs = db->OpenRecordset(QStringLiteral("Select ID, tFile From Files order by ID"));
    ASSERT_TRUE(rs);
    VariantArray a = rs->GetRows(3);
    ASSERT_EQ(a.dims(), 2);
    EXPECT_EQ(a.ubound(1), 1);
    EXPECT_EQ(a.ubound(2), 2);
    EXPECT_EQ(a.at(1, 2), Variant("Zork.ATR"));
    EXPECT_EQ(rs->AbsolutePosition(), 3);
    a = rs->GetRows(3);
    EXPECT_EQ(a.ubound(2), 0);
    EXPECT_EQ(a.at(0, 0), Variant(int32_t(4)));
    EXPECT_TRUE(rs->IsEOF());
    EXPECT_FALSE(rs->GetRows(3).isAllocated());
}

TEST_P(DbFixture, QueryDefParametersByNameAndPositionBindNumberLikeTexts)
{
    addFiles();
    auto q = db->CreateQueryDef(QString(), QStringLiteral(
        "PARAMETERS XXX VALUE; Select tFile From Files where clng(cDate(tsCreated)) = XXX"));
    ASSERT_TRUE(q);
    ASSERT_EQ(q->ParameterCount(), 1);
    q->Parameters("xxx").Value = Variant("45002");   // the tree hands its keys over as texts
    auto rs = q->OpenRecordset(dbOpenSnapshot);
    ASSERT_TRUE(rs) << q->LastError().description.toStdString();
    ASSERT_EQ(rs->RecordCount(), 2);   // 45001.75 rounds up to 45002: clng is no calendar day

    q->Parameters(0).Value = Variant(int32_t(45000));
    rs = q->OpenRecordset();
    ASSERT_TRUE(rs);
    EXPECT_EQ(rs->Fields(0).Value(), Variant("Boulder.ATR"));

    q->Parameters("YYY");
    EXPECT_EQ(q->LastError().number, dbErrItemNotFound);

    auto byDay = db->CreateQueryDef(QString(), QStringLiteral(
        "PARAMETERS XXX VALUE; Select tFile From Files where int(tsCreated) = XXX order by 1"));
    ASSERT_TRUE(byDay);
    byDay->Parameters("XXX").Value = Variant("45001");
    rs = byDay->OpenRecordset();
    ASSERT_TRUE(rs);
    EXPECT_EQ(rs->RecordCount(), 1);
    EXPECT_EQ(rs->Fields(0).Value(), Variant("river.xex"));

    // A parameter declared as text keeps a number-like text as it is.
    auto insert = db->CreateQueryDef(QString(), QStringLiteral(
        "PARAMETERS pMemo Text, pSize Long; Insert Into Files (mMemo, lSize) Values (pMemo, pSize)"));
    ASSERT_TRUE(insert);
    insert->Parameters("pMemo").Value = Variant("1.10");
    insert->Parameters("pSize").Value = Variant("720");
    ASSERT_FALSE(insert->Execute());
    rs = db->OpenRecordset(QStringLiteral("Select mMemo From Files where lSize = 720"));
    ASSERT_TRUE(rs);
    EXPECT_EQ(rs->Fields(0).Value(), Variant("1.10"));

    // Only the text a number prints as binds as a number: "007" stays a text and finds its file.
    exec("Insert Into Files (ID, tFile) Values (9, '007')");
    auto byName = db->CreateQueryDef(QString(), QStringLiteral("PARAMETERS XXX VALUE; Select ID From Files where tFile = XXX"));
    ASSERT_TRUE(byName);
    byName->Parameters("XXX").Value = Variant("007");
    rs = byName->OpenRecordset();
    ASSERT_TRUE(rs);
    EXPECT_EQ(rs->RecordCount(), 1);
}

TEST_P(DbFixture, AddNewEditUpdateWriteThroughAndAppendOnlyReadsNothing)
{
    addFiles();
    auto add = db->OpenRecordset(QStringLiteral("Select * From Files"), dbOpenDynaset, dbAppendOnly);
    ASSERT_TRUE(add);
    EXPECT_EQ(add->RecordCount(), 0);
    EXPECT_EQ(add->Fields("tFile").SetValue(Variant("x")).number, dbErrUpdateWithoutEdit);
    ASSERT_FALSE(add->AddNew());
    ASSERT_FALSE(add->Fields("tFile").SetValue(Variant("New.ATR")));
    ASSERT_FALSE(add->Fields("tsCreated").SetValue(Variant::fromDate(45100.5)));
    ASSERT_FALSE(add->Fields("mMemo").SetValue(Variant("1.10")));
    ASSERT_FALSE(add->Update());
    EXPECT_EQ(add->Update().number, dbErrUpdateWithoutEdit);

    auto rs = db->OpenRecordset(QStringLiteral("Select * From Files where tFile='NEW.atr'"));
    ASSERT_TRUE(rs);
    ASSERT_EQ(rs->RecordCount(), 1);
    EXPECT_EQ(rs->Fields("ID").Value(), Variant(int32_t(5)));
    EXPECT_EQ(rs->Fields("mMemo").Value(), Variant("1.10"));
    EXPECT_EQ(rs->Fields("tsCreated").Value(), Variant::fromDate(45100.5));
    ASSERT_FALSE(rs->Edit());
    ASSERT_FALSE(rs->Fields("lSize").SetValue(Variant(int32_t(720))));
    EXPECT_EQ(rs->Fields("lSize").Value(), Variant(int32_t(720)));
    ASSERT_FALSE(rs->Update());
    EXPECT_EQ(rs->Fields("lSize").Value(), Variant(int32_t(720)));
    ASSERT_FALSE(rs->Requery());
    EXPECT_EQ(rs->Fields("lSize").Value(), Variant(int32_t(720)));
    // A row deleted since it was read cannot be updated: no silent success.
    exec("Delete * from Files where ID=5");
    ASSERT_FALSE(rs->Edit());
    ASSERT_FALSE(rs->Fields("lSize").SetValue(Variant(int32_t(1))));
    EXPECT_EQ(rs->Update().number, dbErrRecordDeleted);
    EXPECT_FALSE(rs->CancelUpdate());

    auto snap = db->OpenRecordset(QStringLiteral("Select * From Files"), dbOpenSnapshot);
    ASSERT_TRUE(snap);
    EXPECT_EQ(snap->Edit().number, dbErrNotUpdatable);
    auto expr = db->OpenRecordset(QStringLiteral("Select ID, ucase(tFile) From Files"));
    ASSERT_TRUE(expr);
    ASSERT_FALSE(expr->Edit());
    EXPECT_EQ(expr->Fields(1).SetValue(Variant("X")).number, dbErrNotUpdatable);
    EXPECT_FALSE(expr->CancelUpdate());
}

TEST_P(DbFixture, FindWithJetCriteria)
{
    addFiles();
    auto rs = db->OpenRecordset(QStringLiteral("Select ID, tFile as [Datei], lSize From Files order by ID"));
    ASSERT_TRUE(rs);
    ASSERT_FALSE(rs->FindFirst(QStringLiteral("[Datei] like '*.atr'")));
    EXPECT_FALSE(rs->NoMatch());
    EXPECT_EQ(rs->AbsolutePosition(), 0);
    ASSERT_FALSE(rs->FindNext(QStringLiteral("[Datei] like '*.atr'")));
    EXPECT_EQ(rs->AbsolutePosition(), 2);
    ASSERT_FALSE(rs->FindNext(QStringLiteral("[Datei] like '*.atr'")));
    EXPECT_TRUE(rs->NoMatch());
    EXPECT_EQ(rs->AbsolutePosition(), 2);
    ASSERT_FALSE(rs->FindFirst(QStringLiteral("lSize > 9000 and Datei = \"ZORK.atr\"")));
    EXPECT_EQ(rs->AbsolutePosition(), 2);
    ASSERT_FALSE(rs->FindLast(QStringLiteral("isNull(lSize) or ID = 1")));
    EXPECT_EQ(rs->AbsolutePosition(), 3);
    EXPECT_TRUE(rs->FindFirst(QStringLiteral("nosuchfield = 1")));
    ASSERT_FALSE(rs->Requery());
    ASSERT_FALSE(rs->FindFirst(QStringLiteral("ID = 2")));
    EXPECT_EQ(rs->AbsolutePosition(), 1);
}

TEST_P(DbFixture, ExecuteReportsErrorsAndClosingClosesChildren)
{
    addFiles();
    ASSERT_FALSE(db->Execute(QStringLiteral("Delete * from Files where ID=4")));
    EXPECT_EQ(db->RecordsAffected(), 1);
    const DbError e = db->Execute(QStringLiteral("Update NoTable Set x=1"));
    EXPECT_TRUE(e);
    EXPECT_TRUE(e.description.contains(QLatin1String("NoTable")));
    EXPECT_FALSE(db->OpenRecordset(QStringLiteral("Select * From Files where tFile='x")));
    EXPECT_EQ(db->LastError().number, dbErrSyntax);
    // A second statement is refused, not silently left out; a closing ";" is fine.
    EXPECT_EQ(db->Execute(QStringLiteral("Delete * from Files where ID=1; Delete * from Files where ID=2")).number,
              dbErrTextAfterEnd);
    ASSERT_FALSE(db->Execute(QStringLiteral("Delete * from Files where ID=3 ; ")));
    auto left = db->OpenRecordset(QStringLiteral("Select ID From Files order by ID"));
    ASSERT_TRUE(left);
    EXPECT_EQ(left->RecordCount(), 2);

    auto rs = db->OpenRecordset(QStringLiteral("Select * From Files"));
    auto q = db->CreateQueryDef(QString(), QStringLiteral("Select * From Files"));
    ASSERT_TRUE(rs && q);
    db->Close();
    EXPECT_FALSE(db->IsOpen());
    EXPECT_FALSE(rs->IsOpen());
    EXPECT_EQ(rs->MoveFirst().number, dbErrObjectClosed);
    EXPECT_FALSE(q->OpenRecordset());
    EXPECT_EQ(q->LastError().number, dbErrObjectClosed);
    EXPECT_EQ(db->Execute(QStringLiteral("Delete * from Files")).number, dbErrObjectClosed);
}

TEST(DatabaseCompact, CopiesContentWithTheSameKey)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("c.MDB"));
    const QString target = dir.filePath(QStringLiteral("c.MDR"));
    DbError e;
    {
        auto db = Database::Create(path, "pw", &e);
        ASSERT_TRUE(db);
        ASSERT_FALSE(db->Execute(QStringLiteral("CREATE TABLE T (ID INTEGER PRIMARY KEY, t VARCHAR(255) COLLATE TVTEXT)")));
        ASSERT_FALSE(db->Execute(QStringLiteral("CREATE INDEX T_C1 ON T (t)")));
        ASSERT_FALSE(db->Execute(QStringLiteral("INSERT INTO T VALUES (1, 'Ärger')")));
    }
    e = Database::Compact(path, target, "pw");
    ASSERT_FALSE(e) << e.description.toStdString();
    EXPECT_FALSE(QFile::exists(path + QStringLiteral("-wal")));
    EXPECT_FALSE(Database::Open(target, QByteArray(), &e));
    auto db = Database::Open(target, "pw", &e);
    ASSERT_TRUE(db);
    auto rs = db->OpenRecordset(QStringLiteral("Select * From T where t = 'ärger'"));
    ASSERT_TRUE(rs);
    EXPECT_EQ(rs->RecordCount(), 1);
}

// Two copies of the program on one catalogue: while one writes, the other waits for the write
// to end instead of failing at once with "database is locked".
TEST_P(DbFixture, ASecondConnectionWaitsForAnotherWrite)
{
    tv::DbError e;
    auto other = tv::Database::Open(path, "k", &e);
    ASSERT_TRUE(other) << e.description.toStdString();
    ASSERT_FALSE(other->Execute(QStringLiteral("BEGIN IMMEDIATE")));
    // The other copy ends its write a moment later, on its own thread.
    std::thread commit([&other] {
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        EXPECT_FALSE(other->Execute(QStringLiteral("COMMIT")));
    });
    e = db->Execute(QStringLiteral("INSERT INTO Category VALUES (7, 'Demos')"));
    commit.join();
    EXPECT_FALSE(e) << e.description.toStdString();
    other->Close();
}
