// Timers, window subclassing, the mouse hook, screen information and window stand-ins.

#include "platform/gui/dc.h"
#include "platform/gui/screeninfo.h"
#include "platform/gui/subclasser.h"
#include "platform/gui/surface.h"
#include "platform/gui/systimer.h"
#include "platform/gui/wnd.h"

#include <QApplication>
#include <QKeyEvent>
#include <QScreen>
#include <QTest>
#include <QWidget>
#include <gtest/gtest.h>

using namespace tv;

namespace {

struct ManualTimers : ::testing::Test {
    void SetUp() override { SysTimer::SetManualMode(true); }
    void TearDown() override { SysTimer::SetManualMode(false); }
};

TEST_F(ManualTimers, TicksOnlyWhileEnabled)
{
    SysTimer t;
    int ticks = 0;
    t.Timer.connect([&] { ++ticks; });
    t.setInterval(100);
    EXPECT_FALSE(t.Enabled()) << "a new timer is stopped";
    SysTimer::TickAll();
    EXPECT_EQ(ticks, 0);
    t.setEnabled(true);
    SysTimer::TickAll();
    SysTimer::TickAll();
    EXPECT_EQ(ticks, 2);
    t.setEnabled(false);
    SysTimer::TickAll();
    EXPECT_EQ(ticks, 2);
}

TEST_F(ManualTimers, HandlerMayStopOrReleaseItsTimer)
{
    auto t = std::make_unique<SysTimer>();
    int ticks = 0;
    t->Timer.connect([&] {
        ++ticks;
        t->setEnabled(false);
    });
    t->setEnabled(true);
    SysTimer::TickAll();
    SysTimer::TickAll();
    EXPECT_EQ(ticks, 1);

    t->Timer.disconnectAll();
    t->Timer.connect([&] {
        ++ticks;
        t.reset();   // released inside its own tick
    });
    t->setEnabled(true);
    EXPECT_EQ(SysTimer::TickAll(), 1);
    EXPECT_FALSE(t);
    EXPECT_EQ(SysTimer::TickAll(), 0);
}

TEST(RealTimer, RestartsOnEnableAndTicksInTheEventLoop)
{
    SysTimer t;
    int ticks = 0;
    t.Timer.connect([&] {
        ++ticks;
        t.setEnabled(false);
    });
    t.setInterval(5);
    t.setEnabled(true);
    QTRY_COMPARE_WITH_TIMEOUT(ticks, 1, 2000);
    EXPECT_FALSE(t.Enabled());
}

class Target : public QWidget {
public:
    int keys = 0;
    int presses = 0;

protected:
    void keyPressEvent(QKeyEvent*) override { ++keys; }
    void mousePressEvent(QMouseEvent*) override { ++presses; }
};

TEST(SubclasserTest, SeesWatchedMessagesFirstAndMayTakeThemOver)
{
    Target w;
    Subclasser s;
    std::vector<uint32_t> seen;
    int32_t keyCode = 0;
    s.WndProc.connect([&](WndMsg& m) {
        seen.push_back(m.uMsg);
        if (m.uMsg == WM_KEYDOWN) {
            keyCode = m.wParam;
            m.CallWndProc = false;
        }
    });
    s.sethWnd(HwndOf(&w));
    s.WatchMessage(WM_KEYDOWN, true);
    s.WatchMessage(WM_SIZE, true);
    s.WatchMessage(WM_SIZE, false);
    s.setEnabled(true);
    QKeyEvent down(QEvent::KeyPress, Qt::Key_PageDown, Qt::NoModifier);
    QApplication::sendEvent(&w, &down);
    w.resize(50, 40);
    EXPECT_EQ(seen, std::vector<uint32_t>{WM_KEYDOWN});
    EXPECT_EQ(keyCode, 0x22);
    EXPECT_EQ(w.keys, 0) << "taken over: the window never saw it";

    s.setEnabled(false);
    QApplication::sendEvent(&w, &down);
    EXPECT_EQ(w.keys, 1);
    EXPECT_EQ(seen.size(), 1u);
}

TEST(SubclasserTest, HandlerMayReleaseTheSubclasser)
{
    Target w;
    auto s = std::make_unique<Subclasser>();
    int calls = 0;
    s->WndProc.connect([&](WndMsg&) {
        ++calls;
        s.reset();
    });
    s->sethWnd(HwndOf(&w));
    s->WatchMessage(WM_KEYDOWN, true);
    s->setEnabled(true);
    QKeyEvent down(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier);
    QApplication::sendEvent(&w, &down);
    QApplication::sendEvent(&w, &down);
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(w.keys, 2);
}

TEST(SubclasserTest, WindowMayDieWhileWatchedAndTheWatchMovesOn)
{
    auto first = std::make_unique<Target>();
    Target second;
    Subclasser s;
    int keys = 0;
    s.WndProc.connect([&](WndMsg&) { ++keys; });
    s.WatchMessage(WM_KEYDOWN, true);
    s.sethWnd(HwndOf(first.get()));
    s.setEnabled(true);
    first.reset();   // the watched window goes first
    s.sethWnd(HwndOf(&second));
    QKeyEvent down(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier);
    QApplication::sendEvent(&second, &down);
    EXPECT_EQ(keys, 1);
    s.setEnabled(false);
    QApplication::sendEvent(&second, &down);
    EXPECT_EQ(keys, 1);
}

TEST(MouseHookTest, SeesEachPressOnceAndMaySwallowIt)
{
    QWidget top;
    top.resize(200, 100);
    auto* child = new Target;
    child->setParent(&top);
    child->setGeometry(10, 10, 100, 50);
    top.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&top));

    MouseHook hook;
    std::vector<MouseMsg> seen;
    bool swallow = false;
    hook.MouseEvent.connect([&](MouseMsg& m) {
        seen.push_back(m);
        m.CallNextHook = !swallow;
    });
    hook.WatchMessage(WM_LBUTTONDOWN, true);
    hook.setEnabled(true);
    QTest::mousePress(top.windowHandle(), Qt::LeftButton, {}, QPoint(20, 20));
    QTest::mouseRelease(top.windowHandle(), Qt::LeftButton, {}, QPoint(20, 20));
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].hwnd, HwndOf(child));
    EXPECT_EQ(QPoint(seen[0].x, seen[0].y), top.mapToGlobal(QPoint(20, 20)));
    EXPECT_EQ(child->presses, 1);

    swallow = true;
    QTest::mousePress(top.windowHandle(), Qt::LeftButton, {}, QPoint(30, 20), 50);
    QTest::mouseRelease(top.windowHandle(), Qt::LeftButton, {}, QPoint(30, 20));
    EXPECT_EQ(seen.size(), 2u);
    EXPECT_EQ(child->presses, 1) << "swallowed before the window saw it";

    hook.setEnabled(false);
    QTest::mousePress(top.windowHandle(), Qt::LeftButton, {}, QPoint(30, 20), 50);
    QTest::mouseRelease(top.windowHandle(), Qt::LeftButton, {}, QPoint(30, 20));
    EXPECT_EQ(seen.size(), 2u);
    EXPECT_EQ(child->presses, 2);
}

