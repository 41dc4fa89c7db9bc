#pragma once

// Lines of text shaped once, for the cells of a list: the width, the cut with an ellipsis and
// the drawing all come from the same glyphs, where measuring, cutting and drawing the text
// each on its own would shape it again. Used by DrawText (textedge.h) for plain single lines.

#include <QFont>
#include <QGlyphRun>
#include <QString>

class QFontMetrics;
class QPainter;

namespace tv {

struct ShapedLine {
    int width = 0;   // as QFontMetrics::horizontalAdvance gives it
    // The glyphs in the font's own face, or empty: the line is then measured only, and cut
    // and drawn as text.
    QGlyphRun run;
    bool oneGlyphEach = false;   // the run holds one own glyph for each character of the text
};

// Whether the first `length` characters are letters whose line only widens as it goes on and
// that each take a glyph of their own unless joined into a ligature: no joining marks, no
// hidden hyphens, no text running from right to left.
bool PlainCharacters(const QString& text, qsizetype length);

// The shaping of a line; the last few are kept, as a cell asks for its text more than once.
// A line of plain characters without ligatures is placed by the steps of its character pairs,
// each shaped once per font, which puts every glyph where shaping the whole line would.
ShapedLine ShapeLine(const QFont& font, const QFontMetrics& fm, const QString& text);

// A line cut at the right with an ellipsis: its first `keep` glyphs and the ellipsis glyph at
// `ellipsisX`, `width` wide, reading `text`. `found` is false when the cut could not be made
// on the glyphs; an empty `text` is a box too narrow for the ellipsis itself.
struct CutLine {
    bool found = false;
    int keep = 0;
    quint32 ellipsisGlyph = 0;
    qreal ellipsisX = 0;
    int width = 0;
    QString text;
};

// The cut QFontMetrics::elidedText makes for `width`, found on the glyphs of `shaped`, which
// holds `text` or its start (`whole` false): a cut must then lie well before that start's end,
// where the rest of the text cannot change the glyphs.
CutLine CutLineWithEllipsis(const QFont& font, const ShapedLine& shaped, const QString& text, bool whole, int width);

// Draws a shaped line (its first `keep` glyphs and an ellipsis when cut) with its baseline at
// `baseline`, in the painter's pen.
void DrawShapedLine(QPainter* p, const QPointF& baseline, const ShapedLine& shaped, const CutLine* cut);

} // namespace tv
