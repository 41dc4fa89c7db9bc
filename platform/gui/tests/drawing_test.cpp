// Pixel tests of the drawing layer on an image-backed context.

#include "platform/gui/dc.h"
#include "platform/gui/gdiobject.h"
#include "platform/gui/modfont.h"
#include "platform/gui/textedge.h"
#include "platform/gui/textshape.h"

#include <QApplication>
#include <QDir>
#include <QPainter>
#include <QPalette>
#include <QTextLayout>
#include <gtest/gtest.h>

using namespace tv;

namespace {

// A memory context over a white bitmap, with a palette whose every shade is distinct so
// that a wrong edge colour shows.
class Canvas : public ::testing::Test {
protected:
    void SetUp() override
    {
        oldPalette_ = QApplication::palette();
        QPalette pal = oldPalette_;
        const struct { QPalette::ColorRole role; QColor c; } roles[] = {
            {QPalette::Light, QColor(250, 250, 250)},  {QPalette::Midlight, QColor(220, 220, 220)},
            {QPalette::Dark, QColor(128, 128, 128)},   {QPalette::Shadow, QColor(40, 40, 40)},
            {QPalette::Button, QColor(200, 200, 190)}, {QPalette::Base, QColor(255, 255, 240)},
            {QPalette::Text, QColor(0, 0, 10)},
        };
        for (const auto& r : roles) pal.setColor(QPalette::Active, r.role, r.c);
        QApplication::setPalette(pal);
        bmp_ = CreateBitmap(W, H);
        dc = CreateCompatibleDC();
        SelectObject(dc, bmp_);
        FillRect(dc, {0, 0, W, H}, CreateSolidBrushHeld(RGB(255, 255, 255)));
    }
    void TearDown() override
    {
        DeleteDC(dc);
        DeleteObject(bmp_);
        for (HandleId h : held_) DeleteObject(h);
        QApplication::setPalette(oldPalette_);
    }
    HandleId CreateSolidBrushHeld(ColorRef c)
    {
        held_.push_back(CreateSolidBrush(c));
        return held_.back();
    }
    ColorRef px(int x, int y) { return GetPixel(dc, x, y); }
    QImage image() const { return *BitmapImage(bmp_); }
    // Columns and rows that hold dark (text) pixels inside r.
    QRect ink(const QRect& r) const
    {
        const QImage img = image();
        QRect box;
        for (int y = r.top(); y <= r.bottom(); ++y)
            for (int x = r.left(); x <= r.right(); ++x)
                if (qGray(img.pixel(x, y)) < 128) box |= QRect(x, y, 1, 1);
        return box;
    }
    HandleId selectFont(int px)
    {
        LogFont lf;
        lf.lfHeight = -px;
        lf.lfWeight = 400;
        lf.lfFaceName = "MS Sans Serif";
        held_.push_back(CreateFontIndirect(lf));
        SelectObject(dc, held_.back());
        return held_.back();
    }

