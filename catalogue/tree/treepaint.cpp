#include "catalogue/tree/treepaint.h"

#include "catalogue/tree/ctreeitem.h"

#include <algorithm>

namespace tv {

TreeRowGeometry RowGeometry(int level, int indentation, bool showIcon)
{
    TreeRowGeometry g;
    g.step = indentation * 16 + 16;
    g.x0 = (level - 1) * g.step;
    g.iconX = g.x0 + g.step;
    g.textX = showIcon ? g.iconX + 16 : g.iconX;
    return g;
}

TreeHitPart HitPart(int x, int level, int indentation, int textWidth)
{
    const TreeRowGeometry g = RowGeometry(level, indentation, true);
    if (x >= g.x0 && x < g.iconX) return hitGlyph;
    if (x >= g.iconX && x <= g.textX + textWidth) return hitItem;
    return hitNothing;
}

QString RowShownText(const QString& text)
{
    const int cr = text.indexOf(QLatin1Char('\r'));
    return QLatin1Char(' ') + (cr >= 0 ? text.left(cr) : text) + QLatin1Char(' ');
}

void CLevelGlyphs::Prepare(const CTreeItem& first)
{
    // Every level is reset, not only the first ten: a deep tree must not show columns
    // left over from an earlier paint.
    glyphs_.fill(0);
    for (auto ancestor = first.ParentItem(); ancestor; ancestor = ancestor->ParentItem()) {
        if (!ancestor->IsLastItem() && ancestor->Level >= 1 && ancestor->Level <= 256)
            glyphs_[size_t(ancestor->Level)] = kGlyphContinuation;
    }
}

std::vector<TreeGlyph> CLevelGlyphs::RowGlyphs(const CTreeItem& item, int indentation)
{
    const int level = std::clamp(item.Level, 1, 256);
    const TreeRowGeometry g = RowGeometry(level, indentation, true);
    const int own = item.TreeLineIcon();
    glyphs_[size_t(level)] = own;
    std::vector<TreeGlyph> out;
    for (int i = 1; i < level; ++i) {
        int& column = glyphs_[size_t(i)];
        if (column >= 7 && column <= 12) {
            column = 0;   // a last row ends its column
        } else if (column != 0) {
            out.push_back({kGlyphContinuation, (i - 1) * g.step});
            column = kGlyphContinuation;
        }
    }
    out.push_back({own, g.x0});
    for (int k = 1; k <= indentation; ++k) out.push_back({kGlyphConnector, g.x0 + 16 * k});
    return out;
}

} // namespace tv
