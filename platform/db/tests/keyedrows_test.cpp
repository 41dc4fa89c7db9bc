// Results read by key: blocks of rows read as they are wanted, and the cases that read a
// result whole instead. The other recordset tests run in both ways (see dbfixture.h).
#include "dbfixture.h"
#include "platform/db/keyedrows.h"
#include "platform/db/keyselect.h"

using namespace tv;

INSTANTIATE_TEST_SUITE_P(ReadWholeByKeyOrInBackground, DbFixture,
                         ::testing::Values(Reading::Whole, Reading::ByKey, Reading::InBackground),
                         [](const ::testing::TestParamInfo<Reading>& p) {
                             return std::string(p.param == Reading::Whole   ? "Whole"
                                                : p.param == Reading::ByKey ? "ByKey"
                                                                            : "InBackground");
                         });

namespace {

// 300 files over several blocks of rows; every file has a category, category 2 has two names.
class KeyedReading : public ::testing::Test {
protected:
    void SetUp() override
    {
        SetKeyedRowsThreshold(0);
        db = Database::Create(dir.filePath(QStringLiteral("k.MDB")), "k", &e);
        ASSERT_TRUE(db);
        run("CREATE TABLE Files (ID INTEGER PRIMARY KEY, tFile VARCHAR(255) COLLATE TVTEXT, Category_ID INTEGER)");
        run("CREATE TABLE Names (ID INTEGER PRIMARY KEY, Category_ID INTEGER, tName VARCHAR(255))");
        run("INSERT INTO Names VALUES (1, 1, 'Spiele'), (2, 2, 'Demos'), (3, 2, 'Intros')");
        run("BEGIN");
        for (int i = 1; i <= 300; ++i)
            run(QStringLiteral("INSERT INTO Files VALUES (%1, 'F%2.ATR', %3)")
                    .arg(i * 10).arg(1000 - i).arg(i % 2 + 1).toUtf8().constData());
        run("COMMIT");
    }
    void TearDown() override { SetKeyedRowsThreshold(kKeyedRowsDefault); }
    void run(const char* sql) { ASSERT_FALSE(db->Execute(QString::fromUtf8(sql))) << sql; }

    QTemporaryDir dir;
    DbError e;
    std::shared_ptr<Database> db;
};

} // namespace

TEST_F(KeyedReading, RowsComeInTheQuerysOrderAcrossBlocks)
{
    // Sorted by name: the last ID comes first.
    auto rs = db->OpenRecordset(QStringLiteral("Select ID, tFile, ucase(tFile) From Files order by tFile"));
    ASSERT_TRUE(rs);
    EXPECT_EQ(rs->RecordCount(), 300);
    EXPECT_EQ(rs->Fields(0).Value(), Variant(int32_t(3000)));
    EXPECT_EQ(rs->Fields(2).Type(), dbText);
    ASSERT_FALSE(rs->SetAbsolutePosition(120));
    const VariantArray a = rs->GetRows(20);  // rows 120..139 span two blocks
    ASSERT_EQ(a.count(2), 20);
    for (int r = 0; r < 20; ++r) {
        EXPECT_EQ(a.at(0, r), Variant(int32_t((300 - 120 - r) * 10))) << r;
        EXPECT_EQ(a.at(1, r), Variant(QStringLiteral("F%1.ATR").arg(1000 - (300 - 120 - r))));
    }
    ASSERT_FALSE(rs->MoveLast());
    EXPECT_EQ(rs->Fields(1).Value(), Variant("F999.ATR"));
    // All rows at once: more blocks than one statement reads.
    ASSERT_FALSE(rs->MoveFirst());
    const VariantArray all = rs->GetRows(300);
    ASSERT_EQ(all.count(2), 300);
    for (int r = 0; r < 300; ++r) EXPECT_EQ(all.at(0, r), Variant(int32_t((300 - r) * 10))) << r;

    // The kept row is found by its key; a key not in the result is no match.
    ASSERT_FALSE(rs->FindFirst(QStringLiteral("[ID]=1500")));
    EXPECT_FALSE(rs->NoMatch());
    EXPECT_EQ(rs->AbsolutePosition(), 150);
    ASSERT_FALSE(rs->FindNext(QStringLiteral("[ID]=1500")));
    EXPECT_TRUE(rs->NoMatch());
    EXPECT_EQ(rs->AbsolutePosition(), 150);
}

TEST_F(KeyedReading, AnExpressionColumnNullInItsFirstRowsTakesTheTypeOfItsFirstValue)
{
    // Only the last files of the order have a number: 200 rows of Null come first.
    struct Case {
        const char* expression;
        int type;
        Variant value;
    };
    const Case cases[] = {
        {"iif(ID > 2000, ID * 2, Null)", dbLong, Variant(int32_t(6000))},
        {"iif(ID > 2000, ID * 1.5, Null)", dbDouble, Variant(4500.0)},
        {"iif(ID > 2000, 'x' & ID, Null)", dbText, Variant(QStringLiteral("x3000"))},
        {"iif(ID > 9000, 1, Null)", dbText, Variant::null()},   // nothing but Null
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.expression);
        auto rs = db->OpenRecordset(QStringLiteral("Select ID, %1 As Extra From Files order by ID").arg(QString::fromLatin1(c.expression)));
        ASSERT_TRUE(rs);
        EXPECT_EQ(rs->Fields(1).Type(), c.type);
        ASSERT_FALSE(rs->MoveLast());
        EXPECT_EQ(rs->Fields(1).Value(), c.value);
    }
}

