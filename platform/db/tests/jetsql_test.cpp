#include "platform/db/jetsql.h"

#include <gtest/gtest.h>

using namespace tv;

namespace {

// The select list of every file view, as the main window writes it.
const char* const kSelect =
    "iFileType AS iTyp,IIF(isNull(tUnpackpath),0,27) as IsArchiv,ucase(Right(tFile,3)) as [Filetyp],"
    "tFile as [Datei],lSize as [Größe],tPath as [Dateipfad],iModel as [Model],iOS as [OS],iBasic as [Basic],"
    "iVideo as [Video],tMemo as [Bemerkung],tUnpackpath as [Archivpfad],F.tsCreated as [Erstellt],"
    "lStartCount as [Zähler]";
const char* const kSelectLite =
    "iFileType AS iTyp,IIF(tv_isnull(tUnpackpath),0,27) as IsArchiv,ucase(tv_right(tFile,3)) as \"Filetyp\","
    "tFile as \"Datei\",lSize as \"Größe\",tPath as \"Dateipfad\",iModel as \"Model\",iOS as \"OS\","
    "iBasic as \"Basic\",iVideo as \"Video\",tMemo as \"Bemerkung\",tUnpackpath as \"Archivpfad\","
    "F.tsCreated as \"Erstellt\",lStartCount as \"Zähler\"";

struct Case {
    std::string jet;
    std::string sqlite;
    std::vector<std::string> parameters;
};

} // namespace

