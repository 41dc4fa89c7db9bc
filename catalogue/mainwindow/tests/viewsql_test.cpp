#include "mainwindowtest.h"

#include "catalogue/mainwindow/mainsettings.h"
#include "catalogue/mainwindow/viewsql.h"
#include "catalogue/tree/modsqltree.h"
#include "platform/db/recordset.h"
#include "platform/runtime/convert.h"

using namespace tv;

namespace {

const QString kSelect = QStringLiteral(
    "iFileType AS iTyp,IIF(isNull(tUnpackpath),0,27) as IsArchiv,ucase(Right(tFile,3)) as [Filetyp],"
    "tFile as [Datei],lSize as [Größe],tPath as [Dateipfad],iModel as [Model],iOS as [OS],iBasic as [Basic],"
    "iVideo as [Video],tMemo as [Bemerkung],tUnpackpath as [Archivpfad],F.tsCreated as [Erstellt],"
    "lStartCount as [Zähler]");

TEST(ViewSql, ColumnHelpers)
{
    EXPECT_EQ(FileSelectList(), kSelect);
    EXPECT_EQ(ColumnAlias("x", "a[b].c", true), QStringLiteral("x as [a-b- c]"));
    EXPECT_EQ(ColumnAlias("tFile", "TFILE", false), QStringLiteral("Tfile"));
    const std::pair<const char*, const char*> columns[] = {
        {"Datei", "tFile"}, {"Größe", "lSize"}, {"Dateipfad", "tPath"}, {"Archivpfad", "tUnpackpath"},
        {"Erstellt", "tsCreated"}, {"Zähler", "lStartCount"}, {"Kategorie", "tCategory"}, {"Model", "Model"}};
    for (const auto& [key, field] : columns) EXPECT_EQ(GetViewColumn(QString::fromUtf8(key)), QString::fromUtf8(field)) << key;

    MainListColumns = QStringLiteral("Model@@@tcategory");
    EXPECT_TRUE(HasCategoryColumn());
    MainListColumns.clear();
    EXPECT_FALSE(HasCategoryColumn());
}

TEST(ViewSql, FileListConditions)
{
    struct Case {
        const char* name;
        int viewMode;
        const char* file;
        const char* path;
        const char* where;
    };
    const Case cases[] = {
        {"all files", 1, "", "", ""},
        {"apostrophe doubled", 1, "it's", "", " where F.tFile like'*it''s*'"},
        {"own pattern kept", 1, "*.ATR", "", " where F.tFile like'*.ATR'"},
        {"both boxes", 1, "a", "b", " where F.tFile like'*a*' And F.tPath like'*b*'"},
        {"new files first", 2, "a", "", " where F.ID>120 And F.tFile like'*a*'"},
        {"history", 4, "", "", " where not isnull(F.tsLastStarted) "},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ViewRequest r;
        r.ViewMode = c.viewMode;
        r.FileSearch = QString::fromUtf8(c.file);
        r.PathSearch = QString::fromUtf8(c.path);
        r.LastID = 120;
        EXPECT_EQ(BuildViewSql(r).Where, QString::fromUtf8(c.where));
    }

    ViewRequest r;
    EXPECT_EQ(BuildViewSql(r).Files, QStringLiteral("SELECT F.ID,") + kSelect + QStringLiteral(" From (MainFiles as F )"));
    r.ShowCategory = true;
    EXPECT_EQ(BuildViewSql(r).Files, QStringLiteral("SELECT F.ID,") + kSelect
                                         + QStringLiteral(",C.tCategory as [Kategorie] From (MainFiles as F "
                                                          " Left Join Category as C on F.Category_ID=C.ID)"));
    // A selection on the category name brings the join without the column.
    clsFilter byName;
    byName.Add("C.TCATEGORY", "=", "Demos", "");
    ViewRequest s;
    s.Selection = &byName;
    EXPECT_TRUE(BuildViewSql(s).Files.endsWith(
        QStringLiteral(" Left Join Category as C on F.Category_ID=C.ID) where C.TCATEGORY ='Demos'")));
}

TEST(ViewSql, LevelTexts)
{
    ViewRequest r;
    r.ViewMode = kViewHistory;
    r.ViewCaption = QStringLiteral("Zuletzt gestartet");
    ViewSql v = BuildViewSql(r);
    const QString historyTail = QStringLiteral(",H.tsStarted as [Zuletzt gestartet] From (MainFiles as F )"
                                               " Inner Join History as H on F.ID = H.MainFiles_ID "
                                               " where not isnull(F.tsLastStarted)  order by F.tsLastStarted desc");
    EXPECT_EQ(v.ListLevels, (QStringList{QStringLiteral("Select F.ID,-1,") + kSelect + historyTail,
                                         QStringLiteral("Select F.ID, int(cDate(tsStarted)),") + kSelect + historyTail}));
    EXPECT_EQ(v.TreeLevels,
              (QStringList{"SELECT DISTINCT -1 AS ItemKey,-1 AS ParentKey,23 AS Icon,'Zuletzt gestartet' From Config",
                           "SELECT StartDay,-1,29,Format(StartDay,'dd.MM.yyyy') from (SELECT distinct(int(cDate(tsStarted)))"
                           " AS StartDay from History) order by 1 desc"}));
    EXPECT_TRUE(v.Files.isEmpty());

    r.ViewMode = kViewCategories;
    r.ViewCaption = QStringLiteral("Kinder's");
    v = BuildViewSql(r);
    EXPECT_EQ(v.ListLevels, (QStringList{QStringLiteral("Select F.ID,-1,") + kSelect
                                             + QStringLiteral(" From (MainFiles as F ) where not isNull(Category_ID)"),
                                         QStringLiteral("Select F.ID,Category_ID AS ParentKey,") + kSelect
                                             + QStringLiteral(" From (MainFiles as F )")}));
    EXPECT_EQ(v.TreeLevels[0], QStringLiteral("SELECT DISTINCT -1 AS ItemKey,-1 AS ParentKey,22 AS Icon,'Kinder''s' From Config"));
}

TEST(ViewSql, DurationText)
{
    const std::pair<double, const char*> cases[] = {
        {0.42, "Kategorien (Dauer: 0,42s)"}, {1.234, "Kategorien (Dauer: 1,23s)"}, {95, "Kategorien (Dauer: 01:35)"},
        {90.4, "Kategorien (Dauer: 01:30)"}, {3 * 3600 + 5 * 60, "Kategorien (Dauer: 05:00)"}};
    for (const auto& [seconds, text] : cases)
        EXPECT_EQ(DurationText(QStringLiteral("Kategorien"), seconds), QString::fromUtf8(text)) << seconds;
}

class ViewsOnCatalogue : public CatalogueTest {
protected:
    // The rows of a second level that belong to one tree node, as the drill-down list asks
    // for them: the level filtered on its key column through the parameter XXX.
    std::vector<int> childRows(const QString& level, const Variant& key)
    {
        auto q = goDB->CreateQueryDef(QString(), MakeSQLParamQuery(level, 1, -1, true));
        if (!q) return {-99};
        q->Parameters(QStringLiteral("XXX")).Value = key;
        std::vector<int> result;
        auto rs = q->OpenRecordset();
        if (!rs) return {-99};
        for (; !rs->IsEOF(); rs->MoveNext()) result.push_back(int(rs->Fields(0).Value().toLong()));
        std::sort(result.begin(), result.end());
        return result;
    }
    std::vector<std::pair<int, QString>> nodes(const QString& level)
    {
        std::vector<std::pair<int, QString>> result;
        auto rs = goDB->OpenRecordset(level);
        if (!rs) return {{-99, goDB->LastError().description}};
        for (; !rs->IsEOF(); rs->MoveNext())
            result.emplace_back(int(rs->Fields(0).Value().toLong()), rs->Fields(3).Value().toString());
        return result;
    }
};

TEST_F(ViewsOnCatalogue, FileListsRun)
{
    ViewRequest r;
    r.ShowCategory = true;
    EXPECT_EQ(ids(BuildViewSql(r).Files), (std::vector<int>{1, 2, 3, 4, 5}));
    r.FileSearch = QStringLiteral("it's");
    EXPECT_EQ(ids(BuildViewSql(r).Files), (std::vector<int>{2}));
    r = ViewRequest{};
    r.ViewMode = kViewNewFiles;
    r.LastID = 3;
    r.PathSearch = QStringLiteral("games");
    EXPECT_EQ(ids(BuildViewSql(r).Files), (std::vector<int>{5}));
}

TEST_F(ViewsOnCatalogue, CategoriesTreeAndList)
{
    ViewRequest r;
    r.ViewMode = kViewCategories;
    r.ViewCaption = QStringLiteral("Kategorien");
    const ViewSql v = BuildViewSql(r);
    EXPECT_EQ(nodes(v.TreeLevels[0]), (std::vector<std::pair<int, QString>>{{-1, "Kategorien"}}));
    EXPECT_EQ(nodes(v.TreeLevels[1]), (std::vector<std::pair<int, QString>>{{2, "Demos"}, {1, "Spiele"}}));
    std::vector<int> first = ids(v.ListLevels[0]);
    std::sort(first.begin(), first.end());
    EXPECT_EQ(first, (std::vector<int>{1, 2}));
    EXPECT_EQ(childRows(v.ListLevels[1], Variant(int32_t(1))), (std::vector<int>{1}));
}

// A start keeps its own day in the tree, whatever its time: both starts of 1 December (08:00
// and 18:00) sit under one node, and the list under that node shows both.
TEST_F(ViewsOnCatalogue, HistoryKeysADayByItsDate)
{
    ViewRequest r;
    r.ViewMode = kViewHistory;
    r.ViewCaption = QStringLiteral("Zuletzt gestartet");
    const ViewSql v = BuildViewSql(r);
    const int dec1 = int(DateSerial(2024, 12, 1));
    const int dec2 = int(DateSerial(2024, 12, 2));
    EXPECT_EQ(nodes(v.TreeLevels[1]), (std::vector<std::pair<int, QString>>{{dec2, "02.12.2024"}, {dec1, "01.12.2024"}}));
    EXPECT_EQ(childRows(v.ListLevels[1], Variant(int32_t(dec1))), (std::vector<int>{1, 1}));
    EXPECT_EQ(childRows(v.ListLevels[1], Variant(int32_t(dec2))), (std::vector<int>{2}));
    EXPECT_EQ(ids(v.ListLevels[0]).size(), 3u);
}

// The day list reads the distinct days first and formats only those: the same rows as the
// text that formats every start, a day with two starts (one after noon) once.
TEST_F(ViewsOnCatalogue, HistoryDayListGivesTheRowsOfFormattingEveryStart)
{
    const QString everyStart = QStringLiteral(
        "SELECT distinct(int(cDate(tsStarted))),-1,29,Format(tsStarted,'dd.MM.yyyy') from History order by 1 desc");
    ViewRequest r;
    r.ViewMode = kViewHistory;
    const QString daysFirst = BuildViewSql(r).TreeLevels[1];
    auto rows = [](const QString& sql) {
        std::vector<QStringList> result;
        auto rs = goDB->OpenRecordset(sql);
        if (!rs) return std::vector<QStringList>{{goDB->LastError().description}};
        for (; !rs->IsEOF(); rs->MoveNext()) {
            QStringList row;
            for (int c = 0; c < 4; ++c) row << rs->Fields(c).Value().text();
            result.push_back(row);
        }
        return result;
    };
    EXPECT_EQ(rows(daysFirst), rows(everyStart));
    EXPECT_EQ(rows(daysFirst).size(), 2u);
    // The parent of a day node is found through the same text.
    EXPECT_EQ(nodes(MakeSQLFindParent(daysFirst, QString::number(int(DateSerial(2024, 12, 1))))).size(), 1u);
}

// The lists read by key (as at a million files) give the rows, in their order, that reading
// them whole gives: the keys are read with the columns no condition or order names left out.
TEST_F(ViewsOnCatalogue, ViewsReadByKeyGiveTheRowsReadWhole)
{
    QStringList texts;
    for (const int mode : {kViewCategories, kViewHistory}) {
        ViewRequest r;
        r.ViewMode = mode;
        r.ShowCategory = true;
        texts << BuildViewSql(r).ListLevels;
    }
    ViewRequest r;
    r.ShowCategory = true;
    r.PathSearch = QStringLiteral("games");
    texts << BuildViewSql(r).Files;
    // Sorted by each column the lists show (the fourth, "IsArchiv", is the categories' first
    // order), and in the order the view itself gives.
    QStringList sorted;
    for (const QString& text : texts)
        for (const int column : {-1, 3, 4, 5, 6, 13})
            for (const bool ascending : {true, false}) sorted << MakeSQLParamQuery(text, -1, column, ascending);
    for (const QString& sql : sorted) {
        SCOPED_TRACE(sql.toStdString());
        SetKeyedRowsThreshold(kKeyedRowsDefault);
        const std::vector<int> whole = ids(sql);
        SetKeyedRowsThreshold(0);
        const std::vector<int> byKey = ids(sql);
        SetKeyedRowsThreshold(kKeyedRowsDefault);
        EXPECT_EQ(byKey, whole);
    }
}

} // namespace
