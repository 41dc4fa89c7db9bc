#include "gridfixture.h"

using namespace vantile;

namespace {

struct Bounds {
    int32_t x1 = -99, y1 = -99, x2 = -99, y2 = -99;
    bool operator==(const Bounds&) const = default;
};

Bounds BoundsOf(const std::shared_ptr<Cell>& cell)
{
    Bounds b;
    EXPECT_TRUE(cell->GetBounds(b.x1, b.y1, b.x2, b.y2));
    return b;
}

std::ostream& operator<<(std::ostream& os, const Bounds& b)
{
    return os << "(" << b.x1 << "," << b.y1 << ")-(" << b.x2 << "," << b.y2 << ")";
}

} // namespace

class CellsTest : public ColumnSetTest {
protected:
    // Header cells of columns A, B, C, D (width 10 each, centre group at x 100) with texts and
    // merge modes; the header rows are 20 pixels high.
    void Headers(const QStringList& texts, int32_t merge)
    {
        set->Headers()->SetRowHeight(20);
        set->Groups(vtlGrpCenter)->SetPosition(100);
        const QStringList keys{"A", "B", "C", "D"};
        for (int i = 0; i < texts.size(); ++i) {
            auto column = set->Add(keys[i], 10);
            column->Header()->Text = texts[i];
            column->Header()->Merge = merge;
        }
        events.clear();
    }
};

TEST_F(CellsTest, HorizontalMergeOfEqualTexts)
{
    struct Case {
        const char* name;
        QStringList texts;
        std::vector<Bounds> bounds;
    };
    const Case kCases[] = {
        {"run of two", {"A", "A", "B"}, {{100, 0, 119, 19}, {100, 0, 119, 19}, {120, 0, 129, 19}}},
        {"case counts", {"A", "a", "a"}, {{100, 0, 109, 19}, {110, 0, 129, 19}, {110, 0, 129, 19}}},
        {"run in the middle", {"x", "A", "A", "A"},
         {{100, 0, 109, 19}, {110, 0, 139, 19}, {110, 0, 139, 19}, {110, 0, 139, 19}}},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.name);
        SetUp();
        Headers(c.texts, vtlMergeHorz);
        for (int32_t i = 0; i < int32_t(c.bounds.size()); ++i)
            EXPECT_EQ(BoundsOf(set->Item(i)->Header()), c.bounds[size_t(i)]) << i;
    }
}

TEST_F(CellsTest, HorizontalMergeNeedsMergeOnTheNeighbourAndStaysInTheGroup)
{
    Headers({"A", "A", "A"}, vtlMergeHorz);
    Col("B")->Header()->Merge = vtlMergeNone;
    EXPECT_EQ(BoundsOf(Col("A")->Header()), (Bounds{100, 0, 109, 19}));
    EXPECT_EQ(BoundsOf(Col("B")->Header()), (Bounds{110, 0, 119, 19}));
    Col("B")->Header()->Merge = vtlMergeHorz;
    Col("C")->SetFixed(vtlGrpRight);
    set->Groups(vtlGrpRight)->SetPosition(300);
    EXPECT_EQ(BoundsOf(Col("A")->Header()), (Bounds{100, 0, 119, 19}));
    EXPECT_EQ(BoundsOf(Col("C")->Header()), (Bounds{300, 0, 309, 19}));
}

TEST_F(CellsTest, HiddenNeighbourContinuesTheRun)
{
    Headers({"A", "A", "A"}, vtlMergeHorz);
    Col("B")->SetHidden(vtlHiddenCurrently);
    EXPECT_EQ(BoundsOf(Col("A")->Header()), (Bounds{100, 0, 119, 19}));
    EXPECT_EQ(BoundsOf(Col("C")->Header()), (Bounds{100, 0, 119, 19}));
}

