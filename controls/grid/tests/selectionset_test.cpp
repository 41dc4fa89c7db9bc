#include "controls/grid/selectionset.h"

#include <gtest/gtest.h>

using namespace vantile;

namespace {

std::vector<int32_t> MembersOf(const SelectionSet& set)
{
    std::vector<int32_t> rows;
    const tv::Variant members = set.Members();
    if (const tv::VariantArray* a = members.array())
        for (int i = a->lbound(); i <= a->ubound(); ++i) rows.push_back(a->at(i).toLong());
    return rows;
}

tv::Variant ArrayOf(const std::vector<tv::Variant>& values)
{
    tv::VariantArray a(0, int(values.size()) - 1);
    for (size_t i = 0; i < values.size(); ++i) a.at(int(i)) = values[i];
    return tv::Variant(a);
}

// A set of `rows` rows that counts its SelectionChanged events and records, for each, the
// members from before the change.
struct Watched {
    explicit Watched(int32_t rows, std::vector<int32_t> initial = {})
    {
        set->Restore(rows);
        for (int32_t row : initial) set->Add(row);
        set->SelectionChanged.connect([this] { previous.push_back(MembersOf(*set->PreviousMembers())); });
    }
    int Events() const { return int(previous.size()); }

    std::shared_ptr<SelectionSet> set = std::make_shared<SelectionSet>();
    std::vector<std::vector<int32_t>> previous;
};

std::vector<int32_t> Range(int32_t first, int32_t last)
{
    std::vector<int32_t> rows;
    for (int32_t r = first; r <= last; ++r) rows.push_back(r);
    return rows;
}

} // namespace

TEST(SelectionSet, AddAndRemoveResolveTheirRanges)
{
    struct Case {
        const char* name;
        std::vector<int32_t> initial;
        bool add;
        int32_t start, end;
        bool clearCurrent;
        std::vector<int32_t> members;
        int events;
    };
    const Case kCases[] = {
        {"Add() selects all", {}, true, -1, -1, false, Range(0, 9), 1},
        {"Add(5) one row", {}, true, 5, -1, false, {5}, 1},
        {"end clamped", {}, true, 3, 100, false, Range(3, 9), 1},
        {"start -1 overrides the end", {}, true, -1, 2, false, Range(0, 9), 1},
        {"negative start clamped", {}, true, -5, 1, false, {0, 1}, 1},
        {"start past end", {}, true, 7, 2, false, {}, 0},
        {"beyond the rows", {}, true, 10, 12, false, {}, 0},
        {"already a member", {4}, true, 4, -1, false, {4}, 0},
        {"clear current, same result", {2}, true, 2, 2, true, {2}, 0},
        {"clear current", {1, 8}, true, 2, 3, true, {2, 3}, 1},
        {"Remove() deselects all", {1, 8}, false, -1, -1, false, {}, 1},
        {"Remove range", {1, 2, 3, 8}, false, 2, 8, false, {1}, 1},
        {"Remove nothing selected", {1}, false, 4, 6, false, {1}, 0},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.name);
        Watched w(10, c.initial);
        if (c.add)
            w.set->Add(c.start, c.end, c.clearCurrent);
        else
            w.set->Remove(c.start, c.end);
        EXPECT_EQ(MembersOf(*w.set), c.members);
        EXPECT_EQ(w.set->Count(), int32_t(c.members.size()));
        ASSERT_EQ(w.Events(), c.events);
        if (c.events) {
            EXPECT_EQ(w.previous[0], c.initial);
        }
    }
}

TEST(BitField, BitStringIsTheBytesLeastSignificantBitFirst)
{
    struct Case {
        const char* name;
        int32_t count;
        int32_t start, end;
        bool value;
        QByteArray bits;
    };
    const Case kCases[] = {
        {"ragged ends and a whole byte", 20, 3, 18, true, QByteArray("\xF8\xFF\x07", 3)},
        {"inside one byte", 20, 9, 10, true, QByteArray("\x00\x06\x00", 3)},
        {"whole bytes only", 16, 0, 15, true, QByteArray("\xFF\xFF", 2)},
        {"clearing", 16, 4, 11, false, QByteArray("\x0F\xF0", 2)},
        {"end past the count", 12, 10, 40, true, QByteArray("\x00\x0C", 2)},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.name);
        BitField f;
        f.SetCount(c.count);
        if (!c.value) f.SetRange(0, c.count - 1, true);
        f.SetRange(c.start, c.end, c.value);
        EXPECT_EQ(f.BitString(), c.bits);
    }
    BitField empty;
    empty.SetCount(-3);
    EXPECT_EQ(empty.Count(), 0);
    EXPECT_TRUE(empty.BitString().isEmpty());
}

