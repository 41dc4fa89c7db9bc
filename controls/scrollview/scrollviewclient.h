#pragma once

// The client area of a ScrollView: the owner-drawn surface the host paints on. It hands its
// paint, input, focus and resize events to its control.

#include "platform/gui/surface.h"

namespace vantile {

class ScrollView;

class ScrollViewClient : public tv::OwnerDrawSurface {
public:
    explicit ScrollViewClient(ScrollView* view);
    // Moves the keyboard focus to the next (or previous) control of the window.
    void moveFocus(bool next) { QWidget::focusNextPrevChild(next); }

protected:
    void paintInvalid(const QRegion& region) override;
    void resizeEvent(QResizeEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void mouseDoubleClickEvent(QMouseEvent* e) override;
    void wheelEvent(QWheelEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void keyReleaseEvent(QKeyEvent* e) override;
    void focusInEvent(QFocusEvent* e) override;
    void focusOutEvent(QFocusEvent* e) override;
    void leaveEvent(QEvent* e) override;
    // Tab first reaches the host's KeyDown; a Tab the host leaves alone moves the focus on.
    bool focusNextPrevChild(bool) override { return false; }

private:
    ScrollView* view_;
};

} // namespace vantile