TEST(ScreenInfoTest, WorkAreaAtAPointAndOffScreen)
{
    const QRect avail = QGuiApplication::primaryScreen()->availableGeometry();
    struct Case {
        QPoint at;
        int scale;
    } cases[] = {{avail.center(), 1}, {QPoint(-100000, -100000), 1}, {avail.center() * 15, 15}};
    for (const auto& c : cases) {
        const ScreenArea a = TheScreenInfo().AreaFromPoint(c.at.x(), c.at.y(), c.scale);
        EXPECT_EQ(a.Right, (avail.x() + avail.width()) * c.scale);
        EXPECT_EQ(a.Bottom, (avail.y() + avail.height()) * c.scale);
    }
    EXPECT_GT(SystemInfo().Version(), 4);
}

TEST(WindowEnumeratorTest, VisitsTopLevelWindowsUntilCancelled)
{
    QWidget a, b;
    std::vector<HandleId> seen;
    WindowEnumerator e;
    e.Enumerate.connect([&](HandleId h, bool&) { seen.push_back(h); });
    e.Run();
    EXPECT_NE(std::find(seen.begin(), seen.end(), HwndOf(&a)), seen.end());
    EXPECT_NE(std::find(seen.begin(), seen.end(), HwndOf(&b)), seen.end());
    seen.clear();
    e.Enumerate.disconnectAll();
    e.Enumerate.connect([&](HandleId h, bool& cancel) {
        seen.push_back(h);
        cancel = true;
    });
    e.Run();
    EXPECT_EQ(seen.size(), 1u);

    auto owned = std::make_unique<WindowEnumerator>();
    int calls = 0;
    owned->Enumerate.connect([&](HandleId, bool&) {
        ++calls;
        owned.reset();   // released inside its own event, not cancelled
    });
    owned->Run();
    EXPECT_EQ(calls, 1);
}

TEST(Windows, HandlesAreTableIdsThatDieWithTheirWidget)
{
    HandleId h = 0;
    {
        QWidget w;
        h = HwndOf(&w);
        EXPECT_EQ(HwndOf(&w), h);
        EXPECT_EQ(WidgetOf(h), &w);
        EXPECT_FALSE(w.testAttribute(Qt::WA_NativeWindow));
        w.move(30, 40);
        EXPECT_EQ(ScreenToClient(h, ClientToScreen(h, QPoint(3, 4))), QPoint(3, 4));
    }
    EXPECT_EQ(WidgetOf(h), nullptr);
    EXPECT_EQ(HwndOf(nullptr), 0);
}

