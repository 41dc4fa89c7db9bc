// The check job of the job window: missing files, re-linking them, deleting their rows.
#include "frmprocess.h"

#include "clsfilemanager.h"
#include "frmnewpath.h"
#include "modcategory.h"
#include "sqltext.h"
#include "catalogue/core/moddatabase.h"
#include "catalogue/core/modfiles.h"
#include "catalogue/core/modlang.h"
#include "controls/grid/listview.h"
#include "platform/gui/msgbox.h"
#include "platform/system/files.h"

#include <QProgressBar>
#include <QPushButton>

namespace tv {

namespace {

const QString kName = QStringLiteral("Name");
const QString kFiletyp = QStringLiteral("Filetyp");
const QString kKey = QStringLiteral("Key");
const QString kFile = QStringLiteral("File");
const QString kPath = QStringLiteral("Path");
const QString kOrgType = QStringLiteral("OrgType");

} // namespace

QString frmProcess::CheckFiles()
{
    mlNotFound = 0;
    const auto rs = goDB ? goDB->OpenRecordset(QStringLiteral("Select * from MainFiles order by tPath"), dbOpenSnapshot)
                         : nullptr;
    if (!rs) {
        MsgBox(QStringLiteral("CheckFiles-Error: ") +
                   FailureText(QStringLiteral("Fehler beim Lesen der Datenbank: "),
                               goDB ? goDB->LastError().description : MakeDbError(dbErrObjectClosed).description),
               vbCritical, QString(), this);
        return QString();
    }
    progBar->setMaximum(std::max(1, rs->RecordCount()));
    qint32 counter = 0;
    for (; !rs->IsEOF(); rs->MoveNext()) {
        ++counter;
        if (counter % 5 == 0) {
            progBar->setValue(counter);
            ShowStatus(Translate(QStringLiteral("Dateien")) + QStringLiteral(": ") + QString::number(counter) +
                       QLatin1Char('/') + QString::number(rs->RecordCount()));
            ServeEvents();
        }
        if (mbCancel) break;
        // For an archived file only its archive is looked for.
        const QString path = rs->Value(QStringLiteral("tPath")).text();
        if (FileExists(path)) continue;
        ++mlNotFound;
        // Folders are kept as spelled: on Linux two folders may differ in case alone.
        const QString folder = GetFolderPart(path);
        if (!mcolMissingFolders.contains(folder)) mcolMissingFolders.append(folder);
        const QString chain = rs->Value(QStringLiteral("tUnpackPath")).text();
        AddResultRow(chain.isEmpty() ? path : path + QLatin1Char('\\') + chain, kIconMissing);
        const int32_t row = lstResult->RowCount() - 1;
        lstResult->setData(Variant(kKey), row, rs->Value(QStringLiteral("ID")));
        lstResult->setData(Variant(kFile), row, Variant(GetFileNamePart(path)));
        lstResult->setData(Variant(kPath), row, Variant(path));
        lstResult->setData(Variant(kOrgType), row, rs->Value(QStringLiteral("iFileType")));
    }
    rs->Close();
    if (!mbCancel) progBar->setValue(progBar->maximum());   // the last rows were not shown one by one
    StatusMsg = Translate(QStringLiteral("Nicht gefundene Dateien: ")) + QString::number(mlNotFound);
    if (mlNotFound != 0) {
        cmdNewPath->show();
        cmdDelete->show();
        mbCancel = false;
    }
    lstResult->Refresh();
    return Translate(QStringLiteral("Datenbank wurde überprüft:")) + QLatin1Char('\n') + StatusMsg;
}

void frmProcess::cmdNewPath_Click()
{
    QString newFolder, oldFolder;
    {
        frmNewPath dialog(this);
        dialog.ActFolders = ActFolders;
        dialog.OldFolders = mcolMissingFolders;
        dialog.exec();
        if (dialog.Action == frmNewPath::kActionOK) {
            newFolder = dialog.NewPath;
            oldFolder = dialog.OldPath;
        }
    }
    Relink(newFolder, oldFolder);
}

void frmProcess::BeginRowCommand()
{
    mbRunning = true;
    cmdCancel->setText(Translate(QStringLiteral("Abbrechen")));
    cmdCancel->setDefault(false);   // Return must not stop the command it started
    mbOkButton = false;
    cmdNewPath->setEnabled(false);
    cmdDelete->setEnabled(false);
    progBar->setMaximum(std::max(1, lstResult->RowCount()));
}

void frmProcess::EndRowCommand(const QString& countLabel, qint32 count)
{
    mbRunning = false;
    if (!mbCancel) progBar->setValue(progBar->maximum());
    mbCancel = false;
    // Once rows were found again or deleted, the list no longer holds missing files alone:
    // its heading names files.
    if (count > 0) {
        const Variant missing(Translate(QStringLiteral("Nicht gefundene Dateien")) + QLatin1Char(':'));
        for (int32_t r = 0; r < lstResult->RowCount(); ++r)
            if (lstResult->Data(Variant(kName), r) == missing)
                lstResult->setData(Variant(kName), r, Variant(Translate(QStringLiteral("Dateien")) + QLatin1Char(':')));
    }
    lstResult->Refresh();
    mlNotFound -= count;
    cmdDelete->setEnabled(mlNotFound > 0);
    cmdNewPath->setEnabled(mlNotFound > 0);
    SetDone();
    ShowStatus(Translate(QStringLiteral("Nicht gefundene Dateien: ")) + QString::number(mlNotFound) +
               QLatin1Char('\n') + Translate(countLabel) + QString::number(count));
    // Closed while the command ran: the engine is let go now.
    if (!mbLoaded) ReleaseFileManager();
}

void frmProcess::Relink(const QString& newFolder, const QString& oldFolder)
{
    qint32 found = 0;
    BeginRowCommand();
    if (!newFolder.isEmpty() && (IsFolder(newFolder) || IsFile(newFolder))) {
        const QString folder = AddBackslash(newFolder);
        found = oldFolder.isEmpty() ? SearchMissingFiles(folder) : RelinkFoundFile(folder, oldFolder);
    }
    EndRowCommand(QStringLiteral("Wiedergefundene Dateien: "), found);
}

qint32 frmProcess::RelinkFoundFile(const QString& newFolder, const QString& oldFolder)
{
    // The new folder takes the old one's place as the old one is spelled: with or without the
    // closing "/", so that no stored path gets a doubled "/" (which the duplicate check would
    // take for another file).
    const QString replacement =
        !oldFolder.endsWith(QLatin1Char('/')) && newFolder.endsWith(QLatin1Char('/')) ? newFolder.chopped(1) : newFolder;
    QString lastPath;
    qint32 count = 0;
    for (int32_t r = 0; r < lstResult->RowCount() && !mbCancel; ++r) {
        if (lstResult->Data(Variant(kFiletyp), r).toLong() == kIconMissing) {
            const QString path = lstResult->Data(Variant(kPath), r).text();
            QString candidate;
            bool found = false;
            if (oldFolder.isEmpty()) {
                candidate = newFolder + lstResult->Data(Variant(kFile), r).text();
                found = FileExists(candidate);
            } else if (path.contains(oldFolder, Qt::CaseSensitive)) {
                candidate = QString(path).replace(oldFolder, replacement, Qt::CaseSensitive);
                // Another member of the archive just re-linked needs no second test.
                found = path == lastPath || FileExists(candidate);
            } else {
                lastPath.clear();
            }
            if (found) {
                const DbError err = goDB ? goDB->Execute(QStringLiteral("Update MainFiles Set tPath='") +
                                                         SqlQuoted(candidate) + QStringLiteral("' where ID=") +
                                                         lstResult->Data(Variant(kKey), r).text())
                                         : MakeDbError(dbErrObjectClosed);
                if (err) {
                    MsgBox(QStringLiteral("Relink-Error: ") + FailureText(QStringLiteral("Fehler beim Schreiben in die Datenbank: "), err.description), vbCritical, QString(), this);
                    break;
                }
                ++count;
                mbChanged = true;
                lastPath = path;
                lstResult->setData(Variant(kFiletyp), r, lstResult->Data(Variant(kOrgType), r));
                lstResult->setData(Variant(kName), r,
                                   Variant(Translate(QStringLiteral("Datei gefunden: ")) +
                                           lstResult->Data(Variant(kName), r).text().replace(path, candidate)));
            }
        }
        if (r % 5 == 0) {
            lstResult->Refresh();
            progBar->setValue(r);
            ServeEvents();
        }
    }
    return count;
}

qint32 frmProcess::SearchMissingFiles(const QString& folderPath)
{
    const QString folder = AddBackslash(folderPath);
    ShowStatus(folder);
    ServeEvents();
    qint32 found = RelinkFoundFile(folder, QString());
    if (found >= mlNotFound) return found;
    std::vector<FolderEntry> entries;
    ListFolder(folder, entries);
    for (const FolderEntry& entry : entries) {
        if (entry.isFolder && !entry.name.startsWith(QLatin1Char('.'))) found += SearchMissingFiles(folder + entry.name);
        if (mbCancel) break;
    }
    return found;
}

void frmProcess::DeleteMissing()
{
    BeginRowCommand();
    qint32 deleted = 0;
    for (int32_t r = 0; r < lstResult->RowCount() && !mbCancel; ++r) {
        if (lstResult->Data(Variant(kFiletyp), r).toLong() == kIconMissing) {
            if (const DbError err = DeleteMainFile(lstResult->Data(Variant(kKey), r).toLong())) {
                MsgBox(QStringLiteral("Del-Error: ") + FailureText(QStringLiteral("Fehler beim Löschen aus der Datenbank: "), err.description), vbCritical, QString(), this);
                break;
            }
            ++deleted;
            mbChanged = true;
            lstResult->setData(Variant(kFiletyp), r, Variant(int32_t(kIconDeleted)));
        }
        if (r % 5 == 0) {
            lstResult->Refresh();
            progBar->setValue(r);
            ServeEvents();
        }
    }
    if (deleted > 0 && mFileManager) mFileManager->CountFiles();
    EndRowCommand(QStringLiteral("Gelöschte Dateien: "), deleted);
}

} // namespace tv
