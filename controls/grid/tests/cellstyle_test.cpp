#include "controls/grid/cellstyle.h"

#include <gtest/gtest.h>
#include <type_traits>

// Code that draws cells uses both namespaces at once.
using namespace tv;
using namespace vantile;

namespace {

// Records the property numbers a style reports, checking that each value is readable already.
struct StyleEvents {
    explicit StyleEvents(CellStyle& style) : style_(style)
    {
        style.PropertyChanged.connect([this](int32_t id) {
            ids.push_back(id);
            values.push_back(style_.GetPropValue(id).toLong());
        });
    }
    CellStyle& style_;
    std::vector<int32_t> ids;
    std::vector<int32_t> values;
};

} // namespace

TEST(CellStyle, NewStyleIsAllZero)
{
    CellStyle style;
    for (int32_t id = 1; id <= 8; ++id) EXPECT_EQ(style.GetPropValue(id), tv::Variant(0)) << id;
    EXPECT_FALSE(style.WordBreak());
}

TEST(CellStyle, SetterReportsOnlyChangesAfterStoring)
{
    CellStyle style;
    StyleEvents events(style);
    style.SetTextColor(0);
    EXPECT_TRUE(events.ids.empty());
    style.SetTextColor(0x123456);
    EXPECT_EQ(events.ids, std::vector<int32_t>{CellStyle::kTextColor});
    EXPECT_EQ(events.values, std::vector<int32_t>{0x123456});
    style.SetAlignment(7);   // no check against the enumeration
    EXPECT_EQ(style.Alignment(), 7);
}

TEST(CellStyle, WordBreakStoresMinusOneAndReadsAnyNonZeroAsTrue)
{
    CellStyle style;
    style.SetWordBreak(true);
    EXPECT_EQ(style.GetPropValue(CellStyle::kWordBreak), tv::Variant(-1));
    ASSERT_TRUE(style.SetPropValue(CellStyle::kWordBreak, 5));
    EXPECT_TRUE(style.WordBreak());
}

TEST(CellStyle, SetPropValueRefusesBadNumbersAndValues)
{
    CellStyle style;
    StyleEvents events(style);
    EXPECT_FALSE(style.SetPropValue(0, 1));
    EXPECT_FALSE(style.SetPropValue(9, 1));
    EXPECT_TRUE(style.GetPropValue(9).isEmpty());
    EXPECT_FALSE(style.SetPropValue(CellStyle::kBackColor, "blue"));
    EXPECT_FALSE(style.SetPropValue(CellStyle::kBackColor, 3e10));
    EXPECT_EQ(style.BackColor(), 0);
    EXPECT_TRUE(style.SetPropValue(CellStyle::kBackColor, "255", true));   // silent: no event
    EXPECT_EQ(style.BackColor(), 255);
    EXPECT_TRUE(events.ids.empty());
}

TEST(CellStyle, InitDefaultsByKind)
{
    struct Case {
        const char* name;
        int32_t kind;
        std::vector<int32_t> events;
        int32_t textColor, backColor, borderAppearance, borderType, fontStyle;
    };
    const int32_t btnText = int32_t(0x80000012u);
    const int32_t btnFace = int32_t(0x8000000Fu);
    const Case kCases[] = {
        {"data cell", kStyleData, {2, 5, 8, 6, 7, 4}, -1, -1, -1, -1, -1},
        {"header cell", kStyleHeader, {2, 5, 8, 6, 7}, btnText, btnFace, 5, 4111, 0},
        {"footer cell", kStyleFooter, {2, 5, 8, 6, 7}, btnText, btnFace, 5, 4111, 0},
        {"other kind", 3, {2}, 0, 0, 0, 0, 0},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.name);
        CellStyle style;
        StyleEvents events(style);
        style.InitDefaults(c.kind);
        EXPECT_EQ(events.ids, c.events);
        EXPECT_EQ(style.VerticalAlignment(), vtlVCenter);
        EXPECT_FALSE(style.WordBreak());
        EXPECT_EQ(style.Alignment(), 0);
        EXPECT_EQ(style.TextColor(), c.textColor);
        EXPECT_EQ(style.BackColor(), c.backColor);
        EXPECT_EQ(style.BorderAppearance(), c.borderAppearance);
        EXPECT_EQ(style.BorderType(), c.borderType);
        EXPECT_EQ(style.FontStyle(), c.fontStyle);
    }
}

TEST(CellStyle, InitDefaultsClearsWordBreakFirst)
{
    CellStyle style;
    style.SetWordBreak(true);
    StyleEvents events(style);
    style.InitDefaults(3);
    EXPECT_EQ(events.ids, (std::vector<int32_t>{CellStyle::kWordBreak, CellStyle::kVerticalAlignment}));
}

TEST(CellStyle, DrawTextFlags)
{
    struct Case {
        int32_t alignment, vertical;
        bool wordBreak;
        int32_t flags;
    };
    const Case kCases[] = {
        {vtlRight, vtlVCenter, false, 0x8826},
        {vtlLeft, vtlTop, true, 0x8810},
        {vtlCenter, vtlBottom, false, 0x8829},
    };
    for (const auto& c : kCases) {
        CellStyle style;
        style.SetAlignment(c.alignment);
        style.SetVerticalAlignment(c.vertical);
        style.SetWordBreak(c.wordBreak);
        EXPECT_EQ(style.DrawTextFlags(), c.flags) << c.alignment << " " << c.vertical;
    }
}

TEST(CellStyle, CopyFromGoesThroughTheSettersInItsOrder)
{
    CellStyle source;
    for (int32_t id = 1; id <= 8; ++id) source.SetPropValue(id, id == CellStyle::kWordBreak ? -1 : 10 + id);
    CellStyle target;
    target.SetBackColor(18);   // already equal: no event for it
    StyleEvents events(target);
    target.CopyFrom(source);
    EXPECT_EQ(events.ids, (std::vector<int32_t>{1, 2, 4, 5, 3, 6, 7}));
    for (int32_t id = 1; id <= 8; ++id) EXPECT_EQ(target.GetPropValue(id), source.GetPropValue(id)) << id;
}

TEST(CellStyle, FontStyleWordIsTheFontHelpersOwn)
{
    static_assert(std::is_same_v<vantile::FontStyleEnum, tv::FontStyleEnum>);
    CellStyle style;
    style.SetFontStyle(vtlFntBold | vtlFntUnderline);
    StdFont font;
    ApplyFontStyle(font, style.FontStyle());
    EXPECT_TRUE(font.Bold && font.Underline && !font.Italic);
}