TEST(Windows, FocusCaptureAndCursors)
{
    QWidget top;
    auto* a = new QWidget(&top);
    a->setFocusPolicy(Qt::StrongFocus);
    top.show();
    QApplication::setActiveWindow(&top);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&top));
    SetFocus(HwndOf(a));
    EXPECT_EQ(GetFocus(), HwndOf(a));
    SetCapture(HwndOf(a));
    EXPECT_EQ(GetCapture(), HwndOf(a));
    ReleaseCapture();
    EXPECT_EQ(GetCapture(), 0);
    EXPECT_EQ(LoadStandardCursor(IDC_SIZEWE), LoadStandardCursor(IDC_SIZEWE));
    ASSERT_TRUE(SetWindowCursor(HwndOf(a), LoadStandardCursor(IDC_SIZEWE)));
    EXPECT_EQ(a->cursor().shape(), Qt::SizeHorCursor);
}

class CountingSurface : public OwnerDrawSurface {
public:
    std::vector<QRegion> painted;

    // Shown at the size, once painted by its owner.
    void showPainted(int width, int height)
    {
        resize(width, height);
        show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(this));
        QTRY_COMPARE(painted.size(), size_t(1));
    }

protected:
    void paintInvalid(const QRegion& r) override
    {
        painted.push_back(r);
        FillRect(hdc(), Rect::fromQRect(r.boundingRect()), CreateSolidBrushOnce());
    }
    HandleId CreateSolidBrushOnce()
    {
        static HandleId b = CreateSolidBrush(RGB(0, 128, 0));
        return b;
    }
};

TEST(Surface, OwnerPaintsOnlyInvalidAreasAndDrawingShowsOnScreen)
{
    CountingSurface s;
    ASSERT_NO_FATAL_FAILURE(s.showPainted(100, 50));
    EXPECT_EQ(s.backStore().pixel(50, 25), qRgb(0, 128, 0));

    // Drawing outside a paint event lands in the back store at once.
    FillRect(s.hdc(), {0, 0, 10, 10}, COLOR_HIGHLIGHT + 1);
    EXPECT_EQ(QColor(s.backStore().pixel(5, 5)), ToQColor(GetSysColor(COLOR_HIGHLIGHT)));
    QApplication::processEvents();
    EXPECT_EQ(s.painted.size(), 1u) << "a plain repaint copies, the owner is not asked";

    s.resize(120, 50);
    QTRY_COMPARE(s.painted.size(), size_t(2));
    EXPECT_EQ(s.painted.back(), QRegion(QRect(100, 0, 20, 50))) << "only the exposed strip";

    Rect r{0, 0, 5, 5};
    InvalidateRect(s.hwnd(), &r, false);
    UpdateWindow(s.hwnd());
    EXPECT_EQ(s.painted.size(), 3u);
    EXPECT_EQ(s.painted.back(), QRegion(QRect(0, 0, 5, 5)));
}

// A list's scroll bar hides and shows again as its rows are replaced: the surface narrows and
// widens by the bar's width. Within the largest size it had, its pixels stay where they are,
// without a new back store; what a narrower size hid comes back as the base colour, for the
// owner to draw.
TEST(Surface, NarrowingAndWideningAgainKeepsThePixelsInPlace)
{
    CountingSurface s;
    ASSERT_NO_FATAL_FAILURE(s.showPainted(300, 200));
    FillRect(s.hdc(), {0, 0, 10, 10}, COLOR_HIGHLIGHT + 1);
    FillRect(s.hdc(), {290, 0, 300, 10}, COLOR_HIGHLIGHT + 1);
    const QColor highlight = ToQColor(GetSysColor(COLOR_HIGHLIGHT));
    const uchar* pixels = s.backStore().constBits();
    const qsizetype line = s.backStore().bytesPerLine();

    s.resize(286, 200);
    EXPECT_EQ(s.backStore().size(), QSize(286, 200));
    EXPECT_EQ(s.backStore().constBits(), pixels) << "a narrower surface got a new back store";
    EXPECT_EQ(s.backStore().bytesPerLine(), line);
    EXPECT_EQ(QColor(s.backStore().pixel(5, 5)), highlight);

    s.resize(300, 200);
    EXPECT_EQ(s.backStore().constBits(), pixels) << "widening again within the old size got a new back store";
    EXPECT_EQ(QColor(s.backStore().pixel(5, 5)), highlight);
    EXPECT_EQ(s.invalidRegion(), QRegion(QRect(286, 0, 14, 200))) << "only the strip shown again";
    EXPECT_EQ(QColor(s.backStore().pixel(295, 5)), s.palette().color(QPalette::Base)) << "what was hidden is new";

    // A copy held across a resize keeps its pixels, and drawing on the surface leaves it alone.
    const QImage held = s.backStore();
    FillRect(s.hdc(), {0, 0, 10, 10}, COLOR_WINDOW + 1);
    s.resize(500, 400);
    EXPECT_EQ(QColor(held.pixel(5, 5)), highlight);
    EXPECT_EQ(s.backStore().pixel(5, 5), ToQColor(GetSysColor(COLOR_WINDOW)).rgb());
    EXPECT_EQ(s.backStore().size(), QSize(500, 400));
    QTRY_VERIFY(s.painted.size() >= 2u);
    EXPECT_EQ(s.backStore().pixel(400, 300), qRgb(0, 128, 0)) << "the exposed part was drawn by the owner";
}

} // namespace
