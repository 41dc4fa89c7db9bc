#include "clsfilemanager.h"

#include "catalogue/core/moddatabase.h"
#include "catalogue/core/modglobals.h"
#include "catalogue/core/modlang.h"
#include "filetype.h"
#include "platform/gui/msgbox.h"

#include <QDateTime>
#include <QFileInfo>

#include <algorithm>
#include <limits>

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
        QString error;
        id = FindCatalogued(inArchive ? mtArchivePath : filePath, mtUnpackPath, inArchive, &error);
        if (!error.isEmpty()) {
            Q_EMIT ShowMessage(QStringLiteral("AddFile-Error: ") + FailureText(QStringLiteral("Fehler beim Lesen der Datenbank: "), error) + QStringLiteral(": ") + filePath,
                               -1);
            return 0;
        }
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
        // An outermost archive ends its batch.
        if (!fUnpackingStarted) CommitBatch();
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

// ---- catalogue access ----

void clsFileManager::InitCount()
{
    // IDs count up from the largest one still known: a deleted file's start history stays,
    // and a new file must never inherit it.
    QString noWhere;
    const qint32 maxFile = Variant(LookupField(QStringLiteral("Max(ID)"), QStringLiteral("MainFiles"), noWhere)).toLong();
    const qint32 maxStarted =
        Variant(LookupField(QStringLiteral("Max(MainFiles_ID)"), QStringLiteral("History"), noWhere)).toLong();
    lMaxFilesID = std::max(maxFile, maxStarted);
    lStartFileID = lMaxFilesID;
    CountFiles();
}

void clsFileManager::CountFiles()
{
    QString noWhere;
    FileCount = Variant(LookupField(QStringLiteral("Count (ID)"), QStringLiteral("MainFiles"), noWhere)).toLong();
}

namespace {

// The statements every imported file runs; their texts never change, so the connection
// translates and prepares them once, and names and paths are bound as texts.
const QString kFindFileSql = QStringLiteral("PARAMETERS pPath Text; Select Top 1 ID From MainFiles where tPath=pPath");
const QString kFindMemberSql = QStringLiteral(
    "PARAMETERS pPath Text, pChain Text; Select Top 1 ID From MainFiles where tPath=pPath and tUnpackPath=pChain");
const QString kAddFileSql = QStringLiteral(
    "PARAMETERS pID Long, pFile Text, pPath Text, pType Short, pSize Double, pCreated DateTime, pChain Text; "
    "INSERT INTO MainFiles (ID, tFile, tPath, iFileType, lSize, tsCreated, tUnpackPath) "
    "VALUES (pID, pFile, pPath, pType, pSize, pCreated, pChain)");

} // namespace

QueryDef* clsFileManager::ImportQuery(ImportStatement which, DbError* error)
{
    // Made again for another catalogue: a statement of a closed one reports it closed.
    if (mQueriesDb.lock() != goDB) {
        for (auto& q : mQueries) q.reset();
        mQueriesDb = goDB;
    }
    std::shared_ptr<QueryDef>& q = mQueries[which];
    if (!q || !q->IsOpen()) {
        static const QString* const kTexts[] = {&kFindFileSql, &kFindMemberSql, &kAddFileSql};
        q = goDB ? goDB->CreateQueryDef(QString(), *kTexts[which]) : nullptr;
        if (!q) {
            *error = goDB ? goDB->LastError() : MakeDbError(dbErrObjectClosed);
            return nullptr;
        }
    }
    return q.get();
}

qint32 clsFileManager::FindCatalogued(const QString& storedPath, const QString& chain, bool withChain,
                                      QString* error)
{
    DbError failure;
    QueryDef* query = ImportQuery(withChain ? isFindMember : isFindFile, &failure);
    std::shared_ptr<Recordset> rs;
    if (query) {
        query->Parameters(0).Value = Variant(storedPath);
        if (withChain) query->Parameters(1).Value = Variant(chain);
        rs = query->OpenRecordset(dbOpenSnapshot);
        if (!rs) failure = query->LastError();
    }
    if (!rs) {
        *error = goDB ? failure.description : QStringLiteral("no catalogue");
        return 0;
    }
    const qint32 id = rs->IsEOF() ? 0 : rs->Value(QStringLiteral("ID")).toLong();
    rs->Close();
    return id;
}

bool clsFileManager::AddRecord(const QString& fileName, qint64 size, const QString& filePath, int fileType,
                               qint32& id)
{
    if (id != 0) return false;
    const QString storedPath = mtArchivePath.isEmpty() ? filePath : mtArchivePath;
    if (goDB && !goDB->InTransaction()) {
        if (DbError e = goDB->BeginTrans())
            Q_EMIT ShowMessage(QStringLiteral("AddFile-Error: ") + FailureText(QStringLiteral("Fehler beim Schreiben in die Datenbank: "), e.description), -1);
    }
    DbError err;
    if (QueryDef* insert = ImportQuery(isAddFile, &err)) {
        id = ++lMaxFilesID;
        // A size beyond the Long range is kept as a number rather than cut.
        const Variant sizeValue = size <= std::numeric_limits<qint32>::max() ? Variant(qint32(size))
                                                                              : Variant(double(size));
        const bool member = !mtUnpackPath.isEmpty() && !mtArchivePath.isEmpty();
        const Variant values[] = {
            Variant(id),
            Variant(fileName),
            Variant(storedPath),
            Variant(qint16(fileType)),
            sizeValue,
            Variant::fromDateTime(QDateTime::currentDateTime()),
            member ? Variant(mtUnpackPath) : Variant::null(),
        };
        for (int i = 0; i < int(std::size(values)); ++i) insert->Parameters(i).Value = values[i];
        err = insert->Execute();
    }
    if (err) {
        MsgBox(QStringLiteral("AddFile-Error: ") + FailureText(QStringLiteral("Fehler beim Schreiben in die Datenbank: "), err.description) + QStringLiteral(": ") + filePath,
               vbOKOnly);
        return false;
    }
    if (++miBatchRows >= kBatchRows) CommitBatch();
    Q_EMIT ShowMessage(fileName, fileType);
    return true;
}

void clsFileManager::CommitBatch()
{
    miBatchRows = 0;
    if (!goDB || !goDB->InTransaction()) return;
    if (DbError e = goDB->CommitTrans())
        Q_EMIT ShowMessage(QStringLiteral("AddFile-Error: ") + FailureText(QStringLiteral("Fehler beim Schreiben in die Datenbank: "), e.description), -1);
}

} // namespace tv
