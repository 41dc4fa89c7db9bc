#include "platform/runtime/textorder.h"

#include <QString>
#include <QStringList>
#include <algorithm>
#include <cstring>
#include <gtest/gtest.h>

namespace tv {
namespace {

int Sign(int v) { return v < 0 ? -1 : (v > 0 ? 1 : 0); }

TEST(TextOrder, GermanOrderWithoutRegardToCase)
{
    struct Case {
        const char* a;
        const char* b;
        int order;   // -1: a first, 0: equal, 1: b first
    } const kCases[] = {
        {"Käferjagd", "Kolonie", -1},      // Ä with A, not after Z
        {"Ärger", "Zork", -1},
        {"ärger", "Ärger", 0},             // case-blind
        {"BOULDER", "boulder", 0},
        {"Arger", "Ärger", -1},            // alike letter by letter: the plain letter first
        {"Ärger", "Argument", -1},         // the umlaut counts as its base letter
        {"Straße", "Strasse", 1},
        {"Straße", "Strassf", -1},         // ß is "ss"
        {"Österreich", "Ostern", 1},
        {"Über", "Uhu", -1},
        {"Éclair", "Ecke", 1},            // é as e: "ecl" after "eck"
        {"Élan", "Emu", -1},
        {"abc", "abcd", -1},
        {"", "a", -1},
        {"a1", "a_", -1},
        {"river.xex", "Zork.ATR", -1},
    };
    for (const Case& c : kCases) {
        SCOPED_TRACE(std::string(c.a) + " / " + c.b);
        const QString a = QString::fromUtf8(c.a), b = QString::fromUtf8(c.b);
        EXPECT_EQ(Sign(CompareText(a, b)), c.order);
        EXPECT_EQ(Sign(CompareText(b, a)), -c.order);
        const QByteArray ua = a.toUtf8(), ub = b.toUtf8();
        EXPECT_EQ(Sign(CompareTextUtf8(ua.constData(), int(ua.size()), ub.constData(), int(ub.size()))), c.order);
    }
}

// The collation on UTF-8 gives what CompareText gives on the texts QString reads from it: ASCII
// before the first difference, letters beyond ASCII, texts that end first, characters beyond
// the first plane, long texts, and bytes that are no UTF-8.
TEST(TextOrder, Utf8OrderIsTheTextOrder)
{
    const QByteArray longA = QByteArray("Sammlung ") + QByteArray(300, 'x') + "\xc3\xa4";
    const QByteArray longB = QByteArray("Sammlung ") + QByteArray(300, 'x') + "b";
    const QByteArray texts[] = {
        "Boulder Dash", "boulder dash", "Boulder Dash (1984)", "\xc3\x84rger im Labor", "Arger", "\xc3\xa4rger",
        "Stra\xc3\x9f" "e", "Strasse", "Strassf", "\xc3\x9c" "ber den Wolken", "Uhu", "abc", "abc\xc3\xa4",
        "abc\xf0\x9f\x98\x80", "abc\xef\xbf\xbd", "abc\xff", "abc\xc3", "\xef\xbb\xbf" "abc", "", "a1", "a_",
        "E\xcc\x81" "clair", "\xc3\x89" "clair", longA, longB,
    };
    for (const QByteArray& a : texts)
        for (const QByteArray& b : texts) {
            SCOPED_TRACE((a + " / " + b).toStdString());
            EXPECT_EQ(Sign(CompareTextUtf8(a.constData(), int(a.size()), b.constData(), int(b.size()))),
                      Sign(CompareText(QString::fromUtf8(a), QString::fromUtf8(b))));
        }
    for (const QByteArray& t : texts) {
        SCOPED_TRACE(t.toStdString());
        char16_t units[512];
        int count = -1;
        if (Utf8ToUtf16(t.constData(), int(t.size()), units, 512, &count))
            EXPECT_EQ(QStringView(units, count), QString::fromUtf8(t));
    }
    char16_t units[4];
    int count = 0;
    EXPECT_TRUE(Utf8ToUtf16("\xc3\xa4" "bc", 4, units, 4, &count));
    EXPECT_EQ(count, 3);
    EXPECT_FALSE(Utf8ToUtf16("abcde", 5, units, 4, &count));
    for (const char* invalid : {"abc\xff", "abc\xc3", "\xc0\xaf", "\xed\xa0\x80", "\xef\xbb\xbf"})
        EXPECT_FALSE(Utf8ToUtf16(invalid, int(strlen(invalid)), units, 4, &count)) << invalid;
}

TEST(TextOrder, SortsAListAsGermanDoes)
{
    QStringList names = {"Zork", "Ölfeld", "apfel", "Kolonie", "Äpfel", "Käferjagd", "Oase", "Apfel"};
    std::stable_sort(names.begin(), names.end(), [](const QString& a, const QString& b) { return CompareText(a, b) < 0; });
    EXPECT_EQ(names, (QStringList{"apfel", "Apfel", "Äpfel", "Käferjagd", "Kolonie", "Oase", "Ölfeld", "Zork"}));
}

} // namespace
} // namespace tv
