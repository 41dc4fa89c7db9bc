#include "dialogs.h"

#include <QFileDialog>

namespace tv {

namespace {
FileDialogHook& hookRef()
{
    static FileDialogHook hook;
    return hook;
}
} // namespace

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
