#include "catalogue/reports/vtlsplit.h"

#include "platform/component/propertybag.h"
#include "platform/gui/gdi.h"

#include <QMouseEvent>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace tv {

namespace {

uint32_t ReadColor(const PropertyBag& bag, const char* key, uint32_t defaultColor)
{
    // Stored as a Long: a system colour comes back negative.
    const Variant v = bag.ReadProperty(QString::fromLatin1(key), Variant(int32_t(defaultColor)));
    return uint32_t(int64_t(v.toDouble()));
}

} // namespace

void VTLSurface::Read(const PropertyBag& bag)
{
    backColor = ReadColor(bag, "BackColor", kDefaultBackColor);
    foreColor = ReadColor(bag, "ForeColor", kDefaultForeColor);
    backStyle = bag.ReadProperty(QStringLiteral("BackStyle"), Variant(int32_t(1))).toLong();
}

void VTLSurface::Write(PropertyBag& bag) const
{
    bag.WriteProperty(QStringLiteral("BackColor"), Variant(int32_t(backColor)), Variant(int32_t(kDefaultBackColor)));
    bag.WriteProperty(QStringLiteral("ForeColor"), Variant(int32_t(foreColor)), Variant(int32_t(kDefaultForeColor)));
    bag.WriteProperty(QStringLiteral("BackStyle"), Variant(backStyle), Variant(int32_t(1)));
}

void VTLSurface::ApplyTo(QWidget* widget) const
{
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Window, OleToQColor(backColor));
    palette.setColor(QPalette::WindowText, OleToQColor(foreColor));
    widget->setPalette(palette);
    widget->setAutoFillBackground(backStyle != 0);
    widget->update();
}

// The bar: reports its mouse events to the splitter and paints the frame of a raised bar.
class VTLSplit::Bar : public QWidget {
public:
    explicit Bar(VTLSplit* owner) : QWidget(owner), owner_(owner) {}

protected:
    void mousePressEvent(QMouseEvent* e) override
    {
        if (e->button() == Qt::LeftButton) owner_->BarPressed(e->position().toPoint());
    }
    void mouseMoveEvent(QMouseEvent* e) override
    {
        owner_->BarMoved(e->position().toPoint(), e->buttons().testFlag(Qt::LeftButton));
    }
    void mouseReleaseEvent(QMouseEvent* e) override
    {
        if (e->button() == Qt::LeftButton) owner_->BarReleased();
    }

private:
    VTLSplit* owner_;
};

VTLSplit::VTLSplit(QWidget* parent) : QWidget(parent)
{
    bar_ = new Bar(this);
    bar_->setObjectName(QStringLiteral("Split"));
    // The drag outline: a dark band over everything while the user drags the bar.
    outline_ = new QWidget(this);
    outline_->setObjectName(QStringLiteral("SplitOutline"));
    outline_->setAttribute(Qt::WA_TransparentForMouseEvents);
    outline_->setAutoFillBackground(true);
    QPalette dark = outline_->palette();
    dark.setColor(QPalette::Window, QColor(64, 64, 64));
    outline_->setPalette(dark);
    outline_->hide();
    InitProperties();
}

VTLSplit::~VTLSplit() = default;

void VTLSplit::InitProperties()
{
    surface_ = VTLSurface();
    surface_.ApplyTo(this);
    borderStyle_ = 0;
    splitStyle_ = 0;
    splitSize_ = 80;
    marginA_ = marginB_ = 0;
    splitPos_ = Variant::null();
    bar_->setCursor(Qt::SplitHCursor);
}

void VTLSplit::ReadProperties(const PropertyBag& bag)
{
    auto read = [&bag](const char* key, const Variant& def) { return bag.ReadProperty(QString::fromLatin1(key), def); };
    surface_.Read(bag);
    surface_.ApplyTo(this);
    borderStyle_ = read("BorderStyle", Variant(int16_t(0))).toInt();
    splitStyle_ = read("SplitStyle", Variant(int32_t(0))).toLong();
    splitSize_ = read("SplitSize", Variant(int16_t(80))).toInt();
    // A margin below 0 has no meaning; an old bag may hold one.
    marginA_ = std::max(0.0, read("MarginA", Variant::fromSingle(0)).toDouble());
    marginB_ = std::max(0.0, read("MarginB", Variant::fromSingle(0)).toDouble());
    const Variant pos = read("SplitPos", Variant::null());
    splitPos_ = pos.isEmptyOrNull() ? Variant::null() : Variant::fromSingle(float(pos.toDouble()));
    applyPosition();
    arrangePanes();
    update();
}

