#pragma once

#include "dberror.h"
#include "jetsql.h"

#include <QByteArray>
#include <QHash>
#include <QString>
#include <functional>
#include <memory>
#include <vector>

struct sqlite3;
struct sqlite3_stmt;

namespace tv {

class Variant;
class BackgroundReader;
class FileCheck;

// Something a connection closes when it closes: query definitions and recordsets.
class DbChild {
public:
    virtual ~DbChild() = default;
    virtual void Close() = 0;
};

// One open SQLite connection with the Jet functions registered, its cache of translations
// and prepared statements, and the children opened on it. Shared by the Database and every
// query definition and recordset made from it; Close() closes the children first, so no
// statement outlives the handle.
class DbConnection : public std::enable_shared_from_this<DbConnection> {
public:
    ~DbConnection();

    // Opens an existing file (create false) or creates a new one (create true) with `key`
    // (empty: no encryption). Fails with dbErrFileNotFound, dbErrDatabaseExists or
    // dbErrNeedsPassword (the key does not fit, or the file is no database). An existing file
    // is only read until StartWriting(); a new one is ready for writing at once. An existing
    // file that this user may not write, or whose folder he may not write, is opened for
    // reading only (IsReadOnly).
    // With `readInBackground`, see SetReadInBackground; the second connection starts opening
    // beside this one.
    static std::shared_ptr<DbConnection> Open(const QString& path, const QByteArray& key, bool create,
                                              DbError* error, bool readInBackground = false);
    // Whether this user may write `path` and the folder that holds it (where the engine keeps
    // the file's journal); false for every file while SetOpenReadOnly(true) holds.
    static bool MayWrite(const QString& path);
    // Opens every existing file for reading only, as if neither it nor its folder could be
    // written. For tests: they run as root in CI, and root may write any file.
    static void SetOpenReadOnly(bool on);

    bool IsOpen() const { return db_ != nullptr; }
    bool IsReadOnly() const;
    sqlite3* Handle() const { return db_; }
    const QString& Path() const { return path_; }

    // The cached translation of a Jet text.
    const JetSql& Translate(const QString& jet);
    // A prepared statement for an SQLite text, from the cache; reset, bindings cleared.
    // Null with `error` set when it cannot be prepared.
    sqlite3_stmt* Prepare(const QString& sql, DbError* error);
    // Runs a translated statement with its parameters to the end.
    DbError Run(const JetSql& sql, const std::vector<Variant>& parameters, int* changes = nullptr);
    // Switches the file to the journal it is written with (the write-ahead log). The first
    // write to an opened file: call it once the file has been accepted.
    DbError StartWriting();
    // Runs an SQLite text with no parameters (pragmas, attach).
    DbError RunPlain(const QString& sql);
    // The engine's quick check of every page: no error when it passes, else its first finding.
    DbError QuickCheck();
    // A number that changes whenever another connection (another program among them) has
    // committed a change to the file since the last call on this one; this connection's own
    // writes leave it. -1 when it cannot be read.
    qint64 DataVersion();

    // A file is written only once it is trusted. CheckBeforeWriting holds every write to the
    // file (not to temporary tables) until the engine's quick check of it has passed: run now,
    // its result returned, or (`inBackground`) on a handle and thread of its own while this
    // connection goes on reading; a write asked for meanwhile waits for it. `checked` is called
    // once the background check's result is known, on the event loop's thread. A file that
    // failed the check, or on which a statement later fails with damage, is kept unwritten
    // (IsReadOnly) until it closes: no write, no journal switch, no log copied into it at close.
    DbError CheckBeforeWriting(bool inBackground, std::function<void(const DbError&)> checked = nullptr);
    // Keeps the file unwritten from now on, as after damage (the user chose to only read it).
    void KeepUnwritten();
    bool KeptUnwritten() const { return gate_ == Gate::Shut; }
    // Lets a file kept unwritten be written again: only for compaction, which the user asked
    // for and after which the file is kept as it was only under another name.
    void AllowWriting();
    // Whether the file was found damaged, and the first finding.
    bool IsDamaged() const { return damaged_; }
    const DbError& Damage() const { return damage_; }
    // Called once, the first time the file is found damaged after its opening was accepted
    // (by the check or by a failing statement). It runs inside the failing call: it must not
    // use this connection, only note or schedule.
    void SetDamageHandler(std::function<void(const DbError&)> handler);
    // Notes an error that a statement of this file met (also on the second connection): damage
    // keeps the file unwritten and is reported once.
    void NoteError(const DbError& error);

