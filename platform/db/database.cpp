#include "database.h"

#include "connection.h"
#include "engine.h"
#include "filecheck.h"

#include <QFile>
#include <QRegularExpression>

#include <vector>

namespace tv {

namespace {

QString sqlText(const QString& s)
{
    QString r = s;
    r.replace(QLatin1Char('\''), QLatin1String("''"));
    return QLatin1Char('\'') + r + QLatin1Char('\'');
}

// The rows of `table` that can be read, copied into the same table of tv_compact: a scan from
// each end up to the damage, then each row key between the two looked up by itself. The
// number of keys that could not be read is added to `lost`.
DbError salvageTable(DbConnection& c, const QString& table, qint64* lost)
{
    const QString name = QLatin1Char('"') + QString(table).replace(QLatin1Char('"'), QLatin1String("\"\"")) + QLatin1Char('"');
    sqlite3* db = c.Handle();
    auto prepare = [db](const QString& sql) {
        sqlite3_stmt* stmt = nullptr;
        const QByteArray text = sql.toUtf8();
        sqlite3_prepare_v2(db, text.constData(), int(text.size()), &stmt, nullptr);
        return stmt;
    };
    // The keys of one scan, until it ends or meets damage; whether it reached its end.
    auto scan = [&](const char* order, std::vector<sqlite3_int64>& keys) {
        sqlite3_stmt* stmt = prepare(QStringLiteral("SELECT rowid FROM main.%1 ORDER BY rowid %2").arg(name, QLatin1String(order)));
        if (!stmt) return false;
        int rc;
        while ((rc = sqlite3_step(stmt)) == SQLITE_ROW) keys.push_back(sqlite3_column_int64(stmt, 0));
        sqlite3_finalize(stmt);
        return rc == SQLITE_DONE;
    };
    c.RunPlain(QStringLiteral("BEGIN"));
    // Most tables are whole: they are copied at once.
    const DbError whole = c.RunPlain(QStringLiteral("INSERT INTO tv_compact.%1 SELECT * FROM main.%1").arg(name));
    if (!IsDamageError(whole)) {
        const DbError end = c.RunPlain(whole ? QStringLiteral("ROLLBACK") : QStringLiteral("COMMIT"));
        return whole ? whole : end;
    }
    std::vector<sqlite3_int64> keys, fromEnd;
    if (!scan("ASC", keys)) {
        scan("DESC", fromEnd);
        const sqlite3_int64 low = keys.empty() ? 1 : keys.back() + 1;
        const sqlite3_int64 high = fromEnd.empty() ? (keys.empty() ? 0 : keys.back()) : fromEnd.back() - 1;
        // Between the two scans lies the damage: each key there is tried; the engine reads a
        // row by its key through the pages above it, not the damaged neighbours.
        for (sqlite3_int64 k = low; k <= high; ++k) keys.push_back(k);
        keys.insert(keys.end(), fromEnd.rbegin(), fromEnd.rend());
    }
    sqlite3_stmt* copy = prepare(QStringLiteral("INSERT INTO tv_compact.%1 SELECT * FROM main.%1 WHERE rowid=?1").arg(name));
    if (!copy) {
        const DbError error = c.EngineError();
        c.RunPlain(QStringLiteral("ROLLBACK"));
        return error;
    }
    DbError error;
    for (const sqlite3_int64 key : keys) {
        sqlite3_bind_int64(copy, 1, key);
        const int rc = sqlite3_step(copy);
        sqlite3_reset(copy);
        if (rc == SQLITE_DONE) continue;
        const DbError failed{sqlite3_extended_errcode(db), QString::fromUtf8(sqlite3_errmsg(db))};
        if (!IsDamageError(failed)) {
            error = failed;
            break;
        }
        if (lost) ++*lost;
    }
    sqlite3_finalize(copy);
    const DbError end = c.RunPlain(error ? QStringLiteral("ROLLBACK") : QStringLiteral("COMMIT"));
    return error ? error : end;
}

// Copies what can be read of the damaged file into the attached tv_compact: the tables as the
// schema declares them, their readable rows, the key counters, then the indexes built anew
// from the copied rows.
DbError salvageInto(DbConnection& c, qint64* lost)
{
    struct Entry {
        QString type, name, sql;
    };
    std::vector<Entry> entries;
    sqlite3_stmt* stmt = nullptr;
    if (sqlite3_prepare_v2(c.Handle(),
                           "SELECT type, name, sql FROM main.sqlite_master WHERE sql IS NOT NULL"
                           " AND name NOT LIKE 'sqlite\\_%' ESCAPE '\\' ORDER BY type='index', rowid",
                           -1, &stmt, nullptr) != SQLITE_OK)
        return c.EngineError();
    int rc;
    while ((rc = sqlite3_step(stmt)) == SQLITE_ROW) {
        auto text = [stmt](int i) { return QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(stmt, i))); };
        entries.push_back({text(0), text(1), text(2)});
    }
    sqlite3_finalize(stmt);
    if (rc != SQLITE_DONE) return c.EngineError();
    // Each text names its object after its kind ("CREATE TABLE x", "CREATE UNIQUE INDEX y"):
    // the same text with the attached file's name in front of the object's makes it there.
    static const QRegularExpression head(QStringLiteral("^\\s*CREATE\\s+(UNIQUE\\s+)?(TABLE|INDEX|VIEW|TRIGGER)\\s+"),
                                         QRegularExpression::CaseInsensitiveOption);
    auto createThere = [&c](const Entry& e) {
        const QRegularExpressionMatch m = head.match(e.sql);
        if (!m.hasMatch()) return MakeDbError(dbErrEngine, e.sql);
        return c.RunPlain(e.sql.left(m.capturedEnd()) + QStringLiteral("tv_compact.") + e.sql.mid(m.capturedEnd()));
    };
    for (const Entry& e : entries)
        if (e.type == QLatin1String("table"))
            if (DbError error = createThere(e)) return error;
    for (const Entry& e : entries)
        if (e.type == QLatin1String("table"))
            if (DbError error = salvageTable(c, e.name, lost)) return error;
    // The counters of the keys, so that no key of a lost row is given out again.
    if (!c.RunPlain(QStringLiteral("SELECT 1 FROM tv_compact.sqlite_sequence LIMIT 0"))) {
        c.RunPlain(QStringLiteral("INSERT OR REPLACE INTO tv_compact.sqlite_sequence (rowid, name, seq)"
                                  " SELECT t.rowid, m.name, max(m.seq, coalesce(t.seq, 0)) FROM main.sqlite_sequence m"
                                  " LEFT JOIN tv_compact.sqlite_sequence t ON t.name = m.name"));
    }
    for (const Entry& e : entries)
        if (e.type != QLatin1String("table"))
            if (DbError error = createThere(e)) return error;
    return {};
}

} // namespace

