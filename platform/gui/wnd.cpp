#include "wnd.h"

#include "surface.h"

#include <QApplication>
#include <QCursor>
#include <QImage>
#include <QPixmap>
#include <QPointer>
#include <QScreen>
#include <QStyle>
#include <QWidget>
#include <unordered_map>

namespace tv {

namespace {
struct WindowTable {
    std::unordered_map<HandleId, QPointer<QWidget>> byId;
    HandleId next = 0x10000;   // apart from the drawing-object ids, so a mix-up shows
};
WindowTable& windows()
{
    static WindowTable t;
    return t;
}
const char* const kHwndProperty = "tvHwnd";
} // namespace

HandleId HwndOf(QWidget* w)
{
    if (!w) return 0;
    const QVariant v = w->property(kHwndProperty);
    if (v.isValid()) return v.toInt();
    WindowTable& t = windows();
    const HandleId h = t.next++;
    t.byId.emplace(h, w);
    w->setProperty(kHwndProperty, h);
    QObject::connect(w, &QObject::destroyed, [h] { windows().byId.erase(h); });
    return h;
}

QWidget* WidgetOf(HandleId hwnd)
{
    auto& m = windows().byId;
    auto it = m.find(hwnd);
    return it == m.end() ? nullptr : it->second.data();
}

HandleId GetFocus() { return HwndOf(QApplication::focusWidget()); }

HandleId SetFocus(HandleId hwnd)
{
    const HandleId prev = GetFocus();
    if (QWidget* w = WidgetOf(hwnd)) w->setFocus(Qt::OtherFocusReason);
    return prev;
}

HandleId GetCapture() { return HwndOf(QWidget::mouseGrabber()); }

HandleId SetCapture(HandleId hwnd)
{
    const HandleId prev = GetCapture();
    if (QWidget* w = WidgetOf(hwnd)) w->grabMouse();
    return prev;
}

bool ReleaseCapture()
{
    if (QWidget* w = QWidget::mouseGrabber()) w->releaseMouse();
    return true;
}

HandleId GetParent(HandleId hwnd)
{
    QWidget* w = WidgetOf(hwnd);
    return w ? HwndOf(w->parentWidget()) : 0;
}

bool IsWindowVisible(HandleId hwnd)
{
    QWidget* w = WidgetOf(hwnd);
    return w && w->isVisible();
}

HandleId WindowFromPoint(const QPoint& screen) { return HwndOf(QApplication::widgetAt(screen)); }

QPoint GetCursorPos() { return QCursor::pos(); }
void SetCursorPos(const QPoint& screen) { QCursor::setPos(screen); }

QPoint ClientToScreen(HandleId hwnd, const QPoint& client)
{
    QWidget* w = WidgetOf(hwnd);
    return w ? w->mapToGlobal(client) : client;
}

QPoint ScreenToClient(HandleId hwnd, const QPoint& screen)
{
    QWidget* w = WidgetOf(hwnd);
    return w ? w->mapFromGlobal(screen) : screen;
}

Rect GetClientRect(HandleId hwnd)
{
    QWidget* w = WidgetOf(hwnd);
    return w ? Rect{0, 0, w->width(), w->height()} : Rect{};
}

Rect GetWindowRect(HandleId hwnd)
{
    QWidget* w = WidgetOf(hwnd);
    if (!w) return {};
    const QPoint tl = w->mapToGlobal(QPoint(0, 0));
    return Rect{tl.x(), tl.y(), tl.x() + w->width(), tl.y() + w->height()};
}

namespace {
// An owner-drawn surface gets the area in its invalid region, any other widget an update.
bool invalidate(HandleId hwnd, const QRegion* area)
{
    QWidget* w = WidgetOf(hwnd);
    if (!w) return false;
    const QRegion q = area ? *area : QRegion(w->rect());
    if (auto* s = qobject_cast<OwnerDrawSurface*>(w))
        s->invalidate(q);
    else
        w->update(q);
    return true;
}
} // namespace

bool InvalidateRect(HandleId hwnd, const Rect* r, bool)
{
    const QRegion area = r ? QRegion(r->toQRect()) : QRegion();
    return invalidate(hwnd, r ? &area : nullptr);
}

bool InvalidateRgn(HandleId hwnd, HandleId rgn, bool) { return invalidate(hwnd, RegionOf(rgn)); }

bool ValidateRect(HandleId hwnd, const Rect* r)
{
    auto* s = qobject_cast<OwnerDrawSurface*>(WidgetOf(hwnd));
    if (!s) return false;
    s->validate(r ? QRegion(r->toQRect()) : QRegion(s->rect()));
    return true;
}

bool UpdateWindow(HandleId hwnd)
{
    QWidget* w = WidgetOf(hwnd);
    if (!w) return false;
    if (auto* s = qobject_cast<OwnerDrawSurface*>(w)) s->paintNow();
    return true;
}

// ---- cursors --------------------------------------------------------------------------------

namespace {
struct CursorData : GdiData {
    CursorData() : GdiData(ObjNone) {}
    QCursor cursor;
    bool stock = false;
};

CursorData* cursorOf(HandleId h) { return dynamic_cast<CursorData*>(GdiLookup(h)); }

Qt::CursorShape shapeOf(int id)
{
    switch (id) {
    case IDC_IBEAM: return Qt::IBeamCursor;
    case IDC_WAIT: return Qt::WaitCursor;
    case IDC_CROSS: return Qt::CrossCursor;
    case IDC_UPARROW: return Qt::UpArrowCursor;
    case IDC_SIZENWSE: return Qt::SizeFDiagCursor;
    case IDC_SIZENESW: return Qt::SizeBDiagCursor;
    case IDC_SIZEWE: return Qt::SizeHorCursor;
    case IDC_SIZENS: return Qt::SizeVerCursor;
    case IDC_SIZEALL: return Qt::SizeAllCursor;
    case IDC_NO: return Qt::ForbiddenCursor;
    case IDC_HAND: return Qt::PointingHandCursor;
    case IDC_APPSTARTING: return Qt::BusyCursor;
    default: return Qt::ArrowCursor;
    }
}
} // namespace

HandleId LoadStandardCursor(int id)
{
    static std::unordered_map<int, HandleId> stock;
    auto it = stock.find(id);
    if (it != stock.end()) return it->second;
    auto d = std::make_unique<CursorData>();
    d->cursor = QCursor(shapeOf(id));
    d->stock = true;
    const HandleId h = GdiRegister(std::move(d));
    stock.emplace(id, h);
    return h;
}

HandleId CreateCursorFromImage(const QImage& image, int hotX, int hotY)
{
    if (image.isNull()) return 0;
    auto d = std::make_unique<CursorData>();
    d->cursor = QCursor(QPixmap::fromImage(image), hotX, hotY);
    return GdiRegister(std::move(d));
}

bool DestroyCursor(HandleId cursor)
{
    CursorData* d = cursorOf(cursor);
    if (!d) return false;
    return d->stock || DeleteObject(cursor);
}

bool SetWindowCursor(HandleId hwnd, HandleId cursor)
{
    QWidget* w = WidgetOf(hwnd);
    if (!w) return false;
    if (cursor == 0) {
        w->unsetCursor();
        return true;
    }
    CursorData* d = cursorOf(cursor);
    if (!d) return false;
    w->setCursor(d->cursor);
    return true;
}

void Beep() { QApplication::beep(); }

int GetSystemMetrics(int metric)
{
    QStyle* st = QApplication::style();
    const QScreen* screen = QGuiApplication::primaryScreen();
    switch (metric) {
    case SM_CXSCREEN: return screen ? screen->geometry().width() : 0;
    case SM_CYSCREEN: return screen ? screen->geometry().height() : 0;
    case SM_CXVSCROLL:
    case SM_CYHSCROLL: return st->pixelMetric(QStyle::PM_ScrollBarExtent);
    case SM_CXBORDER:
    case SM_CYBORDER: return 1;
    case SM_CXEDGE:
    case SM_CYEDGE: return 2;
    case SM_CXDOUBLECLK:
    case SM_CYDOUBLECLK: return 4;
    case SM_CXDRAG:
    case SM_CYDRAG: return QApplication::startDragDistance();
    default: return 0;
    }
}

} // namespace tv
