#pragma once

#include "catalogue/tree/csubtree.h"
#include "catalogue/tree/ctreeitem.h"
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
                 // Names compare without regard to case, as in the catalogue.
                 "CREATE TABLE Category (ID INTEGER PRIMARY KEY, tCategory TEXT COLLATE TVTEXT)",
                 "CREATE TABLE MainFiles (ID INTEGER PRIMARY KEY, tFile TEXT COLLATE TVTEXT, tPath TEXT, "
                 "iFileType INTEGER, Category_ID INTEGER)",
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

inline const QString kRootLevel = QStringLiteral(
    "SELECT DISTINCT -1 AS ItemKey,-1 AS ParentKey,9 AS Icon,'Alle Kategorien' From Config");
inline const QString kCategoryLevel = QStringLiteral(
    "SELECT ID AS ItemKey,-1 AS ParentKey,22 AS Icon, tCategory From Category order by tCategory");
inline const QString kFileLevel = QStringLiteral(
    "SELECT ID AS ItemKey, Category_ID AS ParentKey, iFileType AS Icon, tFile FROM MainFiles ORDER BY tFile");
// The history level keys a day by its calendar day: int of the date serial.
inline const QString kHistoryLevel = QStringLiteral(
    "SELECT distinct(int(cDate(tsStarted))),-1,29,Format(tsStarted,'dd.MM.yyyy') from History order by 1 desc");

// The root subtree of a tree over the fixture's levels, with its events recorded as the
// tree control would receive them.
struct TestTree {
    std::shared_ptr<tv::CTreeLevels> levels = std::make_shared<tv::CTreeLevels>();
    std::shared_ptr<tv::CSubTree> root = std::make_shared<tv::CSubTree>();
    std::vector<int> redraws;
    int selectionChanges = 0;
    std::vector<QString> subItemSelects;

    TestTree(const std::shared_ptr<tv::Database>& db, const QStringList& sqls, int plusMinusMode = 0)
    {
        levels->Create(db, plusMinusMode);
        levels->Setup(sqls);
        root->LevelInfo.connect([this](std::shared_ptr<tv::CTreeLevels>& l) { l = levels; });
        root->Redraw.connect([this](int mode) { redraws.push_back(mode); });
        root->SelectionChange.connect([this] { ++selectionChanges; });
        root->SubItemSelect.connect([this](std::shared_ptr<tv::CTreeItem>& item) {
            subItemSelects.push_back(item ? item->Key : QStringLiteral("<none>"));
            if (item) item->Subtree()->SelectItem(item->LocalIndex());
        });
        root->Create(nullptr, QString(), -1);
    }
    int count() { return root->NodesCount(false); }
    std::shared_ptr<tv::CTreeItem> row(int absolute) { return root->FindTreeItem(absolute); }
    // The texts of every shown row, top to bottom.
    QStringList texts()
    {
        QStringList out;
        for (int i = 0; i < count(); ++i) out << row(i)->Text;
        return out;
    }
    std::shared_ptr<tv::CTreeItem> selected()
    {
        int index = -1;
        std::shared_ptr<tv::CSubTree> subtree;
        return root->FindSelectedItem(index, subtree) ? tv::CTreeItem::Make(index, subtree) : nullptr;
    }
};

