#include "catalogue/tree/csubtree.h"
#include "catalogue/tree/ctreeitem.h"
#include "platform/gui/msgbox.h"
#include "treecatalogue.h"
#include "treetest.h"

#include <gtest/gtest.h>

using namespace tv;


class TreeModel : public TreeCatalogue {};

TEST_F(TreeModel, CategoriesTreeLoadsEachExpandedRowOnce)
{
    int demo = addCategory(QStringLiteral("Demos"));
    int games = addCategory(QStringLiteral("O'Brien's Spiele"));
    addCategory(QStringLiteral("Anwendungen"));   // no files: no children
    addFile(QStringLiteral("Zaxxon.atr"), games, 1);
    addFile(QStringLiteral("Boulder.xex"), games, 11);
    addFile(QStringLiteral("Intro.com"), demo, 2);

    TestTree tree(db, {kRootLevel, kCategoryLevel, kFileLevel});
    ASSERT_EQ(tree.count(), 1);
    auto root = tree.row(0);
    EXPECT_EQ(root->Key, QStringLiteral("-1"));
    EXPECT_EQ(root->Text, QStringLiteral("Alle Kategorien"));
    EXPECT_EQ(root->Level, 1);
    EXPECT_EQ(root->icon, 9);
    EXPECT_TRUE(root->IsParent());
    EXPECT_EQ(root->TreeLineIcon(), 11);   // the only row, collapsed parent
    EXPECT_EQ(root->SubItemCount(), 0);
    EXPECT_EQ(tree.root->SubTrees.Count(), 0);

    root->SetExpanded(true);
    EXPECT_EQ(tree.redraws, std::vector<int>{1});
    EXPECT_EQ(tree.texts(), (QStringList{QStringLiteral("Alle Kategorien"), QStringLiteral("Anwendungen"),
                                         QStringLiteral("Demos"), QStringLiteral("O'Brien's Spiele")}));
    EXPECT_EQ(root->SubItemCount(), 3);
    EXPECT_FALSE(tree.row(1)->IsParent());
    EXPECT_TRUE(tree.row(2)->IsParent());
    EXPECT_EQ(tree.row(3)->ParentKey, QStringLiteral("-1"));

    // Expanding again hands back the same rows: no second query.
    auto categories = tree.root->Expand(0);
    addCategory(QStringLiteral("Zeichnen"));
    EXPECT_EQ(tree.root->Expand(0), categories);
    EXPECT_EQ(tree.count(), 4);

    // The third level is read for the expanded row only, through its parameter.
    tree.row(3)->SetExpanded(true);
    EXPECT_EQ(tree.texts().mid(4), (QStringList{QStringLiteral("Boulder.xex"), QStringLiteral("Zaxxon.atr")}));
    EXPECT_EQ(tree.row(4)->icon, 11);
    EXPECT_EQ(tree.row(4)->Level, 3);
    EXPECT_EQ(tree.row(4)->ParentKey, QString::number(games));
    EXPECT_EQ(categories->SubTrees.Count(), 1);

    tree.row(3)->SetExpanded(false);
    EXPECT_EQ(tree.redraws.back(), 2);
    EXPECT_EQ(tree.count(), 4);
}

