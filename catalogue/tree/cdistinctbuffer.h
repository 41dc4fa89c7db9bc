#pragma once

#include "platform/runtime/variant.h"

#include <vector>

namespace tv {

// The distinct parent keys of one tree level, kept sorted in memory, so that the level
// above can tell whether a row has children without a query per row. Owned by its level
// record in CTreeLevels; replaced whenever the levels rebuild their buffers.
//
// Keys are ordered as the database orders a column of mixed values: Null first, then
// numbers (Booleans and dates by their value), then texts without regard to case, as the
// catalogue's text columns compare: a row is a parent exactly when the next level's query
// finds rows for it. The buffer sorts with the same comparison it searches with, so the
// order the rows were read in does not matter.
class CDistinctBuffer {
public:
    void Create(std::vector<Variant> keys);
    int Count() const { return int(keys_.size()); }
    // Whether `key` is one of the keys; a Null or Empty key is never found.
    bool Contains(const Variant& key) const;

    // -1, 0 or 1: the order above.
    static int CompareKeys(const Variant& a, const Variant& b);

private:
    std::vector<Variant> keys_;
};

} // namespace tv
