#include "updateregion.h"

namespace vantile {

UpdateRegion::UpdateRegion() : rgn_(std::make_shared<tv::GdiObject>()) {}

bool UpdateRegion::Contains(int32_t x1, int32_t y1, int32_t x2, int32_t y2) const
{
    if (!Handle()) return true;
    const tv::Rect r{std::max(x1, 0), std::max(y1, 0), std::min(x2 + 1, 32767), std::min(y2 + 1, 32767)};
    return tv::RectInRegion(Handle(), r);
}

void UpdateRegion::InvalidateRect(int32_t x1, int32_t y1, int32_t x2, int32_t y2)
{
    const tv::HandleId r = tv::CreateRectRgn(x1, y1, x2, y2);
    InvalidateRgn(r);
    tv::DeleteObject(r);
}

void UpdateRegion::ValidateRect(int32_t x1, int32_t y1, int32_t x2, int32_t y2)
{
    if (!Handle()) return;
    const tv::HandleId r = tv::CreateRectRgn(x1, y1, x2, y2);
    tv::CombineRgn(Handle(), Handle(), r, tv::RGN_DIFF);
    tv::DeleteObject(r);
}

void UpdateRegion::InvalidateRgn(tv::HandleId rgn)
{
    if (!rgn) return;
    if (!Handle()) {
        rgn_->setHandle(tv::CreateRectRgn(0, 0, 0, 0));
        tv::CombineRgn(Handle(), rgn, 0, tv::RGN_COPY);
    } else {
        tv::CombineRgn(Handle(), Handle(), rgn, tv::RGN_OR);
    }
}

} // namespace vantile
