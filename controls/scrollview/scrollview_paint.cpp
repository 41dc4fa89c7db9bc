// ScrollView: the paint loop, the update region, the erase routine and row rectangles.

#include "controls/scrollview/scrollview.h"
#include "controls/scrollview/scrollviewclient.h"
#include "platform/gui/ddbitmap.h"
#include "platform/gui/dc.h"

namespace vantile {

void ScrollView::addToUpdateRegion(const QRegion& r)
{
    if (!updateRgn_) updateRgn_ = tv::CreateRegion(QRegion());
    *tv::RegionOf(updateRgn_) |= r;
}

void ScrollView::deleteUpdateRegion()
{
    if (updateRgn_) tv::DeleteObject(updateRgn_);
    updateRgn_ = 0;
}

void ScrollView::Invalidate(int32_t x1, int32_t y1, int32_t x2, int32_t y2)
{
    addToUpdateRegion(QRegion(tv::Rect{x1, y1, x2, y2}.toQRect()));
}

void ScrollView::Validate(int32_t x1, int32_t y1, int32_t x2, int32_t y2)
{
    if (updateRgn_) *tv::RegionOf(updateRgn_) -= QRegion(tv::Rect{x1, y1, x2, y2}.toQRect());
}

void ScrollView::onPaint(const QRegion& invalid)
{
    addToUpdateRegion(invalid);
    paintLoop(-1, -1, 0, 0, true);
}

void ScrollView::paintLoop(int32_t start, int32_t end, int32_t tagMask, tv::HandleId dc, bool withRegion)
{
    if (start == -1) start = FirstVisibleItem();
    if (end == -1) end = LastVisibleItem();
    if (dc == 0) dc = hdc();
    int16_t action = 0;
    const tv::HandleId region = withRegion ? updateRgn_ : 0;
    taggedPaint_ = !region && tagMask != 0;
    BeforeDraw.raise(start, end, action, dc);
    if (action == -1) {   // the host paints by itself; the update region stays
        taggedPaint_ = false;
        return;
    }
    if (region) tv::SelectClipRgn(dc, region);
    if (fixedTop_ != 0 || fixedBottom_ != 0)
        tv::IntersectClipRect(dc, 0, fixedTop_, ScaleWidth(), fixedTop_ + ScrollAreaHeight());
    if (action != 0) {
        QPoint old;
        tv::SetViewportOrgEx(dc, -HorizontalOrigin(), 0, &old);
        int32_t l, t, r, b;
        GetItemRectEx(start, end, l, t, r, b, false);
        Draw.raise(0, 0, r, b);
        tv::SetViewportOrgEx(dc, old.x(), old.y());
    } else if (itemCount_ >= 1) {
        const int32_t width = ScaleWidth();
        int32_t top = fixedTop_ + rowHeight_ * (start - FirstVisibleItem());
        for (int32_t i = start; i <= end && i < itemCount_; ++i) {
            const int32_t bottom = top + rowHeight_;
            const int32_t tag = i >= 0 ? tags_[size_t(i)] : 0;
            const bool draw = region ? tv::RectInRegion(region, {0, top, width, bottom}) : (tag & tagMask) == tagMask;
            if (draw) DrawRow.raise(i, int16_t(tag), 0, top, width - 1, bottom - 1, dc);
            top = bottom;
        }
    }
    eraseRoutine(dc);
    tv::SelectClipRgn(dc, 0);
    deleteUpdateRegion();
    taggedPaint_ = false;
    AfterDraw.raise();
}

void ScrollView::eraseRoutine(tv::HandleId dc)
{
    bool cancel = false;
    EraseBackground.raise(dc, cancel);
    int16_t state = 0;
    if (!cancel) {
        state = 3;
        EraseBackgroundEx.raise(dc, state);
    }
    if (state < 1) return;
    const tv::HandleId brush = BackBrush();
    if (state & 1) {
        const int32_t d = contentsWidth_ - HorizontalOrigin();
        if (d < ScrollAreaWidth())
            tv::FillRect(dc, {fixedLeft_ + d, fixedTop_, ScaleWidth() - fixedRight_, ScaleHeight()}, brush);
    }
    if (state & 2) {
        const int32_t e = rowHeight_ * itemCount_ - rowHeight_ * FirstVisibleItem();
        if (e < ScrollAreaHeight())
            tv::FillRect(dc, {0, fixedTop_ + e, ScaleWidth(), fixedTop_ + ScrollAreaHeight()}, brush);
    }
}

void ScrollView::RedrawItems(int32_t startIndex, int32_t endIndex, int32_t tagMask, tv::HandleId dc, bool)
{
    if (startIndex != -1 && endIndex != -1) {
        if (startIndex == endIndex) {
            if (!IsVisible(startIndex)) return;
        } else {
            startIndex = std::max(startIndex, FirstVisibleItem());
            endIndex = std::min(endIndex, LastVisibleItem());
        }
    }
    paintLoop(startIndex, endIndex, tagMask, dc, true);
}

void ScrollView::Clear()
{
    const QPoint org = tv::GetViewportOrg(hdc());
    tv::FillRect(hdc(), {-org.x(), 0, ScaleWidth() - org.x(), ScaleHeight()}, BackBrush());
}

int32_t ScrollView::HitTest(int32_t yPos)
{
    const int32_t i = (yPos - fixedTop_) / rowHeight_ + FirstVisibleItem();
    return i < itemCount_ ? i : -1;
}

void ScrollView::GetItemRect(int32_t startIndex, int32_t& left, int32_t& top, int32_t& right, int32_t& bottom,
                             bool boundsRect)
{
    GetItemRectEx(startIndex, -1, left, top, right, bottom, boundsRect);
}

void ScrollView::GetItemRectEx(int32_t startIndex, int32_t endIndex, int32_t& left, int32_t& top, int32_t& right,
                               int32_t& bottom, bool boundsRect)
{
    if (endIndex == -1) endIndex = startIndex;
    const int32_t cut = boundsRect ? 0 : 1;
    left = 0;
    top = fixedTop_ + rowHeight_ * (startIndex - FirstVisibleItem());
    right = contentsWidth_ - cut;
    bottom = top + rowHeight_ * (endIndex - startIndex + 1) - cut;
}

tv::PicturePtr ScrollView::Picture()
{
    tv::DDBitmap bmp(ScaleWidth(), ScaleHeight());
    tv::SelectObject(bmp.hdc(), hFont_->Handle());
    tv::SetTextColor(bmp.hdc(), tv::TranslateOleColor(foreColor_));
    paintLoop(-1, -1, 0, bmp.hdc(), false);
    tv::SelectObject(bmp.hdc(), tv::GetStockGuiFont());
    return bmp.Picture();
}

} // namespace vantile