TEST_F(CellsTest, VerticalMergeOverHeaderRows)
{
    set->Headers()->SetRows(3);
    Headers({"T"}, vtlMergeVert);
    auto a = Col("A");
    a->Header(1)->Text = "T";
    a->Header(1)->Merge = vtlMergeVert;
    a->Header(2)->Text = "T";   // Merge 0: not part of the run
    EXPECT_EQ(BoundsOf(a->Header(0)), (Bounds{100, 0, 109, 39}));
    EXPECT_EQ(BoundsOf(a->Header(1)), (Bounds{100, 0, 109, 39}));
    EXPECT_EQ(BoundsOf(a->Header(2)), (Bounds{100, 40, 109, 59}));
}

TEST_F(CellsTest, FooterBoundsAndLostColumns)
{
    set->Footers()->SetRowHeight(15);
    AddColumns({"A", "B"});
    EXPECT_EQ(BoundsOf(Col("B")->Footer()), (Bounds{64, 0, 127, 14}));
    auto cell = Col("B")->Footer();
    set->Remove("B");
    Bounds b;
    EXPECT_FALSE(cell->GetBounds(b.x1, b.y1, b.x2, b.y2));
    EXPECT_EQ(b, Bounds{});

    // After removing the first column, its cell's Index names the column that moved up.
    AddColumns({"C"});
    cell = Col("A")->Footer();
    set->Remove("A");
    EXPECT_FALSE(cell->GetBounds(b.x1, b.y1, b.x2, b.y2));
    EXPECT_EQ(b, Bounds{});
    EXPECT_EQ(BoundsOf(Col("C")->Footer()), (Bounds{0, 0, 63, 14}));
}

TEST_F(CellsTest, HeightVisibilityAndRowHeightEvents)
{
    auto headers = set->Headers();
    EXPECT_EQ(headers->Rows(), 1);
    EXPECT_FALSE(headers->SetRows(-1));   // no negative heights, with or without columns
    EXPECT_EQ(headers->Rows(), 1);
    headers->SetRowHeight(18);
    headers->SetVisible(true);
    EXPECT_EQ(headers->Height(), 0);   // no columns
    AddColumns({"A"});
    EXPECT_EQ(headers->Height(), 18);
    headers->SetVisible(false);
    EXPECT_EQ(headers->Height(), 0);
    headers->SetVisible(false);
    headers->SetRowHeight(18);
    headers->SetLockButtons(true);
    set->Footers()->SetRowHeight(5);
    EXPECT_EQ(events, (LayoutEvents{{kLayoutRowSet, 0}, {kLayoutRowSet, 1}}));
}

TEST_F(CellsTest, RowsResizeEveryColumnsCellList)
{
    AddColumns({"A", "B"});
    auto first = Col("A")->Header(0);
    ASSERT_TRUE(set->Headers()->SetRows(2));
    EXPECT_EQ(events, (LayoutEvents{{kLayoutRowSet, 0}}));
    EXPECT_EQ(Col("A")->Header(0), first);
    for (const char* key : {"A", "B"}) {
        auto added = Col(key)->Header(1);
        ASSERT_TRUE(added) << key;
        EXPECT_EQ(added->Text, "");
        EXPECT_EQ(added->Row, 1);
        EXPECT_EQ(added->Col, Col(key)->Index());
        EXPECT_EQ(added->Style()->BackColor(), kSysColorBtnFace);   // looks like a header cell
    }
    EXPECT_EQ(set->Headers()->Item("b", 1), Col("B")->Header(1));
    EXPECT_EQ(set->Headers()->Item(0, 1), Col("A")->Header(1));
    EXPECT_EQ(set->Headers()->Item(2, 0), nullptr);
    EXPECT_EQ(set->Headers()->Item(0, 2), nullptr);
    EXPECT_EQ(set->Footers()->Item(0, 0), Col("A")->Footer());

    ASSERT_TRUE(set->Headers()->SetRows(1));
    EXPECT_EQ(Col("A")->Header(1), nullptr);
    EXPECT_EQ(Col("A")->Header(0), first);

    events.clear();
    EXPECT_FALSE(set->Headers()->SetRows(0));
    EXPECT_EQ(set->Headers()->Rows(), 1);
    EXPECT_EQ(Col("B")->Header(0)->Row, 0);
    EXPECT_TRUE(events.empty());
}
