#pragma once

#include "platform/runtime/variant.h"

#include <QString>
#include <functional>
#include <optional>
#include <vector>

namespace vantile {

// The icons of one cell in the form the cell painter takes: 1-based image numbers of the left
// icons (0 keeps a place free), and a negative number -n for the right-hand icon n, which also
// ends the left icons. A list reserves the gap after the left icons even when it holds none; a
// single value only when it is a left icon.
struct CellIcons {
    std::vector<int32_t> numbers;
    bool list = false;

    bool operator==(const CellIcons&) const = default;
};

// Normalises an icon value. Grammar of a text: number *( ";" number ), each a whole number with
// an optional "-". A number gives a single value, an array or a text a list; Null, Empty and ""
// give no icons. Anything else (a text that is no such list) is not an icon list: nullopt, so
// that a column key is never read as a number.
std::optional<CellIcons> ParseIconList(const tv::Variant& value);

// The value of a column in the row being drawn, looked up by the column's key.
using RowValueLookup = std::function<tv::Variant(const QString& key)>;

// A column's or cell's Icons for one row: an icon list as above, or the key of another column
// (often hidden) whose value in the same row is the image number; "-" before the key makes it
// the right-hand icon. A key without a number in the row (or without a lookup) gives no icons.
// A header cell's -2 and -1 thus pick the right-hand images 2 and 1 (the sort arrows) of the
// header image list.
CellIcons ResolveIcons(const tv::Variant& icons, const RowValueLookup& rowValue = {});

} // namespace vantile
