#pragma once

#include <QString>
#include <array>
#include <vector>

namespace tv {

class CTreeItem;

// Geometry and line glyphs of the tree's rows, apart from any drawing, so that the control
// only draws what these answer. Pixels; rows are 16 high.
//
// Line glyphs are numbered from 1: 1-3 first root row, 4-6 middle row, 7-9 last row of its
// subtree, 10-12 a root row that is also the last (each plain, plus, minus); 13 the
// vertical continuation line, 14 the horizontal connector segment.
constexpr int kTreeRowHeight = 16;
constexpr int kGlyphContinuation = 13;
constexpr int kGlyphConnector = 14;

// Where the parts of a row of level `level` start.
struct TreeRowGeometry {
    int x0 = 0;      // the row's glyph
    int step = 0;    // width of one level: Indentation x 16 + 16
    int iconX = 0;   // the icon (when icons are shown)
    int textX = 0;   // the text, before the text spacer
};
TreeRowGeometry RowGeometry(int level, int indentation, bool showIcon);

// What a press at x on a row of level `level` hits: 2 the glyph column, 1 the icon or the
// text (whose measured width is `textWidth`), 0 anything else.
enum TreeHitPart : int { hitNothing = 0, hitItem = 1, hitGlyph = 2 };
TreeHitPart HitPart(int x, int level, int indentation, int textWidth);

// The text a row shows: its text up to the first carriage return, with a blank each side.
QString RowShownText(const QString& text);

// One glyph to draw at x on the row's line.
struct TreeGlyph {
    int glyph = 0;
    int x = 0;
    bool operator==(const TreeGlyph&) const = default;
};

// The line columns of one paint: which ancestor columns carry on, row by row. Prepared from
// the first row on screen, then carried from each row to the next, so no row walks its
// ancestors.
class CLevelGlyphs {
public:
    // From the first row's ancestors: a column goes on where the ancestor is not the last
    // row of its subtree.
    void Prepare(const CTreeItem& first);
    // The glyphs of a row, left to right: continuation lines of its ancestors' columns,
    // its own glyph, then `indentation` connector segments.
    std::vector<TreeGlyph> RowGlyphs(const CTreeItem& item, int indentation);

private:
    std::array<int, 257> glyphs_{};   // by level, 1 to 256
};

} // namespace tv
