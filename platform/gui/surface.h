#pragma once

// OwnerDrawSurface: a widget whose owner draws into it at any time, also outside a paint
// event, through a device context that lasts. The surface owns a back-store image that plays
// that context; what is drawn lands there and the paint event copies it to the screen.
//
// Like a window's update region, the surface keeps an invalid region: areas whose pixels the
// owner must draw again (newly exposed by a resize, or invalidated by a caller). The paint
// event hands it to paintInvalid() before it copies; a plain expose only copies.

#include "gdi.h"

#include <QImage>
#include <QWidget>

#include <memory>

namespace tv {

class OwnerDrawSurface : public QWidget {
    Q_OBJECT
public:
    explicit OwnerDrawSurface(QWidget* parent = nullptr);
    ~OwnerDrawSurface() override;

    HandleId hdc() const { return hdc_; }
    HandleId hwnd();
    // The back store as it stands (open drawing is finished first).
    const QImage& backStore();

    void invalidate(const QRegion& r);
    void invalidateAll() { invalidate(QRegion(rect())); }
    void validate(const QRegion& r) { invalid_ -= r; }
    const QRegion& invalidRegion() const { return invalid_; }
    // Paints the invalid region now (as a paint event would) and schedules the copy.
    void paintNow();
    // Brings the back store to the widget's size, keeping what it holds and invalidating
    // what is new. A resize does this by itself, but Qt tells a hidden widget of its new
    // size only when it is shown: an owner that places a hidden surface and draws on it at
    // once (a pop-up drawn before it shows) calls this first.
    void syncBackStore();

protected:
    // Draws the region's contents into hdc(). The default fills it with the base colour.
    virtual void paintInvalid(const QRegion& region);
    void paintEvent(QPaintEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;

private:
    void onDrawn(const QRect& device);
    void flushDirty();
    void runPaintInvalid();

    QImage store_;
    std::shared_ptr<QImage> room_;  // the pixels store_ views, as large as the surface has been
    HandleId hdc_ = 0;
    QRegion invalid_;
    QRect dirty_;           // drawn but not yet copied to the screen
    bool flushPosted_ = false;
    bool inPaint_ = false;
};

} // namespace tv
