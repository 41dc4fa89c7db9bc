#include "connection.h"

#include "backgroundreads.h"
#include "findtable.h"
#include "jetfunctions.h"
#include "platform/runtime/variant.h"

#include "engine.h"
#include "filecheck.h"
#include "filekind.h"

#include <QFileInfo>

#include <cstring>
#include <QUrl>
#include <QRegularExpression>

namespace tv {

namespace {

// Bounds of the caches: the import runs one different duplicate query per file.
constexpr int kMaxTranslations = 512;
constexpr int kMaxStatements = 128;
// A second copy of the program on the same catalogue waits this long for the other's write to
// end before a statement fails with "database is locked".
constexpr int kBusyTimeoutMs = 5000;
// The engine's own size of the log at which a commit copies it into the file.
constexpr int kWalPagesBeforeCopy = 1000;

QByteArray utf8(const QString& s) { return s.toUtf8(); }

bool openReadOnly = false;

} // namespace

DbConnection::~DbConnection() { Close(); }

std::shared_ptr<DbConnection> DbConnection::Open(const QString& path, const QByteArray& key, bool create,
                                                 DbError* error, bool readInBackground)
{
    const bool exists = QFileInfo::exists(path);
    if (create && exists) {
        *error = MakeDbError(dbErrDatabaseExists);
        return nullptr;
    }
    if (!create && !exists) {
        *error = MakeDbError(dbErrFileNotFound, path);
        return nullptr;
    }
    std::shared_ptr<DbConnection> c(new DbConnection);
    c->path_ = path;
    // Existence was checked above; the create flag also lets ATTACH make a compaction target.
    // A file that cannot be written is opened for reading, so that it can still be browsed.
    const bool readOnly = !create && !MayWrite(path);
    const int flags = (readOnly ? SQLITE_OPEN_READONLY : SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE) | SQLITE_OPEN_NOMUTEX;
    // The background reads' connection opens beside this one: deriving the key from a
    // passphrase takes the engine a while, which two threads spend at once.
    c->readInBackground_ = readInBackground;
    const bool companion = readInBackground && BackgroundReadsOn();
    c->openName_ = utf8(path);
    c->openFlags_ = flags;
    c->key_ = key;
    if (companion) c->Reader();
    int rc = c->OpenHandle(c->openName_, flags, key);
    // A file in write-ahead mode is read through the -shm file beside it, which a folder this
    // user cannot write may not hold, and which this engine cannot do without: such a file is
    // read as it lies on disk, as on a read-only medium.
    if (readOnly && (rc & 0xff) == SQLITE_CANTOPEN) {
        c->reader_.reset();
        c->openName_ = QUrl::fromLocalFile(path).toEncoded() + "?immutable=1";
        c->openFlags_ = flags | SQLITE_OPEN_URI;
        if (companion) c->Reader();
        rc = c->OpenHandle(c->openName_, c->openFlags_, key);
    }
    if (!c->db_) {
        *error = DbError{rc, QString::fromUtf8(sqlite3_errstr(rc))};
        return nullptr;
    }
    // An encrypted file cannot be told from any other by its bytes, but a database is made of
    // whole pages: a file of another length is no database, and asking for a password is useless.
    if (rc == SQLITE_NOTADB && IsWholePages(path)) {
        *error = MakeDbError(dbErrNeedsPassword);
        return nullptr;
    }
    // The first page opened with the key, but the schema could not be read past it: the file
    // is damaged, not of another kind. A file cut short by whole pages reads again once the
    // engine no longer holds it to the size its header names; what is left is read as it is.
    if (!create && (rc & 0xff) == SQLITE_CORRUPT) {
        c->writableSchema_ = true;
        rc = sqlite3_exec(c->db_, "PRAGMA writable_schema=ON", nullptr, nullptr, nullptr);
        if (rc == SQLITE_OK) rc = sqlite3_exec(c->db_, "SELECT count(*) FROM sqlite_master", nullptr, nullptr, nullptr);
        if (rc == SQLITE_OK) {
            c->damaged_ = true;
            c->damage_ = DbError{SQLITE_CORRUPT, QString::fromUtf8(sqlite3_errstr(SQLITE_CORRUPT))};
        }
    }
    if (rc != SQLITE_OK) {
        *error = c->EngineError();
        return nullptr;
    }
    rc = RegisterJetFunctions(c->db_);
    if (rc == SQLITE_OK) rc = RegisterFindModule(c->db_);
    DbError e = rc == SQLITE_OK ? c->RunPlain(QStringLiteral("PRAGMA synchronous=NORMAL")) : c->EngineError();
    // The large reads of the views run on the reading connection (OpenReadHandle), which keeps
    // the large cache; this one writes and answers the small reads asked while one runs, for
    // which 16 MiB keep the pages read most decrypted. A second large cache would hold the same
    // pages twice, at a million files some 60 MB of the program's memory. Sorting in memory
    // spares temporary files.
    if (!e) e = c->RunPlain(QStringLiteral("PRAGMA cache_size=-16384"));
    if (!e) e = c->RunPlain(QStringLiteral("PRAGMA temp_store=MEMORY"));
    // A file being opened is not written until its owner has accepted it (StartWriting): a
    // file that turns out to be no catalogue, or a newer one, must be left as it was.
    if (!e && create) e = c->StartWriting();
    if (e) {
        *error = e;
        return nullptr;
    }
    if (c->damaged_) c->setGate(Gate::Shut);
    *error = DbError{};
    return c;
}

int DbConnection::OpenHandle(const QByteArray& name, int flags, const QByteArray& key)
{
    if (db_) sqlite3_close_v2(db_);
    db_ = nullptr;
    int rc = sqlite3_open_v2(name.constData(), &db_, flags, nullptr);
    if (rc != SQLITE_OK) {
        sqlite3_close_v2(db_);
        db_ = nullptr;
        return rc;
    }
    sqlite3_busy_timeout(db_, kBusyTimeoutMs);
    if (!key.isEmpty()) sqlite3_key(db_, key.constData(), int(key.size()));
    // Reading the schema is the first read of the file: a wrong key shows here.
    return sqlite3_exec(db_, "SELECT count(*) FROM sqlite_master", nullptr, nullptr, nullptr);
}

sqlite3* DbConnection::OpenCompanion(const CompanionOpening& opening, DbError* error)
{
    return OpenReadHandle(opening.name, opening.flags, opening.key, opening.writableSchema, error);
}

sqlite3* DbConnection::OpenReadHandle(const QByteArray& name, int openFlags, const QByteArray& key, bool writableSchema,
                                      DbError* error)
{
    const int flags = (openFlags & ~(SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE)) | SQLITE_OPEN_READONLY;
    sqlite3* db = nullptr;
    int rc = sqlite3_open_v2(name.constData(), &db, flags, nullptr);
    if (rc == SQLITE_OK) {
        sqlite3_busy_timeout(db, kBusyTimeoutMs);
        if (!key.isEmpty()) sqlite3_key(db, key.constData(), int(key.size()));
        if (writableSchema) rc = sqlite3_exec(db, "PRAGMA writable_schema=ON", nullptr, nullptr, nullptr);
        if (rc == SQLITE_OK) rc = sqlite3_exec(db, "SELECT count(*) FROM sqlite_master", nullptr, nullptr, nullptr);
    }
    if (rc == SQLITE_OK) rc = RegisterJetFunctions(db);
    // The large cache: the reads that come here are the large ones, the views' whole lists.
    if (rc == SQLITE_OK) rc = sqlite3_exec(db, "PRAGMA cache_size=-65536", nullptr, nullptr, nullptr);
    if (rc == SQLITE_OK) rc = sqlite3_exec(db, "PRAGMA temp_store=MEMORY", nullptr, nullptr, nullptr);
    if (rc != SQLITE_OK) {
        *error = DbError{rc, db ? QString::fromUtf8(sqlite3_errmsg(db)) : QString::fromUtf8(sqlite3_errstr(rc))};
        sqlite3_close_v2(db);
        return nullptr;
    }
    *error = {};
    return db;
}

void DbConnection::SetReadInBackground(bool on)
{
    readInBackground_ = on;
    if (!on) reader_.reset();
}

BackgroundReader* DbConnection::Reader()
{
    if (!readInBackground_ || openName_.isEmpty()) return nullptr;
    if (!reader_) reader_ = std::make_unique<BackgroundReader>(*this);
    return reader_.get();
}

bool DbConnection::MayWrite(const QString& path)
{
    if (openReadOnly) return false;
    const QFileInfo file(path);
    return file.isWritable() && QFileInfo(file.absolutePath()).isWritable();
}

void DbConnection::SetOpenReadOnly(bool on) { openReadOnly = on; }

bool DbConnection::IsReadOnly() const { return db_ && (gate_ == Gate::Shut || sqlite3_db_readonly(db_, "main") == 1); }

const JetSql& DbConnection::Translate(const QString& jet)
{
    auto it = translations_.find(jet);
    if (it != translations_.end()) return *it;
    if (translations_.size() >= kMaxTranslations) translations_.clear();
    return *translations_.insert(jet, TranslateJetSql(jet));
}

sqlite3_stmt* DbConnection::Prepare(const QString& sql, DbError* error)
{
    if (!db_) {
        *error = ClosedError();
        return nullptr;
    }
    auto it = statements_.find(sql);
    if (it != statements_.end()) {
        sqlite3_reset(*it);
        sqlite3_clear_bindings(*it);
        return *it;
    }
    if (statements_.size() >= kMaxStatements) {
        for (sqlite3_stmt* s : std::as_const(statements_)) sqlite3_finalize(s);
        statements_.clear();
    }
    sqlite3_stmt* stmt = nullptr;
    const QByteArray text = utf8(sql);
    const char* tail = nullptr;
    deniedWhileChecking_ = false;
    int rc = sqlite3_prepare_v2(db_, text.constData(), int(text.size()), &stmt, &tail);
    // A write waits for the check of the file that still runs, then is prepared again.
    if (rc == SQLITE_AUTH && deniedWhileChecking_ && check_) {
        sqlite3_finalize(stmt);
        stmt = nullptr;
        WaitBeside([this] { return !check_ || check_->Finished(); });
        settleCheck();
        deniedWhileChecking_ = false;
        rc = sqlite3_prepare_v2(db_, text.constData(), int(text.size()), &stmt, &tail);
    }
    if (rc != SQLITE_OK) {
        *error = EngineError();
        sqlite3_finalize(stmt);
        return nullptr;
    }
    if (!stmt) {   // only blanks or a comment
        *error = MakeDbError(dbErrSyntax, sql);
        return nullptr;
    }
    // The engine prepares the first statement only: a second one would silently not run.
    for (const char* p = tail; p && p < text.constData() + text.size(); ++p) {
        if (*p != ';' && !QChar::isSpace(uchar(*p))) {
            sqlite3_finalize(stmt);
            *error = MakeDbError(dbErrTextAfterEnd);
            return nullptr;
        }
    }
    statements_.insert(sql, stmt);
    return stmt;
}

DbError DbConnection::Run(const JetSql& sql, const std::vector<Variant>& parameters, int* changes)
{
    if (!sql.error.isEmpty()) return MakeDbError(dbErrSyntax, sql.error);
    DbError error;
    sqlite3_stmt* stmt = Prepare(sql.sql, &error);
    if (!stmt) return error;
    BindParameters(stmt, sql, parameters);
    int rc;
    while ((rc = sqlite3_step(stmt)) == SQLITE_ROW) {
    }
    if (rc != SQLITE_DONE) error = EngineError();
    sqlite3_reset(stmt);
    sqlite3_clear_bindings(stmt);
    if (changes) *changes = error ? 0 : sqlite3_changes(db_);
    return error;
}

DbError DbConnection::StartWriting()
{
    // A file opened for reading keeps the journal mode it has: changing it would be a write.
    if (IsReadOnly()) return {};
    // The switch waits for the check of the file; a file that fails it keeps its journal.
    if (gate_ == Gate::Checking) {
        wantsWriting_ = true;
        return {};
    }
    // Writes autocommit; the write-ahead log with normal syncing keeps an import fast. The mode
    // is kept in the file, and set again at every opening, since compaction leaves it.
    return RunPlain(QStringLiteral("PRAGMA journal_mode=WAL"));
}

DbError DbConnection::QuickCheck()
{
    if (!db_) return ClosedError();
    return QuickCheckHandle(db_);
}

qint64 DbConnection::DataVersion()
{
    if (!db_) return -1;
    DbError error;
    sqlite3_stmt* stmt = Prepare(QStringLiteral("PRAGMA data_version"), &error);
    if (!stmt) return -1;
    const qint64 version = sqlite3_step(stmt) == SQLITE_ROW ? sqlite3_column_int64(stmt, 0) : -1;
    sqlite3_reset(stmt);
    return version;
}

DbError DbConnection::CheckBeforeWriting(bool inBackground, std::function<void(const DbError&)> checked)
{
    if (!db_) return ClosedError();
    if (damaged_) return damage_;
    if (!inBackground) {
        setGate(Gate::Checking);
        const DbError error = QuickCheckHandle(db_);
        if (error) {
            damaged_ = true;
            damage_ = error;
            setGate(Gate::Shut);
        } else {
            setGate(Gate::Open);
        }
        return error;
    }
    setGate(Gate::Checking);
    checked_ = std::move(checked);
    std::weak_ptr<DbConnection> self = weak_from_this();
    // The handle's settings are copied: the thread may outlive this connection's opening.
    check_ = std::make_unique<FileCheck>(
        [name = openName_, flags = openFlags_, key = key_, schema = writableSchema_](DbError* error) {
            sqlite3* db = OpenReadHandle(name, flags, key, schema, error);
            // Each page is read once: the reads' large cache would only hold the whole file.
            if (db) sqlite3_exec(db, "PRAGMA cache_size=-2048", nullptr, nullptr, nullptr);
            return db;
        },
        [self] {
            const auto c = self.lock();
            if (!c || !c->db_) return;
            c->settleCheck();
            // The owner learns the result here, never inside a write that waited for it.
            if (auto notify = std::move(c->checked_)) notify(c->checkResult_);
        });
    return {};
}

void DbConnection::settleCheck()
{
    if (!check_ || !check_->Finished()) return;
    DbError error = check_->Result();
    check_.reset();
    // A check that could not even open its handle leaves the file as it was: the reads on
    // this connection meet any damage themselves.
    if (IsDamageError(error)) {
        NoteError(error);
    } else {
        error = {};
        setGate(Gate::Open);
        if (wantsWriting_) StartWriting();
    }
    wantsWriting_ = false;
    checkResult_ = error;
}

void DbConnection::KeepUnwritten()
{
    check_.reset();
    setGate(Gate::Shut);
}

void DbConnection::AllowWriting()
{
    check_.reset();
    setGate(Gate::Open);
}

void DbConnection::SetDamageHandler(std::function<void(const DbError&)> handler) { damageHandler_ = std::move(handler); }

void DbConnection::NoteError(const DbError& error)
{
    if (!db_ || !IsDamageError(error) || damaged_) return;
    damaged_ = true;
    damage_ = error;
    check_.reset();
    setGate(Gate::Shut);
    if (damageHandler_) damageHandler_(error);
}

void DbConnection::setGate(Gate gate)
{
    gate_ = gate;
    if (!db_) return;
    // Until the file is trusted, statements that would write to it are refused when they are
    // prepared (temporary tables stay writable), and no commit copies the log into it.
    sqlite3_set_authorizer(db_, gate == Gate::Open ? nullptr : &DbConnection::authorize, this);
    sqlite3_wal_autocheckpoint(db_, gate == Gate::Open ? kWalPagesBeforeCopy : 0);
}

int DbConnection::authorize(void* self, int action, const char* a, const char* b, const char* database, const char*)
{
    auto* c = static_cast<DbConnection*>(self);
    // Only the file itself: temporary tables, and a file attached to be written (a compaction's
    // copy), stay writable.
    const auto inFile = [database] { return database && std::strcmp(database, "main") == 0; };
    bool writes = false;
    switch (action) {
    case SQLITE_INSERT:
    case SQLITE_UPDATE:
    case SQLITE_DELETE:
    case SQLITE_CREATE_INDEX:
    case SQLITE_CREATE_TABLE:
    case SQLITE_CREATE_TRIGGER:
    case SQLITE_CREATE_VIEW:
    case SQLITE_CREATE_VTABLE:
    case SQLITE_DROP_INDEX:
    case SQLITE_DROP_TABLE:
    case SQLITE_DROP_TRIGGER:
    case SQLITE_DROP_VIEW:
    case SQLITE_DROP_VTABLE:
    case SQLITE_ANALYZE:
    case SQLITE_REINDEX:
        writes = inFile();
        break;
    case SQLITE_ALTER_TABLE:
        writes = a && std::strcmp(a, "main") == 0;
        break;
    case SQLITE_PRAGMA: {
        // The pragmas that change the file; the others only set this connection.
        static const char* const changing[] = {"journal_mode", "wal_checkpoint", "user_version", "application_id",
                                               "auto_vacuum", "incremental_vacuum", "page_size", "optimize",
                                               "rekey", "cipher_migrate"};
        for (const char* name : changing)
            if (a && sqlite3_stricmp(a, name) == 0 && (b || std::strcmp(name, "wal_checkpoint") == 0
                                                       || std::strcmp(name, "incremental_vacuum") == 0
                                                       || std::strcmp(name, "optimize") == 0))
                writes = true;
        break;
    }
    default:
        break;
    }
    if (!writes) return SQLITE_OK;
    if (c->gate_ == Gate::Checking) c->deniedWhileChecking_ = true;
    return SQLITE_DENY;
}

DbError DbConnection::RunPlain(const QString& sql)
{
    if (!db_) return ClosedError();
    const QByteArray text = utf8(sql);
    deniedWhileChecking_ = false;
    int rc = sqlite3_exec(db_, text.constData(), nullptr, nullptr, nullptr);
    if (rc == SQLITE_AUTH && deniedWhileChecking_ && check_) {
        WaitBeside([this] { return !check_ || check_->Finished(); });
        settleCheck();
        rc = sqlite3_exec(db_, text.constData(), nullptr, nullptr, nullptr);
    }
    if (rc != SQLITE_OK) return EngineError();
    return {};
}

DbError DbConnection::EngineError()
{
    if (!db_) return ClosedError();
    // A write prepared before the file was found damaged is refused when it runs again.
    if (sqlite3_errcode(db_) == SQLITE_AUTH && gate_ == Gate::Shut) return MakeDbError(dbErrNotUpdatable);
    const DbError error{sqlite3_extended_errcode(db_), QString::fromUtf8(sqlite3_errmsg(db_))};
    NoteError(error);
    return error;
}

void DbConnection::AddChild(const std::shared_ptr<DbChild>& child)
{
    if (children_.size() >= 64) {
        std::erase_if(children_, [](const std::weak_ptr<DbChild>& w) { return w.expired(); });
    }
    children_.push_back(child);
}

bool DbConnection::InTransaction() const { return db_ && sqlite3_get_autocommit(db_) == 0; }

void DbConnection::Close()
{
    if (!db_) return;
    check_.reset();
    checked_ = nullptr;
    damageHandler_ = nullptr;
    reader_.reset();
    const QByteArray keeperName = openName_;
    openName_.clear();
    auto children = std::move(children_);
    children_.clear();
    for (auto& w : children)
        if (auto c = w.lock()) c->Close();
    for (sqlite3_stmt* s : std::as_const(statements_)) sqlite3_finalize(s);
    statements_.clear();
    translations_.clear();
    // Closing with a transaction open would roll it back; a file kept unwritten keeps nothing.
    if (InTransaction()) sqlite3_exec(db_, gate_ == Gate::Open ? "COMMIT" : "ROLLBACK", nullptr, nullptr, nullptr);
    // The last handle to close a file in write-ahead mode copies the log into it. A file not
    // trusted is closed while a reading handle still holds it, which cannot copy the log when
    // it closes after: the log stays beside the file, read again at its next opening.
    sqlite3* keeper = nullptr;
    if (gate_ != Gate::Open) {
        DbError ignored;
        keeper = OpenReadHandle(keeperName, openFlags_, key_, writableSchema_, &ignored);
    }
    sqlite3_close_v2(db_);
    db_ = nullptr;
    if (keeper) sqlite3_close_v2(keeper);
}

void BindParameters(sqlite3_stmt* stmt, const JetSql& sql, const std::vector<Variant>& values)
{
    for (int i = 0; i < int(values.size()); ++i)
        BindParameter(stmt, i + 1, values[size_t(i)], !(i < sql.textParameters.size() && sql.textParameters[i]));
}

void BindParameter(sqlite3_stmt* stmt, int index, const Variant& value, bool numberLikeTexts)
{
    switch (value.type()) {
    case VarType::Empty:
    case VarType::Null:
        sqlite3_bind_null(stmt, index);
        return;
    case VarType::Boolean:
        sqlite3_bind_int(stmt, index, value.toBool() ? -1 : 0);
        return;
    case VarType::Integer:
    case VarType::Long:
    case VarType::Byte:
        sqlite3_bind_int64(stmt, index, value.toLong());
        return;
    case VarType::String: {
        const QString s = value.toString();
        if (numberLikeTexts) {
            // Only the text a number prints as: "007" or "1.50" stay texts, or a text column
            // holding them would no longer match.
            static const QRegularExpression number(QStringLiteral("^-?(0|[1-9]\\d*)(\\.\\d*[1-9])?$"));
            const QRegularExpressionMatch m = number.match(s);
            if (m.hasMatch()) {
                bool ok = false;
                const qlonglong whole = s.toLongLong(&ok);
                if (ok && m.captured(2).isEmpty()) sqlite3_bind_int64(stmt, index, whole);
                else sqlite3_bind_double(stmt, index, s.toDouble());
                return;
            }
        }
        const QByteArray u = s.toUtf8();
        sqlite3_bind_text(stmt, index, u.constData(), int(u.size()), kSqliteTransient);
        return;
    }
    default:
        sqlite3_bind_double(stmt, index, value.toDouble());
        return;
    }
}

} // namespace tv
