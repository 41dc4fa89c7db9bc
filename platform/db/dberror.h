#pragma once

#include <QString>

namespace tv {

// A failure of the database layer: the error number the callers compare against and the
// description they show. Number 0 means success, so `if (err)` reads "if it failed".
// The numbers are the ones the catalogue has always used; never renumber them.
struct DbError {
    int number = 0;
    QString description;

    explicit operator bool() const { return number != 0; }
};

enum DbErrorNumber : int {
    dbErrInvalidArgument = 3001,
    dbErrUpdateWithoutEdit = 3020,   // Update or CancelUpdate without AddNew or Edit
    dbErrNoCurrentRecord = 3021,
    dbErrFileNotFound = 3024,
    dbErrNotUpdatable = 3027,
    dbErrNeedsPassword = 3031,       // the file is encrypted with another key
    dbErrSyntax = 3075,              // the SQL text cannot be read
    dbErrTextAfterEnd = 3142,        // a second statement after the first one's end
    dbErrRecordDeleted = 3167,       // the row being edited is no longer in its table
    dbErrDatabaseExists = 3204,
    dbErrItemNotFound = 3265,        // no field or parameter of that name
    dbErrObjectClosed = 3420,        // the object was closed or its database was
    dbErrEngine = 3146,              // any other failure of the engine, with its own text
};

// The error value for `number` with the layer's standard description.
DbError MakeDbError(int number, const QString& detail = QString());

} // namespace tv
