#include "connection.h"

#include "backgroundreads.h"
#include "findtable.h"
#include "jetfunctions.h"
#include "platform/runtime/variant.h"

#include "engine.h"
#include "filekind.h"

#include <QFileInfo>
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
    if (rc != SQLITE_OK) {
        *error = c->EngineError();
        return nullptr;
    }
    rc = RegisterJetFunctions(c->db_);
    if (rc == SQLITE_OK) rc = RegisterFindModule(c->db_);
    DbError e = rc == SQLITE_OK ? c->RunPlain(QStringLiteral("PRAGMA synchronous=NORMAL")) : c->EngineError();
    // The views read and sort the whole file list: a page cache of up to 64 MiB keeps a large
    // catalogue's pages decrypted between queries, and sorting in memory spares temporary files.
    if (!e) e = c->RunPlain(QStringLiteral("PRAGMA cache_size=-65536"));
    if (!e) e = c->RunPlain(QStringLiteral("PRAGMA temp_store=MEMORY"));
    // A file being opened is not written until its owner has accepted it (StartWriting): a
    // file that turns out to be no catalogue, or a newer one, must be left as it was.
    if (!e && create) e = c->StartWriting();
    if (e) {
        *error = e;
        return nullptr;
    }
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
    const int flags = (opening.flags & ~(SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE)) | SQLITE_OPEN_READONLY;
    sqlite3* db = nullptr;
    int rc = sqlite3_open_v2(opening.name.constData(), &db, flags, nullptr);
    if (rc == SQLITE_OK) {
        sqlite3_busy_timeout(db, kBusyTimeoutMs);
        if (!opening.key.isEmpty()) sqlite3_key(db, opening.key.constData(), int(opening.key.size()));
        rc = sqlite3_exec(db, "SELECT count(*) FROM sqlite_master", nullptr, nullptr, nullptr);
    }
    if (rc == SQLITE_OK) rc = RegisterJetFunctions(db);
    // The same cache as the asking connection's: the reads that come here are the large ones.
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

bool DbConnection::IsReadOnly() const { return db_ && sqlite3_db_readonly(db_, "main") == 1; }

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
    if (sqlite3_prepare_v2(db_, text.constData(), int(text.size()), &stmt, &tail) != SQLITE_OK) {
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
    // Writes autocommit; the write-ahead log with normal syncing keeps an import fast. The mode
    // is kept in the file, and set again at every opening, since compaction leaves it.
    return RunPlain(QStringLiteral("PRAGMA journal_mode=WAL"));
}

DbError DbConnection::QuickCheck()
{
    DbError error;
    sqlite3_stmt* stmt = Prepare(QStringLiteral("PRAGMA quick_check(1)"), &error);
    if (!stmt) return error;
    const int rc = sqlite3_step(stmt);
    if (rc != SQLITE_ROW) error = EngineError();
    else if (const auto text = QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(stmt, 0)));
             text != QLatin1String("ok"))
        error = DbError{dbErrEngine, text};
    sqlite3_reset(stmt);
    return error;
}

DbError DbConnection::RunPlain(const QString& sql)
{
    if (!db_) return ClosedError();
    if (sqlite3_exec(db_, utf8(sql).constData(), nullptr, nullptr, nullptr) != SQLITE_OK) return EngineError();
    return {};
}

DbError DbConnection::EngineError() const
{
    if (!db_) return ClosedError();
    return DbError{sqlite3_extended_errcode(db_), QString::fromUtf8(sqlite3_errmsg(db_))};
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
    reader_.reset();
    openName_.clear();
    auto children = std::move(children_);
    children_.clear();
    for (auto& w : children)
        if (auto c = w.lock()) c->Close();
    for (sqlite3_stmt* s : std::as_const(statements_)) sqlite3_finalize(s);
    statements_.clear();
    translations_.clear();
    // Closing with a transaction open would roll it back.
    if (InTransaction()) sqlite3_exec(db_, "COMMIT", nullptr, nullptr, nullptr);
    sqlite3_close_v2(db_);
    db_ = nullptr;
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
