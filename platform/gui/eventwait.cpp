#include "eventwait.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <QWindow>
#include <algorithm>
#include <chrono>
#include <deque>
#include <memory>
#include <thread>
#include <vector>

namespace tv {

namespace {

int depth = 0;

std::vector<WaitCover*>& covers()
{
    static std::vector<WaitCover*> live;
    return live;
}

void ShowCovers(bool shown)
{
    for (WaitCover* cover : covers()) cover->Cover(shown);
}

// A control that takes typed text (line edits, editable combo boxes, text fields).
bool IsTextEntry(const QWidget* widget) { return widget->testAttribute(Qt::WA_InputMethodEnabled); }

// Sees the user's input before any control does and decides what of it a wait lets through,
// keeps for later or drops (see WaitWithEvents). One for the application, made at its first
// wait.
class WaitInput : public QObject {
public:
    static WaitInput& instance()
    {
        static QPointer<WaitInput> input;
        if (!input) input = new WaitInput(QCoreApplication::instance());
        return *input;
    }

    void waitStarts()
    {
        busy_ = true;
        // First in line, ahead of the mouse hooks installed since: a click dropped here must
        // not close or open anything on its way.
        QCoreApplication::instance()->removeEventFilter(this);
        QCoreApplication::instance()->installEventFilter(this);
    }
    // The command that waited goes on, and input made meanwhile queues up unseen: the screen
    // still shows what lay under the covers. It is taken as input of the wait until the program
    // is back at its event loop, with what queued up drained; then the covers go and the kept
    // input is handed over.
    void waitEnded() { postOnce(endScheduled_, &WaitInput::endBusy); }

protected:
    bool eventFilter(QObject* receiver, QEvent* event) override
    {
        if (event == replaying_ || !takes(receiver, event)) return false;
        // Taken: accepted, so that it is not offered to the parents of its receiver as well.
        event->accept();
        return true;
    }

private:
    explicit WaitInput(QObject* parent) : QObject(parent) {}

    // Whether `event` is kept from its receiver: dropped, or held for later.
    bool takes(QObject* receiver, QEvent* event)
    {
        const bool waiting = busy();
        switch (event->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonDblClick:
            if (!waiting) return false;
            droppedButtons_ |= static_cast<QMouseEvent*>(event)->button();
            return true;
        case QEvent::MouseButtonRelease: {
            const auto* mouse = static_cast<QMouseEvent*>(event);
            // The press was dropped: so is its release, also after the wait (a right button
            // released over a new list would open its menu).
            if (droppedButtons_ & mouse->button()) {
                droppedButtons_ &= ~mouse->button();
                return true;
            }
            // A press made before the wait: the window finds the control that had it, which
            // gets the release once the command is over.
            if (!waiting || !receiver->isWidgetType()) return false;
            hold(static_cast<QWidget*>(receiver), event);
            return true;
        }
        case QEvent::MouseMove:
            if (waiting) return true;
            droppedButtons_ &= static_cast<QMouseEvent*>(event)->buttons();
            return false;
        case QEvent::Wheel:
        case QEvent::ContextMenu:
        case QEvent::Shortcut:
        case QEvent::TouchBegin:
        case QEvent::TouchUpdate:
        case QEvent::TouchEnd:
        case QEvent::TabletPress:
        case QEvent::TabletMove:
        case QEvent::TabletRelease:
        case QEvent::DragEnter:
        case QEvent::DragMove:
        case QEvent::Drop:
            return waiting;
        case QEvent::KeyPress:
        case QEvent::KeyRelease:
        case QEvent::InputMethod: {
            // The window hands keys to the control with the focus; the decision is made there.
            if (!receiver->isWidgetType() || (!waiting && held_.empty())) return false;
            auto* widget = static_cast<QWidget*>(receiver);
            if (IsTextEntry(widget)) {
                // Also after the wait, until the kept keys are handed over: typing goes on in order.
                hold(widget, event);
                return true;
            }
            return waiting;
        }
        default:
            return false;
        }
    }

