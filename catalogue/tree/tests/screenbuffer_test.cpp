#include "catalogue/tree/cscreenbuffer.h"
#include "catalogue/tree/treepaint.h"
#include "treecatalogue.h"
#include "treetest.h"

#include <gtest/gtest.h>

using namespace tv;

namespace {

QStringList textsOf(const CScreenBuffer& buffer)
{
    QStringList out;
    for (int row = 0; row < buffer.Count(); ++row) out << buffer.Item(row)->Text;
    return out;
}

} // namespace

class ScreenBuffer : public TreeCatalogue {
protected:
    // Rows: Alle Kategorien, A, a1, a2, B, b1 with A and B expanded.
    std::unique_ptr<TestTree> tree;
    void SetUp() override
    {
        TreeCatalogue::SetUp();
        int a = addCategory(QStringLiteral("A"));
        int b = addCategory(QStringLiteral("B"));
        addFile(QStringLiteral("a1"), a, 1);
        addFile(QStringLiteral("a2"), a, 1);
        addFile(QStringLiteral("b1"), b, 1);
        tree = std::make_unique<TestTree>(db, QStringList{kRootLevel, kCategoryLevel, kFileLevel});
        tree->row(0)->SetExpanded(true);
        tree->row(1)->SetExpanded(true);
        tree->row(4)->SetExpanded(true);
    }
};

TEST_F(ScreenBuffer, HoldsTheRowsOnScreenAndFollowsScrolling)
{
    CScreenBuffer buffer;
    buffer.Fill(tree->root, 1, 3);
    EXPECT_EQ(textsOf(buffer), (QStringList{QStringLiteral("A"), QStringLiteral("a1"), QStringLiteral("a2")}));
    EXPECT_EQ(buffer.BufAbsIndex, 1);
    EXPECT_TRUE(tree->row(1)->Visible());
    EXPECT_FALSE(tree->row(0)->Visible());

    buffer.ScrollDownBuffer();
    EXPECT_EQ(textsOf(buffer), (QStringList{QStringLiteral("a1"), QStringLiteral("a2"), QStringLiteral("B")}));
    EXPECT_EQ(buffer.BufAbsIndex, 2);
    EXPECT_FALSE(tree->row(1)->Visible());
    EXPECT_TRUE(tree->row(4)->RedrawFlag());

    buffer.ScrollUpBuffer();
    EXPECT_EQ(textsOf(buffer), (QStringList{QStringLiteral("A"), QStringLiteral("a1"), QStringLiteral("a2")}));
    EXPECT_FALSE(tree->row(4)->Visible());

    buffer.Fill(tree->root, 4, 10);   // past the end: the rows that are there
    EXPECT_EQ(textsOf(buffer), (QStringList{QStringLiteral("B"), QStringLiteral("b1")}));
    buffer.Clear();
    EXPECT_FALSE(tree->row(5)->Visible());
}

TEST_F(ScreenBuffer, MovesTheOneSelection)
{
    CScreenBuffer buffer;
    buffer.Fill(tree->root, 0, 6);
    EXPECT_TRUE(buffer.SelectRow(1));
    EXPECT_FALSE(buffer.SelectRow(1));
    EXPECT_TRUE(buffer.SelectRow(3));
    EXPECT_FALSE(buffer.SelectRow(6));
    EXPECT_EQ(tree->selected()->Text, QStringLiteral("a2"));
    EXPECT_FALSE(tree->row(1)->Selected());

    // The model's selection moved elsewhere: the next fill follows it.
    auto b = tree->row(4);
    b->Subtree()->SelectItem(b->LocalIndex());
    buffer.Fill(tree->root, 0, 6);
    EXPECT_EQ(buffer.SelectedItem->Text, QStringLiteral("B"));
    EXPECT_FALSE(tree->row(3)->Selected());
}

TEST_F(ScreenBuffer, LineGlyphsEndBelowTheLastRowOfASubtree)
{
    const std::vector<std::vector<TreeGlyph>> expected = {
        {{12, 0}, {14, 16}},             // Alle Kategorien: root and last, expanded
        {{6, 32}, {14, 48}},             // A: middle row, expanded
        {{13, 32}, {4, 64}, {14, 80}},   // a1: A's column goes on
        {{13, 32}, {7, 64}, {14, 80}},   // a2: last file of A
        {{9, 32}, {14, 48}},             // B: last category, expanded
        {{7, 64}, {14, 80}},             // b1: nothing goes on below B
    };
    CLevelGlyphs glyphs;
    glyphs.Prepare(*tree->row(0));
    for (int row = 0; row < 6; ++row) {
        SCOPED_TRACE(row);
        EXPECT_EQ(glyphs.RowGlyphs(*tree->row(row), 1), expected[size_t(row)]);
    }
    // A paint that starts inside A's files carries A's column from the start.
    glyphs.Prepare(*tree->row(3));
    EXPECT_EQ(glyphs.RowGlyphs(*tree->row(3), 1), expected[3]);
}

TEST(TreePaint, GeometryAndHitTest)
{
    const TreeRowGeometry g = RowGeometry(2, 1, true);
    EXPECT_EQ(g.step, 32);
    EXPECT_EQ(g.x0, 32);
    EXPECT_EQ(g.iconX, 64);
    EXPECT_EQ(g.textX, 80);
    EXPECT_EQ(RowGeometry(2, 1, false).textX, 64);
    EXPECT_EQ(RowGeometry(1, 2, true).textX, 64);

    struct Case { int x; TreeHitPart part; };
    const Case cases[] = {{31, hitNothing}, {32, hitGlyph}, {63, hitGlyph}, {64, hitItem}, {120, hitItem},
                          {121, hitNothing}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.x);
        EXPECT_EQ(HitPart(c.x, 2, 1, 40), c.part);
    }
    EXPECT_EQ(RowShownText(QStringLiteral("Demo\r\nzwei")), QStringLiteral(" Demo "));
    EXPECT_EQ(RowShownText(QStringLiteral("Demo")), QStringLiteral(" Demo "));
}
