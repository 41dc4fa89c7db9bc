#pragma once

#include "platform/runtime/variant.h"

#include <QString>

namespace tv {

// Format: the text of a value by a format pattern, as the program's lists, status texts, SQL
// literals and the catalogue's Format() function use it.
//
// Output follows German conventions, since every user text of the program is German:
// decimal separator ",", thousands separator ".", date separator "." (an unescaped "/" in a
// date pattern), time separator ":", German day and month names, Ja/Nein, Wahr/Falsch,
// Ein/Aus. Escaped characters ("\/", "\#") are always written as they stand, which is how the
// SQL date literal "\#mm\/dd\/yyyy hh:nn:ss am/pm\#" stays locale-free.
//
// Grammar of a pattern:
//   pattern  := named | section { ";" section }      (up to: positive;negative;zero;null)
//   named    := "General Number" | "Currency" | "Fixed" | "Standard" | "Percent" | "Scientific"
//             | "Yes/No" | "True/False" | "On/Off" | "General Date" | "Long Date"
//             | "Medium Date" | "Short Date" | "Long Time" | "Medium Time" | "Short Time"
//             (matched without regard to case)
//   literal  := "\" any-char | '"' text '"' | any character that is no placeholder
// A pattern holding a date or time placeholder is a date pattern, otherwise a number pattern.
//   number placeholders: "0" digit or 0, "#" digit or nothing, "." decimal separator,
//     "," between digit placeholders: thousands grouping; right after the last integer
//     placeholder: divide by 1000; "%" multiply by 100 and write "%".
//     Rounding is half away from zero on the value's 15 significant decimal digits.
//     Sections: negative values use the second section without a sign (or the first with
//     "-"), zero the third, Null the fourth.
//   date placeholders (any case): d dd ddd dddd (day, names) ddddd (short date) dddddd (long
//     date), w (weekday 1 = Sunday), ww (week, 1 = the week holding 1 January), m mm mmm mmmm
//     (month; m or mm right after h or hh is the minute), q (quarter), y (day of the year),
//     yy yyyy, h hh, n nn, s ss, AM/PM am/pm A/P a/p AMPM (12-hour clock, written in the case
//     given), c (general date), ttttt (long time).
// Null gives "" (unless a fourth section says otherwise), Empty gives "". A text is formatted
// as the number or date it holds; a text that holds neither comes back unchanged. An empty
// pattern gives the value's ordinary text, numbers with the German decimal separator.
QString Format(const Variant& value, const QString& pattern = QString());

} // namespace tv
