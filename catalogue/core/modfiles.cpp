#include "modfiles.h"

#include "modglobals.h"
#include "modlang.h"
#include "modmain.h"
#include "platform/gui/dialogs.h"
#include "platform/gui/msgbox.h"
#include "platform/system/files.h"

#include <QApplication>
#include <QDir>
#include <QRegularExpression>
#include <vector>

namespace tv {

namespace fs = std::filesystem;

QString AddBackslash(const QString& path)
{
    return path.endsWith(QLatin1Char('/')) ? path : path + QLatin1Char('/');
}

QString TrimNull(const QString& text)
{
    const qsizetype nul = text.indexOf(QChar(0));
    return nul < 0 ? text : text.left(nul);
}

QString GetFolderPart(const QString& path)
{
    return path.left(path.lastIndexOf(QLatin1Char('/')) + 1);
}

QString GetFileNamePart(const QString& path)
{
    return path.mid(path.lastIndexOf(QLatin1Char('/')) + 1);
}

QString StripExtension(const QString& name)
{
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    return dot < 0 ? name : name.left(dot);
}

QString GetExtension(const QString& name)
{
    return name.mid(name.lastIndexOf(QLatin1Char('.')) + 1);
}

bool FolderExists(const QString& path) { return IsFolder(path); }

bool FileExists(const QString& path) { return IsFile(path); }

bool FileExistsMsg(const QString& path)
{
    if (FileExists(path)) return true;
    MsgBox(Translate(QStringLiteral("Datei nicht gefunden: ")) + path, vbExclamation, kAppTitle);
    return false;
}

namespace {

bool isInside(const QString& path, const QString& folder)
{
    return path.startsWith(folder) && path.size() > folder.size() && path.at(folder.size()) == QLatin1Char('/');
}

// The real place of a path, links resolved as far as the path exists.
QString realPath(const QString& path)
{
    std::error_code ec;
    const fs::path real = fs::weakly_canonical(ToFsPath(path), ec);
    return ec ? QString() : QDir::cleanPath(FromFsPath(real));
}

bool deleteFailed(bool showErrors, const QString& reason)
{
    if (showErrors) MsgBox(Translate(QStringLiteral("Delete-Error: "))
                                   + FailureText(QStringLiteral("Datei kann nicht gelöscht werden: "), reason),
                               vbOKOnly, kAppTitle);
    return false;
}

} // namespace

bool ShellFileOperation(const QString& path, bool showErrors)
{
    const QString temp = QDir::cleanPath(gtTempPath);
    const QString target = QDir::cleanPath(path);
    if (gtTempPath.isEmpty() || !QDir::isAbsolutePath(temp) || temp == QLatin1String("/") || path.isEmpty())
        return false;
    if (!isInside(target, temp)) return false;
    const QString parent = GetFolderPart(target).chopped(1);
    const QString name = GetFileNamePart(target);
    // Lexically inside is not enough: a link on the way (an unpacked archive may hold one)
    // could lead anywhere.
    const QString realTemp = realPath(temp), realParent = realPath(parent);
    if (realTemp.isEmpty() || realParent.isEmpty() || (realParent != realTemp && !isInside(realParent, realTemp)))
        return false;

    QString error;
    if (!name.contains(QLatin1Char('*')) && !name.contains(QLatin1Char('?'))) {
        return DeletePath(target, &error) || deleteFailed(showErrors, error);
    }
    std::vector<FolderEntry> entries;
    if (!IsFolder(parent)) return true;
    if (!ListFolder(parent, entries, &error)) return deleteFailed(showErrors, error);
    const QString pattern = name == QLatin1String("*.*") ? QStringLiteral("*") : name;
    const QRegularExpression match(QRegularExpression::wildcardToRegularExpression(pattern),
                                   QRegularExpression::CaseInsensitiveOption);
    bool ok = true;
    for (const FolderEntry& e : entries)
        if (match.match(e.name).hasMatch() && !DeletePath(e.path, &error)) ok = false;
    return ok || deleteFailed(showErrors, error);
}

QString BuildDialogFilter(const QString& filter)
{
    QStringList parts = (filter.isEmpty() ? QStringLiteral("Alle Dateien (*.*)|*.*") : filter).split(QLatin1Char('|'));
    if (parts.size() > 1 && parts.last().isEmpty()) parts.removeLast();
    static const QRegularExpression shownPatterns(QStringLiteral("\\s*\\([^()]*[*?][^()]*\\)\\s*$"));
    QStringList out;
    for (qsizetype i = 0; i < parts.size(); i += 2) {
        QString display = parts[i];
        display.remove(shownPatterns); // Qt shows the patterns itself
        display = Translate(display);
        QStringList patterns;
        const QString list = i + 1 < parts.size() ? parts[i + 1] : QStringLiteral("*");
        for (const QString& p : list.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
            const QString trimmed = p.trimmed();
            patterns << (trimmed == QLatin1String("*.*") ? QStringLiteral("*") : trimmed);
        }
        out << display + QStringLiteral(" (") + patterns.join(QLatin1Char(' ')) + QLatin1Char(')');
    }
    return out.join(QStringLiteral(";;"));
}

namespace {

QString showFileDialog(FileDialogKind kind, const QString& title, const QString& filter,
                       const QString& startFolder, const QString& defaultName)
{
    FileDialogRequest request;
    request.kind = kind;
    request.title = Translate(title);
    request.filter = BuildDialogFilter(filter);
    request.folder = startFolder.isEmpty() ? QDir::currentPath() : startFolder;
    request.fileName = defaultName;
    return ShowFileDialog(QApplication::activeWindow(), request);
}

} // namespace

QString ShowOpenDialog(const QString& title, const QString& filter, const QString& startFolder)
{
    return showFileDialog(FileDialogKind::Open, title, filter, startFolder, QString());
}

QString ShowSaveDialog(const QString& title, const QString& filter, const QString& startFolder,
                       const QString& defaultName)
{
    return showFileDialog(FileDialogKind::Save, title, filter, startFolder, defaultName);
}

QString BrowseFolder(QWidget* owner, const QString& startFolder)
{
    FileDialogRequest request;
    request.kind = FileDialogKind::Folder;
    request.title = Translate(QStringLiteral("Bitte wählen Sie einen Ordner aus"));
    request.folder = startFolder.isEmpty() ? gtDialogPath : startFolder;
    return ShowFileDialog(owner, request);
}

} // namespace tv
