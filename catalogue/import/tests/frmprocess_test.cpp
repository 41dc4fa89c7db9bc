#include "archivefixtures.h"
#include "catalogue/core/moddatabase.h"
#include "catalogue/core/modglobals.h"
#include "catalogue/import/clsfilemanager.h"
#include "catalogue/import/frmnewpath.h"
#include "catalogue/import/frmprocess.h"
#include "platform/db/backgroundreads.h"
#include "platform/db/database.h"
#include "platform/db/recordset.h"
#include "controls/grid/listview.h"

#include <QApplication>
#include <QComboBox>
#include <QFontMetrics>
#include <QPushButton>
#include <QScopeGuard>
#include <QTest>
#include <QTimer>
#include <QProgressBar>
#include <gtest/gtest.h>

#include <filesystem>

namespace tv {

namespace {

QStringList Column(const frmProcess& f, const char* key)
{
    QStringList values;
    for (int32_t r = 0; r < f.ResultList()->RowCount(); ++r)
        values << f.ResultList()->Data(Variant(QString::fromLatin1(key)), r).text();
    return values;
}

QPushButton* Button(const frmProcess& f, const char* name) { return f.findChild<QPushButton*>(QLatin1String(name)); }

void Exec(const QString& sql) { ASSERT_FALSE(goDB->Execute(sql)) << sql.toStdString(); }

} // namespace

class JobWindow : public ::testing::Test {
protected:
    void SetUp() override
    {
        gcolWindows.clear();
        fm.InitCount();
    }
    // The job window loaded for `action` on the engine, not yet run.
    std::unique_ptr<frmProcess> Loaded(int action, const QString& startPath = QString())
    {
        return test::LoadedJob(fm, action, startPath);
    }
    std::unique_ptr<frmProcess> Run(int action, const QString& startPath = QString())
    {
        auto f = Loaded(action, startPath);
        f->Form_Activate();
        return f;
    }
    test::AppFolder app;
    clsFileManager fm;
};

TEST_F(JobWindow, AddingAFolderTwice)
{
    const QString root = app.path("games");
    test::WriteFile(root + "/a.atr", test::AtrImage());
    test::WriteFile(root + "/b.xex", "prog");
    test::WriteFile(root + "/readme.txt", "text");
    test::WriteFile(root + "/sub/c.atr", test::AtrImage());
    test::WriteFile(root + "/.hidden/d.atr", test::AtrImage());  // folders beginning with "." are not walked

    auto f = Run(frmProcess::actAddFolder, root);
    EXPECT_EQ(f->Action, frmProcess::actChanged);
    EXPECT_EQ(f->StatusMsg, "Hinzugefügte Dateien: 4");
    EXPECT_EQ(f->ProcessText(), "Durchsuchte Dateien: 4\n\nHinzugefügte Dateien: 4");
    EXPECT_TRUE(f->StatusText().startsWith("Dauer: "));
    EXPECT_EQ(Button(*f, "cmdCancel")->text(), "OK");
    const QStringList names = Column(*f, "Name");
    EXPECT_EQ(names.mid(0, 4), (QStringList{"Optionen:", "Dateien: " + gtImportFiles, "", "Neue Dateien:"}));
    EXPECT_TRUE(names.contains(root + "/"));
    EXPECT_TRUE(names.contains(root + "/sub/"));
    const int row = int(names.indexOf("a.atr"));
    ASSERT_GE(row, 0);
    EXPECT_EQ(Column(*f, "Filetyp")[row], "1");
    f->findChild<QPushButton*>("cmdCancel")->click();
    EXPECT_EQ(f->StatusMsg, "Hinzugefügte Dateien: 4");

    // Everything present already: nothing added, one notice per file.
    auto again = Run(frmProcess::actAddFolder, root);
    EXPECT_EQ(again->Action, 0);
    EXPECT_EQ(again->StatusMsg, "Hinzugefügte Dateien: 0");
    EXPECT_EQ(Column(*again, "Name").filter("Datei ist schon vorhanden:").size(), 4);
}

// The program reads its long lists in the background; a job's lookups (one or more per file
// met) stay on the catalogue's connection, as do the reads of a job adding nothing new.
TEST_F(JobWindow, AJobsLookupsStayOnTheCatalogueConnection)
{
    int waits = 0;
    SetBackgroundReads(
        [&waits](const std::function<bool()>& finished) {
            ++waits;
            while (!finished()) {}
        },
        -1);
    goDB->SetReadInBackground(true);
    const auto off = qScopeGuard([] { SetBackgroundReads(nullptr, 0); });
    const QString root = app.path("games");
    test::WriteFile(root + "/a.atr", test::AtrImage());
    test::WriteFile(root + "/b.xex", "prog");
    for (const char* added : {"Hinzugefügte Dateien: 2", "Hinzugefügte Dateien: 0"}) {
        auto f = Run(frmProcess::actAddFolder, root);
        EXPECT_EQ(f->StatusMsg, added);
    }
    EXPECT_EQ(waits, 0);
    // Outside a job, such a lookup goes to the background.
    const auto rs = goDB->OpenRecordset(QStringLiteral("SELECT ID FROM MainFiles WHERE tFile = 'a.atr'"));
    ASSERT_TRUE(rs);
    EXPECT_EQ(rs->RecordCount(), 1);
    EXPECT_GT(waits, 0);
}

// A log line wider than the list is shown whole: its column grows to the line, and the list
// scrolls sideways to it instead of cutting it short.
TEST_F(JobWindow, LongLinesWidenTheLogColumn)
{
    const QString deep = app.path("games/") + QString(60, QLatin1Char('x')) + QLatin1Char('/') + QString(60, QLatin1Char('y'));
    test::WriteFile(deep + "/a.atr", test::AtrImage());
    auto f = Run(frmProcess::actAddFolder, deep);
    const QString line = deep + QLatin1Char('/');
    ASSERT_TRUE(Column(*f, "Name").contains(line));
    const auto name = f->ResultList()->Columns()->Item(Variant(QStringLiteral("Name")));
    ASSERT_TRUE(name);
    const int textWidth = QFontMetrics(f->ResultList()->Font()->toQFont()).horizontalAdvance(line);
    EXPECT_GT(textWidth, f->ResultList()->width());
    EXPECT_GE(name->Width(), textWidth);
}

TEST_F(JobWindow, RowsDeletedSinceTheLastCountAreNoNegativeAdditions)
{
    test::WriteFile(app.path("one/a.atr"), test::AtrImage());
    Run(frmProcess::actAddFolder, app.path("one"));
    Exec("Delete from MainFiles");  // FileCount of the engine still says 1
    auto f = Run(frmProcess::actAddFolder, app.path("one/none"));
    EXPECT_EQ(f->StatusMsg, "Hinzugefügte Dateien: 0");
    EXPECT_EQ(f->Action, 0);
}

TEST_F(JobWindow, OneFileIgnoresTheImportListAndReturnsTheNegatedIdWhenPresent)
{
    gtImportFiles = ".ATR";
    const QString file = app.path("x/game.xex");
    test::WriteFile(file, "prog");
    auto f = Run(frmProcess::actAddFile, file);
    EXPECT_GT(f->NewFileID, 0);
    EXPECT_EQ(f->Action, frmProcess::actChanged);
    EXPECT_EQ(f->ProcessText(), "Durchsuchte Datei: " + file + "\n\nHinzugefügte Dateien: 1");
    auto again = Run(frmProcess::actAddFile, file);
    EXPECT_EQ(again->NewFileID, -f->NewFileID);
    EXPECT_EQ(again->Action, 0);
}

TEST_F(JobWindow, CancelStopsTheWalkAfterTheCurrentEntry)
{
    for (const char* name : {"a.atr", "b.atr", "c.atr"}) test::WriteFile(app.path("g/") + name, test::AtrImage());
    const auto f = Loaded(frmProcess::actAddFolder, app.path("g"));
    QObject::connect(&fm, &clsFileManager::ShowMessage, f.get(), [w = f.get()](const QString&, int type) {
        if (type > 0) w->findChild<QPushButton*>("cmdCancel")->click();
    });
    f->Form_Activate();
    EXPECT_EQ(f->ProcessText(), "Durchsuchte Dateien: 1\n\nHinzugefügte Dateien: 1");
}

TEST_F(JobWindow, ClosedDuringTheWalkTheJobStillEndsWithTheEngine)
{
    for (const char* name : {"a.atr", "b.atr"}) test::WriteFile(app.path("g/") + name, test::AtrImage());
    const auto f = Loaded(frmProcess::actAddFolder, app.path("g"));
    f->show();
    QObject::connect(&fm, &clsFileManager::ShowMessage, f.get(), [w = f.get()](const QString&, int type) {
        if (type > 0 && w->isVisible()) w->close();  // answered Yes
    });
    f->Form_Activate();
    EXPECT_FALSE(f->isVisible());
    EXPECT_EQ(app.boxes, QStringList{"Möchten Sie den Vorgang wirklich abbrechen?"});
    EXPECT_EQ(f->StatusMsg, "Hinzugefügte Dateien: 1");
    EXPECT_EQ(f->Action, frmProcess::actChanged);
    EXPECT_EQ(f->mFileManager, nullptr);  // let go once the job had ended
}

// A finished job's window closes with Return or Escape while its log holds the focus, as it
// does when the window opens; "OK" is its Return button, not the hidden relink button.
TEST_F(JobWindow, ReturnAndEscapeCloseTheFinishedJob)
{
    test::WriteFile(app.path("g/") + "a.atr", test::AtrImage());
    for (const Qt::Key key : {Qt::Key_Return, Qt::Key_Escape}) {
        SCOPED_TRACE(key);
        const auto f = Loaded(frmProcess::actAddFolder, app.path("g"));
        f->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(f.get()));
        f->activateWindow();
        f->Form_Activate();
        ASSERT_EQ(Button(*f, "cmdCancel")->text(), "OK");
        ASSERT_TRUE(f->ResultList()->isAncestorOf(QApplication::focusWidget()));
        QTest::keyClick(f->windowHandle(), key);
        EXPECT_FALSE(f->isVisible());
    }
    EXPECT_TRUE(app.boxes.isEmpty());
}

