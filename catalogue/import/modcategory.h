#pragma once

#include "platform/db/dberror.h"

#include <QString>
#include <functional>

namespace tv {

// Categories and record deletion on the open catalogue goDB. None of them shows a database
// error: a failure comes back to the caller, whose own handler reports it.

// Whether a category of that name exists (names compare without regard to case).
// `extraCondition` is appended to the condition as it stands (" AND ID<>7" when a category is
// renamed, so that it does not count itself). With `showMessage` an existing name is reported
// with "Diese Kategorie besteht schon!" (exclamation icon).
bool CategoryExists(const QString& name, const QString& extraCondition, bool showMessage);

// The ID of the category of that name; a new category (ID = highest ID + 1) when there is
// none. Names are kept to the column's 255 characters. 0 with `error` set on failure.
qint32 GetCategoryID(const QString& name, DbError* error = nullptr);
// Tests: called in GetCategoryID between the count and the write of a new category, where
// another program may add one (none: nothing is called).
void SetCategoryCountedHook(std::function<void()> hook);

// The category's files lose it (Category_ID Null), then its row is deleted.
DbError DeleteCategory(qint32 id);

// Deletes one MainFiles row; its start history stays.
DbError DeleteMainFile(qint32 id);

} // namespace tv
