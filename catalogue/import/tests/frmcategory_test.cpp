#include "archivefixtures.h"
#include "catalogue/core/moddatabase.h"
#include "catalogue/core/modglobals.h"
#include "catalogue/import/frmcategory.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

namespace tv {

class CategoryWindow : public ::testing::Test {
protected:
    void SetUp() override
    {
        for (const char* sql : {"INSERT INTO Category (ID, tCategory) VALUES (1, 'Spiele')",
                                "INSERT INTO Category (ID, tCategory) VALUES (2, 'Demos')",
                                "INSERT INTO MainFiles (ID, tFile, Category_ID) VALUES (1, 'a', 1)",
                                "INSERT INTO MainFiles (ID, tFile, Category_ID) VALUES (2, 'b', 1)",
                                "INSERT INTO MainFiles (ID, tFile, Category_ID) VALUES (3, 'c', 1)"})
            ASSERT_FALSE(goDB->Execute(QString::fromLatin1(sql)));
    }
    // Loads the window for the given selection, chooses the entry `choice` (an entry's text)
    // or types `typed`, and presses the button.
    void Run(const QList<qint32>& ids, const QString& choice, const QString& typed, const char* button = "cmdOk")
    {
        f.SelectedFileIDs = [ids] { return ids; };
        f.Form_Load();
        auto* combo = f.findChild<QComboBox*>("cboCategory");
        countAtLoad = f.findChild<QLabel*>("lblCount")->text();
        if (!choice.isEmpty())
            combo->setCurrentIndex(combo->findText(choice));
        else
            combo->setEditText(typed);
        f.findChild<QPushButton*>(button)->click();
    }
    std::vector<QStringList> Categories() const
    {
        return test::CatalogueRows("Select ID, Category_ID From MainFiles order by ID");
    }
    test::AppFolder app;
    frmCategory f;
    QString countAtLoad;
};

TEST_F(CategoryWindow, ListsTheClearingEntryFirstThenTheCategoriesByName)
{
    f.Form_Load();
    auto* combo = f.findChild<QComboBox*>("cboCategory");
    ASSERT_EQ(combo->count(), 3);
    EXPECT_EQ(combo->itemText(0), "<Löschen>");
    EXPECT_EQ(combo->itemText(1), "Demos");
    EXPECT_EQ(combo->itemData(1).toInt(), 2);
    EXPECT_EQ(combo->currentText(), "");
}

TEST_F(CategoryWindow, ChosenCategoryIsWrittenToTheSelection)
{
    Run({1, 3}, "Demos", {});
    EXPECT_EQ(countAtLoad, "2");
    EXPECT_EQ(f.findChild<QLabel*>("lblCount")->text(), "0");  // counted down
    EXPECT_TRUE(f.Changed);
    EXPECT_EQ(Categories(), (std::vector<QStringList>{{"1", "2"}, {"2", "1"}, {"3", "2"}}));
    EXPECT_TRUE(gcolWindows.keyExists("frmCategory"));
}

TEST_F(CategoryWindow, ClearingEntryWritesNull)
{
    Run({2}, "<Löschen>", {});
    EXPECT_TRUE(f.Changed);
    EXPECT_EQ(Categories(), (std::vector<QStringList>{{"1", "1"}, {"2", "<Null>"}, {"3", "1"}}));
}

TEST_F(CategoryWindow, TypedNameIsAddedEvenWithoutFiles)
{
    Run({}, {}, "Jack's");
    EXPECT_EQ(countAtLoad, "0");
    EXPECT_TRUE(f.Changed);
    EXPECT_EQ(test::CatalogueRows("Select ID, tCategory From Category where ID=3"),
              (std::vector<QStringList>{{"3", "Jack's"}}));
    EXPECT_EQ(Categories(), (std::vector<QStringList>{{"1", "1"}, {"2", "1"}, {"3", "1"}}));
}

TEST_F(CategoryWindow, TypedNameOfAnExistingCategoryTakesIt)
{
    Run({1}, {}, "demos");
    EXPECT_EQ(test::CatalogueRows("Select Count(*) From Category"), std::vector<QStringList>{{"2"}});
    EXPECT_EQ(Categories()[0], (QStringList{"1", "2"}));
}

// Typed as a user types: the box completes "de" to "demos" (the rest of "Demos"), and one
// Return takes the completion and OK together.
TEST_F(CategoryWindow, OneReturnTakesTheCompletedNameAndCloses)
{
    f.SelectedFileIDs = [] { return QList<qint32>{1}; };
    f.Form_Load();
    f.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&f));
    QApplication::setActiveWindow(&f);
    auto* combo = f.findChild<QComboBox*>("cboCategory");
    combo->setFocus(Qt::TabFocusReason);
    for (const char c : {'d', 'e'}) QTest::keyClick(f.windowHandle(), c);
    ASSERT_EQ(combo->currentText(), "demos");
    QTest::keyClick(f.windowHandle(), Qt::Key_Return);
    EXPECT_FALSE(f.isVisible());
    EXPECT_EQ(f.result(), QDialog::Accepted);
    EXPECT_TRUE(f.Changed);
    EXPECT_EQ(Categories()[0], (QStringList{"1", "2"}));
}

TEST_F(CategoryWindow, EmptyTextAndCancelChangeNothing)
{
    Run({1}, {}, {});
    EXPECT_FALSE(f.Changed);
    Run({1}, "Demos", {}, "cmdCancel");
    EXPECT_FALSE(f.Changed);
    EXPECT_EQ(Categories()[0], (QStringList{"1", "1"}));
}

TEST_F(CategoryWindow, FailureIsReportedAndTheCallerStillRefreshes)
{
    f.SelectedFileIDs = [] { return QList<qint32>{1}; };
    f.Form_Load();
    f.findChild<QComboBox*>("cboCategory")->setCurrentIndex(1);
    CloseDB();
    f.findChild<QPushButton*>("cmdOk")->click();
    ASSERT_EQ(app.boxes.size(), 1);
    EXPECT_TRUE(app.boxes[0].startsWith("Fehler beim Speichern der Kategorie: ")) << app.boxes[0].toStdString();
    EXPECT_TRUE(f.Changed);
}

} // namespace tv
