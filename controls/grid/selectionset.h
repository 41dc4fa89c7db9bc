#pragma once

#include "bitfield.h"
#include "platform/component/component.h"
#include "platform/component/event.h"
#include "platform/runtime/variant.h"

#include <memory>

namespace vantile {

// The selected rows of one grid, one bit per row. The grid creates it with itself, sizes it to
// its row count, shifts it when rows come and go, and hands it to the host. Every change made
// through the public members is reported once by SelectionChanged; while that event runs,
// PreviousMembers tells which rows were selected before, so the grid can repaint exactly the
// rows whose state changed.
class SelectionSet : public tv::Component {
public:
    // Selects the inclusive range (start -1: every row; end -1: the start row alone), after
    // deselecting everything when `clearCurrent` is set. Indices are clamped to the rows.
    void Add(int32_t startIndex = -1, int32_t endIndex = -1, bool clearCurrent = false);
    // Deselects the inclusive range, resolved as for Add.
    void Remove(int32_t startIndex = -1, int32_t endIndex = -1);
    // Deselects everything.
    void Clear();
    // The members in ascending order as an array of Longs from 0, or Null when there are none.
    tv::Variant Members() const;
    // Replaces the set by the indices of an array (Null or Empty: no members). Indices outside
    // the rows and values that are no row numbers are skipped.
    void SetMembers(const tv::Variant& members);
    bool Contains(int32_t index) const { return bits_.Item(index); }
    // Flips one row; indices outside the rows do nothing.
    void Toggle(int32_t index);
    // The number of members.
    int32_t Count() const;

    tv::Event<> SelectionChanged;

    // --- for the grid only ---
    // Rows inserted (delta > 0) before `position` (-1: at the end) or removed (delta < 0) from
    // `position` on. No event.
    void ShiftRows(int32_t delta, int32_t position);
    // Sizes the set to `bitCount` rows, all clear, then takes `bits` when it is not empty.
    void Restore(int32_t bitCount, const QByteArray& bits = {});
    // A new set holding the members from before the change being reported; outside
    // SelectionChanged it has none.
    std::shared_ptr<SelectionSet> PreviousMembers() const;
    int32_t RowCount() const { return bits_.Count(); }

private:
    // Runs a change between a snapshot and the event that reports it.
    template <class Change>
    void Changing(Change change);
    bool ResolveRange(int32_t& start, int32_t& end) const;

    BitField bits_;
    QByteArray snapshot_;
};

} // namespace vantile
