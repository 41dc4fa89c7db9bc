// The main window's menu bar, and the commands that are only a few steps.
#include "frmmain.h"
#include "viewsql.h"

#include "catalogue/core/frminputbox.h"
#include "catalogue/core/frmlogo.h"
#include "catalogue/core/moddatabase.h"
#include "catalogue/core/modfiles.h"
#include "catalogue/core/modlang.h"
#include "catalogue/core/modmain.h"
#include "catalogue/import/clsfilemanager.h"
#include "catalogue/import/frmprocess.h"
#include "catalogue/import/modcategory.h"
#include "catalogue/reports/reportview.h"
#include "catalogue/reports/simplereport.h"
#include "catalogue/reports/vtlsimplecontainer.h"
#include "catalogue/reports/vtlsplit.h"
#include "catalogue/tree/usertree.h"
#include "platform/gui/msgbox.h"
#include "platform/system/process.h"
#include "previewpane.h"

#include <QApplication>
#include <QMenuBar>
#include <QToolBar>

namespace tv {

QAction* frmMain::AddCommand(QMenu* menu, const char* name, const QString& caption, const QKeySequence& shortcut,
                             std::function<void()> command)
{
    // German texts here; the window translates them as a whole (ApplyLanguage).
    QAction* action = menu->addAction(caption);
    action->setObjectName(QLatin1String(name));
    action->setShortcut(shortcut);
    connect(action, &QAction::triggered, this, [command = std::move(command)] { command(); });
    return action;
}

void frmMain::BuildMenus()
{
    auto text = [](const char* s) { return QString::fromUtf8(s); };
    const auto none = QKeySequence();

    QMenu* file = menuBar()->addMenu(text("&Datei"));
    AddCommand(file, "mnuNewDB", text("&Neue Datenbank"), QKeySequence(tr("Ctrl+N")), [this] { NewDB(); });
    AddCommand(file, "mnuOpenDB", text("&Datenbank öffnen"), QKeySequence(tr("Ctrl+O")), [this] { mnuOpenDB_Click(); });
    file->addSeparator();
    QAction* addFile = AddCommand(file, "mnuAddFile", text("Datei importieren"), QKeySequence(tr("Ctrl+I")),
                                  [this] { mnuAddFile_Click(); });
    QAction* addDir = AddCommand(file, "mnuAddDir", text("Ordner importieren"), QKeySequence(tr("Ctrl+A")),
                                 [this] { mnuAddDir_Click(); });
    file->addSeparator();
    AddCommand(file, "mnuExit", text("&Beenden"), none, [this] { close(); });
    catalogueCommands_ << addFile << addDir;
    writeCommands_ << addFile << addDir;

    QMenu* edit = menuBar()->addMenu(text("&Bearbeiten"));
    // The profile items are made by RefreshStartList; the designed one stays hidden while no
    // profile is active.
    mnuStart_ = edit->addMenu(text("&Starten"));
    mnuStart_->setObjectName(QStringLiteral("mnuStart"));
    mnuStart_->addAction(QString())->setObjectName(QStringLiteral("mnuProfil"));
    connect(mnuStart_, &QMenu::triggered, this, [this](QAction* item) { StartEntry(item->data().toString()); });
    // Start, details, delete and the file path follow the selection (UpdateActions).
    mnuDetails_ = AddCommand(edit, "mnuDetails", text("&Details"), QKeySequence(tr("Ctrl+D")), [this] { EditSelected(); });
    mnuDel_ = AddCommand(edit, "mnuDel", text("&Löschen"), QKeySequence(Qt::Key_Delete), [this] { mnuDel_Click(); });
    mnuNewCat_ = AddCommand(edit, "mnuNewCat", text("&Neue Kategorie"), QKeySequence(tr("Ctrl+R")), [this] { mnuNewCat_Click(); });
    edit->addSeparator();
    catalogueCommands_ << AddCommand(edit, "mnuFilter", text("&Filter"), QKeySequence(tr("Ctrl+F")),
                                     [this] { mnuFilter_Click(); });
    AddCommand(edit, "mnuFind", text("&Suchen"), none, [this] {
        if (FilesListShown()) lstMainFiles_->FindDialog(false, true);
        else lstMain_->FindDialog();
    });
    edit->addSeparator();
    mnuFilepath_ = AddCommand(edit, "mnuFilepath", text("Dateipfad"), QKeySequence(tr("Ctrl+E")),
                              [this] { mnuFilepath_Click(); });
    mnuEdit_ = edit;

    QMenu* view = menuBar()->addMenu(text("&Ansicht"));
    BuildLanguageMenu(view);
    mnuToggleToolbar_ = AddCommand(view, "mnuToggleToolbar", text("Toolbar"), none, [this] {
        tlbMain_->setVisible(mnuToggleToolbar_->isChecked());
        mSettings.ShowToolbar = mnuToggleToolbar_->isChecked();
    });
    mnuToggleToolbar_->setCheckable(true);
    mnuToggleToolbar_->setChecked(mSettings.ShowToolbar);
    view->addSeparator();
    AddCommand(view, "mnuEditHeader", text("&Spalten anordnen"), QKeySequence(tr("Ctrl+S")), [this] {
        if (gtDBPath.isEmpty()) return;
        if (FilesListShown()) lstMainFiles_->EditHeaders();
        else lstMain_->EditHeaders();
    });
    mnuPreview_ = AddCommand(view, "mnuPreview", text("Voransicht"), none, [this] { mnuPreview_Click(); });
    mnuPreview_->setCheckable(true);
    mnuPreview_->setChecked(mSettings.Preview);
    catalogueCommands_ << mnuPreview_;
    view->addSeparator();
    const char* captions[] = {nullptr, "Dateien", "Neue Dateien", "Kategorien", "Zuletzt gestartet"};
    for (int kind = kViewFiles; kind <= kViewHistory; ++kind) {
        // Usable without a catalogue too: nothing is built then, and the check marks stay.
        mnuView_[kind] = AddCommand(view, "mnuView", text(captions[kind]), none, [this, kind] {
            if (gtDBPath.isEmpty() || !goDB) mnuView_[kind]->setChecked(!mnuView_[kind]->isChecked());
            else BuildView(kind);
        });
        mnuView_[kind]->setCheckable(true);
    }

    QMenu* extras = menuBar()->addMenu(text("&Extras"));
    extras->setObjectName(QStringLiteral("mnuExtras"));
    for (const bool selection : {false, true}) {
        const char* name = selection ? "mnuCopySelection" : "mnuCopyAll";
        const QString caption = text(selection ? "Markierte Einträge kopieren -> Zwischenablage"
                                               : "Gesamte Liste kopieren -> Zwischenablage");
        catalogueCommands_ << AddCommand(extras, name, caption, none, [this, caption, selection] {
            ShowInfo(Translate(caption));
            if (FilesListShown()) lstMainFiles_->CopyToClipboard(selection);
            else lstMain_->CopyToClipboard(selection);
        });
    }
    extras->addSeparator();
    catalogueCommands_ << AddCommand(extras, "mnuCheckFiles", text("&Datenbank überprüfen"), none,
                                     [this] { mnuCheckFiles_Click(); });
    // Only a check mark: the shutdown reads it.
    mnuCompactDB_ = AddCommand(extras, "mnuCompactDB", text("&Datenbank beim Beenden komprimieren"), none, [] {});
    mnuCompactDB_->setCheckable(true);
    catalogueCommands_ << mnuCompactDB_;
    extras->addSeparator();
    AddCommand(extras, "mnuOption", text("&Optionen"), QKeySequence(tr("Ctrl+P")), [this] { mnuOption_Click(); });

    QMenu* help = menuBar()->addMenu(QStringLiteral("?"));
    AddCommand(help, "mnuHomepage", text("&Homepage"), none, [this] { mnuHomepage_Click(); });
    help->addSeparator();
    AddCommand(help, "mnuLogo", text("&Info"), none, [this] {
        frmLogo logo(this);
        logo.exec();
    });

    BuildToolbar();
    FillRecentMenus();
}

void frmMain::FillRecentMenu(const Collection<QString>& paths, QMenu* menu)
{
    QStringList sorted;
    for (int i = 1; i <= paths.count(); ++i) sorted << *paths.item(i);
    std::stable_sort(sorted.begin(), sorted.end(),
                     [](const QString& a, const QString& b) { return a.compare(b, Qt::CaseInsensitive) < 0; });
    menu->clear();
    for (const QString& path : sorted) menu->addAction(path)->setData(path);
}

void frmMain::FillRecentMenus()
{
    FillRecentMenu(mSettings.RecentDatabases, recentDatabases_);
    FillRecentMenu(mSettings.RecentFolders, recentFiles_);
    FillRecentMenu(mSettings.RecentFolders, recentFolders_);
}

bool frmMain::FilesListShown() const { return !lstMainFiles_->isHidden(); }

bool frmMain::DeleteTempPath()
{
    const QString before = StatusText();
    ShowInfo(QStringLiteral("Delete temp path..."));
    for (;;) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        const bool ok = ShellFileOperation(gtTempPath + QStringLiteral("/*.*"), false);
        QApplication::restoreOverrideCursor();
        if (ok) {
            ShowInfo(before);
            return true;
        }
        if (MsgBox(Translate(QStringLiteral("Temp-Verzeichnis kann nicht gelöscht werden: ")) + gtTempPath,
                   vbCritical | vbRetryCancel, kAppTitle)
            != vbRetry)
            return false;
    }
}

