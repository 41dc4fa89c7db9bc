#pragma once

#include <QByteArray>
#include <cstdint>

namespace vantile {

// A packed array of bits, one per row of a grid; owned by its SelectionSet.
//
// Bit string: the bytes themselves, byte 0 first, no header, length or terminator. Position i
// lives in byte i / 8 under the mask 1 << (i % 8) (least significant bit first); the bits of
// the last byte past Count are spare and always clear.
class BitField {
public:
    int32_t Count() const { return count_; }
    // Resizes and clears every bit; below 1 the field becomes empty.
    void SetCount(int32_t count);
    // Positions outside 0..Count-1 read false and are not written.
    bool Item(int32_t index) const;
    void SetItem(int32_t index, bool value);
    // Sets or clears the inclusive range; whole bytes inside it are filled at once.
    void SetRange(int32_t startIndex, int32_t endIndex, bool value);
    const QByteArray& BitString() const { return bytes_; }
    // Replaces the bytes (the count stays); bits past Count are cleared.
    void SetBitString(const QByteArray& bits);
    // Inserts `bitCount` positions of `value` before `startIndex` (-1: at the end); the
    // positions from there move up.
    void InsertBits(int32_t bitCount, int32_t startIndex, bool value);
    // Removes `bitCount` positions from `startIndex` on (-1: the last ones); removing all
    // empties the field.
    void RemoveBits(int32_t bitCount, int32_t startIndex);

private:
    static int32_t ByteCount(int32_t bits) { return bits / 8 + (bits % 8 != 0 ? 1 : 0); }
    void ClearSpareBits();

    int32_t count_ = 0;
    QByteArray bytes_;
};

} // namespace vantile
