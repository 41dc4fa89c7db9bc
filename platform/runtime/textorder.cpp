#include "textorder.h"

#include <QString>

namespace tv {

namespace {

// The base letter of a character: its canonical decomposition stripped of combining marks,
// case-folded.
char16_t BaseLetter(QChar c)
{
    while (c.decompositionTag() == QChar::Canonical) {
        const QString parts = c.decomposition();
        if (parts.isEmpty()) break;
        c = parts.at(0);
    }
    return c.toCaseFolded().unicode();
}

// The units of the first comparison, one or two per character ("ß" gives "ss").
class PrimaryUnits {
public:
    explicit PrimaryUnits(QStringView text) : text_(text) {}
    // The next unit, or -1 at the end.
    int next()
    {
        if (pending_) {
            const int unit = pending_;
            pending_ = 0;
            return unit;
        }
        if (at_ >= text_.size()) return -1;
        const QChar c = text_.at(at_++);
        const char16_t u = c.unicode();
        if (u < 0x80) return u >= 'A' && u <= 'Z' ? u + 32 : u;
        if (u == 0x00DF || u == 0x1E9E) {   // ß and capital ẞ
            pending_ = 's';
            return 's';
        }
        return BaseLetter(c);
    }

private:
    QStringView text_;
    qsizetype at_ = 0;
    int pending_ = 0;
};

int Sign(int v) { return v < 0 ? -1 : (v > 0 ? 1 : 0); }

} // namespace

int CompareText(QStringView a, QStringView b)
{
    PrimaryUnits pa(a), pb(b);
    for (;;) {
        const int ua = pa.next();
        const int ub = pb.next();
        if (ua != ub) return ua < ub ? -1 : 1;   // the end (-1) comes first
        if (ua < 0) break;
    }
    // Alike letter by letter: the diacritics decide, letter case does not.
    const qsizetype n = qMin(a.size(), b.size());
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t ca = a.at(i).toCaseFolded().unicode();
        const char16_t cb = b.at(i).toCaseFolded().unicode();
        if (ca != cb) return ca < cb ? -1 : 1;
    }
    return Sign(int(a.size() - b.size()));
}

int CompareTextUtf8(const char* a, int lengthA, const char* b, int lengthB)
{
    const auto* pa = reinterpret_cast<const unsigned char*>(a);
    const auto* pb = reinterpret_cast<const unsigned char*>(b);
    bool ascii = true;
    for (int i = 0; i < lengthA && ascii; ++i) ascii = pa[i] < 0x80;
    for (int i = 0; i < lengthB && ascii; ++i) ascii = pb[i] < 0x80;
    if (ascii) {
        // The same order as CompareText: letters compare in lower case, nothing else differs.
        const int n = qMin(lengthA, lengthB);
        for (int i = 0; i < n; ++i) {
            int ca = pa[i], cb = pb[i];
            if (ca >= 'A' && ca <= 'Z') ca += 32;
            if (cb >= 'A' && cb <= 'Z') cb += 32;
            if (ca != cb) return ca < cb ? -1 : 1;
        }
        return Sign(lengthA - lengthB);
    }
    return CompareText(QString::fromUtf8(a, lengthA), QString::fromUtf8(b, lengthB));
}

} // namespace tv
