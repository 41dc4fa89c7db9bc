#include "catalogue/tree/cdistinctbuffer.h"

#include <algorithm>

namespace tv {

namespace {

// Rank of a value's kind in the order of the keys.
int kindRank(const Variant& v)
{
    if (v.isEmptyOrNull()) return 0;
    if (v.isNumber() || v.isBool() || v.isDate()) return 1;
    return 2;
}

} // namespace

int CDistinctBuffer::CompareKeys(const Variant& a, const Variant& b)
{
    const int ra = kindRank(a), rb = kindRank(b);
    if (ra != rb) return ra < rb ? -1 : 1;
    if (ra == 1) {
        const double x = a.toDouble(), y = b.toDouble();
        return x < y ? -1 : (x > y ? 1 : 0);
    }
    if (ra == 2) {
        const int c = QString::compare(a.text(), b.text(), Qt::CaseInsensitive);
        return c < 0 ? -1 : (c > 0 ? 1 : 0);
    }
    return 0;
}

void CDistinctBuffer::Create(std::vector<Variant> keys)
{
    keys_ = std::move(keys);
    std::sort(keys_.begin(), keys_.end(),
              [](const Variant& a, const Variant& b) { return CompareKeys(a, b) < 0; });
}

bool CDistinctBuffer::Contains(const Variant& key) const
{
    if (key.isEmptyOrNull()) return false;
    return std::binary_search(keys_.begin(), keys_.end(), key,
                              [](const Variant& a, const Variant& b) { return CompareKeys(a, b) < 0; });
}

} // namespace tv
