#include "clsfilemanager.h"

#include "catalogue/core/modglobals.h"
#include "catalogue/core/modlang.h"
#include "filetype.h"
#include "platform/gui/msgbox.h"

#include <QFileInfo>

namespace tv {

std::unique_ptr<clsFileManager> goFileManager;

clsFileManager::clsFileManager(QObject* parent) : QObject(parent) {}
clsFileManager::~clsFileManager() = default;

void clsFileManager::InitSearch() { mbArchivesOn = true; }

bool clsFileManager::InImportList(const QString& extension) const
{
    if (mbRarMissing && extension == QLatin1String("RAR")) return false;
    // A plain substring test, as the list has always been read.
    return gtImportFiles.contains(extension, Qt::CaseSensitive);
}

qint32 clsFileManager::LoadFile(const QString& FileName, const QString& tPath, int iOption,
                                const QString& tUnpackedPath, bool fUnpackingStarted,
                                qint32 lFileID)
{
    QString filePath = tPath;
    if (tUnpackedPath.isEmpty()) {
        mtArchivePath.clear();
        mtUnpackPath.clear();
    } else if (!fUnpackingStarted) {
        mtArchivePath = filePath;
        mtUnpackPath = tUnpackedPath;
        filePath = ExtractFileFromArchiv(FileName, tUnpackedPath, filePath);
        if (filePath.isEmpty()) return 0;
    }
    const QString ext = FileExtension(FileName);

    qint32 id = lFileID;
    if (id == 0) {
        if ((iOption & lfImportListOnly) && !InImportList(ext)) return 0;
        const bool inArchive = !mtArchivePath.isEmpty();
        id = FindCatalogued(inArchive ? mtArchivePath : filePath, mtUnpackPath, inArchive);
    }
    const qint32 knownId = id;
    if (knownId != 0) {
        if (!(iOption & lfRefresh)) {
            Q_EMIT ShowMessage(Translate(QStringLiteral("Datei ist schon vorhanden:")) +
                                   QLatin1Char(' ') + FileName, -1);
            return -knownId;
        }
        if (IsArchiveExtension(ext)) {
            if (!(iOption & lfRescanArchives)) return -knownId;
            ForgetArchive(ArchiveKey(tUnpackedPath, filePath), true);
        }
    }

    qint32 result = 0;
    const int code = FileTypeOfExtension(ext);
    if (code == ftATR) {
        result = AddAtrFile(FileName, filePath, id);
    } else if (code != ftNone) {
        result = AddRecord(FileName, QFileInfo(filePath).size(), filePath, code, id) ? id : 0;
    } else if (IsArchiveExtension(ext) && mbArchivesOn) {
        QString folder;
        if (fUnpackingStarted) {
            folder = CreateTempPathIfFileArchiv(FileName, tUnpackedPath, filePath);
        } else {
            folder = CreateTempPathIfFileArchiv(FileName, QString(), filePath);
            if (!folder.isEmpty()) mtArchivePath = filePath;
        }
        if (!folder.isEmpty()) result = ScanFolder(folder, mtUnpackPath, iOption | lfImportListOnly);
    }
    if ((iOption & lfRefresh) && knownId != 0 && result == 0) return -knownId;
    return result;
}

qint32 clsFileManager::AddAtrFile(const QString& fileName, const QString& filePath, qint32& id)
{
    QString error;
    switch (CheckAtrHeader(filePath, &error)) {
    case AtrHeader::Valid:
        return AddRecord(fileName, QFileInfo(filePath).size(), filePath, ftATR, id) ? id : 0;
    case AtrHeader::Invalid: {
        const QString where = mtArchivePath.isEmpty()
                                  ? filePath
                                  : mtArchivePath + QLatin1Char('\\') + mtUnpackPath;
        Q_EMIT ShowMessage(Translate(QStringLiteral("Fehlerhaftes Atari-File: ")) + where, -1);
        return 0;
    }
    case AtrHeader::Unreadable:
        Q_EMIT ShowMessage(Translate(QStringLiteral("Fehler in der Datei: '@1'"), fileName) + error, -1);
        return 0;
    }
    return 0;
}

// ---- catalogue access (interim until the database layer lands) ----

void clsFileManager::InitCount()
{
    lStartFileID = lMaxFilesID;
    CountFiles();
}

void clsFileManager::CountFiles() {}

qint32 clsFileManager::FindCatalogued(const QString&, const QString&, bool) { return 0; }

bool clsFileManager::AddRecord(const QString& fileName, qint64, const QString&, int fileType,
                               qint32& id)
{
    if (id != 0) return false;
    id = ++lMaxFilesID;
    Q_EMIT ShowMessage(fileName, fileType);
    return true;
}

} // namespace tv
