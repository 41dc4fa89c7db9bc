#pragma once

// SysTimer: raises Timer each time its interval passes while it is enabled. A new timer is
// stopped; enabling (also again) starts a fresh interval. A handler may disable or release
// the timer that called it.
//
// Tests run timers by hand: in manual mode no real timer starts, and TickAll raises Timer
// once on every enabled timer.

#include "platform/component/event.h"

#include <memory>

class QTimer;

namespace tv {

class SysTimer {
public:
    SysTimer();
    ~SysTimer();
    SysTimer(const SysTimer&) = delete;
    SysTimer& operator=(const SysTimer&) = delete;

    int Interval() const { return interval_; }
    void setInterval(int ms);
    // True while a tick is pending.
    bool Enabled() const { return enabled_; }
    void setEnabled(bool on);

    tv::Event<> Timer;

    // Raises Timer as if the interval had passed (nothing when disabled).
    void fire();

    static void SetManualMode(bool on);
    static bool ManualMode();
    // Raises Timer once on each timer enabled at the call; returns how many ticked.
    static int TickAll();

private:
    void start();

    int interval_ = 0;
    bool enabled_ = false;
    QTimer* timer_ = nullptr;   // freed later: the timer may die inside its own tick
};

} // namespace tv