void frmMain::mnuPreview_Click()
{
    const bool on = mnuPreview_->isChecked();
    container_->setVisible(on);
    ArrangeLists();
    preview_->Active = on && !FirstActivation;
    UpdatePreview();
}

void frmMain::UpdatePreview()
{
    if (!preview_->Active || !preview_->isVisible()) return;
    preview_->ShowPreview(SelectedFileID(), CurrentFileType());
}

void frmMain::mnuCheckFiles_Click()
{
    if (!DeleteTempPath()) return;
    goFileManager->DeleteTempCol();
    frmProcess job(this);
    job.imgMain = imgMain_;
    job.Action = frmProcess::actCheck;
    job.mFileManager = goFileManager.get();
    for (int i = 1; i <= mSettings.RecentFolders.count(); ++i) job.ActFolders << *mSettings.RecentFolders.item(i);
    job.exec();
    ShowInfo(job.StatusMsg);
    if (job.Action == frmProcess::actChanged) RefreshAfterDelete(false);
}

void frmMain::mnuNewCat_Click()
{
    const QString name = InputText(Translate(QStringLiteral("Neue Kategorie:")), kAppTitle);
    if (name.isEmpty()) return;
    const bool isNew = !CategoryExists(name, QString(), false);
    const qint32 id = GetCategoryID(name);
    if (id <= 0) return;
    if (isNew) {
        lstMain_->setAutoRefresh(false);
        treeMain_->Requery();
    }
    treeMain_->SelectItem(QString::number(id), 2);
    if (isNew) lstMain_->setAutoRefresh(true);
}