TEST_F(TreeModel, NavigationWalksTheShownRows)
{
    int a = addCategory(QStringLiteral("A"));
    int b = addCategory(QStringLiteral("B"));
    addFile(QStringLiteral("a1"), a, 1);
    addFile(QStringLiteral("a2"), a, 1);
    addFile(QStringLiteral("b1"), b, 1);

    TestTree tree(db, {kRootLevel, kCategoryLevel, kFileLevel});
    tree.row(0)->SetExpanded(true);
    tree.row(1)->SetExpanded(true);   // A: rows 2 and 3 are its files; B is row 4
    ASSERT_EQ(tree.texts(), (QStringList{QStringLiteral("Alle Kategorien"), QStringLiteral("A"), QStringLiteral("a1"),
                                         QStringLiteral("a2"), QStringLiteral("B")}));

    EXPECT_EQ(tree.row(0)->ParentItem(), nullptr);
    EXPECT_EQ(tree.row(0)->PrevItem(), nullptr);
    EXPECT_EQ(tree.row(4)->NextItem(), nullptr);
    EXPECT_EQ(tree.row(1)->NextItem()->Text, QStringLiteral("a1"));   // expanded: first child
    EXPECT_EQ(tree.row(2)->NextItem()->Text, QStringLiteral("a2"));   // next sibling
    EXPECT_EQ(tree.row(3)->NextItem()->Text, QStringLiteral("B"));    // last child: after its parent
    EXPECT_EQ(tree.row(4)->PrevItem()->Text, QStringLiteral("a2"));
    EXPECT_EQ(tree.row(3)->ParentItem()->Text, QStringLiteral("A"));
    EXPECT_EQ(tree.row(3)->ParentItem()->ParentItem()->Level, 1);
    EXPECT_EQ(tree.row(4)->Index(), 4);
    EXPECT_EQ(tree.row(-1), nullptr);
    EXPECT_EQ(tree.row(5), nullptr);
    std::shared_ptr<CSubTree> found;
    EXPECT_EQ(tree.row(4)->Subtree()->FindString(QStringLiteral("b"), found), 4);
    EXPECT_EQ(found, tree.row(4)->Subtree());

    EXPECT_EQ(tree.row(0)->TreeLineIcon(), 12);   // root and last, expanded
    EXPECT_EQ(tree.row(1)->TreeLineIcon(), 6);    // middle row, expanded
    EXPECT_EQ(tree.row(4)->TreeLineIcon(), 8);    // last row, collapsed parent
    EXPECT_EQ(tree.row(3)->TreeLineIcon(), 7);    // last row, no children

    // A handle keeps the values it was made with.
    auto old = tree.row(4);
    execute(QStringLiteral("Update Category Set tCategory='Beta' where ID=%1").arg(b));
    tree.levels->CreateParentBuffers(true);
    tree.root->Requery();
    EXPECT_EQ(old->Text, QStringLiteral("B"));
    EXPECT_EQ(tree.row(4)->Text, QStringLiteral("Beta"));
}

TEST_F(TreeModel, RequeryKeepsExpansionAndSelectionByKey)
{
    int c = addCategory(QStringLiteral("C"));
    int e = addCategory(QStringLiteral("E"));
    addFile(QStringLiteral("c1"), c, 1);
    addFile(QStringLiteral("c2"), c, 1);
    addFile(QStringLiteral("c3"), c, 1);
    addFile(QStringLiteral("e1"), e, 1);

    TestTree tree(db, {kRootLevel, kCategoryLevel, kFileLevel});
    tree.row(0)->SetExpanded(true);
    tree.row(1)->SetExpanded(true);   // C
    auto c2 = tree.row(3);
    ASSERT_EQ(c2->Text, QStringLiteral("c2"));
    c2->Subtree()->SelectItem(c2->LocalIndex());

    // Two categories above the expanded one: C moves down, keeps its files and c2 stays selected.
    int a = addCategory(QStringLiteral("A"));
    addFile(QStringLiteral("a1"), a, 1);
    addCategory(QStringLiteral("B"));
    tree.levels->CreateParentBuffers(true);
    EXPECT_EQ(tree.root->Requery(), 1);
    EXPECT_EQ(tree.texts(), (QStringList{QStringLiteral("Alle Kategorien"), QStringLiteral("A"), QStringLiteral("B"),
                                         QStringLiteral("C"), QStringLiteral("c1"), QStringLiteral("c2"),
                                         QStringLiteral("c3"), QStringLiteral("E")}));
    EXPECT_EQ(tree.count(), 8);
    EXPECT_EQ(tree.selected()->Text, QStringLiteral("c2"));
    EXPECT_EQ(tree.selected()->Index(), 5);
    EXPECT_TRUE(tree.row(3)->Expanded());
    EXPECT_EQ(tree.selectionChanges, 0);

    // The selected file goes: the file now at its place takes the selection.
    execute(QStringLiteral("Delete * from MainFiles where tFile='c2'"));
    tree.root->Requery();
    EXPECT_EQ(tree.selected()->Text, QStringLiteral("c3"));
    EXPECT_EQ(tree.selectionChanges, 1);
    EXPECT_EQ(tree.count(), 7);

    // A category above goes and so does every file of the expanded one, in one requery:
    // C, now one row higher, takes over the selection.
    execute(QStringLiteral("Delete * from Category where ID=%1").arg(a));
    execute(QStringLiteral("Delete * from MainFiles where Category_ID=%1").arg(c));
    tree.levels->CreateParentBuffers(true);
    tree.root->Requery();
    EXPECT_EQ(tree.texts(), (QStringList{QStringLiteral("Alle Kategorien"), QStringLiteral("B"), QStringLiteral("C"),
                                         QStringLiteral("E")}));
    EXPECT_EQ(tree.selected()->Text, QStringLiteral("C"));
    EXPECT_FALSE(tree.row(2)->Expanded());
    EXPECT_EQ(tree.count(), 4);
}

