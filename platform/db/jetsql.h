#pragma once

#include <QString>
#include <QStringList>

namespace tv {

// The catalogue's SQL texts are written in the Jet dialect; this translator turns one text
// into the SQLite dialect of the engine. It works on tokens, so nothing inside '...', "...",
// [...] or #...# is ever rewritten.
//
// Grammar of what it reads (everything else passes through unchanged):
//   text       := [ "PARAMETERS" decl { "," decl } ";" ] statement
//   decl       := name type                   name may be [bracketed]; a text type keeps
//                                             number-like values as texts
//   literal    := '...' | "..."               "..." becomes '...'
//   name       := ident | [any text]          [x] becomes "x"
//   date       := #m/d/yyyy [h:nn[:ss] [am|pm]]#   becomes its date serial (days since 30 Dec 1899)
//   concat     := operand "&" operand { "&" operand }   becomes tv_cat(...), Null counting as ''
//   call       := isNull( | Left( | Right(      renamed (keywords in SQLite); "Left Join" stays
//   "Delete * From" -> "DELETE FROM";  "Select Top n ..." -> "Select ... LIMIT n"
//   True / False -> -1 / 0;  DISTINCTROW is dropped;  a declared parameter or "?" -> ?N
// Unnamed expression columns of the first SELECT get Jet's names: Expr1000 + their position.
struct JetSql {
    QString sql;              // the SQLite text
    QStringList parameters;   // ?1..?n in order: declared names, then "" for each bare "?"
    QList<bool> textParameters;   // per parameter: declared with a text type (Text, Memo, ...)
    QString error;            // not empty when the text could not be read
    int top = -1;             // the n of the outer select's "Top n"; -1 without one
};

// Parentheses may nest this deep; a deeper text is refused with an error (the engine's own
// parser stops far earlier, and the translator's recursion must stay bounded).
inline constexpr int kMaxNesting = 100;

// Linear in the length of the text.
JetSql TranslateJetSql(const QString& jet);

// Reads the inside of a #...# literal ("12/31/2024 11:05:00 pm", "12/31/2024") as a date
// serial. False when it is no date.
bool ParseJetDateLiteral(const QString& inner, double* serial);

} // namespace tv
