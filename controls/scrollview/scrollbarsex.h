#pragma once

// ScrollbarsEx: the scroll-bar pair of an owner-drawn control. The pair places up to two
// QScrollBars on its host widget and keeps the values itself: a range, a page and a value
// clamped to [min, max - page + 1]. A bar whose whole range fits in its page is hidden (the
// host's layout then gives its room to the client area); the host asks isShown() when it
// lays out and is told through LayoutChanged.
//
// User input on the bars (arrows, page clicks, thumb dragging, the wheel) and the host's
// own calls end in one place, setValue, which raises Changed. Owned by its host control,
// created by its ScrollbarStyle; its QScrollBars are children of the host.

#include "platform/component/event.h"

#include <QString>
#include <cstdint>
#include <functional>
#include <memory>

class QScrollBar;
class QWidget;

namespace vantile {

enum ScrollbarStyleConst : int32_t { sbStyleNone = -1, sbStyleHorz = 0, sbStyleVert = 1, sbStyleBoth = 3 };
enum ScrollbarMotionConst : int32_t {
    sbLineUp = 0, sbLineDown = 1, sbPageUp = 2, sbPageDown = 3, sbTop = 6, sbBottom = 7,
    sbLineLeft = 0, sbLineRight = 1, sbPageLeft = 2, sbPageRight = 3, sbLeft = 6, sbRight = 7,
};
enum TrackStateConst : int32_t { ThumbTrackBegin = 1, ThumbTrackProgress = 2, ThumbTrackDone = 3 };

// Codes of the scroll messages' first parameter (low word; the high word carries the thumb
// position for the two thumb codes).
enum ScrollCode : int32_t {
    SB_LINEUP = 0, SB_LINEDOWN = 1, SB_PAGEUP = 2, SB_PAGEDOWN = 3, SB_THUMBPOSITION = 4,
    SB_THUMBTRACK = 5, SB_TOP = 6, SB_BOTTOM = 7, SB_ENDSCROLL = 8,
};

class ScrollbarsEx;

class ScrollBarEx {
public:
    ScrollBarEx(ScrollbarsEx* pair, int which, QWidget* host);
    ~ScrollBarEx();
    ScrollBarEx(const ScrollBarEx&) = delete;
    ScrollBarEx& operator=(const ScrollBarEx&) = delete;

    int which() const { return which_; }   // 0 horizontal, 1 vertical
    int32_t Value() const { return value_; }
    // Clamps to [min, max - page + 1]; a change raises the pair's Changed.
    void setValue(int32_t v) { applyValue(v, false); }
    void SetRange(int32_t min, int32_t max, int32_t page);
    int32_t Min() const { return min_; }
    int32_t Max() const { return max_; }
    int32_t Page() const { return page_; }
    int32_t SingleStep() const { return step_; }
    void setSingleStep(int32_t step);
    bool DisableScrollBar() const { return disabled_; }
    void setDisableScrollBar(bool off);
    void MoveThumb(int32_t motion);
    // Whether the bar takes room: its range is larger than its page.
    bool isShown() const { return max_ - min_ + 1 > page_ && max_ >= min_; }
    QScrollBar* widget() const { return bar_; }
    int32_t highestValue() const { return std::max(min_, max_ - page_ + 1); }

private:
    friend class ScrollbarsEx;
    void applyValue(int32_t v, bool thumbTrack);
    void track(int32_t v, int32_t state);
    void syncWidget();

    ScrollbarsEx* pair_;
    int which_;
    QScrollBar* bar_;
    int32_t min_ = 0, max_ = 0, page_ = 1, value_ = 0, step_ = 1;
    bool disabled_ = false;
    bool syncing_ = false;
    bool wasShown_ = false;
    int32_t trackPending_ = -1;   // a tracked position whose update the handler held back
};

class ScrollbarsEx {
public:
    ScrollbarsEx();
    ~ScrollbarsEx();
    ScrollbarsEx(const ScrollbarsEx&) = delete;
    ScrollbarsEx& operator=(const ScrollbarsEx&) = delete;

    // Style -1: no bars; 0 horizontal, 1 vertical, 3 both, placed on host.
    void Setup(QWidget* host, int32_t style);
    int32_t Style() const { return style_; }
    // The horizontal bar for 0, the vertical for 1; nullptr when that bar does not exist.
    ScrollBarEx* Item(int n) const;
    // A scroll message (276 horizontal, 277 vertical) with its code and thumb position.
    void HandleEvent(uint32_t uMsg, int32_t wParam);
    // A wheel message: only the signed high word counts (the low word's key state bits do
    // not change the step); deltas below a notch add up until they make a line.
    void HandleMouseWheelEvent(int32_t wParam);
    // Lines per wheel notch.
    int wheelLines() const;

    tv::Event<int32_t /*Scrollbar*/, int32_t& /*Value*/, int32_t /*Change*/, bool /*ThumbTrack*/> Changed;
    tv::Event<int32_t, int32_t /*Value*/, int32_t /*State*/, QString& /*Tip*/, bool& /*CancelUpdate*/> ThumbTrack;
    tv::Event<int16_t> ScrollBegin;
    tv::Event<int16_t> ScrollEnd;
    // A bar appeared or went: the host lays out again.
    std::function<void()> LayoutChanged;

private:
    friend class ScrollBarEx;
    int32_t style_ = sbStyleNone;
    std::unique_ptr<ScrollBarEx> bars_[2];
    int wheelAccum_ = 0;
};

} // namespace vantile
