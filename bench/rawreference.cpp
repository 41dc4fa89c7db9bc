#include "rawreference.h"

#include "platform/db/engine.h"
#include "platform/db/jetfunctions.h"

QString RawTable::display(int row, int column) const
{
    const RawCell& c = cells[size_t(row) * size_t(columns) + size_t(column)];
    switch (c.kind) {
    case RawCell::Integer: return QString::number(c.i);
    case RawCell::Real: return QString::number(c.d);
    case RawCell::Text: return QString::fromUtf8(texts.data() + c.text.offset, qsizetype(c.text.length));
    default: return QString();
    }
}

int RawTable::column(const QString& name) const
{
    for (int c = 0; c < int(names.size()); ++c)
        if (names[size_t(c)].compare(name, Qt::CaseInsensitive) == 0) return c;
    return -1;
}

bool RawReference::open(const QString& path, const QByteArray& key)
{
    if (sqlite3_open_v2(path.toUtf8().constData(), &db_, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK) return false;
    if (!key.isEmpty()) sqlite3_key(db_, key.constData(), int(key.size()));
    tv::RegisterJetFunctions(db_);
    return sqlite3_exec(db_, "SELECT count(*) FROM sqlite_master", nullptr, nullptr, nullptr) == SQLITE_OK;
}

RawReference::~RawReference() { sqlite3_close(db_); }

QString RawReference::lastError() const { return QString::fromUtf8(sqlite3_errmsg(db_)); }

bool RawReference::run(const QString& sql, const std::vector<QVariant>& parameters, RawTable& out)
{
    sqlite3_stmt* stmt = nullptr;
    const QByteArray text = sql.toUtf8();
    if (sqlite3_prepare_v2(db_, text.constData(), int(text.size()), &stmt, nullptr) != SQLITE_OK) return false;
    for (int p = 0; p < int(parameters.size()); ++p) {
        const QVariant& v = parameters[size_t(p)];
        switch (v.typeId()) {
        case QMetaType::Int:
        case QMetaType::LongLong:
        case QMetaType::Short:
        case QMetaType::Bool: sqlite3_bind_int64(stmt, p + 1, v.toLongLong()); break;
        case QMetaType::Double: sqlite3_bind_double(stmt, p + 1, v.toDouble()); break;
        case QMetaType::QString: {
            const QByteArray s = v.toString().toUtf8();
            sqlite3_bind_text(stmt, p + 1, s.constData(), int(s.size()), tv::kSqliteTransient);
            break;
        }
        default: sqlite3_bind_null(stmt, p + 1); break;
        }
    }
    out.columns = sqlite3_column_count(stmt);
    out.names.clear();
    for (int c = 0; c < out.columns; ++c) out.names.push_back(QString::fromUtf8(sqlite3_column_name(stmt, c)));
    out.cells.clear();
    out.texts.clear();
    int rc;
    while ((rc = sqlite3_step(stmt)) == SQLITE_ROW) {
        for (int c = 0; c < out.columns; ++c) {
            RawCell cell{};
            switch (sqlite3_column_type(stmt, c)) {
            case SQLITE_INTEGER: cell.kind = RawCell::Integer; cell.i = sqlite3_column_int64(stmt, c); break;
            case SQLITE_FLOAT: cell.kind = RawCell::Real; cell.d = sqlite3_column_double(stmt, c); break;
            case SQLITE_TEXT:
            case SQLITE_BLOB:
                cell.kind = RawCell::Text;
                cell.text.offset = unsigned(out.texts.size());
                cell.text.length = unsigned(sqlite3_column_bytes(stmt, c));
                out.texts.append(reinterpret_cast<const char*>(sqlite3_column_text(stmt, c)), cell.text.length);
                break;
            default: break;
            }
            out.cells.push_back(cell);
        }
    }
    sqlite3_finalize(stmt);
    return rc == SQLITE_DONE;
}
