#pragma once

#include "dberror.h"
#include "querydef.h"
#include "recordset.h"
#include "platform/runtime/variant.h"

#include <QByteArray>
#include <QString>
#include <functional>
#include <memory>

namespace tv {

class DbConnection;

// An open catalogue file on the SQLCipher engine. Shared (std::shared_ptr) by everything that
// queries the catalogue; Close() closes its query definitions and recordsets with it, and
// anything still held afterwards reports error 3420. Failures come back as DbError values
// and stay readable in LastError().
class Database : public Object {
public:
    ~Database() override;

    // Creates a new file encrypted with `key` (empty: a plain SQLite file). An existing
    // file gives 3204 and is left alone.
    static std::shared_ptr<Database> Create(const QString& path, const QByteArray& key, DbError* error);
    // Opens an existing file with `key`; 3031 when the key does not fit (or the file is no
    // database), 3024 when there is no file. Nothing is written to the file until
    // StartWriting(), so a file the caller then refuses stays exactly as it was. A file that
    // this user cannot write, or whose folder he cannot write, opens for reading (IsReadOnly).
    // With `readInBackground` its large reads may run on a second connection (see
    // backgroundreads.h), which starts opening at once; only the catalogue being browsed asks
    // for it, never a file being copied or compacted.
    static std::shared_ptr<Database> Open(const QString& path, const QByteArray& key, DbError* error,
                                          bool readInBackground = false);
    // Lets (or no longer lets) the reads of an open file run in the background.
    void SetReadInBackground(bool on);
    // Whether this user may write `path` and its folder, as writing (and compacting) needs.
    static bool MayWrite(const QString& path);
    // Opens every existing file for reading only, as if neither it nor its folder could be
    // written. For tests: they run as root in CI, and root may write any file.
    static void SetOpenReadOnly(bool on);
    // Copies the closed file `source` into the new file `target`, both with `key`, leaving
    // out free pages. The source is first returned to a single-file journal. From a damaged
    // source every row that can still be read is copied, table by table, and the indexes are
    // built anew; `lost` (when given) counts the rows that could not be read.
    static DbError Compact(const QString& source, const QString& target, const QByteArray& key, qint64* lost = nullptr);

    const QString& Name() const { return path_; }
    bool IsOpen() const;
    // True when the file was opened for reading only: every write fails.
    bool IsReadOnly() const;
    // Switches an opened file to the journal it is written with; writes before it work too,
    // in the file's own journal mode. Nothing to do on a file opened for reading.
    DbError StartWriting();
    // The engine's quick check of every page: no error when it passes, else its first finding.
    DbError QuickCheck();
    // Changes whenever another connection or program has committed a change to the file
    // since the last call; this database's own writes leave it. -1 when it cannot be read.
    qint64 DataVersion();
    // A file is written only once it is trusted: until the engine's quick check of it passed,
    // no statement writes to it. The check runs now, its finding returned, or (`inBackground`,
    // for a large file) on a handle and thread of its own while reads go on; a write asked for
    // meanwhile waits for it, and `checked` learns the result on the event loop's thread. A
    // file that fails the check, or on which any statement later fails with damage, is kept
    // unwritten until it closes (IsReadOnly): no write, no journal switch, no log copied into
    // it at close; a transaction still open then is rolled back, not committed.
    DbError CheckBeforeWriting(bool inBackground = false, std::function<void(const DbError&)> checked = nullptr);
    // Keeps the file unwritten from now on, as if it were damaged (its owner chose to read only).
    void KeepUnwritten();
    // Whether the file was found damaged (at opening, by the check, or by a statement since),
    // and the first finding.
    bool IsDamaged() const;
    DbError Damage() const;
    // Called once, when the file is first found damaged after CheckBeforeWriting: by the
    // background check or a failing statement. It runs inside the call that failed, so it may
    // only note or schedule, never use this database.
    void SetDamageHandler(std::function<void(const DbError&)> handler);
    void Close();
    const DbError& LastError() const { return lastError_; }

    // Runs an action query (UPDATE, DELETE, INSERT, CREATE ...) at once.
    DbError Execute(const QString& sql);
    int RecordsAffected() const { return recordsAffected_; }

    // A transaction for writes that belong together (the import's batches): BeginTrans starts
    // one unless one is open, CommitTrans ends it. Closing the database commits an open one,
    // so that written rows stay, as they do when every write commits by itself.
    DbError BeginTrans();
    DbError CommitTrans();
    // Drops the open transaction's writes; nothing to do when none is open (the engine may
    // already have rolled it back after a failed write).
    DbError Rollback();
    bool InTransaction() const;

    // A temporary query definition (the name is kept, nothing is saved); null on a closed
    // database or an unreadable text, with LastError() set.
    std::shared_ptr<QueryDef> CreateQueryDef(const QString& name, const QString& sql);
    std::shared_ptr<Recordset> OpenRecordset(const QString& sql, int type = dbOpenDynaset, int options = 0);

private:
    explicit Database(std::shared_ptr<DbConnection> connection);
    std::shared_ptr<DbConnection> connection_;
    QString path_;
    DbError lastError_;
    int recordsAffected_ = 0;
};

} // namespace tv
