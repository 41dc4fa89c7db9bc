// Fonts, drawing-object holders and the device-context wrapper.

#include "platform/gui/dc.h"
#include "platform/gui/ddbitmap.h"
#include "platform/gui/gdiobject.h"
#include "platform/gui/modfont.h"
#include "platform/gui/surface.h"

#include <gtest/gtest.h>

using namespace tv;

namespace {

// The count of live objects, once the stock objects a context uses exist.
int liveObjects()
{
    DeleteDC(CreateCompatibleDC());
    return GdiObjectCount();
}

TEST(ModFont, LogFontHeightRoundsPointsHalfToEven)
{
    struct Case {
        double size;
        int height;
    } cases[] = {{9, -12}, {8.5, -11}, {9.5, -13}, {8.25, -11}, {12, -16}, {10, -13}};
    for (const auto& c : cases) {
        StdFont f;
        f.Size = c.size;
        LogFont lf;
        FillLogFont(f, 0, lf);
        EXPECT_EQ(lf.lfHeight, c.height) << c.size;
        EXPECT_EQ(lf.lfWeight, 400);
        EXPECT_EQ(lf.lfFaceName, QByteArray("MS Sans Serif"));
    }
}

TEST(ModFont, StyleWordOverridesOrKeepsTheFontsAttributes)
{
    StdFont plain;
    const HandleId bold = CreateFontFromObject(plain, 0, 5);
    const QFont q = FontOfHandle(bold);
    EXPECT_TRUE(q.bold());
    EXPECT_TRUE(q.underline());
    EXPECT_FALSE(q.italic());
    EXPECT_FALSE(q.strikeOut());

    StdFont italic;
    italic.Italic = true;
    const HandleId kept = CreateFontFromObject(italic, 0, -1);
    EXPECT_TRUE(FontOfHandle(kept).italic());
    const HandleId cleared = CreateFontFromObject(italic, 0, 0);
    EXPECT_FALSE(FontOfHandle(cleared).italic());
    for (HandleId h : {bold, kept, cleared}) DeleteObject(h);
}

TEST(ModFont, FontStyleOfAndApplyFontStyle)
{
    StdFont f;
    f.Bold = f.Underline = true;
    EXPECT_EQ(FontStyleOf(f), 5);

    StdFont g;
    g.Italic = true;
    ApplyFontStyle(g, 0);
    EXPECT_EQ(FontStyleOf(g), 2) << "0 changes nothing";
    ApplyFontStyle(g, 9);
    EXPECT_TRUE(g.Bold && g.Italic && g.Strikethrough && !g.Underline) << "set bits add, clear bits stay";
}

TEST(GdiObjectHolder, FreesItsHandleWithTheLastReference)
{
    const int before = liveObjects();
    {
        GdiObjectPtr a = MakeGdiObject(CreateSolidBrush(RGB(1, 2, 3)));
        GdiObjectPtr b = a;
        EXPECT_EQ(a->TypeID(), ObjBrush);
        a.reset();
        EXPECT_EQ(GdiObjectCount(), before + 1);
    }
    EXPECT_EQ(GdiObjectCount(), before);
    { GdiObject empty; }   // holding 0 changes nothing
    {
        GdiObject mem(CreateCompatibleDC());
        EXPECT_EQ(mem.TypeID(), ObjMemDC);
    }
    EXPECT_EQ(GdiObjectCount(), before);
}

TEST(GdiObjectHolder, TypeIdsAndSystemColourBrushes)
{
    struct Case {
        HandleId h;
        ObjectTypeEnum type;
    } cases[] = {{0, ObjNone},
                 {12345678, ObjNone},
                 {GetSysColorBrush(COLOR_WINDOW), ObjBrush},
                 {GetStockGuiFont(), ObjFont}};
    for (const auto& c : cases) EXPECT_EQ(GetObjectType(c.h), c.type) << c.h;
    // A system colour brush is stock: its holder leaves it alive.
    const HandleId sys = ColorBrush(0x80000005)->Handle();
    EXPECT_EQ(GetObjectType(sys), ObjBrush);
    EXPECT_EQ(sys, GetSysColorBrush(COLOR_WINDOW));
    EXPECT_EQ(TranslateOleColor(0x0000FF), RGB(255, 0, 0));
}

TEST(GdiObjectHolder, BitmapSelectedIntoAContextIsNotFreed)
{
    DDBitmap bmp(10, 10);
    EXPECT_FALSE(DeleteObject(bmp.hBitmap()));
    EXPECT_EQ(GetObjectType(bmp.hBitmap()), ObjBitmap);
    const PicturePtr pic = bmp.Picture();
    ASSERT_TRUE(pic);
    EXPECT_EQ(pic->Width(), 10);
    EXPECT_NE(pic->Handle(), bmp.hBitmap());
}

TEST(DeviceContextWrapper, KeepsSelectedObjectsUntilReleasedAndFreesThemAfterRestore)
{
    const int before = liveObjects();
    {
        DeviceContext dc;
        dc.setHandle(CreateCompatibleDC());
        const HandleId hdc = dc.Handle();
        const HandleId stockFont = GetCurrentObject(hdc, ObjFont);
        StdFont f;
        auto font = MakeGdiObject(CreateFontFromObject(f, hdc, 1));
        const HandleId fontHandle = font->Handle();
        EXPECT_EQ(dc.SelectObject(font), nullptr);
        auto font2 = MakeGdiObject(CreateFontFromObject(f, hdc, 2));
        auto previous = dc.SelectObject(font2);
        EXPECT_EQ(previous, font);
        font.reset();
        previous.reset();
        EXPECT_EQ(GetObjectType(fontHandle), ObjNone) << "handed back and let go: freed";
        bool ok = true;
        EXPECT_EQ(dc.GetFont(&ok), font2->Handle());
        EXPECT_TRUE(ok);
        font2.reset();
        EXPECT_EQ(GetCurrentObject(hdc, ObjFont), dc.GetFont()) << "the slot keeps it alive";

        auto mem = MakeGdiObject(CreateCompatibleDC());
        dc.SelectObject(mem, &ok);
        EXPECT_FALSE(ok) << "a memory context cannot be selected";
        (void)stockFont;
    }
    EXPECT_EQ(GdiObjectCount(), before);
}

TEST(DeviceContextWrapper, GetFontWithoutFontFailsAndTextWidthOfEmptyIsOne)
{
    DeviceContext dc;
    dc.setHandle(CreateCompatibleDC());
    bool ok = true;
    dc.GetFont(&ok);
    EXPECT_FALSE(ok);
    EXPECT_EQ(dc.TextWidth(QString()), 1);
    EXPECT_GT(dc.TextWidth(QStringLiteral("abc")), dc.TextWidth(QStringLiteral("ab")));
    QString t = QStringLiteral("abc");
    EXPECT_EQ(dc.DrawText(0, 0, 10, 10, t, 0, 0), 0);
}

TEST(DeviceContextWrapper, ReleasingRestoresTheSavedState)
{
    OwnerDrawSurface target;
    const HandleId hdc = target.hdc();
    const HandleId stockFont = GetCurrentObject(hdc, ObjFont);
    {
        DeviceContext dc;
        dc.setHandle(hdc);
        StdFont f;
        dc.SelectObject(MakeGdiObject(CreateFontFromObject(f, hdc)));
        EXPECT_NE(GetCurrentObject(hdc, ObjFont), stockFont);
    }
    EXPECT_EQ(GetCurrentObject(hdc, ObjFont), stockFont) << "a context it did not make stays, restored";
    EXPECT_EQ(GetObjectType(hdc), ObjDC);

    DeviceContext mem;
    const HandleId memDC = CreateCompatibleDC();
    mem.setHandle(memDC);
    mem.setHandle(0);
    EXPECT_EQ(GetObjectType(memDC), ObjNone) << "a memory context is deleted with its wrapper";
}

} // namespace
