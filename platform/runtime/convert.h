#pragma once

#include "platform/runtime/variant.h"

#include <QDateTime>
#include <QString>
#include <optional>

namespace tv {

// Text and number conversions with the semantics the program's code and stored data were
// written against. None of them throws; a conversion that can fail reports it through `ok`.

// Val: the number at the start of a text, 0 when there is none.
// Grammar (blanks, tabs and line feeds are dropped everywhere first, so " 1 2" reads 12):
//   number  := [+|-] digits [ "." digits ] [ (E|e|D|d) [+|-] digits ]   (at least one digit)
//            | "&H" hexdigits | "&O" octdigits | "&" octdigits
// Reading stops at the first character that does not fit ("12abc" gives 12, "1,5" gives 1).
// A hex or octal literal of up to 16 bits is a signed 16-bit value ("&HFFFF" is -1), up to
// 32 bits a signed 32-bit value; a longer one reads as 0.
double Val(const QString& text);
// Numbers, dates and Booleans give their own value (no detour through their text, which
// would lose a decimal comma); Empty and Null give 0; everything else Val of its text.
double Val(const Variant& value);

// Str: the locale-free text of a number, a leading blank for a value that is not negative,
// "." as decimal point, no leading zero before it (0.5 gives " .5"), at most 15 significant
// digits (7 for Single) and "E+nn"/"E-nn" for very large or small values.
// Null gives "" with ok = false; a text that is not a number gives "" with ok = false.
QString Str(double value);
QString Str(const Variant& value, bool* ok = nullptr);

// IsNumeric: a number, a Boolean, Empty, or a text that converts to a number (blanks around
// it allowed, "." as decimal point, "&H" hex). Null, dates, objects and other texts are not.
bool IsNumeric(const Variant& value);

// CLng / CInt / CDbl: round half to even, fail (ok = false, result 0) on overflow or a value
// that is no number.
inline int32_t CLng(const Variant& value, bool* ok = nullptr) { return value.toLong(ok); }
inline int16_t CInt(const Variant& value, bool* ok = nullptr) { return value.toInt(ok); }
inline double CDbl(const Variant& value, bool* ok = nullptr) { return value.toDouble(ok); }

// Date serials: days since 30 Dec 1899, the time of day as the fraction, whole seconds.
double ToDateSerial(const QDateTime& dateTime);
QDateTime FromDateSerial(double serial);
// The serial of a calendar date; months and days outside their range carry over
// (month 13 is January of the next year, day 0 the last day of the month before).
// Years 0 to 29 mean 2000 to 2029, 30 to 99 mean 1930 to 1999. NaN when the date falls
// outside 1 Jan 100 to 31 Dec 9999.
double DateSerial(int year, int month, int day);
// The current local date and time as a serial, in whole seconds.
double Now();

// The program's "=" / "<" comparison of two values with its coercions:
// - Null on either side: no result (nullopt), as a comparison with Null is neither true nor false;
// - numbers, dates and Booleans (True = -1) compare by value, Empty counts as 0 or "";
// - two texts compare by UTF-16 code units, or without regard to case when asked;
// - a number and a text: by value when the text is numeric, else the number sorts first;
//   a date and a text holding a date compare as dates;
// - objects, arrays and errors cannot be compared (nullopt).
// The result is -1, 0 or 1.
std::optional<int> Compare(const Variant& a, const Variant& b,
                           Qt::CaseSensitivity cs = Qt::CaseSensitive);

} // namespace tv
