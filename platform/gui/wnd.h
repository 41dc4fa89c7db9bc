#pragma once

// Windows as the controls address them: a window handle is an id in the program's own table
// (never a pointer, never QWidget::winId(), which would make a child a native window).
// Focus, mouse capture, cursor position, client/screen conversion, invalidation, cursors and
// a few system measures.

#include "gdi.h"

#include <QPoint>

class QWidget;
class QImage;

namespace tv {

// The handle of a widget, registered on first use; 0 for none. Dies with the widget.
HandleId HwndOf(QWidget* w);
QWidget* WidgetOf(HandleId hwnd);

HandleId GetFocus();
HandleId SetFocus(HandleId hwnd);   // returns the window that had the focus
HandleId GetCapture();
HandleId SetCapture(HandleId hwnd);   // returns the window that had the capture
bool ReleaseCapture();
HandleId GetParent(HandleId hwnd);
bool IsWindowVisible(HandleId hwnd);
HandleId WindowFromPoint(const QPoint& screen);

QPoint GetCursorPos();
void SetCursorPos(const QPoint& screen);
QPoint ClientToScreen(HandleId hwnd, const QPoint& client);
QPoint ScreenToClient(HandleId hwnd, const QPoint& screen);
Rect GetClientRect(HandleId hwnd);
Rect GetWindowRect(HandleId hwnd);   // screen coordinates

// Marks (part of) a window for repainting (null rect = all of it); an owner-drawn surface
// gets it in its invalid region, any other widget an update.
bool InvalidateRect(HandleId hwnd, const Rect* r, bool erase);
bool InvalidateRgn(HandleId hwnd, HandleId rgn, bool erase);
bool ValidateRect(HandleId hwnd, const Rect* r);
// Paints what is invalid now instead of at the next paint event.
bool UpdateWindow(HandleId hwnd);

// Cursors: the standard ones by their numbers, or made from an image.
enum StandardCursor : int {
    IDC_ARROW = 32512, IDC_IBEAM = 32513, IDC_WAIT = 32514, IDC_CROSS = 32515, IDC_UPARROW = 32516,
    IDC_SIZENWSE = 32642, IDC_SIZENESW = 32643, IDC_SIZEWE = 32644, IDC_SIZENS = 32645,
    IDC_SIZEALL = 32646, IDC_NO = 32648, IDC_HAND = 32649, IDC_APPSTARTING = 32650,
};
HandleId LoadStandardCursor(int id);   // stock: one handle per number
HandleId CreateCursorFromImage(const QImage& image, int hotX, int hotY);
bool DestroyCursor(HandleId cursor);
bool SetWindowCursor(HandleId hwnd, HandleId cursor);   // 0 = the parent's cursor

void Beep();

enum SystemMetric : int {
    SM_CXSCREEN = 0, SM_CYSCREEN = 1, SM_CXVSCROLL = 2, SM_CYHSCROLL = 3, SM_CXBORDER = 5,
    SM_CYBORDER = 6, SM_CXDOUBLECLK = 36, SM_CYDOUBLECLK = 37, SM_CXEDGE = 45, SM_CYEDGE = 46,
    SM_CXDRAG = 68, SM_CYDRAG = 69,
};
int GetSystemMetrics(int metric);

} // namespace tv
