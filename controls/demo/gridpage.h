#pragma once

// The demo's grid tab: the library's ListView in virtual mode over 100,000 generated rows.

class QWidget;

namespace vantile {
class ListView;
}

// A page holding the grid and a status line; *grid receives the grid.
QWidget* makeGridPage(vantile::ListView** grid);
// Puts the grid into the state the screenshot shows: sorted, scrolled, rows selected, focused.
void prepareGridScreenshot(vantile::ListView* grid);
