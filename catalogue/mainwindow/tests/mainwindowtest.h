#pragma once

#include "catalogue/core/moddatabase.h"
#include "catalogue/mainwindow/frmmain.h"
#include "catalogue/core/tests/coretest.h"

#include <QApplication>
#include <QPushButton>
#include <QTimer>

// A program folder of its own (see coretest.h) with its settings file at hand; a catalogue
// opened by the test is closed at its end.
// The first-run wizard of an empty program folder is only counted, never shown.
class MainFolderTest : public ProgramFolderTest {
protected:
    void SetUp() override
    {
        ProgramFolderTest::SetUp();
        tv::SetFirstRunWizardHook([this](const tv::WizardHost&) { ++wizards; });
    }
    void TearDown() override
    {
        tv::SetFirstRunWizardHook(nullptr);
        tv::CloseDB();
        ProgramFolderTest::TearDown();
    }
    void writeIni(const QString& text) const
    {
        QFile f(tv::gtIniFile);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(text.toUtf8());
    }
    int wizards = 0;
    QString readIni() const
    {
        QFile f(tv::gtIniFile);
        EXPECT_TRUE(f.open(QIODevice::ReadOnly));
        return QString::fromUtf8(f.readAll());
    }
};

// A small catalogue made through the database layer:
//   1 BOULDER.ATR  /games/BOULDER.ATR           type 1,  category 1 "Spiele", started twice on
//                                                1 Dec 2024 (08:00 and 18:00)
//   2 IT'S.XEX     /games/it's/IT'S.XEX         type 11, category 2 "Demos", started 2 Dec 11:00
//   3 PIC.GIF      /pics/PIC.GIF                type 20
//   4 INNER.ATR    /arch/COLL.ZIP, DIR\INNER.ATR type 1 (an archive member)
//   5 TAPE.CAS     /games/TAPE.CAS              type 4,  size 2000
class CatalogueTest : public MainFolderTest {
protected:
    void SetUp() override
    {
        MainFolderTest::SetUp();
        tv::DbError e;
        tv::goDB = tv::CreateCatalogue(dir.filePath(QStringLiteral("test.MDB")), QByteArray(), &e);
        ASSERT_TRUE(tv::goDB);
        const char* rows[] = {
            "INSERT INTO Category (ID, tCategory) VALUES (1, 'Spiele')",
            "INSERT INTO Category (ID, tCategory) VALUES (2, 'Demos')",
            "INSERT INTO MainFiles (tFile, tPath, iFileType, lSize, Category_ID, tsLastStarted, lStartCount)"
            " VALUES ('BOULDER.ATR', '/games/BOULDER.ATR', 1, 92176, 1, #12/01/2024 06:00:00 pm#, 2)",
            "INSERT INTO MainFiles (tFile, tPath, iFileType, lSize, Category_ID, tsLastStarted, lStartCount)"
            " VALUES ('IT''S.XEX', '/games/it''s/IT''S.XEX', 11, 5000, 2, #12/02/2024 11:00:00 am#, 1)",
            "INSERT INTO MainFiles (tFile, tPath, iFileType, lSize) VALUES ('PIC.GIF', '/pics/PIC.GIF', 20, 300)",
            "INSERT INTO MainFiles (tFile, tPath, tUnpackPath, iFileType, lSize)"
            " VALUES ('INNER.ATR', '/arch/COLL.ZIP', 'DIR\\INNER.ATR', 1, 133136)",
            "INSERT INTO MainFiles (tFile, tPath, iFileType, lSize) VALUES ('TAPE.CAS', '/games/TAPE.CAS', 4, 2000)",
            "INSERT INTO History (MainFiles_ID, tsStarted) VALUES (1, #12/01/2024 08:00:00 am#)",
            "INSERT INTO History (MainFiles_ID, tsStarted) VALUES (1, #12/01/2024 06:00:00 pm#)",
            "INSERT INTO History (MainFiles_ID, tsStarted) VALUES (2, #12/02/2024 11:00:00 am#)",
        };
        for (const char* sql : rows) ASSERT_FALSE(tv::goDB->Execute(QString::fromUtf8(sql))) << sql;
    }

    // The IDs a query gives in its first column, in row order; {-99} when it failed.
    std::vector<int> ids(const QString& sql) const
    {
        auto rs = tv::goDB->OpenRecordset(sql);
        if (!rs) {
            ADD_FAILURE() << sql.toStdString() << ": " << tv::goDB->LastError().description.toStdString();
            return {-99};
        }
        std::vector<int> result;
        for (; !rs->IsEOF(); rs->MoveNext()) result.push_back(int(rs->Fields(0).Value().toLong()));
        return result;
    }
};

// Presses the job window's button once it has become "OK", so a job runs to its end unattended.
class JobCloser {
public:
    JobCloser()
    {
        timer.setInterval(10);
        QObject::connect(&timer, &QTimer::timeout, [] {
            QWidget* modal = QApplication::activeModalWidget();
            if (!modal || modal->objectName() != QLatin1String("frmProcess")) return;
            auto* button = modal->findChild<QPushButton*>(QStringLiteral("cmdCancel"));
            if (button && button->text() == QLatin1String("OK")) button->click();
        });
        timer.start();
    }

private:
    QTimer timer;
};
