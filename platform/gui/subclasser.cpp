#include "subclasser.h"

#include "keys.h"
#include "wnd.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QResizeEvent>
#include <QWheelEvent>
#include <QWidget>
#include <vector>

namespace tv {

namespace {
struct Msg {
    uint32_t msg;
    int32_t wParam;
    int32_t lParam;
};

uint32_t buttonMessage(QEvent::Type t, Qt::MouseButton b)
{
    uint32_t base = 0;
    if (b == Qt::LeftButton) base = WM_LBUTTONDOWN;
    else if (b == Qt::RightButton) base = WM_RBUTTONDOWN;
    else if (b == Qt::MiddleButton) base = WM_MBUTTONDOWN;
    if (!base) return 0;
    switch (t) {
    case QEvent::MouseButtonPress: return base;
    case QEvent::MouseButtonRelease: return base + 1;
    case QEvent::MouseButtonDblClick: return base + 2;
    default: return 0;
    }
}

// The messages a Qt event stands for on the window that receives it.
std::vector<Msg> messagesOf(QEvent* e)
{
    switch (e->type()) {
    case QEvent::Paint: return {{WM_PAINT, 0, 0}};
    case QEvent::FocusIn: return {{WM_SETFOCUS, 0, 0}};
    case QEvent::FocusOut: return {{WM_KILLFOCUS, 0, 0}};
    case QEvent::Move: return {{WM_MOVE, 0, 0}};
    case QEvent::Close: return {{WM_CLOSE, 0, 0}};
    case QEvent::Resize: {
        const QSize s = static_cast<QResizeEvent*>(e)->size();
        return {{WM_SIZE, 0, MakeLong(s.width(), s.height())}};
    }
    case QEvent::WindowActivate: return {{WM_ACTIVATE, 1, 0}, {WM_NCACTIVATE, 1, 0}, {WM_ACTIVATEAPP, 1, 0}};
    case QEvent::WindowDeactivate: {
        std::vector<Msg> v{{WM_ACTIVATE, 0, 0}, {WM_NCACTIVATE, 0, 0}};
        // The program as a whole lost the activation when none of its windows has it.
        if (!QApplication::activeWindow()) v.push_back({WM_ACTIVATEAPP, 0, 0});
        return v;
    }
    case QEvent::KeyPress:
    case QEvent::KeyRelease: {
        auto* k = static_cast<QKeyEvent*>(e);
        std::vector<Msg> v{{e->type() == QEvent::KeyPress ? WM_KEYDOWN : WM_KEYUP, VirtualKeyOf(k), 0}};
        if (e->type() == QEvent::KeyPress && !k->text().isEmpty())
            v.push_back({WM_CHAR, int32_t(k->text().at(0).unicode()), 0});
        return v;
    }
    case QEvent::MouseMove:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick: {
        auto* m = static_cast<QMouseEvent*>(e);
        const uint32_t msg = e->type() == QEvent::MouseMove ? WM_MOUSEMOVE : buttonMessage(e->type(), m->button());
        if (!msg) return {};
        const QPoint p = m->position().toPoint();
        return {{msg, KeyStateOf(m->buttons(), m->modifiers()), MakeLong(p.x(), p.y())}};
    }
    case QEvent::Wheel: {
        auto* w = static_cast<QWheelEvent*>(e);
        const QPoint g = w->globalPosition().toPoint();
        return {{WM_MOUSEWHEEL, MakeLong(KeyStateOf(w->buttons(), w->modifiers()), w->angleDelta().y()),
                 MakeLong(g.x(), g.y())}};
    }
    default: return {};
    }
}
} // namespace

// ---- Subclasser -----------------------------------------------------------------------------

class Subclasser::Filter : public QObject {
public:
    explicit Filter(Subclasser* o) : owner(o) {}
    bool eventFilter(QObject* obj, QEvent* e) override
    {
        return owner && obj == owner->attachedTo_ && owner->handle(e);
    }
    Subclasser* owner;
};

Subclasser::Subclasser() : filter_(new Filter(this)) {}

Subclasser::~Subclasser()
{
    *alive_ = false;
    detach();
    // The filter may be on the stack of its own eventFilter call: free it later.
    filter_->owner = nullptr;
    filter_->deleteLater();
}

void Subclasser::sethWnd(HandleId hwnd)
{
    hwnd_ = hwnd;
    if (enabled_) attach();
}

namespace {
void watch(std::set<uint32_t>& watched, uint32_t msg, bool on)
{
    if (on)
        watched.insert(msg);
    else
        watched.erase(msg);
}
} // namespace

void Subclasser::WatchMessage(uint32_t msg, bool on) { watch(watched_, msg, on); }

void Subclasser::setEnabled(bool on)
{
    enabled_ = on;
    if (on)
        attach();
    else
        detach();
}

void Subclasser::attach()
{
    detach();
    QWidget* w = WidgetOf(hwnd_);
    if (!w) return;
    w->installEventFilter(filter_);
    attachedTo_ = w;
}

void Subclasser::detach()
{
    if (attachedTo_) attachedTo_->removeEventFilter(filter_);
    attachedTo_ = nullptr;
}

bool Subclasser::handle(QEvent* e)
{
    if (!enabled_ || !WndProc.hasHandlers()) return false;
    const auto alive = alive_;
    const HandleId hwnd = hwnd_;
    bool takenOver = false;
    for (const Msg& m : messagesOf(e)) {
        if (!watched_.count(m.msg)) continue;
        WndMsg msg{hwnd, m.msg, m.wParam, m.lParam, 0, true, e};
        WndProc.raise(msg);
        if (!msg.CallWndProc) takenOver = true;
        // Released or stopped by the handler: no further messages, no member touched.
        if (!*alive || !enabled_) break;
    }
    return takenOver;
}

// ---- MouseHook ------------------------------------------------------------------------------

class MouseHook::Filter : public QObject {
public:
    explicit Filter(MouseHook* o) : owner(o) {}
    bool eventFilter(QObject* obj, QEvent* e) override { return owner && owner->handle(obj, e); }
    MouseHook* owner;
};

MouseHook::MouseHook() : filter_(new Filter(this)) {}

MouseHook::~MouseHook()
{
    *alive_ = false;
    if (enabled_ && qApp) qApp->removeEventFilter(filter_);
    filter_->owner = nullptr;
    filter_->deleteLater();
}

void MouseHook::WatchMessage(uint32_t msg, bool on) { watch(watched_, msg, on); }

void MouseHook::setEnabled(bool on)
{
    if (on == enabled_ || !qApp) return;
    enabled_ = on;
    if (on)
        qApp->installEventFilter(filter_);
    else
        qApp->removeEventFilter(filter_);
}

bool MouseHook::handle(QObject* receiver, QEvent* e)
{
    const QEvent::Type t = e->type();
    if (t != QEvent::MouseButtonPress && t != QEvent::MouseButtonRelease && t != QEvent::MouseButtonDblClick &&
        t != QEvent::MouseMove)
        return false;
    auto* widget = qobject_cast<QWidget*>(receiver);
    if (!widget || !enabled_ || !MouseEvent.hasHandlers()) return false;
    auto* m = static_cast<QMouseEvent*>(e);
    // One click reaches several receivers up the chain: count it once, by its time, type
    // and button, and give every receiver the first answer.
    if (m->timestamp() == lastTime_ && int(t) == lastType_ && int(m->button()) == lastButton_)
        return lastSwallowed_;
    lastTime_ = m->timestamp();
    lastType_ = int(t);
    lastButton_ = int(m->button());
    lastSwallowed_ = false;
    const uint32_t msg = t == QEvent::MouseMove ? WM_MOUSEMOVE : buttonMessage(t, m->button());
    if (!msg || !watched_.count(msg)) return false;
    const QPoint g = m->globalPosition().toPoint();
    MouseMsg mm{HwndOf(widget), msg, g.x(), g.y(), true, e};
    const auto alive = alive_;
    MouseEvent.raise(mm);
    if (*alive) lastSwallowed_ = !mm.CallNextHook;
    return !mm.CallNextHook;
}

} // namespace tv
