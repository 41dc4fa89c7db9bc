#pragma once

#include "catalogue/reports/dbcombo.h"
#include "catalogue/reports/dbcombolist.h"
#include "platform/db/database.h"

#include <QApplication>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include <functional>

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

// The selection window's category combo box on a shown window, with two more categories whose
// numbers do not follow the alphabet ("Music" 6, "Art" 7).
class ShownCombo : public ComboCatalogue {
protected:
    QWidget top;
    tv::DBCombo* combo = nullptr;

    void SetUp() override
    {
        ComboCatalogue::SetUp();
        for (const char* sql : {"INSERT INTO Category VALUES (6, 'Music', 0)", "INSERT INTO Category VALUES (7, 'Art', 0)"})
            ASSERT_FALSE(db->Execute(QString::fromUtf8(sql))) << sql;
        combo = new tv::DBCombo(&top);
        combo->setNullText(QStringLiteral("(keine)"));
        combo->setRecordSource(QStringLiteral("Select Distinct ID,tCategory from Category"));
        combo->setValueField(QStringLiteral("ID"));
        combo->setDataBase(db);
        combo->setGeometry(10, 10, 200, combo->sizeHint().height());
        top.resize(400, 300);
        top.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&top));
        combo->txtCombo()->setFocus();
    }
    // Runs `act` on the drop-down as soon as it is open; returns at once.
    void whenOpen(std::function<void(tv::frmDBCombo*)> act)
    {
        opened = false;
        auto* poll = new QTimer(&top);
        poll->setInterval(5);
        QObject::connect(poll, &QTimer::timeout, poll, [this, act, poll, tries = 0]() mutable {
            auto* list = dynamic_cast<tv::frmDBCombo*>(QApplication::activePopupWidget());
            if (!list && ++tries < 200) return;
            poll->deleteLater();
            poll->stop();
            opened = list != nullptr;
            if (!list) return;
            act(list);
            // A step that left the list open ends it, so that the test goes on.
            if (list->isVisible()) list->close();
        });
        poll->start();
    }
    QPoint inTop(const QPoint& p) const { return combo->mapTo(&top, p); }
    bool opened = false;
};
