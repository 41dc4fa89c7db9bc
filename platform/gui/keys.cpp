#include "keys.h"

#include <QKeyEvent>

namespace tv {

int VirtualKeyOf(const QKeyEvent* e)
{
    const int k = e->key();
    const bool keypad = e->modifiers() & Qt::KeypadModifier;
    if (keypad) {
        if (k >= Qt::Key_0 && k <= Qt::Key_9) return VK_NUMPAD0 + (k - Qt::Key_0);
        switch (k) {
        case Qt::Key_Asterisk: return VK_MULTIPLY;
        case Qt::Key_Plus: return VK_ADD;
        case Qt::Key_Minus: return VK_SUBTRACT;
        case Qt::Key_Period:
        case Qt::Key_Comma: return VK_DECIMAL;
        case Qt::Key_Slash: return VK_DIVIDE;
        default: break;
        }
    }
    if (k >= Qt::Key_A && k <= Qt::Key_Z) return k;   // same codes as the letters
    if (k >= Qt::Key_0 && k <= Qt::Key_9) return k;
    if (k >= Qt::Key_F1 && k <= Qt::Key_F24) return VK_F1 + (k - Qt::Key_F1);
    switch (k) {
    case Qt::Key_Backspace: return VK_BACK;
    case Qt::Key_Tab:
    case Qt::Key_Backtab: return VK_TAB;
    case Qt::Key_Return:
    case Qt::Key_Enter: return VK_RETURN;
    case Qt::Key_Shift: return VK_SHIFT;
    case Qt::Key_Control: return VK_CONTROL;
    case Qt::Key_Alt: return VK_MENU;
    case Qt::Key_Pause: return VK_PAUSE;
    case Qt::Key_CapsLock: return VK_CAPITAL;
    case Qt::Key_Escape: return VK_ESCAPE;
    case Qt::Key_Space: return VK_SPACE;
    case Qt::Key_PageUp: return VK_PRIOR;
    case Qt::Key_PageDown: return VK_NEXT;
    case Qt::Key_End: return VK_END;
    case Qt::Key_Home: return VK_HOME;
    case Qt::Key_Left: return VK_LEFT;
    case Qt::Key_Up: return VK_UP;
    case Qt::Key_Right: return VK_RIGHT;
    case Qt::Key_Down: return VK_DOWN;
    case Qt::Key_Insert: return VK_INSERT;
    case Qt::Key_Delete: return VK_DELETE;
    case Qt::Key_Menu: return VK_APPS;
    case Qt::Key_NumLock: return VK_NUMLOCK;
    case Qt::Key_ScrollLock: return VK_SCROLL;
    default: return 0;
    }
}

int ShiftMaskOf(Qt::KeyboardModifiers m)
{
    return (m & Qt::ShiftModifier ? vbShiftMask : 0) | (m & Qt::ControlModifier ? vbCtrlMask : 0) |
           (m & Qt::AltModifier ? vbAltMask : 0);
}

int ButtonMaskOf(Qt::MouseButtons b)
{
    return (b & Qt::LeftButton ? vbLeftButton : 0) | (b & Qt::RightButton ? vbRightButton : 0) |
           (b & Qt::MiddleButton ? vbMiddleButton : 0);
}

int KeyStateOf(Qt::MouseButtons b, Qt::KeyboardModifiers m)
{
    return (b & Qt::LeftButton ? MK_LBUTTON : 0) | (b & Qt::RightButton ? MK_RBUTTON : 0) |
           (b & Qt::MiddleButton ? MK_MBUTTON : 0) | (m & Qt::ShiftModifier ? MK_SHIFT : 0) |
           (m & Qt::ControlModifier ? MK_CONTROL : 0);
}

} // namespace tv
