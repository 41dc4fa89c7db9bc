#pragma once

#include "platform/runtime/variant.h"

#include <QByteArray>
#include <cstdint>
#include <vector>

struct sqlite3_stmt;
struct sqlite3_context;

namespace tv {

// The rows of a query result in one compact block: per cell its storage class and value,
// texts as UTF-8 in one arena. Variants are made only when a cell is read, so reading a
// large result costs little more than stepping through it.
class ResultTable {
public:
    enum Storage : uint8_t { Null = 0, Integer = 1, Real = 2, Text = 3, Blob = 4 };

    void reset(int columns);
    void clearRows();
    int rowCount() const { return rows_; }
    int columnCount() const { return columns_; }

    // Reads the current row of a stepped statement.
    void appendRow(sqlite3_stmt* stmt);
    void appendRow(const std::vector<Variant>& values, const std::vector<int>& fieldTypes);
    // Row `row` of another table of as many columns; a row of Nulls when `row` is -1.
    void appendRow(const ResultTable& from, int row);
    void setCell(int row, int column, const Variant& value, int fieldType);

    Storage storage(int row, int column) const { return Storage(cell(row, column).storage); }
    // An Integer cell's value (0 for other storage).
    int64_t integer(int row, int column) const
    {
        const Cell& c = cell(row, column);
        return c.storage == Integer ? c.i : 0;
    }
    // The cell as a Variant of the field's type (Jet type code).
    Variant value(int row, int column, int fieldType) const;
    // The cell as an SQLite result (for criteria evaluated by the engine).
    void result(sqlite3_context* ctx, int row, int column) const;

private:
    struct Cell {
        union {
            int64_t i;
            double d;
            struct { uint32_t offset, length; } s;
        };
        uint8_t storage;
    };
    const Cell& cell(int row, int column) const { return cells_[size_t(row) * size_t(columns_) + size_t(column)]; }
    Cell makeCell(const Variant& value, int fieldType);
    int columns_ = 0;
    int rows_ = 0;
    std::vector<Cell> cells_;
    QByteArray arena_;
};

} // namespace tv
