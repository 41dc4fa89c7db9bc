#include "platform/runtime/format.h"

#include "platform/runtime/convert.h"

#include <gtest/gtest.h>

using tv::Variant;

namespace {
// 9 December 2026 14:05:09, a Wednesday.
Variant afternoon()
{
    return Variant::fromDateTime(QDateTime(QDate(2026, 12, 9), QTime(14, 5, 9)));
}
} // namespace

TEST(Format, NumberPatterns)
{
    struct Case { Variant v; const char* pattern; const char* out; };
    const Case cases[] = {
        {Variant(int32_t(1234567)), "#,0", "1.234.567"},
        {Variant(int32_t(999)), "#,0", "999"},
        {Variant(int32_t(-1234)), "#,0", "-1.234"},
        {Variant(int32_t(0)), "#,0", "0"},
        {Variant(1234.5), "#,0.0#################", "1.234,5"},
        {Variant(0.1), "#,0.0#################", "0,1"},
        {Variant(2.0), "#,0.0#################", "2,0"},
        {Variant(1.0 / 3), "#,0.0#################", "0,333333333333333"},
        {Variant(3.14159), "0.00", "3,14"},
        {Variant(0.125), "0.00", "0,13"},        // half away from zero
        {Variant(1.005), "0.00", "1,01"},        // as written, not as stored in binary
        {Variant(2.5), "0", "3"},
        {Variant(-0.5), "0", "-1"},
        {Variant(-1234567.891), "#,0.0#", "-1.234.567,89"},
        {Variant(1e18), "#,0", "1.000.000.000.000.000.000"},
        {Variant(0.0), "#,0.0#################", "0,0"},
        {Variant(-0.001), "0.00", "0,00"},        // no minus on a zero result
        {Variant(1.5), "0.0 \\KB", "1,5 KB"},
        {Variant(5.421), "0.00 \\MB", "5,42 MB"},
        {Variant(1023.96), "0.0 \\KB", "1024,0 KB"},
        {Variant(250.4), "0 \\MB", "250 MB"},
        {Variant(7), "00", "07"},
        {Variant(0.5), "#.##", ",5"},
        {Variant(5), "#.##", "5,"},
        {Variant(0.256), "0.0%", "25,6%"},
        {Variant(1234567), "#,##0,", "1.235"},
        {Variant(-5), "0;(0)", "(5)"},
        {Variant(0), "0;(0);\"nichts\"", "nichts"},
        {Variant(12), "\"Nr. \"000", "Nr. 012"},
        {Variant(QStringLiteral("42")), "0.0", "42,0"},
        {Variant(QStringLiteral("abc")), "0.0", "abc"},
        {Variant(true), "0", "-1"},
        {Variant(1234.5), "", "1234,5"},
        {Variant::fromSingle(0.1f), "#,0.0#################", "0,1"},
        {Variant::fromSingle(0.1f), "", "0,1"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.pattern);
        EXPECT_EQ(tv::Format(c.v, QString::fromUtf8(c.pattern)), QString::fromUtf8(c.out));
    }
}

TEST(Format, DatePatterns)
{
    const Variant t = afternoon();
    struct Case { Variant v; const char* pattern; const char* out; };
    const Case cases[] = {
        {t, "\\#mm\\/dd\\/yyyy hh:nn:ss am/pm\\#", "#12/09/2026 02:05:09 pm#"},
        {Variant::fromDateTime(QDateTime(QDate(2026, 1, 2), QTime(0, 7, 0))),
         "\\#mm\\/dd\\/yyyy hh:nn:ss am/pm\\#", "#01/02/2026 12:07:00 am#"},
        {Variant::fromDateTime(QDateTime(QDate(2026, 1, 2), QTime(12, 0, 0))),
         "hh AM/PM", "12 PM"},
        {t, "dd.MM.yyyy", "09.12.2026"},
        {t, "dd.mm.yyyy hh:nn:ss", "09.12.2026 14:05:09"},
        {t, "hh:mm", "14:05"},                   // minutes after the hour
        {t, "HH:MM:SS", "14:05:09"},
        {t, "mm/dd/yy", "12.09.26"},             // unescaped "/" is the German date separator
        {t, "d.m.yy h:n:s", "9.12.26 14:5:9"},
        {t, "ddd dddd mmm mmmm", "Mi Mittwoch Dez Dezember"},
        {t, "w ww q y", "4 50 4 343"},
        {t, "h a/p", "2 p"},
        {t, "General Date", "09.12.2026 14:05:09"},
        {Variant::fromDate(46365.0), "General Date", "09.12.2026"},
        {Variant::fromDate(0.5), "General Date", "12:00:00"},
        {t, "Short Date", "09.12.2026"},
        {t, "Long Date", "Mittwoch, 9. Dezember 2026"},
        {t, "Short Time", "14:05"},
        {t, "Long Time", "14:05:09"},
        {Variant(QStringLiteral("09.12.2026")), "yyyy-mm-dd", "2026-12-09"},
        {Variant(46365.5), "dd.mm.yyyy hh:nn", "09.12.2026 12:00"},
        {Variant(QStringLiteral("kein Datum")), "dd.mm.yyyy", "kein Datum"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.pattern);
        EXPECT_EQ(tv::Format(c.v, QString::fromUtf8(c.pattern)), QString::fromUtf8(c.out));
    }
}

TEST(Format, NamedNumberAndBooleanFormats)
{
    struct Case { Variant v; const char* pattern; const char* out; };
    const Case cases[] = {
        {Variant(true), "Yes/No", "Ja"},
        {Variant(false), "yes/no", "Nein"},
        {Variant(int32_t(5)), "Yes/No", "Ja"},
        {Variant(true), "True/False", "Wahr"},
        {Variant(false), "On/Off", "Aus"},
        {Variant(QStringLiteral("x")), "Yes/No", "x"},
        {Variant(1234.5), "Currency", "1.234,50 \xe2\x82\xac"},
        {Variant(-12.5), "Currency", "-12,50 \xe2\x82\xac"},
        {Variant(0.1234), "Percent", "12,34%"},
        {Variant(1234.5), "Standard", "1.234,50"},
        {Variant(1234.5), "Fixed", "1234,50"},
        {Variant(1234.5), "General Number", "1234,5"},
        {Variant(1234.5), "Scientific", "1,23E+03"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.pattern);
        EXPECT_EQ(tv::Format(c.v, QString::fromUtf8(c.pattern)), QString::fromUtf8(c.out));
    }
    EXPECT_EQ(tv::Format(Variant::null(), QStringLiteral("0.00")), QString());
    EXPECT_EQ(tv::Format(Variant::null(), QStringLiteral("0;-0;0;\"leer\"")), QStringLiteral("leer"));
    EXPECT_EQ(tv::Format(Variant(), QStringLiteral("0.00")), QString());
}
