#pragma once

#include <QString>
#include <QStringList>

namespace tv {

// The search boxes of the main window as texts: box 0 takes part in change detection and
// history only, box 1 narrows by file name and box 2 by path (see BuildViewSql). At most
// kSearchBoxesCompared boxes are compared with the texts the current view was built with.
inline constexpr int kSearchBoxesCompared = 4;

// True when any box holds text (the stop button is then enabled).
bool HasSearchText(const QStringList& boxTexts);

// True when a box differs from the text the last view build used, so a search is due.
bool SearchDue(const QStringList& boxTexts, const QStringList& builtTexts);

// A box's drop-down history: a typed text (not one chosen from the list) that the list does
// not hold yet (compared case-sensitively) goes to the top. True when it was added.
bool AddSearchHistory(QStringList& history, const QString& text, bool chosenFromList);

} // namespace tv
