#pragma once

#include "connector.h"
#include "platform/runtime/collection.h"

#include <memory>

namespace vantile {

class Column;

// The ordered members of one column group: the scrolling centre group or one of the groups fixed
// at the right or left edge. Owned by Columns, which creates the three with itself; the members
// are held here too, so a column lives while its group holds it. Geometry (each member's Order
// and Left, the group's Width) is brought up to date by Recalc, which the owner runs after
// every change of a column's place or size.
class ColumnGroup : public tv::Object {
public:
    // The first / last member that shows (Width above 0), or null.
    std::shared_ptr<Column> FirstVisible() const;
    std::shared_ptr<Column> LastVisible() const;
    // The neighbouring group in display order (left, centre, right), or null.
    std::shared_ptr<ColumnGroup> NextItem() const;
    std::shared_ptr<ColumnGroup> PrevItem() const;
    // A number is a position from 0; anything else a column key. Null when there is none.
    std::shared_ptr<Column> Item(const tv::Variant& indexOrKey) const;
    int32_t Count() const { return members_.count(); }
    // The members' widths summed by the last Recalc.
    int32_t Width() const { return width_; }

    // --- for the column model only ---
    void Init(int32_t number, std::shared_ptr<Connector> connector);
    // Set by the grid's layout: the group's left edge in the window, and the offset added to its
    // columns (minus the horizontal origin for the centre group, 0 for the fixed groups).
    int32_t Position() const { return position_; }
    void SetPosition(int32_t position) { position_ = position; }
    int32_t ScrollOffset() const { return scrollOffset_; }
    void SetScrollOffset(int32_t offset) { scrollOffset_ = offset; }
    void Clear() { members_.clear(); }
    // Renumbers the members 0, 1, 2, ..., lays them side by side and sums their widths.
    void Recalc();
    // The member at x (relative to the group's first column), or null. Hidden members are
    // never hit.
    std::shared_ptr<Column> HitTest(int32_t x) const;
    // Moves a member to a position (-1 first, -2 last, the count and above last); values
    // below -2 are refused.
    void MoveTo(const std::shared_ptr<Column>& column, int32_t newOrder);
    // Adds a column at the front (when `atFront` and the group has members) or at the end.
    // No recalculation.
    void Insert(const std::shared_ptr<Column>& column, bool atFront);
    // Takes a column out of the group. No recalculation.
    void Remove(const std::shared_ptr<Column>& column);

private:
    int PositionOf(const std::shared_ptr<Column>& column) const;   // 1-based, 0 when absent
    std::shared_ptr<ColumnGroup> Sibling(int32_t number) const;

    int32_t number_ = 0;
    std::shared_ptr<Connector> connector_;
    tv::Collection<std::shared_ptr<Column>> members_;
    int32_t width_ = 0;
    int32_t position_ = 0;
    int32_t scrollOffset_ = 0;
};

} // namespace vantile
