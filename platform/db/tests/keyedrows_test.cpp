// Results read by key: blocks of rows read as they are wanted, and the cases that read a
// result whole instead. The other recordset tests run in both ways (see dbfixture.h).
#include "dbfixture.h"
#include "platform/db/keyedrows.h"
#include "platform/db/keyselect.h"
#include "platform/db/keysort.h"

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

// A list sorted by one column that no index orders has its keys sorted apart from the engine:
// only a text ending in an order by one column's number (past the key) that names no
// collation; it is read without that order.
TEST(KeySortApart, OnlyAnOrderByOneColumnNumber)
{
    const struct {
        const char* sql;
        int column;  // -1: the engine sorts
        bool descending;
    } cases[] = {
        {"SELECT F.ID, lSize AS [X], tPath AS P FROM (MainFiles AS F ) ORDER BY 2 DESC", 1, true},
        {"SELECT ID, tFile, lSize FROM F WHERE tFile Like 'a*' order by 3", 2, false},
        {"SELECT ID, tFile, lSize FROM F ORDER BY 3 asc ", 2, false},
        {"SELECT ID, tFile FROM F ORDER BY 1", -1, false},
        {"SELECT ID, tFile FROM F ORDER BY tFile", -1, false},
        {"SELECT ID, tFile, lSize FROM F ORDER BY 2, 3", -1, false},
        {"SELECT ID, tFile COLLATE BINARY FROM F ORDER BY 2", -1, false},
        {"SELECT ID, tFile FROM F ORDER BY 2 LIMIT 5", -1, false},
        {"SELECT ID FROM (SELECT ID, tFile FROM F ORDER BY 2)", -1, false},
        {"SELECT ID, tFile FROM F", -1, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.sql);
        const auto shape = KeySortShapeOf(QString::fromUtf8(c.sql));
        ASSERT_EQ(shape.has_value(), c.column >= 0);
        if (!shape) continue;
        EXPECT_EQ(shape->column, c.column);
        EXPECT_EQ(shape->descending, c.descending);
        // The key query's columns, without the order.
        EXPECT_FALSE(shape->unordered.contains(QLatin1String("ORDER BY"), Qt::CaseInsensitive));
        EXPECT_TRUE(KeysOnlySelect(QString::fromUtf8(c.sql)).startsWith(shape->unordered)) << shape->unordered.toStdString();
    }
    EXPECT_TRUE(KeySortShapeOf(QStringLiteral("SELECT F.ID, lSize AS X, tPath AS P FROM F ORDER BY 2"))
                    ->unordered.contains(QLatin1String("NULL AS P")));

    // Only where the engine would read one table in the order of its rows and sort them.
    const struct {
        QStringList steps;
        const char* table;  // null: the engine sorts
    } plans[] = {
        {{"SCAN TABLE MainFiles AS F", "USE TEMP B-TREE FOR ORDER BY"}, "MainFiles"},
        {{"SCAN TABLE Files", "USE TEMP B-TREE FOR ORDER BY"}, "Files"},
        {{"SEARCH TABLE MainFiles AS F USING INTEGER PRIMARY KEY (rowid>?)", "USE TEMP B-TREE FOR ORDER BY"}, "MainFiles"},
        {{"SCAN TABLE MainFiles AS F USING COVERING INDEX MainFiles_C6", "USE TEMP B-TREE FOR ORDER BY"}, nullptr},
        {{"SEARCH TABLE MainFiles AS F USING INDEX MainFiles_C4 (iFileType=?)", "USE TEMP B-TREE FOR ORDER BY"}, nullptr},
        {{"SCAN TABLE MainFiles AS F USING INDEX MainFiles_C1"}, nullptr},
        {{"SCAN TABLE MainFiles AS F"}, nullptr},
        {{"SCAN TABLE MainFiles AS F", "USE TEMP B-TREE FOR RIGHT PART OF ORDER BY"}, nullptr},
        {{"SEARCH TABLE MainFiles AS F USING INTEGER PRIMARY KEY (rowid=?)", "EXECUTE LIST SUBQUERY 1",
          "SCAN TABLE MainFiles USING COVERING INDEX MainFiles_C3", "USE TEMP B-TREE FOR ORDER BY"},
         nullptr},
        {{"SCAN TABLE MainFiles AS F", "SEARCH TABLE Category AS C USING INTEGER PRIMARY KEY (rowid=?)",
          "USE TEMP B-TREE FOR ORDER BY"},
         "MainFiles"},
        {{"SCAN TABLE History AS H", "SEARCH TABLE MainFiles AS F USING INTEGER PRIMARY KEY (rowid=?)",
          "USE TEMP B-TREE FOR ORDER BY"},
         "History"},
        {{"SCAN TABLE MainFiles AS F", "SEARCH TABLE History AS H USING INDEX History_C2 (MainFiles_ID=?)",
          "USE TEMP B-TREE FOR ORDER BY"},
         nullptr},
    };
    for (const auto& p : plans) {
        SCOPED_TRACE(p.steps.join(QLatin1String(" / ")).toStdString());
        QString table;
        EXPECT_EQ(SortsRowsReadInTableOrder(p.steps, &table), p.table != nullptr);
        if (p.table) EXPECT_EQ(table, QString::fromUtf8(p.table));
    }
}

