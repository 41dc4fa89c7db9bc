#include "surface.h"

#include "dc.h"
#include "wnd.h"

#include <QPaintEvent>
#include <QPainter>
#include <QResizeEvent>

#include <memory>

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
    const QRect old = store_.rect();
    const QColor base = palette().color(QPalette::Base);
    // The pixels live in a room as large as the surface has been. A size within it (a list's
    // scroll bar hidden and shown again as its rows are replaced) keeps every pixel where it
    // was, with nothing allocated or copied; the back store is a view of the room. Drawing on
    // a copy of the view that someone holds makes the view a copy of its own: then, as on
    // growing past the room, the pixels move to a new room.
    const bool inRoom = room_ && store_.constBits() == room_->constBits() && room_->width() >= sz.width() &&
                        room_->height() >= sz.height();
    if (!inRoom) {
        auto grown = std::make_shared<QImage>(room_ ? sz.expandedTo(room_->size()) : sz, QImage::Format_RGB32);
        grown->fill(base);
        {
            QPainter p(grown.get());
            p.drawImage(0, 0, store_);
        }
        room_ = std::move(grown);
    }
    // Each view keeps the room alive, with every copy of it.
    auto* keep = new std::shared_ptr<QImage>(room_);
    store_ = QImage(
        room_->bits(), sz.width(), sz.height(), room_->bytesPerLine(), QImage::Format_RGB32,
        [](void* room) { delete static_cast<std::shared_ptr<QImage>*>(room); }, keep);
    const QRegion exposed = QRegion(store_.rect()) - QRegion(old);
    if (inRoom) {
        // What the room held there came from a larger size: new to the surface.
        QPainter p(&store_);
        for (const QRect& r : exposed) p.fillRect(r, base);
    }
    dc->setTarget(&store_);
    invalid_ &= rect();
    // Only the newly exposed part needs the owner: the rest keeps its pixels.
    invalidate(exposed);
}

} // namespace tv