TEST_F(TreeModel, RequeryOfARootWithNothingSelectedSelectsTheFirstRow)
{
    addCategory(QStringLiteral("A"));
    TestTree tree(db, {kRootLevel, kCategoryLevel});
    tree.root->Requery();
    EXPECT_EQ(tree.selectionChanges, 1);
    EXPECT_EQ(tree.subItemSelects, std::vector<QString>{QStringLiteral("-1")});
    EXPECT_EQ(tree.selected()->Index(), 0);
}

TEST_F(TreeModel, PlusMinusModeMarksRowsAndKeepsTheMarksOnRequery)
{
    int a = addCategory(QStringLiteral("A"));
    addCategory(QStringLiteral("B"));   // no files
    addFile(QStringLiteral("a1"), a, 1);

    TestTree tree(db, {kRootLevel, kCategoryLevel, kFileLevel}, 1);
    EXPECT_EQ(tree.levels->ParentBuffer(1), nullptr);
    tree.row(0)->SetExpanded(true);
    tree.row(1)->SetExpanded(true);
    ASSERT_EQ(tree.count(), 4);

    // The marks of every row above the last level survive, and so does the expansion.
    tree.root->Requery();
    EXPECT_EQ(tree.count(), 4);
    EXPECT_TRUE(tree.row(1)->Expanded());
    EXPECT_TRUE(tree.row(3)->IsParent());
    EXPECT_FALSE(tree.row(2)->IsParent());   // the last level is never expandable

    // Opening a row whose level has nothing for it clears its mark.
    tree.row(3)->SetExpanded(true);
    EXPECT_FALSE(tree.row(3)->IsParent());
    EXPECT_EQ(tree.redraws.back(), 0);
}

TEST_F(TreeModel, ExpandAllLoadsEverythingAndClearsEmptyMarks)
{
    int a = addCategory(QStringLiteral("A"));
    addCategory(QStringLiteral("B"));
    addFile(QStringLiteral("a1"), a, 1);
    TestTree tree(db, {kRootLevel, kCategoryLevel, kFileLevel}, 1);
    tree.root->ExpandAll();
    EXPECT_EQ(tree.texts(), (QStringList{QStringLiteral("Alle Kategorien"), QStringLiteral("A"), QStringLiteral("a1"),
                                         QStringLiteral("B")}));
    EXPECT_FALSE(tree.row(3)->IsParent());
}

TEST_F(TreeModel, HistoryTreeHasOneRowPerCalendarDay)
{
    int f = addFile(QStringLiteral("Boulder.xex"), 0, 11);
    addStart(f, QDateTime(QDate(2026, 12, 8), QTime(9, 0)));
    addStart(f, QDateTime(QDate(2026, 12, 8), QTime(18, 30)));   // after noon: still the 8th
    addStart(f, QDateTime(QDate(2026, 12, 9), QTime(10, 15)));

    TestTree tree(db, {QStringLiteral("SELECT DISTINCT -1 AS ItemKey,-1 AS ParentKey,28 AS Icon,'Chronik' From Config"),
                   kHistoryLevel});
    tree.row(0)->SetExpanded(true);
    EXPECT_EQ(tree.texts(), (QStringList{QStringLiteral("Chronik"), QStringLiteral("09.12.2026"),
                                         QStringLiteral("08.12.2026")}));
    const QString day = tree.row(2)->Key;
    EXPECT_EQ(day, QString::number(int(Variant::fromDateTime(QDateTime(QDate(2026, 12, 8), QTime(0, 0))).toDouble())));
    EXPECT_EQ(tree.row(2)->icon, 29);

    // Walking up from a day (as selecting a row by key does) finds the root row.
    EXPECT_EQ(tree.levels->FindParentKey(day, 2), QStringLiteral("-1"));
    QStringList path{QStringLiteral("-1")};
    auto days = tree.root->CascadeExpand(path);
    ASSERT_NE(days, nullptr);
    EXPECT_EQ(days->FindLocalIndex(day), 1);
}

