#include "controls/grid/cellcontent.h"
#include "controls/grid/column.h"

#include <gtest/gtest.h>

using namespace vantile;

TEST(CellContent, FormatCellValue)
{
    struct Case {
        const char* name;
        tv::Variant value;
        const char* format;
        tv::Variant shown;
    };
    const Case kCases[] = {
        {"no format", 3.5, "", 3.5},
        {"line breaks as blanks", "Zeile 1\r\nZeile 2\r\n", "RPL", "Zeile 1 Zeile 2 "},
        {"lone line feeds stay", "a\nb", "RPL", "a\nb"},
        {"rpl in lower case is a format", "a\r\nb", "rpl", "a\r\nb"},
        {"number format", 3.5, "0.00", "3,50"},
        {"date format", tv::Variant::fromDateTime(QDateTime(QDate(2026, 12, 9), QTime(0, 0))), "dd.mm.yyyy",
         "09.12.2026"},
        {"Null is not formatted", tv::Variant::null(), "0.00", tv::Variant::null()},
        {"Null is not replaced", tv::Variant::null(), "RPL", tv::Variant::null()},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(FormatCellValue(c.value, c.format), c.shown);
    }
}

TEST(CellContent, ColumnStyleOverTheRowStyle)
{
    const CellPaintStyle row{vtlFntItalic, 0x111111, 0, 0x222222};
    struct Case {
        const char* name;
        int32_t fontStyle, textColor, backColor, borderAppearance;
        bool normal;
        CellPaintStyle result;
    };
    const Case kCases[] = {
        {"all default", -1, -1, -1, -1, true, {vtlFntItalic, 0x111111, vtl2dGrayLine, 0x222222}},
        {"column colours", -1, 0xAA, 0xBB, -1, true, {vtlFntItalic, 0xAA, vtl2dGrayLine, 0xBB}},
        {"selection keeps its colours", vtlFntBold, 0xAA, 0xBB, vtl3DSunken, false,
         {vtlFntBold, 0x111111, vtl3DSunken, 0x222222}},
        {"font style 0 is no default", 0, -1, -1, vtl2DFlat, true, {0, 0x111111, vtl2DFlat, 0x222222}},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.name);
        CellStyle column;
        column.SetFontStyle(c.fontStyle);
        column.SetTextColor(c.textColor);
        column.SetBackColor(c.backColor);
        column.SetBorderAppearance(c.borderAppearance);
        EXPECT_EQ(ApplyColumnStyle(row, column, c.normal, vtl2dGrayLine), c.result);
    }
    CellStyle column;
    column.SetBorderType(-1);
    EXPECT_EQ(ColumnBorderType(column, vtlBdrRect), vtlBdrRect);
    column.SetBorderType(vtlBdrRow);
    EXPECT_EQ(ColumnBorderType(column, vtlBdrRect), vtlBdrRow);
}

class CellContentTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        column.Init("Size", 4, 64, nullptr);
        column.Format = "0.0";
        column.Icons = "Filetyp";
    }
    CellContent Get(const tv::Variant& stored, int32_t status = 0)
    {
        return GetCellContent(column, 7, stored, rowValues, style, status, fetchContents, fetchStyleEx);
    }

    Column column;
    RowValueLookup rowValues = [](const QString& key) {
        return key == "Filetyp" ? tv::Variant(2) : tv::Variant::null();
    };
    CellPaintStyle style{0, 0x10, 0, 0x20};
    FetchContentsEvent fetchContents;
    FetchStyleExEvent fetchStyleEx;
};

TEST_F(CellContentTest, WithoutHostEvents)
{
    int raised = 0;
    fetchContents.connect([&](int32_t, int32_t, tv::Variant&, tv::Variant&) { ++raised; });
    fetchStyleEx.connect([&](int32_t, int32_t, int32_t, tv::Variant&, int32_t&, int32_t&, int32_t&, int32_t&) {
        ++raised;
    });
    const CellContent content = Get(1.25);
    EXPECT_EQ(content.Value, tv::Variant("1,3"));
    EXPECT_EQ(content.Icons.numbers, std::vector<int32_t>{2});
    EXPECT_EQ(content.Style, style);
    EXPECT_EQ(raised, 0);
}

TEST_F(CellContentTest, HostReplacesContentsAndStyle)
{
    column.FetchContents = true;
    column.FetchStyle = true;
    std::vector<QString> seen;
    fetchContents.connect([&](int32_t row, int32_t col, tv::Variant& value, tv::Variant& icons) {
        seen.push_back(QStringLiteral("contents %1 %2 %3 %4").arg(row).arg(col).arg(value.text(), icons.text()));
        if (value.isNull()) value = "leer";
        icons = "-Filetyp";
    });
    fetchStyleEx.connect([&](int32_t row, int32_t col, int32_t status, tv::Variant& value, int32_t& fontStyle,
                             int32_t& textColor, int32_t& backColor, int32_t& borderAppearance) {
        seen.push_back(QStringLiteral("style %1 %2 %3 %4 %5").arg(row).arg(col).arg(status).arg(value.text()).arg(textColor));
        fontStyle = vtlFntBold;
        backColor = 0xFF;
        borderAppearance = vtl3DRaised;
    });
    CellContent content = Get(tv::Variant::null(), 2);
    EXPECT_EQ(seen, (std::vector<QString>{"contents 7 4  2", "style 7 4 2 leer 16"}));
    EXPECT_EQ(content.Value, tv::Variant("leer"));
    EXPECT_EQ(content.Icons.numbers, std::vector<int32_t>{-2});
    EXPECT_EQ(content.Style, (CellPaintStyle{vtlFntBold, 0x10, vtl3DRaised, 0xFF}));

    seen.clear();
    content = Get(2);   // the host sees the formatted value
    EXPECT_EQ(seen.front(), "contents 7 4 2,0 2");
    EXPECT_EQ(content.Value, tv::Variant("2,0"));
}

TEST(CellContent, IconsWidth)
{
    struct Case {
        const char* name;
        CellIcons icons;
        int32_t all, leftOnly;
    };
    const Case kCases[] = {
        {"none", {}, 0, 0},
        {"single left", {{3}, false}, 20, 20},
        {"single right", {{-3}, false}, 20, 0},
        {"list of two", {{1, 2}, true}, 36, 36},
        {"list ending in a right icon", {{1, 2, -3}, true}, 60, 36},
        {"empty list", {{}, true}, 4, 4},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(IconsWidth(c.icons, false), c.all);
        EXPECT_EQ(IconsWidth(c.icons, true), c.leftOnly);
    }
    EXPECT_EQ(IconsToVariant({{1, -2}, true}).array()->count(), 2);
    EXPECT_EQ(IconsToVariant({{5}, false}), tv::Variant(5));
    EXPECT_TRUE(IconsToVariant({}).isNull());
}