TEST_F(JobWindow, JobsWithoutWorkOnlyOfferOk)
{
    for (const int action : {int(frmProcess::actUpdate), int(frmProcess::actMarkedPass)}) {
        SCOPED_TRACE(action);
        auto f = Run(action);
        EXPECT_EQ(f->Action, 0);
        EXPECT_FALSE(Button(*f, "cmdCancel")->isHidden());
        EXPECT_EQ(Button(*f, "cmdCancel")->text(), "OK");
        EXPECT_TRUE(f->ResultList()->isHidden());
        EXPECT_EQ(f->StatusText(), "Status:");
    }
}

TEST(JobWindowDuration, Texts)
{
    struct Case {
        qint64 ms;
        const char* text;
    };
    const Case kCases[] = {
        {3250, "Dauer: 3,25s"}, {59994, "Dauer: 59,99s"}, {90000, "Dauer: 01:30"}, {3660000, "Dauer: 61:00"},
    };
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.ms);
        EXPECT_EQ(frmProcess::DurationText(c.ms), QString::fromUtf8(c.text));
    }
    // A translated interface writes the seconds with a decimal point.
    const QString saved = gtLanguageFile;
    gtLanguageFile = QStringLiteral("English.lng");
    const QString english = frmProcess::DurationText(3250);
    gtLanguageFile = saved;
    EXPECT_TRUE(english.endsWith(QStringLiteral(" 3.25s"))) << english.toStdString();
}

