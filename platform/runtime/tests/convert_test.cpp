#include "platform/runtime/convert.h"
#include "platform/runtime/format.h"

#include <cmath>
#include <limits>

#include <gtest/gtest.h>

using tv::Variant;

TEST(Convert, ValReadsTheLeadingNumber)
{
    struct Case { const char* in; double out; };
    const Case cases[] = {
        {"12abc", 12},      {" 1 2", 12},     {"\t-3.5e2x", -350}, {"1d2", 100},
        {"&H10", 16},       {"&hFFFF", -1},   {"&H10000", 65536},  {"&HFFFFFFFF", -1},
        {"&O17", 15},       {"&17", 15},      {"1,5", 1},          {".5", 0.5},
        {"1.2.3", 1.2},     {"1e", 1},        {"e5", 0},           {"", 0},
        {"abc", 0},         {"+7", 7},        {"- 5", -5},         {"1e999", 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.in);
        EXPECT_DOUBLE_EQ(tv::Val(QString::fromUtf8(c.in)), c.out);
    }
    EXPECT_EQ(tv::Val(Variant(2.5)), 2.5);   // no detour through text
    EXPECT_EQ(tv::Val(Variant::null()), 0);
    EXPECT_EQ(tv::Val(Variant(true)), -1);
}

TEST(Convert, StrHasALeadingBlankForNonNegativeNumbers)
{
    struct Case { Variant in; const char* out; bool ok; };
    const Case cases[] = {
        {Variant(int32_t(5)), " 5", true},
        {Variant(int16_t(-5)), "-5", true},
        {Variant(1.5), " 1.5", true},
        {Variant(0.5), " .5", true},
        {Variant(-0.25), "-.25", true},
        {Variant(1e20), " 1E+20", true},
        {Variant(1e-5), " 1E-05", true},
        {Variant(QStringLiteral(" 42 ")), " 42", true},
        {Variant(), " 0", true},
        {Variant(QStringLiteral("abc")), "", false},
        {Variant::null(), "", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.out);
        bool ok = !c.ok;
        EXPECT_EQ(tv::Str(c.in, &ok), QString::fromUtf8(c.out));
        EXPECT_EQ(ok, c.ok);
    }
}

TEST(Convert, IsNumeric)
{
    struct Case { Variant in; bool numeric; };
    const Case cases[] = {
        {Variant(int32_t(1)), true},   {Variant(true), true},
        {Variant(), true},             {Variant(QStringLiteral(" 1.5 ")), true},
        {Variant(QStringLiteral("&H1F")), true},
        {Variant(QStringLiteral("-1e3")), true},
        {Variant(QStringLiteral("12abc")), false},
        {Variant(QStringLiteral("")), false},
        {Variant(QStringLiteral("True")), false},
        {Variant(QStringLiteral("inf")), false},
        {Variant(QStringLiteral("nan")), false},
        {Variant::null(), false},      {Variant::fromDate(1.0), false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.in.text().toStdString());
        EXPECT_EQ(tv::IsNumeric(c.in), c.numeric);
    }
}

TEST(Convert, DateSerialCarriesOverAndRoundTrips)
{
    struct Case { int y, m, d; QDate date; };
    const Case cases[] = {
        {2026, 12, 9, QDate(2026, 12, 9)},   {2026, 13, 1, QDate(2027, 1, 1)},
        {2026, 3, 0, QDate(2026, 2, 28)},    {2026, 0, 1, QDate(2025, 12, 1)},
        {2026, -11, 1, QDate(2025, 1, 1)},   {26, 1, 1, QDate(2026, 1, 1)},
        {99, 1, 1, QDate(1999, 1, 1)},       {1899, 12, 30, QDate(1899, 12, 30)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.date.toString().toStdString());
        const double serial = tv::DateSerial(c.y, c.m, c.d);
        EXPECT_EQ(tv::FromDateSerial(serial), QDateTime(c.date, QTime(0, 0)));
        EXPECT_EQ(tv::ToDateSerial(QDateTime(c.date, QTime(0, 0))), serial);
    }
    EXPECT_EQ(tv::DateSerial(1899, 12, 30), 0);

    const double now = tv::Now();
    EXPECT_NEAR(now * 86400, std::round(now * 86400), 1e-3);   // whole seconds
    EXPECT_EQ(tv::FromDateSerial(now).time().msec(), 0);
    EXPECT_LE(std::abs(tv::FromDateSerial(now).secsTo(QDateTime::currentDateTime())), 2);
}

