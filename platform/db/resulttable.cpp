#include "resulttable.h"

#include "field.h"

#include "engine.h"

#include <cmath>

namespace tv {

void ResultTable::reset(int columns)
{
    columns_ = columns;
    clearRows();
}

void ResultTable::clearRows()
{
    rows_ = 0;
    cells_.clear();
    arena_.clear();
}

void ResultTable::appendRow(sqlite3_stmt* stmt)
{
    for (int c = 0; c < columns_; ++c) {
        Cell cell{};
        switch (sqlite3_column_type(stmt, c)) {
        case SQLITE_INTEGER:
            cell.storage = Integer;
            cell.i = sqlite3_column_int64(stmt, c);
            break;
        case SQLITE_FLOAT:
            cell.storage = Real;
            cell.d = sqlite3_column_double(stmt, c);
            break;
        case SQLITE_TEXT:
        case SQLITE_BLOB: {
            const bool text = sqlite3_column_type(stmt, c) == SQLITE_TEXT;
            const void* p = text ? static_cast<const void*>(sqlite3_column_text(stmt, c)) : sqlite3_column_blob(stmt, c);
            const int n = sqlite3_column_bytes(stmt, c);
            cell.storage = text ? Text : Blob;
            cell.s.offset = uint32_t(arena_.size());
            cell.s.length = uint32_t(n);
            arena_.append(static_cast<const char*>(p), n);
            break;
        }
        default:
            cell.storage = Null;
            break;
        }
        cells_.push_back(cell);
    }
    ++rows_;
}

void ResultTable::appendRow(const ResultTable& from, int row)
{
    for (int c = 0; c < columns_; ++c) {
        Cell cell{};
        if (row >= 0) {
            cell = from.cell(row, c);
            if (cell.storage == Text || cell.storage == Blob) {
                const uint32_t offset = uint32_t(arena_.size());
                arena_.append(from.arena_.constData() + cell.s.offset, cell.s.length);
                cell.s.offset = offset;
            }
        }
        cells_.push_back(cell);
    }
    ++rows_;
}

ResultTable::Cell ResultTable::makeCell(const Variant& value, int fieldType)
{
    Cell cell{};
    if (value.isEmptyOrNull()) {
        cell.storage = Null;
    } else if (value.isString() && fieldType != dbDate) {
        const QByteArray u = value.toString().toUtf8();
        cell.storage = Text;
        cell.s.offset = uint32_t(arena_.size());
        cell.s.length = uint32_t(u.size());
        arena_.append(u);
    } else if (value.isBool()) {
        cell.storage = Integer;
        cell.i = value.toBool() ? -1 : 0;
    } else if (value.type() == VarType::Integer || value.type() == VarType::Long || value.type() == VarType::Byte) {
        cell.storage = Integer;
        cell.i = value.toLong();
    } else {
        cell.storage = Real;
        cell.d = fieldType == dbDate ? value.toDate() : value.toDouble();
    }
    return cell;
}

void ResultTable::appendRow(const std::vector<Variant>& values, const std::vector<int>& fieldTypes)
{
    for (int c = 0; c < columns_; ++c) cells_.push_back(makeCell(values[size_t(c)], fieldTypes[size_t(c)]));
    ++rows_;
}

void ResultTable::setCell(int row, int column, const Variant& value, int fieldType)
{
    cells_[size_t(row) * size_t(columns_) + size_t(column)] = makeCell(value, fieldType);
}

Variant ResultTable::value(int row, int column, int fieldType) const
{
    const Cell& c = cell(row, column);
    switch (c.storage) {
    case Null:
        return Variant::null();
    case Text:
    case Blob: {
        QString s = QString::fromUtf8(arena_.constData() + c.s.offset, qsizetype(c.s.length));
        if (fieldType == dbDate) {
            bool ok = false;
            const double serial = Variant(s).toDate(&ok);
            if (ok) return Variant::fromDate(serial);
        }
        return Variant(std::move(s));
    }
    default:
        break;
    }
    const double d = c.storage == Integer ? double(c.i) : c.d;
    switch (fieldType) {
    case dbText:
    case dbMemo:
        return c.storage == Integer ? Variant(QString::number(c.i)) : Variant(QString::number(c.d, 'g', 15));
    case dbBoolean:
        return Variant(d != 0);
    case dbByte:
        if (d >= 0 && d <= 255 && d == std::trunc(d)) return Variant::fromByte(uint8_t(d));
        break;
    case dbInteger:
        if (c.storage == Integer && c.i >= -32768 && c.i <= 32767) return Variant(int16_t(c.i));
        break;
    case dbDate:
        return Variant::fromDate(d);
    case dbSingle:
        return Variant::fromSingle(float(d));
    case dbCurrency:
        return Variant::fromCurrency(d);
    case dbDouble:
        return Variant(d);
    default:
        break;
    }
    if (c.storage == Integer && c.i >= INT32_MIN && c.i <= INT32_MAX) return Variant(int32_t(c.i));
    return Variant(d);
}

void ResultTable::result(sqlite3_context* ctx, int row, int column) const
{
    const Cell& c = cell(row, column);
    switch (c.storage) {
    case Integer: sqlite3_result_int64(ctx, c.i); break;
    case Real: sqlite3_result_double(ctx, c.d); break;
    case Text: sqlite3_result_text(ctx, arena_.constData() + c.s.offset, int(c.s.length), kSqliteTransient); break;
    case Blob: sqlite3_result_blob(ctx, arena_.constData() + c.s.offset, int(c.s.length), kSqliteTransient); break;
    default: sqlite3_result_null(ctx); break;
    }
}

} // namespace tv
