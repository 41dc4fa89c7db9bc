#include "dialogs.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QSortFilterProxyModel>

namespace tv {

namespace {
FileDialogHook& hookRef()
{
    static FileDialogHook hook;
    return hook;
}

// Hides the side files the database engine keeps beside an open catalogue ("x.MDB-wal",
// "x.MDB-shm", "x.MDB-journal" next to "x.MDB"): they are no file to choose, and "Alle
// Dateien" would list them.
class SideFileFilter : public QSortFilterProxyModel {
public:
    using QSortFilterProxyModel::QSortFilterProxyModel;

protected:
    bool filterAcceptsRow(int row, const QModelIndex& parent) const override
    {
        const auto* files = qobject_cast<const QFileSystemModel*>(sourceModel());
        if (!files) return true;
        const QModelIndex index = files->index(row, 0, parent);
        return files->isDir(index) || !IsDatabaseSideFile(files->filePath(index));
    }
};
} // namespace

bool IsDatabaseSideFile(const QString& path)
{
    for (const QLatin1String suffix : {QLatin1String("-wal"), QLatin1String("-shm"), QLatin1String("-journal")})
        if (path.endsWith(suffix)) return QFileInfo(path.chopped(suffix.size())).isFile();
    return false;
}

void SetFileDialogHook(FileDialogHook hook) { hookRef() = std::move(hook); }

QString ShowFileDialog(QWidget* owner, const FileDialogRequest& request)
{
    if (hookRef()) return hookRef()(request);

    QFileDialog dialog(owner, request.title, request.folder);
    // The desktop's own dialogs match patterns case-sensitively; Qt's dialog does not.
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    switch (request.kind) {
    case FileDialogKind::Open:
        dialog.setFileMode(QFileDialog::ExistingFile);
        dialog.setAcceptMode(QFileDialog::AcceptOpen);
        dialog.setProxyModel(new SideFileFilter(&dialog));
        break;
    case FileDialogKind::Save:
        dialog.setFileMode(QFileDialog::AnyFile);
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        if (!request.fileName.isEmpty()) dialog.selectFile(request.fileName);
        break;
    case FileDialogKind::Folder:
        dialog.setFileMode(QFileDialog::Directory);
        dialog.setOption(QFileDialog::ShowDirsOnly);
        break;
    }
    if (request.kind != FileDialogKind::Folder && !request.filter.isEmpty()) dialog.setNameFilter(request.filter);
    if (dialog.exec() != QDialog::Accepted) return QString();
    const QStringList chosen = dialog.selectedFiles();
    return chosen.isEmpty() ? QString() : chosen.first();
}

} // namespace tv
