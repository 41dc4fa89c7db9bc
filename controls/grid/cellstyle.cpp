#include "cellstyle.h"

namespace vantile {

void CellStyle::Set(int32_t propId, int32_t value)
{
    int32_t& slot = values_[size_t(propId - 1)];
    if (slot == value) return;
    slot = value;
    PropertyChanged.raise(propId);
}

bool CellStyle::SetPropValue(int32_t propId, const tv::Variant& value, bool silent)
{
    if (!ValidId(propId)) return false;
    bool ok = true;
    const int32_t v = value.toLong(&ok);
    if (!ok) return false;
    if (silent)
        values_[size_t(propId - 1)] = v;
    else
        Set(propId, v);
    return true;
}

tv::Variant CellStyle::GetPropValue(int32_t propId) const
{
    if (!ValidId(propId)) return {};
    return tv::Variant(values_[size_t(propId - 1)]);
}

int32_t CellStyle::DrawTextFlags() const
{
    return Alignment() | VerticalAlignment() | kDtEndEllipsis | kDtNoPrefix
        | (WordBreak() ? kDtWordBreak : kDtSingleLine);
}

void CellStyle::CopyFrom(const CellStyle& source)
{
    SetAlignment(source.Alignment());
    SetVerticalAlignment(source.VerticalAlignment());
    SetFontStyle(source.FontStyle());
    SetTextColor(source.TextColor());
    SetWordBreak(source.WordBreak());
    SetBackColor(source.BackColor());
    SetBorderAppearance(source.BorderAppearance());
    SetBorderType(source.BorderType());
}

void CellStyle::InitDefaults(int32_t kind)
{
    SetWordBreak(false);
    SetVerticalAlignment(vtlVCenter);
    if (kind == kStyleData) {
        SetTextColor(vtlUseDefault);
        SetBackColor(vtlUseDefault);
        SetBorderAppearance(vtlUseDefault);
        SetBorderType(vtlUseDefault);
        SetFontStyle(vtlUseDefault);
    } else if (kind == kStyleHeader || kind == kStyleFooter) {
        SetTextColor(kSysColorBtnText);
        SetBackColor(kSysColorBtnFace);
        SetBorderAppearance(vtl3DEdgeRaised);
        SetBorderType(vtlBdrRect | kBorderSoft);
        SetFontStyle(vtlFntNormal);
    }
}

} // namespace vantile
