#pragma once

#include "platform/db/dberror.h"
#include "platform/runtime/variant.h"

#include <QDateTime>
#include <QString>
#include <QStringList>

namespace tv {

// Text-level SQL rewriting for the database tree and the report lists. Nothing here touches
// the database: every function takes SQL text and returns SQL text.
//
// Grammar the builders assume (Jet dialect, keywords in any case):
//   sql      := select { "UNION" select }
//   select   := "SELECT" ["DISTINCT"|"DISTINCTROW"] item { "," item } " FROM " rest
//               [" WHERE " cond] [" GROUP BY " ...] [" HAVING " ...] [" ORDER BY " ...]
//   item     := expr [" AS " alias]
// A comma separates items only outside parentheses. A tree level's SELECT returns the item
// key, the parent key, the icon number and the display text, in this order.

// The query that reads the row with key `itemKey` of a level, whose second column is the
// row's parent key: the level's SELECT without its ORDER BY, with the condition
// "(key field = item key)" added to its WHERE. A level that is a UNION keeps all its parts
// (the caller picks the row). A key that is not a number is quoted.
QString MakeSQLFindParent(const QString& levelSql, const QString& itemKey);
// Whether a level's SQL is a UNION (" UNION " in any case), whose rows for one key the
// caller picks itself.
bool IsUnionSQL(const QString& levelSql);


// Tree levels: the item query of a level (filtered by the parameter xxx on its parent key)
// and the query of its distinct parent keys.
QString MakeSQLItemString(const QString& sql);
QString MakeSQLParentString(const QString& sql);
// The SELECTs of a UNION, trimmed; empty for an empty text.
QStringList SplitSQLUnion(const QString& sql);
// The second select-list expression without its alias; "" when there is none.
QString GetParentKey(const QString& select);
// Cuts the GROUP BY / HAVING / ORDER BY tail off `select` and returns it ("" when none).
QString CutSQLSuffix(QString& select);
// Element 0 empty, then one expression per top-level select item (alias cut off).
QStringList GetSQLFieldList(const QString& sql);

// Literals. Text values get their apostrophes doubled. A value that is no date gives ""
// for a date literal, with *ok false.
QString SQLQuote(const QString& text);
// `fieldType` is a field type code (DbFieldType).
QString MakeSQLValue(int fieldType, const Variant& value, bool* ok = nullptr);
// "#mm/dd/yyyy hh:nn:ss am/pm#", whatever the locale.
QString MakeSQLDate(const QDateTime& dateTime);
QString MakeSQLDate(const Variant& value, bool* ok = nullptr);

// The report list's rewriter: filter on one select-list column through the parameter XXX
// and sort by a 1-based column number. Column indexes count from 0; -1 means none.
QStringList GetSelectFields(const QString& select);
QString AddSQLWhereOrder(const QString& select, int filterColumn, int sortColumn, bool ascending);
QString MakeSQLParamQuery(const QString& sql, int filterColumn, int sortColumn, bool ascending);

// The tree's error box: "<number>: <description>", titled "Tree: " and the procedure's
// name, stop icon, OK button.
void ShowTreeError(const QString& procedure, int number, const QString& description);
// The same box for a failure of the catalogue's engine: number and English text follow the
// translated sentence that reading the catalogue failed.
void ShowTreeError(const QString& procedure, const DbError& error);

} // namespace tv
