#pragma once

// Subclasser and MouseHook: watching a window's messages, or the program's mouse messages,
// before their receiver sees them.
//
// A Subclasser is an event filter on one widget. Each watched message number maps to the Qt
// event that carries it (table in subclasser.cpp); the handler gets the message with its
// parameters and the Qt event, and may take it over by clearing CallWndProc. A MouseHook is
// an event filter on the application that sees each mouse message once (a click travels up
// the widget chain; it is counted by its time, type and button) and may swallow it.
// A handler may disable or release the object that called it.

#include "gdi.h"
#include "platform/component/event.h"

#include <QPoint>
#include <QPointer>
#include <cstdint>
#include <memory>
#include <set>

class QEvent;

namespace tv {

enum WindowMessage : uint32_t {
    WM_MOVE = 3, WM_SIZE = 5, WM_ACTIVATE = 6, WM_SETFOCUS = 7, WM_KILLFOCUS = 8, WM_PAINT = 15,
    WM_CLOSE = 16, WM_ERASEBKGND = 20, WM_ACTIVATEAPP = 28, WM_NCACTIVATE = 134,
    WM_NCLBUTTONDOWN = 161, WM_NCRBUTTONDOWN = 164, WM_NCMBUTTONDOWN = 167,
    WM_KEYDOWN = 256, WM_KEYUP = 257, WM_CHAR = 258, WM_HSCROLL = 276, WM_VSCROLL = 277,
    WM_MOUSEMOVE = 512, WM_LBUTTONDOWN = 513, WM_LBUTTONUP = 514, WM_LBUTTONDBLCLK = 515,
    WM_RBUTTONDOWN = 516, WM_RBUTTONUP = 517, WM_RBUTTONDBLCLK = 518, WM_MBUTTONDOWN = 519,
    WM_MBUTTONUP = 520, WM_MBUTTONDBLCLK = 521, WM_MOUSEWHEEL = 522, WM_MOUSEHOVER = 673,
};

inline int32_t MakeLong(int lo, int hi) { return int32_t(uint32_t(uint16_t(lo)) | uint32_t(uint16_t(hi)) << 16); }

struct WndMsg {
    HandleId hwnd = 0;
    uint32_t uMsg = 0;
    int32_t wParam = 0;
    int32_t lParam = 0;
    int32_t lResult = 0;
    bool CallWndProc = true;
    QEvent* event = nullptr;   // the Qt event behind the message
};

class Subclasser {
public:
    Subclasser();
    ~Subclasser();
    Subclasser(const Subclasser&) = delete;
    Subclasser& operator=(const Subclasser&) = delete;

    HandleId hWnd() const { return hwnd_; }
    // Changing the window while enabled moves the watch to the new one.
    void sethWnd(HandleId hwnd);
    void WatchMessage(uint32_t msg, bool watch);
    bool Enabled() const { return enabled_; }
    void setEnabled(bool on);

    tv::Event<WndMsg&> WndProc;

private:
    class Filter;
    friend class Filter;
    bool handle(QEvent* e);
    void attach();
    void detach();

    HandleId hwnd_ = 0;
    bool enabled_ = false;
    std::set<uint32_t> watched_;
    Filter* filter_ = nullptr;
    QPointer<QObject> attachedTo_;   // the window may die while it is watched
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

struct MouseMsg {
    HandleId hwnd = 0;   // the window under the mouse
    uint32_t uMsg = 0;
    int32_t x = 0, y = 0;   // screen pixels
    bool CallNextHook = true;
    QEvent* event = nullptr;
};

class MouseHook {
public:
    MouseHook();
    ~MouseHook();
    MouseHook(const MouseHook&) = delete;
    MouseHook& operator=(const MouseHook&) = delete;

    void WatchMessage(uint32_t msg, bool watch);
    bool Enabled() const { return enabled_; }
    void setEnabled(bool on);

    tv::Event<MouseMsg&> MouseEvent;

private:
    class Filter;
    friend class Filter;
    bool handle(QObject* receiver, QEvent* e);

    bool enabled_ = false;
    std::set<uint32_t> watched_;
    Filter* filter_ = nullptr;
    // The last message seen, so that its trip up the widget chain counts once.
    uint64_t lastTime_ = 0;
    int lastType_ = 0;
    int lastButton_ = 0;
    bool lastSwallowed_ = false;
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

} // namespace tv
