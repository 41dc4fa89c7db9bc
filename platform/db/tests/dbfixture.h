#pragma once

#include "platform/db/backgroundreads.h"
#include "platform/db/database.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <ostream>

namespace tv {
// Lets failing comparisons show the value and its type.
inline void PrintTo(const Variant& v, std::ostream* os)
{
    *os << "Variant(" << int(v.type()) << ", \"" << v.text().toStdString() << "\")";
}
} // namespace tv

// How a fixture's results are read: whole, every keyed result by key, or by key with every
// read run on the background connection (and waited for by a wait that only polls).
enum class Reading { Whole, ByKey, InBackground };

// A small catalogue-like database in a temporary folder, made through the layer itself. Its
// tests run in each way of reading.
class DbFixture : public ::testing::TestWithParam<Reading> {
protected:
    void SetUp() override
    {
        tv::SetKeyedRowsThreshold(GetParam() == Reading::Whole ? tv::kKeyedRowsDefault : 0);
        if (GetParam() == Reading::InBackground)
            tv::SetBackgroundReads([](const std::function<bool()>& finished) { while (!finished()) {} }, -1);
        ASSERT_TRUE(dir.isValid());
        path = dir.filePath(QStringLiteral("test.MDB"));
        tv::DbError e;
        db = tv::Database::Create(path, "k", &e);
        ASSERT_TRUE(db) << e.description.toStdString();
        db->SetReadInBackground(GetParam() == Reading::InBackground);
        exec("CREATE TABLE Category (ID INTEGER PRIMARY KEY, tCategory VARCHAR(255) COLLATE TVTEXT)");
        exec("CREATE TABLE Files (ID INTEGER PRIMARY KEY AUTOINCREMENT, tFile VARCHAR(255) COLLATE TVTEXT,"
             " iType SMALLINT, lSize INTEGER, tsCreated DATETIME, mMemo LONGTEXT, Category_ID INTEGER)");
    }

    void TearDown() override
    {
        tv::SetKeyedRowsThreshold(tv::kKeyedRowsDefault);
        tv::SetBackgroundReads(nullptr, 0);
    }

    void exec(const char* sql)
    {
        const tv::DbError e = db->Execute(QString::fromUtf8(sql));
        ASSERT_FALSE(e) << sql << ": " << e.description.toStdString();
    }

    // Rows: (ID, tFile, iType, lSize, Category_ID)
    void addFiles()
    {
        exec("INSERT INTO Category VALUES (1, 'Spiele'), (2, 'Ärger')");
        exec("INSERT INTO Files (ID, tFile, iType, lSize, tsCreated, Category_ID) VALUES"
             " (1, 'Boulder.ATR', 1, 92176, 45000.25, 1), (2, 'river.xex', 11, 8000, 45001.75, NULL),"
             " (3, 'Zork.ATR', 1, 133136, 45002, 2), (4, 'readme.txt', 18, NULL, NULL, NULL)");
    }

    QTemporaryDir dir;
    QString path;
    std::shared_ptr<tv::Database> db;
};
