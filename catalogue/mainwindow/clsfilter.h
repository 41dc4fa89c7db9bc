#pragma once

#include "platform/runtime/collection.h"

#include <QString>
#include <memory>

namespace tv {

// One condition of a selection. The four texts are stored in the settings file as they stand.
//   Field    "tFile", "tPath", "tUnpackPath", "lSize", "Category_ID", "C.TCATEGORY" (category by
//            name), "iFileType", or "Type" (an extension without dot, e.g. "ZIP")
//   Compare  "=", "<>", ">", "<", "( )"; the selection window's "X" (none) is never stored
//   Value    the compared value as text
//   Join     "" or "Or": how the condition joins the one before it
class clsFilterDef {
public:
    QString Field;
    QString Compare;
    QString Value;
    QString Join;
};

using FilterDefPtr = std::shared_ptr<clsFilterDef>;

// A named selection (the settings say filter): its conditions in order, keyed "1", "2", ...
// Held by shared pointer in the main window's mcolFilters under the text of its id; the
// selection window edits the same objects.
class clsFilter {
public:
    Collection<FilterDefPtr> Conditions;
    QString Name;
    qint32 id = 0;

    // Appends a condition and gives it back.
    FilterDefPtr Add(const QString& field, const QString& compare, const QString& value,
                     const QString& join);
};

using FilterPtr = std::shared_ptr<clsFilter>;
using FilterCollection = Collection<FilterPtr>;

// Creates a selection with that name and id and adds it under the text of its id; nullptr
// (nothing added) when the id is taken.
FilterPtr AddSelection(FilterCollection& filters, const QString& name, qint32 id);

// Adds at most one condition: none for compare "X", none for an empty value unless compare is
// "=" or "<>". A value beginning with "@" (a typed category that names no row) switches to the
// alternative field and value when an alternative field is given.
void AddFilterCondition(clsFilter& selection, const QString& field, const QString& compare,
                        const QString& value, const QString& join, const QString& altField,
                        const QString& altValue);

// A copy (in no collection) in which every condition on "tPath" is followed by the same
// condition on "tUnpackPath" joined by "Or", so that a path also matches member chains.
FilterPtr ExpandPathConditions(const clsFilter& selection);

// The five selections a first run starts with: "Disketten", "Programme", "Kassetten",
// "Cartridges", "Bilder", ids 1 to 5.
void CreateDefaultFilters(FilterCollection& filters);

// The image key of a selection's row in the filter pane: the file-type key of its first
// condition on "iFileType" or "Type" (archives as "ZIP", texts as "TXT", pictures as "GFX"),
// "FILTER" when a later condition names another key or when there is none.
// `typeKeys` are the image keys of the file type codes 1 upward ("ATR", "COM", ...).
QString FilterIconKey(const clsFilter& selection, const QStringList& typeKeys);

// The name a typed selection name is kept under: line breaks become blanks, the blanks around it
// go (a name is shown and chosen by what can be seen of it), at most `limit` characters. Empty when nothing is
// left: such a name is refused.
QString SelectionName(const QString& typed, int limit);

// The row at which a new selection goes into the filter pane, whose row 0 is "Filter aus":
// before the first row whose name sorts higher (by character codes, case counting), else
// after the last. The pane thus keeps its selections in ascending name order.
int FilterRowPosition(const QStringList& paneNames, const QString& name);

// Stored form, in section [MAIN] of the settings file, numbered by position from 1:
//   "FilterName" n "=" Name
//   "FilterDef" n "=" condition { "@@@" condition }      (empty for no conditions)
//   condition := Field "!@!" Compare "!@!" Value "!@!" Join
// Both values are written as the settings file stores values (IniEntryLine), so blanks at the
// ends and line breaks come back. The separators are not escaped: a text holding one breaks
// its condition, which the reader drops.
QString FilterDefText(const clsFilter& selection);
// Appends the two lines of every selection, in collection order, to the settings text.
void SaveFilters(const FilterCollection& filters, QString& text);
// Reads FilterName1, FilterDef1, ... until a name is missing. A blank name is skipped (it
// cannot be listed), and the ones after it are read. Names pass through Translate; ids are
// the positions, so they are renumbered 1..n at every start. A condition of other than four
// parts is skipped.
void LoadFilters(FilterCollection& filters, const QString& section);

} // namespace tv
