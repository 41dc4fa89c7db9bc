#include "catalogue/reports/frmcolumnheader.h"
#include "catalogue/reports/reportview.h"
#include "controls/grid/column.h"
#include "controls/grid/columns.h"
#include "controls/grid/listview.h"
#include "platform/gui/msgbox.h"

#include <QApplication>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

using namespace tv;

// A report grid with a shown, a hidden, an always hidden, a not hideable and a right-fixed
// column; message boxes and the main window's view rebuild are recorded.
class ColumnDialog : public ::testing::Test {
protected:
    vantile::ListView grid;
    QStringList log;
    int answer = vbYes;

    void SetUp() override
    {
        grid.InitProperties();
        auto columns = grid.Columns();
        columns->Add(QStringLiteral("Name"), 80, 0, 0, 0, false, {}, QStringLiteral("Datei"));
        columns->Add(QStringLiteral("Size"), 60, 1, 0, 0, false, {}, QStringLiteral("Größe"));
        columns->Add(QStringLiteral("ID"), 40, 2);
        columns->Add(QStringLiteral("Locked"), 50, 0, 0, 0, false, {}, QStringLiteral("Pfad"))->AllowHide = false;
        columns->Add(QStringLiteral("Right"), 30, 0, 1);
        SetMsgBoxHook([this](const QString& prompt, int, const QString& title) {
            log << title + QStringLiteral(": ") + prompt;
            return answer;
        });
        SetColumnHeaderHost({QStringLiteral("Kategorie"), [this] { log << QStringLiteral("add category"); }});
    }
    void TearDown() override
    {
        SetMsgBoxHook(nullptr);
        SetColumnHeaderHost({});
    }
    void addCategory(int hidden)
    {
        grid.Columns()->Add(QStringLiteral("Kategorie"), 50, hidden, 0, 0, false, {}, QStringLiteral("Kategorie"));
    }
    static QStringList rows(frmColumnHeader& dialog)
    {
        QStringList out;
        auto lv = dialog.lvHeaders();
        for (int r = 0; r < lv->RowCount(); ++r)
            out << lv->Data(Variant(QStringLiteral("Key")), r).text() + QLatin1Char('=') +
                       lv->Data(Variant(QStringLiteral("Hidden")), r).text();
        return out;
    }
    static void select(frmColumnHeader& dialog, int row) { dialog.lvHeaders()->SetBookmark(row, -1, 0); }
    int hidden(const char* key) { return grid.Columns()->Item(Variant(QString::fromLatin1(key)))->Hidden(); }
};

TEST_F(ColumnDialog, ListsTheChoosableColumnsAndAReservedCategoryRow)
{
    frmColumnHeader dialog(&grid);
    EXPECT_EQ(rows(dialog), (QStringList{QStringLiteral("Name=1"), QStringLiteral("Size=2"), QStringLiteral("Locked=1"),
                                         QStringLiteral("Kategorie=2")}));
    EXPECT_EQ(dialog.lvHeaders()->Data(Variant(QStringLiteral("Name")), 1).text(), QStringLiteral("Größe"));
    EXPECT_EQ(dialog.categoryState(), 0);
    EXPECT_FALSE(dialog.cmdApply()->isEnabled());
    EXPECT_FALSE(dialog.cmdOk()->isEnabled());

    dialog.cmdApply_Click();
    EXPECT_TRUE(log.isEmpty()) << "an untouched category row asks for no rebuild";
}

TEST_F(ColumnDialog, ShowAndHideFollowTheButtonsAndApply)
{
    frmColumnHeader dialog(&grid);
    select(dialog, 1);
    EXPECT_TRUE(dialog.cmdAction(2)->isEnabled());
    dialog.cmdAction_Click(2);
    EXPECT_FALSE(dialog.cmdAction(2)->isEnabled());
    EXPECT_TRUE(dialog.cmdAction(3)->isEnabled());
    EXPECT_TRUE(dialog.cmdApply()->isEnabled());
    EXPECT_TRUE(dialog.cmdOk()->isEnabled());
    dialog.cmdAction_Click(3);
    EXPECT_FALSE(dialog.cmdApply()->isEnabled()) << "set back: nothing to apply";

    dialog.lvHeaders_ItemClick(1, 0, 1, 0, 10, 5);   // the icon toggles the row
    EXPECT_EQ(hidden("Size"), 1) << "nothing reaches the grid before applying";
    select(dialog, 0);
    dialog.cmdAction_Click(3);
    dialog.cmdOk_Click();
    EXPECT_EQ(hidden("Size"), 0);
    EXPECT_EQ(hidden("Name"), 1);
    EXPECT_EQ(hidden("ID"), 2);
    EXPECT_FALSE(dialog.isVisible());
}

