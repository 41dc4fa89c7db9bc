#pragma once

#include "unpackahead.h"
#include "platform/runtime/variant.h"

#include <QHash>
#include <QObject>
#include <QSet>
#include <QString>
#include <functional>
#include <memory>
#include <optional>

namespace tv {

class Database;
struct FolderEntry;
class QueryDef;
struct DbError;

// The import engine: recognises a file by its extension, rejects files the catalogue holds
// already, inserts one MainFiles row per recognised file, and unpacks archives (nested ones
// included) into folders below the temporary folder, feeding every member back through
// LoadFile. It also turns a stored member chain back into a file (ExtractFileFromArchiv).
// The program keeps one instance, goFileManager, created by the main window at start-up
// and kept until the program ends; the job window, the start of a file and the preview
// borrow it. It works on the open catalogue goDB.
//
// Stored location of a row: tFile the name; tPath the file's full path, or for an archive
// member the outermost archive's path; tUnpackPath empty for a plain file, else the member
// chain below the outermost archive, elements separated by "\" (folders and nested
// archives alike), e.g. "DIR\SUB.ZIP\X.ATR".
class clsFileManager : public QObject {
    Q_OBJECT
public:
    // Flags of LoadFile (bits; others are ignored).
    enum LoadFlag : int {
        lfImportListOnly = 1,  // only extensions found in gtImportFiles (when no ID is given)
        lfRefresh = 4,         // a catalogued file is passed on silently
        lfRescanArchives = 8,  // with lfRefresh: a catalogued archive is unpacked again
    };

    explicit clsFileManager(QObject* parent = nullptr);
    ~clsFileManager() override;

    // IDs are handed out by the engine, counting up from the largest ID the catalogue holds or
    // its start history refers to. Another program may add rows to the same catalogue at any
    // time, so the count is read again inside the write: when a batch begins (which keeps other
    // writers out until it is committed), and when a number turns out to be taken.
    qint32 lMaxFilesID = 0;   // last ID handed out
    qint32 lStartFileID = 0;  // largest ID when the catalogue was opened (view of new files)
    qint32 FileCount = 0;     // catalogue rows as last counted; -1 when the count failed
    // How long an unpacker is waited for; one still running then counts as failed.
    qint32 lUnpackTimeoutMs = 10000;

    // Called whenever a catalogue is opened: the ID counter and the count.
    void InitCount();
    void CountFiles();
    // CountFiles when another program has changed the catalogue since the last count (its own
    // changes are counted where they are made); a question to the engine otherwise.
    void CountFilesIfChangedElsewhere();
    // Start of every add or check job: archive handling on again, the job's counts cleared.
    void InitSearch();

    // What the current job wrote: the rows it added that the catalogue holds (whatever other
    // programs do to the catalogue meanwhile), the files it could not add because the
    // catalogue could not be written, and the first such failure. Once a write failed, the
    // engine adds nothing more until the next job: a full disk or a read-only catalogue does
    // not heal by itself, and every further file would only fail the same way.
    qint32 lAddedFiles = 0;
    qint32 lNotAddedFiles = 0;
    QString tWriteError;
    bool WriteFailed() const { return !tWriteError.isEmpty(); }
    // Archives the current job could not search, by reason (each named in the log): no room for
    // them in the temporary folder, a password they need, an unpacker that failed.
    qint32 lArchivesWithoutRoom = 0;
    qint32 lArchivesWithPassword = 0;
    qint32 lArchivesNotUnpacked = 0;
    qint32 ArchivesNotSearched() const { return lArchivesWithoutRoom + lArchivesWithPassword + lArchivesNotUnpacked; }

    // Asked between the members of an archive, with the member as the log names it (archive,
    // "\" and member chain), as the job window asks between the files of a folder: it serves
    // the window's events and answers false when the job is to stop. Then the engine adds
    // nothing more until the next job, and the archive it was in is taken out again
    // (DropPartArchive). None: the engine goes through every member.
    std::function<bool(const QString& member)> BetweenMembers;
    bool Stopped() const { return mbStopped; }

    // Imports one file. Returns the new row's ID, the negated ID of the row that already
    // holds the file, or 0 when nothing was added. `tUnpackedPath` is the member chain
    // (empty for a plain file); `fUnpackingStarted` says that `tPath` already is the
    // unpacked copy of that member; `lFileID` is the row's ID when the caller knows it.
    qint32 LoadFile(const QString& FileName, const QString& tPath, int iOption,
                    const QString& tUnpackedPath, bool fUnpackingStarted, qint32 lFileID);

