#include "scrollbarstyle.h"

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QPointer>
#include <QProxyStyle>
#include <QStyleOptionSlider>

#include <algorithm>
#include <deque>
#include <tuple>

namespace vantile {

namespace {

int gLooksPainted = 0;

// Everything of a scroll bar's option that the style paints from: two bars alike in all of it
// look alike.
struct LookKey {
    QSize size;
    int orientation, minimum, maximum, position, value, singleStep, pageStep;
    bool upsideDown;
    int state, subControls, activeSubControls, direction, hints;
    qint64 palette;
    qreal ratio;

    auto tied() const
    {
        return std::make_tuple(size.width(), size.height(), orientation, minimum, maximum, position, value, singleStep,
                               pageStep, upsideDown, state, subControls, activeSubControls, direction, hints, palette,
                               ratio);
    }
    bool operator==(const LookKey& o) const { return tied() == o.tied(); }
};

class BandedScrollBarStyle : public QProxyStyle {
public:
    // A base style of the application's kind, owned by the proxy (a proxy takes over the
    // style it is given, and the application's own must stay the application's).
    explicit BandedScrollBarStyle(const QString& key) : QProxyStyle(key) {}

    void drawComplexControl(ComplexControl control, const QStyleOptionComplex* option, QPainter* painter,
                            const QWidget* widget) const override
    {
        const auto* bar = qstyleoption_cast<const QStyleOptionSlider*>(option);
        // A bar that fades in and out changes without its option changing: painted each time.
        if (control != CC_ScrollBar || !painter || !bar || styleHint(SH_ScrollBar_Transient, option, widget)) {
            QProxyStyle::drawComplexControl(control, option, painter, widget);
            return;
        }
        const qreal ratio = painter->device() ? painter->device()->devicePixelRatio() : 1.0;
        const LookKey key{bar->rect.size(),      int(bar->orientation), bar->minimum,   bar->maximum,
                          bar->sliderPosition,   bar->sliderValue,      bar->singleStep, bar->pageStep,
                          bar->upsideDown,       int(bar->state),       int(bar->subControls),
                          int(bar->activeSubControls), int(bar->direction), int(painter->renderHints()),
                          bar->palette.cacheKey(), ratio};
        // A list repaints its bars with everything around them (a view switched, a column
        // set up) far more often than they change: a look painted lately is drawn again.
        auto found = std::find_if(looks_.begin(), looks_.end(), [&key](const Look& l) { return l.key == key; });
        if (found == looks_.end()) {
            looks_.push_front({key, paintLook(option, painter, widget, ratio)});
            if (looks_.size() > kLooks) looks_.pop_back();
            found = looks_.begin();
        }
        painter->drawImage(bar->rect.topLeft(), found->image);
    }

private:
    // The whole bar on an image of its own. A tall one is painted in bands, each on an image
    // of the band's height: the image's bounds, not a clip, keep every fill small (a
    // painter's clip rectangle changes how the raster engine keeps its pen, and the lines
    // came out in the wrong colour).
    QImage paintLook(const QStyleOptionComplex* option, QPainter* painter, const QWidget* widget, qreal ratio) const
    {
        ++gLooksPainted;
        const QRect all = option->rect;
        QImage look(all.size() * ratio, QImage::Format_ARGB32_Premultiplied);
        look.setDevicePixelRatio(ratio);
        look.fill(Qt::transparent);
        const int band = all.height() <= kScrollBarBand ? all.height() : kScrollBarBand;
        QImage part(QSize(all.width(), band) * ratio, QImage::Format_ARGB32_Premultiplied);
        part.setDevicePixelRatio(ratio);
        QPainter onLook(&look);
        onLook.setCompositionMode(QPainter::CompositionMode_Source);
        for (int top = 0; top < all.height(); top += band) {
            part.fill(Qt::transparent);
            {
                QPainter p(&part);
                p.setRenderHints(painter->renderHints());
                p.setFont(painter->font());
                p.translate(-all.left(), -(all.top() + top));
                QProxyStyle::drawComplexControl(CC_ScrollBar, option, &p, widget);
            }
            const int height = std::min(band, all.height() - top);
            onLook.drawImage(QRect(0, top, all.width(), height), part,
                             QRect(QPoint(0, 0), QSize(all.width(), height) * ratio));
        }
        return look;
    }

    struct Look {
        LookKey key;
        QImage image;
    };
    // The looks painted lately, the latest first: a few lists' two bars in a few states.
    static constexpr size_t kLooks = 16;
    mutable std::deque<Look> looks_;
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

int ScrollBarLooksPainted() { return gLooksPainted; }

} // namespace vantile
