#pragma once

#include "platform/runtime/collection.h"
#include "platform/runtime/variant.h"

#include <QString>

#include <memory>

namespace tv {

class Database;

// One column of a combo box's record source.
struct clsDBField {
    QString Name;       // the column name the opened result reports; the key in the field collection
    QString SqlExpr;    // the select-list expression before its " AS ", used in every criterion
    int FieldType = 0;  // field type code (DbFieldType)
    int Index = 0;      // 1-based position in the select list and in the result
    bool Visible = true;  // whether the drop-down list shows the column
};

// The database combo box's SQL layer: takes the record source (one SELECT) apart into one
// descriptor per result column once, derives SELECTs from it (a criterion on one column, the
// selection filter, the deletion flag, an ordering) and looks single rows up.
//
// Grammar of the record source, as far as this layer reads it (keywords in any case):
//   SELECT [DISTINCT|DISTINCTROW] entry {"," entry} " FROM " table ...
//          [" WHERE " cond] [" GROUP BY " ...] [" HAVING " ...] [" ORDER BY " ...]
//   entry := expr [" AS " name]
// Commas inside single-quoted strings or brackets do not separate entries. The words SELECT,
// DISTINCTROW and DISTINCT are struck wherever they stand, also inside longer names.
//
// Owned by its combo box; the database is shared with the rest of the program.
class DBComboSource {
public:
    // What the combo box's properties say; set by the combo box before ParseRecordSource.
    std::shared_ptr<Database> DataBase;
    QString RecordSource;
    QString ValueField;
    QString TextField;
    QString FilterField;
    Variant FilterValue = Variant::null();
    bool NoInitRecordset = false;
    int InvisibleColMode = 0;
    int InvisibleCols = 0;

    // Rebuilds the field collection and the derived state. ValueField, TextField and
    // FilterField come back normalised to the result's column names: an unknown name becomes
    // "", and an empty ValueField (TextField) the first (second) column. The source stays not
    // ready when there is no database, no record source, NoInitRecordset is set, or the
    // record source cannot be read.
    void ParseRecordSource();
    // Recomputes Visible of every column from InvisibleColMode and InvisibleCols.
    void ApplyColumnVisibility();

    bool Ready() const { return ready_; }
    const Collection<clsDBField>& Fields() const { return fields_; }
    const clsDBField* Field(const QString& name) const { return fields_.item(name); }
    // The word after "FROM " in the record source; the table of the deletion flag.
    const QString& TableName() const { return tableName_; }
    // 0-based column the drop-down list searches and marks first; -1 when none is visible.
    int TextColumn() const { return textColumn_; }

    // Cuts `sql` before the last occurrence of `keyword` (any case) and returns the tail from
    // the keyword on; "" (and `sql` unchanged) when the keyword does not occur.
    static QString SplitAtClause(QString& sql, const QString& keyword);

    // The record source with a criterion for `value` on the column `fieldName` (no criterion
    // for Null; an empty name adds neither criterion nor ordering), the selection filter, and
    // the deletion flag unless `ignoreWhere` drops the record source's own condition with it.
    // Criteria go into HAVING when the source groups. "" when no query can be written: an
    // unknown column, or a value the column's type cannot compare with (such as a text for a
    // number column), which then matches no row rather than every row.
    QString BuildSql(const QString& fieldName, const Variant& value, bool exact, bool caseSensitive,
                     bool useDelFlag, bool ignoreWhere) const;
    // The first row (a (column, row) array with one row) that BuildSql's query gives; Null when
    // not ready, for a Null value, or when no row matches. On a text column an exact or
    // case-sensitive lookup takes the first row whose text begins with `value` in the same case.
    Variant LookupRow(const QString& fieldName, const Variant& value, bool exact, bool caseSensitive,
                      bool useDelFlag, bool ignoreWhere) const;

private:
    bool readColumns(const QStringList& entries);
    QString normalisedName(const QString& name) const;

    Collection<clsDBField> fields_;
    bool ready_ = false;
    QString tableName_;
    int textColumn_ = -1;
};

// The select-list entries of a record source (see DBComboSource for the grammar), trimmed.
QStringList SplitSelectList(const QString& recordSource);

} // namespace tv
