#pragma once

#include "platform/db/database.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

// A catalogue with five categories; "Games" (4) is flagged as deleted, and "abc" (1) and
// "ABC" (2) differ only in case.
class ComboCatalogue : public ::testing::Test {
protected:
    QTemporaryDir dir;
    std::shared_ptr<tv::Database> db;

    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        tv::DbError error;
        db = tv::Database::Create(dir.filePath(QStringLiteral("combo.mdb")), QByteArray(), &error);
        ASSERT_TRUE(db) << error.description.toStdString();
        for (const char* sql : {
                 "CREATE TABLE Category (ID INTEGER PRIMARY KEY, tCategory TEXT COLLATE TVTEXT, fDeleted INTEGER)",
                 "INSERT INTO Category VALUES (1, 'abc', 0)",
                 "INSERT INTO Category VALUES (2, 'ABC', 0)",
                 "INSERT INTO Category VALUES (3, 'Demos', 0)",
                 "INSERT INTO Category VALUES (4, 'Games', 1)",
                 "INSERT INTO Category VALUES (5, 'Tools', 0)",
             })
            ASSERT_FALSE(db->Execute(QString::fromUtf8(sql))) << sql;
    }
    void TearDown() override
    {
        if (db) db->Close();
    }
};
