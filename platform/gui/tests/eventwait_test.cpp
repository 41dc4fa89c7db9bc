// Waiting for another thread's work while the windows go on: the event loop runs, the
// program's own timers hold their ticks until the wait is over, and the user's input is taken
// as a busy program takes it.

#include "platform/gui/eventwait.h"
#include "platform/gui/systimer.h"

#include <QAction>
#include <QCoreApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QMouseEvent>
#include <QTest>
#include <QTimer>
#include <QWidget>
#include <gtest/gtest.h>

using namespace tv;

TEST(EventWait, TheEventLoopRunsAndTheProgramsTimersTickOnlyAfterTheWait)
{
    SysTimer program;
    int programTicks = 0;
    auto connection = program.Timer.connect([&] { ++programTicks; });
    program.setInterval(1);
    program.setEnabled(true);
    QTimer loop;
    int loopTicks = 0;
    QObject::connect(&loop, &QTimer::timeout, [&] { ++loopTicks; });
    loop.start(1);

    bool inWait = false;
    QElapsedTimer clock;
    clock.start();
    WaitWithEvents([&] {
        inWait = InEventWait();
        return clock.elapsed() > 60;
    });
    EXPECT_TRUE(inWait);
    EXPECT_FALSE(InEventWait());
    EXPECT_GT(loopTicks, 0);
    EXPECT_EQ(programTicks, 0);

    clock.restart();
    while (programTicks == 0 && clock.elapsed() < 5000) QCoreApplication::processEvents();
    EXPECT_GT(programTicks, 0);
}

namespace {

// Types `text` as key presses on `window`, through the window's own key handling.
void typeInto(QWindow* window, const QString& text)
{
    for (const QChar c : text) QTest::keyClick(window, c.toLatin1());
}

// A control that counts what reaches it.
class Counting : public QWidget {
public:
    using QWidget::QWidget;
    int presses = 0, releases = 0, keys = 0, wheels = 0;

protected:
    void mousePressEvent(QMouseEvent*) override { ++presses; }
    void mouseReleaseEvent(QMouseEvent*) override { ++releases; }
    void keyPressEvent(QKeyEvent*) override { ++keys; }
    void wheelEvent(QWheelEvent*) override { ++wheels; }
};

// A window with a list-like control, a text entry and a shortcut, as the main window has.
class InputDuringWait : public ::testing::Test {
protected:
    void SetUp() override
    {
        window.resize(300, 200);
        list = new Counting(&window);
        list->setGeometry(0, 0, 300, 100);
        list->setFocusPolicy(Qt::StrongFocus);
        entry = new QLineEdit(&window);
        entry->setGeometry(0, 120, 300, 30);
        shortcut = new QAction(&window);
        shortcut->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_D));
        window.addAction(shortcut);
        QObject::connect(shortcut, &QAction::triggered, [this] { ++shortcuts; });
        window.show();
        window.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    }
    // Runs `during` as the first thing of a wait, and returns once the wait is over.
    void waitWith(const std::function<void()>& during)
    {
        bool done = false;
        WaitWithEvents([&] {
            if (!done) during();
            done = true;
            return true;
        });
    }
    QWindow* handle() { return window.windowHandle(); }

    QWidget window;
    Counting* list = nullptr;
    QLineEdit* entry = nullptr;
    QAction* shortcut = nullptr;
    int shortcuts = 0;
};

} // namespace

// Clicks, wheel turns, shortcuts and keys for a list made while the program waits reach
// nothing, then or later: what they were aimed at may be gone when the wait ends.
TEST_F(InputDuringWait, ClicksShortcutsAndListKeysAreDropped)
{
    list->setFocus();
    waitWith([&] {
        QTest::mouseClick(handle(), Qt::LeftButton, {}, QPoint(50, 50));
        QTest::mouseDClick(handle(), Qt::LeftButton, {}, QPoint(50, 50));
        QTest::mousePress(handle(), Qt::RightButton, {}, QPoint(60, 50));
        QWheelEvent wheel(QPointF(50, 50), list->mapToGlobal(QPointF(50, 50)), {}, QPoint(0, -120), Qt::NoButton,
                          {}, Qt::NoScrollPhase, false);
        QCoreApplication::sendEvent(handle(), &wheel);
        QTest::keyClick(handle(), Qt::Key_Delete);
        QTest::keyClick(handle(), Qt::Key_D, Qt::ControlModifier);
    });
    // The right button goes up after the wait: its press was dropped, so is the release.
    QTest::mouseRelease(handle(), Qt::RightButton, {}, QPoint(60, 50));
    QCoreApplication::processEvents();
    EXPECT_EQ(list->presses, 0);
    EXPECT_EQ(list->releases, 0);
    EXPECT_EQ(list->wheels, 0);
    EXPECT_EQ(list->keys, 0);
    EXPECT_EQ(shortcuts, 0);
    // After the wait, input goes where it is aimed again.
    QTest::mouseClick(handle(), Qt::LeftButton, {}, QPoint(50, 50));
    QTest::keyClick(handle(), Qt::Key_D, Qt::ControlModifier);
    EXPECT_EQ(list->presses, 1);
    EXPECT_EQ(list->releases, 1);
    EXPECT_EQ(shortcuts, 1);
}

