// ListView: column groups on the inner view's margins, horizontal scrolling and snapping,
// autosizing columns.

#include "listview.h"

#include "column.h"
#include "columngroup.h"
#include "platform/gui/dc.h"
#include "platform/gui/textedge.h"

#include <cmath>

namespace vantile {

void ListView::updateLayout(bool redraw, bool updateScrollbars)
{
    const auto left = columns_->Groups(vtlGrpLeft);
    const auto center = columns_->Groups(vtlGrpCenter);
    const auto right = columns_->Groups(vtlGrpRight);
    const int32_t l = left->Width();
    left->SetPosition(0);
    left->SetScrollOffset(0);
    center->SetPosition(l);
    center->SetScrollOffset(-sv_->HorizontalOrigin());
    const int32_t r = right->Width();
    right->SetPosition(std::max(sv_->ScaleWidth() - r, l - 1));
    right->SetScrollOffset(0);
    sv_->setFixedLeftSize(l);
    sv_->setFixedRightSize(r);
    sv_->setFixedTopSize(columns_->Headers()->Height());
    sv_->setFixedBottomSize(columns_->Footers()->Height());
    sv_->SetHorizontalExt(center->Width(), snapExtent(), updateScrollbars);
    center->SetScrollOffset(-sv_->HorizontalOrigin());
    sv_->setStretchMode(sv_->FixedBottomSize() > 0 || sv_->FixedRightSize() > 0);
    if (redraw) sv_->RedrawItems();
}

void ListView::updateMarqueeSpan()
{
    const int32_t n = columns_->Count();
    if (n < 1) return;
    auto shows = [](const std::shared_ptr<Column>& c) { return c && c->Hidden() == 0 && !c->HideSelection; };
    int32_t first = 0, last = n - 1, stop = n;
    for (int32_t i = 0; i < n; ++i)
        if (auto c = columns_->Item(i, true); shows(c)) {
            first = last = c->Index();   // a single showing column is both ends
            stop = i;
            break;
        }
    for (int32_t i = n - 1; i > stop; --i)
        if (auto c = columns_->Item(i, true); shows(c)) {
            last = c->Index();
            break;
        }
    marqueeFirst_ = first;
    marqueeLast_ = last;
}

void ListView::onLayoutChange()
{
    if (sizing_ || !autoRefresh_) return;
    updateMarqueeSpan();
    updateLayout(sv_->isVisible(), true);
}

int32_t ListView::snapExtent() const
{
    if (!snapMode_ || columns_->Count() == 0) return 0;
    const auto center = columns_->Groups(vtlGrpCenter);
    const auto last = center->LastVisible();
    if (!last) return 0;
    const int32_t area = sv_->ScrollAreaWidth();
    if (!minimizeUnusedArea_) return std::max(0, area - last->Width());
    // The view scrolls as far as the first column edge from which the rest fits: the origin's
    // last position is a column edge and no more area than that stays empty.
    const int32_t contents = center->Width();
    if (contents <= area) return 0;
    for (auto c = center->FirstVisible(); c; c = c->NextItem(true, true))
        if (contents - c->Left() <= area) return c->Left() + area - contents;
    return 0;
}

int32_t ListView::SnapPosition(int32_t pos, int32_t direction) const
{
    const auto center = columns_->Groups(vtlGrpCenter);
    auto column = center->HitTest(pos);
    if (!column) column = center->LastVisible();
    if (!column) return pos;
    const int32_t left = column->Left();
    if (pos == left) return left;
    int32_t result = left;
    if (direction == -1 || (direction == 1 && pos > left + column->Width() / 2)) result = left + column->Width();
    return result > center->Width() ? left : result;
}

void ListView::EnsureColumnVisible(int32_t index)
{
    const auto column = columns_->Item(index);
    if (!column || column->Fixed() != vtlFixedNone) return;
    const int32_t origin = sv_->HorizontalOrigin();
    const int32_t area = sv_->ScrollAreaWidth();
    if (column->Left() < origin)
        sv_->setHorizontalOrigin(column->Left());
    else if (column->Left() + column->Width() > origin + area)
        sv_->setHorizontalOrigin(std::max(0, column->Left() + column->Width() - area));
}

void ListView::onScroll(int32_t bar, int32_t& value, int32_t change, bool thumbTrack)
{
    if (bar != 0) {
        // Rows moved by the scroll keep their pixels, but a merged run shows its value in its
        // first row on screen, which the scroll may change: merged columns paint anew.
        if (mergedCount_ == 0 || std::abs(change) >= sv_->VisibleRows()) return;
        for (const PaintEntry& e : entries_)
            if (e.column->Merged)
                sv_->Invalidate(e.left, sv_->FixedTopSize(), e.right + 1, sv_->ScaleHeight() - sv_->FixedBottomSize());
        return;
    }
    if (!thumbTrack && snapMode_ && SnapPosition(value, 1) != value)
        value = SnapPosition(value, change > 0 ? -1 : 0);
    columns_->Groups(vtlGrpCenter)->SetScrollOffset(-value);
}

void ListView::onScrollTrack(int32_t bar, int32_t value, int32_t state, QString& tip, bool& cancelUpdate)
{
    if (ScrollTips) ScrollTip.raise(bar, value, tip);
    const bool done = state == 3;
    if (bar == 1) {
        if (!done && ScrollTrack != sbStyleBoth && ScrollTrack != sbStyleVert) cancelUpdate = true;
        return;
    }
    if (!done && ScrollTrack != sbStyleBoth && ScrollTrack != sbStyleHorz) {
        cancelUpdate = true;
        return;
    }
    if (!snapMode_) return;
    if (state == 1) {
        updateLayout(true, true);
    } else if (state == 2) {
        if (SmoothTracking) return;
        cancelUpdate = true;
        const int32_t f = SnapPosition(value, 1);
        if (f != sv_->HorizontalOrigin()) sv_->setHorizontalOrigin(f);
    } else if (SmoothTracking) {
        const int32_t f = SnapPosition(value, 1);
        if (f != sv_->HorizontalOrigin()) {
            cancelUpdate = true;
            sv_->setHorizontalOrigin(f);
        }
    } else {
        cancelUpdate = true;
    }
}

int32_t ListView::measureText(const QString& text, int32_t fontStyle)
{
    prepareBackBuffer();
    const tv::HandleId dc = backBuffer_->hdc();
    tv::SelectObject(dc, fontFor(fontStyle & 15));
    tv::Rect m{0, 0, 0, 0};
    tv::DrawText(dc, text, m, tv::DT_CALCRECT | tv::DT_SINGLELINE | tv::DT_NOPREFIX);
    return m.width();
}

bool ListView::AutoSizeColumn(int32_t column, int32_t mode)
{
    const int32_t n = columns_->Count();
    if (n == 0) return true;
    if (column != -1 && !columns_->Item(column)) return false;
    if (RowCount() > 0 && store_.isNull()) fetchRows(sv_->FirstVisibleItem(), sv_->LastVisibleItem());
    const int32_t firstIndex = column == -1 ? 0 : column;
    const int32_t lastIndex = column == -1 ? n - 1 : column;
    for (int32_t i = firstIndex; i <= lastIndex; ++i) {
        const auto c = columns_->Item(i);
        if (!c || c->Hidden() != 0) continue;
        int32_t w = 26;
        if (columns_->Headers()->Visible()) {
            const auto header = c->Header(0);
            const QString caption = header ? header->Text : QString();
            w = sv_->TextWidth(caption) + 9;
            if (header && !header->Icons.isEmptyOrNull() && !header->Icons.text().isEmpty()) w += 16;
        }
        if (mode == vtlUseContent && !store_.isNull()) {
            const int32_t last = std::min(sv_->LastVisibleItem(), RowCount() - 1);
            for (int32_t r = sv_->FirstVisibleItem(); r <= last; ++r) {
                const CellPaintStyle style = ApplyColumnStyle(normal_.style, *c->Style(), true, BorderAppearance());
                const CellContent content = cellContent(*c, r, style, 0);
                const int32_t tw = measureText(content.Value.text(), content.Style.FontStyle);
                w = std::max(w, tw + 8 + IconsWidth(content.Icons, false));
            }
        }
        int32_t width = std::min(std::max(w + 8, c->MinWidth), c->MaxWidth);
        if (snapMode_) width = std::min(width, int32_t(std::nearbyint(sv_->ScaleWidth() * 0.9)));
        c->SetWidth(width);
    }
    setSnapMode(snapMode_);
    return true;
}

} // namespace vantile
