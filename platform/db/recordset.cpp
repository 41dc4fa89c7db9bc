#include "recordset.h"

#include "backgroundreads.h"
#include "findtable.h"
#include "keyedrows.h"

#include "engine.h"

#include <QHash>
#include <QRegularExpression>

namespace tv {

namespace {

// Jet type and size of a column from its declared type.
std::pair<int, int> readDeclaration(const QString& declared)
{
    const QString d = declared.toUpper();
    auto has = [&d](const char* w) { return d.contains(QLatin1String(w)); };
    if (has("LONGTEXT") || has("MEMO")) return {dbMemo, 0};
    if (has("CHAR") || has("TEXT") || has("CLOB")) {
        static const QRegularExpression size(QStringLiteral("\\((\\d+)\\)"));
        const QRegularExpressionMatch m = size.match(d);
        return {dbText, m.hasMatch() ? m.captured(1).toInt() : 255};
    }
    if (has("BIGINT")) return {dbBigInt, 8};
    if (has("SMALLINT") || has("SHORT")) return {dbInteger, 2};
    if (has("TINYINT") || has("BYTE")) return {dbByte, 1};
    if (has("INT") || has("LONG") || has("COUNTER")) return {dbLong, 4};
    if (has("DATE") || has("TIME")) return {dbDate, 8};
    if (has("BIT") || has("BOOL") || has("YESNO")) return {dbBoolean, 1};
    if (has("CURRENCY") || has("MONEY")) return {dbCurrency, 8};
    if (has("SINGLE")) return {dbSingle, 4};
    if (has("DOUBLE") || has("FLOAT") || has("REAL")) return {dbDouble, 8};
    if (has("DECIMAL") || has("NUMERIC")) return {dbDecimal, 17};
    if (has("BLOB") || has("BINARY") || has("IMAGE")) return {dbLongBinary, 0};
    return {0, 0};
}

// The type of a declared column. A catalogue declares few kinds of column, and every opened
// recordset asks for each of its columns: the answers are kept.
std::pair<int, int> typeFromDeclaration(const QString& declared)
{
    static thread_local QHash<QString, std::pair<int, int>> known;
    if (const auto hit = known.constFind(declared); hit != known.constEnd()) return *hit;
    if (known.size() > 256) known.clear();
    return *known.insert(declared, readDeclaration(declared));
}

QString quoteName(const QString& s)
{
    QString r = s;
    r.replace(QLatin1Char('"'), QLatin1String("\"\""));
    return QLatin1Char('"') + r + QLatin1Char('"');
}

void bindFieldValue(sqlite3_stmt* stmt, int index, const Variant& value, int fieldType)
{
    if (fieldType == dbDate && !value.isEmptyOrNull()) {
        bool ok = false;
        const double serial = value.toDate(&ok);
        if (ok) {
            sqlite3_bind_double(stmt, index, serial);
            return;
        }
    }
    BindParameter(stmt, index, value, false);
}

RecordsetQueryHook& queryHook()
{
    static RecordsetQueryHook hook;
    return hook;
}

int gKeyedRowsThreshold = kKeyedRowsDefault;

// "[name]=123": the criterion a list uses to find its kept row again by its key.
bool keyCriterion(const QString& criteria, QString* name, int64_t* key)
{
    static const QRegularExpression pattern(QStringLiteral("^\\s*\\[([^\\]]+)\\]\\s*=\\s*(-?\\d{1,18})\\s*$"));
    const QRegularExpressionMatch m = pattern.match(criteria);
    if (!m.hasMatch()) return false;
    *name = m.captured(1);
    *key = m.captured(2).toLongLong();
    return true;
}

// The storage kind of the first value that is not Null in the result column `name` of `sql`,
// found by the engine; Null when there is none or the column cannot be named (a name this
// layer gave a second column of the same name).
int firstStoredKind(DbConnection& connection, const JetSql& sql, const std::vector<Variant>& parameters,
                    const QString& name)
{
    QString quoted = name;
    quoted.replace(QLatin1Char('"'), QLatin1String("\"\""));
    quoted = QLatin1Char('"') + quoted + QLatin1Char('"');
    DbError error;
    sqlite3_stmt* stmt = connection.Prepare(QStringLiteral("SELECT typeof(%1) FROM (%2) WHERE %1 IS NOT NULL LIMIT 1")
                                                .arg(quoted, sql.sql),
                                            &error);
    if (!stmt) return ResultTable::Null;
    BindParameters(stmt, sql, parameters);
    int kind = ResultTable::Null;
    if (sqlite3_step(stmt) == SQLITE_ROW) {
        const QByteArray type(reinterpret_cast<const char*>(sqlite3_column_text(stmt, 0)));
        kind = type == "integer" ? ResultTable::Integer
             : type == "real"    ? ResultTable::Real
             : type == "blob"    ? ResultTable::Blob
                                 : ResultTable::Text;
    }
    sqlite3_reset(stmt);
    sqlite3_clear_bindings(stmt);
    return kind;
}

} // namespace

void SetRecordsetQueryHook(RecordsetQueryHook hook) { queryHook() = std::move(hook); }

void SetKeyedRowsThreshold(int rows) { gKeyedRowsThreshold = rows; }

// ---- Field ----

Variant Field::Value() const
{
    if (!owner_) return Variant();
    return owner_->valueAt(ordinal_);
}

DbError Field::SetValue(const Variant& value)
{
    if (!owner_) return MakeDbError(dbErrItemNotFound, name_);
    return owner_->setValue(ordinal_, value);
}

// ---- Recordset ----

std::shared_ptr<Recordset> Recordset::Open(const std::shared_ptr<DbConnection>& connection, const QString& jetSql,
                                           std::vector<Variant> parameters, int type, int options, DbError* error)
{
    if (!connection || !connection->IsOpen()) {
        *error = MakeDbError(dbErrObjectClosed);
        return nullptr;
    }
    std::shared_ptr<Recordset> rs(new Recordset);
    rs->connection_ = connection;
    rs->name_ = jetSql;
    rs->sql_ = connection->Translate(jetSql);
    rs->parameters_ = std::move(parameters);
    rs->type_ = type;
    rs->options_ = options;
    *error = rs->load();
    if (*error) return nullptr;
    connection->AddChild(rs);
    return rs;
}

Recordset::~Recordset() = default;

bool Recordset::IsOpen() const { return !closed_ && connection_ && connection_->IsOpen(); }

void Recordset::Close()
{
    finder_.reset();
    keyed_.reset();
    closed_ = true;
    table_.reset(0);
    pending_.clear();
    edit_ = EditState::None;
}

DbError Recordset::checkOpen()
{
    if (!IsOpen()) return fail(MakeDbError(dbErrObjectClosed));
    return {};
}

DbError Recordset::load()
{
    if (!sql_.error.isEmpty()) return fail(MakeDbError(dbErrSyntax, sql_.error));
    keyed_.reset();
    DbError error;
    sqlite3_stmt* stmt = connection_->Prepare(sql_.sql, &error);
    if (!stmt) return fail(error);
    BindParameters(stmt, sql_, parameters_);
    const int columns = sqlite3_column_count(stmt);
    if (fields_.empty()) {
        for (int c = 0; c < columns; ++c) {
            auto f = std::make_unique<Field>(this, c);
            QString name = QString::fromUtf8(sqlite3_column_name(stmt, c));
            const char* table = sqlite3_column_table_name(stmt, c);
            const char* column = sqlite3_column_origin_name(stmt, c);
            if (table && column) {
                f->table_ = QString::fromUtf8(table);
                f->column_ = QString::fromUtf8(column);
                int pk = 0;
                sqlite3_table_column_metadata(connection_->Handle(), sqlite3_column_database_name(stmt, c), table,
                                              column, nullptr, nullptr, nullptr, &pk, nullptr);
                f->key_ = pk != 0;
            }
            // A second column of the same name gets its table in front, as "Category.ID".
            if (indexOf(name) >= 0) {
                if (c > 0 && name.compare(fields_[0]->name_, Qt::CaseInsensitive) == 0) keyName_.clear();
                QString other = f->table_.isEmpty() ? name : f->table_ + QLatin1Char('.') + name;
                for (int n = 1; indexOf(other) >= 0; ++n) other = name + QString::number(n);
                name = other;
            }
            if (c == 0 && f->key_ && sqlite3_stmt_readonly(stmt)) keyName_ = name;
            f->name_ = name;
            const auto [typeCode, size] = typeFromDeclaration(QString::fromUtf8(sqlite3_column_decltype(stmt, c)));
            f->type_ = typeCode;
            f->size_ = size;
            fields_.push_back(std::move(f));
        }
        table_.reset(columns);
    } else {
        table_.clearRows();
    }
    // The statement gave the columns; the rows are read apart, maybe by another connection.
    sqlite3_reset(stmt);
    sqlite3_clear_bindings(stmt);
    stmt = nullptr;
    if (!(options_ & dbAppendOnly)) {
        // A window may paint while a long read runs, and with it drop this recordset.
        const auto keep = weak_from_this().lock();
        if (queryHook()) queryHook()(sql_.sql, parameters_);
        // A result of a few rows at most ("Top 1") is read at once: reading its keys first
        // would only run it twice.
        bool empty = false;
        if (!keyName_.isEmpty() && !(sql_.top >= 0 && sql_.top < gKeyedRowsThreshold)) {
            keyed_ = KeyedRows::Open(*connection_, sql_, parameters_, keyName_, columns, gKeyedRowsThreshold, &error,
                                     &empty);
        }
        if (empty) table_.clearRows();
        else if (!keyed_ && !error) error = readAll();
        // A close while the read was waited for ended it: that, not how it ended, is the news.
        if (closed_ || !connection_->IsOpen()) {
            Close();
            return fail(MakeDbError(dbErrObjectClosed));
        }
    }
    if (error) return fail(error);
    // Expression columns take the type of their first value that is not Null when they are
    // first read.
    const int sample = keyed_ ? std::min(rows(), int(KeyedRows::kTypeSampleRows)) : rows();
    for (auto& f : fields_) {
        if (f->type_ != 0) continue;
        int storage = ResultTable::Null;
        for (int r = 0; r < sample && storage == ResultTable::Null; ++r) {
            if (!keyed_) {
                storage = table_.storage(r, f->ordinal_);
                continue;
            }
            int offset = 0;
            DbError e;
            storage = keyed_->block(r, &offset, &e).storage(offset, f->ordinal_);
        }
        // Leading Nulls (a date column of files never started) say nothing of the type: the
        // engine finds the first value further down.
        if (storage == ResultTable::Null && keyed_ && sample < rows())
            storage = firstStoredKind(*connection_, sql_, parameters_, f->name_);
        switch (storage) {
        case ResultTable::Integer: f->type_ = dbLong; f->size_ = 4; break;
        case ResultTable::Real: f->type_ = dbDouble; f->size_ = 8; break;
        case ResultTable::Blob: f->type_ = dbLongBinary; break;
        default: f->type_ = dbText; f->size_ = 255; break;
        }
    }
    pos_ = 0;
    noMatch_ = false;
    edit_ = EditState::None;
    return ok();
}

DbError Recordset::readAll()
{
    table_.clearRows();
    // Read apart and taken over whole: a window painting meanwhile sees no rows, not half.
    ResultTable rows;
    rows.reset(table_.columnCount());
    const DbError error = ReadRows(
        *connection_, sql_.sql, sql_, parameters_,
        [&rows](sqlite3_stmt* stmt) {
            rows.appendRow(stmt);
            return true;
        },
        [&rows] { rows.clearRows(); });
    if (!closed_) table_ = std::move(rows);
    return error;
}

int Recordset::rows() const { return keyed_ ? keyed_->rowCount() : table_.rowCount(); }

Variant Recordset::cellValue(int row, int field)
{
    const int type = fields_[size_t(field)]->type_;
    if (!keyed_) return table_.value(row, field, type);
    int offset = 0;
    DbError error;
    const ResultTable& block = keyed_->block(row, &offset, &error);
    if (error) fail(error);
    return offset < block.rowCount() ? block.value(offset, field, type) : Variant::null();
}

DbError Recordset::materialize()
{
    if (!keyed_) return {};
    keyed_.reset();
    const auto keep = weak_from_this().lock();
    DbError error = readAll();
    if (closed_) return fail(MakeDbError(dbErrObjectClosed));
    // Rows deleted or added since the keys were read move the end.
    if (pos_ > rows()) pos_ = rows();
    return error ? fail(error) : DbError{};
}

int Recordset::indexOf(const QString& name) const
{
    for (const auto& f : fields_)
        if (f->name_.compare(name, Qt::CaseInsensitive) == 0) return f->ordinal_;
    return -1;
}

Field& Recordset::Fields(int index)
{
    if (index < 0 || index >= FieldCount()) {
        fail(MakeDbError(dbErrItemNotFound, QString::number(index)));
        return missing_;
    }
    return *fields_[size_t(index)];
}

Field& Recordset::Fields(const QString& name)
{
    const int i = indexOf(name);
    if (i < 0) {
        fail(MakeDbError(dbErrItemNotFound, name));
        missing_.name_ = name;
        return missing_;
    }
    return *fields_[size_t(i)];
}

Variant Recordset::valueAt(int field)
{
    if (!IsOpen()) {
        fail(MakeDbError(dbErrObjectClosed));
        return Variant();
    }
    if (edit_ != EditState::None && assigned_[size_t(field)]) return pending_[size_t(field)];
    if (edit_ == EditState::Adding) return Variant::null();
    if (IsBOF() || IsEOF()) {
        fail(MakeDbError(dbErrNoCurrentRecord));
        return Variant();
    }
    return cellValue(pos_, field);
}

DbError Recordset::setValue(int field, const Variant& value)
{
    if (DbError e = checkOpen()) return e;
    if (edit_ == EditState::None) return fail(MakeDbError(dbErrUpdateWithoutEdit));
    if (fields_[size_t(field)]->table_.isEmpty()) return fail(MakeDbError(dbErrNotUpdatable));
    pending_[size_t(field)] = value;
    assigned_[size_t(field)] = true;
    return ok();
}

DbError Recordset::MoveFirst()
{
    if (DbError e = checkOpen()) return e;
    if (rows() == 0) return fail(MakeDbError(dbErrNoCurrentRecord));
    pos_ = 0;
    return ok();
}

DbError Recordset::MoveLast()
{
    if (DbError e = checkOpen()) return e;
    if (rows() == 0) return fail(MakeDbError(dbErrNoCurrentRecord));
    pos_ = rows() - 1;
    return ok();
}

DbError Recordset::MoveNext()
{
    if (DbError e = checkOpen()) return e;
    if (IsEOF()) return fail(MakeDbError(dbErrNoCurrentRecord));
    ++pos_;
    return ok();
}

DbError Recordset::MovePrevious()
{
    if (DbError e = checkOpen()) return e;
    if (IsBOF()) return fail(MakeDbError(dbErrNoCurrentRecord));
    --pos_;
    return ok();
}

DbError Recordset::SetAbsolutePosition(int position)
{
    if (DbError e = checkOpen()) return e;
    if (position < 0 || position >= rows()) return fail(MakeDbError(dbErrInvalidArgument));
    pos_ = position;
    return ok();
}

VariantArray Recordset::GetRows(int count)
{
    VariantArray out;
    if (checkOpen()) return out;
    if (IsBOF() && rows() > 0) pos_ = 0;
    const int n = IsEOF() ? 0 : std::min(count, rows() - pos_);
    if (n <= 0) {
        ok();
        return out;
    }
    out.redim(0, FieldCount() - 1, 0, n - 1);
    if (keyed_)
        if (DbError e = keyed_->prefetch(pos_, pos_ + n - 1)) fail(e);
    for (int r = 0; r < n; ++r)
        for (int f = 0; f < FieldCount(); ++f) out.at(f, r) = cellValue(pos_ + r, f);
    pos_ += n;
    ok();
    return out;
}

DbError Recordset::find(const QString& criteria, int from, int step)
{
    if (DbError e = checkOpen()) return e;
    noMatch_ = true;
    if (rows() == 0 || from < 0 || from >= rows()) return ok();
    QString name;
    int64_t key = 0;
    if (keyed_ && keyCriterion(criteria, &name, &key) && name.compare(fields_[0]->name_, Qt::CaseInsensitive) == 0) {
        const int found = keyed_->findKey(key, from, step);
        if (found >= 0) {
            pos_ = found;
            noMatch_ = false;
        }
        return ok();
    }
    if (DbError e = materialize()) return e;
    if (from >= rows()) return ok();
    if (!finder_) {
        QStringList names;
        for (const auto& f : fields_) names.append(f->name_);
        DbError error;
        finder_ = FindTable::Create(connection_, &table_, names, &error);
        if (!finder_) return fail(error);
    }
    const JetSql& sql = connection_->Translate(criteria);
    if (!sql.error.isEmpty()) return fail(MakeDbError(dbErrSyntax, sql.error));
    int found = -1;
    if (DbError e = finder_->Find(sql.sql, from, step, &found)) return fail(e);
    if (found >= 0) {
        pos_ = found;
        noMatch_ = false;
    }
    return ok();
}

DbError Recordset::FindFirst(const QString& criteria) { return find(criteria, 0, 1); }
DbError Recordset::FindLast(const QString& criteria) { return find(criteria, rows() - 1, -1); }
DbError Recordset::FindNext(const QString& criteria) { return find(criteria, IsBOF() ? 0 : pos_ + 1, 1); }
DbError Recordset::FindPrevious(const QString& criteria)
{
    return find(criteria, IsEOF() ? rows() - 1 : pos_ - 1, -1);
}

DbError Recordset::Requery()
{
    if (DbError e = checkOpen()) return e;
    return load();
}

DbError Recordset::AddNew()
{
    if (DbError e = checkOpen()) return e;
    if (type_ == dbOpenSnapshot || type_ == dbOpenForwardOnly || (options_ & dbReadOnly))
        return fail(MakeDbError(dbErrNotUpdatable));
    if (DbError e = materialize()) return e;
    edit_ = EditState::Adding;
    pending_.assign(fields_.size(), Variant());
    assigned_.assign(fields_.size(), false);
    return ok();
}

DbError Recordset::Edit()
{
    if (DbError e = checkOpen()) return e;
    if (type_ == dbOpenSnapshot || type_ == dbOpenForwardOnly || (options_ & (dbReadOnly | dbAppendOnly)))
        return fail(MakeDbError(dbErrNotUpdatable));
    if (IsBOF() || IsEOF()) return fail(MakeDbError(dbErrNoCurrentRecord));
    edit_ = EditState::Editing;
    pending_.assign(fields_.size(), Variant());
    assigned_.assign(fields_.size(), false);
    return ok();
}

DbError Recordset::CancelUpdate()
{
    if (DbError e = checkOpen()) return e;
    if (edit_ == EditState::None) return fail(MakeDbError(dbErrUpdateWithoutEdit));
    edit_ = EditState::None;
    return ok();
}

// The table the assigned fields belong to, and the position of its key field (-1: none).
QString Recordset::baseTable(int* keyField, DbError* error) const
{
    QString table;
    for (const auto& f : fields_) {
        if (!assigned_[size_t(f->ordinal_)] && !(table.isEmpty() && edit_ == EditState::Adding)) continue;
        if (f->table_.isEmpty()) continue;
        if (table.isEmpty()) table = f->table_;
        else if (assigned_[size_t(f->ordinal_)] && f->table_ != table) {
            *error = MakeDbError(dbErrNotUpdatable);
            return {};
        }
    }
    *keyField = -1;
    for (const auto& f : fields_)
        if (f->key_ && f->table_ == table) *keyField = f->ordinal_;
    if (table.isEmpty()) *error = MakeDbError(dbErrNotUpdatable);
    return table;
}

DbError Recordset::Update()
{
    if (DbError e = checkOpen()) return e;
    if (edit_ == EditState::None) return fail(MakeDbError(dbErrUpdateWithoutEdit));
    const bool anyAssigned = std::find(assigned_.begin(), assigned_.end(), true) != assigned_.end();
    if (edit_ == EditState::Editing && !anyAssigned) {
        edit_ = EditState::None;
        return ok();
    }
    DbError error;
    int keyField = -1;
    const QString table = baseTable(&keyField, &error);
    if (error) return fail(error);
    if (edit_ == EditState::Editing && keyField < 0) return fail(MakeDbError(dbErrNotUpdatable));

    QStringList columns;
    std::vector<int> bound;
    for (const auto& f : fields_) {
        if (assigned_[size_t(f->ordinal_)] && f->table_ == table) {
            columns.append(quoteName(f->column_));
            bound.push_back(f->ordinal_);
        }
    }
    QString sql;
    if (edit_ == EditState::Adding) {
        sql = columns.isEmpty() ? QStringLiteral("INSERT INTO %1 DEFAULT VALUES").arg(quoteName(table))
                                : QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                                      .arg(quoteName(table), columns.join(QLatin1Char(',')),
                                           QStringLiteral("?,").repeated(columns.size()).chopped(1));
    } else {
        sql = QStringLiteral("UPDATE %1 SET %2=? WHERE %3=?")
                  .arg(quoteName(table), columns.join(QStringLiteral("=?,")),
                       quoteName(fields_[size_t(keyField)]->column_));
    }
    sqlite3_stmt* stmt = connection_->Prepare(sql, &error);
    if (!stmt) return fail(error);
    int index = 1;
    for (int f : bound) bindFieldValue(stmt, index++, pending_[size_t(f)], fields_[size_t(f)]->type_);
    if (edit_ == EditState::Editing) bindFieldValue(stmt, index, cellValue(pos_, keyField), dbLong);
    const int rc = sqlite3_step(stmt);
    if (rc != SQLITE_DONE) error = connection_->EngineError();
    // The row was read into memory; someone may have deleted it since.
    else if (edit_ == EditState::Editing && sqlite3_changes(connection_->Handle()) == 0)
        error = MakeDbError(dbErrRecordDeleted);
    sqlite3_reset(stmt);
    sqlite3_clear_bindings(stmt);
    if (error) return fail(error);

    std::vector<int> types;
    for (const auto& f : fields_) types.push_back(f->type_);
    if (edit_ == EditState::Adding) {
        std::vector<Variant> row(fields_.size(), Variant::null());
        for (int f : bound) row[size_t(f)] = pending_[size_t(f)];
        if (keyField >= 0 && !assigned_[size_t(keyField)])
            row[size_t(keyField)] = Variant(int32_t(sqlite3_last_insert_rowid(connection_->Handle())));
        const bool wasEof = IsEOF();
        table_.appendRow(row, types);
        if (wasEof) pos_ = rows();
    } else {
        for (int f : bound) {
            if (keyed_) keyed_->setCell(pos_, f, pending_[size_t(f)], types[size_t(f)]);
            else table_.setCell(pos_, f, pending_[size_t(f)], types[size_t(f)]);
        }
    }
    edit_ = EditState::None;
    return ok();
}

} // namespace tv
