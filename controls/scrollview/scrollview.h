#pragma once

// ScrollView: the library's owner-drawn row surface. It shows equally high rows between four
// fixed margins, keeps a scroll-bar pair, and leaves every pixel of content to its host,
// which paints in the DrawRow event (or the whole visible range in Draw) through hdc(). It
// keeps no row content: a row count and one 32-bit tag per row.
//
// The control is a frame holding its client area (an owner-drawn surface whose back store
// plays the device context), the bars and the corner between them. Coordinates of its
// events and methods are client pixels. The host owns the control (a Qt parent); the
// control owns its bars, its pan timer and its tool tip.
//
// The control's own message handling (paint, erase, focus, scroll, wheel, hover) is done by
// overriding the client area's event handlers: it always runs in user mode.

#include "controls/scrollview/scrollbarsex.h"
#include "platform/component/event.h"
#include "platform/component/propertybag.h"
#include "platform/gui/gdiobject.h"
#include "platform/gui/modfont.h"
#include "platform/gui/picture.h"
#include "platform/gui/systimer.h"

#include <QFrame>
#include <QPointer>
#include <memory>
#include <vector>

namespace vantile {

enum DragStateEnum : int32_t { DragStart = 1, DragProgress = 2, DragEnd = 3 };
enum AppearanceConst : int32_t { ccFlat = 0, cc3D = 1 };
enum BorderStyleConst : int32_t { bsNone = 0, bsFixedSingle = 1 };
enum PanDirection : int16_t { PanStop = 0, PanRowsForward = 1, PanRowsBack = 2, PanOriginForward = 3, PanOriginBack = 4 };

class ScrollViewClient;
class ToolTipWnd;

class ScrollView : public QFrame {
    Q_OBJECT
public:
    explicit ScrollView(QWidget* parent = nullptr);
    ~ScrollView() override;

    // ---- persistence ------------------------------------------------------------------
    // Fresh defaults of a newly placed control (no scroll-bar pair is built).
    void InitProperties();
    void ReadProperties(const tv::PropertyBag& bag);
    void WriteProperties(tv::PropertyBag& bag) const;

    // ---- properties -------------------------------------------------------------------
    tv::HandleId hdc() const;
    tv::HandleId hwnd() const;
    uint32_t ForeColor() const { return foreColor_; }
    void setForeColor(uint32_t oleColor);
    uint32_t BackColor() const { return backColor_; }
    void setBackColor(uint32_t oleColor);
    tv::HandleId BackBrush() const { return backBrush_ ? backBrush_->Handle() : 0; }
    int32_t Appearance() const { return appearance_; }
    void setAppearance(int32_t v);
    int32_t BorderStyle() const { return borderStyle_; }
    void setBorderStyle(int32_t v);
    std::shared_ptr<tv::StdFont> Font() const { return font_; }
    void setFont(std::shared_ptr<tv::StdFont> font);

    int32_t VisibleRows();
    bool IntegralHeight() const;
    int32_t ScrollbarStyle() const { return scrollbarStyle_; }
    void setScrollbarStyle(int32_t style);
    bool DisableScrollBars() const { return disableScrollBars_; }
    void setDisableScrollBars(bool v);
    int32_t HorizontalOrigin() const;
    void setHorizontalOrigin(int32_t v);
    int32_t FirstVisibleItem() const;
    void setFirstVisibleItem(int32_t v);
    int32_t LastVisibleItem();
    void setLastVisibleItem(int32_t v);
    int32_t ItemCount() const { return itemCount_; }
    void setItemCount(int32_t n);
    // An index outside 0 .. ItemCount - 1 fails: *ok turns false (the value reads 0).
    int32_t ItemTag(int32_t index, bool* ok = nullptr) const;
    bool setItemTag(int32_t index, int32_t tag);
    int32_t RowHeight() const { return rowHeight_; }
    void setRowHeight(int32_t v);
    int32_t ColumnWidth() const { return columnWidth_; }
    void setColumnWidth(int32_t v);
    bool HasFocus() const;
    bool StretchMode() const { return stretchMode_; }
    void setStretchMode(bool v);
    tv::HandleId UpdateRgn() const { return updateRgn_; }
    // True while only rows marked by their tags are repainted: the rest of the surface stays.
    bool PaintingTaggedRows() const { return taggedPaint_; }
    int32_t FixedTopSize() const { return fixedTop_; }
    void setFixedTopSize(int32_t v) { fixedTop_ = v; }
    int32_t FixedBottomSize() const { return fixedBottom_; }
    void setFixedBottomSize(int32_t v) { fixedBottom_ = v; }
    int32_t FixedLeftSize() const { return fixedLeft_; }
    void setFixedLeftSize(int32_t v) { fixedLeft_ = v; }
    int32_t FixedRightSize() const { return fixedRight_; }
    void setFixedRightSize(int32_t v) { fixedRight_ = v; }
    int32_t ScaleWidth() const;
    int32_t ScaleHeight() const;
    int32_t ScrollAreaWidth() const { return ScaleWidth() - fixedRight_ - fixedLeft_; }
    int32_t ScrollAreaHeight() const { return ScaleHeight() - fixedTop_ - fixedBottom_; }
    int32_t VirtualWidth() const { return virtualWidth_; }
    void setVirtualWidth(int32_t v);
    int32_t ContentsWidth() const { return contentsWidth_; }
    void setContentsWidth(int32_t v) { contentsWidth_ = v; }
    int32_t BorderWidth() const { return borderWidth_; }
    void setBorderWidth(int32_t v);
    // A snapshot: all visible rows painted into a bitmap of the client's size.
    tv::PicturePtr Picture();
    bool HoverTracking() const { return hoverTracking_; }
    void setHoverTracking(bool v);

