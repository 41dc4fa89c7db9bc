#include "mainwindowtest.h"

#include "catalogue/core/frminputbox.h"
#include "catalogue/mainwindow/frmlegend.h"
#include "catalogue/mainwindow/frmmainfilter.h"
#include "catalogue/reports/dbcombo.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QToolBar>
#include <QTreeWidget>

using namespace tv;

namespace {

QStringList conditionTexts(const clsFilter& f)
{
    QStringList result;
    for (const auto& e : f.Conditions)
        result << QStringList{e.value->Field, e.value->Compare, e.value->Value, e.value->Join}.join(QLatin1Char('|'));
    return result;
}

// The selection window over the small catalogue, with the main window's calls recorded and
// the input box answered from a queue.
class SelectionWindowTest : public CatalogueTest {
protected:
    void SetUp() override
    {
        CatalogueTest::SetUp();
        SetInputTextHook([this](const QString& prompt, const QString&, const QString& def) {
            prompts << prompt + QLatin1Char('|') + def;
            return answers.isEmpty() ? QString() : answers.takeFirst();
        });
        SetLegendHook([this] { ++legends; });
    }
    void TearDown() override
    {
        win.reset();
        SetInputTextHook(nullptr);
        SetLegendHook(nullptr);
        CatalogueTest::TearDown();
    }
    frmMainFilter& open(qint32 applied)
    {
        win = std::make_unique<frmMainFilter>();
        win->FilterIndex = applied;
        win->Filters = &filters;
        win->Host.CreateFilter = [this](qint32 id) { calls << QStringLiteral("create %1").arg(id); };
        win->Host.RenameFilter = [this](qint32 id, const QString& t) { calls << QStringLiteral("rename %1 %2").arg(id).arg(t); };
        win->Host.RemoveFilter = [this](qint32 id) { calls << QStringLiteral("remove %1").arg(id); };
        win->InitForm();
        return *win;
    }
    QTreeWidgetItem* node(const QString& text) const
    {
        auto found = win->treeFiles->findItems(text, Qt::MatchExactly | Qt::MatchRecursive);
        return found.isEmpty() ? nullptr : found.first();
    }

