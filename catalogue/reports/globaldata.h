#pragma once

// Helpers shared by the database combo box and its drop-down list: SQL criteria from what the
// user typed, and selecting text so that the caret ends at the start of the selection.

#include "platform/runtime/variant.h"

#include <QString>

class QLineEdit;
class QWidget;

namespace tv {

// The window that carries the caption of `control` (its top-level window); null for none.
QWidget* GetTopLevelWindow(QWidget* control);

// One criterion on a field (name, field type code) for a typed value: equality with `exact`,
// else "at least" for numbers and "begins with" for texts and dates. Types without a
// criterion give "". A value that is no number for a number field gives "" with *ok false.
QString MakeSQLCriterion(const QString& fieldName, int fieldType, const Variant& value, bool exact,
                         bool caseSensitive, bool brackets, bool* ok = nullptr);

// A character position within a text of `length`: -1 or beyond the end is the end.
int32_t ClampTextPos(int32_t pos, int32_t length);
// Selects from startPos to endPos (-1: the end) with the caret at endPos, also when endPos
// lies before startPos.
void SelectTextReverse(QLineEdit* textBox, int32_t startPos, int32_t endPos);

} // namespace tv
