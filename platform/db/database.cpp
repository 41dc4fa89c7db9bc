#include "database.h"

#include "connection.h"

namespace tv {

namespace {

QString sqlText(const QString& s)
{
    QString r = s;
    r.replace(QLatin1Char('\''), QLatin1String("''"));
    return QLatin1Char('\'') + r + QLatin1Char('\'');
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

DbError Database::Compact(const QString& source, const QString& target, const QByteArray& key)
{
    DbError error;
    auto c = DbConnection::Open(source, key, false, &error);
    if (!c) return error;
    // A single-file journal first: no -wal or -shm file may stay beside a renamed catalogue.
    error = c->RunPlain(QStringLiteral("PRAGMA journal_mode=DELETE"));
    if (!error)
        error = c->RunPlain(QStringLiteral("ATTACH DATABASE %1 AS tv_compact KEY %2")
                                .arg(sqlText(target), sqlText(QString::fromUtf8(key))));
    if (!error) {
        error = c->RunPlain(QStringLiteral("SELECT sqlcipher_export('tv_compact')"));
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
