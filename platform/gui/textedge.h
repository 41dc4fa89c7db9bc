#pragma once

// Three-dimensional edges and formatted text on a device context (dc.h).

#include "dc.h"

#include <QString>

namespace tv {

// Edge kinds: an outer and an inner ring, each raised or sunken.
enum EdgeKind : int {
    BDR_RAISEDOUTER = 0x1,
    BDR_SUNKENOUTER = 0x2,
    BDR_RAISEDINNER = 0x4,
    BDR_SUNKENINNER = 0x8,
    EDGE_RAISED = BDR_RAISEDOUTER | BDR_RAISEDINNER,
    EDGE_SUNKEN = BDR_SUNKENOUTER | BDR_SUNKENINNER,
    EDGE_ETCHED = BDR_SUNKENOUTER | BDR_RAISEDINNER,
    EDGE_BUMP = BDR_RAISEDOUTER | BDR_SUNKENINNER,
};

// Edge flags: the sides to draw and how.
enum EdgeFlag : int {
    BF_LEFT = 0x1,
    BF_TOP = 0x2,
    BF_RIGHT = 0x4,
    BF_BOTTOM = 0x8,
    BF_RECT = 0xF,
    BF_MIDDLE = 0x800,   // fill the inside: window colour with BF_MONO, else the face colour
    BF_SOFT = 0x1000,    // the lighter shade on the outer top-left
    BF_ADJUST = 0x2000,  // shrink the rectangle by the drawn edge
    BF_FLAT = 0x4000,    // outer ring in the button-shadow colour, inner in the face colour
    BF_MONO = 0x8000,    // outer ring in the window-frame colour, inner in the window colour
};

// Draws an edge on the rectangle. Each ring is one pixel: the top and left lines in the
// ring's top-left colour, the bottom and right lines (which own the corners they share) in
// its bottom-right colour. With BF_ADJUST the rectangle comes back shrunk by what was drawn.
bool DrawEdge(HandleId hdc, Rect& r, int edge, int flags);

// Text format flags.
enum TextFormat : uint32_t {
    DT_LEFT = 0x0,
    DT_CENTER = 0x1,
    DT_RIGHT = 0x2,
    DT_TOP = 0x0,
    DT_VCENTER = 0x4,      // single lines only
    DT_BOTTOM = 0x8,       // single lines only
    DT_WORDBREAK = 0x10,
    DT_SINGLELINE = 0x20,
    DT_EXPANDTABS = 0x40,
    DT_NOCLIP = 0x100,
    DT_CALCRECT = 0x400,   // measure only: right = left + widest line, bottom = top + height
    DT_NOPREFIX = 0x800,   // "&" is shown as it is, else it underlines the next character
    DT_END_ELLIPSIS = 0x8000,
    DT_HIDEPREFIX = 0x100000,
};

// Draws text in the context's font and text colour (with the background colour behind it in
// opaque mode). Lines break at line feeds unless DT_SINGLELINE; DT_WORDBREAK also breaks
// between words that would pass the right edge (a word longer than the line stays whole).
// Returns the height of the text; with DT_VCENTER or DT_BOTTOM the offset from the top to
// the bottom of the text. With DT_CALCRECT nothing is drawn and r receives the text's size.
int DrawText(HandleId hdc, const QString& text, Rect& r, uint32_t format);

// The width DrawText with DT_CALCRECT gives, exact up to `limit`: a text wider than that may
// measure any width past it (a long text is measured by its start only).
int MeasureTextUpTo(HandleId hdc, const QString& text, uint32_t format, int limit);

// Width and height of one line of text in the context's font.
QSize GetTextExtent(HandleId hdc, const QString& text);

} // namespace tv