TEST_F(TreeModel, SelectSubItemSelectsAChildByKey)
{
    int a = addCategory(QStringLiteral("A"));
    int b = addCategory(QStringLiteral("B"));
    addFile(QStringLiteral("b1"), b, 1);
    TestTree tree(db, {kRootLevel, kCategoryLevel, kFileLevel});
    auto root = tree.row(0);
    EXPECT_FALSE(root->SelectSubItem(QStringLiteral("999")));
    EXPECT_EQ(tree.subItemSelects.back(), QStringLiteral("<none>"));
    EXPECT_TRUE(root->SelectSubItem(QString::number(b)));
    EXPECT_EQ(tree.selected()->Text, QStringLiteral("B"));
    EXPECT_FALSE(tree.row(1)->SelectSubItem(QString::number(a)));   // A has no children
}

TEST_F(TreeModel, DeletingAnExpandedRowDropsItsBranchAndKeepsASelection)
{
    int a = addCategory(QStringLiteral("A"));
    int b = addCategory(QStringLiteral("B"));
    addFile(QStringLiteral("a1"), a, 1);
    addFile(QStringLiteral("b1"), b, 1);
    addFile(QStringLiteral("b2"), b, 1);
    TestTree tree(db, {kRootLevel, kCategoryLevel, kFileLevel});
    tree.row(0)->SetExpanded(true);
    tree.row(1)->SetExpanded(true);   // A
    tree.row(3)->SetExpanded(true);   // B: rows b1, b2
    auto b2 = tree.row(5);
    ASSERT_EQ(b2->Text, QStringLiteral("b2"));
    b2->SetSelected(true);
    EXPECT_EQ(b2->GetFieldValue(QStringLiteral("tFile")), Variant(QStringLiteral("b2")));
    EXPECT_TRUE(b2->GetFieldValue(QStringLiteral("NoField")).isNull());

    // Category B goes with its files: its branch is dropped and the row now at its place
    // (none: the last one, A) takes the selection.
    execute(QStringLiteral("Delete * from Category where ID=%1").arg(b));
    execute(QStringLiteral("Delete * from MainFiles where Category_ID=%1").arg(b));
    tree.row(0)->Requery();   // an expanded row re-reads its branch, buffers included
    EXPECT_EQ(tree.texts(), (QStringList{QStringLiteral("Alle Kategorien"), QStringLiteral("A"), QStringLiteral("a1")}));
    EXPECT_EQ(tree.count(), 3);
    EXPECT_EQ(tree.selected()->Text, QStringLiteral("A"));
    EXPECT_EQ(tree.selectionChanges, 1);
    EXPECT_EQ(tree.redraws.back(), 0);
    EXPECT_TRUE(tree.row(1)->Expanded());
}

TEST_F(TreeModel, TextKeysFindTheirChildrenWithoutRegardToCase)
{
    // A level keyed by names: the files named like a category hang below it. The database
    // matches "DEMOS" to "Demos", so the row must show that it has children.
    addCategory(QStringLiteral("Demos"));
    addCategory(QStringLiteral("Spiele"));
    addFile(QStringLiteral("DEMOS"), 0, 2);
    TestTree tree(db, {kRootLevel, QStringLiteral("SELECT tCategory, -1, 22, tCategory FROM Category ORDER BY tCategory"),
                       QStringLiteral("SELECT ID, tFile, 2, tFile FROM MainFiles")});
    tree.row(0)->SetExpanded(true);
    ASSERT_EQ(tree.row(1)->Text, QStringLiteral("Demos"));
    EXPECT_TRUE(tree.row(1)->IsParent());
    EXPECT_FALSE(tree.row(2)->IsParent());
    tree.row(1)->SetExpanded(true);
    EXPECT_EQ(tree.texts(), (QStringList{QStringLiteral("Alle Kategorien"), QStringLiteral("Demos"),
                                         QStringLiteral("DEMOS"), QStringLiteral("Spiele")}));
}
