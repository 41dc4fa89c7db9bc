#include "controls/grid/cellcontentlayout.h"
#include "controls/grid/cellpainter.h"
#include "controls/grid/cellstyle.h"
#include "platform/gui/ddbitmap.h"
#include "platform/gui/dc.h"
#include "platform/gui/imagelist.h"
#include "platform/gui/modfont.h"
#include "platform/gui/textedge.h"

#include <QFontInfo>
#include <gtest/gtest.h>

namespace vantile {
namespace {

using tv::ColorRef;

constexpr ColorRef kWhite = 0xFFFFFF;
constexpr ColorRef kRed = 0x0000FF;

// A white bitmap with the dialog font selected; cells are painted on it and read back.
struct Canvas {
    tv::DDBitmap bmp{120, 24};
    tv::StdFont font;
    tv::GdiObjectPtr hFont;
    tv::GdiObjectPtr white = tv::MakeGdiObject(tv::CreateSolidBrush(kWhite));
    Canvas()
    {
        font.Name = QStringLiteral("DejaVu Sans");
        hFont = tv::MakeGdiObject(tv::CreateFontFromObject(font, bmp.hdc()));
        tv::SelectObject(bmp.hdc(), hFont->Handle());
        tv::SetBkMode(bmp.hdc(), tv::TRANSPARENT);
        tv::FillRect(bmp.hdc(), {0, 0, 120, 24}, white->Handle());
    }
    ColorRef at(int x, int y) const { return tv::GetPixel(bmp.hdc(), x, y); }
    // Columns of the row band y0..y1 that hold a pixel other than white.
    int firstInk(int y0, int y1) const
    {
        for (int x = 0; x < 120; ++x)
            for (int y = y0; y <= y1; ++y)
                if (at(x, y) != kWhite) return x;
        return -1;
    }
    int lastInk(int y0, int y1) const
    {
        for (int x = 119; x >= 0; --x)
            for (int y = y0; y <= y1; ++y)
                if (at(x, y) != kWhite) return x;
        return -1;
    }
};

TEST(CellPainter, DejaVuSansIsInstalled)
{
    EXPECT_EQ(QFontInfo(QFont(QStringLiteral("DejaVu Sans"))).family(), QStringLiteral("DejaVu Sans"));
}

TEST(CellPainter, LineBordersDrawOnlyTheRightAndBottomSide)
{
    Canvas c;
    CellPaint p;
    p.brush = c.white->Handle();
    p.edgeStyle = vtl2dGrayLine;
    p.edgeMode = vtlBdrRect;
    DrawCellContent(c.bmp.hdc(), 10, 2, 40, 15, p);
    const ColorRef shadow = tv::GetSysColor(tv::COLOR_BTNSHADOW);
    EXPECT_EQ(c.at(40, 8), shadow);
    EXPECT_EQ(c.at(20, 15), shadow);
    EXPECT_EQ(c.at(10, 8), kWhite);
    EXPECT_EQ(c.at(20, 2), kWhite);
}

TEST(CellPainter, ExtraDividerStripsWithABrush)
{
    Canvas c;
    tv::GdiObjectPtr red = tv::MakeGdiObject(tv::CreateSolidBrush(kRed));
    CellPaint p;
    p.extraDivider = tv::BF_TOP | tv::BF_BOTTOM;
    p.dividerBrush = red->Handle();
    DrawCellContent(c.bmp.hdc(), 10, 2, 40, 15, p);
    EXPECT_EQ(c.at(20, 2), kRed);
    EXPECT_EQ(c.at(20, 15), kRed);
    EXPECT_EQ(c.at(20, 3), kWhite);
    EXPECT_EQ(c.at(10, 8), kWhite);
    EXPECT_EQ(c.at(40, 8), kWhite);
}

TEST(CellPainter, TextThatDoesNotFitStartsLeftAndEndsInAnEllipsis)
{
    struct Case {
        const char* name;
        int32_t format;
        const char* text;
        int firstMin, firstMax, lastMax;
    };
    const int32_t ellipsis = kDtEndEllipsis | kDtSingleLine | kDtNoPrefix;
    const Case cases[] = {
        {"short right-aligned", kDtRight | ellipsis, "ab", 40, 56, 55},
        {"long right-aligned goes left", kDtRight | ellipsis, "a rather long text that cannot fit", 4, 7, 55},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.name);
        Canvas c;
        CellPaint p;
        p.text = QString::fromLatin1(k.text);
        p.format = k.format;
        p.textColor = 0;
        DrawCellContent(c.bmp.hdc(), 0, 0, 59, 15, p);
        const int first = c.firstInk(0, 15), last = c.lastInk(0, 15);
        EXPECT_GE(first, k.firstMin);
        EXPECT_LE(first, k.firstMax);
        EXPECT_LE(last, k.lastMax);   // the text stays 4 pixels inside the cell
    }
}

TEST(CellPainter, IconsAndTheTextBesideThem)
{
    const tv::HandleId list = tv::ImageListCreate(16, 16, tv::ILC_COLOR32, 1, 1);
    QImage red(16, 16, QImage::Format_RGB32);
    red.fill(Qt::red);
    tv::ImageListAddImage(list, red);
    struct Case {
        const char* name;
        CellIcons icons;
        bool iconDrawn;
        int textStart;   // 4 + icons + 4
    };
    const Case cases[] = {
        {"one icon", CellIcons{{1}, false}, true, 24},
        {"icon 0 keeps its place", CellIcons{{0}, false}, false, 24},
        {"empty list keeps the gap", CellIcons{{}, true}, false, 8},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.name);
        Canvas c;
        CellPaint p;
        p.text = QStringLiteral("|");
        p.format = kDtSingleLine | kDtNoPrefix;
        p.textColor = 0;
        p.iconList = list;
        p.icons = k.icons;
        DrawCellContent(c.bmp.hdc(), 0, 0, 119, 19, p);
        EXPECT_EQ(c.at(4 + 8, 10) == kRed, k.iconDrawn);
        const int first = c.firstInk(0, 19);
        if (k.iconDrawn) {
            EXPECT_EQ(first, 4);
        } else {
            EXPECT_GE(first, k.textStart);
            EXPECT_LE(first, k.textStart + 3);
        }
    }
    tv::ImageListDestroy(list);
}

