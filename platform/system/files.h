#pragma once

#include <QString>
#include <filesystem>
#include <functional>
#include <vector>

namespace tv {

// File names on Linux are bytes. Text that comes from a name keeps every byte that is not
// valid UTF-8 as one lone surrogate U+DC80..U+DCFF, so the name turns back into the very
// same bytes. Qt's own file classes do not know this escape: open such names through
// ToFsPath and the standard library, as the functions here do.
std::filesystem::path ToFsPath(const QString& path);
QString FromFsPath(const std::filesystem::path& path);
// True when `text` holds such an escaped byte: a name no Qt class and no stored text can
// carry as it is.
bool HasUndecodableBytes(const QString& text);
// `text` for the user's eyes: each escaped byte shown as U+FFFD.
QString ShownName(const QString& text);

// One entry of a folder listing.
struct FolderEntry {
    QString name;          // the entry's own name
    QString path;          // the folder, "/" and the name
    bool isFolder = false; // a real folder; a link to a folder is not one
    bool isLink = false;   // a symbolic link (never followed)
    qint64 size = 0;       // size in bytes of a regular file
};

// Whether the name `a` comes before `b` in a folder listing: without regard to case, and
// names that differ only in case by their code units.
bool ListedBefore(const QString& a, const QString& b);

// Lists one folder, sorted by name without regard to case. Every entry is listed whatever
// bytes its name holds; symbolic links are listed as links and never followed.
bool ListFolder(const QString& folder, std::vector<FolderEntry>& entries, QString* error = nullptr);

// Walks a folder tree depth-first, each folder before its contents, entries in ListFolder
// order; links are reported but never entered. `visit` returns false to stop the walk.
// Returns false when a folder could not be read or the walk was stopped.
bool WalkFolder(const QString& folder, const std::function<bool(const FolderEntry&)>& visit,
                QString* error = nullptr);

// True when the path exists and is a folder (or a link to one).
bool IsFolder(const QString& path);
// True when the path exists and is not a folder (a link is followed).
bool IsFile(const QString& path);

// Creates a folder and the folders above it that are missing.
bool CreateFolder(const QString& path, QString* error = nullptr);

// Deletes a file, a link (never what it points to) or a folder with everything below it;
// links inside the folder are removed, not followed. A path that does not exist is no error.
bool DeletePath(const QString& path, QString* error = nullptr);

// Moves or renames a file or folder. Fails, touching nothing, when the target exists.
bool MovePath(const QString& from, const QString& to, QString* error = nullptr);

} // namespace tv