// Keys sorted apart come in the engine's order for every column: Null first, then numbers
// (whole and not), then texts (case-blind in German order in a text column, by bytes in any
// other and in an expression); equal values in the order of their keys, in both directions;
// with a condition and a parameter too.
TEST_P(DbFixture, KeysSortedApartComeInTheEnginesOrder)
{
    exec("INSERT INTO Files (ID, tFile, iType, lSize, tsCreated, mMemo, Category_ID) VALUES"
         " (6, 'Zork.ATR', 2, 500, 45000, 'Ärger', 1), (1, 'Boulder.ATR', 1, 500, 45000.5, 'zebra', 2),"
         " (2, 'boulder.atr', 1, NULL, 45000, 'Zebra', NULL), (3, 'Ärger.xex', 11, 500, 45000.5, 'ärger', 1),"
         " (4, 'Arger.xex', 11, 499.5, NULL, 'Arger', 2), (5, 'ärger.XEX', 2, 'abc', 45001, NULL, 1),"
         " (7, 'river.xex', NULL, NULL, 45000.25, 'zebra', NULL), (8, 'Maße', 1, 501, 45000, 'Masse', 2),"
         " (9, 'Masse', 1, -3, 45000.5, 'Maße', 1)");
    auto ids = [this](const QString& sql, const Variant& parameter = Variant()) {
        std::vector<int> result;
        auto q = db->CreateQueryDef(QString(), sql);
        if (!q) return std::vector<int>{-1};
        if (!parameter.isEmpty()) q->Parameters(0).Value = parameter;
        auto rs = q->OpenRecordset();
        if (!rs) return std::vector<int>{-2};
        for (; !rs->IsEOF(); rs->MoveNext()) result.push_back(int(rs->Fields(0).Value().toLong()));
        return result;
    };
    const QString select = QStringLiteral("SELECT ID, tFile, iType, lSize, tsCreated, mMemo, ucase(tFile) AS U, Category_ID"
                                          " FROM Files");
    const QString texts[] = {select, select + QStringLiteral(" WHERE tsCreated > 45000"),
                             QStringLiteral("PARAMETERS pType Short; ") + select + QStringLiteral(" WHERE iType <> pType")};
    for (const QString& text : texts)
        for (int column = 2; column <= 8; ++column)
            for (const bool descending : {false, true}) {
                const QString sql = text + QStringLiteral(" ORDER BY %1 %2").arg(column).arg(descending ? "DESC" : "ASC");
                SCOPED_TRACE(sql.toStdString());
                const Variant parameter = text.startsWith(QLatin1String("PARAMETERS")) ? Variant(int16_t(2)) : Variant();
                SetKeyedRowsThreshold(kKeyedRowsDefault);
                const std::vector<int> byEngine = ids(sql, parameter);
                SetKeyedRowsThreshold(0);
                EXPECT_EQ(ids(sql, parameter), byEngine);
            }
    SetKeyedRowsThreshold(0);
    EXPECT_EQ(ids(select + QStringLiteral(" ORDER BY 4 DESC")), (std::vector<int>{5, 8, 1, 3, 6, 4, 9, 2, 7}));
    EXPECT_EQ(ids(select + QStringLiteral(" ORDER BY 4")), (std::vector<int>{2, 7, 9, 4, 1, 3, 6, 8, 5}));
    // In the text column "Arger" < "Ärger" = "ärger" (by key), "Masse" < "Maße", "Zebra" = "zebra";
    // by bytes upper case first and "Ä" last.
    EXPECT_EQ(ids(select + QStringLiteral(" ORDER BY 2")), (std::vector<int>{4, 3, 5, 1, 2, 9, 8, 7, 6}));
    EXPECT_EQ(ids(select + QStringLiteral(" ORDER BY 6")), (std::vector<int>{5, 4, 8, 9, 2, 1, 7, 6, 3}));
}
