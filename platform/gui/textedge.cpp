#include "textedge.h"

#include "textshape.h"

#include <QFontMetrics>
#include <QStringList>

#include <algorithm>
#include <array>
#include <limits>

namespace tv {

// ---- edges --------------------------------------------------------------------------------

namespace {
struct Ring {
    int topLeft, bottomRight;   // system colour indices
};

// The colours of the outer and inner ring for an edge and its flags.
void ringColors(int edge, int flags, Ring& outer, Ring& inner, bool& hasOuter, bool& hasInner)
{
    const bool soft = flags & BF_SOFT;
    hasOuter = edge & (BDR_RAISEDOUTER | BDR_SUNKENOUTER);
    hasInner = edge & (BDR_RAISEDINNER | BDR_SUNKENINNER);
    if (edge & BDR_RAISEDOUTER)
        outer = {soft ? COLOR_BTNHIGHLIGHT : COLOR_3DLIGHT, COLOR_3DDKSHADOW};
    else
        outer = {soft ? COLOR_3DDKSHADOW : COLOR_BTNSHADOW, COLOR_BTNHIGHLIGHT};
    if (edge & BDR_RAISEDINNER)
        inner = {soft ? COLOR_3DLIGHT : COLOR_BTNHIGHLIGHT, COLOR_BTNSHADOW};
    else
        inner = {soft ? COLOR_BTNSHADOW : COLOR_3DDKSHADOW, COLOR_3DLIGHT};
    if (flags & BF_MONO) {
        outer = {COLOR_WINDOWFRAME, COLOR_WINDOWFRAME};
        inner = {COLOR_WINDOW, COLOR_WINDOW};
    } else if (flags & BF_FLAT) {
        outer = {COLOR_BTNSHADOW, COLOR_BTNSHADOW};
        inner = {COLOR_BTNFACE, COLOR_BTNFACE};
    }
}

// One ring on r, on the sides named by flags; r shrinks by the drawn sides.
void drawRing(QPainter* p, QRect& r, const Ring& c, int flags)
{
    if (r.isEmpty()) return;
    const QColor tl = ToQColor(GetSysColor(c.topLeft));
    const QColor br = ToQColor(GetSysColor(c.bottomRight));
    if (flags & BF_TOP) p->fillRect(QRect(r.left(), r.top(), r.width() - 1, 1), tl);
    if (flags & BF_LEFT) p->fillRect(QRect(r.left(), r.top(), 1, r.height() - 1), tl);
    if (flags & BF_BOTTOM) p->fillRect(QRect(r.left(), r.bottom(), r.width(), 1), br);
    if (flags & BF_RIGHT) p->fillRect(QRect(r.right(), r.top(), 1, r.height()), br);
    r.adjust(flags & BF_LEFT ? 1 : 0, flags & BF_TOP ? 1 : 0, flags & BF_RIGHT ? -1 : 0,
             flags & BF_BOTTOM ? -1 : 0);
}
} // namespace

bool DrawEdge(HandleId hdc, Rect& r, int edge, int flags)
{
    Dc* dc = DcOf(hdc);
    QPainter* p = dc ? dc->painter() : nullptr;
    if (!p) return false;
    Ring outer{}, inner{};
    bool hasOuter = false, hasInner = false;
    ringColors(edge, flags, outer, inner, hasOuter, hasInner);
    const QRect whole = r.toQRect();
    QRect q = whole;
    if (hasOuter) drawRing(p, q, outer, flags);
    if (hasInner) drawRing(p, q, inner, flags);
    if ((flags & BF_MIDDLE) && !q.isEmpty())
        p->fillRect(q, ToQColor(GetSysColor(flags & BF_MONO ? COLOR_WINDOW : COLOR_BTNFACE)));
    dc->drawn(whole);
    if (flags & BF_ADJUST) r = Rect::fromQRect(q);
    return true;
}

// ---- text -----------------------------------------------------------------------------------

namespace {
struct Line {
    QString text;
    int mnemonic = -1;   // index of the underlined character
    ShapedLine shaped;   // the glyphs of the text or of its start, when cut on them
    CutLine cut;
};

// Takes out "&" prefixes: "&&" is one "&", "&x" underlines x.
Line stripPrefix(const QString& s, bool keepMnemonic)
{
    Line l;
    l.text.reserve(s.size());
    for (qsizetype i = 0; i < s.size(); ++i) {
        if (s[i] == u'&' && i + 1 < s.size()) {
            ++i;
            if (s[i] != u'&' && keepMnemonic && l.mnemonic < 0) l.mnemonic = int(l.text.size());
        } else if (s[i] == u'&') {
            continue;
        }
        l.text += s[i];
    }
    return l;
}

QString expandTabs(const QString& s, const QFontMetrics& fm)
{
    if (!s.contains(u'\t')) return s;
    const int tab = 8 * fm.averageCharWidth();
    QString out;
    for (QChar c : s) {
        if (c != u'\t') {
            out += c;
            continue;
        }
        const int w = fm.horizontalAdvance(out);
        const int target = (w / tab + 1) * tab;
        while (fm.horizontalAdvance(out) < target) out += u' ';
    }
    return out;
}

// Greedy word wrap: breaks after blanks; a word wider than the line stays whole.
void wrapLine(const QString& s, int width, const QFontMetrics& fm, QStringList& out)
{
    if (fm.horizontalAdvance(s) <= width) {
        out << s;
        return;
    }
    QString line;
    qsizetype i = 0;
    while (i < s.size()) {
        qsizetype j = i;
        while (j < s.size() && s[j] != u' ') ++j;
        while (j < s.size() && s[j] == u' ') ++j;
        const QString word = s.mid(i, j - i);
        if (!line.isEmpty() && fm.horizontalAdvance(line + word.trimmed()) > width) {
            out << line;
            line = word;
        } else {
            line += word;
        }
        i = j;
    }
    out << line;
}

// The width of a line of text. A list cell asks for the width of its text up to three times
// (to place its icons, to see whether it needs an ellipsis, to align it): the shaping behind
// it is kept and also draws the line.
int lineWidth(const QFont& font, const QFontMetrics& fm, const QString& text)
{
    return ShapeLine(font, fm, text).width;
}

// How many characters of a text surely reach past `limit` pixels: `times` as many average
// characters, and a few more. Limits are taken in steps, so that a cell's measure and its
// ellipsis, a few pixels apart, look at the same start of the text.
qsizetype reachingPast(const QFontMetrics& fm, int limit, int times = 2)
{
    const qsizetype step = (qsizetype(std::max(0, limit)) + 63) / 64 * 64;
    return times * step / std::max(1, fm.averageCharWidth()) + 8;
}

// The width of a line, exact up to `limit`; a longer one measures something past `limit`.
// Shaping costs with the length of the text, and a cell shows only the start of a long
// path: when the start alone passes `limit` by more than any kerning at its end could take
// back, the rest is not measured. A start about as long as the limit is tried first, then
// one twice as long (for narrow letters). `shaped` receives how much of the text was shaped.
int lineWidthUpTo(const QFont& font, const QFontMetrics& fm, const QString& text, int limit,
                  qsizetype* shaped = nullptr)
{
    for (int times : {1, 2}) {
        const qsizetype cut = reachingPast(fm, limit, times);
        if (cut >= text.size() || !PlainCharacters(text, cut)) break;
        const int head = lineWidth(font, fm, text.left(cut));
        if (head > int64_t(limit) + std::max(1, fm.averageCharWidth())) {
            if (shaped) *shaped = cut;
            return head;
        }
    }
    if (shaped) *shaped = text.size();
    return lineWidth(font, fm, text);
}

// The text cut at the right with an ellipsis to fit `width`, as QFontMetrics::elidedText cuts
// it. Only the start of a long text can stay: the text is cut first a little past where the
// width surely ends, and that cut is kept when the ellipsis came well before it, where the
// rest of the text cannot change the shaping.
QString elideRight(const QFontMetrics& fm, const QString& text, int width)
{
    const qsizetype cut = reachingPast(fm, width);
    if (cut < text.size() && PlainCharacters(text, cut)) {
        const QString head = text.left(cut);
        const QString elided = fm.elidedText(head, Qt::ElideRight, width);
        qsizetype kept = -1;
        if (elided.endsWith(QChar(0x2026))) kept = elided.size() - 1;
        else if (elided.endsWith(QLatin1String("..."))) kept = elided.size() - 3;
        if (kept >= 0 && kept + 4 <= cut && elided != head) return elided;
    }
    return fm.elidedText(text, Qt::ElideRight, width);
}

int drawText(HandleId hdc, const QString& text, Rect& r, uint32_t format, int limit);
} // namespace

int DrawText(HandleId hdc, const QString& text, Rect& r, uint32_t format)
{
    return drawText(hdc, text, r, format, std::numeric_limits<int>::max());
}

int MeasureTextUpTo(HandleId hdc, const QString& text, uint32_t format, int limit)
{
    Rect r{0, 0, 0, 0};
    drawText(hdc, text, r, format | DT_CALCRECT, limit);
    return r.width();
}

namespace {
int drawText(HandleId hdc, const QString& text, Rect& r, uint32_t format, int limit)
{
    Dc* dc = DcOf(hdc);
    if (!dc) return 0;
    const QFont font = dc->currentFont();
    const QFontMetrics fm(font);
    const int lineHeight = fm.height();
    const bool single = format & DT_SINGLELINE;

    QStringList raw;
    if (single) {
        QString t = text;
        if (t.contains(u'\r') || t.contains(u'\n')) {
            t.remove(u'\r');
            t.remove(u'\n');
        }
        raw << t;
    } else {
        QString t = text;
        t.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
        t.replace(u'\r', u'\n');
        raw = t.split(u'\n');
    }
    const bool prefix = !(format & DT_NOPREFIX);
    std::vector<Line> lines;
    QStringList wrapped;
    for (const QString& s0 : raw) {
        Line l = prefix && s0.contains(u'&') ? stripPrefix(s0, !(format & DT_HIDEPREFIX)) : Line{s0, -1, {}, {}};
        if (format & DT_EXPANDTABS) l.text = expandTabs(l.text, fm);
        if ((format & DT_WORDBREAK) && !single && l.mnemonic < 0) {
            wrapped.clear();
            wrapLine(l.text, r.width(), fm, wrapped);
            for (const QString& w : wrapped) lines.push_back({w, -1, {}, {}});
        } else {
            lines.push_back(l);
        }
    }
    // A measure is of the whole text: cells measure on an empty rectangle to place their icons.
    // A text cut to fit with an ellipsis is known to fit; left aligned and transparent, its
    // own width is not needed.
    std::vector<bool> cut(lines.size(), false);
    if ((format & DT_END_ELLIPSIS) && !(format & DT_CALCRECT))
        for (size_t i = 0; i < lines.size(); ++i)
            if (qsizetype reach = 0; lineWidthUpTo(font, fm, lines[i].text, r.width(), &reach) > r.width()) {
                // The glyphs the measure shaped give the cut, where the text is plain.
                Line& l = lines[i];
                const int room = std::max(0, r.width());
                const bool whole = reach >= l.text.size();
                const QString shapedText = whole ? l.text : l.text.left(reach);
                if (l.mnemonic < 0) l.shaped = ShapeLine(font, fm, shapedText);
                l.cut = CutLineWithEllipsis(font, l.shaped, shapedText, whole, room);
                l.text = l.cut.found ? l.cut.text : elideRight(fm, l.text, room);
                l.mnemonic = -1;
                cut[i] = l.text.size() > 3;
            }

    const int height = lineHeight * int(lines.size());
    if (format & DT_CALCRECT) {
        int widest = 0;
        for (const Line& l : lines) widest = std::max(widest, lineWidthUpTo(font, fm, l.text, limit));
        r.Right = r.Left + widest;
        r.Bottom = r.Top + height;
        return height;
    }

    int top = r.Top;
    if (single && (format & DT_VCENTER)) top = r.Top + (r.height() - lineHeight) / 2;
    else if (single && (format & DT_BOTTOM)) top = r.Bottom - lineHeight;
    const int result = (single && (format & (DT_VCENTER | DT_BOTTOM))) ? top + height - r.Top : height;

    QPainter* p = dc->painter();
    if (!p) return result;
    const QRect box = r.toQRect();
    int widest = 0;
    std::vector<int> widths;
    widths.reserve(lines.size());
    const bool placed = (format & (DT_CENTER | DT_RIGHT)) || dc->s.bkMode == OPAQUE;
    for (size_t i = 0; i < lines.size(); ++i) {
        const Line& l = lines[i];
        widths.push_back(cut[i] && !placed ? r.width() : l.cut.found ? l.cut.width : lineWidth(font, fm, l.text));
        widest = std::max(widest, widths.back());
    }
    // Clipping costs a save and restore: only pay it when the text passes the rectangle.
    const bool clip = !(format & DT_NOCLIP) && (widest > box.width() || top < r.Top || top + height > r.Bottom);
    if (clip) {
        p->save();
        p->setClipRect(box, Qt::IntersectClip);
    }
    const QColor fg = ToQColor(dc->s.textColor);
    const QColor bg = ToQColor(dc->s.bkColor);
    p->setPen(fg);
    QRect touched;
    int y = top;
    for (size_t i = 0; i < lines.size(); ++i, y += lineHeight) {
        const Line& l = lines[i];
        const int w = widths[i];
        int x = r.Left;
        if (format & DT_CENTER) x = r.Left + (r.width() - w) / 2;
        else if (format & DT_RIGHT) x = r.Right - w;
        const QRect lineRect(x, y, w, lineHeight);
        if (dc->s.bkMode == OPAQUE && w > 0) p->fillRect(lineRect, bg);
        const QPoint baseline(x, y + fm.ascent());
        if (l.cut.found) {
            DrawShapedLine(p, baseline, l.shaped, &l.cut);
        } else if (const ShapedLine s = l.mnemonic < 0 ? ShapeLine(font, fm, l.text) : ShapedLine{}; !s.run.isEmpty()) {
            DrawShapedLine(p, baseline, s, nullptr);
        } else {
            p->drawText(baseline, l.text);
        }
        if (l.mnemonic >= 0 && l.mnemonic < l.text.size()) {
            const int ux = x + fm.horizontalAdvance(l.text.left(l.mnemonic));
            const int uw = fm.horizontalAdvance(l.text.at(l.mnemonic));
            p->fillRect(QRect(ux, y + fm.ascent() + 1, uw, 1), fg);
        }
        touched |= lineRect;
    }
    if (clip) {
        p->restore();
        touched &= box;
    }
    dc->drawn(touched);
    return result;
}

} // namespace

QSize GetTextExtent(HandleId hdc, const QString& text)
{
    Dc* dc = DcOf(hdc);
    if (!dc) return {};
    const QFontMetrics fm(dc->currentFont());
    return QSize(fm.horizontalAdvance(text), fm.height());
}

} // namespace tv