TEST(Convert, CompareWithCoercions)
{
    struct Case { Variant a, b; Qt::CaseSensitivity cs; std::optional<int> r; };
    const Case cases[] = {
        {Variant(int32_t(2)), Variant(2.0), Qt::CaseSensitive, 0},
        {Variant(int32_t(2)), Variant(QStringLiteral("10")), Qt::CaseSensitive, -1},
        {Variant(QStringLiteral("2")), Variant(QStringLiteral("10")), Qt::CaseSensitive, 1},
        {Variant(int32_t(99)), Variant(QStringLiteral("abc")), Qt::CaseSensitive, -1},
        {Variant(QStringLiteral("abc")), Variant(int32_t(99)), Qt::CaseSensitive, 1},
        {Variant(QStringLiteral("abc")), Variant(QStringLiteral("ABC")), Qt::CaseSensitive, 1},
        {Variant(QStringLiteral("abc")), Variant(QStringLiteral("ABC")), Qt::CaseInsensitive, 0},
        {Variant(), Variant(QStringLiteral("")), Qt::CaseSensitive, 0},
        {Variant(), Variant(int32_t(0)), Qt::CaseSensitive, 0},
        {Variant(true), Variant(int32_t(-1)), Qt::CaseSensitive, 0},
        {Variant::fromDate(2.0), Variant(1.5), Qt::CaseSensitive, 1},
        {Variant(QStringLiteral("09.12.2026")), Variant::fromDate(tv::DateSerial(2026, 12, 10)),
         Qt::CaseSensitive, -1},
        {Variant::null(), Variant::null(), Qt::CaseSensitive, std::nullopt},
        {Variant(int32_t(1)), Variant::null(), Qt::CaseSensitive, std::nullopt},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.a.text().toStdString() + " vs " + c.b.text().toStdString());
        EXPECT_EQ(tv::Compare(c.a, c.b, c.cs), c.r);
    }
}

TEST(Convert, CLngAndCIntRoundHalfToEven)
{
    bool ok = false;
    EXPECT_EQ(tv::CLng(Variant(QStringLiteral("2.5")), &ok), 2);
    EXPECT_TRUE(ok);
    EXPECT_EQ(tv::CInt(Variant(-3.5), &ok), -4);
    EXPECT_EQ(tv::CInt(Variant(int32_t(40000)), &ok), 0);
    EXPECT_FALSE(ok);
}

// Months and days near the integer limits, and dates beyond 31 Dec 9999, give no date (NaN)
// instead of overflowing.
TEST(Convert, DateSerialNearTheLimits)
{
    EXPECT_EQ(tv::DateSerial(9999, 12, 31), tv::kLastDateSerial);
    EXPECT_EQ(tv::DateSerial(10000, 1, 0), tv::kLastDateSerial);
    EXPECT_EQ(tv::DateSerial(100, 1, 1), tv::kFirstDateSerial);
    EXPECT_EQ(tv::DateSerial(2026, 1, 1 - 365), tv::DateSerial(2025, 1, 1));
    const int lo = std::numeric_limits<int>::min(), hi = std::numeric_limits<int>::max();
    const int cases[][3] = {{2026, hi, 1}, {2026, lo, 1}, {2026, 1, hi}, {2026, 1, lo}, {hi, hi, hi}, {lo, lo, lo},
                            {hi, lo, 1}, {10000, 1, 1}, {99, 1, -800000}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c[0]) + "/" + std::to_string(c[1]) + "/" + std::to_string(c[2]));
        EXPECT_TRUE(std::isnan(tv::DateSerial(c[0], c[1], c[2])));
    }
}

// A date serial outside the calendar (a damaged tsCreated of 1e300, inf, NaN) is no date: it
// shows as empty text.
TEST(Convert, DatesOutOfRangeShowEmpty)
{
    for (double serial : {1e300, -1e300, double(tv::kLastDateSerial + 1), double(tv::kFirstDateSerial - 1),
                          std::numeric_limits<double>::infinity(), std::nan("")}) {
        SCOPED_TRACE(serial);
        const tv::Variant date = tv::Variant::fromDate(serial);
        bool ok = true;
        EXPECT_FALSE(date.toDateTime(&ok).isValid());
        EXPECT_FALSE(ok);
        EXPECT_EQ(date.toString(), QString());
        EXPECT_EQ(tv::Format(date, QStringLiteral("dd.MM.yyyy hh:nn")), QString());
        EXPECT_EQ(tv::Format(tv::Variant(serial), QStringLiteral("d")), QString());
    }
    EXPECT_EQ(tv::Variant::fromDate(tv::kLastDateSerial + 0.5).toString(), QStringLiteral("31.12.9999 12:00:00"));
}
