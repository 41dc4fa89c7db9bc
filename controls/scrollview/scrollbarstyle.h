#pragma once

// The style the owner-drawn controls' scroll bars are painted with: the application's own
// style, painted in bands a few dozen pixels high.
//
// Qt's raster engine hands a fill that covers many scan lines (the gradient groove of a tall
// scroll bar, its border lines) to a pool of threads, and waiting for them costs far more
// than the fill itself: a list paging through a catalogue repaints its scroll bar on every
// page. Each band stays below that size and is painted by the caller's thread; the pixels
// are the ones the style paints in one piece. A bar painted again as it was painted lately
// is drawn from that painting.

class QStyle;

namespace vantile {

// Shared by all scroll bars; it lives as long as the application.
QStyle* ScrollBarStyle();

// How many times the style painted a bar's look (not drawn from an earlier painting).
int ScrollBarLooksPainted();

// The height of the bands a tall scroll bar is painted in: Qt 6 keeps a fill of fewer than 96
// scan lines on the painting thread.
constexpr int kScrollBarBand = 88;

} // namespace vantile
