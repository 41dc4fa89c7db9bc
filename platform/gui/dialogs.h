#pragma once

#include <QString>
#include <functional>

class QWidget;

namespace tv {

// The file and folder dialogs of the program, on Qt's own dialog so that name patterns match
// without regard to case, as the catalogue's extensions do.
enum class FileDialogKind { Open, Save, Folder };

struct FileDialogRequest {
    FileDialogKind kind = FileDialogKind::Open;
    QString title;
    QString filter;   // Qt form: "Datenbank (*.MDB);;Alle Dateien (*)"; unused for folders
    QString folder;   // folder shown first
    QString fileName; // proposed name (save dialog)
};

// Shows the dialog modally over `owner` and returns the chosen path, or empty text when the
// user cancelled. Open: the file must exist. Save: asks before replacing an existing file.
// Folder: folders only.
QString ShowFileDialog(QWidget* owner, const FileDialogRequest& request);

// A side file of an SQLite database: "<file>-wal", "<file>-shm" or "<file>-journal" beside an
// existing <file>. The open dialog does not list them.
bool IsDatabaseSideFile(const QString& path);

// Tests answer the dialogs through this hook instead of showing them.
using FileDialogHook = std::function<QString(const FileDialogRequest& request)>;
void SetFileDialogHook(FileDialogHook hook);

} // namespace tv