namespace {
// The desktop opener's exit code for "no program for this kind of file".
constexpr int kNoProgramForFolders = 3;
} // namespace

void frmMain::mnuFilepath_Click()
{
    const QString column = Translate(QStringLiteral("Dateipfad"));
    QString path;
    if (FilesListShown()) {
        path = lstMainFiles_->FieldValue(Variant(column)).text();
    } else if (!TreeActive()) {
        path = lstMain_->FieldValue(Variant(column)).text();
    }
    // The tree's nodes are categories and start days, never files: with the tree active
    // there is no path (a day's number is no file ID).
    if (path.isEmpty() || !FileExistsMsg(path)) return;
    // The desktop's file manager, opened on the file's folder; without one the user hears so.
    // On a busy machine the opener may take longer than its verdict wait to find that it has
    // no program for folders (its exit code 3); that verdict is its own, and told as well.
    const QString folder = GetFolderPart(path);
    const auto failed = [folder](const QString& error) {
        QString text = Translate(QStringLiteral("Der Ordner konnte nicht geöffnet werden: ")) + folder;
        if (!error.isEmpty()) text += QStringLiteral("\n\n") + error;
        MsgBox(text, vbExclamation, kAppTitle);
    };
    QString error;
    const bool opened = OpenDocument(folder, &error, nullptr, [failed](int exitCode) {
        if (exitCode == kNoProgramForFolders) failed(QStringLiteral("xdg-open: exit code %1").arg(exitCode));
    });
    if (!opened) failed(error);
}

} // namespace tv