TEST_F(KeyedReading, ChangesAfterOpeningShowInRowsNotYetReadAndRequeryCountsAgain)
{
    auto rs = db->OpenRecordset(QStringLiteral("Select ID, tFile From Files order by ID"));
    ASSERT_TRUE(rs);
    run("DELETE FROM Files WHERE ID=2000");
    run("UPDATE Files SET tFile='NEU.ATR' WHERE ID=2010");
    ASSERT_FALSE(rs->SetAbsolutePosition(199));
    EXPECT_EQ(rs->Fields(0).Value(), Variant(int32_t(2000)));
    EXPECT_TRUE(rs->Fields(1).Value().isNull());
    ASSERT_FALSE(rs->MoveNext());
    EXPECT_EQ(rs->Fields(1).Value(), Variant("NEU.ATR"));
    ASSERT_FALSE(rs->Requery());
    EXPECT_EQ(rs->RecordCount(), 299);
    // A search on other fields reads the rows whole and keeps working.
    ASSERT_FALSE(rs->FindFirst(QStringLiteral("tFile = 'neu.atr'")));
    EXPECT_EQ(rs->AbsolutePosition(), 199);
    ASSERT_FALSE(rs->Edit());
    ASSERT_FALSE(rs->Fields(1).SetValue(Variant("ALT.ATR")));
    ASSERT_FALSE(rs->Update());
    EXPECT_EQ(rs->Fields(1).Value(), Variant("ALT.ATR"));
}

TEST_F(KeyedReading, RepeatedKeysAndParametersStillGiveEveryRow)
{
    // A join that repeats files of category 2: read whole, all 450 rows.
    auto joined = db->OpenRecordset(QStringLiteral(
        "Select F.ID, N.tName From Files as F inner join Names as N on F.Category_ID=N.Category_ID order by F.ID, N.tName"));
    ASSERT_TRUE(joined);
    EXPECT_EQ(joined->RecordCount(), 450);
    ASSERT_FALSE(joined->SetAbsolutePosition(449));
    EXPECT_EQ(joined->Fields(1).Value(), Variant("Spiele"));

    auto q = db->CreateQueryDef(QString(), QStringLiteral(
        "PARAMETERS XXX Long; Select ID, tFile From Files where Category_ID = XXX order by ID desc"));
    ASSERT_TRUE(q);
    q->Parameters(0).Value = int32_t(1);
    auto rs = q->OpenRecordset(dbOpenSnapshot);
    ASSERT_TRUE(rs);
    EXPECT_EQ(rs->RecordCount(), 150);
    ASSERT_FALSE(rs->SetAbsolutePosition(149));
    EXPECT_EQ(rs->Fields(0).Value(), Variant(int32_t(20)));
}

// A first column that is a table's key but Null in the first row (a key of a table joined
// where no row of it belongs) cannot be read by key: the result is read whole, not taken for
// an empty one.
TEST_F(KeyedReading, AKeyColumnNullInTheFirstRowReadsTheResultWhole)
{
    auto rs = db->OpenRecordset(QStringLiteral(
        "Select N.ID, F.tFile From Files as F left join Names as N on N.ID = F.Category_ID + 2 order by F.ID"));
    ASSERT_TRUE(rs);
    EXPECT_EQ(rs->RecordCount(), 300);
    EXPECT_EQ(rs->Fields(1).Value(), Variant("F999.ATR"));
    EXPECT_TRUE(rs->Fields(0).Value().isNull());
}