TEST_F(JobWindow, CompactingCannotBeClosedUntilDone)
{
    gtDBPath = goDB->Name();
    CloseDB();
    frmProcess f;
    f.Action = frmProcess::actCompact;
    f.mFileManager = &fm;
    f.Form_Load();
    EXPECT_TRUE(Button(f, "cmdCancel")->isHidden());
    f.show();
    f.close();
    EXPECT_TRUE(f.isVisible());
    f.Form_Activate();
    EXPECT_EQ(f.ProcessText(), "Datenbank wurde erfolgreich komprimiert!");
    EXPECT_EQ(f.StatusText(), "Status:");
    EXPECT_EQ(f.Action, 0);
    Button(f, "cmdCancel")->click();
    EXPECT_FALSE(f.isVisible());
    EXPECT_FALSE(gcolWindows.keyExists("frmProcess"));
    EXPECT_TRUE(app.boxes.isEmpty());
}

// A compaction refused (a catalogue that cannot be written) ends with its message alone: the
// job window closes itself instead of showing an empty "Status:" with OK.
TEST_F(JobWindow, RefusedCompactionLeavesNoEmptyJobWindow)
{
    gtDBPath = goDB->Name();
    CloseDB();
    Database::SetOpenReadOnly(true);
    const auto writable = qScopeGuard([] { Database::SetOpenReadOnly(false); });
    frmProcess f;
    f.Action = frmProcess::actCompact;
    f.mFileManager = &fm;
    f.Form_Load();
    f.show();
    f.Form_Activate();
    EXPECT_FALSE(f.isVisible());
    EXPECT_EQ(f.Action, 0);
    ASSERT_EQ(app.boxes.size(), 1);
    EXPECT_TRUE(app.boxes[0].startsWith("Fehler beim Komprimieren der Datenbank: ")) << app.boxes[0].toStdString();
}

