#include "searchtext.h"

#include <algorithm>

namespace tv {

bool HasSearchText(const QStringList& boxTexts)
{
    return std::any_of(boxTexts.begin(), boxTexts.end(), [](const QString& t) { return !t.isEmpty(); });
}

bool SearchDue(const QStringList& boxTexts, const QStringList& builtTexts)
{
    const int n = std::min<int>(int(boxTexts.size()), kSearchBoxesCompared);
    for (int i = 0; i < n; ++i)
        if (boxTexts[i] != builtTexts.value(i)) return true;
    return false;
}

bool AddSearchHistory(QStringList& history, const QString& text, bool chosenFromList)
{
    if (text.isEmpty() || chosenFromList || history.contains(text, Qt::CaseSensitive)) return false;
    history.prepend(text);
    return true;
}

} // namespace tv
