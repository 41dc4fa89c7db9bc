#include "bitfield.h"

#include <cstdint>
#include <cstring>

namespace vantile {

namespace {
inline uint8_t Mask(int32_t index) { return uint8_t(1u << (index % 8)); }
}

void BitField::SetCount(int32_t count)
{
    count_ = count < 1 ? 0 : count;
    bytes_ = QByteArray(ByteCount(count_), '\0');
}

bool BitField::Item(int32_t index) const
{
    if (index < 0 || index >= count_) return false;
    return (uint8_t(bytes_[index / 8]) & Mask(index)) != 0;
}

void BitField::SetItem(int32_t index, bool value)
{
    if (index < 0 || index >= count_) return;
    char& byte = bytes_[index / 8];
    byte = char(value ? uint8_t(byte) | Mask(index) : uint8_t(byte) & ~Mask(index));
}

void BitField::SetRange(int32_t startIndex, int32_t endIndex, bool value)
{
    startIndex = std::max(startIndex, 0);
    endIndex = std::min(endIndex, count_ - 1);
    // Ragged ends bit by bit, the whole bytes between them in one fill.
    while (startIndex <= endIndex && startIndex % 8 != 0) SetItem(startIndex++, value);
    while (endIndex >= startIndex && endIndex % 8 != 7) SetItem(endIndex--, value);
    if (startIndex > endIndex) return;
    std::memset(bytes_.data() + startIndex / 8, value ? 0xFF : 0, size_t((endIndex - startIndex + 1) / 8));
}

void BitField::SetBitString(const QByteArray& bits)
{
    bytes_ = bits;
    bytes_.resize(ByteCount(count_), '\0');
    ClearSpareBits();
}

void BitField::ClearSpareBits()
{
    if (count_ % 8 != 0) bytes_[count_ / 8] = char(uint8_t(bytes_[count_ / 8]) & (Mask(count_) - 1));
}

void BitField::InsertBits(int32_t bitCount, int32_t startIndex, bool value)
{
    if (startIndex == -1) startIndex = count_;
    if (bitCount < 1 || bitCount > INT32_MAX - count_ || startIndex < 0 || startIndex > count_) return;
    const int32_t oldCount = count_;
    count_ += bitCount;
    bytes_.resize(ByteCount(count_), '\0');
    for (int32_t n = oldCount - 1; n >= startIndex; --n) SetItem(n + bitCount, Item(n));
    for (int32_t n = startIndex; n < startIndex + bitCount; ++n) SetItem(n, value);
}

void BitField::RemoveBits(int32_t bitCount, int32_t startIndex)
{
    if (bitCount < 1) return;
    const int32_t newCount = count_ - bitCount;
    if (newCount < 1) {
        SetCount(0);
        return;
    }
    if (startIndex != -1) {
        if (startIndex < 0 || startIndex > newCount) return;
        for (int32_t i = startIndex; i < newCount; ++i) SetItem(i, Item(i + bitCount));
    }
    count_ = newCount;
    bytes_.resize(ByteCount(count_));
    ClearSpareBits();
}

} // namespace vantile