    // ---- methods ----------------------------------------------------------------------
    void Refresh();
    bool IsVisible(int32_t index);
    void MoveThumb(int32_t scrollbar, int32_t motion);
    int32_t InsertItems(int32_t count, int32_t startIndex = -1);
    // A start or count beyond the rows fails: *ok turns false and nothing changes.
    int32_t RemoveItems(int32_t count, int32_t startIndex, bool* ok = nullptr);
    void EnsureVisible(int32_t startIndex, int32_t endIndex = -1, bool partialItemOK = false);
    void SetScrollbarStep(int32_t vertStep = 1, int32_t horizStep = 1);
    int32_t HitTest(int32_t yPos);
    void RedrawItems(int32_t startIndex = -1, int32_t endIndex = -1, int32_t tagMask = 0, tv::HandleId hdc = 0,
                     bool eraseBkGround = false);
    void Clear();
    void GetItemRect(int32_t startIndex, int32_t& left, int32_t& top, int32_t& right, int32_t& bottom,
                     bool boundsRect = false);
    void GetItemRectEx(int32_t startIndex, int32_t endIndex, int32_t& left, int32_t& top, int32_t& right,
                       int32_t& bottom, bool boundsRect = false);
    int32_t TextWidth(const QString& text) const;
    int32_t ScrollEx(int32_t dx, int32_t dy, int32_t posx = 0, int32_t posy = 0, int32_t w = -1, int32_t h = -1,
                     tv::HandleId hdcDest = 0);
    void Invalidate(int32_t x1, int32_t y1, int32_t x2, int32_t y2);
    void Validate(int32_t x1, int32_t y1, int32_t x2, int32_t y2);
    void SetHorizontalExt(int32_t newContentsWidth, int32_t newBorderWidth = 0, bool updateScrollbars = true);
    // Returns the direction in force before the call; -1 only asks.
    int16_t Pan(int16_t direction = -1, int32_t interval = 10, int16_t panStep = 1);
    void SetOptions(int32_t options) { options_ = options; }
    int32_t Options() const { return options_; }
    // (px, py) and the hot area are client pixels.
    void ShowToolTip(int32_t px, int32_t py, int32_t pixelWidth, int32_t pixelHeight, int32_t hotAreaX,
                     int32_t hotAreaY, int32_t hotAreaWidth, int32_t hotAreaHeight, const QString& toolText,
                     int32_t fontStyle = 0);
    ToolTipWnd* toolTip() const;
    ScrollbarsEx* scrollbars() const { return bars_.get(); }