Database::Database(std::shared_ptr<DbConnection> connection)
    : connection_(std::move(connection)), path_(connection_->Path())
{
}

Database::~Database() { Close(); }

std::shared_ptr<Database> Database::Create(const QString& path, const QByteArray& key, DbError* error)
{
    auto c = DbConnection::Open(path, key, true, error);
    return c ? std::shared_ptr<Database>(new Database(c)) : nullptr;
}

std::shared_ptr<Database> Database::Open(const QString& path, const QByteArray& key, DbError* error,
                                         bool readInBackground)
{
    auto c = DbConnection::Open(path, key, false, error, readInBackground);
    return c ? std::shared_ptr<Database>(new Database(c)) : nullptr;
}

DbError Database::Compact(const QString& source, const QString& target, const QByteArray& key, qint64* lost)
{
    if (lost) *lost = 0;
    DbError error;
    auto c = DbConnection::Open(source, key, false, &error);
    if (!c) return error;
    // The user asked for the copy: a damaged source is written once more, to leave its log.
    c->AllowWriting();
    // A single-file journal first: no -wal or -shm file may stay beside a renamed catalogue.
    error = c->RunPlain(QStringLiteral("PRAGMA journal_mode=DELETE"));
    const QString attach = QStringLiteral("ATTACH DATABASE %1 AS tv_compact KEY %2").arg(sqlText(target), sqlText(QString::fromUtf8(key)));
    if (!error) error = c->RunPlain(attach);
    if (!error) {
        error = c->RunPlain(QStringLiteral("SELECT sqlcipher_export('tv_compact')"));
        // The engine's copy stops at the first page it cannot read (and names no number for
        // it): a damaged file is copied row by row into a new target instead.
        if (error && IsDamageError(QuickCheckHandle(c->Handle())) && !c->RunPlain(QStringLiteral("DETACH DATABASE tv_compact"))
            && QFile::remove(target)) {
            error = c->RunPlain(attach);
            if (!error) error = salvageInto(*c, lost);
        }
        const DbError detach = c->RunPlain(QStringLiteral("DETACH DATABASE tv_compact"));
        if (!error) error = detach;
    }
    c->Close();
    return error;
}

