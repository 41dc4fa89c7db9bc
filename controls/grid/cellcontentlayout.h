#pragma once

#include "cellicons.h"

#include <cstdint>
#include <optional>
#include <vector>

namespace vantile {

// Text-drawing alignment flags that the cell painter drops for text that does not fit.
constexpr int32_t kDtCenter = 0x1;
constexpr int32_t kDtRight = 0x2;

// Where the cell painter puts a cell's icons and text; worked out before anything is drawn.
struct CellContentLayout {
    struct Icon {
        int32_t image;   // 1-based number in the image list
        int32_t x;
        bool operator==(const Icon&) const = default;
    };
    int32_t iconTop = 0;
    std::vector<Icon> icons;   // left icons to draw (0 keeps its place but is not drawn), then
                               // the right-hand icon when there is text to go with it
    // Text rectangle, right and bottom exclusive, and the drawing flags for it; only set when
    // there is text.
    int32_t textLeft = 0, textTop = 0, textRight = 0, textBottom = 0;
    int32_t format = 0;
};

// Lays out the content of the cell (x1, y1)-(x2, y2), both ends inclusive. Left icons start 4
// pixels in and sit side by side, `iconSizeX` apart, vertically centred; a list, or a single
// left icon, leaves 4 more pixels before the text. A right-hand icon follows the text (centred
// or right-aligned text moves it along) but stays inside the cell. Text wider than the room is
// drawn left-aligned so that its start shows. `textWidth` is the measured width of the text,
// nullopt for no text. Without an image list no icon is placed.
CellContentLayout LayoutCellContent(int32_t x1, int32_t y1, int32_t x2, int32_t y2, int32_t format,
                                    const CellIcons& icons, bool hasImageList, int32_t iconSizeX,
                                    int32_t iconSizeY, std::optional<int32_t> textWidth);

} // namespace vantile
