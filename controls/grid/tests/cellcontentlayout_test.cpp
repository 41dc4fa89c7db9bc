#include "controls/grid/cellcontentlayout.h"

#include <gtest/gtest.h>

using namespace vantile;

TEST(CellContentLayout, IconsAndText)
{
    using Icon = CellContentLayout::Icon;
    struct Case {
        const char* name;
        CellIcons icons;
        bool imageList;
        int32_t format;
        std::optional<int32_t> textWidth;
        std::vector<Icon> placed;
        int32_t textLeft, textRight, textFormat;
    };
    // Body cell (0, 0)-(99, 19) with 16 x 16 icons.
    const Case kCases[] = {
        {"icon 0 keeps its place", {{0}, false}, true, 0, 10, {}, 24, 95, 0},
        {"single left icon", {{3}, false}, true, 0, 10, {{3, 4}}, 24, 95, 0},
        {"empty list keeps the gap", {{}, true}, true, 0, 10, {}, 8, 95, 0},
        {"no icons", {}, true, 0, 10, {}, 4, 95, 0},
        {"no image list", {{1, 2}, true}, false, 0, 10, {}, 4, 95, 0},
        {"too wide: left-aligned", {}, true, kDtRight | 0x20, 89, {}, 4, 95, 0x20},
        {"fits: right-aligned stays", {}, true, kDtRight, 88, {}, 4, 95, kDtRight},
        {"right icon after left text", {{1, -2}, true}, true, 0, 20, {{1, 4}, {2, 48}}, 24, 75, 0},
        {"right icon after centred text", {{1, -2}, true}, true, kDtCenter, 20, {{1, 4}, {2, 64}}, 24, 75, kDtCenter},
        {"centring rounds half to even", {{1, -2}, true}, true, kDtCenter, 19, {{1, 4}, {2, 63}}, 24, 75, kDtCenter},
        {"centring rounds half to even up", {{1, -2}, true}, true, kDtCenter, 17, {{1, 4}, {2, 63}}, 24, 75, kDtCenter},
        {"right icon with right-aligned text", {{1, -2}, true}, true, kDtRight, 20, {{1, 4}, {2, 79}}, 24, 75, kDtRight},
        {"right icon stays in the cell", {{-2}, false}, true, 0, 150, {{2, 79}}, 4, 75, 0},
        {"no text: no right icon", {{1, -2}, true}, true, 0, std::nullopt, {{1, 4}}, 0, 0, 0},
        {"left icons end at the first negative", {{1, -2, 3}, true}, true, 0, 10, {{1, 4}, {2, 38}}, 24, 75, 0},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.name);
        const CellContentLayout l = LayoutCellContent(0, 0, 99, 19, c.format, c.icons, c.imageList, 16, 16, c.textWidth);
        EXPECT_EQ(l.iconTop, 2);
        EXPECT_EQ(l.icons, c.placed);
        EXPECT_EQ(l.textLeft, c.textLeft);
        EXPECT_EQ(l.textRight, c.textRight);
        EXPECT_EQ(l.format, c.textFormat);
        if (c.textWidth) {
            EXPECT_EQ(l.textBottom, 19);
        }
    }
}

TEST(CellContentLayout, HeaderSortArrow)
{
    // A header cell (100, 0)-(199, 17) with 8 x 8 icons and the descending arrow (-1).
    const CellContentLayout l = LayoutCellContent(100, 0, 199, 17, kDtCenter, {{-1}, false}, true, 8, 8, 30);
    EXPECT_EQ(l.iconTop, 5);
    EXPECT_EQ(l.icons, (std::vector<CellContentLayout::Icon>{{1, 163}}));
    EXPECT_EQ(l.textLeft, 104);
    EXPECT_EQ(l.textRight, 183);
}
