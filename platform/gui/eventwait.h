#pragma once

#include <QPointer>
#include <QWidget>
#include <functional>

namespace tv {

// Waits until `finished` turns true while the windows keep painting. For work done in another
// thread that the asking code needs before it can go on.
//
// The command that waits still runs, and what it shows may change under the pointer before it
// ends, so the user's input meanwhile is taken as a busy program takes it: clicks, wheel turns
// and shortcut keys are dropped, and so are keys for any control but a text entry. Keys typed
// into a text entry (a search box) are kept, in order, and handed to that entry once the
// program is back at its event loop; never to another control, and never while a window opened
// since stands in front of it. A button released during the wait ends the press it belongs to
// on the control that had it, then as well. Input made after the wait while the command still
// ran is taken the same way: the screen showed the state of the wait until then. The program's
// timers (SysTimer) hold their ticks while a wait runs, and every WaitCover is shown from the
// wait's start until the program is back at its event loop.
void WaitWithEvents(const std::function<bool()>& finished);
// True while such a wait runs.
bool InEventWait();

// A wash over the area of `area` while a wait runs: what it covers is being replaced and
// cannot be clicked meanwhile. Hidden otherwise. A child of the area's window, laid over the
// area, so that the area's own layout does not take it for one of its panes.
class WaitCover : public QWidget {
public:
    explicit WaitCover(QWidget* area);
    ~WaitCover() override;
    // Over the area when it is shown; hidden otherwise.
    void Cover(bool shown);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QPointer<QWidget> area_;
};

} // namespace tv
