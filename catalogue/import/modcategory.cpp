#include "modcategory.h"

#include "catalogue/core/moddatabase.h"
#include "catalogue/core/modlang.h"
#include "sqltext.h"
#include "platform/gui/msgbox.h"

namespace tv {

namespace {

constexpr int kCategorySize = 255;  // defined size of Category.tCategory

std::function<void()>& countedHook()
{
    static std::function<void()> hook;
    return hook;
}

DbError Execute(const QString& sql)
{
    if (!goDB) return MakeDbError(dbErrObjectClosed);
    return goDB->Execute(sql);
}

} // namespace

void SetCategoryCountedHook(std::function<void()> hook) { countedHook() = std::move(hook); }

bool CategoryExists(const QString& name, const QString& extraCondition, bool showMessage)
{
    QString where = QStringLiteral("tCategory ='") + SqlQuoted(name) + QLatin1Char('\'') + extraCondition;
    const bool exists =
        Variant(LookupField(QStringLiteral("ID"), QStringLiteral("Category"), where)).toLong() > 0;
    if (exists && showMessage)
        MsgBox(Translate(QStringLiteral("Diese Kategorie besteht schon!")), vbExclamation | vbOKOnly);
    return exists;
}

qint32 GetCategoryID(const QString& name, DbError* error)
{
    DbError ignored;
    DbError& err = error ? *error : ignored;
    err = {};
    if (!goDB) {
        err = MakeDbError(dbErrObjectClosed);
        return 0;
    }
    // Looked up as it would be stored: a longer name must find the row it made before.
    const QString stored = name.left(kCategorySize);
    // Another program may add a category between the count and the write: then its number
    // is taken (or the name is there now), and the lookup and the count are read again.
    for (int attempt = 0; attempt < 8; ++attempt) {
        err = {};
        const auto rs = goDB->OpenRecordset(
            QStringLiteral("Select * From Category where tCategory='") + SqlQuoted(stored) + QLatin1Char('\''), dbOpenDynaset);
        if (!rs) {
            err = goDB->LastError();
            return 0;
        }
        qint32 id = 0;
        if (!rs->IsEOF()) {
            id = rs->Value(QStringLiteral("ID")).toLong();
        } else {
            QString noWhere;
            const qint32 next =
                Variant(LookupField(QStringLiteral("Max(ID)"), QStringLiteral("Category"), noWhere)).toLong() + 1;
            // Copied first: the hook may let go of itself.
            if (const auto hook = countedHook()) hook();
            err = rs->AddNew();
            if (!err) err = rs->Fields(QStringLiteral("ID")).SetValue(Variant(next));
            if (!err) err = rs->Fields(QStringLiteral("tCategory")).SetValue(Variant(stored));
            if (!err) err = rs->Update();
            if (!err) id = next;
        }
        rs->Close();
        if (!IsKeyTaken(err)) return id;
    }
    return 0;
}

DbError DeleteCategory(qint32 id)
{
    if (DbError err = Execute(QStringLiteral("Update MainFiles Set Category_ID=Null where Category_ID=") +
                              QString::number(id)))
        return err;
    return Execute(QStringLiteral("Delete * from Category where ID=") + QString::number(id));
}

DbError DeleteMainFile(qint32 id)
{
    return Execute(QStringLiteral("Delete * from MainFiles where ID=") + QString::number(id));
}

} // namespace tv
