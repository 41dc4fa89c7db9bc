#pragma once

// UpdateRegion: a region that collects what must be repainted, held in a drawing-object
// holder created with the object and released with it. Offered to hosts that paint their
// own rows; no control of the library makes one.

#include "platform/gui/gdiobject.h"

namespace vantile {

class UpdateRegion : public tv::Object {
public:
    UpdateRegion();

    // True when there is no region; else whether the inclusive rectangle, cut to
    // 0 .. 32767, touches the region.
    bool Contains(int32_t x1, int32_t y1, int32_t x2, int32_t y2) const;
    // Adds the rectangle (right and bottom exclusive).
    void InvalidateRect(int32_t x1, int32_t y1, int32_t x2, int32_t y2);
    void ValidateRect(int32_t x1, int32_t y1, int32_t x2, int32_t y2);
    // Adds a region (0 does nothing): copied in when there is none yet, else joined.
    void InvalidateRgn(tv::HandleId rgn);
    tv::HandleId Handle() const { return rgn_->Handle(); }

private:
    tv::GdiObjectPtr rgn_;
};

} // namespace vantile
