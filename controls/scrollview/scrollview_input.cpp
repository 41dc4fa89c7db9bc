// ScrollView: mouse and keys handed to the host, dragging, panning, hover and the client
// area's event handlers.

#include "controls/scrollview/scrollview.h"
#include "controls/scrollview/popupwnd.h"
#include "controls/scrollview/scrollviewclient.h"
#include "platform/gui/keys.h"
#include "platform/gui/subclasser.h"
#include "platform/gui/wnd.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWheelEvent>

namespace vantile {

ScrollViewClient::ScrollViewClient(ScrollView* view) : tv::OwnerDrawSurface(view), view_(view)
{
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(true);
}

void ScrollViewClient::paintInvalid(const QRegion& region) { view_->onPaint(region); }

void ScrollViewClient::resizeEvent(QResizeEvent* e)
{
    tv::OwnerDrawSurface::resizeEvent(e);
    view_->onClientResize();
}

void ScrollViewClient::mousePressEvent(QMouseEvent* e) { view_->onMousePress(e); }
void ScrollViewClient::mouseMoveEvent(QMouseEvent* e) { view_->onMouseMove(e); }
void ScrollViewClient::mouseReleaseEvent(QMouseEvent* e) { view_->onMouseRelease(e); }
void ScrollViewClient::mouseDoubleClickEvent(QMouseEvent*) { view_->DblClick.raise(); }
void ScrollViewClient::wheelEvent(QWheelEvent* e) { view_->onWheel(e); }
void ScrollViewClient::keyPressEvent(QKeyEvent* e) { view_->onKey(e, true); }
void ScrollViewClient::keyReleaseEvent(QKeyEvent* e) { view_->onKey(e, false); }
void ScrollViewClient::focusInEvent(QFocusEvent*) { view_->onFocus(true); }
void ScrollViewClient::focusOutEvent(QFocusEvent*) { view_->onFocus(false); }
void ScrollViewClient::leaveEvent(QEvent*) { view_->stopHoverTracking(); }

namespace {
int16_t buttonOf(const QMouseEvent* e) { return int16_t(tv::ButtonMaskOf(e->button())); }
int16_t heldButtons(const QMouseEvent* e) { return int16_t(tv::ButtonMaskOf(e->buttons())); }
int16_t shiftOf(const QInputEvent* e) { return int16_t(tv::ShiftMaskOf(e->modifiers())); }
} // namespace

void ScrollView::takeFocus()
{
    if (!HasFocus()) client_->setFocus(Qt::MouseFocusReason);
}

void ScrollView::onFocus(bool in)
{
    FocusChanged.raise(in);
    if (options_ != 0) return;
    if (in) {
        paintLoop(-1, -1, 0, 0, false);
    } else {
        client_->invalidate(updateRgn_ ? *tv::RegionOf(updateRgn_) : QRegion(client_->rect()));
    }
}

void ScrollView::onMousePress(QMouseEvent* e)
{
    hideToolTip();
    const QPoint p = e->position().toPoint();
    int16_t shift = shiftOf(e);
    MouseDown.raise(buttonOf(e), shift, p.x(), p.y());
    takeFocus();
    if (e->button() == Qt::LeftButton) {
        // Whether a drag begins is known once the mouse leaves the drag distance or the
        // button comes up; until then no move reaches the host.
        dragPending_ = true;
        pressPoint_ = p;
        pressShift_ = shift;
    }
}

void ScrollView::onMouseMove(QMouseEvent* e)
{
    const QPoint p = e->position().toPoint();
    if (hoverTracking_ && !hoverActive_ && !(toolTip_ && toolTip_->isShown())) startHoverTracking();
    if (hoverActive_) hoverTimer_.setEnabled(true);   // the mouse moved: the hover time starts again
    if (dragPending_) {
        if ((p - pressPoint_).manhattanLength() < QApplication::startDragDistance()) return;
        dragPending_ = false;
        dragStep(DragStart, pressShift_, pressPoint_.x(), pressPoint_.y());
        if (!dragging_) return;
    }
    if (dragging_) {
        dragStep(DragProgress, shiftOf(e), p.x(), p.y());
        return;
    }
    int16_t shift = shiftOf(e);
    MouseMove.raise(heldButtons(e), shift, p.x(), p.y());
}

void ScrollView::onMouseRelease(QMouseEvent* e)
{
    const QPoint p = e->position().toPoint();
    int16_t shift = shiftOf(e);
    if (dragPending_) {
        // No drag: the left click ends here.
        dragPending_ = false;
        MouseUp.raise(buttonOf(e), shift, p.x(), p.y());
        if (client_->rect().contains(p)) Click.raise();
        return;
    }
    if (dragging_) {
        dragStep(DragEnd, shift, p.x(), p.y());
        return;
    }
    MouseUp.raise(buttonOf(e), shift, p.x(), p.y());
}

void ScrollView::dragStep(int32_t state, int16_t shift, int32_t x, int32_t y)
{
    bool cancel = false;
    MouseDrag.raise(state, shift, x, y, cancel);
    dragging_ = state == DragEnd ? false : !cancel;
    if (dragging_)
        tv::SetCapture(hwnd());
    else if (tv::GetCapture() == hwnd())
        tv::ReleaseCapture();
}

void ScrollView::onWheel(QWheelEvent* e)
{
    const int delta = e->angleDelta().y() != 0 ? e->angleDelta().y() : e->angleDelta().x();
    if (bars_ && bars_->Style() != sbStyleNone) {
        bars_->HandleMouseWheelEvent(tv::MakeLong(tv::KeyStateOf(e->buttons(), e->modifiers()), delta));
    } else {
        // One row per notch, forward moves up; fine deltas add up until they make a row.
        wheelAccum_ += delta;
        const int rows = wheelAccum_ / 120;
        wheelAccum_ -= rows * 120;
        if (rows != 0) setFirstVisibleItem(FirstVisibleItem() - rows);
    }
    e->accept();
}

void ScrollView::onKey(QKeyEvent* e, bool down)
{
    int16_t code = int16_t(tv::VirtualKeyOf(e));
    int16_t shift = shiftOf(e);
    if (down) {
        hideToolTip();
        KeyDown.raise(code, shift);
        // Return and Escape that no handler took belong to the window: its default button,
        // or closing a dialog. The surface would otherwise keep them from it.
        if ((code == tv::VK_RETURN || code == tv::VK_ESCAPE) && shift == 0) e->ignore();
        // Tab and Shift+Tab go on to the window's next control unless the host took the key
        // (or its handler moved the focus away already).
        if (code == tv::VK_TAB && (shift & ~1) == 0 && client_->hasFocus()) {
            client_->moveFocus(!(shift & 1));
            return;
        }
        const QString text = e->text();
        if (!text.isEmpty()) {
            int16_t ascii = int16_t(text.at(0).unicode());
            KeyPress.raise(ascii);
        }
    } else {
        KeyUp.raise(code, shift);
    }
}

// ---- hover --------------------------------------------------------------------------------

void ScrollView::startHoverTracking()
{
    hoverActive_ = true;
    hoverTimer_.setEnabled(true);
}

void ScrollView::stopHoverTracking()
{
    hoverActive_ = false;
    hoverTimer_.setEnabled(false);
}

void ScrollView::onHover()
{
    stopHoverTracking();   // one notification per tracking, as the system sends it
    if (hoverTracking_ && !HasFocus()) return;
    hoverPoint_ = client_->mapFromGlobal(QCursor::pos());
    MouseHoverEx.raise(hoverPoint_.x(), hoverPoint_.y());
}

// ---- panning ------------------------------------------------------------------------------

int16_t ScrollView::Pan(int16_t direction, int32_t interval, int16_t panStep)
{
    const int16_t previous = panDirection_;
    if (direction < 0) return previous;
    panLimit_ = panStep;
    if (direction != panDirection_) {
        panDirection_ = direction;
        if (direction != PanStop && !panTimer_) {
            panStep_ = 1;
            panTimer_ = std::make_unique<tv::SysTimer>();
            panTimer_->setInterval(interval);
            panTimer_->Timer.connect([this] { panTick(); });
            panTimer_->setEnabled(true);
        }
    }
    return previous;
}

void ScrollView::panTick()
{
    const int32_t delta = (panDirection_ % 2 == 1) ? panStep_ : -panStep_;
    switch (panDirection_) {
    case PanStop:
        panStep_ = 1;
        panTimer_.reset();   // released inside its own tick: the timer copes
        return;
    case PanRowsForward:
    case PanRowsBack: {
        const int32_t old = FirstVisibleItem();
        setFirstVisibleItem(old + delta);
        if (FirstVisibleItem() == old) panDirection_ = PanStop;
        break;
    }
    case PanOriginForward:
    case PanOriginBack: {
        const int32_t old = HorizontalOrigin();
        setHorizontalOrigin(old + delta);
        if (HorizontalOrigin() == old) panDirection_ = PanStop;
        break;
    }
    default: break;
    }
    if (panStep_ < panLimit_)
        ++panStep_;
    else if (panStep_ > panLimit_)
        --panStep_;
}

} // namespace vantile