TEST(CellPainter, IconsStayInsideTheirCell)
{
    const tv::HandleId list = tv::ImageListCreate(16, 16, tv::ILC_COLOR32, 1, 1);
    QImage red(16, 16, QImage::Format_RGB32);
    red.fill(Qt::red);
    tv::ImageListAddImage(list, red);
    Canvas c;
    CellPaint p;
    p.iconList = list;
    p.icons = CellIcons{{1, 1}, false};
    // A column six pixels wide in a row twelve pixels high: the icons show only inside it.
    DrawCellContent(c.bmp.hdc(), 10, 4, 15, 15, p);
    EXPECT_EQ(c.at(14, 10), kRed);
    EXPECT_EQ(c.lastInk(0, 23), 15);
    EXPECT_EQ(c.at(14, 2), kWhite);     // nor above the row
    EXPECT_EQ(c.at(14, 17), kWhite);    // nor below it
    // The next cell draws as before: the clip ends with the icons.
    p.icons = CellIcons{{1}, false};
    DrawCellContent(c.bmp.hdc(), 40, 0, 119, 19, p);
    EXPECT_EQ(c.at(44 + 8, 10), kRed);
    tv::ImageListDestroy(list);
}

TEST(CellPainter, InvertAndFocusFrame)
{
    Canvas c;
    CellPaint p;
    p.focus = true;
    DrawCellContent(c.bmp.hdc(), 10, 2, 40, 15, p);
    // The dotted frame alternates pixel by pixel along its lines.
    EXPECT_NE(c.at(20, 2), c.at(21, 2));
    EXPECT_EQ(c.at(20, 8), kWhite);
    Canvas d;
    p.focus = false;
    p.invert = true;
    DrawCellContent(d.bmp.hdc(), 10, 2, 40, 15, p);
    EXPECT_EQ(d.at(20, 8), 0u);
    EXPECT_EQ(d.at(41, 8), kWhite);
}

} // namespace
} // namespace vantile
