// Scroll view: mouse relay and dragging, focus, hover, the tool tip; the scroll-bar pair.

#include "svfixture.h"

#include "controls/scrollview/popupwnd.h"
#include "controls/scrollview/scrollbarsex.h"
#include "platform/gui/dc.h"
#include "platform/gui/wnd.h"

#include <QDialog>
#include <QPushButton>
#include <QScrollBar>

namespace vantile {
namespace {

class InputTest : public ScrollViewTest {
protected:
    QWindow* window() { return top.windowHandle(); }
    QPoint at(int x, int y) { return client()->mapTo(&top, QPoint(x, y)); }
    // Moves there first (as a real mouse does) and forgets that move.
    void press(int x, int y)
    {
        QTest::mouseMove(window(), at(x, y));
        log.clear();
        QTest::mousePress(window(), Qt::LeftButton, {}, at(x, y));
    }
    void key(QEvent::Type t, int k, Qt::KeyboardModifiers m, const QString& text = QString())
    {
        QKeyEvent e(t, k, m, text);
        QApplication::sendEvent(client(), &e);
    }
};

TEST_F(InputTest, ClickWithoutMovementIsMouseDownThenMouseUp)
{
    press(10, 10);
    QTest::mouseRelease(window(), Qt::LeftButton, {}, at(10, 10));
    EXPECT_EQ(only("Mouse"), (QStringList{"MouseDown 1 10,10", "MouseUp 1 10,10"}));
    EXPECT_TRUE(sv->HasFocus()) << "a click takes the focus";
}

TEST_F(InputTest, DragRunsStartProgressEndWithCapture)
{
    press(10, 10);
    QTest::mouseMove(window(), at(40, 30));
    EXPECT_TRUE(sv->isDragging());
    EXPECT_EQ(tv::GetCapture(), sv->hwnd());
    QTest::mouseMove(window(), at(50, 35));
    QTest::mouseRelease(window(), Qt::LeftButton, {}, at(50, 35));
    EXPECT_EQ(only("Mouse"), (QStringList{"MouseDown 1 10,10", "MouseDrag 1 10,10", "MouseDrag 2 40,30",
                                          "MouseDrag 2 50,35", "MouseDrag 3 50,35"}));
    EXPECT_FALSE(sv->isDragging());
    EXPECT_NE(tv::GetCapture(), sv->hwnd());
}

TEST_F(InputTest, DragCancelledAtStartLeavesMovesToMouseMove)
{
    cancelDrag = true;
    press(10, 10);
    QTest::mouseMove(window(), at(40, 30));
    QTest::mouseMove(window(), at(45, 30));
    QTest::mouseRelease(window(), Qt::LeftButton, {}, at(45, 30));
    EXPECT_FALSE(sv->isDragging());
    EXPECT_EQ(only("Mouse"), (QStringList{"MouseDown 1 10,10", "MouseDrag 1 10,10", "MouseMove 45,30",
                                          "MouseUp 1 45,30"}));
}

TEST_F(InputTest, KeysCarryKeyCodesAndShiftMasks)
{
    QStringList keys;
    tv::ScopedConnection c1 = sv->KeyDown.connect([&](int16_t& code, int16_t& shift) { keys << QStringLiteral("down %1 %2").arg(code).arg(shift); });
    tv::ScopedConnection c2 = sv->KeyPress.connect([&](int16_t& ascii) { keys << QStringLiteral("press %1").arg(ascii); });
    tv::ScopedConnection c3 = sv->KeyUp.connect([&](int16_t& code, int16_t& shift) { keys << QStringLiteral("up %1 %2").arg(code).arg(shift); });
    key(QEvent::KeyPress, Qt::Key_A, Qt::ShiftModifier, QStringLiteral("A"));
    key(QEvent::KeyRelease, Qt::Key_A, Qt::ShiftModifier);
    key(QEvent::KeyPress, Qt::Key_Down, Qt::ControlModifier);
    key(QEvent::KeyRelease, Qt::Key_Down, Qt::ControlModifier);
    EXPECT_EQ(keys, (QStringList{"down 65 1", "press 65", "up 65 1", "down 40 2", "up 40 2"}));
}

// In a dialog, Return and Escape that the host leaves alone reach the dialog: its default
// button, and closing it. A key the host takes stays with the list.
TEST(ScrollViewInDialog, ReturnAndEscapeNotTakenReachTheDialog)
{
    struct Case {
        Qt::Key key;
        bool hostTakesIt;
        int clicks;
        bool shownAfter;
    } cases[] = {
        {Qt::Key_Return, false, 1, true},
        {Qt::Key_Enter, false, 1, true},
        {Qt::Key_Return, true, 0, true},
        {Qt::Key_Escape, false, 0, false},
        {Qt::Key_Escape, true, 0, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(QTest::toString(c.key));
        QDialog dialog;
        auto* list = new ScrollView(&dialog);
        list->ReadProperties(tv::PropertyBag());
        list->setGeometry(0, 0, 200, 100);
        auto* ok = new QPushButton(QStringLiteral("OK"), &dialog);
        ok->setGeometry(0, 110, 80, 24);
        ok->setDefault(true);
        int clicks = 0;
        QObject::connect(ok, &QPushButton::clicked, [&] { ++clicks; });
        tv::ScopedConnection taken = list->KeyDown.connect([&](int16_t& code, int16_t&) {
            if (c.hostTakesIt) code = 0;
        });
        dialog.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
        dialog.activateWindow();
        list->findChild<tv::OwnerDrawSurface*>()->setFocus();
        QTest::keyClick(dialog.windowHandle(), c.key);
        EXPECT_EQ(clicks, c.clicks);
        EXPECT_EQ(dialog.isVisible(), c.shownAfter);
    }
}

TEST_F(InputTest, HoverNotificationGivesTheCursorPosition)
{
    QList<QPoint> hovers;
    tv::ScopedConnection c = sv->MouseHoverEx.connect([&](int32_t x, int32_t y) { hovers << QPoint(x, y); });
    client()->setFocus();
    sv->setHoverTracking(true);
    EXPECT_TRUE(sv->isHoverTracking());
    QCursor::setPos(client()->mapToGlobal(QPoint(12, 7)));
    sv->hoverTimer().fire();
    ASSERT_EQ(hovers.size(), 1);
    EXPECT_FALSE(sv->isHoverTracking()) << "one notification per tracking";

    sv->setHoverTracking(true);
    client()->clearFocus();
    sv->hoverTimer().fire();
    EXPECT_EQ(hovers.size(), 1) << "without the focus, hovering stops";
}

TEST_F(InputTest, ToolTipIsPlacedInScreenPixelsAndHidesOutsideItsHotArea)
{
    sv->ShowToolTip(20, 30, 120, 18, 0, 0, 50, 40, QStringLiteral("Tip text"), 1);
    QPointer<ToolTipWnd> tip = sv->toolTip();
    ASSERT_TRUE(tip);
    EXPECT_EQ(tip->geometry(), QRect(client()->mapToGlobal(QPoint(20, 30)), QSize(120, 18)));
    EXPECT_EQ(tip->HotArea(), QRect(client()->mapToGlobal(QPoint(0, 0)), QSize(50, 40)));
    EXPECT_TRUE(tip->Font().Bold);
    EXPECT_EQ(tip->Text(), QStringLiteral("Tip text"));
    EXPECT_TRUE(tip->isVisible());
    QCoreApplication::processEvents();
    const QImage drawn = tip->backStore();
    ASSERT_EQ(drawn.size(), QSize(120, 18));
    EXPECT_EQ(QColor(drawn.pixel(119, 17)), tv::ToQColor(tv::GetSysColor(tv::COLOR_WINDOWFRAME))) << "framed to its far corner";
    EXPECT_EQ(QColor(drawn.pixel(110, 9)), tv::ToQColor(tv::GetSysColor(tv::COLOR_INFOBK)));

    QCursor::setPos(client()->mapToGlobal(QPoint(10, 10)));
    tv::SysTimer::TickAll();
    EXPECT_TRUE(tip->isShown());
    QCursor::setPos(client()->mapToGlobal(QPoint(100, 10)));
    tv::SysTimer::TickAll();
    EXPECT_FALSE(tip->isShown());
    EXPECT_EQ(sv->toolTip(), nullptr);
    QTRY_VERIFY(!tip);   // let go after its own timer's tick
}

TEST_F(InputTest, MouseDownHidesAShownTip)
{
    sv->ShowToolTip(0, 0, 50, 16, 0, 0, 200, 100, QStringLiteral("x"));
    ASSERT_TRUE(sv->toolTip());
    QTest::mousePress(window(), Qt::LeftButton, {}, at(5, 5));
    QTest::mouseRelease(window(), Qt::LeftButton, {}, at(5, 5));
    EXPECT_EQ(sv->toolTip(), nullptr);
}

TEST_F(InputTest, PressOnABarBeginsScrollingWithTheFocusAndWithoutTheTip)
{
    QStringList bars;
    tv::ScopedConnection b = sv->ScrollBegin.connect([&](int16_t bar) { bars << QStringLiteral("begin %1").arg(bar); });
    tv::ScopedConnection e = sv->ScrollEnd.connect([&](int16_t bar) { bars << QStringLiteral("end %1").arg(bar); });
    sv->setScrollbarStyle(sbStyleVert);
    sv->setItemCount(100);
    sv->ShowToolTip(0, 0, 50, 16, 0, 0, 200, 100, QStringLiteral("x"));
    QScrollBar* bar = sv->scrollbars()->Item(1)->widget();
    const QPoint inBar = bar->mapTo(&top, QPoint(bar->width() / 2, bar->height() - 30));
    QTest::mousePress(window(), Qt::LeftButton, {}, inBar);
    QTest::mouseRelease(window(), Qt::LeftButton, {}, inBar);
    EXPECT_EQ(bars, (QStringList{"begin 1", "end 1"}));
    EXPECT_EQ(sv->toolTip(), nullptr);
    EXPECT_TRUE(sv->HasFocus());
    EXPECT_GT(sv->FirstVisibleItem(), 0) << "a click below the thumb pages down";
}

TEST_F(InputTest, FocusChangesRepaintUnlessTheOptionsSayOtherwise)
{
    QStringList focus;
    tv::ScopedConnection c = sv->FocusChanged.connect([&](bool in) { focus << (in ? "in" : "out"); });
    sv->setItemCount(3);
    QWidget other(&top);
    other.setFocusPolicy(Qt::StrongFocus);
    other.show();
    other.setFocus();
    focus.clear();
    log.clear();
    client()->setFocus();
    EXPECT_EQ(only("DrawRow"), (QStringList{"DrawRow 0 s0 0,0-199,15", "DrawRow 1 s0 0,16-199,31", "DrawRow 2 s0 0,32-199,47"}));
    other.setFocus();
    EXPECT_EQ(client()->invalidRegion(), QRegion(client()->rect())) << "losing the focus asks for a repaint";
    sv->SetOptions(1);
    log.clear();
    client()->setFocus();
    EXPECT_TRUE(only("DrawRow").isEmpty());
    EXPECT_EQ(focus, (QStringList{"in", "out", "in"}));
}

TEST_F(InputTest, PopUpShowsWhatItsOwnerDrawsWithoutTakingTheActivation)
{
    PopupClass popup(sv);
    popup.Move(300, 200, 140, 40);   // larger than a new widget: drawn on before it shows
    tv::FillRect(popup.hdc(), {0, 0, 140, 40}, tv::COLOR_HIGHLIGHT + 1);
    QWidget* active = QApplication::activeWindow();
    popup.Show();
    EXPECT_TRUE(popup.isVisible());
    EXPECT_EQ(popup.geometry(), QRect(300, 200, 140, 40));
    EXPECT_EQ(QApplication::activeWindow(), active);
    QCoreApplication::processEvents();   // its first paint keeps what the owner drew
    const QColor highlight = tv::ToQColor(tv::GetSysColor(tv::COLOR_HIGHLIGHT));
    EXPECT_EQ(QColor(popup.backStore().pixel(10, 10)), highlight);
    EXPECT_EQ(QColor(popup.backStore().pixel(135, 35)), highlight);
    int hides = 0;
    tv::ScopedConnection c = popup.HideEvent.connect([&] { ++hides; });
    popup.Hide();
    popup.Hide();
    EXPECT_EQ(hides, 1);
    EXPECT_FALSE(popup.isVisible());
}

struct PairTest : ::testing::Test {
    QWidget host;
    ScrollbarsEx pair;
    QStringList log;
    bool cancelUpdate = false;
    void SetUp() override
    {
        pair.Setup(&host, sbStyleBoth);
        pair.Changed.connect([this](int32_t bar, int32_t& v, int32_t change, bool track) {
            log << QStringLiteral("Changed %1 %2 %3%4").arg(bar).arg(v).arg(change).arg(track ? " track" : "");
        });
        pair.ThumbTrack.connect([this](int32_t bar, int32_t v, int32_t state, QString& tip, bool& cancel) {
            log << QStringLiteral("Track %1 %2 %3").arg(bar).arg(v).arg(state);
            tip = QStringLiteral("Row %1").arg(v);
            cancel = cancelUpdate;
        });
        pair.ScrollBegin.connect([this](int16_t bar) { log << QStringLiteral("Begin %1").arg(bar); });
        pair.ScrollEnd.connect([this](int16_t bar) { log << QStringLiteral("End %1").arg(bar); });
    }
};

TEST_F(PairTest, ValueIsClampedToTheLastPageAndMotionsMoveIt)
{
    ScrollBarEx* v = pair.Item(1);
    v->SetRange(0, 99, 10);
    v->setSingleStep(2);
    struct Case {
        int motion;
        int value;
    } cases[] = {{sbLineDown, 2}, {sbPageDown, 12}, {sbLineUp, 10}, {sbBottom, 90}, {sbLineDown, 90},
                 {sbPageUp, 80}, {sbTop, 0}, {sbLineUp, 0}};
    for (const auto& c : cases) {
        v->MoveThumb(c.motion);
        EXPECT_EQ(v->Value(), c.value) << c.motion;
    }
    v->setValue(500);
    EXPECT_EQ(v->Value(), 90);
    EXPECT_EQ(log.last(), QStringLiteral("Changed 1 90 90"));
    v->SetRange(0, 49, 10);
    EXPECT_EQ(v->Value(), 40) << "a smaller range brings the value back";
    EXPECT_EQ(v->widget()->maximum(), 40);
}

TEST_F(PairTest, ScrollMessagesAndDisabling)
{
    ScrollBarEx* h = pair.Item(0);
    h->SetRange(0, 299, 100);
    pair.HandleEvent(276, SB_PAGEDOWN);
    pair.HandleEvent(276, tv::MakeLong(SB_THUMBPOSITION, 150));
    pair.HandleEvent(276, SB_ENDSCROLL);
    EXPECT_EQ(log, (QStringList{"Changed 0 100 100", "Changed 0 150 50", "End 0"}));
    h->setDisableScrollBar(true);
    EXPECT_FALSE(h->widget()->isEnabled());
    EXPECT_EQ(pair.Item(3), nullptr);
}

TEST_F(PairTest, ThumbTrackingWithAndWithoutCancelledUpdates)
{
    ScrollBarEx* v = pair.Item(1);
    v->SetRange(0, 99, 10);
    pair.HandleEvent(277, tv::MakeLong(SB_THUMBTRACK, 30));
    EXPECT_EQ(log, (QStringList{"Track 1 30 2", "Changed 1 30 30 track"}));
    log.clear();
    cancelUpdate = true;
    pair.HandleEvent(277, tv::MakeLong(SB_THUMBTRACK, 50));
    EXPECT_EQ(log, QStringList{"Track 1 50 2"});
    EXPECT_EQ(v->Value(), 30) << "the host held the update back";
}

TEST_F(PairTest, UserDragOnTheWidgetTracksAndCommitsOnRelease)
{
    ScrollBarEx* v = pair.Item(1);
    v->SetRange(0, 99, 10);
    cancelUpdate = true;
    QScrollBar* w = v->widget();
    w->setSliderDown(true);
    w->setSliderPosition(40);
    w->setSliderDown(false);
    EXPECT_EQ(log, (QStringList{"Track 1 0 1", "Track 1 40 2", "Track 1 40 3", "Changed 1 40 40"}));
}

TEST_F(PairTest, BarsHideWhenTheRangeFitsAndSayTheLayoutChanged)
{
    int layouts = 0;
    pair.LayoutChanged = [&] { ++layouts; };
    ScrollBarEx* v = pair.Item(1);
    v->SetRange(0, 99, 10);
    EXPECT_TRUE(v->isShown());
    EXPECT_EQ(layouts, 1);
    v->SetRange(0, 5, 10);
    EXPECT_FALSE(v->isShown());
    EXPECT_EQ(layouts, 2);
}

} // namespace
} // namespace vantile
