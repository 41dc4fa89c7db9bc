#pragma once

#include "clsfilter.h"

#include <QString>
#include <QStringList>

namespace tv {

// The SQL of a selection, in the catalogue's Jet dialect.
//
// One condition (BuildFilterCondition) is `Field` " " operator operand, with no blank between
// operator and operand:
//   number field (iFileType, lSize)   Compare Value; nothing for an empty value or a value that
//                                     is no finite number
//   text field, empty value           "Is Null" for "=" (and any symbol but "<>"), "Is Not Null"
//                                     for "<>": a comparison with NULL would match no row
//   text field, value                 "( )" Like'*v*'   ">" Like'v*'   "<" Like'*v'
//                                     "<>" Not Like'*v*'   otherwise ='v'
// A value that holds "*" is used as the pattern as it stands; "?", "#" and "[" match
// themselves (LikeText); "'" is always doubled.
QString BuildFilterCondition(const clsFilterDef& condition);

// The conditions of `selection` that BuildFilterCondition leaves out although they have a
// value: a number field ("iFileType", "lSize") or a category number compared with a value that
// is no number (such as "inF" from a settings file edited by hand). Each as the user reads it,
// `Field` " " `Compare` " " `Value`.
QStringList IgnoredConditions(const clsFilter& selection);

// Adds the conditions of `selection` (path conditions expanded, see ExpandPathConditions) to
// the WHERE text of the file lists (`listWhere`) and to that of the tree (`treeWhere`, which
// takes only conditions on iFileType, tFile, tPath, tUnpackPath and Type). Conditions joined
// by "Or" are grouped in parentheses; a condition with an empty join closes the group first, so
// it applies to the whole group. Returns true when a condition names the category by name
// ("C.TCATEGORY"), which needs the Category table joined.
bool AddSelectionConditions(const clsFilter& selection, QString& listWhere, QString& treeWhere);

} // namespace tv
