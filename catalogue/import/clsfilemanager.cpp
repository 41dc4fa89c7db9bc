#include "clsfilemanager.h"

#include "catalogue/core/moddatabase.h"
#include "catalogue/core/modglobals.h"
#include "catalogue/core/modlang.h"
#include "filetype.h"
#include "platform/gui/msgbox.h"
#include "sqltext.h"

#include <QDateTime>
#include <QFileInfo>

#include <algorithm>
#include <limits>
#include <utility>

namespace tv {

std::unique_ptr<clsFileManager> goFileManager;

clsFileManager::clsFileManager(QObject* parent) : QObject(parent) {}
clsFileManager::~clsFileManager() = default;

void clsFileManager::InitSearch()
{
    mbArchivesOn = true;
    lAddedFiles = 0;
    lNotAddedFiles = 0;
    tWriteError.clear();
    lArchivesWithoutRoom = 0;
    lArchivesWithPassword = 0;
    lArchivesNotUnpacked = 0;
    mtPartArchive.clear();
    mbStopped = false;
    lJobFirstID = lMaxFilesID + 1;
}

bool clsFileManager::InImportList(const QString& extension) const
{
    return InImportList(gtImportFiles, mbRarMissing, extension);
}

bool clsFileManager::InImportList(const QString& list, bool rarMissing, const QString& extension)
{
    if (rarMissing && extension == QLatin1String("RAR")) return false;
    // A plain substring test, as the list has always been read.
    return list.contains(extension, Qt::CaseSensitive);
}

qint32 clsFileManager::LoadFile(const QString& FileName, const QString& tPath, int iOption,
                                const QString& tUnpackedPath, bool fUnpackingStarted,
                                qint32 lFileID)
{
    // After a failed write, or when told to stop, nothing more is unpacked or added.
    if (WriteFailed() || mbStopped) return 0;
    QString filePath = tPath;
    if (tUnpackedPath.isEmpty()) {
        mtArchivePath.clear();
        mtUnpackPath.clear();
        mtWalkedTo = filePath;
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
        const QString chain = fUnpackingStarted ? tUnpackedPath : QString();
        bool asked = false;
        const QString folder = UnpackForImport(chain, filePath, &asked);
        if (!folder.isEmpty() && !fUnpackingStarted) mtArchivePath = filePath;
        if (!folder.isEmpty()) result = ScanFolder(folder, mtUnpackPath, iOption | lfImportListOnly);
        // A large archive the user let unpack, of which nothing was catalogued, would only
        // fill the temporary folder until the next start.
        if (!folder.isEmpty() && asked && result <= 0) ForgetArchive(ArchiveKey(chain, filePath), true);
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
    lMaxFilesID = LargestKnownID();
    lStartFileID = lMaxFilesID;
    CountFiles();
}

qint32 clsFileManager::LargestKnownID()
{
    // IDs count up from the largest one still known: a deleted file's start history stays,
    // and a new file must never inherit it.
    QString noWhere;
    const qint32 maxFile = Variant(LookupField(QStringLiteral("Max(ID)"), QStringLiteral("MainFiles"), noWhere)).toLong();
    const qint32 maxStarted =
        Variant(LookupField(QStringLiteral("Max(MainFiles_ID)"), QStringLiteral("History"), noWhere)).toLong();
    return std::max(maxFile, maxStarted);
}

void clsFileManager::CountFiles()
{
    QString noWhere;
    // A count always has a value: none means it failed (a damaged catalogue), never 0 files.
    countedVersion_ = goDB ? goDB->DataVersion() : -1;
    const QString count = LookupField(QStringLiteral("Count (ID)"), QStringLiteral("MainFiles"), noWhere);
    FileCount = count.isEmpty() ? -1 : Variant(count).toLong();
}

void clsFileManager::CountFilesIfChangedElsewhere()
{
    const qint64 version = goDB ? goDB->DataVersion() : -1;
    if (version < 0 || version != countedVersion_) CountFiles();
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
const QString kFindRowSql = QStringLiteral(
    "PARAMETERS pID Long, pPath Text, pFile Text; Select ID From MainFiles where ID=pID and tPath=pPath and tFile=pFile");

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
        static const QString* const kTexts[] = {&kFindFileSql, &kFindMemberSql, &kAddFileSql, &kFindRowSql};
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
    const bool member = !mtUnpackPath.isEmpty() && !mtArchivePath.isEmpty();
    // A size beyond the Long range is kept as a number rather than cut.
    const Variant sizeValue = size <= std::numeric_limits<qint32>::max() ? Variant(qint32(size))
                                                                          : Variant(double(size));
    BatchRow row{{Variant(), Variant(fileName), Variant(storedPath), Variant(qint16(fileType)), sizeValue,
                  Variant::fromDateTime(QDateTime::currentDateTime()),
                  member ? Variant(mtUnpackPath) : Variant::null()},
                 member ? mtArchivePath + QLatin1Char('\\') + mtUnpackPath : filePath};
    DbError err;
    // Rows of the open batch are lost when the batch ended without its commit (the engine rolls
    // it back when another write on the connection fails): they are written again first.
    if (!mBatch.empty() && goDB && !goDB->InTransaction()) err = WriteBatchAgain();
    if (!err) err = BeginBatch();
    row.values[0] = Variant(++lMaxFilesID);
    if (!err) err = InsertRow(row);
    if (err) {
        WriteFailure(err, &row);
        return false;
    }
    id = row.values[0].toLong();
    mBatch.push_back(std::move(row));
    ++lAddedFiles;
    Q_EMIT ShowMessage(fileName, fileType);
    if (int(mBatch.size()) >= kBatchRows) CommitBatch();
    return true;
}

DbError clsFileManager::BeginBatch()
{
    if (!goDB) return MakeDbError(dbErrObjectClosed);
    if (goDB->InTransaction()) return {};
    // Taking the write lock first makes the count read next the catalogue's own until the
    // commit: no other program can add a row with the same number in between.
    if (DbError err = goDB->Execute(QStringLiteral("BEGIN IMMEDIATE"))) return err;
    lMaxFilesID = std::max(lMaxFilesID, LargestKnownID());
    return {};
}

namespace {

// The engine's extended result codes for a row whose key is taken (a primary key, or
// another unique index).
constexpr int kPrimaryKeyTaken = 1555;
constexpr int kUniqueKeyTaken = 2067;

} // namespace

bool IsKeyTaken(const DbError& error)
{
    return error.number == kPrimaryKeyTaken || error.number == kUniqueKeyTaken;
}

DbError clsFileManager::InsertRow(BatchRow& row)
{
    DbError err;
    QueryDef* insert = ImportQuery(isAddFile, &err);
    if (!insert) return err;
    // Outside a batch (a row written again on its own) another program can still take the
    // number between the count and the write: a few tries, each with the count read anew.
    for (int attempt = 0; attempt < 8; ++attempt) {
        for (int i = 0; i < int(std::size(row.values)); ++i) insert->Parameters(i).Value = row.values[i];
        err = insert->Execute();
        if (!IsKeyTaken(err)) return err;
        lMaxFilesID = std::max(lMaxFilesID, LargestKnownID());
        row.values[0] = Variant(++lMaxFilesID);
    }
    return err;
}

bool clsFileManager::HoldsRow(const BatchRow& row)
{
    DbError err;
    QueryDef* query = ImportQuery(isFindRow, &err);
    if (!query) return false;
    // By its number alone another program's row could pass for it.
    query->Parameters(0).Value = row.values[0];
    query->Parameters(1).Value = row.values[2];
    query->Parameters(2).Value = row.values[1];
    const auto rs = query->OpenRecordset(dbOpenSnapshot);
    if (!rs) return false;
    const bool held = !rs->IsEOF();
    rs->Close();
    return held;
}

void clsFileManager::WriteFailure(const DbError& error, const BatchRow* failed)
{
    if (tWriteError.isEmpty()) tWriteError = error.description;
    if (mtPartArchive.isEmpty()) mtPartArchive = mtArchivePath;
    Q_EMIT ShowMessage(QStringLiteral("AddFile-Error: ") +
                           FailureText(QStringLiteral("Fehler beim Schreiben in die Datenbank: "), error.description) +
                           (failed ? QStringLiteral(": ") + failed->shownPath : QString()),
                       -1);
    if (failed) ++lNotAddedFiles;
    // The engine may have rolled back the open batch, or only the failed statement: keep what
    // it still holds if that can be committed, else drop it, so that the catalogue is in a
    // known state. Then every row of the batch that is missing is written again on its own.
    if (goDB && goDB->InTransaction() && goDB->CommitTrans()) goDB->Rollback();
    WriteBatchAgain();
}

DbError clsFileManager::WriteBatchAgain()
{
    DbError first;
    std::vector<BatchRow> batch;
    batch.swap(mBatch);
    for (BatchRow& row : batch) {
        if (HoldsRow(row)) continue;
        const DbError err = InsertRow(row);
        if (!err && HoldsRow(row)) continue;
        if (!first) first = err ? err : MakeDbError(dbErrEngine, QStringLiteral("row not written"));
        --lAddedFiles;
        ++lNotAddedFiles;
        Q_EMIT ShowMessage(Translate(QStringLiteral("Nicht in die Datenbank aufgenommen: ")) + row.shownPath, -1);
    }
    return first;
}

void clsFileManager::DropPartArchive()
{
    const QString archive = std::exchange(mtPartArchive, QString());
    if (archive.isEmpty() || !goDB) return;
    // Only this job's rows: members catalogued by an earlier import stay.
    auto drop = goDB->CreateQueryDef(
        QString(), QStringLiteral("PARAMETERS pPath Text, pFirst Long; Delete From MainFiles where tPath=pPath and ID>=pFirst"));
    DbError error = drop ? DbError{} : goDB->LastError();
    if (!error) {
        drop->Parameters(0).Value = Variant(archive);
        drop->Parameters(1).Value = Variant(lJobFirstID);
        error = drop->Execute();
    }
    if (error) {
        Q_EMIT ShowMessage(Translate(QStringLiteral("Archiv nur zum Teil aufgenommen: ")) + archive + QStringLiteral(" (") +
                               error.description + QLatin1Char(')'),
                           -1);
        return;
    }
    const qint32 rows = drop->RecordsAffected();
    if (rows == 0) return;
    lAddedFiles -= rows;
    if (WriteFailed()) lNotAddedFiles += rows;
    Q_EMIT ShowMessage(Translate(QStringLiteral("Archiv nicht vollständig aufgenommen, seine Dateien wurden wieder entfernt: ")) +
                           archive,
                       -1);
}

void clsFileManager::CommitBatch()
{
    if (!goDB || !goDB->InTransaction()) {
        mBatch.clear();
        return;
    }
    if (DbError e = goDB->CommitTrans())
        WriteFailure(e, nullptr);
    else
        mBatch.clear();
}

} // namespace tv
