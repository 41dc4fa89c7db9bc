#pragma once

#include "clsfilter.h"

#include <QString>
#include <QStringList>

namespace tv {

// The SQL of the main window's views, in the catalogue's Jet dialect. The window hands the
// texts to its tree and report lists; nothing here touches the database.
//
// View kinds (stored as "ViewMode"; never renumber): 1 all files, 2 new files (IDs above the
// highest ID when the catalogue was opened), 3 categories, 4 history of starts.
enum ViewKind : int { kViewFiles = 1, kViewNewFiles = 2, kViewCategories = 3, kViewHistory = 4 };

// Translated captions, kept after the language is applied (SetColumnCaptions). The list
// columns are keyed by them.
extern QString gtCategoryCaption;  // "Kategorie"
extern QString gtFileCaption;      // "Datei"
extern QString gtFilesCaption;     // "Dateien"
extern QString gtSizeCaption;      // "Größe"
// Translates the four captions; an empty translation keeps the German text.
void SetColumnCaptions();

// "field as [caption]", or the capitalised caption alone when it is the field's own name.
// With `translate` the caption is translated first, "[" and "]" becoming "-" and "." a blank.
QString ColumnAlias(const QString& field, const QString& caption, bool translate);
// The column key that alias gives the list: the caption part of ColumnAlias.
QString ColumnKey(const QString& field, const QString& caption, bool translate);
// The keys of every display column the views can build, in the current language and always in
// the same order, so that two calls around a language switch pair old and new keys.
QStringList ViewColumnKeys();
// The select list of every file query: iTyp, IsArchiv, then the display columns.
QString FileSelectList();
// The field number (from 0) of the file name in a file query that puts `keyFields` fields
// before the select list (the ID, and in the drill-down levels the tree key as well).
int FileNameField(int keyFields);
// The field behind a column key (a caption); other keys are returned as they are.
QString GetViewColumn(const QString& key);
// Whether a column key is that of a column only one view builds (the history's start time):
// MainListColumns, kept from whichever list was shown last, may never have seen it.
bool IsViewOwnColumn(const QString& key);
// Whether the user keeps the category column (MainListColumns names "tCategory").
bool HasCategoryColumn();

// What a view is built from.
struct ViewRequest {
    int ViewMode = kViewFiles;
    bool ShowCategory = false;        // the category column is wanted
    QString FileSearch;               // text of the file-name search box
    QString PathSearch;               // text of the path search box
    const clsFilter* Selection = nullptr;  // current selection, none for "Filter aus"
    qint32 LastID = 0;                // highest file ID when the catalogue was opened
    qint32 NewestID = 0;              // highest file ID handed out since; 0 when not known
    qint32 FileCount = 0;             // files in the catalogue as last counted; 0 when not known
    QString ViewCaption;              // caption of the view's root node
};

// The texts of one view. Files: the query of the flat file list (view kinds 1 and 2).
// ListLevels: the two levels of the drill-down list (view kinds 3 and 4); TreeLevels: the
// two levels of the tree beside it. The second column of every second level is the key that
// links a list row to a tree node: the category ID, or the start day.
struct ViewSql {
    QString Files;
    QStringList ListLevels;
    QStringList TreeLevels;
    QString Where;  // the view's WHERE text (view, name search and selection conditions)
};

// The start day of a history row as a tree key: the whole days of the start's date serial.
// (Rounding with clng would move a start after noon onto the next day.)
inline const QString kStartDaySql = QStringLiteral("int(cDate(tsStarted))");

ViewSql BuildViewSql(const ViewRequest& request);

// "Kategorien (Dauer: 0,42s)": the view's caption and how long its rebuild took; from a
// minute on "mm:ss" with minutes counted modulo 60.
QString DurationText(const QString& caption, double seconds);

} // namespace tv