TEST_F(JobWindow, ClosingARunningJobAsksFirst)
{
    frmProcess f;
    f.Action = frmProcess::actAddFolder;
    f.mFileManager = &fm;
    f.Form_Load();
    f.show();
    app.answer = 7;  // vbNo
    f.close();
    EXPECT_TRUE(f.isVisible());
    EXPECT_EQ(app.boxes, QStringList{"Möchten Sie den Vorgang wirklich abbrechen?"});
    app.answer = 6;
    f.close();
    EXPECT_FALSE(f.isVisible());
    EXPECT_TRUE(gcolWindows.keyExists("frmProcess"));
    EXPECT_EQ(f.mFileManager, nullptr);
}

TEST_F(JobWindow, MarkedFilesPass)
{
    frmProcess f;
    f.Action = frmProcess::actMarkedList;
    f.StatusMsg = "/out/list.txt";
    f.lstMainFiles = [] { return QList<int>{0, 2, 3, 5, 8, 9, 11}; };
    f.Form_Load();
    f.Form_Activate();
    const QStringList names = Column(f, "Name");
    EXPECT_EQ(names, (QStringList{"Dateien: D64, D71, D81, G64", "Directory als txt-Datei speichern -> /out/list.txt",
                                  "Anzahl der markierten Dateien: 7", ""}));
    EXPECT_EQ(f.ProcessText(), "Dateien: 7");
    EXPECT_EQ(f.Action, 0);
}

// ---- the check job ----

class CatalogueCheck : public JobWindow {
protected:
    void SetUp() override
    {
        test::WriteFile(app.path("here/ok.atr"), test::AtrImage());
        const auto row = [](int id, const QString& path, const char* chain, int type) {
            Exec(QString("INSERT INTO MainFiles (ID, tFile, tPath, tUnpackPath, iFileType) VALUES (%1, 'f', '%2', %3, %4)")
                     .arg(id)
                     .arg(path)
                     .arg(chain ? QString("'%1'").arg(chain) : QString("Null"))
                     .arg(type));
        };
        row(1, app.path("here/ok.atr"), nullptr, 1);
        row(2, app.path("gone/x.atr"), nullptr, 1);
        row(3, app.path("old/arc.zip"), "A.ATR", 1);
        row(4, app.path("old/arc.zip"), "DIR\\B.XEX", 11);
        row(5, app.path("Old/y.com"), nullptr, 2);
        JobWindow::SetUp();
        f = Run(frmProcess::actCheck);
    }
    QStringList Types() const { return Column(*f, "Filetyp").mid(1); }
    std::unique_ptr<frmProcess> f;
};

TEST_F(CatalogueCheck, ListsTheMissingFiles)
{
    EXPECT_EQ(f->Action, frmProcess::actCheck);
    EXPECT_EQ(f->StatusMsg, "Nicht gefundene Dateien: 4");
    EXPECT_EQ(f->ProcessText(), "Datenbank wurde überprüft:\nNicht gefundene Dateien: 4");
    EXPECT_EQ(Column(*f, "Name").mid(0, 2), (QStringList{"Nicht gefundene Dateien:", app.path("Old/y.com")}));
    EXPECT_EQ(Types(), (QStringList{"27", "27", "27", "27"}));
    EXPECT_EQ(Column(*f, "Name").mid(2), (QStringList{app.path("gone/x.atr"), app.path("old/arc.zip") + "\\A.ATR",
                                                      app.path("old/arc.zip") + "\\DIR\\B.XEX"}));
    EXPECT_EQ(Column(*f, "Key").mid(1), (QStringList{"5", "2", "3", "4"}));
    EXPECT_EQ(Column(*f, "File").mid(1), (QStringList{"y.com", "x.atr", "arc.zip", "arc.zip"}));
    EXPECT_EQ(Column(*f, "OrgType").mid(1), (QStringList{"2", "1", "1", "11"}));
    // Folders that differ in case alone are both offered.
    EXPECT_EQ(f->MissingFolders(), (QStringList{app.path("Old/"), app.path("gone/"), app.path("old/")}));
    EXPECT_FALSE(Button(*f, "cmdNewPath")->isHidden());
    EXPECT_FALSE(Button(*f, "cmdDelete")->isHidden());
}

