#include "textshape.h"

#include <QFontMetrics>
#include <QHash>
#include <QPainter>
#include <QRawFont>
#include <QTextLayout>

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <vector>

namespace tv {

namespace {
constexpr char16_t kEllipsis = 0x2026;

bool decorated(const QFont& font) { return font.underline() || font.overline() || font.strikeOut(); }

// Spacing the shaping of a whole line adds beyond its pairs: letter and word spacing, and
// capitals made from small letters.
bool plainSpacing(const QFont& font)
{
    return font.letterSpacing() == 0 && font.wordSpacing() == 0 && font.capitalization() == QFont::MixedCase;
}

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

// What a list's lines need of a font, kept per font: its own face, its ellipsis glyph and
// width, and how far each plain character stands from the next. A line of plain characters
// is then placed by adding up those steps, without shaping it: the steps are taken from the
// shaping of the pairs themselves, so they hold the kerning of each pair; a pair the shaping
// joins or replaces (a ligature) has no step, and its line is shaped whole.
struct FontFace {
    QFont font;
    QRawFont raw;   // the font's own face: the ellipsis and the summed lines are taken from it
    quint32 ellipsisGlyph = 0;
    qreal ellipsisWidth = 0;
    std::vector<quint32> glyphs;   // by plain character: kNoGlyph until looked up, 0 when missing
    // The steps by pair of characters, -1 where the pair is not two own glyphs: those between
    // printable ASCII characters, the most of every list, in a table (NaN until shaped; a step
    // is a whole number of 64ths of a pixel, which a float holds exactly), the others by key.
    std::vector<float> asciiSteps;
    QHash<quint32, qreal> steps;

    static constexpr quint32 kNoGlyph = 0xFFFFFFFFu;

    quint32 glyph(char16_t c)
    {
        if (c >= glyphs.size()) return 0;
        quint32& g = glyphs[c];
        if (g == kNoGlyph) {
            const QChar ch(c);
            quint32 found = 0;
            int count = 1;
            g = raw.glyphIndexesForChars(&ch, 1, &found, &count) && count == 1 ? found : 0;
        }
        return g;
    }

    // Where the character after `a` stands when `b` follows it; with `b` 0, the advance of `a`
    // at the end of a line. -1 when the shaping of the pair is not one own glyph each.
    qreal step(char16_t a, char16_t b)
    {
        if (a >= 0x20 && a < 0x7F && b >= 0x20 && b < 0x7F) {
            float& cached = asciiSteps[size_t(a - 0x20) * 95 + size_t(b - 0x20)];
            if (std::isnan(cached)) cached = float(shapePair(a, b));
            return cached;
        }
        const quint32 key = quint32(a) << 16 | b;
        if (const auto hit = steps.constFind(key); hit != steps.constEnd()) return *hit;
        return *steps.insert(key, shapePair(a, b));
    }

    qreal shapePair(char16_t a, char16_t b)
    {
        qreal advance = 0;
        QString pair{QChar(a)};
        if (b) pair += QChar(b);
        const QGlyphRun run = shapeOneRun(font, pair, &advance);
        const QList<quint32> shaped = run.glyphIndexes();
        if (run.rawFont() != raw || shaped.size() != pair.size() || shaped[0] == 0 || shaped[0] != glyph(a))
            return -1;
        if (!b) return advance;
        if (shaped[1] == 0 || shaped[1] != (b == kEllipsis ? ellipsisGlyph : glyph(b))) return -1;
        return run.positions()[1].x() - run.positions()[0].x();
    }
};

FontFace* faceOf(const QFont& font)
{
    // Never freed: fonts must not outlive the application's font cache at exit.
    static thread_local auto* fonts = new std::array<FontFace, 4>;
    static thread_local size_t next = 0;
    for (FontFace& f : *fonts)
        if (f.raw.isValid() && f.font == font) return &f;
    FontFace& f = (*fonts)[next];
    next = (next + 1) % fonts->size();
    f = {};
    f.font = font;
    f.raw = QRawFont::fromFont(font);
    f.glyphs.assign(0x300, FontFace::kNoGlyph);
    f.asciiSteps.assign(95 * 95, std::numeric_limits<float>::quiet_NaN());
    const QList<quint32> glyphs = f.raw.glyphIndexesForString(QString(QChar(kEllipsis)));
    if (glyphs.size() == 1 && glyphs.front() != 0) {
        f.ellipsisGlyph = glyphs.front();
        f.ellipsisWidth = f.raw.advancesForGlyphIndexes(glyphs).front().x();
    }
    return &f;
}

// A line of plain characters placed by the steps of its pairs; false where a pair has none.
bool sumSteps(FontFace& face, const QString& text, ShapedLine& out)
{
    if (!face.raw.isValid()) return false;
    const qsizetype n = text.size();
    QList<quint32> glyphs(n);
    QList<QPointF> places(n);
    qreal x = 0;
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t c = text.at(i).unicode();
        glyphs[i] = face.glyph(c);
        const qreal step = face.step(c, i + 1 < n ? text.at(i + 1).unicode() : 0);
        if (glyphs[i] == 0 || step < 0) return false;
        places[i] = QPointF(x, 0);
        x += step;
    }
    out.run.setRawFont(face.raw);
    out.run.setGlyphIndexes(glyphs);
    out.run.setPositions(places);
    out.oneGlyphEach = true;
    out.width = qRound(x);   // horizontalAdvance rounds the same sum
    return true;
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
        if (plainSpacing(font) && sumSteps(*faceOf(font), text, e.shaped)) return e.shaped;
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
    FontFace* face = faceOf(font);
    if (face->ellipsisGlyph == 0 || run.rawFont() != face->raw) return cut;
    // The characters before the first one the shaping joined or replaced (a ligature) each
    // stand on a glyph of their own. Past that the glyphs no longer stand one for each
    // character: a cut must come well before it, as before the end of a start of the text.
    qsizetype n = text.size();
    if (!shaped.oneGlyphEach) {
        const QList<quint32> shapedGlyphs = run.glyphIndexes();
        const QList<quint32> ownGlyphs = face->raw.glyphIndexesForString(text);
        const qsizetype both = std::min(shapedGlyphs.size(), ownGlyphs.size());
        n = 0;
        while (n < both && shapedGlyphs[n] == ownGlyphs[n]) ++n;
        if (n < text.size() || shapedGlyphs.size() != text.size()) whole = false;
    }
    const QList<QPointF> places = run.positions();
    const qreal available = qreal(width) - face->ellipsisWidth;
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
        const qreal reach = face->step(text.at(keep - 1).unicode(), kEllipsis);
        if (reach < 0) return cut;
        x = places[keep - 1].x() - places[0].x() + reach;
    }
    cut.found = true;
    cut.keep = int(keep);
    cut.ellipsisGlyph = face->ellipsisGlyph;
    cut.ellipsisX = x;
    cut.width = qRound(x + face->ellipsisWidth);
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