    // ---- events (arguments in their dispatch order; references are read back) --------
    tv::Event<int32_t /*Index*/, int16_t /*State*/, int32_t, int32_t, int32_t, int32_t, tv::HandleId> DrawRow;
    tv::Event<int32_t, int32_t, int32_t, int32_t> Draw;
    tv::Event<int32_t /*StartIndex*/, int32_t /*EndIndex*/, int16_t& /*Action*/, tv::HandleId> BeforeDraw;
    tv::Event<> AfterDraw;
    tv::Event<tv::HandleId, bool& /*Cancel*/> EraseBackground;
    tv::Event<tv::HandleId, int16_t& /*State*/> EraseBackgroundEx;
    tv::Event<int16_t& /*KeyCode*/, int16_t& /*Shift*/> KeyDown;
    tv::Event<int16_t&, int16_t&> KeyUp;
    tv::Event<int16_t& /*KeyAscii*/> KeyPress;
    tv::Event<int16_t /*Button*/, int16_t& /*Shift*/, int32_t, int32_t> MouseDown;
    tv::Event<int16_t, int16_t&, int32_t, int32_t> MouseUp;
    tv::Event<int16_t, int16_t&, int32_t, int32_t> MouseMove;
    tv::Event<> DblClick;
    tv::Event<> Click;
    tv::Event<bool /*Hovering*/, int32_t, int32_t> MouseHover;   // never raised
    tv::Event<int32_t /*State*/, int16_t /*Shift*/, int32_t, int32_t, bool& /*Cancel*/> MouseDrag;
    tv::Event<int32_t, int32_t> MouseHoverEx;
    tv::Event<int32_t /*Scrollbar*/, int32_t& /*Value*/, int32_t /*Change*/, bool /*ThumbTrack*/> Scroll;
    tv::Event<int32_t, int32_t, int32_t /*State*/, QString& /*Tip*/, bool& /*CancelUpdate*/> ScrollTrack;
    tv::Event<int32_t, int32_t, QString&> ScrollTip;   // never raised
    tv::Event<int16_t> ScrollBegin;
    tv::Event<int16_t> ScrollEnd;
    tv::Event<> FirstVisibleChanged;
    tv::Event<> Resize;
    tv::Event<bool> FocusChanged;
    // The container is told that a persisted property (or StretchMode) changed.
    tv::Event<QString> PropertyChanged;

    // Tests: the hover timer and drag state.
    tv::SysTimer& hoverTimer() { return hoverTimer_; }
    bool isDragging() const { return dragging_; }
    bool isHoverTracking() const { return hoverActive_; }

protected:
    void resizeEvent(QResizeEvent* e) override;

private:
    friend class ScrollViewClient;

    // painting
    void paintLoop(int32_t start, int32_t end, int32_t tagMask, tv::HandleId hdc, bool withRegion);
    void eraseRoutine(tv::HandleId hdc);
    void addToUpdateRegion(const QRegion& r);
    void deleteUpdateRegion();
    void onPaint(const QRegion& invalid);
    // geometry and scrolling
    void updateScrollbars();
    void scrollRoutine(int32_t bar, int32_t& value, int32_t change, bool thumbTrack);
    void applyCount();
    void layoutChildren();
    void onClientResize();
    // input
    void onMousePress(QMouseEvent* e);
    void onMouseMove(QMouseEvent* e);
    void onMouseRelease(QMouseEvent* e);
    void onWheel(QWheelEvent* e);
    void onKey(QKeyEvent* e, bool down);
    void onFocus(bool in);
    void dragStep(int32_t state, int16_t shift, int32_t x, int32_t y);
    void takeFocus();
    void startHoverTracking();
    void stopHoverTracking();
    void onHover();
    void panTick();
    void hideToolTip();
    void changed(const char* property);
    void applyFrame();
    void applyFont();

    ScrollViewClient* client_;
    QWidget* corner_;
    std::unique_ptr<ScrollbarsEx> bars_;

    int32_t fixedLeft_ = 0, fixedRight_ = 0, fixedTop_ = 0, fixedBottom_ = 0;
    int32_t virtualWidth_ = 0, contentsWidth_ = 0, borderWidth_ = 0;
    int32_t rowHeight_ = 16, columnWidth_ = 4;
    tv::HandleId updateRgn_ = 0;
    bool stretchMode_ = false;
    int32_t itemCount_ = 0;
    std::vector<int32_t> tags_;
    int32_t scrollbarStyle_ = sbStyleNone;
    bool hoverTracking_ = false;
    tv::GdiObjectPtr backBrush_;
    QPoint hoverPoint_;
    bool disableScrollBars_ = false;
    int32_t firstVisible_ = 0;   // without a vertical bar
    int16_t panDirection_ = 0, panLimit_ = 1, panStep_ = 1;
    int32_t options_ = 0;
    bool integral_ = false;
    bool dragging_ = false;
    bool inScroll_ = false;
    bool taggedPaint_ = false;
    std::unique_ptr<tv::SysTimer> panTimer_;
    QPointer<ToolTipWnd> toolTip_;

    uint32_t foreColor_ = 0x80000008, backColor_ = 0x80000005;
    int32_t appearance_ = cc3D, borderStyle_ = bsFixedSingle;
    std::shared_ptr<tv::StdFont> font_;
    tv::GdiObjectPtr hFont_;
    bool dragPending_ = false;
    QPoint pressPoint_;
    int16_t pressShift_ = 0;
    bool hoverActive_ = false;
    tv::SysTimer hoverTimer_;
    int wheelAccum_ = 0;
    bool inLayout_ = false;
};

} // namespace vantile
