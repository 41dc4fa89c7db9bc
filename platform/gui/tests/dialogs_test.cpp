#include "platform/gui/dialogs.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QScopeGuard>
#include <QSortFilterProxyModel>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

void touch(const QString& path)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly)) << path.toStdString();
}

// The names the open dialog lists for a folder, read from its file list once the dialog has
// read the whole folder (`filesInFolder` entries).
QStringList listedNames(const QString& folder, int filesInFolder)
{
    QStringList names;
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        if (!dialog) return;
        const auto closeDialog = qScopeGuard([dialog] { dialog->reject(); });
        auto* view = dialog->findChild<QAbstractItemView*>(QStringLiteral("listView"));
        if (!view) return;
        QAbstractItemModel* shown = view->model();
        auto* proxy = qobject_cast<QSortFilterProxyModel*>(shown);
        auto* files = qobject_cast<QFileSystemModel*>(proxy ? proxy->sourceModel() : shown);
        if (!files) return;
        QDeadlineTimer deadline(10000);
        while (files->rowCount(files->index(folder)) < filesInFolder && !deadline.hasExpired()) {
            QApplication::processEvents();
            QThread::msleep(10);
        }
        QApplication::processEvents();
        for (int row = 0; row < shown->rowCount(view->rootIndex()); ++row)
            names << shown->index(row, 0, view->rootIndex()).data().toString();
        names.sort();
    });
    tv::FileDialogRequest request;
    request.title = QStringLiteral("Datei importieren");
    request.folder = folder;
    request.filter = QStringLiteral("Alle Dateien (*)");
    tv::ShowFileDialog(nullptr, request);
    return names;
}

// The open dialog lists every file but the side files the database engine keeps beside a
// catalogue; a name that only looks like one, with no file it belongs to, is listed.
TEST(FileDialog, OpenDialogHidesTheCataloguesSideFiles)
{
    QTemporaryDir dir;
    for (const char* name : {"games.MDB", "games.MDB-wal", "games.MDB-shm", "games.MDB-journal", "boulder.atr",
                             "notes-wal"})
        touch(dir.filePath(QString::fromLatin1(name)));
    EXPECT_EQ(listedNames(dir.path(), 6), (QStringList{"boulder.atr", "games.MDB", "notes-wal"}));

    EXPECT_TRUE(tv::IsDatabaseSideFile(dir.filePath(QStringLiteral("games.MDB-wal"))));
    EXPECT_FALSE(tv::IsDatabaseSideFile(dir.filePath(QStringLiteral("notes-wal"))));
    EXPECT_FALSE(tv::IsDatabaseSideFile(dir.filePath(QStringLiteral("games.MDB"))));
}

} // namespace