TEST_F(CatalogueCheck, RelinkByFoldersAndBySearch)
{
    test::WriteFile(app.path("new/arc.zip"), "zip");
    test::WriteFile(app.path("moved/deep/x.atr"), test::AtrImage());
    test::WriteFile(app.path("moved/deep/y.com"), "prog");

    // An old folder in another letter case matches nothing.
    f->Relink(app.path("new"), app.path("OLD"));
    EXPECT_EQ(f->ProcessText(), "Nicht gefundene Dateien: 4\nWiedergefundene Dateien: 0");

    // Old folder without its closing "/": the archive is tested once, both members follow it.
    f->Relink(app.path("new"), app.path("old"));
    EXPECT_EQ(f->ProcessText(), "Nicht gefundene Dateien: 2\nWiedergefundene Dateien: 2");
    EXPECT_EQ(test::CatalogueRows("Select tPath From MainFiles where ID in (3,4)"),
              (std::vector<QStringList>{{app.path("new/arc.zip")}, {app.path("new/arc.zip")}}));
    EXPECT_EQ(Column(*f, "Name")[3], "Datei gefunden: " + app.path("new/arc.zip") + "\\A.ATR");
    EXPECT_EQ(Column(*f, "Filetyp")[4], "11");

    // No old folder: searched by name below the new folder.
    f->Relink(app.path("moved"), QString());
    EXPECT_EQ(f->ProcessText(), "Nicht gefundene Dateien: 0\nWiedergefundene Dateien: 2");
    EXPECT_EQ(test::CatalogueRows("Select tPath From MainFiles where ID in (2,5) order by ID"),
              (std::vector<QStringList>{{app.path("moved/deep/x.atr")}, {app.path("moved/deep/y.com")}}));
    EXPECT_FALSE(Button(*f, "cmdNewPath")->isEnabled());
    EXPECT_EQ(Button(*f, "cmdCancel")->text(), "OK");
    f->reject();
    EXPECT_EQ(f->Action, frmProcess::actChanged);
}

TEST_F(CatalogueCheck, TheBarEndsFullAndTheHeadingSaysWhatTheRowsHold)
{
    // Six rows: the check shows every fifth as it goes.
    Exec(QString("INSERT INTO MainFiles (ID, tFile, tPath, iFileType) VALUES (6, 'f', '%1', 1)").arg(app.path("gone/z.atr")));
    const auto check = Run(frmProcess::actCheck);
    auto* bar = check->findChild<QProgressBar*>();
    ASSERT_TRUE(bar);
    EXPECT_EQ(bar->maximum(), 6);
    EXPECT_EQ(bar->value(), 6);
    EXPECT_EQ(Column(*check, "Name")[0], "Nicht gefundene Dateien:");

    // Two of five rows found again: the bar is full, and the heading no longer calls the
    // rows below it missing.
    test::WriteFile(app.path("new/arc.zip"), "zip");
    check->Relink(app.path("new"), app.path("old"));
    EXPECT_EQ(check->ProcessText(), "Nicht gefundene Dateien: 3\nWiedergefundene Dateien: 2");
    EXPECT_EQ(bar->value(), bar->maximum());
    EXPECT_EQ(Column(*check, "Name")[0], "Dateien:");
    EXPECT_EQ(Column(*check, "Name")[4], "Datei gefunden: " + app.path("new/arc.zip") + "\\A.ATR");
    check->DeleteMissing();
    EXPECT_EQ(bar->value(), bar->maximum());
}

TEST_F(CatalogueCheck, RelinkButtonOffersTheMissingFolders)
{
    test::WriteFile(app.path("new/arc.zip"), "zip");
    f->ActFolders = {app.path("new")};
    QStringList offered;
    QTimer::singleShot(0, [&] {
        auto* dialog = f->findChild<frmNewPath*>();
        ASSERT_NE(dialog, nullptr);
        auto* old = dialog->findChild<QComboBox*>("cboOldPath");
        for (int i = 0; i < old->count(); ++i) offered << old->itemText(i);
        old->setEditText(app.path("old/"));
        dialog->findChild<QComboBox*>("cboNewPath")->setCurrentIndex(0);
        dialog->findChild<QPushButton*>("cmdOK")->click();
    });
    Button(*f, "cmdNewPath")->click();
    EXPECT_EQ(offered, f->MissingFolders());
    EXPECT_EQ(f->ProcessText(), "Nicht gefundene Dateien: 2\nWiedergefundene Dateien: 2");
}

