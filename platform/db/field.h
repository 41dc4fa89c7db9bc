#pragma once

#include "dberror.h"
#include "platform/runtime/variant.h"

#include <QString>

namespace tv {

class Recordset;

// Field type codes as the callers read them from Field::Type. Stored in layouts and compared
// by callers: never renumber.
enum DbFieldType : int {
    dbBoolean = 1, dbByte = 2, dbInteger = 3, dbLong = 4, dbCurrency = 5, dbSingle = 6,
    dbDouble = 7, dbDate = 8, dbBinary = 9, dbText = 10, dbLongBinary = 11, dbMemo = 12,
    dbBigInt = 16, dbVarBinary = 17, dbNumeric = 19, dbDecimal = 20, dbFloat = 21, dbTime = 22,
};

// One column of a recordset: name, type, size and position, and the value in the current
// row. Owned by its recordset and valid while the recordset lives.
class Field {
public:
    Field(Recordset* owner, int ordinal) : owner_(owner), ordinal_(ordinal) {}

    const QString& Name() const { return name_; }
    int Type() const { return type_; }
    int Size() const { return size_; }
    int OrdinalPosition() const { return ordinal_; }

    // The value in the current row (Null allowed). Without a current row: Empty, and the
    // recordset's LastError() is 3021.
    Variant Value() const;
    // Assigns a value between Edit/AddNew and Update.
    DbError SetValue(const Variant& value);

private:
    friend class Recordset;
    Recordset* owner_;
    int ordinal_;
    QString name_;
    int type_ = dbText;
    int size_ = 0;
    QString table_;     // base table of the column, empty for an expression
    QString column_;    // column name in the base table
    bool key_ = false;  // the table's row key
};

} // namespace tv
