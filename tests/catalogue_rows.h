#pragma once

#include "catalogue/core/moddatabase.h"

#include <QStringList>
#include <vector>

namespace tv::test {

// The rows of a query on the open catalogue, every value as text and Null as "<Null>", so a
// test can compare whole rows. No rows (and `ok` false) when the query fails or no catalogue
// is open.
inline std::vector<QStringList> CatalogueRows(const QString& sql, bool* ok = nullptr)
{
    std::vector<QStringList> rows;
    const auto rs = goDB ? goDB->OpenRecordset(sql, dbOpenSnapshot) : nullptr;
    if (ok) *ok = rs != nullptr;
    if (!rs) return rows;
    for (; !rs->IsEOF(); rs->MoveNext()) {
        QStringList row;
        for (int i = 0; i < rs->FieldCount(); ++i) {
            const Variant v = rs->Fields(i).Value();
            row << (v.isNull() ? QStringLiteral("<Null>") : v.text());
        }
        rows.push_back(row);
    }
    rs->Close();
    return rows;
}

} // namespace tv::test
