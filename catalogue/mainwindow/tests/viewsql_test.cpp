#include "mainwindowtest.h"

#include "catalogue/mainwindow/mainsettings.h"
#include "catalogue/mainwindow/viewsql.h"
#include "catalogue/tree/modsqltree.h"
#include "platform/db/jetsql.h"
#include "platform/db/keyedrows.h"
#include "platform/db/keyselect.h"
#include "platform/db/keysort.h"
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
        {"both boxes", 1, "a", "b", " where F.tFile like'*a*'"},
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
    // The path search joins the files whose path holds the text.
    r.PathSearch = QStringLiteral("b'c");
    EXPECT_EQ(BuildViewSql(r).Files, QStringLiteral("SELECT F.ID As ID,") + kSelect
                                         + QStringLiteral(",C.tCategory as [Kategorie] From (MainFiles as F "
                                                          " Inner Join (Select ID As FoundID,tPath As FoundPath From MainFiles)"
                                                          " As PF on PF.FoundID=F.ID And unlikely(PF.FoundPath like'*b''c*')"
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
                                         QStringLiteral("Select F.ID, int(cDate(tsStarted)),") + kSelect
                                             + QStringLiteral(",H.tsStarted as [Zuletzt gestartet] From (History as H Inner Join"
                                                              " MainFiles as F on F.ID = H.MainFiles_ID) "
                                                              " where not isnull(F.tsLastStarted)  order by +F.tsLastStarted desc")}));
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
    // A translated interface writes the seconds with a decimal point.
    const QString saved = gtLanguageFile;
    gtLanguageFile = QStringLiteral("English.lng");
    const QString english = DurationText(QStringLiteral("Categories"), 1.234);
    gtLanguageFile = saved;
    EXPECT_TRUE(english.endsWith(QStringLiteral(" 1.23s)"))) << english.toStdString();
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
    // How the engine reads a query, a step a line; `key` for the parameter XXX.
    QString plan(const QString& sql, const Variant& key = Variant())
    {
        const qsizetype statement = sql.startsWith(QStringLiteral("PARAMETERS")) ? sql.indexOf(QLatin1Char(';')) + 1 : 0;
        auto q = goDB->CreateQueryDef(QString(), sql.left(statement) + QStringLiteral(" EXPLAIN QUERY PLAN ") + sql.mid(statement));
        if (!q) return goDB->LastError().description;
        if (statement > 0) q->Parameters(QStringLiteral("XXX")).Value = key;
        auto rs = q->OpenRecordset();
        if (!rs) return q->LastError().description;
        QStringList steps;
        for (; !rs->IsEOF(); rs->MoveNext()) steps << rs->Fields(3).Value().text();
        return steps.join(QLatin1Char('\n'));
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
    // With a search by path, a category shows the files found in it.
    r.PathSearch = QStringLiteral("it's");
    EXPECT_EQ(childRows(BuildViewSql(r).ListLevels[1], Variant(int32_t(1))), (std::vector<int>{}));
    EXPECT_EQ(childRows(BuildViewSql(r).ListLevels[1], Variant(int32_t(2))), (std::vector<int>{2}));
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
    // With a search by path, a day shows the starts of the files found.
    r.PathSearch = QStringLiteral("it's");
    const ViewSql found = BuildViewSql(r);
    EXPECT_EQ(childRows(found.ListLevels[1], Variant(int32_t(dec1))), (std::vector<int>{}));
    EXPECT_EQ(childRows(found.ListLevels[1], Variant(int32_t(dec2))), (std::vector<int>{2}));
    EXPECT_EQ(ids(found.ListLevels[0]), (std::vector<int>{2}));
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
    for (const int mode : {kViewCategories, kViewHistory})
        for (const char* path : {"", "games"}) {
            ViewRequest r;
            r.ViewMode = mode;
            r.ShowCategory = true;
            r.PathSearch = QString::fromUtf8(path);
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

// The list under a day node gives the rows, in their order, that the history's own order
// gives (the file started last on top), whole and read by key, with and without the category
// joined; and it finds them from the day's starts, not by walking every file in the order of
// its last start, which at a million files took seconds for a day of a few hundred starts.
TEST_F(ViewsOnCatalogue, HistoryDayNodeReadsTheDaysStartsInTheHistorysOrder)
{
    // A third file started on 1 December, and last started later: it comes first on that day.
    const char* changes[] = {
        "UPDATE MainFiles SET tsLastStarted = #12/03/2024 09:00:00 am# WHERE ID = 5",
        "INSERT INTO History (MainFiles_ID, tsStarted) VALUES (5, #12/01/2024 10:00:00 am#)",
        "INSERT INTO History (MainFiles_ID, tsStarted) VALUES (5, #12/03/2024 09:00:00 am#)",
    };
    for (const char* sql : changes) ASSERT_FALSE(goDB->Execute(QString::fromUtf8(sql))) << sql;
    auto nodeRows = [](const QString& level, int day) {
        auto q = goDB->CreateQueryDef(QString(), MakeSQLParamQuery(level, 1, -1, true));
        std::vector<int> result;
        if (!q) return result;
        q->Parameters(QStringLiteral("XXX")).Value = Variant(int32_t(day));
        if (auto rs = q->OpenRecordset())
            for (; !rs->IsEOF(); rs->MoveNext()) result.push_back(int(rs->Fields(0).Value().toLong()));
        return result;
    };
    const int dec1 = int(DateSerial(2024, 12, 1));
    const int dec2 = int(DateSerial(2024, 12, 2));
    const int dec3 = int(DateSerial(2024, 12, 3));
    for (const bool showCategory : {false, true}) {
        SCOPED_TRACE(showCategory);
        ViewRequest r;
        r.ViewMode = kViewHistory;
        r.ShowCategory = showCategory;
        const QString dayLevel = BuildViewSql(r).ListLevels[1];
        for (const int threshold : {kKeyedRowsDefault, 0}) {
            SCOPED_TRACE(threshold);
            SetKeyedRowsThreshold(threshold);
            EXPECT_EQ(nodeRows(dayLevel, dec1), (std::vector<int>{5, 1, 1}));
            EXPECT_EQ(nodeRows(dayLevel, dec2), (std::vector<int>{2}));
            EXPECT_EQ(nodeRows(dayLevel, dec3), (std::vector<int>{5}));
            SetKeyedRowsThreshold(kKeyedRowsDefault);
        }
        const QString steps = plan(MakeSQLParamQuery(dayLevel, 1, -1, true), Variant(int32_t(dec1)));
        EXPECT_TRUE(steps.startsWith(QStringLiteral("SCAN TABLE History"))) << steps.toStdString();
        EXPECT_FALSE(steps.contains(QStringLiteral("MainFiles_C5"))) << steps.toStdString();
    }
}

// The new files, few against the catalogue or most of it, in the order of every column the
// list sorts by: the same rows either way. While they are few, the engine finds them by the
// key and sorts them, rather than walking the whole name index to skip the old files (at a
// million files a tenth of a second for an empty list).
TEST_F(ViewsOnCatalogue, NewFilesGiveTheSameRowsFewOrMany)
{
    ViewRequest few;
    few.ViewMode = kViewNewFiles;
    few.LastID = 2;
    few.NewestID = 5;
    few.FileCount = 100;
    ViewRequest many = few;
    many.FileCount = 5;
    const QString fewFiles = BuildViewSql(few).Files;
    const QString manyFiles = BuildViewSql(many).Files;
    EXPECT_EQ(ids(fewFiles), (std::vector<int>{3, 4, 5}));
    for (const int column : {-1, 3, 4, 5, 6, 13})
        for (const bool ascending : {true, false}) {
            SCOPED_TRACE(column * 10 + ascending);
            const std::vector<int> manyRows = ids(MakeSQLParamQuery(manyFiles, -1, column, ascending));
            EXPECT_EQ(manyRows.size(), 3u);
            EXPECT_EQ(ids(MakeSQLParamQuery(fewFiles, -1, column, ascending)), manyRows);
        }
    // Sorted by the name, as the list opens.
    const QString byName = plan(MakeSQLParamQuery(fewFiles, -1, FileNameField(1), true));
    EXPECT_TRUE(byName.contains(QStringLiteral("PRIMARY KEY"))) << byName.toStdString();
    EXPECT_FALSE(byName.contains(QStringLiteral("MainFiles_C1"))) << byName.toStdString();
    // A catalogue without files, or one not counted: all files above the last ID.
    for (const qint32 count : {0, -1}) {
        ViewRequest unknown = few;
        unknown.FileCount = count;
        EXPECT_EQ(ids(BuildViewSql(unknown).Files), (std::vector<int>{3, 4, 5}));
    }
}

// A search by path gives the files whose path holds the text, in the list's order, as the
// plain condition on the path does; sorted by name, the engine compares the paths in their
// index and reads only the files found, rather than walking the name index and reading every
// file's row (at a million files for tens of seconds).
TEST_F(ViewsOnCatalogue, PathSearchGivesTheRowsOfThePlainCondition)
{
    ViewRequest r;
    r.ShowCategory = true;
    r.PathSearch = QStringLiteral("games");
    const QString search = BuildViewSql(r).Files;
    r.PathSearch.clear();
    const QString plain = BuildViewSql(r).Files + QStringLiteral(" where F.tPath like'*games*'");
    std::vector<int> unordered = ids(search);
    std::sort(unordered.begin(), unordered.end());
    EXPECT_EQ(unordered, (std::vector<int>{1, 2, 5}));
    // The name and the size: no two files share one.
    for (const int column : {4, 5})
        for (const bool ascending : {true, false}) {
            SCOPED_TRACE(column * 10 + ascending);
            EXPECT_EQ(ids(MakeSQLParamQuery(search, -1, column, ascending)),
                      ids(MakeSQLParamQuery(plain, -1, column, ascending)));
        }
    const QString byName = plan(MakeSQLParamQuery(search, -1, FileNameField(1), true));
    EXPECT_FALSE(byName.contains(QStringLiteral("MainFiles_C1"))) << byName.toStdString();
    EXPECT_TRUE(byName.contains(QStringLiteral("MainFiles_C3"))) << byName.toStdString();
    // A screen's rows, read by their keys once the keys are read, compare those files' paths
    // alone: gathering the files found from every path again for each screen took as long as
    // the search itself (at a million files a second, on the window's own thread).
    const QString screen = QStringLiteral("SELECT * FROM (") + WithoutFinalOrderBy(MakeSQLParamQuery(search, -1, 4, true))
                           + QStringLiteral(") WHERE ID IN (1, 3, 5)");
    std::vector<int> rows = ids(screen);
    std::sort(rows.begin(), rows.end());
    EXPECT_EQ(rows, (std::vector<int>{1, 5}));
    const QString steps = plan(screen);
    EXPECT_FALSE(steps.contains(QStringLiteral("SCAN"))) << steps.toStdString();
}

// The categories list, by name as it opens, reads its keys (the files with a category, in
// that order) from an index alone; it used to read each file's row for its category, at a
// million files for seconds.
TEST_F(ViewsOnCatalogue, CategoriesListReadsItsKeysFromAnIndex)
{
    ViewRequest r;
    r.ViewMode = kViewCategories;
    const QString list = MakeSQLParamQuery(BuildViewSql(r).ListLevels[0], -1, FileNameField(2), true);
    const QString keys = QStringLiteral("SELECT ID FROM (") + KeysOnlySelect(TranslateJetSql(list).sql) + QLatin1Char(')');
    std::vector<int> names = ids(keys);
    EXPECT_EQ(names, (std::vector<int>{1, 2}));  // BOULDER.ATR, IT'S.XEX
    const QString steps = plan(keys);
    EXPECT_TRUE(steps.contains(QStringLiteral("COVERING INDEX"))) << steps.toStdString();
}

} // namespace

namespace {

// More files, so that sizes, types and empty columns repeat: the order of equal values shows.
void addFilesThatTie()
{
    const char* rows[] = {
        "INSERT INTO MainFiles (tFile, tPath, iFileType, lSize, tMemo) VALUES ('ZAXXON.XEX', '/games/ZAXXON.XEX', 11, 5000, 'gut')",
        "INSERT INTO MainFiles (tFile, tPath, iFileType, lSize, tMemo) VALUES ('archon.xex', '/games/archon.xex', 2, 300, 'Gut')",
        "INSERT INTO MainFiles (tFile, tPath, tUnpackPath, iFileType, lSize, lStartCount)"
        " VALUES ('BOULDER.ATR', '/arch/COLL.ZIP', 'DIR\\BOULDER.ATR', 1, 92176, 2)",
        "INSERT INTO MainFiles (tFile, tPath, iFileType, lSize, iModel) VALUES ('TAPE2.CAS', '/games/TAPE2.CAS', 4, 2000, 1)",
    };
    for (const char* sql : rows) ASSERT_FALSE(goDB->Execute(QString::fromUtf8(sql))) << sql;
}

} // namespace

// The file list sorted by any of its columns, whole and a selection by file type, read by key
// gives the rows of reading it whole, in their order, equal values in the order of their IDs,
// both ways. Sorted by a column no index orders, its keys come with that column from an index
// that holds them in the table's order, not from every file's row; a selection by type reads
// the files of its types by name from an index, not each file's row.
TEST_F(ViewsOnCatalogue, FileListSortsAndTypeSelectionsReadTheirKeysFromIndexes)
{
    addFilesThatTie();
    ViewRequest all;
    const QString files = BuildViewSql(all).Files;
    clsFilter programs;
    programs.Add("iFileType", "=", "2", "");
    programs.Add("iFileType", "=", "11", "Or");
    ViewRequest byType;
    byType.Selection = &programs;
    const QString typed = BuildViewSql(byType).Files;
    ViewRequest withCategory;
    withCategory.ShowCategory = true;
    const QString categorized = BuildViewSql(withCategory).Files;
    for (const QString& text : {files, typed, categorized})
        for (int column = 1; column <= (text == categorized ? 15 : 14); ++column)
            for (const bool ascending : {true, false}) {
                // The type column's keys come from the name index: equal types by name.
                if (column == 3) continue;
                const QString sql = MakeSQLParamQuery(text, -1, column, ascending);
                SCOPED_TRACE(sql.toStdString());
                SetKeyedRowsThreshold(kKeyedRowsDefault);
                const std::vector<int> whole = ids(sql);
                SetKeyedRowsThreshold(0);
                EXPECT_EQ(ids(sql), whole);
                SetKeyedRowsThreshold(kKeyedRowsDefault);
            }
    SetKeyedRowsThreshold(0);
    // By size: 300 (3, 7), 2000 (5, 9), 5000 (2, 6), 92176 (1, 8), 133136 (4); downwards the
    // same sizes in the reverse order, equal ones still by ID.
    EXPECT_EQ(ids(MakeSQLParamQuery(files, -1, 5, true)), (std::vector<int>{3, 7, 5, 9, 2, 6, 1, 8, 4}));
    EXPECT_EQ(ids(MakeSQLParamQuery(files, -1, 5, false)), (std::vector<int>{4, 1, 8, 2, 6, 5, 9, 3, 7}));
    EXPECT_EQ(ids(MakeSQLParamQuery(typed, -1, 4, true)), (std::vector<int>{7, 2, 6}));  // archon, IT'S, ZAXXON
    SetKeyedRowsThreshold(kKeyedRowsDefault);

    for (const int column : {5, 7, 8, 9, 10, 11, 12, 13, 14}) {
        SCOPED_TRACE(column);
        const QString keys = TranslateJetSql(MakeSQLParamQuery(files, -1, column, false)).sql;
        const auto shape = KeySortShapeOf(keys);
        ASSERT_TRUE(shape);
        QString table;
        const QString ordered = plan(QStringLiteral("SELECT ID FROM (") + KeysOnlySelect(keys) + QLatin1Char(')'));
        EXPECT_TRUE(SortsRowsReadInTableOrder(ordered.split(QLatin1Char('\n')), &table)) << ordered.toStdString();
        const QString unordered = plan(QStringLiteral("SELECT * FROM (") + shape->unordered + QLatin1Char(')'));
        EXPECT_TRUE(unordered.contains(QStringLiteral("COVERING INDEX MainFiles_C7"))) << unordered.toStdString();
    }
    // With the category joined by its key, as when the list shows it.
    for (const int column : {5, 12, 14}) {
        SCOPED_TRACE(column);
        const QString keys = TranslateJetSql(MakeSQLParamQuery(categorized, -1, column, true)).sql;
        QString table;
        const QString ordered = plan(QStringLiteral("SELECT ID FROM (") + KeysOnlySelect(keys) + QLatin1Char(')'));
        EXPECT_TRUE(SortsRowsReadInTableOrder(ordered.split(QLatin1Char('\n')), &table)) << ordered.toStdString();
    }
    const QString typeKeys = plan(QStringLiteral("SELECT ID FROM (")
                                  + KeysOnlySelect(TranslateJetSql(MakeSQLParamQuery(typed, -1, 4, true)).sql) + QLatin1Char(')'));
    EXPECT_TRUE(typeKeys.contains(QStringLiteral("COVERING INDEX MainFiles_C8"))) << typeKeys.toStdString();
}
