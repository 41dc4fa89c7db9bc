#include "selectionset.h"

#include <algorithm>
#include <bit>
#include <cstring>

namespace vantile {

template <class Change>
void SelectionSet::Changing(Change change)
{
    snapshot_ = bits_.BitString();
    change();
    if (bits_.BitString() == snapshot_) return;
    auto self = keepAlive();   // a handler may drop the set
    SelectionChanged.raise();
    snapshot_.clear();
}

bool SelectionSet::ResolveRange(int32_t& start, int32_t& end) const
{
    if (start == -1) {
        start = 0;
        end = bits_.Count() - 1;
    } else if (end == -1) {
        end = start;
    }
    end = std::min(end, bits_.Count() - 1);
    start = std::max(start, 0);
    return start <= end;
}

void SelectionSet::Add(int32_t startIndex, int32_t endIndex, bool clearCurrent)
{
    const bool inRange = ResolveRange(startIndex, endIndex);
    Changing([&] {
        if (clearCurrent) bits_.SetCount(bits_.Count());
        if (inRange) bits_.SetRange(startIndex, endIndex, true);
    });
}

void SelectionSet::Remove(int32_t startIndex, int32_t endIndex)
{
    if (!ResolveRange(startIndex, endIndex)) return;
    Changing([&] { bits_.SetRange(startIndex, endIndex, false); });
}

void SelectionSet::Clear()
{
    Changing([&] { bits_.SetCount(bits_.Count()); });
}

tv::Variant SelectionSet::Members() const
{
    const int32_t n = Count();
    if (n == 0) return tv::Variant::null();
    tv::VariantArray members(0, n - 1);
    // A list of many rows asks this on every move of its selection: empty bytes are skipped.
    int32_t at = 0;
    const QByteArray& bytes = bits_.BitString();
    for (qsizetype b = 0; b < bytes.size() && at < n; ++b) {
        if (bytes[b] == 0) continue;
        for (int32_t i = int32_t(b) * 8, end = std::min(i + 8, bits_.Count()); i < end; ++i)
            if (bits_.Item(i)) members.at(at++) = tv::Variant(i);
    }
    return tv::Variant(members);
}

void SelectionSet::SetMembers(const tv::Variant& members)
{
    Changing([&] {
        bits_.SetCount(bits_.Count());
        const tv::VariantArray* list = members.array();
        if (!list || list->dims() != 1) return;
        for (int i = list->lbound(); i <= list->ubound(); ++i) {
            const tv::Variant& value = list->at(i);
            if (value.isEmptyOrNull()) continue;
            bool ok = false;
            const int32_t row = value.toLong(&ok);
            if (ok) bits_.SetItem(row, true);   // rows outside the set are not written
        }
    });
}

void SelectionSet::Toggle(int32_t index)
{
    if (index < 0 || index >= bits_.Count()) return;
    if (Contains(index))
        Remove(index);
    else
        Add(index);
}

int32_t SelectionSet::Count() const
{
    // Asked on every move of a list's selection: eight bytes at a time.
    const QByteArray& bytes = bits_.BitString();
    const qsizetype words = bytes.size() / 8;
    int32_t n = 0;
    for (qsizetype w = 0; w < words; ++w) {
        uint64_t word;
        std::memcpy(&word, bytes.constData() + w * 8, sizeof word);
        n += std::popcount(word);
    }
    for (qsizetype b = words * 8; b < bytes.size(); ++b) n += std::popcount(uint8_t(bytes[b]));
    return n;
}

void SelectionSet::ShiftRows(int32_t delta, int32_t position)
{
    if (delta > 0)
        bits_.InsertBits(delta, position, false);
    else if (delta < 0)
        bits_.RemoveBits(-delta, position);
}

void SelectionSet::Restore(int32_t bitCount, const QByteArray& bits)
{
    bits_.SetCount(bitCount);
    if (!bits.isEmpty()) bits_.SetBitString(bits);
}

std::shared_ptr<SelectionSet> SelectionSet::PreviousMembers() const
{
    auto previous = std::make_shared<SelectionSet>();
    previous->Restore(bits_.Count(), snapshot_);
    return previous;
}

} // namespace vantile
