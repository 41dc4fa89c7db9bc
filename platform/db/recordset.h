#pragma once

#include "connection.h"
#include "dberror.h"
#include "field.h"
#include "resulttable.h"
#include "platform/runtime/variant.h"

#include <QString>
#include <functional>
#include <memory>
#include <vector>

namespace tv {

// Recordset types and options, with the values the callers pass.
enum RecordsetType : int { dbOpenTable = 1, dbOpenDynaset = 2, dbOpenSnapshot = 4, dbOpenForwardOnly = 8 };
enum RecordsetOption : int {
    dbReadOnly = 4, dbAppendOnly = 8, dbForwardOnly = 256, dbSeeChanges = 512,
};

// Sees the SQLite text and parameter values of every query a recordset reads (on opening
// and on Requery), for benchmarks that run the same queries the plain way. None by default.
using RecordsetQueryHook = std::function<void(const QString& sql, const std::vector<Variant>& parameters)>;
void SetRecordsetQueryHook(RecordsetQueryHook hook);

// From how many rows a recordset whose first column is its base table's key reads its keys
// first and whole rows on demand (see KeyedRows); smaller results are read whole at once.
// Tests lower it to run the keyed reading on small catalogues.
inline constexpr int kKeyedRowsDefault = 2000;
void SetKeyedRowsThreshold(int rows);

// The rows of one query, read when it opens (an append-only recordset reads none): a large
// result with a key as its first column reads its keys and then rows by key as they are
// wanted; any other is read whole into memory, and so is a keyed one as soon as a search or
// an edit needs every row. With a current row, finding, row windows for the grid and writing back to
// the base table through AddNew/Edit/Update. Made by Database or QueryDef; closed by Close()
// or when its database closes. Every failure comes back as a DbError and stays readable in
// LastError().
class Recordset : public DbChild, public std::enable_shared_from_this<Recordset> {
public:
    // Opens `jetSql` with the parameter values; check LastError() of the owner on null.
    static std::shared_ptr<Recordset> Open(const std::shared_ptr<DbConnection>& connection, const QString& jetSql,
                                           std::vector<Variant> parameters, int type, int options, DbError* error);
    ~Recordset() override;

    const QString& Name() const { return name_; }   // the SQL it was opened with
    int Type() const { return type_; }
    bool IsOpen() const;
    void Close() override;
    const DbError& LastError() const { return lastError_; }

    // Fields by 0-based position or by name (case-blind). An unknown one sets LastError()
    // to 3265 and gives a field with no table whose value is Empty.
    int FieldCount() const { return int(fields_.size()); }
    Field& Fields(int index);
    Field& Fields(const QString& name);
    bool HasField(const QString& name) const { return indexOf(name) >= 0; }
    Variant Value(const QString& name) { return Fields(name).Value(); }

    bool IsBOF() const { return rows() == 0 || pos_ < 0; }
    bool IsEOF() const { return rows() == 0 || pos_ >= rows(); }
    int RecordCount() const { return rows(); }
    DbError MoveFirst();
    DbError MoveLast();
    DbError MoveNext();
    DbError MovePrevious();
    // 0-based number of the current row, -1 without one; setting it moves there.
    int AbsolutePosition() const { return IsBOF() || IsEOF() ? -1 : pos_; }
    DbError SetAbsolutePosition(int position);

    // Up to `count` rows from the current one as a (field, row) array, both 0-based; the
    // current row moves past them. At the end: an empty array.
    VariantArray GetRows(int count);

    // Moves to the first (next) row, from the start (after the current row), that meets Jet
    // criteria; NoMatch() tells whether none did, and the current row then stays.
    DbError FindFirst(const QString& criteria);
    DbError FindNext(const QString& criteria);
    DbError FindPrevious(const QString& criteria);
    DbError FindLast(const QString& criteria);
    bool NoMatch() const { return noMatch_; }

    // Runs the query again with its parameters and moves to the first row.
    DbError Requery();

    DbError AddNew();
    DbError Edit();
    DbError Update();
    DbError CancelUpdate();

private:
    friend class Field;
    enum class EditState { None = 0, Editing = 1, Adding = 2 };
    Recordset() = default;
    DbError fail(const DbError& e) { lastError_ = e; return e; }
    DbError ok() { lastError_ = {}; return {}; }
    DbError checkOpen();
    DbError load();
    int rows() const;
    // The cell of a row, read by key when the rows are keyed.
    Variant cellValue(int row, int field);
    // Reads every row into the table (leaving keyed reading), keeping the position.
    DbError materialize();
    DbError readAll();
    int indexOf(const QString& name) const;
    Variant valueAt(int field);
    DbError setValue(int field, const Variant& value);
    DbError find(const QString& criteria, int from, int step);
    QString baseTable(int* keyField, DbError* error) const;

    std::shared_ptr<DbConnection> connection_;
    QString name_;
    JetSql sql_;
    std::vector<Variant> parameters_;
    int type_ = dbOpenDynaset;
    int options_ = 0;
    bool closed_ = false;
    std::vector<std::unique_ptr<Field>> fields_;
    Field missing_{nullptr, -1};
    ResultTable table_;
    std::unique_ptr<class KeyedRows> keyed_;
    QString keyName_;  // the first column's name as the engine gives it; empty: never keyed
    int pos_ = 0;
    bool noMatch_ = false;
    EditState edit_ = EditState::None;
    std::vector<Variant> pending_;
    std::vector<bool> assigned_;
    DbError lastError_;
    std::unique_ptr<class FindTable> finder_;
};

} // namespace tv
