// ListView: painting the header and footer bands, the rows and the empty rows through the
// inner view's drawing events, cell tips and drag images. Cells are composed in a one-row
// back buffer and copied to the view, so a row never flickers.

#include "listview.h"

#include "cellpainter.h"
#include "column.h"
#include "columngroup.h"
#include "platform/gui/dc.h"
#include "platform/gui/modfont.h"
#include "platform/gui/textedge.h"

namespace vantile {

namespace {
constexpr uint32_t kGrayText = 0x80000011;
constexpr int32_t kHeaderEdge = vtl3DEdgeRaised;
constexpr int32_t kHeaderFlags = tv::BF_RECT | tv::BF_MIDDLE | tv::BF_SOFT;
constexpr int32_t kEmptyHeaderFlags = tv::BF_LEFT | tv::BF_TOP | tv::BF_BOTTOM | tv::BF_MIDDLE | tv::BF_SOFT;
} // namespace

tv::HandleId ListView::fontFor(int32_t style, bool reset)
{
    if (reset) fonts_ = {};
    style &= 15;
    if (!fonts_[size_t(style)] && sv_->Font())
        fonts_[size_t(style)] = tv::MakeGdiObject(tv::CreateFontFromObject(*sv_->Font(), sv_->hdc(), style));
    return fonts_[size_t(style)] ? fonts_[size_t(style)]->Handle() : 0;
}

void ListView::prepareBackBuffer()
{
    const int32_t w = sv_->ScaleWidth() + 1;
    const int32_t h = std::max({sv_->RowHeight(), columns_->Headers()->Height(), columns_->Footers()->Height()}) + 1;
    if (backBuffer_ && (backBuffer_->Width() < w || backBuffer_->Height() < h)) backBuffer_.reset();
    if (!backBuffer_) {
        backBuffer_ = std::make_unique<tv::DDBitmap>(w, h);
        tv::SelectObject(backBuffer_->hdc(), fontFor(baseFontStyle_));
        tv::SetBkMode(backBuffer_->hdc(), tv::TRANSPARENT);
    }
    tv::FillRect(backBuffer_->hdc(), {0, 0, backBuffer_->Width(), backBuffer_->Height()}, normal_.brush);
}

void ListView::buildPaintEntries()
{
    entries_.clear();
    const tv::HandleId rgn = sv_->UpdateRgn();
    const int32_t height = sv_->ScaleHeight();
    auto add = [&](const std::shared_ptr<Column>& c) {
        if (!c || c->Width() == 0) return;
        PaintEntry e;
        e.column = c;
        e.left = c->ScreenLeft();
        e.right = e.left + c->Width() - 1;
        e.format = c->Style()->DrawTextFlags();
        e.borderType = ColumnBorderType(*c->Style(), BorderType());
        const auto g = c->Group();
        if (c->Fixed() == vtlFixedRight && g && e.left == g->Position()) e.edge = tv::BF_LEFT;
        if (c->Fixed() == vtlFixedLeft && g && g->Width() == e.right + 1) e.edge = tv::BF_RIGHT;
        e.inRegion = !rgn || tv::RectInRegion(rgn, {e.left, 0, e.right + 1, height});
        entries_.push_back(std::move(e));
    };
    const auto center = columns_->Groups(vtlGrpCenter);
    const auto right = columns_->Groups(vtlGrpRight);
    bool taken = false;
    for (auto c = center->HitTest(sv_->HorizontalOrigin()); c; c = c->NextItem(true)) {
        if (c->ScreenLeft() >= right->Position() && taken) break;
        add(c);
        taken = true;
    }
    for (int32_t i = 0; i < right->Count(); ++i) add(right->Item(i));
    const auto left = columns_->Groups(vtlGrpLeft);
    for (int32_t i = 0; i < left->Count(); ++i) add(left->Item(i));
    mergedCount_ = 0;
    for (PaintEntry& e : entries_)
        if (e.column->Merged && RowCount() > 0 && sv_->VisibleRows() > 0) {
            buildMergeRuns(e);
            ++mergedCount_;
        }
}

void ListView::buildMergeRuns(PaintEntry& entry)
{
    const int32_t first = sv_->FirstVisibleItem();
    const int32_t last = std::min(sv_->LastVisibleItem(), RowCount() - 1);
    entry.mergeFirst = first;
    entry.runs.clear();
    const tv::VariantArray* a = store_.array();
    const int32_t col = entry.column->Index();
    // Rows the store does not hold compare unequal, so they show their own cell.
    auto text = [&](int32_t row) -> std::optional<QString> {
        if (!a || !a->inBounds(col, row)) return std::nullopt;
        return FormatCellValue(a->at(col, row), entry.column->Format).text();
    };
    std::optional<QString> previous;
    for (int32_t row = first; row <= last; ++row) {
        const std::optional<QString> value = text(row);
        if (row > first && value && previous && *value == *previous) {
            entry.runs.push_back({entry.runs.back().first, row});
            for (int32_t r = entry.runs.back().first; r < row; ++r) entry.runs[size_t(r - first)].second = row;
        } else {
            entry.runs.push_back({row, row});
        }
        previous = value;
    }
}

void ListView::onBeforeDraw(int32_t startIndex, int32_t endIndex, tv::HandleId hdc)
{
    fetchRows(startIndex, endIndex);
    prepareBackBuffer();
    buildPaintEntries();
    const bool focused = sv_->HasFocus() || IgnoreFocus;
    currentHighlight_ = focused ? highlightColor_ : kGrayText;
    currentHighlightBrush_ = focused ? highlightBrush_->Handle() : tv::COLOR_GRAYTEXT + 1;
    selected_.style.BackColor = int32_t(currentHighlight_);
    selected_.brush = currentHighlightBrush_;
    // A repaint of marked rows (a move of the selection) leaves the bands as they are.
    if (sv_->PaintingTaggedRows()) return;
    paintBand(kHeaderCells, hdc);
    paintBand(kFooterCells, hdc);
}

void ListView::paintBand(int32_t kind, tv::HandleId target)
{
    const auto& cells = kind == kHeaderCells ? columns_->Headers() : columns_->Footers();
    const int32_t bandHeight = cells->Height();
    if (!cells->Visible() || cells->Rows() == 0 || columns_->Count() == 0 || bandHeight == 0) return;
    const int32_t top = kind == kHeaderCells ? 0 : sv_->ScaleHeight() - bandHeight;
    const tv::HandleId dc = backBuffer_->hdc();
    const QRegion* update = tv::RegionOf(sv_->UpdateRgn());
    QRegion region = update ? *update & QRect(0, top, sv_->ScaleWidth(), bandHeight)
                            : QRegion(0, top, sv_->ScaleWidth(), bandHeight);
    if (region.isEmpty()) return;
    // Only the band's part of the update region is copied: the rest of the band stays as it is.
    const tv::GdiObjectPtr clip = tv::MakeGdiObject(tv::CreateRegion(region));

    if (EmptyHeader) {
        const int32_t end = sv_->ContentsWidth() - sv_->HorizontalOrigin();
        if (end < sv_->ScrollAreaWidth()) {
            CellPaint gap;
            gap.edgeStyle = kHeaderEdge;
            gap.edgeMode = kEmptyHeaderFlags;
            DrawCellContent(dc, sv_->FixedLeftSize() + end, 0, sv_->ScaleWidth() - sv_->FixedRightSize() - 1,
                            bandHeight - 1, gap);
        }
    }
    const int32_t rowHeight = cells->RowHeight();
    for (const PaintEntry& e : entries_) {
        if (!e.inRegion) continue;
        for (int32_t n = 0; n < cells->Rows(); ++n) {
            int32_t x1 = e.left, y1 = n * rowHeight, x2 = e.right, y2 = y1 + rowHeight - 1;
            if (e.column->OwnerDraw) {
                DrawCell.raise(dc, -1 - n, e.column->Index(), x1, y1, x2, y2);
                continue;
            }
            const auto cell = e.column->GetCell(kind, n);
            if (!cell) continue;
            cell->GetBounds(x1, y1, x2, y2);
            const QRect r(x1, y1 + top, x2 - x1 + 1, y2 - y1 + 1);
            if (!region.intersects(r)) continue;   // also a merged run painted already
            CellPaint p = bandCellPaint(*cell, e.edge);
            p.invert = kind == kHeaderCells && headerPress_ == 1 && pressCol_ == e.column->Index();
            DrawCellContent(dc, x1, y1, x2, y2, p);
            region -= r;
        }
    }
    tv::SelectClipRgn(target, clip->Handle());
    tv::BitBlt(target, 0, top, sv_->ScaleWidth(), bandHeight, dc, 0, 0, tv::SRCCOPY);
    tv::SelectClipRgn(target, 0);
    tv::FillRect(dc, {0, 0, backBuffer_->Width(), backBuffer_->Height()}, normal_.brush);
}

CellPaint ListView::bandCellPaint(const Cell& cell, int32_t edge)
{
    CellPaint p;
    p.text = cell.Text;
    p.format = cell.Style()->DrawTextFlags();
    p.textColor = cell.Style()->TextColor();
    p.font = fontFor(baseFontStyle_);
    p.edgeStyle = kHeaderEdge;
    p.edgeMode = kHeaderFlags;
    p.extraDivider = edge;
    p.iconList = headerIcons_ ? headerIcons_->Handle : 0;
    p.icons = ResolveIcons(cell.Icons);
    p.iconSizeX = p.iconSizeY = 8;
    return p;
}

void ListView::paintDraggedHeader(const Column& column)
{
    const auto& headers = columns_->Headers();
    const tv::HandleId dc = dragColumn_->hdc();
    tv::SetBkMode(dc, tv::TRANSPARENT);
    const int32_t rowHeight = headers->RowHeight();
    for (int32_t n = 0; n < headers->Rows(); ++n)
        if (const auto cell = column.Header(n))
            DrawCellContent(dc, 0, n * rowHeight, column.Width() - 1, (n + 1) * rowHeight - 1, bandCellPaint(*cell, 0));
}

void ListView::resolveBrush(RowStyle& s) const
{
    s.brushObject = tv::ColorBrush(uint32_t(s.style.BackColor));
    s.brush = s.brushObject->Handle();
}

ListView::RowStyle ListView::rowStyle(int32_t row, bool selected)
{
    RowStyle s = selected ? selected_ : normal_;
    if (FetchRowStyle) {
        const int32_t back = s.style.BackColor;
        tv::Variant value = tv::Variant::null();
        FetchStyle(FetchStyleEx, row, -1, selected ? 1 : 0, value, s.style);
        if (s.style.BackColor != back) resolveBrush(s);
    }
    return s;
}

CellContent ListView::cellContent(const Column& column, int32_t row, const CellPaintStyle& style, int32_t status)
{
    CellContent content = GetCellContent(column, row, storedValue(column.Index(), row), rowLookup(row), style, status,
                                         FetchContents, FetchStyleEx);
    fontFor(content.Style.FontStyle);
    return content;
}

void ListView::onDrawRow(int32_t index, int16_t state, int32_t x1, int32_t y1, int32_t x2, int32_t y2,
                         tv::HandleId hdc)
{
    const bool selected = selSet_->Contains(index);
    const int32_t h = y2 - y1;
    RowStyle normal = rowStyle(index, false);
    RowStyle select = selected ? rowStyle(index, true) : normal;
    if (state & kTagDrop) {
        for (RowStyle* s : {&normal, &select}) {
            s->style.FontStyle = vtlFntBold;
            s->style.TextColor = 255;
        }
    }
    // The focus frame marks the current row; without one, the first row, where the keys start,
    // so that a grid the focus moved to shows it.
    const bool focusRow = (state & kTagCurrent) || (currentRow_ < 0 && index == 0);
    // Direct mode (option 1) paints rows other than the focus row straight into the view.
    const bool direct = !focusRow && options_ == 1 && mergedCount_ == 0;
    const tv::HandleId dc = direct ? hdc : backBuffer_->hdc();
    const int32_t y0 = direct ? y1 : 0;
    if (!direct) tv::FillRect(dc, {0, 0, x2 - x1 + 1, h + 1}, normal_.brush);
    const bool cellSelect = SelectionMode == vtlCellSelect;
    for (const PaintEntry& e : entries_) {
        if (!e.inRegion) continue;
        const Column& column = *e.column;
        if (column.OwnerDraw) {
            tv::SelectObject(dc, fontFor(baseFontStyle_));
            DrawCell.raise(dc, index, column.Index(), e.left, y0, std::min(e.right, x2), y0 + h);
            continue;
        }
        int32_t top = y0, bottom = y0 + h;
        if (column.Merged && index >= e.mergeFirst && index - e.mergeFirst < int32_t(e.runs.size())) {
            const auto& run = e.runs[size_t(index - e.mergeFirst)];
            top = (run.first - index) * RowHeight();
            bottom = (run.second - index + 1) * RowHeight() - 1;
        }
        const bool shows = selected && (cellSelect ? column.Index() == currentCol_ : !column.HideSelection);
        int32_t status = selected ? (cellSelect && !shows ? state & ~kTagCurrent : state) : 0;
        const bool highlight = shows && MarqueeStyle == vtlMarqueeHighlight;
        const bool solid = shows && MarqueeStyle == vtlMarqueeSolid;
        const RowStyle& chosen = highlight ? select : normal;
        const CellPaintStyle style = ApplyColumnStyle(chosen.style, *column.Style(), !highlight, BorderAppearance());
        const CellContent content = cellContent(column, index, style, status);
        RowStyle painted{content.Style, chosen.brushObject, chosen.brush};
        if (content.Style.BackColor != chosen.style.BackColor) resolveBrush(painted);

        CellPaint p;
        p.text = content.Value.isNull() ? QString() : content.Value.text();
        p.format = e.format;
        p.textColor = content.Style.TextColor;
        p.font = fontFor(content.Style.FontStyle);
        // The row was filled with the grid's background just now: a cell of that same brush
        // needs no fill of its own (a merged cell reaches past the row, a custom border frames
        // its fill).
        const bool filled = !direct && !column.Merged && painted.brush == normal_.brush
                            && content.Style.BorderAppearance != kEdgeCustomBrush;
        p.brush = filled ? 0 : painted.brush;
        p.edgeStyle = content.Style.BorderAppearance;
        p.edgeMode = e.borderType;
        p.extraDivider = e.edge;
        if (solid) {
            p.extraDivider = cellSelect ? tv::BF_RECT : tv::BF_TOP | tv::BF_BOTTOM;
            if (column.Index() == marqueeFirst_) p.extraDivider |= tv::BF_LEFT;
            if (column.Index() == marqueeLast_) p.extraDivider |= tv::BF_RIGHT;
            p.dividerBrush = currentHighlightBrush_;
            p.dividerWidth = marqueeWidth_;
        }
        p.iconList = icons_ ? icons_->Handle : 0;
        p.icons = content.Icons;
        DrawCellContent(dc, e.left, top, e.right, bottom, p);
    }
    if (!direct && focusRow && !cellSelect && !HideFocusRect && sv_->HasFocus())
        drawFocusFrame(hdc, y1, y2, h);
    if (!direct) tv::BitBlt(hdc, 0, y1, x2 - x1 + 1, h + 1, dc, 0, 0, tv::SRCCOPY);
    bool ok = false;
    const int32_t tag = sv_->ItemTag(index, &ok);
    if (ok) sv_->setItemTag(index, tag & ~kTagRepaint);
}

void ListView::drawFocusFrame(tv::HandleId hdc, int32_t y1, int32_t y2, int32_t h)
{
    const tv::HandleId dc = backBuffer_->hdc();
    // The frame's top and bottom lines run across the whole row, also outside the part of the
    // row being repainted; the bottom line stays off the footer.
    if (sv_->UpdateRgn() != 0) {
        QRegion lines(0, y1, sv_->ScaleWidth(), 1);
        if (y2 < sv_->ScaleHeight() - columns_->Footers()->Height()) lines += QRect(0, y2, sv_->ScaleWidth(), 1);
        const tv::GdiObjectPtr rgn = tv::MakeGdiObject(tv::CreateRegion(lines));
        tv::ExtSelectClipRgn(hdc, rgn->Handle(), tv::RGN_OR);
    }
    const auto center = columns_->Groups(vtlGrpCenter);
    const auto rightGroup = columns_->Groups(vtlGrpRight);
    const int32_t leftWidth = columns_->Groups(vtlGrpLeft)->Width();
    const int32_t rightWidth = rightGroup->Width();
    const int32_t centerEnd = center->Position() + center->Width() - sv_->HorizontalOrigin();
    if (rightWidth > 0 && centerEnd < rightGroup->Position())
        tv::ExcludeClipRect(dc, centerEnd, 0, rightGroup->Position(), h + 1);
    const int32_t left = leftWidth > 0 ? 0 : -sv_->HorizontalOrigin();
    const int32_t right = rightWidth > 0 ? sv_->ScaleWidth()
                                         : std::max(sv_->ContentsWidth() - sv_->HorizontalOrigin() + leftWidth,
                                                    leftWidth + rightWidth - 1);
    DrawFocusFrame(dc, {left, 0, right, h + 1});
    tv::SelectClipRgn(dc, 0);
}

void ListView::onEraseBackgroundEx(tv::HandleId hdc, int16_t& state)
{
    if (!EmptyRows || columns_->Count() == 0) return;
    state = int16_t(options_ & 1);
    paintEmptyRows(hdc);
}

void ListView::paintEmptyRows(tv::HandleId hdc)
{
    const int32_t first = sv_->FirstVisibleItem();
    const int32_t rh = RowHeight();
    const int32_t footer = columns_->Footers()->Height();
    if (footer > 0) tv::ExcludeClipRect(hdc, 0, sv_->ScaleHeight() - footer, sv_->ScaleWidth(), sv_->ScaleHeight());
    const tv::HandleId dc = backBuffer_->hdc();
    for (int32_t slot = std::max(RowCount(), first); slot <= first + sv_->VisibleRows() - 1; ++slot) {
        const int32_t top = sv_->FixedTopSize() + (slot - first) * rh;
        tv::FillRect(dc, {0, 0, sv_->ScaleWidth() + 1, rh + 1}, normal_.brush);
        const RowStyle row = rowStyle(slot, false);
        for (const PaintEntry& e : entries_) {
            if (!e.inRegion) continue;
            CellPaintStyle style = ApplyColumnStyle(row.style, *e.column->Style(), true, BorderAppearance());
            tv::Variant value = tv::Variant::null();
            if (e.column->FetchStyle) FetchStyle(FetchStyleEx, slot, e.column->Index(), 0, value, style);
            RowStyle painted{style, row.brushObject, row.brush};
            if (style.BackColor != row.style.BackColor) resolveBrush(painted);
            CellPaint p;
            p.brush = painted.brush;
            p.edgeStyle = style.BorderAppearance;
            p.edgeMode = e.borderType;
            p.extraDivider = e.edge;
            DrawCellContent(dc, e.left, 0, e.right, rh - 1, p);
        }
        tv::BitBlt(hdc, 0, top, sv_->ScaleWidth(), rh, dc, 0, 0, tv::SRCCOPY);
    }
    tv::SelectClipRgn(hdc, 0);
}

void ListView::onHover(int32_t x, int32_t y)
{
    if (headerPress_ != 0 || (toolTipMode_ != vtlCellTips && toolTipMode_ != vtlFetchTips)) return;
    int32_t col = -1, row = -1, state = 0;
    if (HitTest(x, y, col, row, state) != vtlHTCell) return;
    const auto column = columns_->Item(col);
    if (!column) return;
    if (toolTipMode_ == vtlFetchTips) {
        QString text;
        CellTip.raise(row, col, text);
        if (text.isEmpty()) return;
        const int32_t w = measureText(text, baseFontStyle_) + 8;
        sv_->ShowToolTip(x + 3, y - RowHeight() - 3, w, std::max(RowHeight() + 1, 17), x - 2, y - 2, 4, 4, text);
        return;
    }
    const CellPaintStyle style = ApplyColumnStyle(normal_.style, *column->Style(), true, BorderAppearance());
    const CellContent content = cellContent(*column, row, style, 0);
    const QString text = content.Value.isNull() ? QString() : content.Value.text();
    if (text.isEmpty()) return;
    const int32_t w = measureText(text, content.Style.FontStyle) + 8;
    if (column->Width() - IconsWidth(content.Icons, false) >= w) return;
    int32_t left = 0, top = 0, right = 0, bottom = 0;
    GetBounds(col, row, left, top, right, bottom);
    sv_->ShowToolTip(left + IconsWidth(content.Icons, true) - 1, top - 1, w, RowHeight() + 1, left - 1, top - 1,
                     column->Width(), RowHeight() + 1, text, content.Style.FontStyle);
}

tv::PicturePtr ListView::CreateDragImage(int32_t col, int32_t row)
{
    const auto column = columns_->Item(col);
    if (!column || column->OwnerDraw || column->Width() < 1) return nullptr;
    RowStyle rs = rowStyle(row, false);
    if (column->Style()->FontStyle() != vtlUseDefault) rs.style.FontStyle = column->Style()->FontStyle();
    const CellContent content = cellContent(*column, row, rs.style, 0);
    tv::DDBitmap bmp(column->Width(), RowHeight());
    CellPaint p;
    p.text = content.Value.isNull() ? QString() : content.Value.text();
    p.format = column->Style()->DrawTextFlags();
    p.textColor = int32_t(0x80000008);
    p.font = fontFor(content.Style.FontStyle);
    p.brush = tv::COLOR_WINDOW + 1;
    p.edgeMode = tv::BF_RECT;
    p.iconList = icons_ ? icons_->Handle : 0;
    p.icons = content.Icons;
    tv::SetBkMode(bmp.hdc(), tv::TRANSPARENT);
    DrawCellContent(bmp.hdc(), 0, 0, column->Width() - 1, RowHeight() - 1, p);
    return bmp.Picture();
}

} // namespace vantile
