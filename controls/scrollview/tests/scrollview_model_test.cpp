// Scroll view: persisted properties, rows and tags, geometry, scrolling.

#include "svfixture.h"

#include "controls/scrollview/scrollbarsex.h"

#include <QScrollBar>
#include <QWheelEvent>

namespace vantile {
namespace {

TEST(ScrollViewBag, EmptyBagGivesDefaultsAndAPairWithoutBars)
{
    ScrollView sv;
    sv.ReadProperties(tv::PropertyBag());
    EXPECT_EQ(sv.ScrollbarStyle(), sbStyleNone);
    ASSERT_NE(sv.scrollbars(), nullptr);
    EXPECT_EQ(sv.scrollbars()->Item(0), nullptr);
    EXPECT_EQ(sv.scrollbars()->Item(1), nullptr);
    EXPECT_EQ(sv.RowHeight(), 16);
    EXPECT_EQ(sv.ColumnWidth(), 4);
    EXPECT_EQ(sv.ItemCount(), 0);
    EXPECT_EQ(sv.ForeColor(), 0x80000008u);
    EXPECT_EQ(sv.BackColor(), 0x80000005u);

    tv::PropertyBag bag;
    sv.WriteProperties(bag);
    EXPECT_EQ(bag.keys(), QStringList{QStringLiteral("Font")}) << "defaults are not written";
}

TEST(ScrollViewBag, FreshControlHasItsFontAndNoPair)
{
    ScrollView sv;
    EXPECT_EQ(sv.scrollbars(), nullptr);
    EXPECT_EQ(QFontInfo(sv.Font()->toQFont()).family(), QStringLiteral("DejaVu Sans"));
    EXPECT_TRUE(sv.Picture());
    sv.setItemCount(3);
    EXPECT_NE(sv.scrollbars(), nullptr) << "the first count builds the pair";
}

TEST(ScrollViewBag, WrittenValuesComeBackAndStretchModeIsNotKept)
{
    ScrollView a;
    a.ReadProperties(tv::PropertyBag());
    a.setRowHeight(20);
    a.setColumnWidth(8);
    a.setScrollbarStyle(sbStyleBoth);
    a.setHoverTracking(true);
    a.setBackColor(0x00FF00);
    a.setStretchMode(true);
    auto font = std::make_shared<tv::StdFont>();
    font->Bold = true;
    a.setFont(font);
    tv::PropertyBag bag;
    a.WriteProperties(bag);
    EXPECT_EQ(bag.keys(), (QStringList{"Font", "BackColor", "RowHeight", "ColumnWidth", "ScrollbarStyle", "HoverTracking"}));

    ScrollView b;
    b.ReadProperties(bag);
    EXPECT_EQ(b.RowHeight(), 20);
    EXPECT_EQ(b.ColumnWidth(), 8);
    EXPECT_EQ(b.ScrollbarStyle(), sbStyleBoth);
    EXPECT_TRUE(b.HoverTracking());
    EXPECT_EQ(b.BackColor(), 0x00FF00u);
    EXPECT_TRUE(b.Font()->Bold);
    EXPECT_FALSE(b.StretchMode());
    EXPECT_NE(b.Font(), font) << "the control keeps its own copy";
}

TEST_F(ScrollViewTest, LoadingAfterACountClearsTheTagsButKeepsOnePerRow)
{
    sv->setItemCount(3);
    sv->setItemTag(1, 7);
    sv->ReadProperties(tv::PropertyBag());
    ASSERT_EQ(sv->ItemCount(), 3);
    bool ok = false;
    EXPECT_EQ(sv->ItemTag(2, &ok), 0);
    EXPECT_TRUE(ok);
    EXPECT_EQ(sv->ItemTag(1), 0) << "loading forgets the tags";
    sv->setItemTag(2, 9);
    EXPECT_EQ(sv->InsertItems(2, 1), 5);
    EXPECT_EQ(sv->ItemTag(4), 9);
    EXPECT_EQ(sv->RemoveItems(5, 0), 0);
}

TEST_F(ScrollViewTest, RowHeightAndColumnWidthBelowOneAreIgnored)
{
    for (int bad : {0, -3}) {
        sv->setRowHeight(bad);
        sv->setColumnWidth(bad);
    }
    EXPECT_EQ(sv->RowHeight(), 16);
    EXPECT_EQ(sv->ColumnWidth(), 4);
}

TEST_F(ScrollViewTest, VisibleRowsIntegralHeightAndVerticalRange)
{
    sv->setScrollbarStyle(sbStyleVert);
    struct Case {
        int area;
        int rows;
        bool integral;
        int rangeMax;   // with 50 rows
    } cases[] = {{100, 7, false, 50}, {96, 6, true, 49}, {16, 1, true, 49}, {10, 1, false, 50}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.area);
        setAreaHeight(c.area);
        sv->setItemCount(50);
        EXPECT_EQ(sv->ScrollAreaHeight(), c.area);
        EXPECT_EQ(sv->VisibleRows(), c.rows);
        EXPECT_EQ(sv->IntegralHeight(), c.integral);
        EXPECT_EQ(sv->scrollbars()->Item(1)->Max(), c.rangeMax);
        EXPECT_EQ(sv->scrollbars()->Item(1)->Page(), c.rows);
    }
}

TEST_F(ScrollViewTest, FirstVisibleItemIsClampedWithAndWithoutAVerticalBar)
{
    for (int style : {int(sbStyleNone), int(sbStyleVert)}) {
        SCOPED_TRACE(style);
        sv->setScrollbarStyle(style);
        setAreaHeight(64);   // 4 whole rows
        sv->setItemCount(10);
        sv->setFirstVisibleItem(1000);
        EXPECT_EQ(sv->FirstVisibleItem(), 6);
        EXPECT_EQ(sv->LastVisibleItem(), 9);
        sv->setFirstVisibleItem(-5);
        EXPECT_EQ(sv->FirstVisibleItem(), 0);
        sv->setLastVisibleItem(5);
        EXPECT_EQ(sv->FirstVisibleItem(), 2);
        EXPECT_TRUE(sv->IsVisible(5));
        EXPECT_FALSE(sv->IsVisible(6));
    }
}

TEST_F(ScrollViewTest, TagsFollowInsertsAndRemoves)
{
    auto tags = [&] {
        std::vector<int32_t> v;
        for (int i = 0; i < sv->ItemCount(); ++i) v.push_back(sv->ItemTag(i));
        return v;
    };
    sv->setItemCount(3);
    for (int i = 0; i < 3; ++i) sv->setItemTag(i, 5 + i);
    EXPECT_EQ(sv->InsertItems(2, 1), 5);
    EXPECT_EQ(tags(), (std::vector<int32_t>{5, 0, 0, 6, 7}));
    EXPECT_EQ(sv->InsertItems(1), 6);
    EXPECT_EQ(tags(), (std::vector<int32_t>{5, 0, 0, 6, 7, 0}));
    EXPECT_EQ(sv->InsertItems(0, 0), 6);
    EXPECT_EQ(sv->RemoveItems(2, 1), 4);
    EXPECT_EQ(tags(), (std::vector<int32_t>{5, 6, 7, 0}));
    bool ok = true;
    EXPECT_EQ(sv->RemoveItems(3, 2, &ok), 4);
    EXPECT_FALSE(ok);
    sv->ItemTag(4, &ok);
    EXPECT_FALSE(ok);
    EXPECT_EQ(sv->RemoveItems(4, 0), 0);
    EXPECT_TRUE(tags().empty());
    sv->setItemCount(2);
    sv->setItemTag(1, 9);
    sv->setItemCount(2);
    EXPECT_EQ(tags(), (std::vector<int32_t>{0, 0})) << "a new count drops every tag";
}

TEST_F(ScrollViewTest, EnsureVisibleKeepsTheEndRowWhole)
{
    sv->setScrollbarStyle(sbStyleVert);
    setAreaHeight(72);   // 4.5 rows: the fifth is partial
    sv->setItemCount(100);
    struct Case {
        int start, end;
        bool partialOK;
        int first;
    } cases[] = {{20, -1, false, 20}, {22, 25, false, 22}, {3, 4, false, 3}, {5, 7, true, 3}, {5, 7, false, 4}, {0, 4, false, 0}};
    for (const auto& c : cases) {
        sv->setFirstVisibleItem(c.start == 0 ? 0 : 3);
        sv->EnsureVisible(c.start, c.end, c.partialOK);
        EXPECT_EQ(sv->FirstVisibleItem(), c.first) << c.start << ".." << c.end;
    }
}

TEST_F(ScrollViewTest, MoveThumbWithoutVerticalBarMovesRows)
{
    setAreaHeight(64);
    sv->setItemCount(20);
    struct Case {
        int motion, first;
    } cases[] = {{sbLineDown, 1}, {sbPageDown, 5}, {sbLineUp, 4}, {sbPageUp, 0}, {sbBottom, 16}, {sbTop, 0}};
    for (const auto& c : cases) {
        sv->MoveThumb(1, c.motion);
        EXPECT_EQ(sv->FirstVisibleItem(), c.first) << c.motion;
    }
}

TEST_F(ScrollViewTest, ScrollRoutineRaisesScrollAndDropsReEntry)
{
    sv->setScrollbarStyle(sbStyleVert);
    setAreaHeight(64);
    sv->setItemCount(20);
    log.clear();
    onScroll = [&](int32_t, int32_t&) { sv->setFirstVisibleItem(9); };   // comes back while scrolling
    sv->setFirstVisibleItem(3);
    EXPECT_EQ(only("Scroll|FirstVisibleChanged"), (QStringList{"Scroll 1 3 3", "FirstVisibleChanged"}));
    EXPECT_EQ(sv->FirstVisibleItem(), 9) << "the bar took the value; its notification was dropped";

    log.clear();
    onScroll = [&](int32_t, int32_t& value) { value = -1; };   // the host repaints by itself
    sv->setFirstVisibleItem(10);
    EXPECT_EQ(only("Scroll|FirstVisibleChanged|BeforeDraw"), QStringList{"Scroll 1 10 1"});
}

TEST_F(ScrollViewTest, HorizontalScrollFollowsTheHandlersValue)
{
    sv->setScrollbarStyle(sbStyleBoth);
    sv->SetHorizontalExt(1000);
    log.clear();
    onScroll = [&](int32_t bar, int32_t& value) {
        if (bar == 0) value = 40;
    };
    sv->setHorizontalOrigin(12);
    EXPECT_EQ(sv->HorizontalOrigin(), 40);
    EXPECT_EQ(only("Scroll|FirstVisibleChanged"), (QStringList{"Scroll 0 12 12", "FirstVisibleChanged"}));
}

TEST_F(ScrollViewTest, WheelWithoutVerticalBarCountsWholeNotchesOfTheHighWord)
{
    setAreaHeight(64);
    sv->setItemCount(100);
    auto wheel = [&](int delta, Qt::KeyboardModifiers mods = {}) {
        QWheelEvent e(QPointF(5, 5), QPointF(5, 5), QPoint(), QPoint(0, delta), Qt::NoButton, mods, Qt::NoScrollPhase, false);
        QApplication::sendEvent(client(), &e);
    };
    sv->setFirstVisibleItem(50);
    struct Case {
        int delta;
        Qt::KeyboardModifiers mods;
        int first;
    } cases[] = {{120, {}, 49}, {240, {}, 47}, {60, Qt::ShiftModifier, 47}, {60, Qt::ControlModifier, 46},
                 {-120, {}, 47}, {-30, {}, 47}, {-30, {}, 47}, {-60, {}, 48}};
    for (const auto& c : cases) {
        wheel(c.delta, c.mods);
        EXPECT_EQ(sv->FirstVisibleItem(), c.first) << c.delta;
    }
}

TEST_F(ScrollViewTest, WheelOnTheBarMovesItsLinesPerNotch)
{
    sv->setScrollbarStyle(sbStyleVert);
    setAreaHeight(64);
    sv->setItemCount(100);
    const int lines = sv->scrollbars()->wheelLines();
    sv->scrollbars()->HandleMouseWheelEvent(tv::MakeLong(tv::MK_SHIFT | tv::MK_CONTROL, -120));
    EXPECT_EQ(sv->FirstVisibleItem(), lines);
    for (int i = 0; i < 8; ++i) sv->scrollbars()->HandleMouseWheelEvent(tv::MakeLong(0, -15));
    EXPECT_EQ(sv->FirstVisibleItem(), 2 * lines) << "fine deltas add up to a notch";
}

TEST_F(ScrollViewTest, PanStepGrowsToItsLimitAndStopsAtTheEnd)
{
    setAreaHeight(160);   // 10 rows
    sv->setItemCount(30);
    EXPECT_EQ(sv->Pan(1, 10, 3), 0);
    std::vector<int> firsts;
    for (int i = 0; i < 8; ++i) {
        tv::SysTimer::TickAll();
        firsts.push_back(sv->FirstVisibleItem());
    }
    EXPECT_EQ(firsts, (std::vector<int>{1, 3, 6, 9, 12, 15, 18, 20}));
    EXPECT_EQ(sv->Pan(), 1);
    tv::SysTimer::TickAll();   // did not move: the direction ends
    EXPECT_EQ(sv->Pan(), 0);
    EXPECT_EQ(tv::SysTimer::TickAll(), 1);   // the stop tick releases the timer
    EXPECT_EQ(tv::SysTimer::TickAll(), 0);
}

TEST_F(ScrollViewTest, PanBackAndStopByTheHost)
{
    setAreaHeight(160);
    sv->setItemCount(30);
    sv->setFirstVisibleItem(10);
    sv->Pan(2, 10, 1);
    tv::SysTimer::TickAll();
    tv::SysTimer::TickAll();
    EXPECT_EQ(sv->FirstVisibleItem(), 8);
    EXPECT_EQ(sv->Pan(0), 2);
    tv::SysTimer::TickAll();
    EXPECT_EQ(sv->FirstVisibleItem(), 8);
    EXPECT_EQ(tv::SysTimer::TickAll(), 0);
}

TEST_F(ScrollViewTest, ClientShrinksForItsBarsAndTheCornerIsPainted)
{
    sv->setScrollbarStyle(sbStyleBoth);
    setAreaHeight(100);
    EXPECT_EQ(sv->ScaleWidth(), 200) << "nothing to scroll: no bars";
    sv->setItemCount(100);
    const int ext = sv->scrollbars()->Item(1)->widget()->width();
    EXPECT_EQ(sv->ScaleWidth(), 200 - ext);
    EXPECT_EQ(sv->ScaleHeight(), 100);
    sv->SetHorizontalExt(1000);
    EXPECT_EQ(sv->ScaleHeight(), 100 - ext);
    QWidget* corner = nullptr;
    for (QWidget* w : sv->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly))
        if (w->geometry() == QRect(200 - ext, 100 - ext, ext, ext)) corner = w;
    ASSERT_NE(corner, nullptr);
    EXPECT_TRUE(corner->isVisible());
    EXPECT_TRUE(corner->autoFillBackground());
}

} // namespace
} // namespace vantile
