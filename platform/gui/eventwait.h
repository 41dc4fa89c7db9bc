#pragma once

#include <functional>

namespace tv {

// Waits until `finished` turns true while the windows keep painting: events go on being handled,
// except the user's input, which is kept until the wait ends (a click must not start another
// command in the middle of this one). Timers of the program (SysTimer) hold their ticks
// meanwhile as well. For work done in another thread that the asking code needs before it
// can go on.
void WaitWithEvents(const std::function<bool()>& finished);
// True while such a wait runs.
bool InEventWait();

} // namespace tv
