#include "platform/runtime/textorder.h"

#include <QString>
#include <QStringList>
#include <algorithm>
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

TEST(TextOrder, SortsAListAsGermanDoes)
{
    QStringList names = {"Zork", "Ölfeld", "apfel", "Kolonie", "Äpfel", "Käferjagd", "Oase", "Apfel"};
    std::stable_sort(names.begin(), names.end(), [](const QString& a, const QString& b) { return CompareText(a, b) < 0; });
    EXPECT_EQ(names, (QStringList{"apfel", "Apfel", "Äpfel", "Käferjagd", "Kolonie", "Oase", "Ölfeld", "Zork"}));
}

} // namespace
} // namespace tv
