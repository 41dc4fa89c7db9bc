#include "gridfixture.h"

using namespace vantile;

using ColumnTest = ColumnSetTest;

TEST_F(ColumnTest, HiddenColumnReadsZeroWidthAndKeepsItsOwn)
{
    AddColumns({"A", "B"});
    auto a = Col("A");
    a->SetHidden(vtlHiddenCurrently);
    EXPECT_EQ(a->Width(), 0);
    EXPECT_EQ(a->Right(), a->Left() - 1);
    EXPECT_EQ(Col("B")->Left(), 0);
    a->SetWidth(100);
    a->SetHidden(vtlHiddenNone);
    EXPECT_EQ(a->Width(), 64);
    EXPECT_EQ(Col("B")->Left(), 64);
    EXPECT_EQ(events, (LayoutEvents{{kLayoutHidden, 0}, {kLayoutHidden, 0}}));
}

TEST_F(ColumnTest, OrderMovesWithinTheGroup)
{
    AddColumns({"A", "B", "C"});
    Col("C")->SetOrder(-1);
    EXPECT_EQ(Keys(vtlGrpCenter), (QStringList{"C", "A", "B"}));
    EXPECT_EQ(Col("A")->Order(), 1);
    EXPECT_EQ(Col("B")->Left(), 128);
    EXPECT_EQ(events, (LayoutEvents{{kLayoutOrder, 2}}));

    events.clear();
    Col("C")->SetOrder(-1);   // already first: no move, no notification
    Col("A")->SetOrder(1);    // its own place
    Col("A")->SetOrder(-3);   // below -2: stays
    Col("A")->SetOrder(99);   // past the end: last
    EXPECT_EQ(Keys(vtlGrpCenter), (QStringList{"C", "B", "A"}));
    EXPECT_EQ(events, (LayoutEvents{{kLayoutOrder, 0}}));

    events.clear();
    Col("B")->SetHidden(vtlHiddenCurrently);
    Col("B")->SetOrder(-2);   // hidden: ignored
    EXPECT_EQ(Col("B")->Order(), 1);
    EXPECT_EQ(events, (LayoutEvents{{kLayoutHidden, 1}}));
}

TEST_F(ColumnTest, FixedMovesBetweenGroupsKeepingTheNeighbourhood)
{
    struct Case {
        const char* name;
        const char* key;
        int32_t from, to;
        QStringList left, centre, right;
    };
    // Start: L1 L2 | C1 C2 C3 | R1 R2
    const Case kCases[] = {
        {"centre to right: front", "C2", 0, 1, {"L1", "L2"}, {"C1", "C3"}, {"C2", "R1", "R2"}},
        {"right to centre: end", "R2", 1, 0, {"L1", "L2"}, {"C1", "C2", "C3", "R2"}, {"R1"}},
        {"centre to left: end", "C1", 0, 2, {"L1", "L2", "C1"}, {"C2", "C3"}, {"R1", "R2"}},
        {"left to centre: front", "L1", 2, 0, {"L2"}, {"L1", "C1", "C2", "C3"}, {"R1", "R2"}},
        {"left to right", "L2", 2, 1, {"L1"}, {"C1", "C2", "C3"}, {"L2", "R1", "R2"}},
        {"right to left", "R1", 1, 2, {"L1", "L2", "R1"}, {"C1", "C2", "C3"}, {"R2"}},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.name);
        SetUp();
        AddColumns({"L1", "L2"}, vtlGrpLeft);
        AddColumns({"C1", "C2", "C3"}, vtlGrpCenter);
        AddColumns({"R1", "R2"}, vtlGrpRight);
        auto column = Col(c.key);
        ASSERT_EQ(column->Fixed(), c.from);
        column->SetFixed(c.to);
        EXPECT_EQ(column->Fixed(), c.to);
        EXPECT_EQ(Keys(vtlGrpLeft), c.left);
        EXPECT_EQ(Keys(vtlGrpCenter), c.centre);
        EXPECT_EQ(Keys(vtlGrpRight), c.right);
        EXPECT_EQ(column->Group(), set->Groups(c.to));
        EXPECT_EQ(events, (LayoutEvents{{kLayoutFixed, column->Index()}}));
        // Every group is renumbered and laid out again.
        for (int32_t g = 0; g < 3; ++g)
            for (int32_t p = 0; p < set->Groups(g)->Count(); ++p) {
                EXPECT_EQ(set->Groups(g)->Item(p)->Order(), p);
                EXPECT_EQ(set->Groups(g)->Item(p)->Left(), 64 * p);
            }
    }
}