void VTLSplit::WriteProperties(PropertyBag& bag) const
{
    surface_.Write(bag);
    bag.WriteProperty(QStringLiteral("BorderStyle"), Variant(int16_t(borderStyle_)), Variant(int16_t(0)));
    bag.WriteProperty(QStringLiteral("SplitStyle"), Variant(splitStyle_), Variant(int32_t(0)));
    bag.WriteProperty(QStringLiteral("SplitSize"), Variant(int16_t(splitSize_)), Variant(int16_t(80)));
    bag.WriteProperty(QStringLiteral("MarginA"), Variant::fromSingle(float(marginA_)), Variant::fromSingle(0));
    bag.WriteProperty(QStringLiteral("MarginB"), Variant::fromSingle(float(marginB_)), Variant::fromSingle(0));
    bag.WriteProperty(QStringLiteral("SplitPos"), splitPos_, Variant::null());
}

void VTLSplit::setBackColor(uint32_t color)
{
    surface_.backColor = color;
    surface_.ApplyTo(this);
    changed("BackColor");
}

void VTLSplit::setBorderStyle(int32_t style)
{
    borderStyle_ = style;
    layoutResize();
    changed("BorderStyle");
}

void VTLSplit::setSplitStyle(int32_t style)
{
    splitStyle_ = style;
    splitPos_ = Variant::null();
    applyPosition();
    layoutResize();
    changed("SplitStyle");
}

void VTLSplit::setSplitSize(int32_t size)
{
    splitSize_ = size;
    layoutResize();
    changed("SplitSize");
}

void VTLSplit::setSplitPos(const Variant& value)
{
    if (value.isEmptyOrNull()) {
        splitPos_ = Variant::null();
        applyPosition();
    } else {
        const double p = clampPos(value.toDouble());
        splitPos_ = Variant::fromSingle(float(p));
        moveBar(p);
    }
    arrangePanes();
    changed("SplitPos");
}

void VTLSplit::limitMargin(double& margin, double otherMargin, double value) const
{
    const double extent = Extent();
    margin = std::clamp(value, 0.0, std::max(0.0, extent));
    // A control too small for the other margin and the bar would push this one below 0.
    margin = std::max(0.0, std::min(extent - otherMargin - splitSize_, margin));
}

void VTLSplit::setMarginA(double value)
{
    limitMargin(marginA_, marginB_, value);
    moveBar(std::max(marginA_, barPos_));
    arrangePanes();
    changed("MarginA");
}

void VTLSplit::setMarginB(double value)
{
    limitMargin(marginB_, marginA_, value);
    moveBar(std::min(Extent() - marginB_ - splitSize_, barPos_));
    arrangePanes();
    changed("MarginB");
}

void VTLSplit::Arrange(QWidget* first, QWidget* second)
{
    firstName_ = first ? first->objectName() : QString();
    secondName_ = second ? second->objectName() : QString();
    arrangePanes();
}

void VTLSplit::Refresh() { update(); }

void VTLSplit::Redraw()
{
    setVisible(false);
    setVisible(true);
}

QWidget* VTLSplit::DragOutline() const { return outlineDrawn_ ? outline_ : nullptr; }

QRect VTLSplit::innerRect() const
{
    return borderStyle_ == 1 ? rect().adjusted(1, 1, -1, -1) : rect();
}

double VTLSplit::innerWidth() const { return std::max(0, innerRect().width()) * kTwipsPerPixel; }
double VTLSplit::innerHeight() const { return std::max(0, innerRect().height()) * kTwipsPerPixel; }
double VTLSplit::Extent() const { return horizontal() ? innerHeight() : innerWidth(); }

double VTLSplit::clampPos(double pos) const
{
    // When both limits cannot be met the upper one wins.
    return std::min(Extent() - marginB_ - splitSize_, std::max(marginA_, pos));
}

QRectF VTLSplit::barRect(double offset, double* clamped) const
{
    const double p = clampPos(barPos_ + offset);
    if (clamped) *clamped = p;
    if (horizontal()) return QRectF(0, p, innerWidth(), splitSize_);
    return QRectF(p, 0, splitSize_, innerHeight());
}

void VTLSplit::setTwipsGeometry(QWidget* w, double left, double top, double width, double height)
{
    // A pane cannot take a negative size (a control smaller than its bar and margins): it
    // keeps the size it has.
    if (width < 0 || height < 0) return;
    const QPoint origin = innerRect().topLeft();
    w->setGeometry(origin.x() + TwipsToPixels(left), origin.y() + TwipsToPixels(top),
                   TwipsToPixels(width), TwipsToPixels(height));
}