    bool busy() const { return depth > 0 || busy_; }
    void endBusy()
    {
        // A wait runs again: its end asks again.
        if (depth > 0 || !busy_) return;
        // Until nothing more is pending: input read from the display in one pass is handed to
        // the window in the next.
        constexpr int kDrainMs = 100;
        QCoreApplication::sendPostedEvents();
        QCoreApplication::processEvents(QEventLoop::AllEvents, kDrainMs);
        busy_ = false;
        ShowCovers(false);
        replay();
    }

    void hold(QWidget* target, const QEvent* event)
    {
        held_.push_back({target, std::unique_ptr<QEvent>(event->clone())});
        if (!busy()) postOnce(replayScheduled_, &WaitInput::replay);
    }
    // Runs `step` when the event loop comes round, once however often it is asked meanwhile.
    void postOnce(bool& pending, void (WaitInput::*step)())
    {
        if (pending) return;
        pending = true;
        QMetaObject::invokeMethod(
            this,
            [this, &pending, step] {
                pending = false;
                (this->*step)();
            },
            Qt::QueuedConnection);
    }
    // Hands the kept input to its controls, in order. Not inside a wait (its end asks again),
    // and not twice at once: a key handed over may run a command that waits and keeps more,
    // which this loop then hands over after it.
    void replay()
    {
        if (busy() || replayRunning_) return;
        replayRunning_ = true;
        while (!held_.empty()) {
            Held next = std::move(held_.front());
            held_.pop_front();
            QWidget* target = next.target;
            if (!target || !target->isVisible() || !target->isEnabled()) continue;
            // A window opened since stands in front of the control: what was typed before it
            // appeared is no answer to it, nor meant for what lies behind it.
            if (const QWindow* modal = QGuiApplication::modalWindow();
                modal && modal != target->window()->windowHandle())
                continue;
            replaying_ = next.event.get();
            QCoreApplication::sendEvent(target, next.event.get());
            replaying_ = nullptr;
        }
        replayRunning_ = false;
    }

    struct Held {
        QPointer<QWidget> target;
        std::unique_ptr<QEvent> event;
    };
    std::deque<Held> held_;
    Qt::MouseButtons droppedButtons_;
    const QEvent* replaying_ = nullptr;
    bool replayRunning_ = false;
    bool replayScheduled_ = false;
    bool endScheduled_ = false;
    // From a wait's start until the program is back at its event loop.
    bool busy_ = false;
};

} // namespace

void WaitWithEvents(const std::function<bool()>& finished)
{
    WaitInput& input = WaitInput::instance();
    if (depth++ == 0) {
        input.waitStarts();
        ShowCovers(true);
    }
    while (!finished()) {
        QCoreApplication::processEvents(QEventLoop::AllEvents);
        if (!finished()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    if (--depth == 0) input.waitEnded();
}

bool InEventWait() { return depth > 0; }

WaitCover::WaitCover(QWidget* area) : QWidget(area->window()), area_(area)
{
    setObjectName(QStringLiteral("WaitCover"));
    setFocusPolicy(Qt::NoFocus);
    hide();
    covers().push_back(this);
}

WaitCover::~WaitCover() { std::erase(covers(), this); }

void WaitCover::Cover(bool shown)
{
    QWidget* window = parentWidget();
    if (!shown || !area_ || !window || !area_->isVisible()) {
        hide();
        return;
    }
    setGeometry(QRect(area_->mapTo(window, QPoint(0, 0)), area_->size()));
    raise();
    show();
}

void WaitCover::paintEvent(QPaintEvent*)
{
    // The rows stay faintly readable under the wash.
    QColor wash = palette().color(QPalette::Window);
    wash.setAlpha(170);
    QPainter(this).fillRect(rect(), wash);
}

} // namespace tv