TEST_F(ColumnTest, FixedRefusesModesWithoutGroup)
{
    AddColumns({"A"});
    Col("A")->SetFixed(3);
    EXPECT_EQ(Col("A")->Fixed(), vtlGrpCenter);
    EXPECT_EQ(Keys(vtlGrpCenter), QStringList{"A"});
    EXPECT_TRUE(events.empty());
}

TEST_F(ColumnTest, NextAndPrevItemCrossOneGroupBoundary)
{
    AddColumns({"L1"}, vtlGrpLeft);
    AddColumns({"C1", "C2", "C3"});
    AddColumns({"R1"}, vtlGrpRight);
    EXPECT_EQ(Col("L1")->NextItem(), Col("C1"));
    EXPECT_EQ(Col("C3")->NextItem(), Col("R1"));
    EXPECT_EQ(Col("C3")->NextItem(true), nullptr);
    EXPECT_EQ(Col("R1")->NextItem(), nullptr);
    EXPECT_EQ(Col("C1")->PrevItem(), Col("L1"));
    EXPECT_EQ(Col("R1")->PrevItem(), Col("C3"));
    EXPECT_EQ(Col("L1")->PrevItem(), nullptr);

    Col("C3")->SetHidden(vtlHiddenCurrently);
    EXPECT_EQ(Col("C2")->NextItem(false, true), Col("R1"));
    EXPECT_EQ(Col("C2")->NextItem(true, true), nullptr);
    EXPECT_EQ(Col("R1")->PrevItem(false, true), Col("C2"));
}

TEST_F(ColumnTest, NextItemStopsAtAnEmptyCentreGroup)
{
    AddColumns({"L1"}, vtlGrpLeft);
    AddColumns({"R1"}, vtlGrpRight);
    EXPECT_EQ(Col("L1")->NextItem(), nullptr);
    EXPECT_EQ(set->Groups(vtlGrpLeft)->NextItem(), set->Groups(vtlGrpCenter));
    EXPECT_EQ(set->Groups(vtlGrpRight)->NextItem(), nullptr);
    EXPECT_EQ(set->Groups(vtlGrpCenter)->PrevItem(), set->Groups(vtlGrpLeft));
    EXPECT_EQ(set->Groups(vtlGrpLeft)->PrevItem(), nullptr);
}

TEST_F(ColumnTest, OrphanedColumnsReachNobody)
{
    AddColumns({"A", "B"});
    auto a = Col("A");
    set.reset();
    EXPECT_EQ(a->Group(), nullptr);
    EXPECT_EQ(a->NextItem(), nullptr);
    a->SetOrder(1);
    a->SetWidth(10);   // stored; nobody hears it
    EXPECT_EQ(a->Width(), 10);
}

TEST_F(ColumnTest, NewGroupIsEmpty)
{
    auto g = set->Groups(vtlGrpCenter);
    EXPECT_EQ(g->Count(), 0);
    EXPECT_EQ(g->Width(), 0);
    EXPECT_EQ(g->FirstVisible(), nullptr);
    EXPECT_EQ(g->Item(-1), nullptr);
    EXPECT_EQ(g->Item(0), nullptr);
    EXPECT_EQ(set->Groups(3), nullptr);
}

TEST_F(ColumnTest, GroupItemsVisibilityAndHitTest)
{
    // A and B hidden: C spans 0..29, D 30..69.
    for (auto [key, width] : {std::pair{"A", 10}, {"B", 20}, {"C", 30}, {"D", 40}}) set->Add(key, width);
    Col("B")->SetHidden(vtlHiddenCurrently);
    Col("A")->SetHidden(vtlHiddenAllways);
    auto g = set->Groups(vtlGrpCenter);
    EXPECT_EQ(g->Width(), 70);
    EXPECT_EQ(g->FirstVisible(), Col("C"));
    EXPECT_EQ(g->LastVisible(), Col("D"));
    EXPECT_EQ(g->Item("d"), Col("D"));
    EXPECT_EQ(g->Item("nope"), nullptr);
    EXPECT_EQ(g->Item(g->Count()), nullptr);

    struct Case {
        int32_t x;
        const char* key;   // nullptr: no hit
    };
    const Case kCases[] = {{-1, nullptr}, {0, "C"}, {29, "C"}, {30, "D"}, {69, "D"}, {70, nullptr}};
    for (const auto& c : kCases) {
        auto hit = g->HitTest(c.x);
        EXPECT_EQ(hit ? hit->Key() : QString(), c.key ? QString(c.key) : QString()) << c.x;
    }
}
