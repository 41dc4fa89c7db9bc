#pragma once

#include "dberror.h"
#include "platform/runtime/variant.h"

#include <QString>
#include <memory>
#include <vector>

namespace tv {

class DbConnection;
class Recordset;

// A declared parameter of a query definition: its name (empty for a bare "?") and value.
struct Parameter {
    QString Name;
    Variant Value;
};

// A temporary query definition: a Jet SQL text with declared parameters. Made by
// Database::CreateQueryDef; closed by Close() or when its database closes.
class QueryDef : public std::enable_shared_from_this<QueryDef> {
public:
    QueryDef(std::shared_ptr<DbConnection> connection, QString name);
    ~QueryDef();

    const QString& Name() const { return name_; }
    const QString& SQL() const { return sql_; }
    // Sets the text; the parameters become those it declares, all Empty.
    DbError SetSQL(const QString& sql);

    int ParameterCount() const { return int(parameters_.size()); }
    // By name (case-blind) or by 0-based position. An unknown one sets LastError() to 3265
    // and gives a scratch parameter that nothing reads.
    Parameter& Parameters(const QString& name);
    Parameter& Parameters(int index);

    std::shared_ptr<Recordset> OpenRecordset(int type = 2, int options = 0);
    DbError Execute();
    // The rows the last Execute() changed.
    int RecordsAffected() const { return recordsAffected_; }
    void Close();
    bool IsOpen() const;
    const DbError& LastError() const { return lastError_; }

private:
    std::vector<Variant> values() const;
    std::shared_ptr<DbConnection> connection_;
    QString name_;
    QString sql_;
    std::vector<Parameter> parameters_;
    int recordsAffected_ = 0;
    Parameter scratch_;
    DbError lastError_;
};

} // namespace tv
