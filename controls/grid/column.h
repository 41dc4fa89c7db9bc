#pragma once

#include "cellstyle.h"
#include "connector.h"

#include <QString>
#include <memory>
#include <vector>

namespace vantile {

class Cell;
class ColumnGroup;

// Column groups, also a column's Fixed mode. Display order, left to right: left, centre, right.
enum ColumnGrpEnum : int32_t { vtlGrpCenter = 0, vtlGrpRight = 1, vtlGrpLeft = 2 };
enum FixedModeEnum : int32_t { vtlFixedNone = 0, vtlFixedRight = 1, vtlFixedLeft = 2 };
// Every value but 0 hides a column; 2 also keeps it hidden whatever a layout text says.
enum HiddenModeEnum : int32_t { vtlHiddenNone = 0, vtlHiddenCurrently = 1, vtlHiddenAllways = 2 };
// Kinds of header and footer rows (and of their cell lists in a column).
enum CellsKind : int32_t { kHeaderCells = 0, kFooterCells = 1 };

// One column of the grid. Created by Columns::Add and held by the column set, by its group and
// by any host that keeps it. It knows its owner only through the shared connector: every change
// of Width, Hidden, Order or Fixed is sent there, and the owner answers the requests that move
// the column or hand out its group.
class Column : public tv::Object {
public:
    // Switches and values read by the grid; writing them sends nothing.
    bool AllowSizing = false;
    bool AllowReorder = false;
    bool AllowFocus = false;
    bool AllowHide = false;
    int32_t MinWidth = 0;
    int32_t MaxWidth = 4096;
    tv::Variant Tag;
    QString Format;
    bool Merged = false;
    // A number, a list of numbers, a ";"-separated text of numbers, or the key of the column
    // whose value in the same row gives the icon ("-" before the key: the right-hand icon).
    tv::Variant Icons = tv::Variant::null();
    bool HideSelection = false;
    bool FetchStyle = false;
    bool FetchContents = false;
    bool OwnerDraw = false;

    const std::shared_ptr<CellStyle>& Style() const { return style_; }
    void SetStyle(std::shared_ptr<CellStyle> style);

    int32_t Index() const { return index_; }
    QString Key() const { return key_; }
    int32_t Left() const { return left_; }
    int32_t Right() const { return left_ + Width() - 1; }
    int32_t Width() const { return hidden_ != 0 ? 0 : width_; }
    // Ignored while the column is hidden.
    void SetWidth(int32_t width);
    int32_t Hidden() const { return hidden_; }
    void SetHidden(int32_t mode);
    int32_t Order() const { return order_; }
    // -1 first, -2 last, a position, or the group's count and above for last. Ignored while
    // the column is hidden; values below -2 leave the column where it is.
    void SetOrder(int32_t order);
    int32_t Fixed() const { return fixed_; }
    // Moves the column to the group of that number; values outside 0..2 are refused.
    void SetFixed(int32_t mode);

    // The header or footer cell of a row, or null for a row outside the list.
    std::shared_ptr<Cell> Header(int32_t row = 0) const { return GetCell(kHeaderCells, row); }
    std::shared_ptr<Cell> Footer(int32_t row = 0) const { return GetCell(kFooterCells, row); }

    // The column's group, or null when the owner is gone.
    std::shared_ptr<ColumnGroup> Group() const;
    // The neighbour in display order; crosses at most one group boundary unless `groupMember`
    // keeps it in the own group. `nonHidden` skips hidden columns.
    std::shared_ptr<Column> NextItem(bool groupMember = false, bool nonHidden = false) const;
    std::shared_ptr<Column> PrevItem(bool groupMember = false, bool nonHidden = false) const;

    // --- for the column model only ---
    void Init(const QString& key, int32_t index, int32_t width, std::shared_ptr<Connector> connector);
    // Cuts the column off its set when the set lets it go: its Index may then belong to
    // another column, which its messages must not move or report.
    void Detach() { connector_.reset(); }
    // Also renumbers the column of its cells.
    void SetIndex(int32_t index);
    void SetLeft(int32_t left) { left_ = left; }
    enum RawField : int32_t { kRawWidth = 1, kRawOrder = 2, kRawFixed = 3, kRawHidden = 4 };
    // Stores one field without any message.
    void SetRaw(int32_t which, int32_t value);
    // The column's x in the grid window: Left plus its group's position and scroll offset.
    int32_t ScreenLeft() const;
    void SetCells(int32_t kind, std::vector<std::shared_ptr<Cell>> cells);
    const std::vector<std::shared_ptr<Cell>>& GetCells(int32_t kind) const;
    std::shared_ptr<Cell> GetCell(int32_t kind, int32_t row) const;
    // The column's entry of the layout text without its key: "Hidden=h;Width=w;Fixed=f;Order=o".
    QString LayoutText() const;
    // Applies "name=value" fields separated by ";"; see columns.h for the grammar.
    void ApplyLayoutText(const QString& text);

private:
    void Send(int32_t code, int32_t value) const;
    std::shared_ptr<Column> Neighbour(int32_t step, bool groupMember, bool nonHidden) const;

    std::shared_ptr<Connector> connector_;
    std::shared_ptr<CellStyle> style_ = std::make_shared<CellStyle>();
    int32_t hidden_ = 0;
    int32_t fixed_ = 0;
    QString key_;
    int32_t index_ = 0;
    int32_t left_ = 0;
    int32_t width_ = 0;
    int32_t order_ = 0;
    std::vector<std::shared_ptr<Cell>> cells_[2];
};

} // namespace vantile