    // Starts unpacking, in the background, the archives among `entries` (a folder's listing in
    // the order the import goes through it; inside an archive when `inArchive`, `chain` being
    // the folder's member chain) that the import of the folder will unpack whole without a
    // question. The import takes each when it reaches it; when the returned group ends (the
    // folder is done, or the job stopped), what was not taken is stopped and removed.
    UnpackAhead::Group UnpackAheadOf(const std::vector<FolderEntry>& entries, bool inArchive, const QString& chain,
                                     int flags);
    // Walks the folder tree below `root` ahead of the add-folder job, in the job's order, and
    // starts unpacking in the background the archives UnpackAheadOf would start when the job
    // reaches their folder, so that they unpack while the files before them are added. The
    // returned group ends the walk: what no folder took over is stopped and removed.
    UnpackAhead::Group WalkAhead(const QString& root, int flags);
    // Starts unpacking what waits, as far as the machine allows: called between files, as an
    // unpacker may have finished meanwhile.
    void KeepUnpacking();

    // The unpack folder of an archive, unpacked whole when new; empty when it was not
    // unpacked (refused by the size question, failed, or the unpacker is missing).
    QString CreateTempPathIfFileArchiv(const QString& tFilename, const QString& tUnpackedPath,
                                       const QString& tActPath);
    // The path of the unpacked copy of a stored member, unpacking only what leads to it;
    // empty on failure.
    QString ExtractFileFromArchiv(const QString& tFilename, const QString& tUnpackedPath,
                                  const QString& tArchivPath);
    // Forgets every unpack folder (after the temporary folder was emptied).
    void DeleteTempCol();

    // The rows an import adds are committed in batches: one per outermost archive, or per
    // kBatchRows rows, whichever ends first; a batch also ends before the import waits for an
    // unpacker or for the user, since an open batch keeps every other program's writes out of
    // the catalogue. A crash loses at most the last batch, which the
    // next import of the same folder adds again (the duplicate check makes that safe). The
    // job that imports ends the last batch with CommitBatch. When an insert or a commit
    // fails, the engine may have rolled the whole open batch back: every row of it that is
    // missing then is added again on its own, and one that still cannot be written counts as
    // not added, so the job's counts always match what the catalogue holds.
    static constexpr int kBatchRows = 250;
    void CommitBatch();
    // After a failed write or a stop: removes the rows this job added of the archive it was in
    // the middle of. A catalogue holding part of an archive counts it as present, and the next
    // import would never add the rest; without them it adds the archive whole. The rows removed
    // are no longer counted as added (after a failed write they count as not added); the log
    // says so, or that the archive stays in part when they cannot be removed.
    void DropPartArchive();

Q_SIGNALS:
    // One line for the job window: iTyp is the file type code of a row just added, -1 for
    // a notice or an error, 0 for progress.
    void ShowMessage(const QString& tMsg, int iTyp);

private:
    qint64 countedVersion_ = -1;  // the catalogue's data version at the last count
    struct ArchiveFolder {
        QString folder;
        bool whole = false;  // unpacked whole (an import), not just the members an extraction needed
    };

    qint32 ScanFolder(const QString& folder, QString chain, int flags);  // chain by value: callers pass mtUnpackPath
    bool UnpackArchive(const QString& archivePath, const QString& member, const QString& destFolder,
                       const QString& displayName);
    // Unpacks a member; when it is not found by its stored name, the whole archive into a
    // fresh folder, which then becomes `destFolder`.
    bool UnpackMember(const QString& archivePath, const QString& member, QString& destFolder,
                      const QString& key, QString* found);
    // The archive unpacked whole into a fresh folder below `base`, cached under `key`; empty
    // on failure, and then nothing of it is kept.
    QString UnpackWhole(const QString& archivePath, const QString& base, const QString& key);
    QString ArchiveKey(const QString& chain, const QString& filePath) const;
    // The archive to unpack ahead for an entry of a folder (see UnpackAheadOf), if it is one.
    std::optional<UnpackAhead::Archive> ToUnpackAhead(const FolderEntry& e, bool inArchive, const QString& chain,
                                                      int flags);
    QString NewUnpackFolder(const QString& base, const QString& key, bool whole);
    void ForgetArchive(const QString& key, bool removeFolder);
    const ArchiveFolder* CachedArchive(const QString& key);
    bool InImportList(const QString& extension) const;
    static bool InImportList(const QString& list, bool rarMissing, const QString& extension);
    // For the unpackers ahead: whether an archive inside an archive would go ahead too, as far
    // as that can be told without the catalogue (see UnpackAhead::NestedFilter). It holds copies
    // of the settings it needs, as the unpackers' threads call it.
    UnpackAhead::NestedFilter NestedAhead() const;
    // The size question for the archive at `filePath`, named `shownName` as the log names it;
    // `asked` tells whether the user was asked (and said Yes).
    bool AskSizeLimit(const QString& filePath, const QString& shownName, bool* asked);
    // The unpack folder of an archive met by an import (CreateTempPathIfFileArchiv), and
    // whether it was unpacked only after the user said Yes.
    QString UnpackForImport(const QString& tUnpackedPath, const QString& tActPath, bool* asked);
    // Whether an archive of `packed` bytes, which lists `unpacked` bytes of members, is unpacked
    // without asking the user.
    static bool UnpackWithoutAsking(qint64 packed, std::optional<qint64> unpacked);
    static bool UnpackWithoutAsking(qint64 packed, std::optional<qint64> unpacked, int32_t limitMb);
    // The archive's unpacked size from its listing, listed once per archive file as it is now.
    std::optional<qint64> UnpackedSize(const QString& archivePath);
    // Whether the archive, unpacked, fits into the free space of the temporary folder; when it
    // does not, says so in the log.
    bool RoomInTemp(const QString& archivePath, const QString& displayName);

