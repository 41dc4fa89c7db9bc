#include "cellcontentlayout.h"

#include <algorithm>
#include <cmath>

namespace vantile {

CellContentLayout LayoutCellContent(int32_t x1, int32_t y1, int32_t x2, int32_t y2, int32_t format,
                                    const CellIcons& icons, bool hasImageList, int32_t iconSizeX,
                                    int32_t iconSizeY, std::optional<int32_t> textWidth)
{
    CellContentLayout layout;
    layout.iconTop = y1 + ((y2 - y1 + 1) - iconSizeY) / 2;
    int32_t x = x1 + 4;
    int32_t rightIcon = 0;
    if (hasImageList) {
        bool gap = icons.list;
        for (int32_t n : icons.numbers) {
            if (n < 0) {
                rightIcon = -n;
                break;
            }
            if (n > 0) layout.icons.push_back({n, x});
            x += iconSizeX;
            gap = true;
        }
        if (gap) x += 4;
    }
    if (!textWidth) return layout;

    const int32_t tw = *textWidth;
    int32_t w = x2 - 4 - (rightIcon > 0 ? iconSizeX : 0);
    const int32_t room = w - 4 - x + 1;
    if (tw > room) format &= ~(kDtCenter | kDtRight);
    if (rightIcon > 0) {
        int32_t e;
        if (format & kDtCenter)
            e = std::min(w, x + tw + 4 + int32_t(std::nearbyint((room - tw) / 2.0)));
        else if (format & kDtRight)
            e = w;
        else
            e = std::min(w, x + tw + 4);
        layout.icons.push_back({rightIcon, e});
        w -= 4;
    }
    layout.textLeft = x;
    layout.textTop = y1;
    layout.textRight = w;
    layout.textBottom = y2;
    layout.format = format;
    return layout;
}

} // namespace vantile