    FilterCollection filters;
    std::unique_ptr<frmMainFilter> win;
    QStringList calls, prompts, answers;
    int legends = 0;
};

TEST_F(SelectionWindowTest, OpensOnTheAppliedSelectionUnchanged)
{
    CreateDefaultFilters(filters);
    AddSelection(filters, QStringLiteral("Handbücher"), 6)->Add("iFileType", "=", "19", QString());
    frmMainFilter& w = open(2); // "Programme": types 2, 3, 11
    EXPECT_EQ(w.cboFilter->currentText(), QStringLiteral("Programme"));
    EXPECT_FALSE(w.cmdOK->isEnabled());
    EXPECT_FALSE(w.cmdApply->isEnabled());
    EXPECT_TRUE(w.cmdDelete->isEnabled());
    QTreeWidgetItem* root = w.treeFiles->topLevelItem(0);
    ASSERT_EQ(root->childCount(), 24);
    EXPECT_EQ(root->checkState(0), Qt::PartiallyChecked);   // some of the types
    QStringList checked;
    for (int i = 0; i < root->childCount(); ++i)
        if (root->child(i)->checkState(0) == Qt::Checked) checked << root->child(i)->text(0);
    EXPECT_EQ(checked, (QStringList{".COM", ".EXE", ".XEX"}));
    EXPECT_EQ(node(".COM")->foreground(0).color(), QColor(255, 0, 0));
    EXPECT_TRUE(node(".COM")->font(0).bold());

    // Another entry is a change; its picture types come back as "Type" conditions.
    w.cboFilter->setCurrentIndex(4); // "Bilder"
    EXPECT_TRUE(w.cmdOK->isEnabled());
    EXPECT_EQ(node(".GIF")->checkState(0), Qt::Checked);
    EXPECT_EQ(node(".PDF")->checkState(0), Qt::Unchecked);
    // Type 19 is ".PDF", the 21st node: nodes are found by their code, not their position.
    w.cboFilter->setCurrentIndex(5);
    EXPECT_EQ(node(".PDF")->checkState(0), Qt::Checked);
    EXPECT_EQ(node(".PNG")->checkState(0), Qt::Unchecked);
}

// With "Filter aus" in use the window opens on no selection: no entry chosen, every field
// without a condition and every file type ticked, nothing to apply.
TEST_F(SelectionWindowTest, OpensOnNothingWhileNoSelectionIsInUse)
{
    CreateDefaultFilters(filters);
    frmMainFilter& w = open(0);
    EXPECT_EQ(w.cboFilter->currentIndex(), -1);
    EXPECT_EQ(w.cboFilter->currentText(), QString());
    EXPECT_EQ(w.treeFiles->topLevelItem(0)->checkState(0), Qt::Checked);
    EXPECT_EQ(node(".ATR")->checkState(0), Qt::Checked);
    for (int i = 2; i <= 5; ++i) EXPECT_EQ(w.cmdCompare[i]->text(), QStringLiteral("X")) << i;
    EXPECT_FALSE(w.cmdOK->isEnabled());
    EXPECT_FALSE(w.cmdApply->isEnabled());
    EXPECT_FALSE(w.cmdDelete->isEnabled());
    w.cmdOK->click();
    EXPECT_TRUE(calls.isEmpty());
    // Conditions set on no entry become a new selection by the name the user gives; without
    // a name nothing is stored and the window stays, the conditions with it.
    w.show();
    w.txtPath->setText(QStringLiteral("games"));
    ASSERT_TRUE(w.cmdOK->isEnabled());
    w.cmdOK->click();
    EXPECT_TRUE(w.isVisible());
    EXPECT_EQ(filters.count(), 5);
    EXPECT_EQ(w.txtPath->text(), QStringLiteral("games"));
    answers << QStringLiteral("Spiele-Ordner");
    w.cmdOK->click();
    EXPECT_FALSE(w.isVisible());
    ASSERT_EQ(filters.count(), 6);
    const clsFilter& made = **filters.item(QStringLiteral("6"));
    EXPECT_EQ(made.Name, QStringLiteral("Spiele-Ordner"));
    EXPECT_TRUE(conditionTexts(made).contains(QStringLiteral("tPath|( )|games|")));
    EXPECT_EQ(calls, QStringList{"create 6"});
    // Choosing an entry shows it, as from any other.
    w.cboFilter->setCurrentIndex(0);  // "Disketten"
    EXPECT_EQ(node(".ATR")->checkState(0), Qt::Checked);
    EXPECT_EQ(node(".COM")->checkState(0), Qt::Unchecked);
    EXPECT_TRUE(w.cmdApply->isEnabled());
}

// The type root shows a partly chosen group as partly ticked; ticked again it takes every
// type, unticked none. The keys tick a node as the mouse does.
TEST_F(SelectionWindowTest, TypeRootShowsAPartlyChosenGroup)
{
    frmMainFilter& w = open(0);
    w.show();
    QTreeWidgetItem* root = w.treeFiles->topLevelItem(0);
    const auto tick = [&w](QTreeWidgetItem* item) {
        w.treeFiles->setCurrentItem(item);
        QTest::keyClick(w.treeFiles, Qt::Key_Space);
    };
    ASSERT_EQ(root->checkState(0), Qt::Checked);
    tick(node(".ATR"));
    EXPECT_EQ(node(".ATR")->checkState(0), Qt::Unchecked);
    EXPECT_EQ(root->checkState(0), Qt::PartiallyChecked);
    tick(root);
    EXPECT_EQ(root->checkState(0), Qt::Checked);
    EXPECT_EQ(node(".ATR")->checkState(0), Qt::Checked);
    tick(root);
    EXPECT_EQ(root->checkState(0), Qt::Unchecked);
    EXPECT_EQ(node(".XEX")->checkState(0), Qt::Unchecked);
    tick(node(".XEX"));
    EXPECT_EQ(root->checkState(0), Qt::PartiallyChecked);
    EXPECT_EQ(node(".XEX")->foreground(0).color(), QColor(255, 0, 0));
    tick(node(".XEX"));
    EXPECT_EQ(root->checkState(0), Qt::Unchecked);
    tick(node(".CAS"));
    w.cmdOK->click();
    ASSERT_EQ(filters.count(), 1);
    EXPECT_EQ(conditionTexts(**filters.item(1)), QStringList{"iFileType|=|4|"});
}

TEST_F(SelectionWindowTest, CompareButtonsCycleAndFollowTheirField)
{
    frmMainFilter& w = open(0);
    EXPECT_EQ(w.cboFilter->currentText(), QStringLiteral("Neue Selektion"));
    EXPECT_FALSE(w.cmdDelete->isEnabled());
    QStringList seen;
    for (int i = 0; i < 6; ++i) {
        w.cmdCompare_Click(3);
        seen << w.cmdCompare[3]->text();
    }
    EXPECT_EQ(seen, (QStringList{"=", "<", ">", "<>", "X", "="}));
    EXPECT_EQ(w.cmdCompare[3]->toolTip(), QStringLiteral("ist genau gleich"));

    w.cmdCompare[3]->setText(QStringLiteral("X"));
    struct Case {
        const char* typed;
        const char* shown;
    } cases[] = {{"abc", "0"}, {"-12 KB", "12"}, {"007", "7"}, {"2000", "2000"}};
    for (const Case& c : cases) {
        w.txtSize->setText(QString::fromUtf8(c.typed));
        EXPECT_EQ(w.txtSize->text(), QString::fromUtf8(c.shown)) << c.typed;
        EXPECT_EQ(w.cmdCompare[3]->text(), QStringLiteral("=")) << c.typed;
    }
    w.txtSize->clear();
    EXPECT_EQ(w.cmdCompare[3]->text(), QStringLiteral("X"));
    w.txtPath->setText(QStringLiteral("games"));
    EXPECT_EQ(w.cmdCompare[2]->text(), QStringLiteral("( )"));
}

// Return in a field applies the selection and closes the window, as "OK" does; it presses no
// compare button, so the conditions are those the user set. Unchanged, Return does nothing.
TEST_F(SelectionWindowTest, ReturnInAFieldAppliesAndCloses)
{
    CreateDefaultFilters(filters);
    frmMainFilter& w = open(1);
    w.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
    QApplication::setActiveWindow(&w);
    w.txtPath->setFocus(Qt::TabFocusReason);
    QTest::keyClick(w.windowHandle(), Qt::Key_Return);
    EXPECT_TRUE(w.isVisible());
    EXPECT_TRUE(calls.isEmpty()) << calls.join(QLatin1Char('|')).toStdString();
    for (const char c : {'g', 'a', 'm', 'e', 's'}) QTest::keyClick(w.windowHandle(), c);
    QTest::keyClick(w.windowHandle(), Qt::Key_Return);
    EXPECT_FALSE(w.isVisible());
    EXPECT_EQ(w.result(), QDialog::Accepted);
    EXPECT_EQ(calls, QStringList{QStringLiteral("create 1")});
    const clsFilter& applied = **filters.item(QStringLiteral("1"));
    EXPECT_TRUE(conditionTexts(applied).contains(QStringLiteral("tPath|( )|games|"))) << conditionTexts(applied).join(' ').toStdString();
    for (int i : {3, 4, 5}) EXPECT_EQ(w.cmdCompare[i]->text(), QStringLiteral("X")) << i;
}

// The selection commands of the tool bar are in no menu: Tab reaches each of them, and Space
// runs the one it reached.
TEST_F(SelectionWindowTest, TabReachesTheToolBarCommands)
{
    CreateDefaultFilters(filters);
    frmMainFilter& w = open(1);
    w.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
    w.activateWindow();
    w.cboFilter->setFocus(Qt::TabFocusReason);
    QList<QAction*> reached;
    for (int i = 0; i < 40 && QApplication::focusWidget() != w.treeFiles; ++i) {
        QTest::keyClick(w.windowHandle(), Qt::Key_Tab);
        for (QAction* a : {w.cmdNew, w.cmdEdit, w.cmdReset, w.cmdDelete, w.cmdInfo})
            if (QApplication::focusWidget() == w.tbFilter->widgetForAction(a)) reached << a;
    }
    EXPECT_EQ(reached, (QList<QAction*>{w.cmdNew, w.cmdEdit, w.cmdReset, w.cmdDelete, w.cmdInfo}));
    w.tbFilter->widgetForAction(w.cmdInfo)->setFocus(Qt::TabFocusReason);
    QTest::keyClick(w.windowHandle(), Qt::Key_Space);
    EXPECT_EQ(legends, 1);
    w.reject();
}

TEST_F(SelectionWindowTest, ApplyingANewEntryCreatesTheSelection)
{
    CreateDefaultFilters(filters);
    frmMainFilter& w = open(1);
    answers << QStringLiteral("Disketten") << QString(60, QLatin1Char('n'));
    w.NewSelection();
    EXPECT_EQ(messages, QStringList{"Dieser Name besteht schon!"});
    EXPECT_EQ(w.cboFilter->currentText(), QString(50, QLatin1Char('n')));
    // The controls still show "Disketten"'s types; they are stored under the new name.
    w.chkCompressed->click();
    w.cboCategory->setValue(1);
    w.txtPath->setText(QStringLiteral("it's"));
    w.Apply();
    ASSERT_EQ(filters.count(), 6);
    const clsFilter& made = **filters.item(QStringLiteral("6"));
    EXPECT_EQ(made.Name, QString(50, QLatin1Char('n')));
    const QStringList conds = conditionTexts(made);
    EXPECT_EQ(conds.mid(0, 4), (QStringList{"tUnpackPath|<>||", "Category_ID|=|1|", "tPath|( )|it's|",
                                            "iFileType|=|1|"}));
    EXPECT_EQ(conds.last(), QStringLiteral("iFileType|=|8|Or"));
    EXPECT_EQ(calls, QStringList{"create 6"});
    EXPECT_EQ(w.FilterIndex, 6);
    EXPECT_FALSE(w.cmdApply->isEnabled());
    EXPECT_TRUE(w.cmdDelete->isEnabled());

    // Loading it again shows the category by its name.
    w.cboFilter->setCurrentIndex(0);
    w.cboFilter->setCurrentIndex(5);
    EXPECT_EQ(w.cboCategory->Text(), QStringLiteral("Spiele"));
    EXPECT_EQ(w.cmdCompare[5]->text(), QStringLiteral("="));
    EXPECT_TRUE(w.chkCompressed->isChecked());

    // A typed category that names no row is kept by name.
    w.cboCategory->setValue(QStringLiteral("@Neu"));
    w.Apply();
    EXPECT_TRUE(conditionTexts(made).contains(QStringLiteral("C.TCATEGORY|=|Neu|")));
    EXPECT_EQ(filters.count(), 6);

    // A chosen category with a text operator is compared by its name, never as a number text.
    w.cboCategory->setValue(1);
    while (w.cmdCompare[5]->text() != QLatin1String("( )")) w.cmdCompare_Click(5);
    w.Apply();
    EXPECT_TRUE(conditionTexts(made).contains(QStringLiteral("C.TCATEGORY|( )|Spiele|")));
    EXPECT_FALSE(conditionTexts(made).contains(QStringLiteral("Category_ID|( )|1|")));
}

TEST_F(SelectionWindowTest, ApplyOnAnEmptyCollectionAndReset)
{
    frmMainFilter& w = open(0);
    w.Apply();
    ASSERT_EQ(filters.count(), 1);
    EXPECT_EQ((*filters.item(1))->Name, QStringLiteral("Neue Selektion"));
    EXPECT_TRUE((*filters.item(1))->Conditions.isEmpty());

    // A file-name condition on an empty value ("Is Null") leaves the combo box empty; a reset
    // must still take its button back to "X", or the condition would stay in force.
    (*filters.item(1))->Add(QStringLiteral("tFile"), QStringLiteral("="), QString(), QString());
    w.FilterIndex = 0;
    w.cboFilter->setCurrentIndex(-1);
    w.cboFilter->setCurrentIndex(0);
    EXPECT_EQ(w.cmdCompare[4]->text(), QStringLiteral("="));
    w.ResetControls();
    EXPECT_EQ(w.cmdCompare[4]->text(), QStringLiteral("X"));
    w.Apply();
    EXPECT_TRUE((*filters.item(1))->Conditions.isEmpty());
}

TEST_F(SelectionWindowTest, RenameDeleteAndLegend)
{
    CreateDefaultFilters(filters);
    frmMainFilter& w = open(3);
    answers << QStringLiteral("Bilder");
    w.RenameSelection();
    EXPECT_EQ(messages, QStringList{"Dieser Name besteht schon!"});
    EXPECT_EQ(lastTitle, QStringLiteral("Selektion ändern"));
    answers << QStringLiteral("Kassetten und Bänder im Archiv");
    w.RenameSelection();
    EXPECT_EQ(prompts.last(), QStringLiteral("Selektion ändern:|Kassetten"));
    EXPECT_EQ((*filters.item(QStringLiteral("3")))->Name, QStringLiteral("Kassetten und Bänder im Archiv"));
    EXPECT_EQ(calls, QStringList{"rename 3 Kassetten und Bän..."});

    calls.clear();
    w.DeleteSelection();
    EXPECT_FALSE(CollectionKeyExists(filters, QStringLiteral("3")));
    EXPECT_EQ(calls, QStringList{"remove 3"});
    EXPECT_EQ(w.cboFilter->count(), 4);
    EXPECT_EQ(w.cboFilter->currentText(), QStringLiteral("Bilder"));
    while (w.cmdDelete->isEnabled()) w.DeleteSelection();
    EXPECT_TRUE(filters.isEmpty());
    EXPECT_EQ(w.cboFilter->currentText(), QStringLiteral("Neue Selektion"));

    w.cmdInfo->trigger();
    EXPECT_EQ(legends, 1);
}

TEST(SelectionPane, LongNamesAreShortened)
{
    EXPECT_EQ(FilterPaneText(QString(20, QLatin1Char('a'))), QString(20, QLatin1Char('a')));
    EXPECT_EQ(FilterPaneText(QString(21, QLatin1Char('a'))), QString(17, QLatin1Char('a')) + QStringLiteral("..."));
}

TEST_F(MainFolderTest, LegendListsTheSymbols)
{
    frmLegend legend;
    auto* first = legend.findChild<QLabel*>(QStringLiteral("lblMeaning1"));
    ASSERT_TRUE(first);
    EXPECT_EQ(first->text(), QStringLiteral("keine Bedingung"));
    EXPECT_EQ(CompareSymbols().size(), 6);
    legend.reject();
}

} // namespace