// By keys alone: the focus goes from "Anzeigen" to "Ausblenden" and back as they take turns,
// so a second Return undoes the first and never reaches "Standard" (which would ask to reset).
TEST_F(ColumnDialog, ShowAndHideTakeTurnsUnderTheKeyboard)
{
    frmColumnHeader dialog(&grid);
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    QApplication::setActiveWindow(&dialog);
    select(dialog, 1);  // "Size", hidden
    dialog.cmdAction(2)->setFocus(Qt::TabFocusReason);
    // The list's Hidden column: 1 shown, 2 hidden.
    QTest::keyClick(dialog.windowHandle(), Qt::Key_Space);
    EXPECT_EQ(rows(dialog).value(1), QStringLiteral("Size=1"));
    EXPECT_EQ(QApplication::focusWidget(), dialog.cmdAction(3));
    QTest::keyClick(dialog.windowHandle(), Qt::Key_Return);
    EXPECT_EQ(rows(dialog).value(1), QStringLiteral("Size=2"));
    EXPECT_EQ(QApplication::focusWidget(), dialog.cmdAction(2));
    QTest::keyClick(dialog.windowHandle(), Qt::Key_Return);
    EXPECT_EQ(rows(dialog).value(1), QStringLiteral("Size=1"));
    EXPECT_TRUE(log.isEmpty()) << log.join(QLatin1Char('|')).toStdString();
    dialog.close();
}

TEST_F(ColumnDialog, AColumnThatMayNotHideIsRefused)
{
    frmColumnHeader dialog(&grid);
    select(dialog, 2);
    dialog.cmdAction_Click(3);
    dialog.lvHeaders_ItemClick(2, 0, 1, 0, 10, 5);
    dialog.lvHeaders_ItemClick(1, 0, 1, 0, 10, 5);   // not the current row: no effect
    EXPECT_EQ(log, QStringList(2, QStringLiteral("Spalte ausblenden: Diese Spalte kann nicht ausgeblendet werden!")));
    EXPECT_EQ(rows(dialog)[2], QStringLiteral("Locked=1"));
    EXPECT_EQ(rows(dialog)[1], QStringLiteral("Size=2"));
}

TEST_F(ColumnDialog, TheCategoryRowAddsShowsOrRemovesTheColumn)
{
    {
        frmColumnHeader dialog(&grid);
        select(dialog, 3);
        dialog.cmdAction_Click(2);
        dialog.cmdApply_Click();
        EXPECT_EQ(log, QStringList{QStringLiteral("add category")});
        EXPECT_EQ(dialog.categoryState(), 1);
    }
    // A hidden category column, first in display order: showing it is applied too.
    addCategory(0);
    grid.Columns()->Item(Variant(QStringLiteral("Kategorie")))->SetOrder(-1);
    grid.Columns()->Item(Variant(QStringLiteral("Kategorie")))->SetHidden(1);
    {
        frmColumnHeader dialog(&grid);
        ASSERT_EQ(rows(dialog)[0], QStringLiteral("Kategorie=2"));
        EXPECT_EQ(dialog.categoryState(), 2);
        dialog.cmdAction_Click(2);
        dialog.cmdApply_Click();
        EXPECT_EQ(hidden("Kategorie"), 0);
        EXPECT_EQ(dialog.categoryState(), 1);
        dialog.cmdAction_Click(3);
        dialog.cmdApply_Click();
        EXPECT_FALSE(grid.Columns()->Item(Variant(QStringLiteral("Kategorie"))));
        EXPECT_EQ(dialog.categoryState(), 0);
    }
}

TEST_F(ColumnDialog, StandardAsksThenShowsReordersAndDropsTheCategory)
{
    addCategory(0);
    grid.Columns()->Item(Variant(QStringLiteral("Name")))->SetOrder(-2);
    frmColumnHeader dialog(&grid);
    answer = vbNo;
    dialog.cmdAction_Click(4);
    EXPECT_EQ(hidden("Size"), 1);
    ASSERT_EQ(log.size(), 1);
    EXPECT_TRUE(log[0].startsWith(QStringLiteral("Spalten-Layout: Wollen Sie")));

    answer = vbYes;
    dialog.cmdAction_Click(4);
    EXPECT_EQ(hidden("Size"), 0);
    EXPECT_EQ(hidden("ID"), 2);
    EXPECT_FALSE(grid.Columns()->Item(Variant(QStringLiteral("Kategorie"))));
    EXPECT_EQ(grid.Columns()->Item(Variant(QStringLiteral("Name")))->Order(), 0);
    EXPECT_EQ(rows(dialog).last(), QStringLiteral("Kategorie=2"));
    EXPECT_EQ(dialog.categoryState(), 0);
}

// The report list opens the dialog modally on its grid; the drill-down report keeps the
// result as the active level's layout.
TEST(ColumnDialogFromReport, EditHeadersOpensTheDialogOnTheReportGrid)
{
    ReportView view;
    int requests = 0;
    view.SimpleReport_()->EditHeadersRequested.connect([&](SimpleReport*) { ++requests; });
    view.SimpleReport_()->grid()->Columns()->Add(QStringLiteral("tFile"), 50);
    bool seen = false;
    QTimer::singleShot(0, [&] {
        auto dialog = qobject_cast<frmColumnHeader*>(QApplication::activeModalWidget());
        ASSERT_TRUE(dialog);
        seen = true;
        dialog->cmdExit_Click();
    });
    view.EditHeaders();
    EXPECT_TRUE(seen);
    EXPECT_EQ(requests, 1);
}
