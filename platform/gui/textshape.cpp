#include "textshape.h"

#include <QFontMetrics>
#include <QPainter>
#include <QRawFont>
#include <QTextLayout>

#include <algorithm>
#include <array>
#include <vector>

namespace tv {

namespace {
constexpr char16_t kEllipsis = 0x2026;

bool decorated(const QFont& font) { return font.underline() || font.overline() || font.strikeOut(); }

// The glyphs of a line when they come in one run, and the line's whole advance.
QGlyphRun shapeOneRun(const QFont& font, const QString& text, qreal* advance = nullptr)
{
    QTextLayout layout(text, font);
    layout.setCacheEnabled(true);   // else the glyph runs shape the line once more
    QTextOption option;
    option.setWrapMode(QTextOption::NoWrap);
    layout.setTextOption(option);
    layout.beginLayout();
    QTextLine line = layout.createLine();
    layout.endLayout();
    if (!line.isValid()) return {};
    if (advance) *advance = line.horizontalAdvance();
    const QList<QGlyphRun> runs = line.glyphRuns();
    if (runs.size() != 1) return {};
    return runs.front();
}

// What the ellipsis of a font is: its glyph and width, and how far a character ahead of it
// reaches (its advance with the kerning of the pair).
struct EllipsisOf {
    QFont font;
    QRawFont raw;   // the font's own face: the ellipsis is taken from it only
    quint32 glyph = 0;
    qreal width = 0;
    std::vector<std::pair<char16_t, qreal>> reachBefore;

    qreal reach(QChar c)
    {
        for (const auto& [ch, x] : reachBefore)
            if (ch == c.unicode()) return x;
        qreal x = -1;
        const QGlyphRun run = shapeOneRun(font, QString(c) + QChar(kEllipsis));
        if (run.glyphIndexes().size() == 2 && run.rawFont() == raw) x = run.positions()[1].x() - run.positions()[0].x();
        reachBefore.emplace_back(c.unicode(), x);
        return x;
    }
};

EllipsisOf* ellipsisOf(const QFont& font)
{
    // Never freed: fonts must not outlive the application's font cache at exit.
    static thread_local auto* fonts = new std::array<EllipsisOf, 4>;
    static thread_local size_t next = 0;
    for (EllipsisOf& e : *fonts)
        if (e.raw.isValid() && e.font == font) return &e;
    EllipsisOf& e = (*fonts)[next];
    next = (next + 1) % fonts->size();
    e = {};
    e.font = font;
    e.raw = QRawFont::fromFont(font);
    const QList<quint32> glyphs = e.raw.glyphIndexesForString(QString(QChar(kEllipsis)));
    if (glyphs.size() == 1 && glyphs.front() != 0) {
        e.glyph = glyphs.front();
        e.width = e.raw.advancesForGlyphIndexes(glyphs).front().x();
    }
    return &e;
}
} // namespace

bool PlainCharacters(const QString& text, qsizetype length)
{
    return std::all_of(text.begin(), text.begin() + length, [](QChar c) {
        return c.unicode() >= 0x20 && c.unicode() < 0x300 && c.unicode() != 0xAD;
    });
}

ShapedLine ShapeLine(const QFont& font, const QFontMetrics& fm, const QString& text)
{
    struct Entry {
        QFont font;
        QString text;
        ShapedLine shaped;
    };
    // Never freed: fonts must not outlive the application's font cache at exit.
    static thread_local auto* recent = new std::array<Entry, 8>;
    static thread_local size_t next = 0;
    for (const Entry& e : *recent)
        if (e.text.size() == text.size() && e.text == text && e.font == font) return e.shaped;
    Entry& e = (*recent)[next];
    next = (next + 1) % recent->size();
    e.font = font;
    e.text = text;
    e.shaped = {};
    if (!text.isEmpty() && PlainCharacters(text, text.size()) && !decorated(font)) {
        qreal advance = 0;
        const QGlyphRun run = shapeOneRun(font, text, &advance);
        if (!run.isEmpty()) {
            e.shaped.run = run;
            e.shaped.width = qRound(advance);   // horizontalAdvance rounds the same sum
            return e.shaped;
        }
    }
    e.shaped.width = fm.horizontalAdvance(text);
    return e.shaped;
}

CutLine CutLineWithEllipsis(const QFont& font, const ShapedLine& shaped, const QString& text, bool whole, int width)
{
    CutLine cut;
    const QGlyphRun& run = shaped.run;
    if (run.isEmpty() || text.size() <= 1) return cut;
    EllipsisOf* ellipsis = ellipsisOf(font);
    if (ellipsis->glyph == 0 || run.rawFont() != ellipsis->raw) return cut;
    // The characters before the first one the shaping joined or replaced (a ligature) each
    // stand on a glyph of their own. Past that the glyphs no longer stand one for each
    // character: a cut must come well before it, as before the end of a start of the text.
    const QList<quint32> shapedGlyphs = run.glyphIndexes();
    const QList<quint32> ownGlyphs = ellipsis->raw.glyphIndexesForString(text);
    const qsizetype both = std::min(shapedGlyphs.size(), ownGlyphs.size());
    qsizetype n = 0;
    while (n < both && shapedGlyphs[n] == ownGlyphs[n]) ++n;
    if (n < text.size() || shapedGlyphs.size() != text.size()) whole = false;
    const QList<QPointF> places = run.positions();
    const qreal available = qreal(width) - ellipsis->width;
    if (available < 0) {   // not even the ellipsis fits: nothing is shown
        cut.found = true;
        return cut;
    }
    // elidedText adds the characters' widths until they reach the room beside the ellipsis
    // and keeps the characters before the one that reached it (at most all but the last).
    // A character's width is where the next one stands.
    qsizetype keep = whole ? n - 1 : -1;
    for (qsizetype i = 0; i + 1 < n; ++i)
        if (places[i + 1].x() - places[0].x() >= available) {
            keep = i;
            break;
        }
    if (keep < 0 || (!whole && keep + 4 > n)) return cut;
    qreal x = 0;
    if (keep > 0) {
        const qreal reach = ellipsis->reach(text.at(keep - 1));
        if (reach < 0) return cut;
        x = places[keep - 1].x() - places[0].x() + reach;
    }
    cut.found = true;
    cut.keep = int(keep);
    cut.ellipsisGlyph = ellipsis->glyph;
    cut.ellipsisX = x;
    cut.width = qRound(x + ellipsis->width);
    cut.text = text.left(keep) + QChar(kEllipsis);
    return cut;
}

void DrawShapedLine(QPainter* p, const QPointF& baseline, const ShapedLine& shaped, const CutLine* cut)
{
    const QGlyphRun& run = shaped.run;
    const QList<QPointF> places = run.positions();
    if (places.isEmpty()) return;
    if (!cut) {
        p->drawGlyphRun(baseline - places.front(), run);
        return;
    }
    if (cut->text.isEmpty()) return;
    if (cut->keep > 0) {
        QGlyphRun head = run;
        head.setGlyphIndexes(run.glyphIndexes().first(cut->keep));
        head.setPositions(places.first(cut->keep));
        p->drawGlyphRun(baseline - places.front(), head);
    }
    QGlyphRun dots;
    dots.setRawFont(run.rawFont());
    dots.setGlyphIndexes({cut->ellipsisGlyph});
    dots.setPositions({QPointF(cut->ellipsisX, 0)});
    p->drawGlyphRun(baseline, dots);
}

} // namespace tv
