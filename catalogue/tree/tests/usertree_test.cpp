#include "catalogue/tree/ctreeitem.h"
#include "catalogue/tree/ctreelevels.h"
#include "catalogue/tree/usertree.h"
#include "controls/scrollview/popupwnd.h"
#include "controls/scrollview/scrollview.h"
#include "platform/component/propertybag.h"
#include "platform/gui/dc.h"
#include "platform/gui/imagelist.h"
#include "platform/gui/keys.h"
#include "platform/gui/msgbox.h"
#include "treecatalogue.h"
#include "treetest.h"

#include <QApplication>
#include <QTest>
#include <gtest/gtest.h>

using namespace tv;

// The control on a shown window over a small catalogue: Alle Kategorien, then A (files a1,
// a2) and B (file b1).
class TreeControl : public TreeCatalogue {
protected:
    QWidget top;
    UserTree* tree = nullptr;
    int a = 0, b = 0, a2 = 0;
    QStringList log;

    void SetUp() override
    {
        TreeCatalogue::SetUp();
        a = addCategory(QStringLiteral("A"));
        b = addCategory(QStringLiteral("B"));
        addFile(QStringLiteral("a1"), a, 1);
        a2 = addFile(QStringLiteral("a2"), a, 1);
        addFile(QStringLiteral("b1"), b, 1);

        tree = new UserTree(&top);
        tree->ReadProperties(PropertyBag());
        tree->setGeometry(0, 0, 200, 160);
        top.resize(220, 180);
        top.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&top));
        tree->SelectionChange.connect([this] { log << QStringLiteral("SelectionChange"); });
        tree->AfterSetup.connect([this] { log << QStringLiteral("AfterSetup"); });
        tree->KeyDown.connect([this](int16_t& key, int16_t&) { log << QStringLiteral("KeyDown %1").arg(key); });
        tree->MouseDown.connect([this](int16_t, int16_t, float x, float) { log << QStringLiteral("MouseDown %1").arg(x); });
        tree->DblClick.connect([this] { log << QStringLiteral("DblClick"); });
        tree->setDataBase(db);
        tree->levels()->Setup(kRootLevel, kCategoryLevel, kFileLevel);
    }
    void TearDown() override
    {
        delete tree;
        TreeCatalogue::TearDown();
    }
    void key(int code, int shift = 0)
    {
        int16_t k = int16_t(code), s = int16_t(shift);
        tree->scrollView()->KeyDown.raise(k, s);
    }
    void press(int x, int y)
    {
        int16_t shift = 0;
        tree->scrollView()->MouseDown.raise(int16_t(vbLeftButton), shift, x, y);
    }
    QString selected() { return tree->SelectedItem() ? tree->SelectedItem()->Text : QStringLiteral("<none>"); }
};

TEST_F(TreeControl, SetupShowsTheRootRowSelected)
{
    EXPECT_EQ(log, (QStringList{QStringLiteral("SelectionChange"), QStringLiteral("AfterSetup")}));
    EXPECT_EQ(tree->ItemCount(), 1);
    EXPECT_EQ(tree->scrollView()->ItemCount(), 1);
    EXPECT_EQ(selected(), QStringLiteral("Alle Kategorien"));
    EXPECT_EQ(tree->TreeItems(0)->Key, QStringLiteral("-1"));
    EXPECT_EQ(tree->DataBase(), db);

    // A host that clears the levels gets the message, and the tree stays disabled.
    QString prompt;
    SetMsgBoxHook([&](const QString& p, int, const QString&) { prompt = p; return int(vbOK); });
    tree->levels()->Setup();
    SetMsgBoxHook(nullptr);
    EXPECT_EQ(prompt, QStringLiteral("Keine Levels vorhanden, oder Fehler bei Erstellung aufgetreten!"));
    EXPECT_FALSE(tree->isEnabled());
}

