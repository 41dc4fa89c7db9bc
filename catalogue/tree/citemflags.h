#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace tv {

// Bits of a tree row's flag byte. Hosts and the tree's own classes compare against these
// values, so never renumber them.
enum TreeItemFlag : uint8_t {
    fRootItem = 1,     // row 0 of the root subtree
    fLastItem = 2,     // last row of its subtree (draws the closing tree line)
    fExpanded = 8,     // the row has a child subtree
    fSelected = 16,    // the row is the selected row
    fExpandable = 32,  // in plus/minus mode: the row may have children
    fVisible = 64,     // the row is in the screen buffer
    fRedraw = 128,     // the row must be repainted
};

// One flag byte per row of a subtree. Owned by its subtree; rebuilt when the subtree is
// re-read. An index outside 0..Count-1 reads as 0 and a write to it is ignored.
class CItemFlags {
public:
    void Create(int count, uint8_t value) { bytes_.assign(count > 0 ? std::size_t(count) : 0, value); }
    int Count() const { return int(bytes_.size()); }

    uint8_t Item(int index) const { return valid(index) ? bytes_[std::size_t(index)] : 0; }
    void SetItem(int index, uint8_t value)
    {
        if (valid(index)) bytes_[std::size_t(index)] = value;
    }

    bool Get(int index, TreeItemFlag bit) const { return (Item(index) & bit) != 0; }
    void Set(int index, TreeItemFlag bit, bool on)
    {
        if (valid(index)) {
            uint8_t& b = bytes_[std::size_t(index)];
            b = on ? uint8_t(b | bit) : uint8_t(b & ~bit);
        }
    }

private:
    bool valid(int index) const { return index >= 0 && std::size_t(index) < bytes_.size(); }
    std::vector<uint8_t> bytes_;
};

} // namespace tv
