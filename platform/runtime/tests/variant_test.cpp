#include "platform/runtime/variant.h"

#include <gtest/gtest.h>

using tv::Variant;
using tv::VarType;

TEST(Variant, RoundsHalfToEvenAndRejectsOverflow)
{
    struct Case { Variant in; bool ok; int32_t lng; };
    const Case cases[] = {
        {Variant(2.5), true, 2},
        {Variant(3.5), true, 4},
        {Variant(-2.5), true, -2},
        {Variant(QStringLiteral(" 12.5 ")), true, 12},
        {Variant(true), true, -1},
        {Variant(2147483647.4), true, 2147483647},
        {Variant(2147483648.0), false, 0},
        {Variant(QStringLiteral("abc")), false, 0},
        {Variant::null(), false, 0},
        {Variant(), true, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.in.text().toStdString());
        bool ok = true;
        EXPECT_EQ(c.in.toLong(&ok), c.lng);
        EXPECT_EQ(ok, c.ok);
    }
    bool ok = true;
    EXPECT_EQ(Variant(32768.0).toInt(&ok), 0);
    EXPECT_FALSE(ok);
    EXPECT_EQ(Variant(32767.5).toInt(&ok), 0); // rounds to 32768: overflow
    EXPECT_FALSE(ok);
}

TEST(Variant, DateSerialsRoundTrip)
{
    struct Case { QDateTime dt; double serial; };
    const Case cases[] = {
        {QDateTime(QDate(1899, 12, 30), QTime(0, 0)), 0.0},
        {QDateTime(QDate(1900, 1, 1), QTime(12, 0)), 2.5},
        {QDateTime(QDate(1899, 12, 29), QTime(6, 0)), -1.25},
        {QDateTime(QDate(2026, 12, 10), QTime(13, 5, 7)), 46366 + (13 * 3600 + 5 * 60 + 7) / 86400.0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.dt.toString().toStdString());
        Variant v = Variant::fromDateTime(c.dt);
        EXPECT_EQ(v.type(), VarType::Date);
        EXPECT_NEAR(v.toDouble(), c.serial, 1e-9);
        EXPECT_EQ(v.toDateTime(), c.dt);
    }
}

TEST(Variant, ArraysCopyOnWriteWithLowerBounds)
{
    tv::VariantArray a(1, 3, 5, 6);
    a.at(3, 6) = Variant(int32_t(7));
    Variant v(a);
    Variant w = v;
    w.arrayMut()->at(1, 5) = Variant(QStringLiteral("x"));
    EXPECT_TRUE(v.array()->at(1, 5).isEmpty());
    EXPECT_EQ(w.array()->at(3, 6), Variant(int32_t(7)));
    EXPECT_EQ(w.array()->lbound(2), 5);
    w.arrayMut()->redimPreserve(8);
    EXPECT_EQ(w.array()->at(3, 6), Variant(int32_t(7)));
    EXPECT_EQ(w.array()->at(1, 5).text(), QStringLiteral("x"));
}

TEST(Variant, TextOfEachType)
{
    EXPECT_EQ(Variant(1.5).text(), QStringLiteral("1.5"));
    EXPECT_EQ(Variant(int16_t(-3)).text(), QStringLiteral("-3"));
    EXPECT_EQ(Variant::null().text(), QString());
    bool ok = true;
    Variant::null().toString(&ok);
    EXPECT_FALSE(ok);
    EXPECT_EQ(Variant::fromDate(2.5).text(), QStringLiteral("01.01.1900 12:00:00"));
}
