#pragma once

#include "catalogue/tree/modsqltree.h"
#include "platform/db/database.h"

#include <QDateTime>
#include <QTemporaryDir>
#include <gtest/gtest.h>

// A small catalogue in a temporary folder: categories, files and starts added by the test.
class TreeCatalogue : public ::testing::Test {
protected:
    QTemporaryDir dir;
    std::shared_ptr<tv::Database> db;

    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        tv::DbError error;
        db = tv::Database::Create(dir.filePath(QStringLiteral("tree.mdb")), QByteArray(), &error);
        ASSERT_TRUE(db) << error.description.toStdString();
        for (const char* sql : {
                 "CREATE TABLE Config (ID INTEGER PRIMARY KEY, tItem TEXT, mConfig TEXT, tsCreated DATETIME)",
                 "CREATE TABLE Category (ID INTEGER PRIMARY KEY, tCategory TEXT)",
                 "CREATE TABLE MainFiles (ID INTEGER PRIMARY KEY, tFile TEXT, tPath TEXT, iFileType INTEGER, "
                 "Category_ID INTEGER)",
                 "CREATE TABLE History (ID INTEGER PRIMARY KEY, MainFiles_ID INTEGER, tsStarted DATETIME)",
                 "INSERT INTO Config (ID, tItem, mConfig) VALUES (1, 'Version', '1.0')",
             })
            execute(QString::fromUtf8(sql));
    }
    void TearDown() override
    {
        if (db) db->Close();
    }

    void execute(const QString& sql)
    {
        tv::DbError error = db->Execute(sql);
        ASSERT_FALSE(error) << sql.toStdString() << ": " << error.description.toStdString();
    }
    int addCategory(const QString& name)
    {
        const int id = ++lastCategory_;
        execute(QStringLiteral("INSERT INTO Category (ID, tCategory) VALUES (%1, %2)").arg(id).arg(tv::SQLQuote(name)));
        return id;
    }
    // Category 0 means none.
    int addFile(const QString& name, int category, int fileType)
    {
        const int id = ++lastFile_;
        execute(QStringLiteral("INSERT INTO MainFiles (ID, tFile, tPath, iFileType, Category_ID) VALUES (%1, %2, %3, "
                               "%4, %5)")
                    .arg(id)
                    .arg(tv::SQLQuote(name), tv::SQLQuote(QStringLiteral("/atari/") + name))
                    .arg(fileType)
                    .arg(category ? QString::number(category) : QStringLiteral("Null")));
        return id;
    }
    void addStart(int fileId, const QDateTime& started)
    {
        execute(QStringLiteral("INSERT INTO History (ID, MainFiles_ID, tsStarted) VALUES (%1, %2, %3)")
                    .arg(++lastStart_)
                    .arg(fileId)
                    .arg(tv::MakeSQLDate(started)));
    }

private:
    int lastCategory_ = 0;
    int lastFile_ = 1000;   // file keys never equal category keys
    int lastStart_ = 0;
};