TEST_F(TreeControl, KeysMoveTheSelectionAndExpand)
{
    key(VK_RIGHT);   // expands the root
    EXPECT_EQ(tree->ItemCount(), 3);
    EXPECT_EQ(selected(), QStringLiteral("Alle Kategorien"));
    key(VK_RIGHT);   // already expanded: the next row
    EXPECT_EQ(selected(), QStringLiteral("A"));
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);   // the wait cursor is gone again
    key(VK_ADD);
    key(VK_DOWN);
    key(VK_DOWN);
    EXPECT_EQ(selected(), QStringLiteral("a2"));
    key(VK_LEFT);   // nothing to collapse: the parent row
    EXPECT_EQ(selected(), QStringLiteral("A"));
    key(VK_END);
    EXPECT_EQ(selected(), QStringLiteral("B"));
    key(VK_HOME);
    EXPECT_EQ(selected(), QStringLiteral("Alle Kategorien"));

    log.clear();
    key(VK_DOWN, vbCtrlMask);   // scrolls only
    EXPECT_EQ(selected(), QStringLiteral("Alle Kategorien"));
    key(VK_DOWN, vbShiftMask);   // passed on
    key(VK_RETURN);              // consumed, nothing else without DblClickOnReturn
    EXPECT_EQ(log, QStringList{QStringLiteral("KeyDown %1").arg(VK_DOWN)});
    tree->setDblClickOnReturn(true);
    key(VK_RETURN);
    EXPECT_EQ(log.last(), QStringLiteral("DblClick"));
}

TEST_F(TreeControl, CollapsingAboveTheSelectionSelectsTheCollapsedRow)
{
    ASSERT_TRUE(tree->SelectItem(QString::number(a2), 3));   // expands the rows on the way
    EXPECT_EQ(selected(), QStringLiteral("a2"));
    EXPECT_EQ(tree->ItemCount(), 5);
    log.clear();
    press(32 + 8, 16 + 8);   // A's glyph column
    EXPECT_EQ(tree->ItemCount(), 3);
    EXPECT_EQ(selected(), QStringLiteral("A"));
    EXPECT_EQ(log.first(), QStringLiteral("SelectionChange"));
}

TEST_F(TreeControl, PressOnGlyphExpandsAndOnTextSelects)
{
    press(8, 8);   // the root's glyph
    EXPECT_EQ(tree->ItemCount(), 3);
    EXPECT_EQ(log.last(), QStringLiteral("MouseDown 8"));
    press(32 + 8, 2 * 16 + 8);   // B's glyph: level 2 starts at 32
    EXPECT_EQ(tree->ItemCount(), 4);
    EXPECT_EQ(selected(), QStringLiteral("Alle Kategorien"));
    press(32 + 40, 16 + 8);   // A's text
    EXPECT_EQ(selected(), QStringLiteral("A"));
    press(190, 16 + 8);   // right of the text: nothing but the event
    EXPECT_EQ(selected(), QStringLiteral("A"));
    EXPECT_EQ(log.last(), QStringLiteral("MouseDown 190"));
    press(40, 150);   // below the rows
    EXPECT_EQ(selected(), QStringLiteral("A"));

    // A double click counts where the button went up: on the text, not on the glyph.
    auto doubleClick = [this](int x, int y) {
        int16_t shift = 0;
        tree->scrollView()->MouseUp.raise(int16_t(vbLeftButton), shift, x, y);
        tree->scrollView()->DblClick.raise();
    };
    log.clear();
    doubleClick(32 + 8, 16 + 8);
    EXPECT_FALSE(log.contains(QStringLiteral("DblClick")));
    doubleClick(32 + 40, 16 + 8);
    EXPECT_TRUE(log.contains(QStringLiteral("DblClick")));
}

// A category name longer than the tree is wide shows whole in a tip while the pointer rests on
// it; a name that fits shows none.
TEST_F(TreeControl, CutNameShowsWholeInATip)
{
    const QString name = QStringLiteral("Geschicklichkeitsspiele und Denkspiele für Zwei");
    addCategory(name);
    tree->Requery();
    press(8, 8);   // the root's glyph opens the categories: A, B, then the long one
    ASSERT_EQ(tree->ItemCount(), 4);
    const auto tipText = [this] {
        vantile::ToolTipWnd* tip = tree->scrollView()->toolTip();
        return tip && tip->isVisible() ? tip->Text() : QString();
    };
    const auto rest = [this](int x, int y) {
        int16_t shift = 0;
        tree->scrollView()->MouseMove.raise(0, shift, x, y);
    };
    rest(32 + 40, 16 + 8);   // A's text
    EXPECT_EQ(tipText(), QString());
    rest(32 + 40, 3 * 16 + 8);
    EXPECT_EQ(tipText(), name);
}

