#pragma once

#include <QString>

class QWidget;

namespace tv {

// Path texts. Real paths on disk use "/" and are split at "/" only: on Linux a file name may
// hold a "\" (member chains inside archives keep their "\" and are not handled here).
QString AddBackslash(const QString& path);     // appends "/" unless the path ends in one ("" gives "/")
QString TrimNull(const QString& text);         // the text up to its first NUL character
QString GetFolderPart(const QString& path);    // up to and including the last "/"; "" when none
QString GetFileNamePart(const QString& path);  // after the last "/"; the whole text when none
QString StripExtension(const QString& name);   // before the last "."; the whole text when none
QString GetExtension(const QString& name);     // after the last "."; the whole text when none

bool FolderExists(const QString& path);        // exists and is a folder
bool FileExists(const QString& path);          // exists and is not a folder
// FileExists; when false first shows "Datei nicht gefunden: " and the path (exclamation icon).
bool FileExistsMsg(const QString& path);

// Deletes a path below the temporary folder gtTempPath: a file or folder, or every entry of
// a folder that matches a last part with wildcards ("*", "?"; "*.*" matches every name).
// Refuses, deleting nothing and returning false, unless the path lies inside gtTempPath once
// "." and ".." are resolved and no link on the way leads out of it. Links are removed, never
// followed. A path that is not there counts as deleted. With `showErrors` a failure shows
// "Delete-Error: " and the reason.
bool ShellFileOperation(const QString& path, bool showErrors = false);

// Dialog filter text: pairs of display text and ";"-separated patterns, all separated by "|"
// ("Datenbank|*.MDB"); empty text means "Alle Dateien (*.*)|*.*". Returns the Qt form
// ("Datenbank (*.MDB)") with the display texts translated, and "*.*" as "*" so that names
// without a dot are offered too.
QString BuildDialogFilter(const QString& filter);

// The open and save dialogs over the active window, with the title translated; an empty
// start folder means the current folder. The chosen path, or empty text on cancel.
QString ShowOpenDialog(const QString& title, const QString& filter, const QString& startFolder);
QString ShowSaveDialog(const QString& title, const QString& filter, const QString& startFolder,
                       const QString& defaultName);

// The folder dialog; an empty start folder means gtDialogPath. The chosen folder or "".
QString BrowseFolder(QWidget* owner, const QString& startFolder);

} // namespace tv