// Every SQL text the catalogue's callers send, with the text the engine gets.
TEST(JetSql, TranslatesTheCatalogueTexts)
{
    const std::string select = kSelect, lite = kSelectLite;
    const Case cases[] = {
        // Creating, opening and looking up
        {"Select * From Config", "Select * From Config", {}},
        {"Select * From Config where tItem='Version' order by ID desc",
         "Select * From Config where tItem='Version' order by ID desc", {}},
        {"Select Max(ID) As FldValue From MainFiles ", "Select Max(ID) As FldValue From MainFiles", {}},
        {"Select ID As FldValue From Category where tCategory ='Rock''n''Roll' AND ID<>3",
         "Select ID As FldValue From Category where tCategory ='Rock''n''Roll' AND ID<>3", {}},
        {"Select count(*) As FldValue From Category where tCategory = 'Nowhere'",
         "Select count(*) As FldValue From Category where tCategory = 'Nowhere'", {}},
        // Import: duplicate check and insert
        {"Select Top 1 ID From MainFiles where tPath='/a/b''s.zip' and tUnpackPath='x\\y #1.atr'",
         "Select ID From MainFiles where tPath='/a/b''s.zip' and tUnpackPath='x\\y #1.atr' LIMIT 1", {}},
        {"Select * From MainFiles", "Select * From MainFiles", {}},
        // Catalogue check and re-linking
        {"Select * from MainFiles order by tPath", "Select * from MainFiles order by tPath", {}},
        {"Update MainFiles Set tPath='/new/[p]''x.atr' where ID=12",
         "Update MainFiles Set tPath='/new/[p]''x.atr' where ID=12", {}},
        // File details, categories and deleting
        {"Select ID,tCategory From Category", "Select ID,tCategory From Category", {}},
        {"Select * From MainFiles where ID=12", "Select * From MainFiles where ID=12", {}},
        {"Select * From Category where tCategory='Rock''n''Roll'",
         "Select * From Category where tCategory='Rock''n''Roll'", {}},
        {"Update MainFiles Set Category_ID=Null where Category_ID=3",
         "Update MainFiles Set Category_ID=Null where Category_ID=3", {}},
        {"Delete * from Category where ID=3", "Delete from Category where ID=3", {}},
        {"Delete * from MainFiles where ID=12", "Delete from MainFiles where ID=12", {}},
        {"Select ID,tCategory From Category order by tCategory", "Select ID,tCategory From Category order by tCategory", {}},
        {"Update MainFiles Set Category_ID = Null where ID=12", "Update MainFiles Set Category_ID = Null where ID=12", {}},
        {"Update Category Set tCategory ='Rock''n''Roll' where ID=3",
         "Update Category Set tCategory ='Rock''n''Roll' where ID=3", {}},
        {"Delete * from History where clng(cDate(tsStarted))=46365",
         "Delete from History where clng(cDate(tsStarted))=46365", {}},
        // Recording a start
        {"Update MainFiles Set tsLastStarted=#12/09/2026 02:05:09 pm#,lStartCount=val('' & lStartCount) + 1 Where ID=12",
         "Update MainFiles Set tsLastStarted=46365.586909722224,lStartCount=val(tv_cat('',lStartCount)) + 1 Where ID=12", {}},
        {"Select * From History", "Select * From History", {}},
        // Tree levels: item and parent queries
        {"Parameters xxx Value;SELECT ID AS ItemKey, Cat AS ParentKey, 2 AS Icon, tFile FROM T WHERE Cat=xxx ORDER BY tFile",
         "SELECT ID AS ItemKey, Cat AS ParentKey, 2 AS Icon, tFile FROM T WHERE Cat=?1 ORDER BY tFile", {"xxx"}},
        {"Parameters xxx Value;SELECT ID, Cat, 2, tFile FROM T  WHERE iFileType=1 And Cat=xxx",
         "SELECT ID, Cat, 2 AS Expr1002, tFile FROM T  WHERE iFileType=1 And Cat=?1", {"xxx"}},
        {"SELECT DISTINCT Cat  FROM T order by 1", "SELECT DISTINCT Cat  FROM T order by 1", {}},
        {"Parameters xxx Value;SELECT a, b FROM T WHERE b=xxx UNION SELECT c, d FROM U WHERE d=xxx",
         "SELECT a, b FROM T WHERE b=?1 UNION SELECT c, d FROM U WHERE d=?1", {"xxx"}},
        {"SELECT DISTINCT -1 AS ItemKey,-1 AS ParentKey,23 AS Icon,'Zuletzt gestartet' From Config",
         "SELECT DISTINCT -1 AS ItemKey,-1 AS ParentKey,23 AS Icon,'Zuletzt gestartet' AS Expr1003 From Config", {}},
        {"SELECT distinct(clng(cDate(tsStarted))),-1,29,Format(tsStarted,'dd.MM.yyyy') from History order by 1 desc",
         "SELECT distinct(clng(cDate(tsStarted))) AS Expr1000,-1 AS Expr1001,29 AS Expr1002,"
         "Format(tsStarted,'dd.MM.yyyy') AS Expr1003 from History order by 1 desc", {}},
        {"Parameters xxx Value;SELECT distinct(clng(cDate(tsStarted))),-1,29,Format(tsStarted,'dd.MM.yyyy') from History "
         "WHERE -1=xxx order by 1 desc",
         "SELECT distinct(clng(cDate(tsStarted))) AS Expr1000,-1 AS Expr1001,29 AS Expr1002,"
         "Format(tsStarted,'dd.MM.yyyy') AS Expr1003 from History WHERE -1=?1 order by 1 desc", {"xxx"}},
        {"Parameters xxx Value;SELECT distinct(int(cDate(tsStarted))),-1,29,Format(tsStarted,'dd.MM.yyyy') from History"
         " WHERE -1=xxx order by 1 desc",
         "SELECT distinct(int(cDate(tsStarted))) AS Expr1000,-1 AS Expr1001,29 AS Expr1002,"
         "Format(tsStarted,'dd.MM.yyyy') AS Expr1003 from History WHERE -1=?1 order by 1 desc", {"xxx"}},
        // Tree: parent key of one item, the parent-key buffer
        {"Select F.ID,Category_ID AS ParentKey, 1, tFile FROM MainFiles F WHERE  (a=1) AND (F.ID = 17) ",
         "Select F.ID,Category_ID AS ParentKey, 1 AS Expr1002, tFile FROM MainFiles F WHERE  (a=1) AND (F.ID = 17)", {}},
        {"SELECT distinct(int(cDate(tsStarted))),-1,29,Format(tsStarted,'dd.MM.yyyy') from History WHERE "
         " ((int(cDate(tsStarted))) = 46000) ",
         "SELECT distinct(int(cDate(tsStarted))) AS Expr1000,-1 AS Expr1001,29 AS Expr1002,"
         "Format(tsStarted,'dd.MM.yyyy') AS Expr1003 from History WHERE  ((int(cDate(tsStarted))) = 46000)", {}},
        {"SELECT DISTINCT Category_ID  From (MainFiles as F  Left Join Category as C on F.Category_ID=C.ID) order by 1",
         "SELECT DISTINCT Category_ID  From (MainFiles as F  Left Join Category as C on F.Category_ID=C.ID) order by 1", {}},
        {"Delete * from History where int(cDate(tsStarted))=46365",
         "Delete from History where int(cDate(tsStarted))=46365", {}},
        {"SELECT ID AS ItemKey,-1 AS ParentKey,22 AS Icon, tCategory From Category order by tCategory",
         "SELECT ID AS ItemKey,-1 AS ParentKey,22 AS Icon, tCategory From Category order by tCategory", {}},
        // Main window views: all files, new files with searches, categories, history
        {"SELECT F.ID," + select + " From (MainFiles as F ) where F.ID>120 And F.tFile like'*a*'",
         "SELECT F.ID," + lite + " From (MainFiles as F ) where F.ID>120 And F.tFile like'*a*'", {}},
        {"SELECT F.ID," + select + ",C.tCategory as [Kategorie] From (MainFiles as F  Left Join Category as C on "
         "F.Category_ID=C.ID) where F.tFile like'*it''s*' And F.tPath like'*.ATR'",
         "SELECT F.ID," + lite + ",C.tCategory as \"Kategorie\" From (MainFiles as F  Left Join Category as C on "
         "F.Category_ID=C.ID) where F.tFile like'*it''s*' And F.tPath like'*.ATR'", {}},
        {"Select F.ID,-1," + select + " From (MainFiles as F  Left Join Category as C on F.Category_ID=C.ID)"
         " where not isNull(Category_ID)",
         "Select F.ID,-1 AS Expr1001," + lite + " From (MainFiles as F  Left Join Category as C on F.Category_ID=C.ID)"
         " where not tv_isnull(Category_ID)", {}},
        {"Parameters xxx Value;Select F.ID,Category_ID AS ParentKey," + select + " From (MainFiles as F  Left Join "
         "Category as C on F.Category_ID=C.ID) WHERE Category_ID=xxx",
         "Select F.ID,Category_ID AS ParentKey," + lite + " From (MainFiles as F  Left Join "
         "Category as C on F.Category_ID=C.ID) WHERE Category_ID=?1", {"xxx"}},
        {"Select F.ID,-1," + select + ",H.tsStarted as [Zuletzt gestartet] From (MainFiles as F ) Inner Join History as H"
         " on F.ID = H.MainFiles_ID  where not isnull(F.tsLastStarted)  order by F.tsLastStarted desc",
         "Select F.ID,-1 AS Expr1001," + lite + ",H.tsStarted as \"Zuletzt gestartet\" From (MainFiles as F ) Inner Join"
         " History as H on F.ID = H.MainFiles_ID  where not tv_isnull(F.tsLastStarted)  order by F.tsLastStarted desc", {}},
        {"Parameters xxx Value;Select F.ID, clng(cDate(tsStarted))," + select + " From (MainFiles as F ) Inner Join "
         "History as H on F.ID = H.MainFiles_ID  where not isnull(F.tsLastStarted)  And clng(cDate(tsStarted))=xxx "
         "order by F.tsLastStarted desc",
         "Select F.ID, clng(cDate(tsStarted)) AS Expr1001," + lite + " From (MainFiles as F ) Inner Join "
         "History as H on F.ID = H.MainFiles_ID  where not tv_isnull(F.tsLastStarted)  And clng(cDate(tsStarted))=?1 "
         "order by F.tsLastStarted desc", {"xxx"}},
        // Selections
        {"SELECT F.ID,tFile From (MainFiles as F ) where (  F.iFileType =1 Or F.iFileType =6 Or F.iFileType =8)"
         " And (  F.tPath Like'*x*' Or F.tUnpackPath Like'*x*') And lSize >100",
         "SELECT F.ID,tFile From (MainFiles as F ) where (  F.iFileType =1 Or F.iFileType =6 Or F.iFileType =8)"
         " And (  F.tPath Like'*x*' Or F.tUnpackPath Like'*x*') And lSize >100", {}},
        {"SELECT F.ID From (MainFiles as F  Left Join Category as C on F.Category_ID=C.ID) where tUnpackPath <>NULL"
         " And Category_ID ='3' Or C.TCATEGORY Not Like'*Sp*' And F.tFile Like '*.TXT'",
         "SELECT F.ID From (MainFiles as F  Left Join Category as C on F.Category_ID=C.ID) where tUnpackPath <>NULL"
         " And Category_ID ='3' Or C.TCATEGORY Not Like'*Sp*' And F.tFile Like '*.TXT'", {}},
        // Report list: filter parameter and sort column, combo box record sources
        {"PARAMETERS XXX VALUE; SELECT ID, tFile AS File, lSize FROM MainFiles WHERE iFileType=1 AND tFile = XXX ORDER BY 3 DESC",
         "SELECT ID, tFile AS File, lSize FROM MainFiles WHERE iFileType=1 AND tFile = ?1 ORDER BY 3 DESC", {"XXX"}},
        {"PARAMETERS XXX VALUE; SELECT Category_ID, Count(ID) FROM MainFiles WHERE iFileType=1 AND Category_ID = XXX"
         " GROUP BY Category_ID ORDER BY 2 ASC",
         "SELECT Category_ID, Count(ID) AS Expr1001 FROM MainFiles WHERE iFileType=1 AND Category_ID = ?1"
         " GROUP BY Category_ID ORDER BY 2 ASC", {"XXX"}},
        {"Select Category_ID, Count(*) As n From MainFiles GROUP BY Category_ID HAVING (Count(*) > 1) AND Category_ID  = 3"
         " ORDER BY 1",
         "Select Category_ID, Count(*) As n From MainFiles GROUP BY Category_ID HAVING (Count(*) > 1) AND Category_ID  = 3"
         " ORDER BY 1", {}},
        {"SELECT DISTINCT ID, tCategory AS Name FROM Category ORDER BY tCategory",
         "SELECT DISTINCT ID, tCategory AS Name FROM Category ORDER BY tCategory", {}},
        {"SELECT ID, tCategory FROM Category WHERE (ID > 0) AND UCASE(tCategory )LIKE 'ABC*' ORDER BY 1",
         "SELECT ID, tCategory FROM Category WHERE (ID > 0) AND UCASE(tCategory )LIKE 'ABC*' ORDER BY 1", {}},
        {"Select Distinct tFile,tFile from Mainfiles", "Select Distinct tFile,tFile from Mainfiles", {}},
        {"Select Distinct ID,tCategory from Category", "Select Distinct ID,tCategory from Category", {}},
        {"Select Distinct tFile,tFile from Mainfiles WHERE UCASE(tFile )LIKE 'B?ULDER*' ORDER BY 1",
         "Select Distinct tFile,tFile from Mainfiles WHERE UCASE(tFile )LIKE 'B?ULDER*' ORDER BY 1", {}},
        {"Select Distinct ID,tCategory from Category WHERE ID  = 3 ORDER BY 1",
         "Select Distinct ID,tCategory from Category WHERE ID  = 3 ORDER BY 1", {}},
        // Find criteria of the report list, the combo box and the tree
        {"[tFile] like 'O''Brien*'", "\"tFile\" like 'O''Brien*'", {}},
        {"[lSize]= 12.5", "\"lSize\"= 12.5", {}},
        {"[tsCreated]=#12/09/2026 02:05:09 pm#", "\"tsCreated\"=46365.586909722224", {}},
        {"UCASE([tFile] )LIKE 'ABC*'", "UCASE(\"tFile\" )LIKE 'ABC*'", {}},
        {"[lSize]  >= VAL('12.5')", "\"lSize\"  >= VAL('12.5')", {}},
        {"'' & [tsCreated] LIKE '09.12*'", "tv_cat('',\"tsCreated\") LIKE '09.12*'", {}},
        {"ItemKey=5", "ItemKey=5", {}},
        {"tCategory='Demo'", "tCategory='Demo'", {}},
        {"Expr1000=#12/09/2026 12:00:00 am#", "Expr1000=46365", {}},
        {"ParentKey like '*abc*'", "ParentKey like '*abc*'", {}},
        {"[ID] =5 and [Datei] ='Boulder.ATR' and [Größe] =92176 and [Erstellt] =#12/09/2026 02:05:09 pm#",
         "\"ID\" =5 and \"Datei\" ='Boulder.ATR' and \"Größe\" =92176 and \"Erstellt\" =46365.586909722224", {}},
        {"[tFile] like 'Pac*man'", "\"tFile\" like 'Pac*man'", {}},
        // Dialect: literals, & precedence, Top inside a subquery, positional parameters
        {"Select * From T where x = \"it's\" and f=True or g=false", "Select * From T where x = 'it''s' and f=-1 or g=0", {}},
        {"Select * From T where d = #1/2/2024# or d > #01/02/2024 01:30:00 am#",
         "Select * From T where d = 45293 or d > 45293.0625", {}},
        {"Select DISTINCTROW a From T", "Select a From T", {}},
        {"Select a & b + 1 & c AS x, Left(a, 1) From T Left Join U on T.a = U.a",
         "Select tv_cat(a,b + 1,c) AS x, tv_left(a, 1) AS Expr1001 From T Left Join U on T.a = U.a", {}},
        {"Select * From T where ID in (Select Top 2 ID From T order by ID) and x = ?",
         "Select * From T where ID in (Select ID From T order by ID LIMIT 2) and x = ?1", {""}},
        {"Select Top 5 [a b] From T;", "Select \"a b\" From T LIMIT 5;", {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.jet);
        const JetSql t = TranslateJetSql(QString::fromStdString(c.jet));
        EXPECT_TRUE(t.error.isEmpty()) << t.error.toStdString();
        EXPECT_EQ(t.sql.toStdString(), c.sqlite);
        std::vector<std::string> parameters;
        for (const QString& p : t.parameters) parameters.push_back(p.toStdString());
        EXPECT_EQ(parameters, c.parameters);
    }
}

// The outer select's "Top n" is kept as a number: a result of a few rows is read at once.
TEST(JetSql, TheOuterTopIsKept)
{
    EXPECT_EQ(TranslateJetSql(QStringLiteral("Select Top 1 ID From MainFiles where tPath='a'")).top, 1);
    EXPECT_EQ(TranslateJetSql(QStringLiteral("Select Top 5 [a b] From T;")).top, 5);
    EXPECT_EQ(TranslateJetSql(QStringLiteral("Select * From T where ID in (Select Top 2 ID From T)")).top, -1);
    EXPECT_EQ(TranslateJetSql(QStringLiteral("Select * From T")).top, -1);
}

TEST(JetSql, UnreadableTextsReportAnError)
{
    for (const char* jet : {"Select * From T where a = 'open", "Select [open From T", "Select * From T where d = #13/45/2024#",
                            "Parameters xxx Value Select 1"}) {
        SCOPED_TRACE(jet);
        EXPECT_FALSE(TranslateJetSql(QString::fromUtf8(jet)).error.isEmpty());
    }
}

// Nesting is bounded: a text nested deeper than the limit is refused with an error (30,000
// parentheses overflowed the stack), one at the limit is translated.
TEST(JetSql, NestingDeeperThanTheLimitIsRefused)
{
    auto nested = [](int depth, bool closed) {
        return QStringLiteral("Select ") + QString(depth, QLatin1Char('(')) + QStringLiteral("'a' & 1")
               + (closed ? QString(depth, QLatin1Char(')')) : QString()) + QStringLiteral(" From T");
    };
    for (const QString& jet : {nested(30000, true), nested(30000, false), nested(kMaxNesting + 1, true)}) {
        SCOPED_TRACE(jet.size());
        const JetSql t = TranslateJetSql(jet);
        EXPECT_FALSE(t.error.isEmpty());
        EXPECT_TRUE(t.sql.isEmpty());
    }
    const JetSql ok = TranslateJetSql(nested(kMaxNesting, true));
    EXPECT_TRUE(ok.error.isEmpty());
    EXPECT_EQ(ok.sql, QStringLiteral("Select ") + QString(kMaxNesting, QLatin1Char('(')) + QStringLiteral("tv_cat('a',1)")
                          + QString(kMaxNesting, QLatin1Char(')')) + QStringLiteral(" AS Expr1000 From T"));
}

// Many declared parameters and many unnamed columns translate as before; the first
// declaration of a name counts.
TEST(JetSql, ManyParametersAndColumns)
{
    QStringList declared, columns;
    for (int i = 0; i < 2000; ++i) {
        declared << QStringLiteral("p%1 Long").arg(i);
        columns << QStringLiteral("P%1 + 1").arg(i);
    }
    const JetSql t = TranslateJetSql(QStringLiteral("Parameters ") + declared.join(QLatin1Char(',')) + QStringLiteral(", P0 Text; Select ")
                                     + columns.join(QLatin1Char(',')) + QStringLiteral(" From T"));
    ASSERT_TRUE(t.error.isEmpty());
    EXPECT_EQ(t.parameters.size(), 2001);
    EXPECT_TRUE(t.sql.startsWith(QStringLiteral("Select ?1 + 1 AS Expr1000,?2 + 1 AS Expr1001,")));
    EXPECT_TRUE(t.sql.endsWith(QStringLiteral(",?2000 + 1 AS Expr2999 From T")));
    EXPECT_FALSE(t.textParameters[0]);
}
