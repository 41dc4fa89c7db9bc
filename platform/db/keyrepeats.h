#pragma once

#include <algorithm>
#include <cstdint>
#include <vector>

namespace tv {

// Whether a key comes twice (a join may repeat one; such a result is read whole). Keys are
// mostly the numbers of a table's rows: a mark per number in their range costs less than a sort.
inline bool HasRepeatedKeys(const std::vector<int64_t>& keys)
{
    if (keys.empty()) return false;
    const auto [low, high] = std::minmax_element(keys.begin(), keys.end());
    const uint64_t range = uint64_t(*high) - uint64_t(*low);
    if (range < 4 * uint64_t(keys.size()) + 64) {
        std::vector<bool> seen(size_t(range) + 1);
        for (const int64_t k : keys) {
            const size_t at = size_t(uint64_t(k) - uint64_t(*low));
            if (seen[at]) return true;
            seen[at] = true;
        }
        return false;
    }
    std::vector<int64_t> sorted = keys;
    std::sort(sorted.begin(), sorted.end());
    return std::adjacent_find(sorted.begin(), sorted.end()) != sorted.end();
}

} // namespace tv
