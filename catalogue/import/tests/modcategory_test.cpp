#include "archivefixtures.h"
#include "catalogue/core/moddatabase.h"
#include "catalogue/import/modcategory.h"

#include <gtest/gtest.h>

namespace tv {

namespace {

void Exec(const char* sql) { ASSERT_FALSE(goDB->Execute(QString::fromUtf8(sql))) << sql; }

} // namespace

TEST(Categories, NewIdsFollowTheHighestAndNamesKeepOneApostrophe)
{
    test::AppFolder app;
    EXPECT_EQ(GetCategoryID("Jack's"), 1);  // first category of an empty table
    EXPECT_EQ(GetCategoryID("Demos"), 2);
    EXPECT_EQ(GetCategoryID("jack's"), 1);  // found again, whatever the case
    EXPECT_EQ(test::CatalogueRows("Select tCategory From Category where ID=1"),
              std::vector<QStringList>{{"Jack's"}});
    EXPECT_TRUE(CategoryExists("Jack's", "", false));
    EXPECT_FALSE(CategoryExists("Nobody", "", true));
    EXPECT_TRUE(app.boxes.isEmpty());

    // The highest ID deleted: the next new category takes it again.
    ASSERT_FALSE(DeleteCategory(2));
    EXPECT_EQ(GetCategoryID("Spiele"), 2);
}

TEST(Categories, AnotherProgramTakingTheNextNumberMeanwhileIsNoFailure)
{
    struct Case {
        const char* name;
        const char* other;    // the category the other program adds between count and write
        qint32 expectedId;    // of "Spiele"
        const char* rows;     // the table afterwards, "ID name" by ID
    };
    const Case kCases[] = {
        {"another category", "Demos", 3, "1 Tools, 2 Demos, 3 Spiele"},
        {"the same category", "Spiele", 2, "1 Tools, 2 Spiele"},
    };
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.name);
        test::AppFolder app;
        Exec("INSERT INTO Category (ID, tCategory) VALUES (1, 'Tools')");
        DbError e;
        auto other = Database::Open(app.path("db/Test.MDB"), QByteArray(), &e);
        ASSERT_TRUE(other);
        ASSERT_FALSE(other->StartWriting());
        SetCategoryCountedHook([&] {
            SetCategoryCountedHook(nullptr);
            ASSERT_FALSE(other->Execute(QStringLiteral("INSERT INTO Category (ID, tCategory) VALUES (2, '%1')").arg(c.other)));
        });
        DbError error;
        EXPECT_EQ(GetCategoryID("Spiele", &error), c.expectedId);
        SetCategoryCountedHook(nullptr);
        EXPECT_FALSE(error) << error.description.toStdString();
        QStringList rows;
        for (const QStringList& row : test::CatalogueRows("Select ID, tCategory From Category order by ID")) rows << row.join(' ');
        EXPECT_EQ(rows.join(", "), QString::fromUtf8(c.rows));
        other->Close();
    }
}

TEST(Categories, ExistsWithExtraConditionAndMessage)
{
    test::AppFolder app;
    Exec("INSERT INTO Category (ID, tCategory) VALUES (7, 'X')");
    EXPECT_FALSE(CategoryExists("X", " AND ID<>7", true));  // renaming X itself
    EXPECT_TRUE(app.boxes.isEmpty());
    EXPECT_TRUE(CategoryExists("X", " AND ID<>3", true));
    EXPECT_EQ(app.boxes, QStringList{"Diese Kategorie besteht schon!"});
}

TEST(Categories, LongNamesAreStoredCutAndFoundAgain)
{
    test::AppFolder app;
    const QString longName(300, QLatin1Char('n'));
    const qint32 id = GetCategoryID(longName);
    EXPECT_EQ(id, 1);
    EXPECT_EQ(GetCategoryID(longName), id);  // no second row for the same name
    EXPECT_EQ(test::CatalogueRows("Select Count(*) From Category"), std::vector<QStringList>{{"1"}});
    EXPECT_EQ(test::CatalogueRows("Select Len(tCategory) From Category"), std::vector<QStringList>{{"255"}});
}

TEST(Categories, DeletingCategoriesAndFilesLeavesNoDanglingNumbers)
{
    test::AppFolder app;
    Exec("INSERT INTO Category (ID, tCategory) VALUES (1, 'A')");
    Exec("INSERT INTO Category (ID, tCategory) VALUES (2, 'B')");
    Exec("INSERT INTO MainFiles (ID, tFile, Category_ID) VALUES (1, 'a', 1)");
    Exec("INSERT INTO MainFiles (ID, tFile, Category_ID) VALUES (2, 'b', 2)");
    Exec("INSERT INTO History (MainFiles_ID, tsStarted) VALUES (2, 40000)");
    ASSERT_FALSE(DeleteCategory(1));
    EXPECT_EQ(test::CatalogueRows("Select ID, Category_ID From MainFiles order by ID"),
              (std::vector<QStringList>{{"1", "<Null>"}, {"2", "2"}}));
    EXPECT_EQ(test::CatalogueRows("Select ID From Category"), std::vector<QStringList>{{"2"}});

    ASSERT_FALSE(DeleteMainFile(2));
    EXPECT_EQ(test::CatalogueRows("Select ID From MainFiles"), std::vector<QStringList>{{"1"}});
    EXPECT_EQ(test::CatalogueRows("Select MainFiles_ID From History"), std::vector<QStringList>{{"2"}});
}

TEST(Categories, FailuresComeBackToTheCaller)
{
    test::AppFolder app;
    CloseDB();
    DbError error;
    EXPECT_EQ(GetCategoryID("A", &error), 0);
    EXPECT_TRUE(error);
    EXPECT_TRUE(DeleteMainFile(1));
    EXPECT_TRUE(DeleteCategory(1));
    EXPECT_TRUE(app.boxes.isEmpty());
}

} // namespace tv
