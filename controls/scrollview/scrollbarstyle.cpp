#include "scrollbarstyle.h"

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QPointer>
#include <QProxyStyle>
#include <QStyleOptionComplex>

#include <algorithm>

namespace vantile {

namespace {
class BandedScrollBarStyle : public QProxyStyle {
public:
    // A base style of the application's kind, owned by the proxy (a proxy takes over the
    // style it is given, and the application's own must stay the application's).
    explicit BandedScrollBarStyle(const QString& key) : QProxyStyle(key) {}

    void drawComplexControl(ComplexControl control, const QStyleOptionComplex* option, QPainter* painter,
                            const QWidget* widget) const override
    {
        if (control != CC_ScrollBar || !painter || !option || option->rect.height() <= kScrollBarBand) {
            QProxyStyle::drawComplexControl(control, option, painter, widget);
            return;
        }
        // Each band is painted on an image of its own height: the image's bounds, not a clip,
        // keep every fill small (a painter's clip rectangle changes how the raster engine
        // keeps its pen, and the lines came out in the wrong colour).
        const QRect all = option->rect;
        const qreal ratio = painter->device() ? painter->device()->devicePixelRatio() : 1.0;
        QImage band(QSize(all.width(), kScrollBarBand) * ratio, QImage::Format_ARGB32_Premultiplied);
        band.setDevicePixelRatio(ratio);
        for (int top = all.top(); top <= all.bottom(); top += kScrollBarBand) {
            band.fill(Qt::transparent);
            {
                QPainter p(&band);
                p.setRenderHints(painter->renderHints());
                p.setFont(painter->font());
                p.translate(-all.left(), -top);
                QProxyStyle::drawComplexControl(control, option, &p, widget);
            }
            const int height = std::min(kScrollBarBand, all.bottom() - top + 1);
            painter->drawImage(QRect(all.left(), top, all.width(), height), band,
                               QRect(QPoint(0, 0), QSize(all.width(), height) * ratio));
        }
    }
};
} // namespace

QStyle* ScrollBarStyle()
{
    static QPointer<QStyle> style;
    if (!style && qApp) {
        style = new BandedScrollBarStyle(QApplication::style()->name());
        style->setParent(qApp);
    }
    return style;
}

} // namespace vantile
