#include "textorder.h"

#include <QString>

#include <array>

namespace tv {

namespace {

// The base letter of a character: its canonical decomposition stripped of combining marks,
// case-folded.
char16_t DecomposedBaseLetter(QChar c)
{
    while (c.decompositionTag() == QChar::Canonical) {
        const QString parts = c.decomposition();
        if (parts.isEmpty()) break;
        c = parts.at(0);
    }
    return c.toCaseFolded().unicode();
}

// The same, kept for the Latin letters (a decomposition costs a QString each time).
char16_t BaseLetter(QChar c)
{
    constexpr char16_t kKept = 0x250;
    static const auto kept = [] {
        std::array<char16_t, kKept> letters{};
        for (char16_t u = 0; u < kKept; ++u) letters[u] = DecomposedBaseLetter(QChar(u));
        return letters;
    }();
    return c.unicode() < kKept ? kept[c.unicode()] : DecomposedBaseLetter(c);
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
    // Letter by letter while both are ASCII: each is one unit of the first comparison, so the
    // first letters that differ decide, and a text that ends first comes first.
    const int n = qMin(lengthA, lengthB);
    int i = 0;
    for (; i < n; ++i) {
        int ca = pa[i], cb = pb[i];
        if ((ca | cb) >= 0x80) break;
        if (ca >= 'A' && ca <= 'Z') ca += 32;
        if (cb >= 'A' && cb <= 'Z') cb += 32;
        if (ca != cb) return ca < cb ? -1 : 1;
    }
    if (i == n) return Sign(lengthA - lengthB);
    // The rest decides, from the first character that is not ASCII: what came before is alike
    // in both comparisons and as long in both texts.
    constexpr int kRoom = 256;
    char16_t ua[kRoom], ub[kRoom];
    int na = 0, nb = 0;
    if (Utf8ToUtf16(a + i, lengthA - i, ua, kRoom, &na) && Utf8ToUtf16(b + i, lengthB - i, ub, kRoom, &nb))
        return CompareText(QStringView(ua, na), QStringView(ub, nb));
    return CompareText(QString::fromUtf8(a, lengthA), QString::fromUtf8(b, lengthB));
}

bool Utf8ToUtf16(const char* text, int length, char16_t* units, int capacity, int* count)
{
    const auto* p = reinterpret_cast<const unsigned char*>(text);
    int k = 0;
    for (int i = 0; i < length;) {
        char32_t c = p[i];
        int extra = 0;
        char32_t least = 0;
        if (c < 0x80) {
        } else if ((c & 0xE0) == 0xC0) {
            c &= 0x1F;
            extra = 1;
            least = 0x80;
        } else if ((c & 0xF0) == 0xE0) {
            c &= 0x0F;
            extra = 2;
            least = 0x800;
        } else if ((c & 0xF8) == 0xF0) {
            c &= 0x07;
            extra = 3;
            least = 0x10000;
        } else {
            return false;
        }
        if (extra > length - 1 - i) return false;
        for (int j = 1; j <= extra; ++j) {
            if ((p[i + j] & 0xC0) != 0x80) return false;
            c = (c << 6) | (p[i + j] & 0x3F);
        }
        if (c < least || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF) || c == 0xFEFF) return false;
        i += extra + 1;
        if (c >= 0x10000) {
            if (k + 2 > capacity) return false;
            c -= 0x10000;
            units[k++] = char16_t(0xD800 + (c >> 10));
            units[k++] = char16_t(0xDC00 + (c & 0x3FF));
        } else {
            if (k + 1 > capacity) return false;
            units[k++] = char16_t(c);
        }
    }
    *count = k;
    return true;
}

} // namespace tv
