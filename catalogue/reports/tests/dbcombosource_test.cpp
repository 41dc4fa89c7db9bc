#include "catalogue/reports/dbcombosource.h"
#include "catalogue/reports/tests/dbcombocatalogue.h"

#include <gtest/gtest.h>

using namespace tv;

namespace {

class ComboSourceTest : public ComboCatalogue {
protected:
    DBComboSource source;

    void SetUp() override
    {
        ComboCatalogue::SetUp();
        source.DataBase = db;
    }
    void parse(const char* recordSource)
    {
        source.RecordSource = QString::fromUtf8(recordSource);
        source.ParseRecordSource();
    }
    // The category ID of a looked-up row, 0 for none.
    static int idOf(const Variant& row)
    {
        return row.isArray() ? row.array()->at(0, 0).toLong() : 0;
    }
};

} // namespace

TEST(DBComboSelectList, EntriesSplitAtTopLevelCommasOnly)
{
    struct Case { const char* source; QStringList entries; };
    const Case cases[] = {
        {"SELECT DISTINCT ID, tCategory AS Name FROM Category ORDER BY tCategory", {"ID", "tCategory AS Name"}},
        {"select Format(x, 'a,b') AS y, z from t", {"Format(x, 'a,b') AS y", "z"}},
        {"SELECT IIf(a, (b), c), d FROM t", {"IIf(a, (b), c)", "d"}},
        // The keywords are struck wherever they stand.
        {"SELECT SELECTED, DISTINCTROWS FROM t", {"ED", "S"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.source);
        EXPECT_EQ(SplitSelectList(QString::fromUtf8(c.source)), c.entries);
    }
}

TEST_F(ComboSourceTest, ParseDescribesEveryColumn)
{
    parse("SELECT DISTINCT ID, tCategory AS Name FROM Category ORDER BY tCategory");
    ASSERT_TRUE(source.Ready());
    ASSERT_EQ(source.Fields().count(), 2);
    const clsDBField* id = source.Field(QStringLiteral("id"));
    const clsDBField* name = source.Field(QStringLiteral("Name"));
    ASSERT_TRUE(id && name);
    EXPECT_EQ(id->SqlExpr, QStringLiteral("ID"));
    EXPECT_EQ(id->Index, 1);
    EXPECT_EQ(name->SqlExpr, QStringLiteral("tCategory"));
    EXPECT_EQ(name->Index, 2);
    EXPECT_EQ(name->FieldType, 10);
    EXPECT_EQ(source.TableName(), QStringLiteral("Category"));
    // Empty value and text fields become the first and second column; the value column is hidden.
    EXPECT_EQ(source.ValueField, QStringLiteral("ID"));
    EXPECT_EQ(source.TextField, QStringLiteral("Name"));
    EXPECT_FALSE(id->Visible);
    EXPECT_EQ(source.TextColumn(), 1);

    // An unknown filter column is dropped with its value; a name in another case is normalised.
    source.FilterField = QStringLiteral("Nothing");
    source.FilterValue = Variant(int32_t(3));
    source.TextField = QStringLiteral("NAME");
    source.ParseRecordSource();
    EXPECT_EQ(source.FilterField, QString());
    EXPECT_TRUE(source.FilterValue.isNull());
    EXPECT_EQ(source.TextField, QStringLiteral("Name"));
}

TEST_F(ComboSourceTest, ColumnVisibilityFollowsTheMode)
{
    parse("SELECT ID, tCategory, fDeleted FROM Category");
    struct Case { int mode; int cols; std::vector<bool> visible; int textColumn; };
    const Case cases[] = {
        {0, 0, {false, true, true}, 1},
        {0, 1, {false, true, false}, 1},  // the last column and the value column
        {1, 1, {false, true, true}, 1},   // the first column
        {1, 2, {false, false, true}, 2},  // the text column is hidden: the first visible one
        {1, 3, {false, false, false}, -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.mode << "/" << c.cols);
        source.InvisibleColMode = c.mode;
        source.InvisibleCols = c.cols;
        source.ParseRecordSource();
        for (int i = 0; i < 3; ++i) EXPECT_EQ(source.Fields().item(i + 1)->Visible, c.visible[size_t(i)]) << i;
        EXPECT_EQ(source.TextColumn(), c.textColumn);
    }
}

TEST_F(ComboSourceTest, SourcesThatCannotBeDescribedLeaveTheComboNotReady)
{
    const char* sources[] = {
        "SELECT * FROM Category",   // the select list names no column
        "SELECT ID FROM Category",  // no second column for the text
        "SELECT ID, tNothing FROM Category",
        "",
    };
    for (const char* s : sources) {
        SCOPED_TRACE(s);
        source.TextField.clear();
        parse(s);
        EXPECT_FALSE(source.Ready());
        EXPECT_TRUE(source.LookupRow(QStringLiteral("ID"), Variant(int32_t(1)), true, false, false, false).isNull());
    }
    source.NoInitRecordset = true;
    parse("SELECT ID, tCategory FROM Category");
    EXPECT_FALSE(source.Ready());
    source.NoInitRecordset = false;
    source.DataBase.reset();
    source.ParseRecordSource();
    EXPECT_FALSE(source.Ready());
}

TEST_F(ComboSourceTest, DerivedQueries)
{
    struct Case {
        const char* name;
        const char* source;
        const char* field;
        Variant value;
        bool useDelFlag;
        bool ignoreWhere;
        const char* filterField;
        const char* expected;
    };
    const Case cases[] = {
        {"criterion on the value column", "SELECT ID, tCategory FROM Category WHERE ID > 0 ORDER BY tCategory",
         "ID", Variant(int32_t(5)), true, false, "",
         "SELECT ID, tCategory FROM Category WHERE (ID > 0) AND Category.fDeleted = 0 AND ID  = 5 ORDER BY 1"},
        {"the text column keeps the own order", "SELECT ID, tCategory FROM Category WHERE ID > 0 ORDER BY tCategory",
         "tCategory", Variant::null(), true, false, "",
         "SELECT ID, tCategory FROM Category WHERE (ID > 0) AND Category.fDeleted = 0 ORDER BY tCategory"},
        {"ignoring the condition keeps the filter", "SELECT ID, tCategory FROM Category WHERE ID > 0",
         "ID", Variant(int32_t(5)), true, true, "ID",
         "SELECT ID, tCategory FROM Category WHERE ID  = 3 AND ID  = 5 ORDER BY 1"},
        {"grouped sources get criteria in HAVING",
         "SELECT ID, tCategory FROM Category WHERE ID > 0 GROUP BY ID, tCategory HAVING Count(*) > 0",
         "ID", Variant(int32_t(5)), false, false, "",
         "SELECT ID, tCategory FROM Category WHERE (ID > 0) GROUP BY ID, tCategory HAVING (Count(*) > 0) AND ID  = 5"
         " ORDER BY 1"},
        {"the drop-down list", "SELECT ID, tCategory FROM Category ORDER BY tCategory", "", Variant::null(), true, false,
         "", "SELECT ID, tCategory FROM Category WHERE Category.fDeleted = 0 ORDER BY tCategory"},
        // Typed text on a number column would put the text into the query as it stands.
        {"a value the column cannot compare gives no query", "SELECT ID, tCategory FROM Category", "ID",
         Variant("0 OR 1=1"), false, false, "", ""},
        {"an unknown column gives no query", "SELECT ID, tCategory FROM Category", "tNothing", Variant::null(), false,
         false, "", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        source.FilterField = QString::fromUtf8(c.filterField);
        source.FilterValue = source.FilterField.isEmpty() ? Variant::null() : Variant(int32_t(3));
        parse(c.source);
        ASSERT_TRUE(source.Ready());
        EXPECT_EQ(source.BuildSql(QString::fromUtf8(c.field), c.value, true, false, c.useDelFlag, c.ignoreWhere),
                  QString::fromUtf8(c.expected));
    }
    source.FilterField.clear();
}

TEST_F(ComboSourceTest, LookupsFindTheFirstMatchingRow)
{
    parse("SELECT ID, tCategory FROM Category ORDER BY tCategory");
    ASSERT_TRUE(source.Ready());
    const QString id = QStringLiteral("ID"), text = QStringLiteral("tCategory");
    struct Case { const char* name; QString field; Variant value; bool exact; bool caseSensitive;
                  bool useDelFlag; bool ignoreWhere; int expected; };
    const Case cases[] = {
        {"value", id, Variant(int32_t(3)), true, false, true, false, 3},
        {"the database matches without case, the walk with it", text, Variant("ABC"), true, false, false, false, 2},
        {"case-sensitive prefix", text, Variant("ab"), false, true, false, false, 1},
        {"prefix without case", text, Variant("dem"), false, false, true, false, 3},
        {"deleted rows are left out", id, Variant(int32_t(4)), true, false, true, false, 0},
        {"unless the condition is ignored", id, Variant(int32_t(4)), true, false, false, true, 4},
        {"no row", text, Variant("Zzz"), false, false, true, false, 0},
        {"Null", id, Variant::null(), true, false, true, false, 0},
        {"typed text on a number column", id, Variant("1 OR 1=1"), true, false, false, false, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const Variant row = source.LookupRow(c.field, c.value, c.exact, c.caseSensitive, c.useDelFlag, c.ignoreWhere);
        EXPECT_EQ(idOf(row), c.expected);
        if (c.expected) { EXPECT_EQ(row.array()->count(1), 2); }
    }
}
