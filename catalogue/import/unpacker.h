#pragma once

#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

namespace tv {

// The two unpack programs live in the program's tools folder (gtToolsPath): "7za" reads
// ZIP, 7Z and CAB, "unrar" reads RAR. The build links them to the system's programs.
QString ToolPath7za();
QString ToolPathUnrar();

// True when the program file exists; otherwise tells the user (stop icon, title
// "Entpacker-Programm") and returns false.
bool Check7za();
bool CheckUnrar();

// One unpacker call: program and arguments, no shell. `member` (empty = whole archive)
// uses "/" and comes after "--", so a name beginning with "-" or "@" is never a switch.
struct UnpackCommand {
    QString program;
    QStringList arguments;
};
UnpackCommand MakeUnpackCommand(const QString& archivePath, const QString& member,
                                const QString& destFolder);

// Runs the unpacker with the null device as input and `destFolder` as working folder
// (which must exist), waiting at most `timeoutMs` while serving the event loop.
// Success only when it ended in time with exit code 0.
enum class UnpackRun { Done, Failed, NotStarted };
UnpackRun RunUnpacker(const UnpackCommand& command, const QString& destFolder, int timeoutMs);

// What the archive's members come to unpacked, in bytes, as the unpacker lists them (one
// listing call; 7za "l -slt" gives each member's size, unrar-free's list ends with the total).
// Empty when the archive cannot be listed within `timeoutMs`: unreadable, not an archive, or
// no unpacker for it.
std::optional<qint64> ListUnpackedSize(const QString& archivePath, int timeoutMs);

// What a ZIP comes to unpacked, from its own central directory: the sizes the unpacker's
// listing would print, read without starting a program (ListUnpackedSize reads a ZIP so).
// Empty for anything this plain reading does not cover (no end record, a ZIP64 or
// self-extracting archive, a directory that does not hold up): the unpacker lists those.
std::optional<qint64> ZipDirectorySize(const QString& archivePath);

// Whether the archive's members are encrypted (or its list is), so that it cannot be unpacked
// without a password, as 7za lists it; false when that cannot be told (unrar-free does not
// say).
bool NeedsPassword(const QString& archivePath, int timeoutMs);

// The bytes free for unpacking in the temporary folder, or -1 when that cannot be read (the
// folder is missing, for one). Tests replace the reading with SetFreeSpaceHook (none: the disk's).
qint64 FreeSpaceOfTemp();
void SetFreeSpaceHook(std::function<qint64()> hook);

// Makes what an unpacker wrote below `folder` safe to catalogue: names that are not valid
// UTF-8 are read as CP850, names holding "\" become folders (never "." or ".."), symbolic
// links are removed unfollowed, files get read and write permission for the user and
// folders full access for the user.
void NormaliseUnpacked(const QString& folder);

// The entry below `folder` named by `relative` ("/" or "\" separated), each element found
// as spelled or else without regard to case; empty when an element is missing, a link, or
// "." / "..".
QString ResolveNoCase(const QString& folder, const QString& relative);

// Deletes a folder tree, but only one that lies inside the temporary folder.
bool RemoveTempTree(const QString& folder);

} // namespace tv
