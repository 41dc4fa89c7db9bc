#pragma once

// The cell painter: one routine through which every cell of the grid is drawn (body cells,
// empty rows, header and footer cells, drag images), and the two helpers it shares with the
// rest of the library. It draws on a device context that the caller owns, keeps no state and
// leaves the font and text colour it selected in that context, so a row of cells with the
// same font and colour costs one selection.

#include "cellicons.h"
#include "platform/gui/gdi.h"

#include <QString>

namespace vantile {

// A border drawn with the brush of DrawCellFrame rather than as an edge.
constexpr int32_t kEdgeCustomBrush = -3;

// Frames the rectangle (right and bottom exclusive) with the one-pixel dotted focus pattern.
void DrawFocusFrame(tv::HandleId hdc, const tv::Rect& r);

// Background and border of a rectangle. `edgeStyle` is a BorderAppearanceEnum value or
// kEdgeCustomBrush; `edgeFlags` names the sides (1 left, 2 top, 4 right, 8 bottom) plus edge
// flags. With kEdgeCustomBrush, `mode` -1 paints side strips of `borderWidth` pixels in
// `borderBrush` (a frame when all four sides at width 1), any other mode fills with the
// border brush and then the rectangle shrunk by the width on the named sides with `brush`.
void DrawCellFrame(tv::HandleId hdc, const tv::Rect& r, int32_t edgeStyle, tv::HandleId brush,
                   tv::HandleId borderBrush, int32_t edgeFlags, int32_t borderWidth, int32_t mode);

struct CellPaint {
    QString text;                 // empty: no text
    int32_t format = 0;           // text-drawing flags
    int32_t textColor = -1;       // RGB or OLE colour; -1 keeps the context's
    tv::HandleId font = 0;        // 0 keeps the selected font
    tv::HandleId brush = 0;       // background; 0 none
    int32_t edgeStyle = 0;        // BorderAppearanceEnum
    int32_t edgeMode = 0;         // sides and edge flags
    int32_t extraDivider = 0;     // sides of a line drawn over the border
    tv::HandleId dividerBrush = -1;   // -1: a one-pixel window-frame line
    int32_t dividerWidth = 1;
    tv::HandleId iconList = 0;    // drawing image list; 0 no icons
    CellIcons icons;
    int32_t iconSizeX = 16, iconSizeY = 16;
    bool focus = false;
    bool invert = false;
};

// Paints the cell (x1, y1)-(x2, y2), both ends inclusive: background and border, the extra
// line, the focus frame, icons, text (its bottom edge is y2, so the last pixel row where row
// lines lie stays free), and an inversion of the whole cell.
void DrawCellContent(tv::HandleId hdc, int32_t x1, int32_t y1, int32_t x2, int32_t y2, const CellPaint& cell);

} // namespace vantile
