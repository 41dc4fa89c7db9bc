#include "cells.h"

#include "column.h"
#include "columngroup.h"
#include "columns.h"

namespace vantile {

std::shared_ptr<Column> LookUpColumn(const ColumnCollection& columns, const tv::Variant& positionOrKey)
{
    if (positionOrKey.isEmptyOrNull()) return nullptr;
    if (!positionOrKey.isNumber()) {
        if (auto found = columns.item(positionOrKey.text())) return *found;
        if (!positionOrKey.isString()) return nullptr;
    }
    bool ok = false;
    const int32_t position = positionOrKey.toLong(&ok);
    auto found = ok && position >= 0 ? columns.item(position + 1) : nullptr;
    return found ? *found : nullptr;
}

// --- Cell ---

void Cell::SetStyle(std::shared_ptr<CellStyle> style)
{
    style_ = style ? std::move(style) : std::make_shared<CellStyle>();
}

void Cell::Init(int32_t col, int32_t row, int32_t kind, std::shared_ptr<Connector> connector)
{
    Col = col;
    Row = row;
    kind_ = kind;
    connector_ = std::move(connector);
}

bool Cell::MergesWith(const std::shared_ptr<Cell>& other) const
{
    return other && other->Merge == Merge && other->Text == Text;
}

bool Cell::GetBounds(int32_t& x1, int32_t& y1, int32_t& x2, int32_t& y2) const
{
    auto owner = OwnerOf(connector_.get(), Col);
    if (!owner) return false;
    auto column = owner->Item(Col);
    const auto& rowSet = kind_ == kHeaderCells ? owner->Headers() : owner->Footers();
    // A cell of a removed column may carry an Index that now belongs to another column.
    if (!column || column->GetCell(kind_, Row).get() != this) return false;
    const int32_t h = rowSet->RowHeight();

    if (Merge == vtlMergeHorz) {
        auto group = column->Group();
        if (!group) return false;
        // Walks from the own column while the neighbours' cells of this row merge alike.
        auto bound = [&](int32_t step) {
            auto last = column;
            for (int32_t p = column->Order() + step; p >= 0 && p < group->Count(); p += step) {
                auto next = group->Item(p);
                if (!MergesWith(next->GetCell(kind_, Row))) break;
                last = next;
            }
            return last;
        };
        auto right = bound(1);
        x1 = bound(-1)->ScreenLeft();
        x2 = right->ScreenLeft() + right->Width() - 1;
        y1 = Row * h;
        y2 = y1 + h - 1;
        return true;
    }
    if (Merge == vtlMergeVert) {
        int32_t r1 = Row;
        int32_t r2 = Row;
        while (r2 + 1 < rowSet->Rows() && MergesWith(column->GetCell(kind_, r2 + 1))) ++r2;
        while (r1 > 0 && MergesWith(column->GetCell(kind_, r1 - 1))) --r1;
        y1 = r1 * h;
        y2 = (r2 + 1) * h - 1;
    } else {
        y1 = Row * h;
        y2 = y1 + h - 1;
    }
    x1 = column->ScreenLeft();
    x2 = x1 + column->Width() - 1;
    return true;
}

// --- Cells ---

void Cells::SetStyle(std::shared_ptr<CellStyle> style)
{
    style_ = style ? std::move(style) : std::make_shared<CellStyle>();
}

void Cells::Init(std::shared_ptr<ColumnCollection> columns, int32_t kind, std::shared_ptr<Connector> connector)
{
    columns_ = std::move(columns);
    kind_ = kind;
    connector_ = std::move(connector);
}

void Cells::SendChanged() const
{
    if (!connector_) return;
    tv::Variant v = tv::Variant::null();
    connector_->SendNotify(kind_, kMsgRowSet, v);
}

std::shared_ptr<Cell> Cells::Item(const tv::Variant& col, int32_t row) const
{
    auto column = columns_ ? LookUpColumn(*columns_, col) : nullptr;
    return column ? column->GetCell(kind_, row) : nullptr;
}

void Cells::SetVisible(bool visible)
{
    if (visible == visible_) return;
    visible_ = visible;
    SendChanged();
}

void Cells::SetRowHeight(int32_t height)
{
    if (height == rowHeight_) return;
    rowHeight_ = height;
    SendChanged();
}

std::shared_ptr<Cell> Cells::MakeCell(const Column& column, int32_t row) const
{
    auto cell = std::make_shared<Cell>();
    cell->Init(column.Index(), row, kind_, connector_);
    cell->Style()->InitDefaults(kind_ == kHeaderCells ? kStyleHeader : kStyleFooter);
    cell->Style()->SetAlignment(column.Style()->Alignment());
    return cell;
}

bool Cells::SetRows(int32_t rows)
{
    if (rows == rows_) return true;
    if (rows < 0 || (rows < 1 && Count() > 0)) return false;
    if (columns_) {
        for (auto& entry : *columns_) {
            Column& column = *entry.value;
            auto list = column.GetCells(kind_);
            const size_t kept = std::min(list.size(), size_t(rows));
            list.resize(size_t(rows));
            for (size_t r = kept; r < list.size(); ++r) list[r] = MakeCell(column, int32_t(r));
            column.SetCells(kind_, std::move(list));
        }
    }
    rows_ = rows;
    SendChanged();
    return true;
}

} // namespace vantile
