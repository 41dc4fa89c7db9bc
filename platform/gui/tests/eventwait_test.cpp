// Waiting for another thread's work while the windows go on: the event loop runs, the
// program's own timers hold their ticks until the wait is over.

#include "platform/gui/eventwait.h"
#include "platform/gui/systimer.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTimer>
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
