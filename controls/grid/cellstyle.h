#pragma once

#include "platform/component/event.h"
#include "platform/component/component.h"
#include "platform/gui/modfont.h"
#include "platform/runtime/variant.h"

#include <array>
#include <cstdint>

namespace vantile {

// Sentinel values of style properties: -1 takes the value from the next more general style.
enum DefaultConstEnum : int32_t { vtlNone = 0, vtlUseDefault = -1 };

enum TextAlignHorzEnum : int32_t { vtlLeft = 0, vtlCenter = 1, vtlRight = 2 };
enum TextAlignVertEnum : int32_t { vtlTop = 0, vtlVCenter = 4, vtlBottom = 8 };
// The font style word is the one the font helpers turn into fonts; naming it here (rather than
// declaring a second enumeration) keeps code that uses both namespaces free of ambiguities.
using tv::FontStyleEnum;
using tv::vtlFntUseDefault;
using tv::vtlFntNormal;
using tv::vtlFntBold;
using tv::vtlFntItalic;
using tv::vtlFntUnderline;
using tv::vtlFntStrikethru;
// Edge kinds of the border drawing; the negative values are one-pixel lines.
enum BorderAppearanceEnum : int32_t {
    vtl3DEdgeSunken = 10, vtl3DEdgeRaised = 5, vtl3DRaised = 4, vtl3DSunken = 2,
    vtl2DBlackLine = -4, vtl2dGrayLine = -2, vtl2DCustom = -1, vtl2DFlat = 0
};
// Sides of the border: left 1, top 2, right 4, bottom 8; kBorderSoft may be added.
enum BorderTypeEnum : int32_t { vtlBdrNone = 0, vtlBdrCol = 5, vtlBdrRow = 10, vtlBdrRect = 15 };
constexpr int32_t kBorderSoft = 0x1000;

// Which row a style describes; picks the defaults of InitDefaults.
enum StyleKind : int32_t { kStyleData = 0, kStyleHeader = 1, kStyleFooter = 2 };

// Text-drawing flags that a style turns into.
constexpr int32_t kDtWordBreak = 0x10;
constexpr int32_t kDtSingleLine = 0x20;
constexpr int32_t kDtNoPrefix = 0x800;
constexpr int32_t kDtEndEllipsis = 0x8000;

// OLE colours of the header and footer defaults (high bit set: a system colour by its index).
constexpr int32_t kSysColorBtnText = int32_t(0x80000000u | tv::COLOR_BTNTEXT);
constexpr int32_t kSysColorBtnFace = int32_t(0x80000000u | tv::COLOR_BTNFACE);

// The eight display attributes of a grid cell. A column, a header or footer cell, a row set
// and the column set each own one; whoever holds the shared pointer keeps it alive. Any
// 32-bit value is stored unchanged (no check against the enumerations). Every change made
// through a setter is reported by PropertyChanged after the new value is readable.
class CellStyle : public tv::Component {
public:
    // Property numbers; stored in the style's slots 1..8, never renumber.
    enum PropId : int32_t {
        kAlignment = 1, kVerticalAlignment = 2, kWordBreak = 3, kFontStyle = 4,
        kTextColor = 5, kBorderAppearance = 6, kBorderType = 7, kBackColor = 8
    };

    int32_t Alignment() const { return values_[kAlignment - 1]; }
    int32_t VerticalAlignment() const { return values_[kVerticalAlignment - 1]; }
    bool WordBreak() const { return values_[kWordBreak - 1] != 0; }
    int32_t FontStyle() const { return values_[kFontStyle - 1]; }
    int32_t TextColor() const { return values_[kTextColor - 1]; }
    int32_t BorderAppearance() const { return values_[kBorderAppearance - 1]; }
    int32_t BorderType() const { return values_[kBorderType - 1]; }
    int32_t BackColor() const { return values_[kBackColor - 1]; }

    void SetAlignment(int32_t v) { Set(kAlignment, v); }
    void SetVerticalAlignment(int32_t v) { Set(kVerticalAlignment, v); }
    void SetWordBreak(bool v) { Set(kWordBreak, v ? -1 : 0); }
    void SetFontStyle(int32_t v) { Set(kFontStyle, v); }
    void SetTextColor(int32_t v) { Set(kTextColor, v); }
    void SetBorderAppearance(int32_t v) { Set(kBorderAppearance, v); }
    void SetBorderType(int32_t v) { Set(kBorderType, v); }
    void SetBackColor(int32_t v) { Set(kBackColor, v); }

    // Raised with the property number when a setter changed a value.
    tv::Event<int32_t> PropertyChanged;

    // Stores `value` (converted to a 32-bit integer) under `propId`. Silent stores without
    // comparison or event. Fails (returns false, nothing changes) for a property number
    // outside 1..8 or a value that is no 32-bit integer.
    bool SetPropValue(int32_t propId, const tv::Variant& value, bool silent = false);
    // The stored value, or Empty for a property number outside 1..8.
    tv::Variant GetPropValue(int32_t propId) const;

    // Text-drawing flags: alignment, vertical alignment, end ellipsis, no prefix, and word
    // break or single line.
    int32_t DrawTextFlags() const;
    // Copies all eight values through the setters (each change raises its event).
    void CopyFrom(const CellStyle& source);
    // Sets the defaults of a data cell, header cell or footer cell (StyleKind) through the
    // setters; other kinds change only WordBreak and VerticalAlignment.
    void InitDefaults(int32_t kind);

private:
    static bool ValidId(int32_t propId) { return propId >= 1 && propId <= 8; }
    void Set(int32_t propId, int32_t value);

    std::array<int32_t, 8> values_{};
};

} // namespace vantile