    static constexpr int W = 200, H = 120;
    HandleId dc = 0;

private:
    HandleId bmp_ = 0;
    std::vector<HandleId> held_;
    QPalette oldPalette_;
};

TEST_F(Canvas, EdgeKindsAndFlagsPaintTheirRings)
{
    struct Case {
        const char* name;
        int edge, flags;
        QPoint at;
        int sysColor;   // -1: left white
    };
    const Case cases[] = {
        {"raised outer top-left", EDGE_RAISED, BF_RECT, {0, 5}, COLOR_3DLIGHT},
        {"raised outer bottom-right", EDGE_RAISED, BF_RECT, {19, 19}, COLOR_3DDKSHADOW},
        {"raised inner top-left", EDGE_RAISED, BF_RECT, {1, 5}, COLOR_BTNHIGHLIGHT},
        {"raised inner bottom-right", EDGE_RAISED, BF_RECT, {18, 10}, COLOR_BTNSHADOW},
        {"sunken outer top", EDGE_SUNKEN, BF_RECT, {5, 0}, COLOR_BTNSHADOW},
        {"sunken outer bottom", EDGE_SUNKEN, BF_RECT, {5, 19}, COLOR_BTNHIGHLIGHT},
        {"sunken inner top", EDGE_SUNKEN, BF_RECT, {5, 1}, COLOR_3DDKSHADOW},
        {"sunken inner bottom", EDGE_SUNKEN, BF_RECT, {5, 18}, COLOR_3DLIGHT},
        {"soft raised outer top-left", EDGE_RAISED, BF_RECT | BF_SOFT, {0, 5}, COLOR_BTNHIGHLIGHT},
        {"soft raised inner top-left", EDGE_RAISED, BF_RECT | BF_SOFT, {1, 5}, COLOR_3DLIGHT},
        {"flat line", BDR_RAISEDOUTER, BF_RECT | BF_FLAT, {0, 5}, COLOR_BTNSHADOW},
        {"flat line bottom", BDR_RAISEDOUTER, BF_RECT | BF_FLAT, {5, 19}, COLOR_BTNSHADOW},
        {"mono line", BDR_RAISEDOUTER, BF_RECT | BF_MONO, {19, 5}, COLOR_WINDOWFRAME},
        {"mono wins over flat", BDR_RAISEDOUTER, BF_RECT | BF_MONO | BF_FLAT, {5, 0}, COLOR_WINDOWFRAME},
        {"middle filled with the face", EDGE_RAISED, BF_RECT | BF_MIDDLE, {10, 10}, COLOR_BTNFACE},
        {"flat middle is the face too", BDR_RAISEDOUTER, BF_RECT | BF_FLAT | BF_MIDDLE, {10, 10}, COLOR_BTNFACE},
        {"mono middle is the window", BDR_RAISEDOUTER, BF_RECT | BF_MONO | BF_MIDDLE, {10, 10}, COLOR_WINDOW},
        {"no middle without the flag", EDGE_RAISED, BF_RECT, {10, 10}, -1},
        {"bottom side only: top stays", EDGE_RAISED, BF_BOTTOM, {5, 0}, -1},
        {"bottom side only: bottom drawn", EDGE_RAISED, BF_BOTTOM, {5, 19}, COLOR_3DDKSHADOW},
        {"right owns the top-right corner", BDR_RAISEDOUTER, BF_RECT, {19, 0}, COLOR_3DDKSHADOW},
        {"bottom owns the bottom-left corner", BDR_RAISEDOUTER, BF_RECT, {0, 19}, COLOR_3DDKSHADOW},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FillRect(dc, {0, 0, 20, 20}, CreateSolidBrushHeld(RGB(255, 255, 255)));
        Rect r{0, 0, 20, 20};
        ASSERT_TRUE(DrawEdge(dc, r, c.edge, c.flags));
        EXPECT_EQ(px(c.at.x(), c.at.y()), c.sysColor < 0 ? RGB(255, 255, 255) : GetSysColor(c.sysColor));
    }
}

TEST_F(Canvas, EdgeAdjustReturnsTheInside)
{
    Rect r{10, 10, 40, 30};
    DrawEdge(dc, r, EDGE_SUNKEN, BF_RECT | BF_ADJUST);
    EXPECT_EQ(r, (Rect{12, 12, 38, 28}));
}

TEST_F(Canvas, FontResolvesToDejaVuSans)
{
    StdFont f;   // the dialog face the controls ask for
    EXPECT_EQ(QFontInfo(f.toQFont()).family(), QStringLiteral("DejaVu Sans"));
    EXPECT_EQ(f.toQFont().pixelSize(), 11);
}

TEST_F(Canvas, TextAlignsHorizontally)
{
    selectFont(13);
    struct Case {
        uint32_t fmt;
        const char* name;
    } cases[] = {{DT_LEFT, "left"}, {DT_CENTER, "centre"}, {DT_RIGHT, "right"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        FillRect(dc, {0, 0, W, H}, CreateSolidBrushHeld(RGB(255, 255, 255)));
        Rect r{20, 10, 180, 30};
        DrawText(dc, QStringLiteral("WWW"), r, c.fmt | DT_SINGLELINE | DT_NOPREFIX);
        const QRect box = ink(QRect(0, 0, W, H));
        ASSERT_FALSE(box.isEmpty());
        const int expectedMiddle = c.fmt == DT_LEFT ? 20 + box.width() / 2
                                 : c.fmt == DT_RIGHT ? 180 - box.width() / 2 : 100;
        EXPECT_LE(std::abs((box.left() + box.right()) / 2 - expectedMiddle), 2);
    }
}

TEST_F(Canvas, EllipsisKeepsTextInsideItsRectangle)
{
    selectFont(13);
    const QString text = QStringLiteral("A long line of text that does not fit");
    Rect r{10, 10, 80, 30};
    DrawText(dc, text, r, DT_SINGLELINE | DT_NOCLIP);
    EXPECT_GT(ink(QRect(80, 0, W - 80, H)).width(), 0) << "without the ellipsis the text runs on";
    FillRect(dc, {0, 0, W, H}, CreateSolidBrushHeld(RGB(255, 255, 255)));
    DrawText(dc, text, r, DT_SINGLELINE | DT_NOCLIP | DT_END_ELLIPSIS);
    EXPECT_TRUE(ink(QRect(80, 0, W - 80, H)).isEmpty());
    EXPECT_GT(ink(QRect(60, 10, 20, 20)).width(), 0) << "the ellipsis ends near the right edge";
}

// Lines of plain characters are placed by the steps of their character pairs, without
// shaping them whole: every glyph must stand where the shaping of the whole line puts it
// (kerning pairs, umlauts, blanks), and a line with a ligature is shaped whole.
TEST_F(Canvas, SummedLinesStandWhereTheShapingPutsThem)
{
    const struct {
        const char* text;
        bool summed;
    } cases[] = {
        {"AVAVAV To Ty Wa Yo LT P. F, r.", true},
        {"Über den Wolken (1988)(Kingsoft) Ärger", true},
        {"/home/atari/Sammlung/Archive/Collection 12.zip", true},
        {"20.06.2024 13:45:11   137,0 KB", true},
        {"Lucasfilm (1984) fi", false},
    };
    for (const int px : {11, 13})
        for (const bool bold : {false, true})
            for (const auto& c : cases) {
                QFont font(QStringLiteral("DejaVu Sans"));
                font.setPixelSize(px);
                font.setBold(bold);
                const QString text = QString::fromUtf8(c.text);
                SCOPED_TRACE(qPrintable(QStringLiteral("%1 at %2 px%3").arg(text).arg(px).arg(bold ? " bold" : "")));
                const ShapedLine line = ShapeLine(font, QFontMetrics(font), text);
                EXPECT_EQ(line.oneGlyphEach, c.summed);
                EXPECT_EQ(line.width, QFontMetrics(font).horizontalAdvance(text));
                QTextLayout layout(text, font);
                layout.beginLayout();
                const QTextLine whole = layout.createLine();
                layout.endLayout();
                const QGlyphRun shaped = whole.glyphRuns().front();
                ASSERT_EQ(line.run.glyphIndexes(), shaped.glyphIndexes());
                for (qsizetype i = 0; i < shaped.positions().size(); ++i)
                    EXPECT_EQ(line.run.positions()[i].x() - line.run.positions()[0].x(),
                              shaped.positions()[i].x() - shaped.positions()[0].x()) << "glyph " << i;
            }
}

// A text is measured, cut and drawn from one shaping of it (of its start only, when it is
// long): the drawing must be the one Qt gives for the text elidedText cuts, for paths, names
// with kerning pairs, ligatures and umlauts, a text whose start is narrow, and short texts
// that fit or are cut whole.
TEST_F(Canvas, EllipsisAndPlainTextAreDrawnAsQtDrawsThem)
{
    for (const int px : {11, 13}) {
        SCOPED_TRACE(px);
        selectFont(px);
        const QFont font = FontOfHandle(GetCurrentObject(dc, ObjFont));
        const QFontMetrics fm(font);
        const QString texts[] = {
            QStringLiteral("/home/atari/Sammlung/Archive/Collection 12.zip/Disk 3/Boulder Dash (1984)(First Star)[a2].atr"),
            QStringLiteral("AVAVAVAV To Ty Wa Yo ffi fl AVAVAVAVAVAVAVAVAVAVAVAV To Ty Wa Yo ffi fl AVAVAV"),
            QStringLiteral("Über den Wolken (1988)(Kingsoft) Ärger im Labor (1979)(Atari) Öl Übung Ärger"),
            QStringLiteral("iiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiii.....llllllllllllllllllllllMMMMMMMMMMMMMMMMMMMMM"),
            QStringLiteral("Zybex (1988)(Zeppelin Games)[cr].xex"),
            QStringLiteral("To.Vo,Ay"),
            QStringLiteral("Lucasfilm (1984) ffi"),
            QStringLiteral("20.06.2024 13:45:11"),
            QStringLiteral("AV"),
        };
        const QColor ink = ToQColor(GetTextColor(dc));
        for (const QString& text : texts)
            for (int width = 2; width < W - 20; width += 5) {
                FillRect(dc, {0, 0, W, H}, CreateSolidBrushHeld(RGB(255, 255, 255)));
                Rect r{10, 10, 10 + width, 30};
                DrawText(dc, text, r, DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);

                QImage expected(image().size(), image().format());
                expected.fill(Qt::white);
                {
                    QPainter p(&expected);
                    p.setFont(font);
                    p.setPen(ink);
                    const QString shown = fm.horizontalAdvance(text) > width ? fm.elidedText(text, Qt::ElideRight, width) : text;
                    if (fm.horizontalAdvance(shown) > width) p.setClipRect(QRect(10, 10, width, 20));
                    p.drawText(QPoint(10, 10 + fm.ascent()), shown);
                }
                EXPECT_EQ(image(), expected) << qPrintable(text.left(12)) << " in " << width << " pixels";

                // The measure for a cell's layout is exact up to its limit.
                const int whole = fm.horizontalAdvance(text);
                const int measured = MeasureTextUpTo(dc, text, DT_SINGLELINE | DT_NOPREFIX, width);
                if (whole <= width) EXPECT_EQ(measured, whole);
                else EXPECT_GT(measured, width);
            }
    }
}

TEST_F(Canvas, WordBreakIgnoresVerticalAlignment)
{
    selectFont(13);
    const int lineHeight = QFontMetrics(FontOfHandle(GetCurrentObject(dc, ObjFont))).height();
    Rect r{10, 10, 70, 110};
    const int h = DrawText(dc, QStringLiteral("Wrapped words here"), r, DT_WORDBREAK | DT_VCENTER | DT_NOPREFIX);
    EXPECT_GE(h, 2 * lineHeight);
    const QRect box = ink(QRect(0, 0, W, H));
    EXPECT_LT(box.top(), 10 + lineHeight) << "multi-line text starts at the top";
    EXPECT_GT(box.height(), lineHeight) << "it was broken into lines";

    FillRect(dc, {0, 0, W, H}, CreateSolidBrushHeld(RGB(255, 255, 255)));
    DrawText(dc, QStringLiteral("Single"), r, DT_SINGLELINE | DT_VCENTER);
    EXPECT_GT(ink(QRect(0, 0, W, H)).top(), 10 + 30) << "a single line is centred";
}

TEST_F(Canvas, CalcRectMeasuresTheWidestLineAndDrawsNothing)
{
    selectFont(13);
    const QFontMetrics fm(FontOfHandle(GetCurrentObject(dc, ObjFont)));
    Rect r{5, 5, 5, 5};
    const int h = DrawText(dc, QStringLiteral("ab\nlonger line\nc"), r, DT_CALCRECT);
    EXPECT_EQ(r.width(), fm.horizontalAdvance(QStringLiteral("longer line")));
    EXPECT_EQ(r.height(), 3 * fm.height());
    EXPECT_EQ(h, 3 * fm.height());
    EXPECT_TRUE(ink(QRect(0, 0, W, H)).isEmpty());

    // An end ellipsis shortens drawn text only, never the measure.
    Rect e{0, 0, 0, 0};
    DrawText(dc, QStringLiteral("Filetyp"), e, DT_CALCRECT | DT_SINGLELINE | DT_END_ELLIPSIS);
    EXPECT_EQ(e.width(), fm.horizontalAdvance(QStringLiteral("Filetyp")));
}

TEST_F(Canvas, PrefixUnderlinesUnlessSwitchedOff)
{
    selectFont(13);
    Rect a{0, 0, 100, 20}, b{0, 0, 100, 20};
    DrawText(dc, QStringLiteral("A&&B"), a, DT_CALCRECT | DT_SINGLELINE);
    DrawText(dc, QStringLiteral("A&&B"), b, DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
    EXPECT_LT(a.width(), b.width()) << "\"&&\" is shown as one \"&\"";
}

TEST_F(Canvas, FocusFrameDotsFollowTheDevicePixelGrid)
{
    for (const QPoint origin : {QPoint(0, 0), QPoint(7, 0), QPoint(0, 3)}) {
        SCOPED_TRACE(origin.x() * 10 + origin.y());
        FillRect(dc, {0, 0, W, H}, CreateSolidBrushHeld(RGB(255, 255, 255)));
        SetViewportOrgEx(dc, origin.x(), origin.y());
        FrameRect(dc, {3, 5, 13, 15}, FocusPatternBrush());
        SetViewportOrgEx(dc, 0, 0);
        const QImage img = image();
        for (int x = 3; x < 13; ++x)
            for (int y : {5, 14}) {
                const QPoint d = QPoint(x, y) + origin;
                EXPECT_EQ(qGray(img.pixel(d)) < 128, (d.x() + d.y()) % 2 == 0) << d.x() << "," << d.y();
            }
        EXPECT_EQ(img.pixel(QPoint(8, 10) + origin), qRgb(255, 255, 255)) << "inside stays";
    }
}

TEST_F(Canvas, DrawFocusRectTwiceRemovesIt)
{
    const QImage before = image();
    DrawFocusRect(dc, {2, 2, 30, 20});
    EXPECT_NE(image(), before);
    DrawFocusRect(dc, {2, 2, 30, 20});
    EXPECT_EQ(image(), before);
}

TEST_F(Canvas, InvertTwiceRestoresTheImage)
{
    FillRect(dc, {0, 0, 50, 50}, CreateSolidBrushHeld(RGB(10, 200, 30)));
    selectFont(13);
    Rect r{0, 0, 100, 40};
    DrawText(dc, QStringLiteral("Text"), r, 0);
    const QImage before = image();
    InvertRect(dc, {5, 5, 120, 60});
    EXPECT_EQ(px(30, 45), RGB(245, 55, 225));
    BitBlt(dc, 5, 5, 115, 55, dc, 5, 5, DSTINVERT);
    EXPECT_EQ(image(), before);
}

TEST_F(Canvas, ScrollReturnsTheUncoveredRegion)
{
    for (int row = 0; row < 12; ++row)
        FillRect(dc, {0, row * 10, W, row * 10 + 10}, CreateSolidBrushHeld(RGB(row * 20, 0, 0)));
    const HandleId rgn = CreateRectRgn(0, 0, 0, 0);
    const Rect scroll{0, 20, 100, 100};
    Rect update;
    ASSERT_TRUE(ScrollDC(dc, 0, -10, &scroll, nullptr, rgn, &update));
    EXPECT_EQ(*RegionOf(rgn), QRegion(QRect(0, 90, 100, 10)));
    EXPECT_EQ(update, (Rect{0, 90, 100, 100}));
    EXPECT_EQ(px(5, 20), RGB(60, 0, 0)) << "row 3 moved up into row 2";
    EXPECT_EQ(px(5, 10), RGB(20, 0, 0)) << "above the scroll rectangle nothing moved";
    EXPECT_EQ(px(150, 20), RGB(40, 0, 0)) << "right of it nothing moved";

    ASSERT_TRUE(ScrollDC(dc, 4, 0, &scroll, nullptr, rgn, nullptr));
    EXPECT_EQ(*RegionOf(rgn), QRegion(QRect(0, 20, 4, 80)));
    DeleteObject(rgn);
}

TEST_F(Canvas, ClipRegionSetIntersectExcludeAddAndRestore)
{
    const HandleId red = CreateSolidBrushHeld(RGB(255, 0, 0));
    const HandleId rgn = CreateRectRgn(0, 0, 50, 50);
    SelectClipRgn(dc, rgn);
    IntersectClipRect(dc, 10, 10, 100, 100);
    ExcludeClipRect(dc, 20, 20, 30, 30);
    const HandleId extra = CreateRectRgn(100, 100, 110, 110);
    ExtSelectClipRgn(dc, extra, RGN_OR);
    const int level = SaveDC(dc);
    SelectClipRgn(dc, 0);
    RestoreDC(dc, level);
    FillRect(dc, {0, 0, W, H}, red);
    struct Case {
        QPoint at;
        bool filled;
    } cases[] = {{{5, 5}, false}, {{15, 15}, true}, {{25, 25}, false}, {{49, 49}, true},
                 {{60, 60}, false}, {{105, 105}, true}};
    for (const auto& c : cases) EXPECT_EQ(px(c.at.x(), c.at.y()) == RGB(255, 0, 0), c.filled) << c.at.x();
    DeleteObject(rgn);
    DeleteObject(extra);
}

TEST_F(Canvas, ClipIsInDeviceUnitsAndTheOriginMovesDrawing)
{
    SetViewportOrgEx(dc, 50, 0);
    IntersectClipRect(dc, 0, 0, 10, 10);   // logical: device 50..60
    FillRect(dc, {-50, 0, 100, 10}, CreateSolidBrushHeld(RGB(0, 0, 255)));
    EXPECT_EQ(px(-45, 5), RGB(255, 255, 255));
    EXPECT_EQ(px(5, 5), RGB(0, 0, 255));
    EXPECT_EQ(GetPixel(dc, 20, 5), RGB(255, 255, 255));
}

TEST_F(Canvas, RectangleLinesAndBlits)
{
    const HandleId pen = CreatePen(PS_SOLID, 1, RGB(0, 0, 255));
    const HandleId oldPen = SelectObject(dc, pen);
    const HandleId oldBrush = SelectObject(dc, CreateSolidBrushHeld(RGB(0, 255, 0)));
    Rectangle(dc, 0, 0, 10, 10);
    MoveToEx(dc, 20, 5);
    LineTo(dc, 30, 5);
    struct Case {
        QPoint at;
        ColorRef color;
    } cases[] = {{{0, 0}, RGB(0, 0, 255)}, {{9, 9}, RGB(0, 0, 255)}, {{5, 5}, RGB(0, 255, 0)},
                 {{10, 5}, RGB(255, 255, 255)}, {{20, 5}, RGB(0, 0, 255)}, {{29, 5}, RGB(0, 0, 255)},
                 {{30, 5}, RGB(255, 255, 255)}};
    for (const auto& c : cases) EXPECT_EQ(px(c.at.x(), c.at.y()), c.color) << c.at.x() << "," << c.at.y();

    // Stretch the 10 x 10 square to 20 x 20 at (40, 0); then XOR it with itself to black.
    StretchBlt(dc, 40, 0, 20, 20, dc, 0, 0, 10, 10, SRCCOPY);
    EXPECT_EQ(px(41, 1), RGB(0, 0, 255));
    EXPECT_EQ(px(50, 10), RGB(0, 255, 0));
    BitBlt(dc, 40, 0, 20, 20, dc, 40, 0, SRCINVERT);
    EXPECT_EQ(px(50, 10), RGB(0, 0, 0));
    SelectObject(dc, oldPen);
    SelectObject(dc, oldBrush);
    DeleteObject(pen);
}

TEST_F(Canvas, PseudoBrushIsASystemColour)
{
    FillRect(dc, {0, 0, 10, 10}, COLOR_BTNFACE + 1);
    EXPECT_EQ(px(5, 5), GetSysColor(COLOR_BTNFACE));
}

TEST_F(Canvas, ShowcaseOfEveryPrimitive)
{
    // Draws each primitive once; TV_SHOWCASE_DIR set keeps the picture for a person to look at.
    selectFont(12);
    int x = 4;
    for (int edge : {int(EDGE_RAISED), int(EDGE_SUNKEN), int(EDGE_ETCHED), int(EDGE_BUMP)}) {
        Rect r{x, 4, x + 40, 30};
        DrawEdge(dc, r, edge, BF_RECT | BF_MIDDLE);
        x += 46;
    }
    Rect t{4, 36, 190, 52};
    FillRect(dc, t, COLOR_HIGHLIGHT + 1);
    SetTextColor(dc, GetSysColor(COLOR_HIGHLIGHTTEXT));
    SetBkMode(dc, TRANSPARENT);
    DrawText(dc, QStringLiteral("Centred &text with an ellipsis at its end"), t,
             DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_END_ELLIPSIS);
    FrameRect(dc, {4, 56, 190, 70}, FocusPatternBrush());
    InvertRect(dc, {150, 74, 190, 116});
    Rect wb{4, 74, 140, 116};
    SetTextColor(dc, 0);
    DrawText(dc, QStringLiteral("Word break keeps whole words on their lines"), wb, DT_WORDBREAK);
    if (const char* dir = std::getenv("TV_SHOWCASE_DIR")) {
        EXPECT_TRUE(image().save(QDir(QString::fromLocal8Bit(dir)).filePath(QStringLiteral("drawing.png"))));
    }
    EXPECT_FALSE(ink(QRect(4, 74, 136, 42)).isEmpty());
}

} // namespace
