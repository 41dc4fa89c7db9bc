// ListView: current cell, selection, hit testing, mouse and column sizing by dragging.

#include "listview.h"

#include "column.h"
#include "columngroup.h"
#include "platform/gui/keys.h"

#include <QGuiApplication>

namespace vantile {

// ---- current cell and selection -------------------------------------------------------------

int32_t ListView::CurrentRow()
{
    if (RowCount() == 0) currentRow_ = -1;
    return currentRow_;
}

int32_t ListView::CurrentCol()
{
    if (RowCount() == 0) currentCol_ = -1;
    return currentCol_;
}

void ListView::setCurrentRow(int32_t row)
{
    row = std::clamp(row, 0, std::max(0, RowCount() - 1));
    if (row == currentRow_ || RowCount() == 0) return;
    if (currentRow_ >= 0 && currentRow_ < RowCount())
        sv_->setItemTag(currentRow_, (sv_->ItemTag(currentRow_) & ~kTagCurrent) | kTagRepaint);
    else   // the first row carried the focus frame while no row was current: it loses it now
        sv_->setItemTag(0, sv_->ItemTag(0) | kTagRepaint);
    const int32_t tag = sv_->ItemTag(row);
    if (!(tag & kTagCurrent)) sv_->setItemTag(row, tag | kTagCurrent | kTagRepaint);
    currentRow_ = row;
}

bool ListView::ctrlHeld() const
{
    if (eventShift_) return (*eventShift_ & 2) != 0;
    return QGuiApplication::queryKeyboardModifiers() & Qt::ControlModifier;
}

void ListView::moveTo(int32_t row, int32_t col, int16_t shift, int32_t ensureVisible)
{
    eventShift_ = shift;
    // One anchor for the user and the host: Shift extends from the row that was current when
    // the extension began, whoever made it current (a click, a key, a search hit of the host);
    // a move without Shift ends the extension.
    if (SelectionMode == vtlMultiSelect && (shift & 1)) {
        if (AnchorRow < 0 || AnchorRow >= RowCount()) {
            AnchorRow = currentRow_ >= 0 ? currentRow_ : row;
            userAnchor_ = AnchorRow;
        }
    } else {
        AnchorRow = userAnchor_ = -1;
    }
    SetBookmark(row, col, ensureVisible);
    eventShift_.reset();
}

void ListView::onKeyDown(int16_t& keyCode, int16_t& shift)
{
    KeyDown.raise(keyCode, shift);
    if (keyCode == 0 || RowCount() == 0) return;
    const int32_t page = std::max(1, sv_->VisibleRows() - 1);
    const int32_t from = currentRow_ < 0 ? -1 : currentRow_;
    int32_t row = from, col = -1;
    switch (keyCode) {
    case tv::VK_UP: row = std::max(0, from - 1); break;
    case tv::VK_DOWN: row = from + 1; break;
    case tv::VK_PRIOR: row = std::max(0, from - page); break;
    case tv::VK_NEXT: row = std::max(0, from) + page; break;
    case tv::VK_HOME: row = 0; break;
    case tv::VK_END: row = RowCount() - 1; break;
    case tv::VK_LEFT:
    case tv::VK_RIGHT: {
        if (SelectionMode != vtlCellSelect) return;
        col = columns_->FindColumn(currentCol_, keyCode == tv::VK_RIGHT);
        if (currentCol_ < 0)   // no current column yet: the first one that can take it
            for (int32_t i = 0; i < columns_->Count() && col < 0; ++i)
                if (auto c = columns_->Item(i, true); c->AllowFocus && c->Width() > 0) col = c->Index();
        if (col < 0) return;
        row = std::max(0, from);
        break;
    }
    case tv::VK_SPACE:
        if (SelectionMode == vtlMultiSelect && (shift & 2) && from >= 0) selSet_->Toggle(from);
        return;
    default: return;
    }
    // A move down brings the row it reaches in at the bottom, so that paging shows every row
    // on its way; scrolled into view the usual way, a row below the view would come in at the
    // top, past a page of rows never shown.
    const bool down = (keyCode == tv::VK_DOWN || keyCode == tv::VK_NEXT) && row > from;
    moveTo(row, col, shift, down ? -1 : 0);
    if (down) {
        const int32_t whole = std::max(1, sv_->ScrollAreaHeight() / std::max(1, int32_t(sv_->RowHeight())));
        if (currentRow_ >= sv_->FirstVisibleItem() + whole) sv_->setFirstVisibleItem(currentRow_ - whole + 1);   // one scroll
        else EnsureVisibleSelection(0);
    }
}

void ListView::SetBookmark(int32_t row, int32_t col, int32_t ensureVisible)
{
    if (RowCount() == 0) return;
    // The host's move (a search hit, type-ahead) is no Shift move: it ends a range the user
    // began, as the user's own next plain move would. An anchor the host set itself stays.
    if (!eventShift_ && userAnchor_ != -1) {
        if (AnchorRow == userAnchor_) AnchorRow = -1;
        userAnchor_ = -1;
    }
    if (row == -1) row = currentRow_;
    if (!(SelectionMode == vtlCellSelect && col != -1)) col = currentCol_;
    row = std::clamp(row, 0, RowCount() - 1);
    const int32_t prevRow = currentRow_, prevCol = currentCol_;
    if (SelectionMode == vtlCellSelect) currentCol_ = col;
    setCurrentRow(row);
    // Only the current cell of a row shows the selection: a column move repaints the row.
    if (currentCol_ != prevCol && currentRow_ >= 0)
        sv_->setItemTag(currentRow_, sv_->ItemTag(currentRow_) | kTagRepaint);
    if (currentRow_ != prevRow || currentCol_ != prevCol) RowColChange.raise(prevRow, prevCol);

    if (SelectionMode == vtlMultiSelect) {
        if (AnchorRow != -1 && AnchorRow < RowCount())
            selSet_->Add(std::min(AnchorRow, currentRow_), std::max(AnchorRow, currentRow_), true);
        else if (!ctrlHeld())
            selSet_->Add(currentRow_, -1, true);
    } else if (!(selSet_->Count() == 1 && selSet_->Contains(currentRow_))) {
        selSet_->Add(currentRow_, -1, true);
    }
    sv_->RedrawItems(-1, -1, kTagRepaint);

    const int32_t first = sv_->FirstVisibleItem();
    if (currentRow_ - first + 1 >= sv_->VisibleRows() && sv_->IntegralHeight() && currentRow_ == prevRow + 1)
        sv_->EnsureVisible(first + 1, currentRow_);
    if (ensureVisible != -1) EnsureVisibleSelection(ensureVisible);
}

void ListView::onSelectionChanged()
{
    const auto before = selSet_->PreviousMembers();
    const int32_t last = std::min(sv_->LastVisibleItem(), RowCount() - 1);
    for (int32_t i = sv_->FirstVisibleItem(); i <= last; ++i)
        if (before->Contains(i) != selSet_->Contains(i)) sv_->setItemTag(i, sv_->ItemTag(i) | kTagRepaint);
    // A change the host makes shows at once; inside SetBookmark this paints what the
    // bookmark's own repaint would.
    sv_->RedrawItems(-1, -1, kTagRepaint);
    SelectionChanged.raise();
}

void ListView::EnsureVisibleSelection(int32_t delay)
{
    if (delay == 0) {
        ensureVisibleStep();
        return;
    }
    // A new timer replaces a pending one, so a second request restarts the delay.
    ensureVisibleTimer_ = std::make_unique<tv::SysTimer>();
    ensureVisibleTimer_->Timer.connect([this] { ensureVisibleStep(); });
    ensureVisibleTimer_->setInterval(delay);
    ensureVisibleTimer_->setEnabled(true);
}

void ListView::ensureVisibleStep()
{
    if (ensureVisibleTimer_) ensureVisibleTimer_->setEnabled(false);
    if (SelectionMode == vtlCellSelect && currentCol_ >= 0) EnsureColumnVisible(currentCol_);
    if (currentRow_ >= 0 && currentRow_ < RowCount()) sv_->EnsureVisible(currentRow_, currentRow_, false);
}

// ---- hit testing ----------------------------------------------------------------------------

namespace {
// The last visible column of the group left of `group` in display order, skipping empty ones.
std::shared_ptr<Column> lastVisibleBefore(const ColumnGroup& group)
{
    for (auto g = group.PrevItem(); g; g = g->PrevItem())
        if (auto c = g->LastVisible()) return c;
    return nullptr;
}
} // namespace

int32_t ListView::HitTest(int32_t x, int32_t y, int32_t& col, int32_t& row, int32_t& state)
{
    col = row = -1;
    state = 0;
    int32_t zone = vtlHTNone;
    if (x > sv_->ScaleWidth() || y > sv_->ScaleHeight() || x < 0 || y < 0) return vtlHTNone;
    bool band = false;
    if (y < columns_->Headers()->Height()) {
        band = true;
        if (ShowHeader()) zone = vtlHTHeader;
    } else if (sv_->ScaleHeight() - columns_->Footers()->Height() < y) {
        band = true;
        if (ShowFooter()) zone = vtlHTFooter;
    }
    const auto column = columns_->HitTest(x);
    if (!column) return vtlHTNone;
    col = column->Index();
    if (AllowSizing && zone == vtlHTHeader) {
        const int32_t left = column->ScreenLeft();
        const bool rightFixed = column->Fixed() == vtlFixedRight;
        std::shared_ptr<Column> sized;
        if (left + column->Width() - x <= 8) {
            if (!rightFixed) sized = column;
            else if (auto next = column->NextItem(false, true)) sized = next;
        } else if (x - left <= 8) {
            if (rightFixed) {
                sized = column;
            } else {
                sized = column->PrevItem(true, true);
                if (!sized)
                    if (auto g = column->Group()) sized = lastVisibleBefore(*g);
            }
        }
        // A divider counts when its edge lies inside the visible part of its group.
        if (sized && sized->AllowSizing) {
            const int32_t edge = sized->Fixed() == vtlFixedRight ? sized->ScreenLeft()
                                                                  : sized->ScreenLeft() + sized->Width();
            bool visible = true;
            if (sized->Fixed() == vtlFixedNone) {
                const auto center = columns_->Groups(vtlGrpCenter);
                const int32_t areaLeft = center->Position();
                visible = edge >= areaLeft && edge <= areaLeft + sv_->ScrollAreaWidth();
            }
            if (visible) {
                state = sized->Width() > 0 ? 1 : 2;
                col = sized->Index();
            }
        }
    }
    if (!band || zone == vtlHTNone) {
        if (band) return vtlHTNone;
        row = sv_->HitTest(y);
        zone = row >= 0 ? vtlHTCell : vtlHTNone;
    }
    return zone;
}

bool ListView::GetBounds(int32_t col, int32_t row, int32_t& left, int32_t& top, int32_t& right, int32_t& bottom,
                         bool screenCoords)
{
    const auto column = columns_->Item(col);
    if (!column || row < 0 || row >= RowCount()) return false;
    left = column->ScreenLeft();
    right = left + column->Width() - 1;
    top = sv_->FixedTopSize() + (row - sv_->FirstVisibleItem()) * RowHeight();
    bottom = top + RowHeight() - 1;
    if (screenCoords) {
        const QPoint p = sv_->mapToGlobal(QPoint(0, 0));
        left += p.x();
        right += p.x();
        top += p.y();
        bottom += p.y();
    }
    return true;
}

bool ListView::PointToCell(int32_t col, int32_t row, int32_t& x, int32_t& y)
{
    int32_t left = 0, top = 0, right = 0, bottom = 0;
    if (!GetBounds(col, row, left, top, right, bottom)) return false;
    x = left;
    y = top;
    return true;
}

// ---- mouse ----------------------------------------------------------------------------------

void ListView::setCursorAt(int32_t x, int32_t y)
{
    int32_t col = 0, row = 0, state = 0;
    const int32_t zone = HitTest(x, y, col, row, state);
    if (zone == vtlHTHeader && state != 0)
        sv_->setCursor(state == 1 ? Qt::SplitHCursor : Qt::SizeHorCursor);
    else
        sv_->unsetCursor();
}

void ListView::clickAt(int16_t button, int16_t shift, int32_t x, int32_t y, int32_t& col, int32_t& row,
                       int32_t& zone, int32_t& state)
{
    col = row = -1;
    state = 0;
    zone = vtlHTNone;
    if (button == 4) return;   // the middle button selects nothing
    zone = HitTest(x, y, col, row, state);
    if (zone != vtlHTCell) return;
    const auto column = columns_->Item(col);
    if (!column || !column->AllowFocus) return;
    if (button == 1 && shift == 2 && SelectionMode == vtlMultiSelect) selSet_->Toggle(row);
    // A right click on a selected row keeps the selection, so that a menu acts on all its rows.
    if (button == 2 && SelectionMode == vtlMultiSelect && selSet_->Contains(row)) return;
    moveTo(row, col, shift, 125);
}

bool ListView::relayMouse(const MouseEvent& event, int16_t button, int16_t& shift, int32_t x, int32_t y)
{
    bool cancel = false;
    event.raise(button, shift, x, y, cancel);
    if (!cancel) setCursorAt(x, y);
    return !cancel;
}

void ListView::onMouseDown(int16_t button, int16_t& shift, int32_t x, int32_t y)
{
    if (!relayMouse(MouseDown, button, shift, x, y)) return;
    pressZone_ = vtlHTNone;
    headerPress_ = 0;
    clickAt(button, shift, x, y, pressCol_, pressRow_, pressZone_, pressState_);
    pressX_ = x;
    pressY_ = y;
    pressShift_ = shift;
    pressButton_ = button;
    if (pressZone_ == vtlHTHeader && button == 1) {
        sizingColumn_ = pressCol_;
        lastDragX_ = x;
        if (pressState_ == 0 && !columns_->Headers()->LockButtons()) {
            headerPress_ = 1;
            sv_->RedrawItems();
        }
    }
}

void ListView::onMouseMove(int16_t button, int16_t& shift, int32_t x, int32_t y)
{
    if (!relayMouse(MouseMove, button, shift, x, y)) return;
    if (headerPress_ == 3) {
        sv_->setCursor(Qt::DragMoveCursor);
        moveColumnDrag(x, y);
    } else if (SelectionMode == vtlHoverSelect) {
        int32_t col, row, zone, state;
        clickAt(1, shift, x, y, col, row, zone, state);
    }
}

void ListView::onMouseUp(int16_t button, int16_t& shift, int32_t x, int32_t y)
{
    endColumnDrag();   // the picture goes also when the host keeps the release for itself
    if (!relayMouse(MouseUp, button, shift, x, y)) return;
    switch (pressZone_) {
    case vtlHTHeader:
        if (headerPress_ == 3) {
            headerPress_ = 0;
            dropColumn(x);
            break;
        }
        if (headerPress_ == 1) {
            headerPress_ = 0;
            sv_->RedrawItems();
        }
        if (pressState_ == 0) HeaderClick.raise(pressCol_, pressButton_);
        break;
    case vtlHTFooter: FooterClick.raise(pressCol_, pressButton_); break;
    case vtlHTCell:
        // The click is where the press was; only the button is the release's.
        ItemClick.raise(pressRow_, pressCol_, button, pressShift_, pressX_, pressY_ + columns_->Headers()->Height());
        break;
    default: break;
    }
}

void ListView::startColumnDrag()
{
    headerPress_ = 3;
    const auto column = columns_->Item(pressCol_);
    if (!column || column->Width() < 1) return;
    endColumnDrag();
    dragColumn_ = new PopupClass(this);
    dragGrab_ = QPoint(pressX_ - column->ScreenLeft(), pressY_);
    const QPoint at = sv_->mapToGlobal(QPoint(pressX_, pressY_) - dragGrab_);
    dragColumn_->Move(at.x(), at.y(), column->Width(), columns_->Headers()->Height());
    paintDraggedHeader(*column);
    dragColumn_->Show();
}

void ListView::moveColumnDrag(int32_t x, int32_t y)
{
    if (!dragColumn_) return;
    const QPoint at = sv_->mapToGlobal(QPoint(x, y) - dragGrab_);
    dragColumn_->Move(at.x(), at.y(), dragColumn_->width(), dragColumn_->height());
}

void ListView::endColumnDrag()
{
    if (!dragColumn_) return;
    dragColumn_->Hide();
    dragColumn_->deleteLater();
    dragColumn_ = nullptr;
}

void ListView::dropColumn(int32_t x)
{
    const auto moved = columns_->Item(pressCol_);
    if (!moved) return;
    const auto target = columns_->HitTest(x);
    if (target == moved) return;
    if (!target) {
        // Past the last scrolling column (and short of a right-fixed group): the column ends
        // the scrolling part.
        const auto right = columns_->Groups(vtlGrpRight);
        if (x < columns_->Groups(vtlGrpCenter)->Position() || (right->Count() > 0 && x >= right->Position())) return;
        moved->SetFixed(vtlFixedNone);
        moved->SetOrder(-2);
    } else if (target->Fixed() != moved->Fixed()) {
        // Into another group: the column takes the target's place there, before it.
        const int32_t order = target->Order();
        moved->SetFixed(target->Fixed());
        moved->SetOrder(order);
    } else {
        moved->SetOrder(target->Order());
    }
    sv_->RedrawItems();
}

void ListView::onDblClick()
{
    if (pressButton_ == 2) return;
    if (pressZone_ == vtlHTHeader && pressState_ != 0)
        AutoSizeColumn(pressCol_, vtlUseContent);
    else if (pressZone_ == vtlHTCell)
        ItemDblClick.raise(pressRow_, pressCol_);
    pressZone_ = vtlHTNone;
}

void ListView::onMouseDrag(int32_t state, int16_t shift, int32_t x, int32_t y, bool& cancel)
{
    switch (pressZone_) {
    case vtlHTHeader:
        if (state == DragStart) {
            if (pressState_ != 0) {
                headerPress_ = 2;
                sizingColumn_ = pressCol_;
                lastDragX_ = x;
            } else {
                const auto column = columns_->Item(pressCol_);
                if (AllowReorder && column && column->AllowReorder) {
                    // The column follows to where the button is released (MouseUp).
                    startColumnDrag();
                } else {
                    pressZone_ = vtlHTNone;
                    headerPress_ = 0;
                    sv_->RedrawItems();
                }
                cancel = true;
            }
            return;
        }
        if (headerPress_ != 2) return;
        sizeColumnBy(x - lastDragX_);
        lastDragX_ = x;
        if (state == DragEnd) {
            headerPress_ = 0;
            sizingColumn_ = -1;
            updateLayout(true, true);
        }
        break;
    case vtlHTCell: {
        CellDrag.raise(state - 1, pressCol_, pressRow_, x, y, 0, 0, shift, cancel);
        dragActive_ = state != DragEnd && !cancel;
        break;
    }
    default: cancel = true; break;
    }
}

void ListView::sizeColumnBy(int32_t delta)
{
    const auto column = columns_->Item(sizingColumn_);
    if (!column || delta == 0) return;
    if (column->Fixed() == vtlFixedRight) delta = -delta;   // its divider lies on its left
    const int32_t width = column->Width();
    int32_t wanted = std::clamp(width + delta, column->MinWidth, std::max(column->MinWidth, column->MaxWidth));
    if (column->Fixed() != vtlFixedNone) {
        // The fixed parts leave at least one pixel of the scrolling part.
        const int32_t fixed = columns_->Groups(vtlGrpLeft)->Width() + columns_->Groups(vtlGrpRight)->Width();
        wanted = std::min(wanted, width + sv_->ScaleWidth() - 1 - fixed);
    }
    if (wanted == width) return;
    sizing_ = true;
    column->SetWidth(wanted);
    sizing_ = false;
    updateLayout(false, false);
    sv_->RedrawItems();
}

} // namespace vantile
