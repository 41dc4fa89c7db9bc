// The library-wide object and the factory.

#include "controls/grid/cellstyle.h"
#include "controls/scrollview/scrollview.h"
#include "controls/vantile.h"
#include "platform/gui/ddbitmap.h"
#include "platform/gui/dc.h"
#include "platform/gui/gdiobject.h"
#include "platform/gui/imagelist.h"
#include "platform/gui/modfont.h"
#include "platform/gui/textedge.h"

#include <gtest/gtest.h>

namespace vantile {
namespace {

TEST(EnumsGlobalTest, ValueListsAreExactAndCaseSensitive)
{
    struct Case {
        const char* name;
        const char* list;
    } cases[] = {
        {"DataMode", "0,vtlStorage;1,vtlVirtual"},
        {"Fixed", "0,vtlFixedNone;2,vtlFixedLeft;1,vtlFixedRight"},
        {"Hidden", "0,vtlHiddenNone;1,vtlHiddenCurrently;2,vtlHiddenAllways"},
        {"BorderAppearance", "-1,vtlUseDefault;0,vtl2DFlat;-4,vtl2DBlackLine;-2,vtl2DGrayLine;4,vtl3DRaised;"
                             "2,vtl3DSunken;5,vtl3DEdgeRaised;10,vtl3DEdgeSunken"},
        {"ShowFooter", "0,False;-1,True"},
        {"ScrollTrack", "-1,sbStyleNone;0,sbStyleHorz;1,sbStyleVert;3,sbStyleBoth"},
        {"ToolTipMode", "0,vtlNoTips;1,vtlCellTips;2,vtlFetchTips"},
        {"datamode", ""},
        {"Unknown", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Enums().SerializePropertyType(QString::fromLatin1(c.name)), QString::fromLatin1(c.list)) << c.name;
    const QString colors = Enums().SerializePropertyType(QStringLiteral("TextColor"));
    EXPECT_TRUE(colors.startsWith(QStringLiteral("&H80000017,vbInfoText;&H80000018,vbInfoBackground&H80000000,vbScrollBars;")));
    EXPECT_TRUE(colors.endsWith(QStringLiteral("&H80000016,vb3DLight;")));
    EXPECT_EQ(colors.count(u';'), 24);
    EXPECT_EQ(Enums().SerializePropertyType(QStringLiteral("BackColor")), colors);
}

TEST(EnumsGlobalTest, OptionWordIsKept)
{
    Enums().SetOptions(2);
    EXPECT_EQ(Enums().Options(), 2);
    Enums().SetOptions(0);
}

TEST(EnumsGlobalTest, DrawItemExCentresFittingTextAndLeftAlignsTooWideText)
{
    tv::DDBitmap bmp(300, 40);
    tv::HandleId dc = bmp.hdc();
    auto inkLeft = [&](int y0, int y1) {
        const QImage img = bmp.image();
        for (int x = 0; x < img.width(); ++x)
            for (int y = y0; y < y1; ++y)
                if (qGray(img.pixel(x, y)) < 128) return x;
        return -1;
    };
    QString shortText = QStringLiteral("ab");
    Enums().DrawItemEx(dc, 0, 0, 299, 19, shortText, tv::DT_CENTER | tv::DT_SINGLELINE, -1, 0, 0, -1, 0);
    EXPECT_GT(inkLeft(0, 20), 120);
    QString longText = QString(60, u'W');
    Enums().DrawItemEx(dc, 0, 20, 99, 39, longText, tv::DT_CENTER | tv::DT_SINGLELINE, -1, 0, 0, -1, 0);
    EXPECT_EQ(inkLeft(20, 40), 4) << "its start shows at the text left";

    // Measured in the font it is drawn in: too wide in the stock font, it fits in the small one.
    tv::FillRect(dc, {0, 0, 300, 40}, tv::COLOR_WINDOW + 1);
    tv::LogFont lf;
    lf.lfHeight = -6;
    const tv::HandleId small = tv::CreateFontIndirect(lf);
    QString nineW = QString(9, u'W');
    Enums().DrawItemEx(dc, 0, 0, 99, 39, nineW, tv::DT_CENTER | tv::DT_SINGLELINE, -1, small, 0, -1, 0);
    EXPECT_GT(inkLeft(0, 40), 10) << "centred";
    tv::SelectObject(dc, tv::GetStockGuiFont());
    tv::DeleteObject(small);
}

TEST(EnumsGlobalTest, DrawItemExWithoutTextPaintsFillIconsAndInversion)
{
    auto list = std::make_shared<tv::ImageList>();
    list->ImageWidth = list->ImageHeight = 8;
    QImage red(8, 8, QImage::Format_ARGB32);
    red.fill(Qt::red);
    list->Add(red);
    tv::ImageListClass icons;
    icons.Copy(list);
    tv::DDBitmap bmp(100, 20);
    tv::HandleId dc = bmp.hdc();
    QString empty;
    Enums().DrawItemEx(dc, 0, 0, 99, 19, empty, 0, -1, 0, tv::COLOR_WINDOW + 1, 0, 0, icons.Handle, int32_t(0),
                       int32_t(0), 8, 8, 0, false, true);
    const QImage img = bmp.image();
    EXPECT_EQ(img.pixel(5, 7), qRgb(0, 255, 255)) << "icon at X1 + 4, centred, then inverted";
    EXPECT_EQ(QColor(img.pixel(50, 2)).rgb(), (~QColor(tv::ToQColor(tv::GetSysColor(tv::COLOR_WINDOW))).rgb() | 0xFF000000u));
}

TEST(EnumsGlobalTest, DrawItemEx2PaintsThroughTheCellPainter)
{
    auto list = std::make_shared<tv::ImageList>();
    list->ImageWidth = list->ImageHeight = 8;
    QImage red(8, 8, QImage::Format_ARGB32);
    red.fill(Qt::red);
    list->Add(red);
    tv::ImageListClass icons;
    icons.Copy(list);
    tv::DDBitmap bmp(100, 40);
    tv::HandleId dc = bmp.hdc();
    tv::FillRect(dc, {0, 0, 100, 40}, tv::COLOR_WINDOW + 1);
    QString empty;
    // Icon numbers count from 1, and a line border keeps only its right and bottom sides.
    Enums().DrawItemEx2(dc, 0, 0, 99, 19, empty, 0, -1, 0, 0, vtl2DBlackLine, 15, icons.Handle, int32_t(1),
                        int32_t(-1), 8, 8);
    // Below it, a cell with the focus frame and nothing else.
    Enums().DrawItemEx2(dc, 0, 20, 99, 39, empty, 0, -1, 0, 0, 0, 0, 0, int32_t(-1), int32_t(-1), 0, 0, 0, true);
    const QImage img = bmp.image();
    EXPECT_EQ(QColor(img.pixel(5, 7)), QColor(Qt::red)) << "image 0 at X1 + 4, centred";
    const QRgb frame = tv::ToQColor(tv::GetSysColor(tv::COLOR_WINDOWFRAME)).rgb();
    const QRgb window = tv::ToQColor(tv::GetSysColor(tv::COLOR_WINDOW)).rgb();
    EXPECT_EQ(img.pixel(99, 10), frame);
    EXPECT_EQ(img.pixel(50, 19), frame);
    EXPECT_EQ(img.pixel(0, 10), window);
    EXPECT_EQ(img.pixel(50, 0), window);
    EXPECT_NE(img.pixel(50, 20), img.pixel(51, 20)) << "the dotted focus frame";
}

TEST(Factory, CreatesControlsAndObjectsByClassName)
{
    QWidget host;
    QWidget* w = CreateControl(QStringLiteral("vantile.scrollview"), &host);
    ASSERT_NE(qobject_cast<ScrollView*>(w), nullptr);
    EXPECT_EQ(w->parent(), &host);
    EXPECT_EQ(CreateControl(QStringLiteral("Vantile.Nothing")), nullptr);
    EXPECT_TRUE(std::dynamic_pointer_cast<tv::GdiObject>(CreateObject(QStringLiteral("Vantile.GdiObject"))));
    EXPECT_TRUE(std::dynamic_pointer_cast<tv::DDBitmap>(CreateObject(QStringLiteral("Vantile.DDBitmap"))));
    EXPECT_TRUE(std::dynamic_pointer_cast<EnumsGlobal>(CreateObject(QStringLiteral("Vantile.EnumsGlobal"))));
}

} // namespace
} // namespace vantile
