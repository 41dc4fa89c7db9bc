#include "surface.h"

#include "dc.h"
#include "wnd.h"

#include <QPaintEvent>
#include <QPainter>
#include <QResizeEvent>

namespace tv {

OwnerDrawSurface::OwnerDrawSurface(QWidget* parent) : QWidget(parent)
{
    // Every pixel comes from the back store: Qt need not clear or compose the background.
    setAttribute(Qt::WA_OpaquePaintEvent);
    store_ = QImage(std::max(1, width()), std::max(1, height()), QImage::Format_RGB32);
    store_.fill(palette().color(QPalette::Base));
    hdc_ = CreateSurfaceDC(&store_);
    DcOf(hdc_)->onDrawn = [this](const QRect& r) { onDrawn(r); };
    invalid_ = QRegion(rect());
}

OwnerDrawSurface::~OwnerDrawSurface() { DeleteDC(hdc_); }

HandleId OwnerDrawSurface::hwnd() { return HwndOf(this); }

const QImage& OwnerDrawSurface::backStore()
{
    DcOf(hdc_)->flush();
    return store_;
}

void OwnerDrawSurface::invalidate(const QRegion& r)
{
    const QRegion add = r & rect();
    if (add.isEmpty()) return;
    invalid_ |= add;
    update(add.boundingRect());
}

void OwnerDrawSurface::paintNow()
{
    if (invalid_.isEmpty()) return;
    runPaintInvalid();
}

void OwnerDrawSurface::runPaintInvalid()
{
    const QRegion r = invalid_;
    invalid_ = QRegion();
    paintInvalid(r);
}

void OwnerDrawSurface::paintInvalid(const QRegion& region)
{
    const HandleId brush = GetSysColorBrush(COLOR_WINDOW);
    for (const QRect& r : region) FillRect(hdc_, Rect::fromQRect(r), brush);
}

void OwnerDrawSurface::onDrawn(const QRect& device)
{
    dirty_ |= device;
    if (inPaint_ || flushPosted_) return;
    flushPosted_ = true;
    QMetaObject::invokeMethod(this, &OwnerDrawSurface::flushDirty, Qt::QueuedConnection);
}

void OwnerDrawSurface::flushDirty()
{
    flushPosted_ = false;
    if (!dirty_.isEmpty()) update(dirty_);
    dirty_ = QRect();
}

void OwnerDrawSurface::paintEvent(QPaintEvent* e)
{
    inPaint_ = true;
    if (!invalid_.isEmpty()) runPaintInvalid();
    inPaint_ = false;
    DcOf(hdc_)->flush();
    QPainter p(this);
    for (const QRect& r : e->region()) p.drawImage(r, store_, r);
    // What the owner drew outside this paint's area reaches the screen with the next one.
    const QRegion rest = QRegion(dirty_) - e->region();
    dirty_ = QRect();
    if (!rest.isEmpty()) {
        dirty_ = rest.boundingRect();
        if (!flushPosted_) {
            flushPosted_ = true;
            QMetaObject::invokeMethod(this, &OwnerDrawSurface::flushDirty, Qt::QueuedConnection);
        }
    }
}

void OwnerDrawSurface::resizeEvent(QResizeEvent* e)
{
    QWidget::resizeEvent(e);
    syncBackStore();
}

void OwnerDrawSurface::syncBackStore()
{
    const QSize sz(std::max(1, width()), std::max(1, height()));
    if (sz == store_.size()) return;
    Dc* dc = DcOf(hdc_);
    dc->flush();
    QImage grown(sz, QImage::Format_RGB32);
    grown.fill(palette().color(QPalette::Base));
    {
        QPainter p(&grown);
        p.drawImage(0, 0, store_);
    }
    const QRect old = store_.rect();
    store_ = std::move(grown);
    dc->setTarget(&store_);
    invalid_ &= rect();
    // Only the newly exposed part needs the owner: the rest keeps its pixels.
    invalidate(QRegion(rect()) - QRegion(old));
}

} // namespace tv