TEST_F(TreeControl, RequeryAndSelectByKeyKeepTheRows)
{
    ASSERT_TRUE(tree->SelectItem(QString::number(b), 2));
    EXPECT_EQ(selected(), QStringLiteral("B"));
    EXPECT_FALSE(tree->SelectItem(QStringLiteral("4711"), 3));
    addCategory(QStringLiteral("0 Neu"));
    tree->Requery();
    EXPECT_EQ(tree->ItemCount(), 4);
    EXPECT_EQ(selected(), QStringLiteral("B"));
    EXPECT_EQ(tree->SelectedItem()->Index(), 3);

    // Synchronize follows a host's item: the row keyed by its ParentKey on its Level.
    CTreeItem host;
    host.ParentKey = QString::number(a2);
    host.Level = 3;
    tree->Synchronize(&host);
    EXPECT_EQ(selected(), QStringLiteral("a2"));
}

TEST_F(TreeControl, PaintsLinesAndTheSelectedRow)
{
    tree->Refresh();
    const HandleId hdc = tree->scrollView()->hdc();
    // Without icons the text starts right after the glyph column: grey (no focus) behind it.
    EXPECT_EQ(GetPixel(hdc, 34, 8), GetSysColor(COLOR_GRAYTEXT));
    EXPECT_EQ(GetPixel(hdc, 12, 8), RGB(128, 128, 128));   // the root's line to the right
    EXPECT_NE(GetPixel(hdc, 8, 14), RGB(128, 128, 128));   // nothing below the only root row
    key(VK_RIGHT);
    tree->Refresh();
    EXPECT_EQ(GetPixel(hdc, 32 + 8, 16 + 2), RGB(128, 128, 128));   // A's line comes from above
    EXPECT_NE(GetPixel(hdc, 34, 16 + 8), GetSysColor(COLOR_GRAYTEXT));   // A is not selected
}

TEST_F(TreeControl, IconsComeFromTheStandardListAndTheHostMayChangeThem)
{
    auto icons = std::make_shared<ImageList>();
    for (QColor c : {Qt::red, Qt::green}) {
        QImage image(16, 16, QImage::Format_ARGB32);
        image.fill(c);
        icons->Add(image);
    }
    tree->setStandardIcons(icons);
    tree->setStyle(1);   // the first setup had no icons and switched them off
    tree->levels()->Setup(QStringLiteral("SELECT DISTINCT -1,-1,1,'Alle' From Config"));
    const HandleId hdc = tree->scrollView()->hdc();
    EXPECT_EQ(GetPixel(hdc, 32 + 8, 8), RGB(255, 0, 0));   // icon 1 at x0 + step
    EXPECT_EQ(GetPixel(hdc, 50, 8), GetSysColor(COLOR_GRAYTEXT));   // the text after it

    tree->setTranslateIcons(true);
    tree->TranslateIcon.connect([](int16_t level, int16_t& icon) { if (level == 1) icon = 2; });
    tree->Refresh();
    EXPECT_EQ(GetPixel(hdc, 32 + 8, 8), RGB(0, 255, 0));
}

TEST_F(TreeControl, SelectingAChildOfACollapsedRowShowsTheNewRows)
{
    ASSERT_TRUE(tree->TreeItems(0)->SelectSubItem(QString::number(b)));
    EXPECT_EQ(selected(), QStringLiteral("B"));
    EXPECT_EQ(tree->ItemCount(), 3);
    EXPECT_EQ(tree->scrollView()->ItemCount(), 3);   // the scroll range takes in the loaded rows
}

TEST_F(TreeControl, KeysMoveOnFromTheSelectionARequeryKept)
{
    ASSERT_TRUE(tree->SelectItem(QString::number(a2), 3));
    addFile(QStringLiteral("a0"), a, 1);   // above a2 in its subtree
    tree->Requery();
    EXPECT_EQ(selected(), QStringLiteral("a2"));
    key(VK_DOWN);
    EXPECT_EQ(selected(), QStringLiteral("B"));
}
