#include "systimer.h"

#include "eventwait.h"

#include <QTimer>
#include <algorithm>
#include <vector>

namespace tv {

namespace {
std::vector<SysTimer*>& liveTimers()
{
    static std::vector<SysTimer*> v;
    return v;
}
bool& manual()
{
    static bool m = false;
    return m;
}
bool isLive(SysTimer* t)
{
    const auto& v = liveTimers();
    return std::find(v.begin(), v.end(), t) != v.end();
}
} // namespace

SysTimer::SysTimer() { liveTimers().push_back(this); }

SysTimer::~SysTimer()
{
    auto& v = liveTimers();
    v.erase(std::remove(v.begin(), v.end(), this), v.end());
    if (timer_) {
        timer_->stop();
        timer_->disconnect();
        timer_->deleteLater();
    }
}

void SysTimer::setInterval(int ms)
{
    interval_ = std::max(0, ms);
    if (enabled_) start();
}

void SysTimer::setEnabled(bool on)
{
    enabled_ = on;
    if (on) {
        start();
    } else if (timer_) {
        timer_->stop();
    }
}

void SysTimer::start()
{
    if (manual()) return;
    if (!timer_) {
        timer_ = new QTimer;
        // A tick that comes while the program waits for work of another thread is left to the
        // next: its handler would run in the middle of the command that waits.
        QObject::connect(timer_, &QTimer::timeout, [this] {
            if (!InEventWait()) fire();
        });
    }
    timer_->start(interval_);
}

void SysTimer::fire()
{
    if (!enabled_) return;
    // The handler may release this timer: nothing of it is touched after the raise.
    Timer.raise();
}

void SysTimer::SetManualMode(bool on) { manual() = on; }
bool SysTimer::ManualMode() { return manual(); }

int SysTimer::TickAll()
{
    const std::vector<SysTimer*> now = liveTimers();
    std::vector<SysTimer*> enabled;
    for (SysTimer* t : now)
        if (t->enabled_) enabled.push_back(t);
    int n = 0;
    for (SysTimer* t : enabled) {
        if (!isLive(t) || !t->enabled_) continue;   // released or stopped by an earlier tick
        t->fire();
        ++n;
    }
    return n;
}

} // namespace tv
