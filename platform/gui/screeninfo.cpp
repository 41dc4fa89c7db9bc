#include "screeninfo.h"

#include "wnd.h"

#include <QApplication>
#include <QPointer>
#include <QScreen>
#include <QWidget>

namespace tv {

ScreenArea ScreenInfo::AreaFromPoint(int32_t x, int32_t y, int unitsPerPixel) const
{
    const int scale = std::max(1, unitsPerPixel);
    const QPoint pt(x / scale, y / scale);
    QScreen* screen = QGuiApplication::screenAt(pt);
    if (!screen) {
        // Off every screen: the nearest one.
        int best = INT_MAX;
        const auto screens = QGuiApplication::screens();
        for (QScreen* s : screens) {
            const QRect g = s->geometry();
            const int dx = std::max({g.left() - pt.x(), 0, pt.x() - g.right()});
            const int dy = std::max({g.top() - pt.y(), 0, pt.y() - g.bottom()});
            if (dx + dy < best) {
                best = dx + dy;
                screen = s;
            }
        }
    }
    if (!screen) screen = QGuiApplication::primaryScreen();
    if (!screen) return {0, 0, 1024 * scale, 768 * scale};
    const Rect r = Rect::fromQRect(screen->availableGeometry());
    return {r.Left * scale, r.Top * scale, r.Right * scale, r.Bottom * scale};
}

ScreenInfo& TheScreenInfo()
{
    static ScreenInfo info;
    return info;
}

void WindowEnumerator::Run()
{
    std::vector<QPointer<QWidget>> tops;
    const auto all = QApplication::topLevelWidgets();
    for (QWidget* w : all)
        if (w->isWindow()) tops.emplace_back(w);
    const auto alive = alive_;
    for (const auto& w : tops) {
        if (!w) continue;
        bool cancel = false;
        Enumerate.raise(HwndOf(w), cancel);
        if (!*alive || cancel) break;   // released by the handler: nothing of it is touched
    }
}

} // namespace tv
