#pragma once

#include "cellstyle.h"
#include "connector.h"
#include "platform/runtime/collection.h"

#include <QString>
#include <memory>

namespace vantile {

class Column;
using ColumnCollection = tv::Collection<std::shared_ptr<Column>>;

// A column by 0-based position (a number) or key (a text; a numeric text that is no key counts
// as a position); null when there is none.
std::shared_ptr<Column> LookUpColumn(const ColumnCollection& columns, const tv::Variant& positionOrKey);

enum MergeCellEnum : int32_t { vtlMergeNone = 0, vtlMergeHorz = 1, vtlMergeVert = 2 };

// One header or footer cell. Held in its column's cell list (and by any host that keeps it).
// Neighbouring cells of equal text whose Merge asks for it report one common rectangle, so the
// painter draws the run once.
class Cell : public tv::Object {
public:
    QString Text;
    tv::Variant Icons = tv::Variant::null();
    int32_t Merge = vtlMergeNone;
    int32_t Col = 0;   // Index of the cell's column
    int32_t Row = 0;   // row within its header or footer area, from 0

    const std::shared_ptr<CellStyle>& Style() const { return style_; }
    void SetStyle(std::shared_ptr<CellStyle> style);

    // The cell's rectangle, both ends inclusive: x in grid-window coordinates, y from the top of
    // its own header or footer area, widened over the run of cells it merges with. A run never
    // leaves the column's group. False (outputs unchanged) when the cell's column or row is
    // gone.
    bool GetBounds(int32_t& x1, int32_t& y1, int32_t& x2, int32_t& y2) const;

    // --- for the column model only ---
    void Init(int32_t col, int32_t row, int32_t kind, std::shared_ptr<Connector> connector);

private:
    bool MergesWith(const std::shared_ptr<Cell>& other) const;

    std::shared_ptr<CellStyle> style_ = std::make_shared<CellStyle>();
    int32_t kind_ = 0;
    std::shared_ptr<Connector> connector_;
};

// The header rows or the footer rows of the grid: their number, height and visibility. Created
// with the column set, which hands it the column collection; the cells themselves live in the
// columns. Changes of Rows, RowHeight and Visible reach the grid as LayoutChange(8, kind).
class Cells : public tv::Object {
public:
    int32_t Icons = 0;   // icon setting of the rows, read by the grid's painting

    const std::shared_ptr<CellStyle>& Style() const { return style_; }
    void SetStyle(std::shared_ptr<CellStyle> style);

    // The cell of a column (a number: position in insertion order; else a key) and a row, or
    // null when either is not there.
    std::shared_ptr<Cell> Item(const tv::Variant& col, int32_t row) const;
    bool Visible() const { return visible_; }
    void SetVisible(bool visible);
    int32_t RowHeight() const { return rowHeight_; }
    void SetRowHeight(int32_t height);
    // The header cells do not act as pressed buttons. Sends nothing.
    bool LockButtons() const { return lockButtons_; }
    void SetLockButtons(bool lock) { lockButtons_ = lock; }
    int32_t Rows() const { return rows_; }
    // Gives every column exactly `rows` cells of this kind, keeping the cells that remain; new
    // cells look like those that Columns::Add makes. Refused (false) below 0, and below 1
    // while there are columns, since every column needs its first cell.
    bool SetRows(int32_t rows);
    int32_t Count() const { return columns_ ? columns_->count() : 0; }
    // Rows x RowHeight while shown and there are columns, else 0.
    int32_t Height() const { return Count() > 0 && visible_ ? rows_ * rowHeight_ : 0; }

    // --- for the column model only ---
    void Init(std::shared_ptr<ColumnCollection> columns, int32_t kind, std::shared_ptr<Connector> connector);
    int32_t Kind() const { return kind_; }
    // A new cell of this kind for a column, styled as a header or footer cell.
    std::shared_ptr<Cell> MakeCell(const Column& column, int32_t row) const;

private:
    void SendChanged() const;

    std::shared_ptr<CellStyle> style_ = std::make_shared<CellStyle>();
    bool visible_ = false;
    int32_t rowHeight_ = 0;
    bool lockButtons_ = false;
    int32_t rows_ = 0;
    int32_t kind_ = 0;
    std::shared_ptr<ColumnCollection> columns_;
    std::shared_ptr<Connector> connector_;
};

} // namespace vantile