// A click made after the wait while the waiting command still runs queues up until the program
// is back at its event loop, aimed at what the screen showed; it is dropped as well.
TEST_F(InputDuringWait, AClickQueuedWhileTheCommandStillRanIsDropped)
{
    waitWith([] {});
    const QPointF at(50, 50);
    const QPointF global = window.mapToGlobal(at);
    QCoreApplication::postEvent(handle(), new QMouseEvent(QEvent::MouseButtonPress, at, global, Qt::LeftButton,
                                                          Qt::LeftButton, {}));
    QCoreApplication::postEvent(handle(), new QMouseEvent(QEvent::MouseButtonRelease, at, global, Qt::LeftButton,
                                                          Qt::NoButton, {}));
    QCoreApplication::processEvents();
    EXPECT_EQ(list->presses, 0);
    EXPECT_EQ(list->releases, 0);
}

// Keys typed into a text entry while the program waits reach it in order, once the program is
// back at its event loop, and ahead of what is typed after; not while the waiting command runs.
TEST_F(InputDuringWait, KeysForATextEntryArriveInOrderAfterTheCommand)
{
    entry->setFocus();
    QString duringWait;
    waitWith([&] {
        typeInto(handle(), QStringLiteral("ab"));
        duringWait = entry->text();
    });
    EXPECT_EQ(duringWait, QString());
    EXPECT_EQ(entry->text(), QString()) << "not in the middle of the command that waited";
    QTest::keyClick(handle(), Qt::Key_C);
    QCoreApplication::processEvents();
    EXPECT_EQ(entry->text(), QStringLiteral("abc"));
}

// A button pressed before the wait and released during it ends its click on the control that
// had the press, after the command.
TEST_F(InputDuringWait, AReleaseEndsThePressMadeBeforeTheWait)
{
    QTest::mousePress(handle(), Qt::LeftButton, {}, QPoint(50, 50));
    ASSERT_EQ(list->presses, 1);
    waitWith([&] { QTest::mouseRelease(handle(), Qt::LeftButton, {}, QPoint(50, 150)); });
    EXPECT_EQ(list->releases, 0);
    QCoreApplication::processEvents();
    EXPECT_EQ(list->releases, 1);
}

// Keys kept for an entry are not handed over behind a window that opened in front of it.
TEST_F(InputDuringWait, KeptKeysDoNotGoBehindAWindowOpenedSince)
{
    entry->setFocus();
    waitWith([&] { typeInto(handle(), QStringLiteral("q")); });
    // The command that waited asks a question before it ends.
    QDialog question(&window);
    question.setWindowModality(Qt::ApplicationModal);
    QLineEdit* field = new QLineEdit(&question);
    question.show();
    QCoreApplication::processEvents();
    EXPECT_EQ(field->text(), QString());
    EXPECT_EQ(entry->text(), QString());
}

// While the program waits, the covers lie over their areas.
TEST(WaitCover, ShowsOverItsAreaOnlyWhileWaiting)
{
    QWidget window;
    window.resize(300, 200);
    auto* area = new QWidget(&window);
    area->setGeometry(10, 20, 100, 50);
    WaitCover cover(area);
    window.show();
    bool shownDuring = false;
    QRect during;
    WaitWithEvents([&] {
        shownDuring = cover.isVisible();
        during = cover.geometry();
        return true;
    });
    EXPECT_TRUE(shownDuring);
    EXPECT_EQ(during, QRect(10, 20, 100, 50));
    EXPECT_TRUE(cover.isVisible()) << "the command that waited has not ended yet";
    QCoreApplication::processEvents();
    EXPECT_FALSE(cover.isVisible());
}
