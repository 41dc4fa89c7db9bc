#include "catalogue/reports/dbcombosource.h"

#include "catalogue/reports/globaldata.h"
#include "platform/db/database.h"
#include "platform/db/field.h"
#include "platform/db/recordset.h"

namespace tv {

namespace {

// Read-only dynaset that sees changes by others.
constexpr int kReadOnlyOptions = dbReadOnly | dbSeeChanges;

QString BeforeAs(const QString& entry)
{
    const int as = entry.indexOf(QStringLiteral(" AS "), 0, Qt::CaseInsensitive);
    return (as < 0 ? entry : entry.left(as)).trimmed();
}

// Joins a condition to a WHERE or HAVING text that may still be empty.
void AppendCondition(QString& clause, const char* keyword, const QString& condition)
{
    clause += clause.isEmpty() ? QString::fromLatin1(keyword) : QStringLiteral(" AND ");
    clause += condition;
}

} // namespace

QStringList SplitSelectList(const QString& recordSource)
{
    QString list = recordSource;
    for (const char* word : {"SELECT", "DISTINCTROW", "DISTINCT"})
        list.remove(QString::fromLatin1(word), Qt::CaseInsensitive);
    list = list.trimmed();
    const int from = list.indexOf(QStringLiteral(" FROM"), 0, Qt::CaseInsensitive);
    if (from >= 0) list.truncate(from);

    QStringList entries;
    bool inString = false;
    int depth = 0;
    int start = 0;
    for (int i = 0; i < list.size(); ++i) {
        const QChar c = list.at(i);
        if (c == QLatin1Char('\'')) inString = !inString;
        else if (inString) continue;
        else if (c == QLatin1Char('(')) ++depth;
        else if (c == QLatin1Char(')')) --depth;
        else if (c == QLatin1Char(',') && depth == 0) {
            entries.append(list.mid(start, i - start).trimmed());
            start = i + 1;
        }
    }
    entries.append(list.mid(start).trimmed());
    return entries;
}

void DBComboSource::ParseRecordSource()
{
    ready_ = false;
    fields_ = Collection<clsDBField>();
    textColumn_ = -1;
    tableName_.clear();
    if (!DataBase || RecordSource.isEmpty() || NoInitRecordset) return;
    if (!readColumns(SplitSelectList(RecordSource))) {
        fields_ = Collection<clsDBField>();
        return;
    }

    auto normalise = [this](QString& name, int fallback) {
        name = normalisedName(name);
        if (name.isEmpty() && fallback > 0) name = fields_.keyAt(fallback);
    };
    normalise(ValueField, 1);
    normalise(TextField, 2);
    normalise(FilterField, 0);
    if (FilterField.isEmpty()) FilterValue = Variant::null();
    // A source with one column has no second column to show as text.
    if (ValueField.isEmpty() || TextField.isEmpty()) {
        fields_ = Collection<clsDBField>();
        return;
    }

    const int from = RecordSource.indexOf(QStringLiteral("FROM "), 0, Qt::CaseInsensitive);
    if (from >= 0) {
        QString table = RecordSource.mid(from + 5).trimmed();
        const int blank = table.indexOf(QLatin1Char(' '));
        const int comma = table.indexOf(QLatin1Char(','));
        int cut = blank;
        if (comma >= 0 && (blank < 0 || comma < blank)) cut = comma;
        if (cut >= 0) table.truncate(cut);
        tableName_ = table.remove(QLatin1Char('('));
    }

    ready_ = true;
    ApplyColumnVisibility();
    const clsDBField* text = Field(TextField);
    if (text && text->Visible) {
        textColumn_ = text->Index - 1;
    } else {
        for (const auto& entry : fields_)
            if (entry.value.Visible) { textColumn_ = entry.value.Index - 1; break; }
    }
}

bool DBComboSource::readColumns(const QStringList& entries)
{
    auto rs = DataBase->OpenRecordset(RecordSource, dbOpenDynaset, kReadOnlyOptions);
    if (!rs || rs->LastError()) return false;
    const int columns = rs->FieldCount();
    // "*" and the like: the select list does not name every column.
    bool ok = columns > 0 && columns <= entries.size();
    for (int i = 0; ok && i < columns; ++i) {
        const tv::Field& f = rs->Fields(i);
        clsDBField d;
        d.Name = f.Name();
        d.FieldType = f.Type();
        d.Index = fields_.count() + 1;
        d.SqlExpr = BeforeAs(entries.at(d.Index - 1));
        ok = fields_.add(d, d.Name);
    }
    rs->Close();
    return ok;
}

QString DBComboSource::normalisedName(const QString& name) const
{
    const clsDBField* d = Field(name);
    return d ? d->Name : QString();
}

void DBComboSource::ApplyColumnVisibility()
{
    if (!ready_) return;
    const int count = fields_.count();
    for (auto& entry : fields_) {
        clsDBField& d = entry.value;
        if (InvisibleColMode == 1)
            d.Visible = d.Index > InvisibleCols;
        else
            d.Visible = d.Name.compare(ValueField, Qt::CaseInsensitive) != 0 && d.Index <= count - InvisibleCols;
    }
}

QString DBComboSource::SplitAtClause(QString& sql, const QString& keyword)
{
    const int p = sql.lastIndexOf(keyword, -1, Qt::CaseInsensitive);
    if (p < 0) return QString();
    const QString tail = sql.mid(p);
    sql.truncate(p);
    return tail;
}

QString DBComboSource::BuildSql(const QString& fieldName, const Variant& value, bool exact, bool caseSensitive,
                                bool useDelFlag, bool ignoreWhere) const
{
    QString sql = RecordSource;
    QString orderBy = SplitAtClause(sql, QStringLiteral(" ORDER BY "));
    QString having = SplitAtClause(sql, QStringLiteral(" HAVING "));
    if (!having.isEmpty()) having = QStringLiteral(" HAVING (") + having.mid(8) + QLatin1Char(')');
    const QString groupBy = SplitAtClause(sql, QStringLiteral(" GROUP BY "));
    QString where = SplitAtClause(sql, QStringLiteral(" WHERE "));
    if (!where.isEmpty()) where = QStringLiteral(" WHERE (") + where.mid(7) + QLatin1Char(')');

    if (ignoreWhere) where.clear();
    else if (useDelFlag) AppendCondition(where, " WHERE ", tableName_ + QStringLiteral(".fDeleted = 0"));

    // A criterion the column cannot express gives no query at all: left out, it would let
    // every row through.
    auto append = [&](const clsDBField& d, const Variant& v, bool isExact, bool isCaseSensitive) {
        bool ok = true;
        const QString c = MakeSQLCriterion(d.SqlExpr, d.FieldType, v, isExact, isCaseSensitive, false, &ok);
        if (!ok || c.isEmpty()) return false;
        if (groupBy.isEmpty()) AppendCondition(where, " WHERE ", c);
        else AppendCondition(having, " HAVING ", c);
        return true;
    };

    if (!FilterValue.text().isEmpty()) {
        const clsDBField* filter = Field(FilterField);
        if (!filter || !append(*filter, FilterValue, true, true)) return QString();
    }
    if (!fieldName.isEmpty()) {
        const clsDBField* d = Field(fieldName);
        if (!d) return QString();
        if (orderBy.isEmpty() || fieldName.compare(TextField, Qt::CaseInsensitive) != 0)
            orderBy = QStringLiteral(" ORDER BY ") + QString::number(d->Index);
        if (!value.isNull() && !append(*d, value, exact, caseSensitive)) return QString();
    }
    return sql + where + groupBy + having + orderBy;
}

Variant DBComboSource::LookupRow(const QString& fieldName, const Variant& value, bool exact, bool caseSensitive,
                                 bool useDelFlag, bool ignoreWhere) const
{
    if (!ready_ || value.isEmptyOrNull()) return Variant::null();
    const QString sql = BuildSql(fieldName, value, exact, caseSensitive, useDelFlag, ignoreWhere);
    if (sql.isEmpty()) return Variant::null();
    auto rs = DataBase->OpenRecordset(sql, dbOpenDynaset, kReadOnlyOptions);
    if (!rs || rs->LastError() || rs->IsEOF()) return Variant::null();

    const clsDBField* d = Field(fieldName);
    if (d && d->FieldType == dbText && (exact || caseSensitive)) {
        // The database compares without regard to case; the caller wants the same case.
        const QString wanted = value.text();
        while (!rs->IsEOF() && !rs->Fields(d->Index - 1).Value().text().startsWith(wanted, Qt::CaseSensitive))
            rs->MoveNext();
        if (rs->IsEOF()) return Variant::null();
    }
    const VariantArray row = rs->GetRows(1);
    rs->Close();
    return row.isAllocated() ? Variant(row) : Variant::null();
}

} // namespace tv