// A block of rows read by key need not be sorted: the order that ends the query is left out,
// and only that one.
TEST(KeyedRowsQuery, OnlyTheFinalOrderIsLeftOut)
{
    const struct {
        const char* sql;
        const char* expected;
    } cases[] = {
        {"SELECT ID FROM F ORDER BY 2 ASC", "SELECT ID FROM F "},
        {"SELECT ID FROM F order\n by tFile, ID desc", "SELECT ID FROM F "},
        {"SELECT ID FROM F", "SELECT ID FROM F"},
        {"SELECT ID FROM F ORDER BY 1 LIMIT 5", "SELECT ID FROM F ORDER BY 1 LIMIT 5"},
        {"SELECT ID FROM (SELECT ID FROM F ORDER BY 1) AS S", "SELECT ID FROM (SELECT ID FROM F ORDER BY 1) AS S"},
        {"SELECT 'x ORDER BY y' AS \"ORDER BY\", [ORDER BY] FROM F", "SELECT 'x ORDER BY y' AS \"ORDER BY\", [ORDER BY] FROM F"},
        {"SELECT 'it''s' FROM F ORDER BY 1", "SELECT 'it''s' FROM F "},
        {"SELECT ID FROM F UNION SELECT ID FROM G ORDER BY 1", "SELECT ID FROM F UNION SELECT ID FROM G "},
        {"SELECT BORDER BY_X FROM F", "SELECT BORDER BY_X FROM F"},
        {"SELECT ID FROM F -- ORDER BY 1\n", "SELECT ID FROM F -- ORDER BY 1\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.sql);
        EXPECT_EQ(WithoutFinalOrderBy(QString::fromUtf8(c.sql)), QString::fromUtf8(c.expected));
    }
}

// The keys of a sorted list are read through the query with its other result columns made
// Nulls, unless the rest of the query names them: a column the order gives by number or by
// name, or one a condition names, stays; so does a parameter. What is no plain, sorted SELECT
// stays whole.
TEST(KeyedRowsQuery, KeysAreReadWithoutTheColumnsNothingElseNames)
{
    const struct {
        const char* sql;
        const char* expected;
    } cases[] = {
        {"SELECT F.ID,tPath as \"Pfad\",IIF(tv_isnull(tUnpackpath),0,27) as IsArchiv,ucase(tFile) FROM F ORDER BY 3 ASC",
         "SELECT F.ID, NULL AS \"Pfad\" ,IIF(tv_isnull(tUnpackpath),0,27) as IsArchiv, NULL FROM F ORDER BY 3 ASC"},
        {"SELECT ID, tFile as [Datei], lSize FROM F WHERE lSize > 5 ORDER BY [Datei] DESC",
         "SELECT ID, tFile as [Datei], lSize FROM F WHERE lSize > 5 ORDER BY [Datei] DESC"},
        {"SELECT ID, f(a, b) AS X, ?1 AS P FROM F ORDER BY 1", "SELECT ID, NULL AS X , ?1 AS P FROM F ORDER BY 1"},
        {"SELECT ID, 'a, FROM b' AS T FROM F ORDER BY ID", "SELECT ID, NULL AS T FROM F ORDER BY ID"},
        {"SELECT ID, tFile FROM F", "SELECT ID, tFile FROM F"},
        {"SELECT ID, tFile AS \"ORDER BY\" FROM F ORDER BY \"ORDER BY\"", "SELECT ID, tFile AS \"ORDER BY\" FROM F ORDER BY \"ORDER BY\""},
        {"SELECT DISTINCT ID, tFile FROM F", "SELECT DISTINCT ID, tFile FROM F"},
        {"SELECT ID, tFile FROM F UNION SELECT ID, tFile FROM G", "SELECT ID, tFile FROM F UNION SELECT ID, tFile FROM G"},
        {"SELECT ID, count(*) FROM F GROUP BY ID", "SELECT ID, count(*) FROM F GROUP BY ID"},
        {"SELECT * FROM F", "SELECT * FROM F"},
        {"SELECT ID, x FROM F -- y\n", "SELECT ID, x FROM F -- y\n"},
        {"SELECT ID, (SELECT max(y) FROM G ORDER BY 1) AS M FROM F ORDER BY 1", "SELECT ID, NULL AS M FROM F ORDER BY 1"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.sql);
        EXPECT_EQ(KeysOnlySelect(QString::fromUtf8(c.sql)), QString::fromUtf8(c.expected));
    }
}

// With the columns nothing names left out, the keys of a sorted, filtered list come from an
// index that holds the key, the condition's and the order's columns, not from the table's rows
// (which, at a million files, the engine would have to read and decrypt whole).
TEST_F(KeyedReading, KeysComeFromAnIndexThatHoldsWhatTheyNeed)
{
    run("ALTER TABLE Files ADD COLUMN tPath VARCHAR(255)");
    run("CREATE INDEX Files_C1 ON Files (Category_ID, tFile)");
    const QString sql = QStringLiteral("SELECT ID, tFile AS Datei, ucase(tFile) AS Gross, tPath AS Pfad"
                                       " FROM Files WHERE Category_ID = 2 ORDER BY 2");
    auto plan = [this](const QString& keys) {
        QString text;
        auto rs = db->OpenRecordset(QStringLiteral("EXPLAIN QUERY PLAN SELECT ID FROM (") + keys + QLatin1Char(')'));
        if (!rs) return db->LastError().description;
        for (; !rs->IsEOF(); rs->MoveNext()) text += rs->Fields(3).Value().text() + QLatin1Char('\n');
        return text;
    };
    EXPECT_FALSE(plan(sql).contains(QLatin1String("COVERING INDEX")));
    EXPECT_TRUE(plan(KeysOnlySelect(sql)).contains(QLatin1String("COVERING INDEX Files_C1"))) << plan(KeysOnlySelect(sql)).toStdString();
    auto rs = db->OpenRecordset(sql);
    ASSERT_TRUE(rs);
    EXPECT_EQ(rs->RecordCount(), 150);
    EXPECT_EQ(rs->Fields(1).Value(), Variant(QStringLiteral("F701.ATR")));
}
