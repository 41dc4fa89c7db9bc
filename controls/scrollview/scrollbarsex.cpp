#include "scrollbarsex.h"

#include "scrollbarstyle.h"

#include <QApplication>
#include <QCursor>
#include <QMouseEvent>
#include <QScrollBar>
#include <QStyle>
#include <QToolTip>

namespace vantile {

namespace {
// Raises ScrollBegin and ScrollEnd around each mouse action on a bar.
class PressWatcher : public QObject {
public:
    PressWatcher(ScrollbarsEx* pair, int which, QObject* parent) : QObject(parent), pair_(pair), which_(which) {}
    bool eventFilter(QObject*, QEvent* e) override
    {
        if (e->type() == QEvent::MouseButtonPress) pair_->ScrollBegin.raise(int16_t(which_));
        if (e->type() == QEvent::MouseButtonRelease) pair_->ScrollEnd.raise(int16_t(which_));
        return false;
    }

private:
    ScrollbarsEx* pair_;
    int which_;
};
} // namespace

ScrollBarEx::ScrollBarEx(ScrollbarsEx* pair, int which, QWidget* host)
    : pair_(pair), which_(which), bar_(new QScrollBar(which ? Qt::Vertical : Qt::Horizontal, host))
{
    bar_->setFocusPolicy(Qt::NoFocus);
    if (QStyle* style = ScrollBarStyle()) bar_->setStyle(style);
    bar_->hide();
    bar_->installEventFilter(new PressWatcher(pair, which, bar_));
    QObject::connect(bar_, &QScrollBar::valueChanged, bar_, [this](int v) {
        if (syncing_) return;
        if (bar_->isSliderDown())
            track(v, ThumbTrackProgress);
        else
            applyValue(v, false);
    });
    QObject::connect(bar_, &QScrollBar::sliderPressed, bar_, [this] {
        trackPending_ = -1;
        track(value_, ThumbTrackBegin);
    });
    QObject::connect(bar_, &QScrollBar::sliderReleased, bar_, [this] {
        const int32_t pending = trackPending_;
        track(bar_->sliderPosition(), ThumbTrackDone);
        QToolTip::hideText();
        if (pending >= 0) applyValue(pending, false);
        trackPending_ = -1;
    });
    syncWidget();
}

ScrollBarEx::~ScrollBarEx() { delete bar_; }

void ScrollBarEx::syncWidget()
{
    syncing_ = true;
    bar_->setRange(min_, highestValue());
    bar_->setPageStep(std::max(1, page_));
    bar_->setSingleStep(std::max(1, step_));
    if (!bar_->isSliderDown()) bar_->setValue(value_);
    bar_->setEnabled(!disabled_);
    syncing_ = false;
    if (isShown() != wasShown_) {
        wasShown_ = isShown();
        bar_->setVisible(wasShown_);
        if (pair_->LayoutChanged) pair_->LayoutChanged();
    }
}

void ScrollBarEx::SetRange(int32_t min, int32_t max, int32_t page)
{
    min_ = min;
    max_ = max;
    page_ = std::max(0, page);
    syncWidget();
    applyValue(value_, false);   // the value may have to come back into the new range
}

void ScrollBarEx::setSingleStep(int32_t step)
{
    step_ = std::max(1, step);
    syncWidget();
}

void ScrollBarEx::setDisableScrollBar(bool off)
{
    disabled_ = off;
    syncWidget();
}

void ScrollBarEx::applyValue(int32_t v, bool thumbTrack)
{
    const int32_t clamped = std::clamp(v, min_, highestValue());
    if (clamped == value_) {
        syncWidget();
        return;
    }
    const int32_t change = clamped - value_;
    value_ = clamped;
    syncWidget();
    int32_t value = clamped;
    pair_->Changed.raise(int32_t(which_), value, change, thumbTrack);
}

void ScrollBarEx::track(int32_t v, int32_t state)
{
    QString tip;
    bool cancelUpdate = false;
    pair_->ThumbTrack.raise(int32_t(which_), v, state, tip, cancelUpdate);
    if (!tip.isEmpty()) QToolTip::showText(QCursor::pos(), tip, bar_);
    if (state != ThumbTrackProgress) return;
    if (cancelUpdate)
        trackPending_ = v;
    else
        applyValue(v, true);
}

void ScrollBarEx::MoveThumb(int32_t motion)
{
    switch (motion) {
    case sbLineUp: applyValue(value_ - step_, false); break;
    case sbLineDown: applyValue(value_ + step_, false); break;
    case sbPageUp: applyValue(value_ - std::max(1, page_), false); break;
    case sbPageDown: applyValue(value_ + std::max(1, page_), false); break;
    case sbTop: applyValue(min_, false); break;
    case sbBottom: applyValue(max_, false); break;
    default: break;
    }
}

ScrollbarsEx::ScrollbarsEx() = default;
ScrollbarsEx::~ScrollbarsEx() = default;

void ScrollbarsEx::Setup(QWidget* host, int32_t style)
{
    style_ = style;
    bars_[0].reset();
    bars_[1].reset();
    if (style < 0 || !host) return;
    if (style == sbStyleHorz || style == sbStyleBoth) bars_[0] = std::make_unique<ScrollBarEx>(this, 0, host);
    if (style == sbStyleVert || style == sbStyleBoth) bars_[1] = std::make_unique<ScrollBarEx>(this, 1, host);
}

ScrollBarEx* ScrollbarsEx::Item(int n) const
{
    return n == 0 || n == 1 ? bars_[n].get() : nullptr;
}

void ScrollbarsEx::HandleEvent(uint32_t uMsg, int32_t wParam)
{
    ScrollBarEx* bar = Item(uMsg == 276 ? 0 : uMsg == 277 ? 1 : -1);
    if (!bar) return;
    const int32_t code = wParam & 0xFFFF;
    const int32_t pos = int16_t(uint32_t(wParam) >> 16);
    switch (code) {
    case SB_THUMBPOSITION: bar->applyValue(pos, false); break;
    case SB_THUMBTRACK: bar->track(pos, ThumbTrackProgress); break;
    case SB_ENDSCROLL: ScrollEnd.raise(int16_t(bar->which())); break;
    default: bar->MoveThumb(code); break;
    }
}

int ScrollbarsEx::wheelLines() const { return std::max(1, QApplication::wheelScrollLines()); }

void ScrollbarsEx::HandleMouseWheelEvent(int32_t wParam)
{
    ScrollBarEx* bar = Item(1) ? Item(1) : Item(0);
    if (!bar) return;
    const int delta = int16_t(uint32_t(wParam) >> 16);
    wheelAccum_ += delta * wheelLines();
    const int lines = wheelAccum_ / 120;
    wheelAccum_ -= lines * 120;
    if (lines != 0) bar->applyValue(bar->Value() - lines * bar->SingleStep(), false);
}

} // namespace vantile