bool Database::MayWrite(const QString& path) { return DbConnection::MayWrite(path); }

void Database::SetOpenReadOnly(bool on) { DbConnection::SetOpenReadOnly(on); }

void Database::SetReadInBackground(bool on)
{
    if (connection_) connection_->SetReadInBackground(on);
}

bool Database::IsOpen() const { return connection_ && connection_->IsOpen(); }

bool Database::IsReadOnly() const { return IsOpen() && connection_->IsReadOnly(); }

DbError Database::QuickCheck()
{
    if (!IsOpen()) return lastError_ = MakeDbError(dbErrObjectClosed);
    return lastError_ = connection_->QuickCheck();
}

qint64 Database::DataVersion() { return IsOpen() ? connection_->DataVersion() : -1; }

DbError Database::CheckBeforeWriting(bool inBackground, std::function<void(const DbError&)> checked)
{
    if (!IsOpen()) return lastError_ = MakeDbError(dbErrObjectClosed);
    return connection_->CheckBeforeWriting(inBackground, std::move(checked));
}

void Database::KeepUnwritten()
{
    if (IsOpen()) connection_->KeepUnwritten();
}

bool Database::IsDamaged() const { return IsOpen() && connection_->IsDamaged(); }

DbError Database::Damage() const { return IsOpen() ? connection_->Damage() : DbError{}; }

void Database::SetDamageHandler(std::function<void(const DbError&)> handler)
{
    if (IsOpen()) connection_->SetDamageHandler(std::move(handler));
}

DbError Database::StartWriting()
{
    if (!IsOpen()) return lastError_ = MakeDbError(dbErrObjectClosed);
    return lastError_ = connection_->StartWriting();
}

void Database::Close()
{
    if (connection_) connection_->Close();
}

DbError Database::Execute(const QString& sql)
{
    recordsAffected_ = 0;
    if (!IsOpen()) return lastError_ = MakeDbError(dbErrObjectClosed);
    return lastError_ = connection_->Run(connection_->Translate(sql), {}, &recordsAffected_);
}

DbError Database::BeginTrans()
{
    if (!IsOpen()) return lastError_ = MakeDbError(dbErrObjectClosed);
    if (InTransaction()) return lastError_ = {};
    return lastError_ = connection_->RunPlain(QStringLiteral("BEGIN"));
}

DbError Database::CommitTrans()
{
    if (!IsOpen()) return lastError_ = MakeDbError(dbErrObjectClosed);
    if (!InTransaction()) return lastError_ = {};
    // Rows written since damage was found stay out of the file.
    if (connection_->KeptUnwritten()) {
        connection_->RunPlain(QStringLiteral("ROLLBACK"));
        return lastError_ = MakeDbError(dbErrNotUpdatable);
    }
    return lastError_ = connection_->RunPlain(QStringLiteral("COMMIT"));
}

DbError Database::Rollback()
{
    if (!IsOpen()) return lastError_ = MakeDbError(dbErrObjectClosed);
    if (!InTransaction()) return lastError_ = {};
    return lastError_ = connection_->RunPlain(QStringLiteral("ROLLBACK"));
}

bool Database::InTransaction() const { return IsOpen() && connection_->InTransaction(); }

std::shared_ptr<QueryDef> Database::CreateQueryDef(const QString& name, const QString& sql)
{
    if (!IsOpen()) {
        lastError_ = MakeDbError(dbErrObjectClosed);
        return nullptr;
    }
    auto q = std::make_shared<QueryDef>(connection_, name);
    lastError_ = q->SetSQL(sql);
    return lastError_ ? nullptr : q;
}

std::shared_ptr<Recordset> Database::OpenRecordset(const QString& sql, int type, int options)
{
    return Recordset::Open(connection_, sql, {}, type, options, &lastError_);
}

} // namespace tv
