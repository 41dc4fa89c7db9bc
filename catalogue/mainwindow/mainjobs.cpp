// The main window's jobs: importing files and folders through the job window, the refresh
// after a job, and starting a catalogued file.
#include "frmmain.h"
#include "viewsql.h"

#include "catalogue/core/modfiles.h"
#include "catalogue/core/modlang.h"
#include "catalogue/emulators/frmfile.h"
#include "catalogue/emulators/frmoptions.h"
#include "catalogue/emulators/modprofilmenu.h"
#include "catalogue/emulators/modstart.h"
#include "catalogue/import/clsfilemanager.h"
#include "catalogue/import/frmprocess.h"
#include "catalogue/reports/reportview.h"
#include "catalogue/reports/simplereport.h"
#include "catalogue/tree/ctreeitem.h"
#include "catalogue/tree/usertree.h"
#include "platform/gui/systimer.h"
#include "previewpane.h"
#include "searchpane.h"
#include "sidepane.h"

#include <QStatusBar>

namespace tv {

namespace {

// "*.bmp;*.gif" from ".BMP;.GIF".
QString Patterns(QString extensions)
{
    return extensions.replace(QLatin1Char('.'), QStringLiteral("*.")).toLower();
}

// Description and pattern of one entry of the import dialog's filter.
QString FilterEntry(const QString& description, const QString& extensions)
{
    const QString patterns = Patterns(extensions);
    return description + QStringLiteral(" (") + patterns + QStringLiteral(")|") + patterns;
}

QString ImportFilter()
{
    // The descriptions are German, as every text of the program, and pass through the
    // translation with the dialog's other texts.
    return QStringList{
        QStringLiteral("Alle Dateien (*.*)|*.*"),
        QStringLiteral("Disketten-Image (*.atr;*.dcm;*.pro;*.xfd)|*.atr;*.dcm;*.pro;*.xfd"),
        QStringLiteral("Ausführbares Programm (*.com;*.exe;*.xex)|*.com;*.exe;*.xex"),
        QStringLiteral("BASIC-Programm (*.bas)|*.bas"),
        QStringLiteral("Kassette (*.cas)|*.cas"),
        QStringLiteral("Cartridge (*.bin;*.rom)|*.bin;*.rom"),
        QStringLiteral("PDF-Dateien (*.pdf)|*.pdf"),
        FilterEntry(QStringLiteral("Bilddateien"), QStringLiteral(".BMP;.GIF;.JPG;.PNG;.TIFF")),
        FilterEntry(QStringLiteral("Textdateien"), QStringLiteral(".TXT;.NFO;.DIZ")),
        FilterEntry(QStringLiteral("Archivdateien"), QStringLiteral(".ZIP;.RAR;.7Z;.CAB")),
    }.join(QLatin1Char('|'));
}

} // namespace

void frmMain::AddFiles(const QString& path, bool isFolder)
{
    const QString start = FolderExists(path) ? path : QString();
    const QString chosen = isFolder ? BrowseFolder(this, start)
                                    : ShowOpenDialog(QStringLiteral("Datei importieren"), ImportFilter(), start);
    if (chosen.isEmpty()) return;
    const QString folder = AddBackslash(isFolder ? chosen : GetFolderPart(chosen));
    gtDialogPath = folder;
    // A folder used again moves to the front of the recent folders.
    Collection<QString>& recent = mSettings.RecentFolders;
    if (const int at = RecentPosition(recent, folder)) {
        if (at != 1) {
            recent.remove(at);
            LimitRecentList(recent, folder);
        }
    } else {
        LimitRecentList(recent, folder);
        FillRecentMenus();
    }
    if (isFolder)
        RunProcess(frmProcess::actAddFolder, folder);
    else
        RunProcess(frmProcess::actAddFile, chosen);
}

void frmMain::RunProcess(int mode, const QString& path)
{
    frmProcess job(this);
    job.imgMain = imgMain_;
    job.Action = mode;
    job.StartPath = path;
    job.mFileManager = goFileManager.get();
    job.exec();
    ShowInfo(job.StatusMsg);
    RefreshAfterProcess(job.Action, mode, job.NewFileID);
}

void frmMain::RefreshAfterProcess(int resultMode, int requestedMode, qint32 lastFileID)
{
    const bool filesView = ViewMode() == kViewFiles || ViewMode() == kViewNewFiles;
    const bool selectFile = lastFileID != 0 && requestedMode == frmProcess::actAddFile && filesView;
    bool listHeld = false;
    if (resultMode == frmProcess::actChanged) {
        if (!filesView) {
            if (const auto item = treeMain_->SelectedItem(); item && item->Level > 1) {
                lstMain_->setAutoRefresh(false);
                treeMain_->SelectItem(QStringLiteral("-1"), 1);
                listHeld = true;
            }
        }
        // The selection returns to "Filter aus", so that every new file shows.
        lvFilter_->SetCurrentRow(0);
        CurrentFilterKey = 0;
        // So is the search, and no search waits to run after the import.
        if (search_->HasSearchText()) {
            search_->ResetSearch();
            search_->moTimer()->setEnabled(false);
        }
        // The new files are those above the highest ID taken when the catalogue was opened;
        // the view of them is built once, here.
        BuildView(kViewNewFiles);
        RefreshAfterDelete(false);
    }
    if (selectFile) {
        lstMainFiles_->setAutoRefresh(false);
        lstMainFiles_->Find(Variant(QStringLiteral("ID")), Variant(qint32(std::abs(lastFileID))));
        lstMainFiles_->setAutoRefresh(true);
        // The commands and the status bar follow the row found, also when it is the row the
        // rebuilt list had current already, which moves no selection and tells nobody.
        UpdateActions();
    } else if (listHeld) {
        lstMain_->setAutoRefresh(true);
    }
}

void frmMain::RefreshAfterDelete(bool noRequery)
{
    if (ViewMode() == kViewCategories || ViewMode() == kViewHistory) {
        if (!noRequery) {
            treeMain_->Requery();
            lstMain_->Requery();
        }
        // The list follows the selected node the way a selection in the tree makes it, its
        // columns set up again (a requery brings back the ones that are never shown).
        FollowTreeNode();
        if (const auto item = treeMain_->SelectedItem()) {
            if (item->Level == 1 && !item->Expanded()) item->SetExpanded(true);
        }
        if (noRequery && !lstMain_->AutoRefresh()) lstMain_->setAutoRefresh(true);
    } else {
        lstMainFiles_->Requery();
    }
    ShowCounts();
    UpdateActions();
}

void frmMain::EditFiles(qint32 fileID)
{
    frmFile details(this);
    details.imgMain = imgMain_;
    details.FileID = fileID;
    details.exec();
    if (!details.Changed) return;
    // The preview shows a file once; after an edit (a new name) it reads the row again.
    preview_->ClearPreview();
    if (ViewMode() == kViewCategories || ViewMode() == kViewHistory) {
        const auto selected = treeMain_->SelectedItem();
        treeMain_->Requery(true);
        if (selected) treeMain_->SelectItem(selected->Key, 2);
        lstMain_->Requery();
    } else {
        // The edited row stays the selected one.
        lstMainFiles_->Requery();
        lstMainFiles_->Find(Variant(int32_t(0)), Variant(fileID));
    }
    UpdateActions();
}

void frmMain::StartFile(QString profileKey, qint32 fileID)
{
    if (fileID == 0) fileID = SelectedFileID();
    std::shared_ptr<clsFileInfo> noFile;
    const QString message = tv::StartFile(std::abs(fileID), profileKey, noFile);
    if (message.isEmpty()) return;
    if (message.startsWith(QLatin1Char(' ')))
        ShowInfo(Translate(QStringLiteral("Temporäre Datei")) + QLatin1Char('!') + message);
    else
        ShowInfo(message);
    // The new start shows at once: in the history, and in the file's start count and last
    // start, with the started file still selected.
    if (ViewMode() == kViewHistory) {
        treeMain_->Requery();
        lstMain_->Requery();
    } else if (ViewMode() == kViewCategories) {
        lstMain_->Requery();
    } else {
        lstMainFiles_->Requery();
        lstMainFiles_->Find(Variant(int32_t(0)), Variant(std::abs(fileID)));
    }
}

void frmMain::StartEntry(const QString& entryKey)
{
    if (entryKey.isEmpty()) return;
    StartFile(ProfilKeyOfEntry(entryKey));
}

void frmMain::mnuOption_Click()
{
    frmOptions options(this);
    options.Form_Load();
    options.exec();
    if (frmOptions::EmulChanged || frmOptions::ProfilsChanged) RefreshStartList();
}

} // namespace tv