    // One row of the open batch, kept until the batch is committed so that it can be
    // written again after a roll-back.
    struct BatchRow {
        Variant values[7];    // the insert's parameters, in its order
        QString shownPath;    // the file as the user knows it (archive, "\" and member chain)
    };
    // Writes the row; when its number is taken, with the next free one.
    DbError InsertRow(BatchRow& row);
    // Begins a batch: a transaction that keeps other writers out, and the count read in it.
    DbError BeginBatch();
    // The largest ID the catalogue holds or its start history refers to (0 when unread).
    qint32 LargestKnownID();
    // After a failed write: settles the open batch and counts `failed` (when given) as not added.
    void WriteFailure(const DbError& error, const BatchRow* failed);
    // Writes again, each on its own, the rows of the open batch that the catalogue lost (the
    // engine rolled the batch back); one that cannot be written counts as not added. Returns
    // the first failure.
    DbError WriteBatchAgain();
    // Whether the catalogue holds the row (its ID, path and name); false also when that cannot
    // be read.
    bool HoldsRow(const BatchRow& row);

    qint32 AddAtrFile(const QString& fileName, const QString& filePath, qint32& id);
    bool AddRecord(const QString& fileName, qint64 size, const QString& filePath, int fileType,
                   qint32& id);
    // The ID of the row holding the file, or 0; `error` is set when the query failed.
    qint32 FindCatalogued(const QString& storedPath, const QString& chain, bool withChain, QString* error);
    enum ImportStatement { isFindFile, isFindMember, isAddFile, isFindRow, isCount };
    // The statement of the open catalogue, made on first use; null with `error` set.
    QueryDef* ImportQuery(ImportStatement which, DbError* error);

    QString mtArchivePath;  // outermost archive being imported, "" for a plain file
    QString mtPartArchive;  // outermost archive being imported when a write failed or the job stopped
    bool mbStopped = false;  // BetweenMembers said stop
    qint32 lJobFirstID = 0;   // the first ID the current job gives
    QString mtUnpackPath;   // member chain being handled, "" for a plain file
    QString mtWalkedTo;     // the last file or folder the import's folder walk reached
    bool mbArchivesOn = true;
    bool mbRarMissing = false;  // for the rest of the run; the stored import list is untouched
    // Archive key (outermost archive path, or that path, "\" and the member chain of a nested
    // archive; compared as spelled, as Linux file names are) -> its unpack folder.
    QHash<QString, ArchiveFolder> mcolArchivePaths;
    // Every unpack folder handed out since DeleteTempCol, forgotten ones included: the scan
    // never takes one for a folder of the archive.
    QSet<QString> mUnpackFolders;
    qint32 miArchiveCount = 0;
    // Archive file (path, size and time of change) -> its listed unpacked size, empty when it
    // could not be listed.
    QHash<QString, std::optional<qint64>> mUnpackedSizes;
    UnpackAhead mAhead;
    std::vector<BatchRow> mBatch;  // rows added in the open batch
    std::weak_ptr<Database> mQueriesDb;  // the catalogue mQueries belong to
    std::shared_ptr<QueryDef> mQueries[isCount];
};

// The one import engine of the program.
extern std::unique_ptr<clsFileManager> goFileManager;

} // namespace tv