TEST(SelectionSet, ContainsAndToggleStayInsideTheRows)
{
    Watched w(10, {2});
    EXPECT_TRUE(w.set->Contains(2));
    EXPECT_FALSE(w.set->Contains(-1));
    EXPECT_FALSE(w.set->Contains(10));
    EXPECT_FALSE(w.set->Contains(1000));
    w.set->Toggle(-1);
    w.set->Toggle(10);
    EXPECT_EQ(w.Events(), 0);
    w.set->Toggle(2);
    w.set->Toggle(9);
    EXPECT_EQ(MembersOf(*w.set), std::vector<int32_t>{9});
    EXPECT_EQ(w.previous, (std::vector<std::vector<int32_t>>{{2}, {}}));
}

TEST(SelectionSet, MembersIsNullWhenEmptyAndAnArrayFromZero)
{
    SelectionSet set;
    EXPECT_TRUE(set.Members().isNull());
    set.Restore(12);
    EXPECT_TRUE(set.Members().isNull());
    for (int32_t row : {1, 9, 10}) set.Add(row);
    const tv::Variant members = set.Members();
    ASSERT_TRUE(members.array());
    EXPECT_EQ(members.array()->lbound(), 0);
    EXPECT_EQ(members, ArrayOf({1, 9, 10}));
}

TEST(SelectionSet, SettingMembersSkipsOutsideRowsAndReportsOnce)
{
    Watched w(10, {0, 5});
    w.set->SetMembers(ArrayOf({-1, 3, 10, 4, tv::Variant::null(), "x", 3, 99}));
    EXPECT_EQ(MembersOf(*w.set), (std::vector<int32_t>{3, 4}));
    EXPECT_EQ(w.previous, (std::vector<std::vector<int32_t>>{{0, 5}}));   // rows 0 and 5 get repainted

    w.set->SetMembers(ArrayOf({3, 4}));   // same members: no event
    EXPECT_EQ(w.Events(), 1);
    w.set->SetMembers(tv::Variant::null());
    EXPECT_EQ(w.set->Count(), 0);
    EXPECT_EQ(w.previous.back(), (std::vector<int32_t>{3, 4}));
    w.set->SetMembers(tv::Variant::null());
    EXPECT_EQ(w.Events(), 2);
}

TEST(SelectionSet, ClearReportsTheRowsItDeselected)
{
    Watched w(10, {1, 7});
    w.set->Clear();
    EXPECT_EQ(w.set->Count(), 0);
    EXPECT_EQ(w.previous, (std::vector<std::vector<int32_t>>{{1, 7}}));
    w.set->Clear();
    EXPECT_EQ(w.Events(), 1);
}

TEST(SelectionSet, PreviousMembersIsEmptyOutsideTheEvent)
{
    Watched w(10, {4});
    w.set->Add(6);
    EXPECT_EQ(w.previous.back(), std::vector<int32_t>{4});
    EXPECT_EQ(w.set->PreviousMembers()->Count(), 0);
}

TEST(SelectionSet, ShiftRows)
{
    struct Case {
        const char* name;
        int32_t rows;
        std::vector<int32_t> initial;
        int32_t delta, position;
        std::vector<int32_t> members;
        int32_t rowCount;
    };
    const Case kCases[] = {
        {"insert two at 3", 10, {2, 5}, 2, 3, {2, 7}, 12},
        {"insert at a selected row", 10, {3}, 1, 3, {4}, 11},
        {"append", 10, {9}, 3, -1, {9}, 13},
        {"insert across a byte", 8, {0, 7}, 9, 1, {0, 16}, 17},
        {"remove one at 2", 12, {2, 7}, -1, 2, {6}, 11},
        {"remove the last rows", 10, {1, 8, 9}, -2, -1, {1}, 8},
        {"remove all", 10, {1}, -10, 0, {}, 0},
        {"delta 0", 10, {1}, 0, 0, {1}, 10},
        // The rows freed at the end must not come back as members when rows are added again.
        {"removed tail stays clear", 10, {8, 9}, -2, 0, {6, 7}, 8},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.name);
        Watched w(c.rows, c.initial);
        w.set->ShiftRows(c.delta, c.position);
        EXPECT_EQ(MembersOf(*w.set), c.members);
        EXPECT_EQ(w.set->RowCount(), c.rowCount);
        EXPECT_EQ(w.Events(), 0);
    }
}

TEST(SelectionSet, RemovedRowsDoNotReappear)
{
    Watched w(16, {14, 15});
    w.set->ShiftRows(-4, 12);
    EXPECT_EQ(w.set->Count(), 0);
    EXPECT_FALSE(w.set->Contains(14));
    w.set->ShiftRows(4, -1);
    EXPECT_EQ(w.set->Count(), 0);
}

TEST(SelectionSet, RestoreResizesAndClears)
{
    Watched w(10, {3});
    w.set->Restore(4);
    EXPECT_EQ(w.set->RowCount(), 4);
    EXPECT_EQ(w.set->Count(), 0);
    w.set->Restore(4, QByteArray("\xFF", 1));   // spare bits of the byte are no members
    EXPECT_EQ(MembersOf(*w.set), Range(0, 3));
    w.set->Restore(0);
    w.set->Add();
    EXPECT_TRUE(w.set->Members().isNull());
    EXPECT_EQ(w.Events(), 0);
}
