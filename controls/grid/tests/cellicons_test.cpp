#include "controls/grid/cellicons.h"

#include <QHash>
#include <gtest/gtest.h>

using namespace vantile;

namespace {

tv::Variant List(std::initializer_list<int32_t> numbers)
{
    tv::VariantArray a(0, int(numbers.size()) - 1);
    int i = 0;
    for (int32_t n : numbers) a.at(i++) = tv::Variant(n);
    return tv::Variant(a);
}

} // namespace

TEST(CellIcons, ListsKeysAndHeaderArrows)
{
    // One row of a grid: "Filetyp" holds image 3, "Leer" nothing, "Null" zero.
    const QHash<QString, tv::Variant> row{
        {"filetyp", 3}, {"leer", tv::Variant::null()}, {"null", 0}, {"text", "2"}};
    const RowValueLookup lookup = [&](const QString& key) { return row.value(key.toLower()); };
    struct Case {
        const char* name;
        tv::Variant icons;
        std::vector<int32_t> numbers;
        bool list;
    };
    const Case kCases[] = {
        {"Null: none", tv::Variant::null(), {}, false},
        {"empty text: none", "", {}, false},
        {"single number", 4, {4}, false},
        {"header arrow ascending", -2, {-2}, false},
        {"header arrow descending", tv::Variant(int16_t(-1)), {-1}, false},
        {"array", List({1, 0, -5}), {1, 0, -5}, true},
        {"empty array keeps the gap", tv::Variant(tv::VariantArray()), {}, true},
        {"text list", "1;2; -3", {1, 2, -3}, true},
        {"text of one number", "7", {7}, true},
        {"key", "Filetyp", {3}, false},
        {"key in other case", "FILETYP", {3}, false},
        {"right-hand key", "-Filetyp", {-3}, false},
        {"key with a number in text", "Text", {2}, false},
        {"key without value", "Leer", {}, false},
        {"right-hand key of 0", "-Null", {}, false},
        {"left key of 0 keeps the place", "Null", {0}, false},
        {"unknown key", "Fehlt", {}, false},
        {"text that only starts like a list", "1;Filetyp", {}, false},
        {"key that starts with a digit", "3D", {}, false},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.name);
        const CellIcons icons = ResolveIcons(c.icons, lookup);
        EXPECT_EQ(icons.numbers, c.numbers);
        EXPECT_EQ(icons.list, c.list);
    }
}

TEST(CellIcons, KeysNeedARow)
{
    EXPECT_EQ(ParseIconList("Filetyp"), std::nullopt);
    EXPECT_EQ(ResolveIcons("Filetyp"), CellIcons{});
    EXPECT_EQ(ResolveIcons("-2"), (CellIcons{{-2}, true}));
}
