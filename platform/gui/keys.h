#pragma once

// Key codes and button and shift masks as the controls' events hand them on.

#include <Qt>

class QKeyEvent;

namespace tv {

enum VirtualKey : int {
    VK_LBUTTON = 0x01, VK_RBUTTON = 0x02, VK_MBUTTON = 0x04,
    VK_BACK = 0x08, VK_TAB = 0x09, VK_RETURN = 0x0D, VK_SHIFT = 0x10, VK_CONTROL = 0x11,
    VK_MENU = 0x12, VK_PAUSE = 0x13, VK_CAPITAL = 0x14, VK_ESCAPE = 0x1B, VK_SPACE = 0x20,
    VK_PRIOR = 0x21, VK_NEXT = 0x22, VK_END = 0x23, VK_HOME = 0x24, VK_LEFT = 0x25, VK_UP = 0x26,
    VK_RIGHT = 0x27, VK_DOWN = 0x28, VK_INSERT = 0x2D, VK_DELETE = 0x2E, VK_APPS = 0x5D,
    VK_NUMPAD0 = 0x60, VK_MULTIPLY = 0x6A, VK_ADD = 0x6B, VK_SUBTRACT = 0x6D, VK_DECIMAL = 0x6E,
    VK_DIVIDE = 0x6F, VK_F1 = 0x70, VK_NUMLOCK = 0x90, VK_SCROLL = 0x91,
};

// Shift mask of the events: 1 Shift, 2 Ctrl, 4 Alt.
enum ShiftMask : int { vbShiftMask = 1, vbCtrlMask = 2, vbAltMask = 4 };
// Button mask of the mouse events: 1 left, 2 right, 4 middle.
enum ButtonMask : int { vbLeftButton = 1, vbRightButton = 2, vbMiddleButton = 4 };
// Key-state bits of mouse and wheel messages.
enum KeyStateBits : int { MK_LBUTTON = 0x1, MK_RBUTTON = 0x2, MK_SHIFT = 0x4, MK_CONTROL = 0x8, MK_MBUTTON = 0x10 };

// The key code of a key event, 0 for a key that has none.
int VirtualKeyOf(const QKeyEvent* e);
int ShiftMaskOf(Qt::KeyboardModifiers m);
int ButtonMaskOf(Qt::MouseButtons b);
int KeyStateOf(Qt::MouseButtons b, Qt::KeyboardModifiers m);

} // namespace tv