    // True between BEGIN and COMMIT.
    bool InTransaction() const;

    // The engine's last error on this handle; noted (NoteError).
    DbError EngineError();
    DbError ClosedError() const { return MakeDbError(dbErrObjectClosed); }

    // How this connection's file was opened: what a second handle on it needs, as a copy that
    // another thread may keep and use while this connection reopens or closes.
    struct CompanionOpening {
        QByteArray name;
        int flags = 0;
        QByteArray key;
        bool writableSchema = false;
    };
    CompanionOpening Companion() const { return {openName_, openFlags_, key_, writableSchema_}; }
    // A second handle on the file `opening` names, for reading only, with the same key,
    // functions and settings: the background reads' (see backgroundreads.h). Null with `error`
    // set when it cannot be opened. Safe on any thread: it reads nothing but `opening`.
    static sqlite3* OpenCompanion(const CompanionOpening& opening, DbError* error);
    // The background reader of this connection, made at the first call; null unless reads in
    // the background are allowed on it.
    BackgroundReader* Reader();
    // Whether this connection's reads may run on a second connection (when the program lets
    // reads run in the background at all). Off by default: a connection that copies or
    // changes the file's journal must be the file's only one.
    void SetReadInBackground(bool on);

    void AddChild(const std::shared_ptr<DbChild>& child);
    // Closes the children, commits an open transaction and closes the file.
    void Close();

private:
    DbConnection() = default;
    // Opens the handle and reads the schema with `key`: the engine's result of that first read.
    int OpenHandle(const QByteArray& name, int flags, const QByteArray& key);
    // A handle of its own on the file for reading, as the companion's; for any thread.
    static sqlite3* OpenReadHandle(const QByteArray& name, int flags, const QByteArray& key, bool writableSchema,
                                   DbError* error);
    enum class Gate { Open, Checking, Shut };
    void setGate(Gate gate);
    // Settles a background check whose result is there: opens or shuts the gate (once).
    void settleCheck();
    // Whether the last statement prepared was refused only because a check still runs.
    bool deniedWhileChecking_ = false;
    static int authorize(void* self, int action, const char* a, const char* b, const char* database, const char*);
    Gate gate_ = Gate::Open;
    bool wantsWriting_ = false;    // StartWriting was asked for while the check ran
    bool writableSchema_ = false;  // the file is read past a size its header no longer matches
    bool damaged_ = false;
    DbError damage_;
    std::function<void(const DbError&)> damageHandler_;
    std::function<void(const DbError&)> checked_;
    DbError checkResult_;
    std::unique_ptr<FileCheck> check_;
    sqlite3* db_ = nullptr;
    QString path_;
    // How the handle was opened, for the companion handle.
    QByteArray openName_;
    int openFlags_ = 0;
    QByteArray key_;
    std::unique_ptr<BackgroundReader> reader_;
    bool readInBackground_ = false;
    QHash<QString, JetSql> translations_;
    QHash<QString, sqlite3_stmt*> statements_;
    std::vector<std::weak_ptr<DbChild>> children_;
};

// Binds one value; with `numberLikeTexts` a text written as a number prints ("12", "-1.5", not
// "007" or "1.50") binds as that number.
void BindParameter(sqlite3_stmt* stmt, int index, const Variant& value, bool numberLikeTexts);
// Binds the parameter values of a translated text: a number-like text binds as a number (so
// "clng(...) = xxx" matches a key handed over as text) unless the parameter is declared Text.
void BindParameters(sqlite3_stmt* stmt, const JetSql& sql, const std::vector<Variant>& values);

} // namespace tv