TEST_F(CatalogueCheck, DeletingTwice)
{
    f->DeleteMissing();
    EXPECT_EQ(f->ProcessText(), "Nicht gefundene Dateien: 0\nGelöschte Dateien: 4");
    EXPECT_EQ(Types(), (QStringList{"22", "22", "22", "22"}));
    EXPECT_EQ(test::CatalogueRows("Select ID From MainFiles"), std::vector<QStringList>{{"1"}});
    EXPECT_EQ(fm.FileCount, 1);
    f->DeleteMissing();
    EXPECT_EQ(f->ProcessText(), "Nicht gefundene Dateien: 0\nGelöschte Dateien: 0");
    f->reject();
    EXPECT_EQ(f->Action, frmProcess::actChanged);
}

TEST_F(CatalogueCheck, ClosedDuringADeletionStillReportsTheChange)
{
    // Five missing files: the deletion serves events every fifth row, once after rows went.
    Exec(QString("INSERT INTO MainFiles (ID, tFile, tPath, iFileType) VALUES (6, 'f', '%1', 1)").arg(app.path("gone/z.atr")));
    f = Run(frmProcess::actCheck);
    f->show();
    QTimer watch;  // closes the window once the first rows are gone
    QObject::connect(&watch, &QTimer::timeout, [this] {
        if (f->isVisible() && test::CatalogueRows("Select Count(*) From MainFiles")[0][0] != "6") f->close();
    });
    watch.start(0);
    f->DeleteMissing();
    EXPECT_FALSE(f->isVisible());
    EXPECT_EQ(f->Action, frmProcess::actChanged);
}

TEST_F(CatalogueCheck, AFailedDeletionIsReportedAndStops)
{
    CloseDB();
    f->DeleteMissing();
    ASSERT_EQ(app.boxes.size(), 1);
    EXPECT_TRUE(app.boxes[0].startsWith("Del-Error: Fehler beim Löschen aus der Datenbank: ")) << app.boxes[0].toStdString();
    EXPECT_EQ(f->ProcessText(), "Nicht gefundene Dateien: 4\nGelöschte Dateien: 0");
    EXPECT_EQ(Types(), (QStringList{"27", "27", "27", "27"}));
    f->reject();
    EXPECT_EQ(f->Action, frmProcess::actCheck);
}

TEST_F(CatalogueCheck, NothingChangedKeepsTheCheckResult)
{
    f->Relink(QString(), QString());  // the folder dialog was cancelled
    EXPECT_EQ(f->ProcessText(), "Nicht gefundene Dateien: 4\nWiedergefundene Dateien: 0");
    EXPECT_TRUE(Button(*f, "cmdDelete")->isEnabled());
    f->reject();
    EXPECT_EQ(f->Action, frmProcess::actCheck);
}

} // namespace tv

namespace tv {

TEST_F(JobWindow, NamesThatAreNotUtf8AreNamedInTheLogAndLeftOut)
{
    const QString root = app.path("games");
    test::WriteFile(root + "/good.xex", "prog");
    // A file and a folder whose names hold the byte 0xFF, as an old Latin-1 disk gives them.
    const std::string base = root.toStdString();
    test::WriteFile(root + "/keep/inner.xex", "prog");
    std::filesystem::create_directories(base + "/bad\xff" "dir");
    ASSERT_TRUE(std::filesystem::copy_file(base + "/good.xex", base + "/bad\xff" "dir/inner.xex"));
    ASSERT_TRUE(std::filesystem::copy_file(base + "/good.xex", base + "/M\xfc" "ller.xex"));

    auto f = Run(frmProcess::actAddFolder, root);
    EXPECT_EQ(f->StatusMsg, "Hinzugefügte Dateien: 2");
    const QStringList names = Column(*f, "Name");
    const QString notice = "Name ist kein gültiges UTF-8, nicht aufgenommen: " + root + "/";
    EXPECT_TRUE(names.contains(notice + QString::fromUtf8("M\uFFFDller.xex"))) << names.join('\n').toStdString();
    EXPECT_TRUE(names.contains(notice + QString::fromUtf8("bad\uFFFDdir"))) << names.join('\n').toStdString();
    for (const QString& line : names) EXPECT_FALSE(line.contains("No such file")) << line.toStdString();
    EXPECT_TRUE(app.boxes.isEmpty());
    // Qt's temporary folder cannot remove such names itself.
    std::filesystem::remove_all(base);
}

} // namespace tv
