#include "cellpainter.h"

#include "cellcontentlayout.h"
#include "platform/gui/dc.h"
#include "platform/gui/imagelist.h"
#include "platform/gui/textedge.h"

#include <algorithm>

namespace vantile {

void DrawFocusFrame(tv::HandleId hdc, const tv::Rect& r) { tv::FrameRect(hdc, r, tv::FocusPatternBrush()); }

void DrawCellFrame(tv::HandleId hdc, const tv::Rect& r, int32_t edgeStyle, tv::HandleId brush,
                   tv::HandleId borderBrush, int32_t edgeFlags, int32_t borderWidth, int32_t mode)
{
    using namespace tv;
    if (edgeStyle == kEdgeCustomBrush) {
        if (mode == -1) {
            if (brush != 0) FillRect(hdc, r, brush);
            if (borderBrush == 0) return;
            if ((edgeFlags & BF_RECT) == BF_RECT && borderWidth == 1) {
                FrameRect(hdc, r, borderBrush);
                return;
            }
            if (edgeFlags & BF_LEFT) FillRect(hdc, {r.Left, r.Top, r.Left + borderWidth, r.Bottom}, borderBrush);
            if (edgeFlags & BF_RIGHT) FillRect(hdc, {r.Right - borderWidth, r.Top, r.Right, r.Bottom}, borderBrush);
            if (edgeFlags & BF_TOP) FillRect(hdc, {r.Left, r.Top, r.Right, r.Top + borderWidth}, borderBrush);
            if (edgeFlags & BF_BOTTOM) FillRect(hdc, {r.Left, r.Bottom - borderWidth, r.Right, r.Bottom}, borderBrush);
            return;
        }
        FillRect(hdc, r, borderBrush);
        Rect inner = r;
        if (edgeFlags & BF_LEFT) inner.Left += borderWidth;
        if (edgeFlags & BF_RIGHT) inner.Right -= borderWidth;
        if (edgeFlags & BF_TOP) inner.Top += borderWidth;
        if (edgeFlags & BF_BOTTOM) inner.Bottom -= borderWidth;
        if (brush != 0) FillRect(hdc, inner, brush);
        return;
    }
    if (brush != 0) FillRect(hdc, r, brush);
    if (edgeStyle == 0 || edgeFlags == 0) return;
    // The appearance values are the edge kinds themselves; the lines are the outer ring.
    const int edge = edgeStyle < 0 ? BDR_RAISEDOUTER : edgeStyle;
    int flags = edgeFlags;
    if (edgeStyle < 0) flags |= edgeStyle == -2 ? BF_FLAT : BF_MONO;
    if (edgeStyle >= 5) flags |= BF_SOFT;
    Rect e = r;
    DrawEdge(hdc, e, edge, flags);
}

void DrawCellContent(tv::HandleId hdc, int32_t x1, int32_t y1, int32_t x2, int32_t y2, const CellPaint& cell)
{
    using namespace tv;
    const Rect r{x1, y1, x2 + 1, y2 + 1};
    // Line borders lose their left and top sides, so that neighbouring cells share one line.
    int32_t sides = cell.edgeMode;
    if (cell.edgeStyle < 0) sides &= ~(BF_LEFT | BF_TOP);
    DrawCellFrame(hdc, r, cell.edgeStyle, cell.brush, 0, sides, 1, 0);
    if (cell.extraDivider != 0) {
        if (cell.dividerBrush == -1) {
            Rect e = r;
            DrawEdge(hdc, e, BDR_RAISEDOUTER, cell.extraDivider | BF_FLAT | BF_MONO);
        } else {
            DrawCellFrame(hdc, r, kEdgeCustomBrush, 0, cell.dividerBrush, cell.extraDivider, cell.dividerWidth, -1);
        }
    }
    if (cell.focus) DrawFocusFrame(hdc, r);

    std::optional<int32_t> textWidth;
    if (!cell.text.isEmpty()) {
        if (cell.font != 0 && cell.font != GetCurrentObject(hdc, ObjFont)) SelectObject(hdc, cell.font);
        // The layout only tells a text that fits the cell from one that does not.
        textWidth = MeasureTextUpTo(hdc, cell.text, uint32_t(cell.format), x2 - x1 + 1);
    }
    const CellContentLayout layout = LayoutCellContent(x1, y1, x2, y2, cell.format, cell.icons, cell.iconList != 0,
                                                       cell.iconSizeX, cell.iconSizeY, textWidth);
    // An icon stays inside its cell: a narrow column (or a low row) shows part of it rather
    // than drawing over the neighbours, whose background may not be painted again.
    const bool spills = std::any_of(layout.icons.begin(), layout.icons.end(), [&](const auto& icon) {
        return icon.x < r.Left || icon.x + cell.iconSizeX > r.Right || layout.iconTop < r.Top
               || layout.iconTop + cell.iconSizeY > r.Bottom;
    });
    const int saved = spills ? SaveDC(hdc) : 0;
    if (saved) IntersectClipRect(hdc, r.Left, r.Top, r.Right, r.Bottom);
    for (const auto& icon : layout.icons)
        ImageListDraw(cell.iconList, icon.image - 1, hdc, icon.x, layout.iconTop, ILD_TRANSPARENT);
    if (saved) RestoreDC(hdc, saved);
    if (textWidth) {
        if (cell.textColor != -1) {
            const ColorRef c = TranslateOleColor(uint32_t(cell.textColor));
            if (c != GetTextColor(hdc)) SetTextColor(hdc, c);
        }
        Rect tr{layout.textLeft, layout.textTop, layout.textRight, layout.textBottom};
        DrawText(hdc, cell.text, tr, uint32_t(layout.format));
    }
    if (cell.invert) InvertRect(hdc, r);
}

} // namespace vantile