void VTLSplit::placeBar(const QRectF& r)
{
    barPos_ = horizontal() ? r.top() : r.left();
    setTwipsGeometry(bar_, r.left(), r.top(), std::max(0.0, r.width()), std::max(0.0, r.height()));
}

void VTLSplit::moveBar(double pos)
{
    if (horizontal()) placeBar(QRectF(0, pos, innerWidth(), splitSize_));
    else placeBar(QRectF(pos, 0, splitSize_, innerHeight()));
}

void VTLSplit::applyPosition()
{
    if (splitPos_.isNull()) {
        // A control not laid out yet has no middle: the first resize that gives it an area
        // centres the bar.
        if (Extent() <= 0) {
            moveBar(0);
            bar_->setCursor(horizontal() ? Qt::SplitVCursor : Qt::SplitHCursor);
            return;
        }
        splitPos_ = Variant::fromSingle(float((Extent() - splitSize_) / 2));
    }
    moveBar(std::nearbyint(splitPos_.toDouble()));
    bar_->setCursor(horizontal() ? Qt::SplitVCursor : Qt::SplitHCursor);
}

void VTLSplit::layoutResize()
{
    if (splitPos_.isNull() && Extent() > 0) applyPosition();
    placeBar(barRect(0, nullptr));
    arrangePanes();
    update();
    SplitResize.raise();
}

void VTLSplit::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    layoutResize();
}

void VTLSplit::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    layoutResize();
}

void VTLSplit::paintEvent(QPaintEvent*)
{
    if (borderStyle_ != 1) return;
    QPainter painter(this);
    painter.setPen(palette().color(QPalette::WindowText));
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
}

QList<QWidget*> VTLSplit::panes() const
{
    QList<QWidget*> result;
    for (QObject* child : children()) {
        auto* w = qobject_cast<QWidget*>(child);
        if (w && w != bar_ && w != outline_ && !w->isWindow()) result.append(w);
    }
    return result;
}

void VTLSplit::arrangePanes()
{
    const QList<QWidget*> list = panes();
    if (list.isEmpty() || (list.size() != 2 && firstName_.isEmpty())) return;

    auto named = [&list](const QString& name) -> QWidget* {
        if (!name.isEmpty())
            for (QWidget* w : list)
                if (w->objectName() == name) return w;
        return nullptr;
    };
    QWidget* first = nullptr;
    QWidget* second = nullptr;
    if (list.size() == 2) {
        first = named(firstName_);
        if (first) second = list[0] == first ? list[1] : list[0];
        else { first = list[1]; second = list[0]; }
    } else {
        first = named(firstName_);
        second = named(secondName_);
        if (!first) first = list[0];
        if (!second) second = list[0];
    }

    const double w = innerWidth(), h = innerHeight();
    if (first->isHidden()) {
        setTwipsGeometry(second, 0, 0, w, h);
    } else if (second->isHidden()) {
        setTwipsGeometry(first, 0, 0, w, h);
    } else {
        const double p = barPos_, s = splitSize_;
        if (horizontal()) {
            setTwipsGeometry(first, 0, 0, w, p);
            setTwipsGeometry(second, 0, p + s, w, h - (p + s));
        } else {
            setTwipsGeometry(first, 0, 0, p, h);
            setTwipsGeometry(second, p + s, 0, w - (p + s), h);
        }
        bar_->raise();
    }
}

void VTLSplit::BarPressed(QPoint pos)
{
    dragging_ = true;
    outlineDrawn_ = false;
    pressPoint_ = pos;
    dropPos_ = barPos_;
}

void VTLSplit::BarMoved(QPoint pos, bool leftButton)
{
    if (!dragging_ || !leftButton || busy_) return;
    busy_ = true;
    const double d = (horizontal() ? pos.y() - pressPoint_.y() : pos.x() - pressPoint_.x()) * kTwipsPerPixel;
    removeOutline();
    drawOutline(d);
    busy_ = false;
}

void VTLSplit::BarReleased()
{
    if (!dragging_) return;
    removeOutline();
    dragging_ = false;
    moveBar(dropPos_);
    arrangePanes();
    SplitChange.raise();
}

void VTLSplit::drawOutline(double offset)
{
    const QRectF r = barRect(offset, &dropPos_);
    const QPoint origin = innerRect().topLeft();
    outline_->setGeometry(origin.x() + TwipsToPixels(r.left()), origin.y() + TwipsToPixels(r.top()),
                          TwipsToPixels(r.width()), TwipsToPixels(r.height()));
    outline_->show();
    outline_->raise();
    outlineDrawn_ = true;
}

void VTLSplit::removeOutline()
{
    if (!outlineDrawn_) return;
    outline_->hide();
    outlineDrawn_ = false;
}

} // namespace tv
