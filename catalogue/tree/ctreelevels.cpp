#include "catalogue/tree/ctreelevels.h"

#include "catalogue/tree/modsqltree.h"
#include "platform/db/database.h"
#include "platform/db/querydef.h"
#include "platform/db/recordset.h"

#include <QScopeGuard>

namespace tv {

// ---- TreeNodes ----

TreeNodes::TreeNodes(std::shared_ptr<Recordset> recordset) : rs_(std::move(recordset))
{
    count_ = rs_ ? rs_->RecordCount() : 0;
}

TreeNodes::~TreeNodes()
{
    if (rs_) rs_->Close();
}

Variant TreeNodes::Value(int row, int column) const
{
    if (row < 0 || row >= count_ || column < 0 || column >= rs_->FieldCount()) return Variant::null();
    if (rs_->AbsolutePosition() != row && rs_->SetAbsolutePosition(row)) return Variant::null();
    return rs_->Fields(column).Value();
}

Variant TreeNodes::FieldValue(int row, const QString& name) const
{
    for (int column = 0; column < rs_->FieldCount(); ++column)
        if (rs_->Fields(column).Name().compare(name, Qt::CaseInsensitive) == 0) return Value(row, column);
    return Variant::null();
}

bool TreeKeyMatches(const Variant& value, const QString& key)
{
    if (value.isEmptyOrNull()) return false;
    if (value.isNumber() || value.isBool()) {
        bool ok = false;
        const double k = key.trimmed().toDouble(&ok);
        return ok && k == value.toDouble();
    }
    return value.text() == key;
}

// ---- CTreeLevels ----

struct CTreeLevels::LevelRecord {
    Variant key;
    QString sql;                          // as the host gave it
    std::shared_ptr<QueryDef> itemQuery;  // temporary: never stored in the catalogue
    std::unique_ptr<CDistinctBuffer> parentBuffer;
};

CTreeLevels::CTreeLevels() = default;
CTreeLevels::~CTreeLevels() { Clear(); }

CTreeLevels::LevelRecord* CTreeLevels::record(int level) const
{
    return level >= 1 && level <= Count() ? levels_[size_t(level - 1)].get() : nullptr;
}

void CTreeLevels::Create(std::shared_ptr<Database> database, int plusMinusMode)
{
    db_ = std::move(database);
    plusMinusMode_ = plusMinusMode;
}

void CTreeLevels::Clear()
{
    for (const auto& level : levels_)
        if (level->itemQuery) level->itemQuery->Close();
    levels_.clear();
}

DbError CTreeLevels::AddNew(const Variant& key, const QString& sql)
{
    auto level = std::make_unique<LevelRecord>();
    level->key = key;
    level->sql = sql;
    LevelRecord* added = level.get();
    levels_.push_back(std::move(level));
    if (!db_) return MakeDbError(dbErrObjectClosed);

    const QString itemSql = Count() >= 3 ? MakeSQLItemString(sql) : sql;
    added->itemQuery = db_->CreateQueryDef(QString(), itemSql);
    if (!added->itemQuery) return db_->LastError();
    if (DbError e = CreateParentBuffers(false)) return e;
    if (!inSetup_) Changed.raise();
    return {};
}

void CTreeLevels::Setup(const QStringList& sqls)
{
    Clear();
    inSetup_ = true;
    {
        // A failing level must not leave the setup flag on: later AddNew calls would then
        // never tell the tree.
        auto done = qScopeGuard([this] { inSetup_ = false; });
        for (const QString& sql : sqls) {
            if (DbError error = AddNew(Variant(QString()), sql)) {
                ShowTreeError(QStringLiteral("CTreeLevels_Setup"), error);
                return;
            }
        }
    }
    if (ReInit) Changed.raise();
}

Variant CTreeLevels::id(int level) const
{
    const LevelRecord* r = record(level);
    return r ? r->key : Variant();
}

void CTreeLevels::setId(int level, const Variant& key)
{
    if (LevelRecord* r = record(level)) r->key = key;
}

QString CTreeLevels::LevelSQL(int level) const
{
    const LevelRecord* r = record(level);
    return r ? r->sql : QString();
}

const CDistinctBuffer* CTreeLevels::ParentBuffer(int level) const
{
    const LevelRecord* r = record(level);
    return r ? r->parentBuffer.get() : nullptr;
}

DbError CTreeLevels::OpenParentBuffer(int level, std::unique_ptr<CDistinctBuffer>* buffer)
{
    buffer->reset();
    if (level < 1 || level >= Count() || !db_) return {};
    const QString sql = MakeSQLParentString(LevelSQL(level + 1));
    if (sql.isEmpty()) return {};
    auto rs = db_->OpenRecordset(sql + QLatin1String(" order by 1"), dbOpenSnapshot);
    if (!rs) return db_->LastError();
    auto closeRs = qScopeGuard([&] { rs->Close(); });
    std::vector<Variant> keys;
    keys.reserve(size_t(rs->RecordCount()));
    for (int row = 0; row < rs->RecordCount(); ++row) {
        if (DbError e = rs->SetAbsolutePosition(row)) return e;
        keys.push_back(rs->Fields(0).Value());
    }
    *buffer = std::make_unique<CDistinctBuffer>();
    (*buffer)->Create(std::move(keys));
    return {};
}

DbError CTreeLevels::CreateParentBuffers(bool rebuild)
{
    if (plusMinusMode_ != 0 || Count() < 2) return {};
    for (int level = 1; level < Count(); ++level) {
        LevelRecord* r = record(level);
        if (rebuild) r->parentBuffer.reset();
        if (!r->parentBuffer) {
            if (DbError error = OpenParentBuffer(level, &r->parentBuffer)) return error;
        }
    }
    return {};
}

std::shared_ptr<TreeNodes> CTreeLevels::Getnodes(int level, const QString& parentKey)
{
    if (level > Count()) return nullptr;
    LevelRecord* r = record(level);
    if (!r || !r->itemQuery) {
        ShowTreeError(QStringLiteral("CTreeLevels_Getnodes"), 91, QStringLiteral("Die Ebene hat keine Abfrage"));
        return nullptr;
    }
    if (level >= 3) r->itemQuery->Parameters(0).Value = Variant(parentKey);
    auto rs = r->itemQuery->OpenRecordset(dbOpenSnapshot);
    if (!rs) {
        const DbError& error = r->itemQuery->LastError();
        ShowTreeError(QStringLiteral("CTreeLevels_Getnodes"), error);
        return nullptr;
    }
    return std::make_shared<TreeNodes>(std::move(rs));
}

QString CTreeLevels::FindParentKey(const QString& itemKey, int level)
{
    if (level > Count() || level < 1 || !db_) return QString();
    const QString sql = LevelSQL(level);
    auto rs = db_->OpenRecordset(MakeSQLFindParent(sql, itemKey), dbOpenSnapshot);
    if (!rs) {
        const DbError& error = db_->LastError();
        ShowTreeError(QStringLiteral("CTreeLevels_FindParentKey"), error);
        return QString();
    }
    TreeNodes rows(std::move(rs));
    if (!IsUnionSQL(sql)) return rows.Value(0, 1).text();
    for (int row = 0; row < rows.Count(); ++row)
        if (TreeKeyMatches(rows.Value(row, 0), itemKey)) return rows.Value(row, 1).text();
    return QString();
}

} // namespace tv
