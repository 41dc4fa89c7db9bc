#include "catalogue/tree/citemflags.h"
#include "catalogue/tree/modsqltree.h"
#include "platform/db/field.h"
#include "platform/gui/msgbox.h"
#include "treetest.h"

#include <gtest/gtest.h>

using namespace tv;

namespace {
QString S(const char* s) { return QString::fromUtf8(s); }
} // namespace

TEST(TreeSql, LevelItemAndParentQueries)
{
    struct Case { const char* name; const char* level; const char* item; const char* parent; };
    const Case cases[] = {
        {"alias, order by",
         "SELECT ID AS ItemKey, Cat AS ParentKey, 2 AS Icon, tFile FROM T ORDER BY tFile",
         "Parameters xxx Value;SELECT ID AS ItemKey, Cat AS ParentKey, 2 AS Icon, tFile FROM T WHERE Cat=xxx ORDER BY tFile",
         "SELECT DISTINCT Cat  FROM T"},
        {"existing where is bracketed",
         "SELECT ID, Cat, 2, tFile FROM T WHERE iFileType=1 Or iFileType=2",
         "Parameters xxx Value;SELECT ID, Cat, 2, tFile FROM T  WHERE (iFileType=1 Or iFileType=2) And Cat=xxx",
         "SELECT DISTINCT Cat  FROM T WHERE iFileType=1 Or iFileType=2"},
        {"lower-case keywords",
         "select ID, Category_ID as ParentKey, 1, tFile from MainFiles where iBasic=2 order by tFile",
         "Parameters xxx Value;select ID, Category_ID as ParentKey, 1, tFile from MainFiles  where (iBasic=2) And Category_ID=xxx order by tFile",
         "SELECT DISTINCT Category_ID  from MainFiles where iBasic=2"},
        {"commas inside parentheses",
         "SELECT ID, IIf(isNull(Category_ID),0,Category_ID) AS ParentKey, 3, tFile FROM MainFiles",
         "Parameters xxx Value;SELECT ID, IIf(isNull(Category_ID),0,Category_ID) AS ParentKey, 3, tFile FROM MainFiles WHERE IIf(isNull(Category_ID),0,Category_ID)=xxx",
         "SELECT DISTINCT IIf(isNull(Category_ID),0,Category_ID)  FROM MainFiles"},
        {"group, having and order tails",
         "SELECT Max(ID), Cat, 1, tFile FROM T GROUP BY Cat, tFile HAVING Count(*)>1 ORDER BY tFile",
         "Parameters xxx Value;SELECT Max(ID), Cat, 1, tFile FROM T WHERE Cat=xxx GROUP BY Cat, tFile HAVING Count(*)>1 ORDER BY tFile",
         "SELECT DISTINCT Cat  FROM T"},
        {"one select item",
         "SELECT ID FROM T",
         "Parameters xxx Value;SELECT ID FROM T WHERE =xxx",
         "SELECT DISTINCT   FROM T"},
        {"union",
         "SELECT ID, A, 1, t FROM T1 UNION SELECT ID, B, 2, t FROM T2 WHERE x=1",
         "Parameters xxx Value;SELECT ID, A, 1, t FROM T1 WHERE A=xxx UNION SELECT ID, B, 2, t FROM T2  WHERE (x=1) And B=xxx",
         "SELECT DISTINCT A  FROM T1 UNION SELECT DISTINCT B  FROM T2 WHERE x=1"},
        {"union letters inside a name",
         "SELECT ID, ReunionID, 1, tCommunion FROM Reunions",
         "Parameters xxx Value;SELECT ID, ReunionID, 1, tCommunion FROM Reunions WHERE ReunionID=xxx",
         "SELECT DISTINCT ReunionID  FROM Reunions"},
        {"history days",
         "SELECT distinct(int(cDate(tsStarted))),-1,29,Format(tsStarted,'dd.MM.yyyy') from History order by 1 desc",
         "Parameters xxx Value;SELECT distinct(int(cDate(tsStarted))),-1,29,Format(tsStarted,'dd.MM.yyyy') from History WHERE -1=xxx order by 1 desc",
         "SELECT DISTINCT -1  from History"},
        {"keywords, commas and parentheses typed into a quoted search text",
         "SELECT ID, Cat, 2, tFile FROM T WHERE tFile Like '*a, (union where group by having order by*' ORDER BY tFile",
         "Parameters xxx Value;SELECT ID, Cat, 2, tFile FROM T  WHERE (tFile Like '*a, (union where group by having order by*') And Cat=xxx ORDER BY tFile",
         "SELECT DISTINCT Cat  FROM T WHERE tFile Like '*a, (union where group by having order by*'"},
        {"keywords in a doubled quote and a bracketed alias",
         "SELECT ID, Cat, 2, tFile AS [x from y] FROM T WHERE tPath Like '*it''s where it order by*'",
         "Parameters xxx Value;SELECT ID, Cat, 2, tFile AS [x from y] FROM T  WHERE (tPath Like '*it''s where it order by*') And Cat=xxx",
         "SELECT DISTINCT Cat  FROM T WHERE tPath Like '*it''s where it order by*'"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(MakeSQLItemString(S(c.level)), S(c.item));
        EXPECT_EQ(MakeSQLParentString(S(c.level)), S(c.parent));
    }
    EXPECT_EQ(MakeSQLItemString(QString()), QString());
}

TEST(TreeSql, QueryForTheParentKeyOfOneItem)
{
    struct Case { const char* name; const char* level; const char* key; const char* query; };
    const Case cases[] = {
        {"where and order",
         "Select F.ID,Category_ID AS ParentKey, 1, tFile FROM MainFiles F WHERE a=1 ORDER BY x", "17",
         "Select F.ID,Category_ID AS ParentKey, 1, tFile FROM MainFiles F WHERE  (a=1) AND (F.ID = 17) "},
        {"text key is quoted with apostrophes doubled",
         "SELECT tFile, tPath, 1, tFile FROM MainFiles", "O'Brien",
         "SELECT tFile, tPath, 1, tFile FROM MainFiles WHERE  (tFile = 'O''Brien') "},
        {"group by stays behind the condition",
         "SELECT Cat, -1, 1, Cat FROM T GROUP BY Cat", "Demo",
         "SELECT Cat, -1, 1, Cat FROM T WHERE  (Cat = 'Demo')  GROUP BY Cat"},
        {"distinct(expr) as the key",
         "SELECT distinct(int(cDate(tsStarted))),-1,29,Format(tsStarted,'dd.MM.yyyy') from History order by 1 desc", "46000",
         "SELECT distinct(int(cDate(tsStarted))),-1,29,Format(tsStarted,'dd.MM.yyyy') from History WHERE  ((int(cDate(tsStarted))) = 46000) "},
        {"a text key that reads like a number to Qt is still quoted",
         "SELECT tFile, tPath, 1, tFile FROM MainFiles", "nan",
         "SELECT tFile, tPath, 1, tFile FROM MainFiles WHERE  (tFile = 'nan') "},
        {"union keeps its parts",
         "SELECT a,b,1,c FROM T UNION SELECT d,e,2,f FROM U ORDER BY 1", "5",
         "SELECT a,b,1,c FROM T UNION SELECT d,e,2,f FROM U"},
        {"lower-case union keeps its parts too",
         "SELECT a,b,1,c FROM T union SELECT d,e,2,f FROM U order by 1", "5",
         "SELECT a,b,1,c FROM T union SELECT d,e,2,f FROM U"},
        {"keywords inside a quoted search text",
         "Select F.ID,Category_ID AS ParentKey, 1, tFile FROM MainFiles F WHERE tFile like '*a where b union c order by d*' ORDER BY x", "3",
         "Select F.ID,Category_ID AS ParentKey, 1, tFile FROM MainFiles F WHERE  (tFile like '*a where b union c order by d*') AND (F.ID = 3) "},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(MakeSQLFindParent(S(c.level), S(c.key)), S(c.query));
    }
}

TEST(TreeSql, EmptyParentQueryShowsTheTreeErrorBox)
{
    QString title;
    int style = 0;
    SetMsgBoxHook([&](const QString&, int s, const QString& t) { title = t; style = s; return int(vbOK); });
    EXPECT_EQ(MakeSQLParentString(QString()), QString());
    SetMsgBoxHook(nullptr);
    EXPECT_EQ(title, S("Tree: CTreeLevels_MakeSQLParentString"));
    EXPECT_EQ(style, int(vbCritical));
}

TEST(TreeSql, PiecesOfASelect)
{
    EXPECT_EQ(SplitSQLUnion(S("a union  b UNION c")), (QStringList{S("a"), S("b"), S("c")}));
    EXPECT_TRUE(SplitSQLUnion(QString()).isEmpty());

    QString select = S("SELECT a, b FROM T WHERE x=1 HAVING y ORDER BY a");
    EXPECT_EQ(CutSQLSuffix(select), S("HAVING y ORDER BY a"));
    EXPECT_EQ(select, S("SELECT a, b FROM T WHERE x=1"));
    EXPECT_EQ(CutSQLSuffix(select), QString());

    EXPECT_EQ(GetSQLFieldList(S(" SELECT DISTINCT F.ID AS k, Cat FROM T")),
              (QStringList{QString(), S("F.ID"), S("Cat FROM T")}));
    EXPECT_EQ(GetSQLFieldList(S("select distinct(int(tsStarted)),-1 from H")).value(1), S("(int(tsStarted))"));

    EXPECT_EQ(GetSelectFields(S("SELECT DISTINCT  ID ,  tFile AS File, Mid(a, 1, 2) FROM T")),
              (QStringList{S("ID"), S("tFile"), S("Mid(a,1,2)")}));
}

TEST(TreeSql, ReportParamQuery)
{
    struct Case { const char* name; const char* sql; int filter; int sort; bool asc; const char* result; };
    const Case cases[] = {
        {"filter and sort",
         "SELECT ID, tFile AS File, lSize FROM MainFiles WHERE iFileType=1 ORDER BY tFile", 1, 2, false,
         "PARAMETERS XXX VALUE; SELECT ID, tFile AS File, lSize FROM MainFiles WHERE (iFileType=1) AND tFile = XXX ORDER BY 3 DESC"},
        {"no filter, no sort keeps the order",
         "SELECT ID, tFile FROM MainFiles order by tFile", -1, -1, true,
         "SELECT ID, tFile FROM MainFiles ORDER BY tFile"},
        {"lower-case where keeps its case",
         "SELECT ID, tFile FROM MainFiles where iFileType=1 Or iFileType=2", 1, -1, true,
         "PARAMETERS XXX VALUE; SELECT ID, tFile FROM MainFiles where (iFileType=1 Or iFileType=2) AND tFile = XXX"},
        {"filter beyond the select list",
         "SELECT ID FROM T", 5, -1, true, "PARAMETERS XXX VALUE; SELECT ID FROM T"},
        {"filter before group by",
         "SELECT Cat, Count(*) FROM T GROUP BY Cat", 0, 0, true,
         "PARAMETERS XXX VALUE; SELECT Cat, Count(*) FROM T WHERE Cat = XXX GROUP BY Cat ORDER BY 1 ASC"},
        {"union sorts once, at the end",
         "SELECT ID, tFile FROM A ORDER BY tFile UNION SELECT ID, tFile FROM B ORDER BY tFile", 0, 1, true,
         "PARAMETERS XXX VALUE; SELECT ID, tFile FROM A WHERE ID = XXX UNION SELECT ID, tFile FROM B WHERE ID = XXX ORDER BY 2 ASC"},
        {"keywords inside quoted search texts",
         "SELECT ID, tFile FROM MainFiles WHERE tFile like '*x union y order by z*' And tPath like \"*group by where*\" ORDER BY tFile", 1, 1, true,
         "PARAMETERS XXX VALUE; SELECT ID, tFile FROM MainFiles WHERE (tFile like '*x union y order by z*' And tPath like \"*group by where*\") AND tFile = XXX ORDER BY 2 ASC"},
        {"a literal with a comma in the select list",
         "SELECT ID, 'a, b' AS t, tFile FROM T", 2, -1, true,
         "PARAMETERS XXX VALUE; SELECT ID, 'a, b' AS t, tFile FROM T WHERE tFile = XXX"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(MakeSQLParamQuery(S(c.sql), c.filter, c.sort, c.asc), S(c.result));
    }
    EXPECT_EQ(MakeSQLParamQuery(QString(), 1, 1, true), QString());
}

TEST(TreeSql, Literals)
{
    EXPECT_EQ(MakeSQLDate(QDateTime(QDate(2026, 12, 9), QTime(14, 5, 9))), S("#12/09/2026 02:05:09 pm#"));
    EXPECT_EQ(MakeSQLDate(QDateTime(QDate(2000, 1, 1), QTime(0, 0))), S("#01/01/2000 12:00:00 am#"));
    EXPECT_EQ(MakeSQLDate(QDateTime(QDate(2000, 1, 1), QTime(12, 0))), S("#01/01/2000 12:00:00 pm#"));
    EXPECT_EQ(MakeSQLDate(QDateTime(QDate(2000, 1, 1), QTime(23, 59, 59))), S("#01/01/2000 11:59:59 pm#"));

    struct Case { const char* name; int type; Variant value; const char* literal; };
    const Case cases[] = {
        {"apostrophe doubled", dbText, Variant(S("O'Brien's Quest")), "'O''Brien''s Quest'"},
        {"decimal comma", dbDouble, Variant(S("1,5")), "1.5"},
        {"double", dbDouble, Variant(1.5), "1.5"},
        {"true", dbBoolean, Variant(true), "-1"},
        {"false", dbBoolean, Variant(false), "0"},
        {"memo", dbMemo, Variant(S("x")), ""},
        {"date", dbDate, Variant::fromDateTime(QDateTime(QDate(2026, 12, 9), QTime(14, 5, 9))),
         "#12/09/2026 02:05:09 pm#"},
        {"long", dbLong, Variant(int32_t(17)), "17"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(MakeSQLValue(c.type, c.value), S(c.literal));
    }
    bool ok = true;
    EXPECT_EQ(MakeSQLValue(dbDate, Variant(S("kein Datum")), &ok), QString());
    EXPECT_FALSE(ok);
}

TEST(TreeSql, ItemFlagsIgnoreIndexesOutsideTheRows)
{
    CItemFlags flags;
    flags.Create(3, fExpandable);
    flags.Set(2, fLastItem, true);
    flags.Set(3, fSelected, true);
    flags.Set(-1, fSelected, true);
    EXPECT_EQ(flags.Item(2), fExpandable | fLastItem);
    EXPECT_FALSE(flags.Get(3, fSelected));
    EXPECT_EQ(flags.Item(3), 0);
    flags.Set(2, fExpandable, false);
    EXPECT_EQ(flags.Item(2), fLastItem);
}
