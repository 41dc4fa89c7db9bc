#include "dberror.h"

namespace tv {

DbError MakeDbError(int number, const QString& detail)
{
    QString text;
    switch (number) {
    case dbErrInvalidArgument: text = QStringLiteral("Invalid argument."); break;
    case dbErrUpdateWithoutEdit: text = QStringLiteral("Update or CancelUpdate without AddNew or Edit."); break;
    case dbErrNoCurrentRecord: text = QStringLiteral("No current record."); break;
    case dbErrFileNotFound: text = QStringLiteral("Could not find file '%1'."); break;
    case dbErrNotUpdatable: text = QStringLiteral("Cannot update. Database or object is read-only."); break;
    case dbErrNeedsPassword: text = QStringLiteral("Not a valid password."); break;
    case dbErrSyntax: text = QStringLiteral("Syntax error in query expression '%1'."); break;
    case dbErrTextAfterEnd: text = QStringLiteral("Characters found after end of SQL statement."); break;
    case dbErrRecordDeleted: text = QStringLiteral("Record is deleted."); break;
    case dbErrDatabaseExists: text = QStringLiteral("Database already exists."); break;
    case dbErrItemNotFound: text = QStringLiteral("Item '%1' not found in this collection."); break;
    case dbErrObjectClosed: text = QStringLiteral("Object invalid or no longer set."); break;
    default: text = QStringLiteral("%1"); break;
    }
    if (text.contains(QLatin1String("%1"))) text = text.arg(detail);
    else if (!detail.isEmpty()) text += QLatin1Char(' ') + detail;
    return DbError{number, text};
}

} // namespace tv
