#include "querydef.h"

#include "connection.h"
#include "recordset.h"

namespace tv {

QueryDef::QueryDef(std::shared_ptr<DbConnection> connection, QString name)
    : connection_(std::move(connection)), name_(std::move(name))
{
}

QueryDef::~QueryDef() = default;

bool QueryDef::IsOpen() const { return connection_ && connection_->IsOpen(); }

DbError QueryDef::SetSQL(const QString& sql)
{
    if (!IsOpen()) return lastError_ = MakeDbError(dbErrObjectClosed);
    const JetSql& t = connection_->Translate(sql);
    sql_ = sql;
    parameters_.clear();
    for (const QString& name : t.parameters) parameters_.push_back({name, Variant()});
    lastError_ = t.error.isEmpty() ? DbError{} : MakeDbError(dbErrSyntax, t.error);
    return lastError_;
}

Parameter& QueryDef::Parameters(const QString& name)
{
    for (Parameter& p : parameters_)
        if (!p.Name.isEmpty() && p.Name.compare(name, Qt::CaseInsensitive) == 0) return p;
    lastError_ = MakeDbError(dbErrItemNotFound, name);
    scratch_ = {name, Variant()};
    return scratch_;
}

Parameter& QueryDef::Parameters(int index)
{
    if (index >= 0 && index < ParameterCount()) return parameters_[size_t(index)];
    lastError_ = MakeDbError(dbErrItemNotFound, QString::number(index));
    scratch_ = {};
    return scratch_;
}

std::vector<Variant> QueryDef::values() const
{
    std::vector<Variant> v;
    for (const Parameter& p : parameters_) v.push_back(p.Value);
    return v;
}

std::shared_ptr<Recordset> QueryDef::OpenRecordset(int type, int options)
{
    if (!IsOpen()) {
        lastError_ = MakeDbError(dbErrObjectClosed);
        return nullptr;
    }
    auto rs = Recordset::Open(connection_, sql_, values(), type, options, &lastError_);
    return rs;
}

DbError QueryDef::Execute()
{
    if (!IsOpen()) return lastError_ = MakeDbError(dbErrObjectClosed);
    return lastError_ = connection_->Run(connection_->Translate(sql_), values(), &recordsAffected_);
}

void QueryDef::Close()
{
    connection_.reset();
    parameters_.clear();
}

} // namespace tv
