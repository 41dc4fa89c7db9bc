#include "mainwindowtest.h"

#include "catalogue/core/modglobals.h"
#include "catalogue/mainwindow/frmmain.h"
#include "catalogue/mainwindow/viewsql.h"
#include "catalogue/reports/reportview.h"
#include "catalogue/reports/simplereport.h"
#include "catalogue/tree/usertree.h"
#include "platform/gui/dialogs.h"
#include "platform/gui/msgbox.h"

#include <QApplication>
#include <QTest>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QDeadlineTimer>
#include <QScopeGuard>
#include <QThread>
#include <QPushButton>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QAction>
#include <QMenu>
#include "catalogue/core/formlayout.h"
#include "catalogue/core/frminputbox.h"
#include "catalogue/tree/ctreeitem.h"
#include "catalogue/mainwindow/sidepane.h"
#include "catalogue/mainwindow/frmmainfilter.h"
#include "catalogue/mainwindow/previewpane.h"
#include "catalogue/mainwindow/searchpane.h"
#include "platform/db/backgroundreads.h"
#include "platform/db/recordset.h"
#include "platform/gui/eventwait.h"
#include "platform/gui/systimer.h"
#include "controls/grid/cells.h"
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include "controls/grid/listview.h"
#include "platform/gui/surface.h"
#include "controls/grid/column.h"
#include "controls/grid/columns.h"

#include <algorithm>
#include <iterator>

using namespace tv;

namespace {

// The window over the small catalogue, named in the settings as the last one used.
class MainWindowView : public CatalogueTest {
protected:
    void SetUp() override
    {
        CatalogueTest::SetUp();
        catalogue = dir.filePath(QStringLiteral("test.MDB"));
        CloseDB();
        writeIni(QStringLiteral("[MAIN]\r\nDatabase=") + catalogue + QStringLiteral("\r\n"));
        SetMsgBoxHook([this](const QString& prompt, int, const QString&) {
            messages << prompt;
            return vbOK;
        });
    }
    void TearDown() override
    {
        SetMsgBoxHook(nullptr);
        SetFileDialogHook(nullptr);
        CatalogueTest::TearDown();
    }
    std::unique_ptr<frmMain> openWindow()
    {
        auto window = std::make_unique<frmMain>();
        window->show();
        QApplication::processEvents();
        QApplication::processEvents();
        return window;
    }
    QString catalogue;
    QStringList messages;
};

// The first activation opens the remembered catalogue and shows all its files.
TEST_F(MainWindowView, FirstActivationShowsTheRememberedCatalogue)
{
    const auto window = openWindow();
    ASSERT_TRUE(goDB);
    EXPECT_EQ(gtDBPath, catalogue);
    EXPECT_TRUE(window->windowTitle().contains(catalogue));
    EXPECT_EQ(window->ViewMode(), 1);
    EXPECT_EQ(window->lstMainFiles()->ItemCount(), 5);
    EXPECT_TRUE(window->lstMainFiles()->isVisible());
    EXPECT_TRUE(window->StatusText().startsWith(QStringLiteral("Dateien (Dauer: ")));
    EXPECT_EQ(window->CountText(), QStringLiteral("Dateien: 5/5"));
}

// Another program adds and deletes files while the window shows the catalogue: once the list
// is read again, its total counts them too.
TEST_F(MainWindowView, TotalCountsWhatAnotherProgramChangedOnceTheListIsReadAgain)
{
    const auto window = openWindow();
    ASSERT_EQ(window->CountText(), QStringLiteral("Dateien: 5/5"));
    {
        DbError e;
        auto other = Database::Open(catalogue, QByteArray(), &e);
        ASSERT_TRUE(other) << e.description.toStdString();
        ASSERT_FALSE(other->StartWriting());
        for (const char* name : {"X1.ATR", "X2.ATR", "X3.ATR"})
            ASSERT_FALSE(other->Execute(QStringLiteral("Insert Into MainFiles (tFile, tPath, iFileType) Values ('%1', '/o/%1', 1)")
                                            .arg(QLatin1String(name))));
        ASSERT_FALSE(other->Execute(QStringLiteral("Delete From MainFiles Where tFile='X3.ATR'")));
        other->Close();
    }
    window->BuildView(kViewFiles);
    EXPECT_EQ(window->lstMainFiles()->ItemCount(), 7);
    EXPECT_EQ(window->CountText(), QStringLiteral("Dateien: 7/7"));
    window->BuildView(kViewNewFiles);
    EXPECT_TRUE(window->CountText().endsWith(QStringLiteral("/7"))) << window->CountText().toStdString();
}

// The categories view: the tree's root and one node per category beside the drill-down list.
// Tab walks the panes and lists in the order they are shown and comes round again; each
// stop is named by the pane or list that holds the focus.
TEST_F(MainWindowView, TabWalksThePanesAndListsInTheirShownOrder)
{
    auto window = openWindow();
    window->activateWindow();
    window->lstMainFiles()->setSelectedIndex(0);   // a chosen file enables the start pane
    QApplication::processEvents();
    const QStringList stops = {"lvViews", "cboSearch1", "cboSearch2", "lvStart", "lvFilter", "lstMainFiles"};
    auto holder = [&stops]() -> QString {
        for (QWidget* w = QApplication::focusWidget(); w; w = w->parentWidget())
            if (stops.contains(w->objectName())) return w->objectName();
        return QStringLiteral("?");
    };
    QWidget* views = window->findChild<QWidget*>(QStringLiteral("lvViews"));
    ASSERT_TRUE(views);
    views->findChild<tv::OwnerDrawSurface*>()->setFocus(Qt::TabFocusReason);
    QStringList walked;
    for (int i = 0; i <= 7 && walked.size() < 12; ++i) {
        walked << holder();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    }
    QStringList shown;
    for (const QString& stop : stops)
        if (QWidget* w = window->findChild<QWidget*>(stop); w && w->isVisible() && w->isEnabled()) shown << stop;
    ASSERT_EQ(shown, stops);
    EXPECT_EQ(walked.mid(0, shown.size() + 1), shown + QStringList{shown.first()});
}

// A view chosen from the "Ansicht" menu while a list has the focus: the list that takes its
// place takes the focus, so that the arrow keys go on in it, not into the preview beside it.
TEST_F(MainWindowView, AViewChosenFromTheMenuHandsTheFocusToTheListShown)
{
    auto window = openWindow();
    QApplication::setActiveWindow(window.get());
    const auto chooseView = [&](const QString& caption) {
        QTest::keyClick(window->windowHandle(), Qt::Key_A, Qt::AltModifier);
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        ASSERT_TRUE(menu);
        const auto current = [menu] {
            return menu->activeAction() ? menu->activeAction()->text().remove(QLatin1Char('&')) : QString();
        };
        for (int i = 0; i < 12 && current() != caption; ++i) QTest::keyClick(menu, Qt::Key_Down);
        ASSERT_EQ(current(), caption);
        QTest::keyClick(menu, Qt::Key_Return);
        QApplication::processEvents();
    };
    const auto focusIn = [](QWidget* list) { return list->isAncestorOf(QApplication::focusWidget()); };
    QWidget* files = FirstTabStop(window.get(), window->lstMainFiles());
    ASSERT_TRUE(files);
    files->setFocus(Qt::TabFocusReason);

    chooseView(QStringLiteral("Kategorien"));
    ASSERT_EQ(window->ViewMode(), 3);
    EXPECT_TRUE(focusIn(window->lstMain()));
    chooseView(QStringLiteral("Dateien"));
    ASSERT_EQ(window->ViewMode(), 1);
    EXPECT_TRUE(focusIn(window->lstMainFiles()));
    QTest::keyClick(window->windowHandle(), Qt::Key_Down);
    EXPECT_EQ(window->lstMainFiles()->SelectedIndex(), 0) << "Down chooses the first file";
}

namespace {

// The views over the small catalogue, switched in turn.
void CheckViews(frmMain& w)
{
    frmMain* window = &w;
    window->BuildView(3);
    EXPECT_TRUE(window->treeMain()->isVisible());
    EXPECT_FALSE(window->lstMainFiles()->isVisible());
    EXPECT_EQ(window->treeMain()->ItemCount(), 3);  // "Kategorien", "Demos", "Spiele"
    EXPECT_EQ(window->lstMain()->ItemCount(), 2);   // the two files with a category
    EXPECT_EQ(window->CountText(), QStringLiteral("Kategorien: 2"));
    ASSERT_TRUE(window->treeMain()->SelectItem(QStringLiteral("1"), 2));  // "Spiele"
    EXPECT_EQ(window->lstMain()->ItemCount(), 1);
    EXPECT_EQ(window->lstMain()->SelectedItemKey(), -1);
    window->BuildView(4);
    EXPECT_EQ(window->treeMain()->ItemCount(), 3);  // root and two start days
    EXPECT_EQ(window->CountText(), QStringLiteral("Tage: 2"));
    window->BuildView(1);
    EXPECT_EQ(window->lstMainFiles()->ItemCount(), 5);
}

// The window as the program runs it on a large catalogue: every list read by key, each read on
// the background connection, and the window's events handled while every read is waited for.
class MainWindowReadingInBackground : public MainWindowView {
protected:
    void SetUp() override
    {
        MainWindowView::SetUp();
        SetKeyedRowsThreshold(0);
        SetBackgroundReads(
            [this](const std::function<bool()>& finished) {
                ++waits;
                WaitWithEvents([&] {
                    if (onWait) onWait();
                    return finished();
                });
            },
            -1);
    }
    void TearDown() override
    {
        SetBackgroundReads(nullptr, 0);
        SetKeyedRowsThreshold(kKeyedRowsDefault);
        MainWindowView::TearDown();
    }
    int waits = 0;
    std::function<void()> onWait;
};

} // namespace

TEST_F(MainWindowView, CategoriesAndHistoryViewsFillTreeAndList)
{
    const auto window = openWindow();
    CheckViews(*window);
}

TEST_F(MainWindowReadingInBackground, ViewsShowTheSameListsAndTheWindowStaysOpenWhileReading)
{
    const auto window = openWindow();
    EXPECT_EQ(window->lstMainFiles()->ItemCount(), 5);
    EXPECT_GT(waits, 0);
    // Closing while a list is read would end the command that reads it: the window stays.
    bool closeTried = false, shownAfterClose = false;
    onWait = [&] {
        if (closeTried) return;
        closeTried = true;
        window->close();
        shownAfterClose = window->isVisible();
    };
    CheckViews(*window);
    EXPECT_TRUE(closeTried);
    EXPECT_TRUE(shownAfterClose);
    EXPECT_TRUE(goDB);
    onWait = nullptr;
    window->searchPane()->cboSearch(1)->setEditText(QStringLiteral("ATR"));
    window->moTimer_Timer();
    EXPECT_EQ(window->lstMainFiles()->ItemCount(), 2);
}

namespace {

// Types `text` as key presses on `window`, through the window's own key handling.
void typeInto(QWindow* window, const QString& text)
{
    for (const QChar c : text) QTest::keyClick(window, c.toLatin1());
}

// The middle of a row's first shown cell in a grid, as a point of `window`.
QPoint RowPoint(vantile::ListView* grid, QWidget* window, int row)
{
    int32_t left = 0, top = 0, right = 0, bottom = 0;
    for (int32_t col = 0; col < 4; ++col)
        if (grid->GetBounds(col, row, left, top, right, bottom) && right > left) break;
    return grid->ScrollWnd()->mapTo(window, QPoint((left + right) / 2, (top + bottom) / 2));
}

// What the lists and the tree have selected: the IDs of the flat list's and the drill-down
// list's selected rows, and the tree's selected node.
struct Selections {
    QList<qint32> files, drillDown;
    QString node;
    bool operator==(const Selections&) const = default;
};

Selections SelectionsOf(frmMain& window)
{
    Selections s;
    const Collection<cListItem> files = window.lstMainFiles()->SelectedItems();
    for (int i = 1; i <= files.count(); ++i)
        s.files << window.lstMainFiles()->FieldValue(Variant(QStringLiteral("ID")), files.item(i)->Row).toLong();
    const Collection<cListItem> drillDown = window.lstMain()->SelectedItems();
    for (int i = 1; i <= drillDown.count(); ++i) s.drillDown << drillDown.item(i)->Key.toLong();
    if (const auto node = window.treeMain()->SelectedItem()) s.node = node->Key;
    return s;
}

std::ostream& operator<<(std::ostream& out, const Selections& s)
{
    QStringList files, drillDown;
    for (qint32 id : s.files) files << QString::number(id);
    for (qint32 id : s.drillDown) drillDown << QString::number(id);
    return out << "files [" << files.join(QLatin1Char(',')).toStdString() << "] drill-down ["
               << drillDown.join(QLatin1Char(',')).toStdString() << "] node " << s.node.toStdString();
}

} // namespace

// The user switches views with a real click and, while the new list is read, clicks a row of
// the list still on screen, then presses Entf and answers "Ja". The old rows lie under a wash
// meanwhile; the click reaches no list, neither the old one nor the new one at the same place:
// every list and the tree are selected as the switch alone leaves them, and Entf deletes no more
// than that. Both ways: Kategorien to Dateien, and Dateien to Kategorien.
TEST_F(MainWindowReadingInBackground, AClickDuringTheReadReachesNoList)
{
    const auto window = openWindow();
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    int answered = 0;
    SetMsgBoxHook([&](const QString& prompt, int, const QString&) {
        messages << prompt;
        ++answered;
        return vbYes;
    });
    struct Way {
        int from, to;
        bool categoryChosen;
    };
    for (const Way way : {Way{kViewCategories, kViewFiles, true}, Way{kViewFiles, kViewCategories, false}}) {
        SCOPED_TRACE(way.to);
        // Where the user was: a category chosen, or the first file.
        const auto arrive = [&] {
            window->BuildView(way.from);
            if (way.categoryChosen) ASSERT_TRUE(window->treeMain()->SelectItem(QStringLiteral("1"), 2));  // "Spiele"
            else window->lstMainFiles()->setSelectedIndex(0);
            QApplication::processEvents();
        };
        const QPoint viewRow = RowPoint(window->lvViews()->list(), window.get(), way.to - 1);
        // The switch alone.
        arrive();
        QTest::mouseClick(window->windowHandle(), Qt::LeftButton, {}, viewRow);
        QApplication::processEvents();
        ASSERT_EQ(window->ViewMode(), way.to);
        const Selections alone = SelectionsOf(*window);
        // The switch with a click on the old list while the new one is read.
        arrive();
        vantile::ListView* oldList = way.from == kViewFiles ? window->lstMainFiles()->grid() : window->lstMain()->grid();
        const QPoint oldRow = RowPoint(oldList, window.get(), way.categoryChosen ? 0 : 2);
        bool clicked = false, covered = false;
        const std::vector<int> filesBefore = ids(QStringLiteral("Select ID From MainFiles Order By ID"));
        QApplication::processEvents();
        // The button goes up on the view pane while the read has begun; then the click.
        onWait = [&] {
            if (clicked) return;
            clicked = true;
            covered = window->findChild<QWidget*>(QStringLiteral("WaitCover"))->isVisible();
            QTest::mouseRelease(window->windowHandle(), Qt::LeftButton, {}, viewRow);
            QTest::mouseClick(window->windowHandle(), Qt::LeftButton, {}, oldRow);
        };
        QTest::mousePress(window->windowHandle(), Qt::LeftButton, {}, viewRow);
        onWait = nullptr;
        QApplication::processEvents();
        ASSERT_TRUE(clicked);
        EXPECT_TRUE(covered) << "the old rows lie under the wash while the new ones are read";
        EXPECT_FALSE(window->findChild<QWidget*>(QStringLiteral("WaitCover"))->isVisible());
        ASSERT_EQ(window->ViewMode(), way.to);
        EXPECT_EQ(SelectionsOf(*window), alone);
        // Entf, answered "Ja": no file goes but the ones shown selected.
        answered = 0;
        QTest::keyClick(window->windowHandle(), Qt::Key_Delete);
        QApplication::processEvents();
        std::vector<int> gone;
        const std::vector<int> filesAfter = ids(QStringLiteral("Select ID From MainFiles Order By ID"));
        std::set_difference(filesBefore.begin(), filesBefore.end(), filesAfter.begin(), filesAfter.end(),
                            std::back_inserter(gone));
        std::vector<int> shownSelected(alone.files.begin(), alone.files.end());
        std::sort(shownSelected.begin(), shownSelected.end());
        if (way.to == kViewFiles) EXPECT_EQ(gone, shownSelected);
        else EXPECT_EQ(gone, std::vector<int>{}) << "the focus stays in the view pane: nothing to delete";
        EXPECT_EQ(answered, gone.empty() ? 0 : 1);
    }
}

// Keys typed into a search box while the view is read reach it, in order, once the search that
// reads is over; not in its middle.
TEST_F(MainWindowReadingInBackground, KeysTypedIntoTheSearchDuringTheReadAreKeptInOrder)
{
    const auto window = openWindow();
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    QLineEdit* edit = window->searchPane()->cboSearch(1)->lineEdit();
    edit->setFocus();
    typeInto(window->windowHandle(), QStringLiteral("BOU"));
    QString duringRead;
    bool typed = false;
    onWait = [&] {
        if (typed) return;
        typed = true;
        typeInto(window->windowHandle(), QStringLiteral("LD"));
        duringRead = edit->text();
    };
    window->moTimer_Timer();  // the typing paused: the search runs
    onWait = nullptr;
    ASSERT_TRUE(typed);
    EXPECT_EQ(duringRead, QStringLiteral("BOU"));
    EXPECT_EQ(window->lstMainFiles()->ItemCount(), 1);  // the search that was asked for
    EXPECT_EQ(edit->text(), QStringLiteral("BOU")) << "not while the search still ran";
    typeInto(window->windowHandle(), QStringLiteral("E"));
    QApplication::processEvents();
    EXPECT_EQ(edit->text(), QStringLiteral("BOULDE"));
}

// Keys held behind one that opens a window do not go into it: during a read, Strg+D (rename the
// chosen category) and Entf (delete the chosen file) open nothing, and the Return and the "q"
// typed after them neither answer a question nor rename a category. Nothing is deleted or renamed.
TEST_F(MainWindowReadingInBackground, KeysDuringTheReadOpenNoWindowAndAnswerNone)
{
    const auto window = openWindow();
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    int renames = 0;
    SetInputTextHook([&](const QString&, const QString&, const QString&) {
        ++renames;
        return QStringLiteral("q");
    });
    SetMsgBoxHook([&](const QString& prompt, int, const QString&) {
        messages << prompt;
        return vbYes;
    });
    window->BuildView(kViewCategories);
    // The category chosen on the tree, which stays the active one; then the search box.
    ASSERT_TRUE(window->treeMain()->SelectItem(QStringLiteral("1"), 2));
    window->treeMain()->setFocus();
    QApplication::processEvents();
    QLineEdit* edit = window->searchPane()->cboSearch(1)->lineEdit();
    edit->setFocus();
    typeInto(window->windowHandle(), QStringLiteral("A"));
    bool typed = false;
    onWait = [&] {
        if (typed) return;
        typed = true;
        QTest::keyClick(window->windowHandle(), Qt::Key_D, Qt::ControlModifier);
        typeInto(window->windowHandle(), QStringLiteral("q"));
    };
    window->moTimer_Timer();  // the typing paused: the search reads the lists
    ASSERT_TRUE(typed);
    // Entf and Return on the drill-down list while it reads the rows of another category.
    window->lstMain()->grid()->ScrollWnd()->setFocus();
    typed = false;
    onWait = [&] {
        if (typed) return;
        typed = true;
        QTest::keyClick(window->windowHandle(), Qt::Key_Delete);
        QTest::keyClick(window->windowHandle(), Qt::Key_Return);
    };
    ASSERT_TRUE(window->treeMain()->SelectItem(QStringLiteral("2"), 2));  // "Demos"
    onWait = nullptr;
    ASSERT_TRUE(typed);
    QApplication::processEvents();
    EXPECT_EQ(renames, 0);
    EXPECT_TRUE(messages.isEmpty()) << messages.join(QLatin1Char('|')).toStdString();
    EXPECT_EQ(edit->text(), QStringLiteral("Aq"));
    EXPECT_EQ(ids(QStringLiteral("Select ID From MainFiles Order By ID")), (std::vector<int>{1, 2, 3, 4, 5}));
    EXPECT_EQ(ids(QStringLiteral("Select ID From Category Where tCategory In ('Spiele','Demos') Order By ID")),
              (std::vector<int>{1, 2}));
    SetInputTextHook(nullptr);
}

// Compaction leaves the catalogue in its single-file journal: the copy it takes must be the
// file's only reader, and no second connection may keep the write-ahead log open.
TEST_F(MainWindowReadingInBackground, CompactionOnCloseLeavesNoLogBesideTheCatalogue)
{
    const auto window = openWindow();
    window->BuildView(3);
    window->setCompactOnClose(true);
    JobCloser closer;
    window->close();
    EXPECT_FALSE(goDB);
    EXPECT_TRUE(QFile::exists(dir.filePath(QStringLiteral("test.OLD"))));
    for (const char* beside : {"-wal", "-shm"})
        EXPECT_FALSE(QFile::exists(catalogue + QLatin1String(beside))) << beside;
    EXPECT_TRUE(messages.isEmpty()) << messages.join(QLatin1Char('|')).toStdString();
    ASSERT_TRUE(ConnectDB(catalogue));
    EXPECT_EQ(ids(QStringLiteral("Select ID From MainFiles Order By ID")), (std::vector<int>{1, 2, 3, 4, 5}));
}

// A missing remembered catalogue: a message, nothing open, the view commands off.
TEST_F(MainWindowView, MissingCatalogueIsReportedAndForgotten)
{
    QFile::remove(catalogue);
    const auto window = openWindow();
    EXPECT_FALSE(goDB);
    EXPECT_TRUE(gtDBPath.isEmpty());
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Tovarin"));
    EXPECT_EQ(window->StatusText(), QStringLiteral("No database"));
    ASSERT_EQ(messages.size(), 1);
    EXPECT_TRUE(messages[0].contains(catalogue));
    window->close();
    EXPECT_FALSE(readIni().contains(catalogue));
}

// Opening through the file dialog; a cancelled dialog keeps the open catalogue.
TEST_F(MainWindowView, OpenCommandSwitchesCatalogues)
{
    const auto window = openWindow();
    QDir(gtTempPath).mkpath(QStringLiteral("X.ZIP"));
    QFile loose(QDir(gtTempPath).filePath(QStringLiteral("loose.atr")));
    ASSERT_TRUE(loose.open(QIODevice::WriteOnly));
    loose.close();
    DbError e;
    const QString other = dir.filePath(QStringLiteral("other.MDB"));
    ASSERT_TRUE(CreateCatalogue(other, QByteArray(), &e));
    QString chosen;
    SetFileDialogHook([&chosen](const FileDialogRequest&) { return chosen; });
    window->mnuOpenDB_Click();
    EXPECT_EQ(gtDBPath, catalogue);
    EXPECT_TRUE(loose.exists());
    chosen = other;
    window->mnuOpenDB_Click();
    EXPECT_EQ(gtDBPath, other);
    EXPECT_EQ(window->lstMainFiles()->ItemCount(), 0);
    EXPECT_FALSE(loose.exists());
    EXPECT_TRUE(QDir(gtTempPath).exists(QStringLiteral("X.ZIP")));
    window->close();
    const QString ini = readIni();
    EXPECT_TRUE(ini.contains(QStringLiteral("Database=") + other + QStringLiteral("\r\nDatabase2=") + catalogue));
}

// Importing a folder shows the new files, then the whole list holds them too; importing a
// file that is already catalogued selects its row.
TEST_F(MainWindowView, ImportShowsTheNewFilesAndSelectsAKnownOne)
{
    const QString folder = dir.filePath(QStringLiteral("import"));
    QDir().mkpath(folder);
    for (const char* name : {"NEW1.NFO", "NEW2.TXT"}) {
        QFile f(folder + QLatin1Char('/') + QLatin1String(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(QByteArray(720, '\0'));
    }
    const auto window = openWindow();
    QString chosen = folder;
    SetFileDialogHook([&chosen](const FileDialogRequest&) { return chosen; });
    JobCloser closer;
    window->lvFilter()->list()->SetBookmark(3, -1, 0);  // "Kassetten"
    window->mnuAddDir_Click();
    EXPECT_EQ(window->lvFilter()->CurrentRow(), 0);
    EXPECT_EQ(window->ViewMode(), 2);
    EXPECT_EQ(window->lstMainFiles()->ItemCount(), 2);
    EXPECT_EQ(window->CountText(), QStringLiteral("Dateien: 2/7"));
    EXPECT_EQ(gtDialogPath, folder + QLatin1Char('/'));

    window->BuildView(1);
    EXPECT_EQ(window->lstMainFiles()->ItemCount(), 7);
    chosen = folder + QStringLiteral("/NEW2.TXT");
    QString filter;
    SetFileDialogHook([&chosen, &filter](const FileDialogRequest& request) {
        filter = request.filter;
        return chosen;
    });
    window->mnuAddFile_Click();
    // The import dialog's types are German, as the rest of the interface; "*.*" matches names
    // without a dot too.
    EXPECT_EQ(filter, QStringLiteral("Alle Dateien (*);;Disketten-Image (*.atr *.dcm *.pro *.xfd);;"
                                     "Ausführbares Programm (*.com *.exe *.xex);;BASIC-Programm (*.bas);;"
                                     "Kassette (*.cas);;Cartridge (*.bin *.rom);;PDF-Dateien (*.pdf);;"
                                     "Bilddateien (*.bmp *.gif *.jpg *.png *.tiff);;Textdateien (*.txt *.nfo *.diz);;"
                                     "Archivdateien (*.zip *.rar *.7z *.cab)"));
    EXPECT_EQ(window->ViewMode(), 1);
    EXPECT_EQ(window->lstMainFiles()->ItemCount(), 7);
    EXPECT_EQ(window->SelectedFileID(), -7);
    window->close();
    EXPECT_TRUE(readIni().contains(QStringLiteral("Dialog=") + folder + QStringLiteral("/\r\n")));
}

// An import that adds files shows them however the search stood: the search is emptied, and
// no search runs when its pause would have ended.
TEST_F(MainWindowView, ImportClearsTheSearch)
{
    const QString folder = dir.filePath(QStringLiteral("import"));
    QDir().mkpath(folder);
    for (const char* name : {"FLIP1.NFO", "FLIP2.TXT"}) {
        QFile f(folder + QLatin1Char('/') + QLatin1String(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(QByteArray(720, '\0'));
    }
    const auto window = openWindow();
    SearchPane* pane = window->searchPane();
    QLineEdit* edit = pane->cboSearch(1)->lineEdit();
    QTest::keyClicks(edit, QStringLiteral("boulder"));
    QTest::keyClick(edit, Qt::Key_Return);
    ASSERT_EQ(window->lstMainFiles()->ItemCount(), 1);
    SetFileDialogHook([&folder](const FileDialogRequest&) { return folder; });
    JobCloser closer;
    window->mnuAddDir_Click();
    EXPECT_EQ(window->ViewMode(), 2);
    EXPECT_EQ(pane->Texts().join(QString()), QString());
    EXPECT_FALSE(pane->moTimer()->Enabled());
    EXPECT_FALSE(pane->cmdStopSearch()->isEnabled());
    EXPECT_EQ(window->lstMainFiles()->ItemCount(), 2);
    EXPECT_EQ(window->CountText(), QStringLiteral("Dateien: 2/7"));
}

// A double click starts the selected row's file, from the flat list and the drill-down list
// alike; a file that is gone is reported by the start.
TEST_F(MainWindowView, DoubleClickStartsTheSelectedFile)
{
    const auto window = openWindow();
    window->lstMainFiles()->setSelectedIndex(0);
    window->lstMainFiles()->ItemDblClick.raise(0, 1, 0);
    ASSERT_EQ(messages.size(), 1);
    EXPECT_TRUE(messages[0].endsWith(QStringLiteral("/games/BOULDER.ATR")));
}

// In the categories view the drill-down list hands a double click and Return to the window,
// which starts the file, as the list was placed on the window; it does not drill down. Return
// starts from the flat list as well.
TEST_F(MainWindowView, DoubleClickAndReturnStartFromTheDrillDownList)
{
    const auto window = openWindow();
    window->BuildView(3);
    ASSERT_TRUE(window->treeMain()->SelectItem(QStringLiteral("1"), 2));  // "Spiele"
    ASSERT_EQ(window->lstMain()->ItemCount(), 1);
    auto* grid = window->lstMain()->grid();
    int32_t left = 0, top = 0, right = 0, bottom = 0;
    grid->GetBounds(1, 0, left, top, right, bottom);
    const QPoint row = grid->ScrollWnd()->mapTo(window.get(), QPoint(left + 5, (top + bottom) / 2));
    QTest::mouseClick(window->windowHandle(), Qt::LeftButton, {}, row);
    QTest::mouseDClick(window->windowHandle(), Qt::LeftButton, {}, row);
    ASSERT_EQ(messages.size(), 1) << "the double click starts the file";
    EXPECT_TRUE(messages[0].endsWith(QStringLiteral(".ATR"), Qt::CaseInsensitive)) << messages[0].toStdString();
    QTest::keyClick(window->windowHandle(), Qt::Key_Return);
    EXPECT_EQ(messages.size(), 2) << "so does Return";
    // Return starts from the flat list of the files view too.
    window->BuildView(1);
    window->lstMainFiles()->setSelectedIndex(0);
    window->lstMainFiles()->grid()->ScrollWnd()->setFocus();
    QTest::keyClick(window->windowHandle(), Qt::Key_Return);
    EXPECT_EQ(messages.size(), 3);
}

// Closing from a category's files: the catalogue is closed, compacted when asked (the old
// file kept), and the settings name it as the last catalogue.
TEST_F(MainWindowView, CloseClosesAndCompactsTheCatalogue)
{
    const auto window = openWindow();
    window->BuildView(3);
    window->treeMain()->SelectItem(QStringLiteral("1"), 2);
    window->setCompactOnClose(true);
    JobCloser closer;
    window->close();
    EXPECT_FALSE(goDB);
    EXPECT_TRUE(QFile::exists(dir.filePath(QStringLiteral("test.OLD"))));
    EXPECT_TRUE(QFile::exists(catalogue));
    const QString ini = readIni();
    EXPECT_TRUE(ini.contains(QStringLiteral("Database=") + catalogue + QStringLiteral("\r\n")));
    EXPECT_TRUE(ini.contains(QStringLiteral("ViewMode=3\r\n")));
    EXPECT_TRUE(messages.isEmpty()) << messages.join(QLatin1Char('|')).toStdString();
}

} // namespace

namespace {

QAction* command(frmMain& window, const char* name)
{
    return window.findChild<QAction*>(QLatin1String(name));
}

// The first activation empties the temporary folder, extraction folders included.
TEST_F(MainWindowView, FirstActivationEmptiesTheTemporaryFolder)
{
    QDir(gtTempPath).mkpath(QStringLiteral("OLD.ZIP/DIR"));
    const auto window = openWindow();
    EXPECT_TRUE(QDir(gtTempPath).exists());
    EXPECT_TRUE(QDir(gtTempPath).isEmpty());
    EXPECT_EQ(window->lstMainFiles()->ItemCount(), 5);
}

// The recent drop-downs list their paths sorted without regard to case; an entry opens its path.
TEST_F(MainWindowView, RecentDropDownsAreSortedAndOpenTheirPath)
{
    const QString folderB = dir.filePath(QStringLiteral("b")) + QLatin1Char('/');
    const QString folderA = dir.filePath(QStringLiteral("A")) + QLatin1Char('/');
    writeIni(QStringLiteral("[MAIN]\r\nDatabase=") + catalogue + QStringLiteral("\r\nDialog=") + folderB
             + QStringLiteral("\r\nDialog2=") + folderA + QStringLiteral("\r\n"));
    const auto window = openWindow();
    auto* toolbar = window->findChild<QToolBar*>(QStringLiteral("tlbMain"));
    ASSERT_TRUE(toolbar);
    auto* addDir = qobject_cast<QToolButton*>(toolbar->widgetForAction(command(*window, "tbAddDir")));
    ASSERT_TRUE(addDir && addDir->menu());
    const auto entries = addDir->menu()->actions();
    ASSERT_EQ(entries.size(), 2);
    EXPECT_EQ(entries[0]->text(), folderA);
    EXPECT_EQ(entries[1]->text(), folderB);
    auto* openDb = qobject_cast<QToolButton*>(toolbar->widgetForAction(command(*window, "tbOpenDB")));
    ASSERT_TRUE(openDb && openDb->menu());
    ASSERT_EQ(openDb->menu()->actions().size(), 1);
    EXPECT_EQ(openDb->menu()->actions()[0]->text(), catalogue);
}

// A new category is made and selected in the tree; one that exists is only selected.
TEST_F(MainWindowView, NewCategoryIsAddedAndSelected)
{
    const auto window = openWindow();
    window->BuildView(3);
    QString typed = QStringLiteral("Tools");
    SetInputTextHook([&typed](const QString&, const QString&, const QString&) { return typed; });
    command(*window, "mnuNewCat")->trigger();
    EXPECT_EQ(window->treeMain()->ItemCount(), 4);
    ASSERT_TRUE(window->treeMain()->SelectedItem());
    EXPECT_EQ(window->treeMain()->SelectedItem()->Text, QStringLiteral("Tools"));
    typed = QStringLiteral("spiele");
    command(*window, "mnuNewCat")->trigger();
    EXPECT_EQ(window->treeMain()->ItemCount(), 4);
    EXPECT_EQ(window->treeMain()->SelectedItem()->Key, QStringLiteral("1"));
    typed.clear();
    command(*window, "mnuNewCat")->trigger();
    EXPECT_EQ(window->treeMain()->ItemCount(), 4);
    SetInputTextHook(nullptr);
}

// Toggling the compact command twice leaves the catalogue uncompacted at close.
TEST_F(MainWindowView, CompactToggledTwiceDoesNotCompact)
{
    const auto window = openWindow();
    command(*window, "mnuCompactDB")->trigger();
    command(*window, "mnuCompactDB")->trigger();
    window->close();
    EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("test.OLD"))));
}

} // namespace

namespace {

// The shown cell text of a list column, as the grid asks the window for it.
QString ShownText(vantile::ListView* grid, const QString& key, int32_t row, const Variant& stored)
{
    const auto column = grid->Columns()->Item(Variant(key));
    if (!column) return QStringLiteral("<no column %1>").arg(key);
    Variant value = stored;
    Variant icons;
    if (column->FetchContents) grid->FetchContents.raise(row, column->Index(), value, icons);
    return value.text();
}

// The flat list opens sorted by file name; sizes and the stored codes read as text, and the
// internal archive mark is never shown.
TEST_F(MainWindowView, FileColumnsShowText)
{
    ASSERT_TRUE(ConnectDB(catalogue));
    ASSERT_FALSE(goDB->Execute(QStringLiteral("UPDATE MainFiles SET iBasic=2, iModel=3, iOS=6, iVideo=2 WHERE ID=1")));
    CloseDB();
    const auto window = openWindow();
    vantile::ListView* grid = window->lstMainFiles()->grid();
    ASSERT_EQ(window->lstMainFiles()->ItemCount(), 5);
    QStringList names;
    for (int32_t row = 0; row < 5; ++row) names << window->lstMainFiles()->FieldValue(Variant(QStringLiteral("Datei")), row).text();
    EXPECT_EQ(names, (QStringList{"BOULDER.ATR", "INNER.ATR", "IT'S.XEX", "PIC.GIF", "TAPE.CAS"}));
    struct Case {
        const char* key;
        Variant stored;
        const char* shown;
    };
    const Case cases[] = {
        {"Größe", Variant(QStringLiteral("92176")), "90,0 KB"},
        {"Größe", Variant(QStringLiteral("300")), "300 Byte"},
        {"Basic", Variant(QStringLiteral("2")), "Ja"},
        {"Basic", Variant(QStringLiteral("0")), ""},
        {"Model", Variant(QStringLiteral("3")), "65XE/130XE"},
        {"OS", Variant(QStringLiteral("6")), "Auto"},
        {"Video", Variant(QStringLiteral("2")), "PAL"},
        {"Video", Variant::null(), ""},
        {"Datei", Variant(QStringLiteral("2")), "2"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.key);
        EXPECT_EQ(ShownText(grid, QString::fromUtf8(c.key), 0, c.stored), QString::fromUtf8(c.shown));
    }
    const auto mark = grid->Columns()->Item(Variant(QStringLiteral("IsArchiv")));
    ASSERT_TRUE(mark);
    EXPECT_EQ(mark->Hidden(), 2);

    // The drill-down list of the categories view reads the same way.
    window->BuildView(3);
    window->treeMain()->SelectItem(QStringLiteral("1"), 2);
    ASSERT_GE(window->lstMain()->Columns()->Count(), 1);
    EXPECT_EQ(ShownText(window->lstMain()->grid(), QStringLiteral("Größe"), 0, Variant(QStringLiteral("2048"))),
              QStringLiteral("2,0 KB"));
    EXPECT_EQ(window->lstMain()->Columns()->Item(Variant(QStringLiteral("IsArchiv")))->Hidden(), 2);
    window->close();
}

// The side panes: a view row switches the view; a selection row narrows the list and is
// remembered at close as the pane row.
TEST_F(MainWindowView, SidePanesSwitchViewAndSelection)
{
    const auto window = openWindow();
    EXPECT_EQ(window->lvViews()->CurrentRow(), 0);
    window->lvViews()->list()->SetBookmark(2, -1, 0);
    EXPECT_EQ(window->ViewMode(), 3);
    EXPECT_TRUE(window->StatusText().startsWith(QStringLiteral("Kategorien (Dauer: ")));
    window->BuildView(1);
    EXPECT_EQ(window->lvViews()->CurrentRow(), 0);

    // The selections stand in name order below "Filter aus".
    ASSERT_EQ(window->lvFilter()->RowCount(), 6);
    EXPECT_EQ(window->lvFilter()->Text(1), QStringLiteral("Bilder"));
    EXPECT_EQ(window->lvFilter()->Text(4), QStringLiteral("Kassetten"));
    window->lvFilter()->list()->SetBookmark(4, -1, 0);
    EXPECT_EQ(window->lstMainFiles()->ItemCount(), 1);
    window->lvFilter()->list()->SetBookmark(0, -1, 0);
    EXPECT_EQ(window->lstMainFiles()->ItemCount(), 5);
    window->lvFilter()->list()->SetBookmark(4, -1, 0);
    window->close();
    EXPECT_TRUE(readIni().contains(QStringLiteral("LastFilterRow=4\r\n")));

    frmMain again;
    again.show();
    QApplication::processEvents();
    QApplication::processEvents();
    EXPECT_EQ(again.lvFilter()->CurrentRow(), 4);
    EXPECT_EQ(again.lstMainFiles()->ItemCount(), 1);
}

// A selection from a settings file edited by hand that compares the size with a text: the
// condition is left out, named once, and the rest of the view stands.
TEST_F(MainWindowView, SelectionComparingANumberWithATextIsNamedAndLeftOut)
{
    writeIni(QStringLiteral("[MAIN]\r\nDatabase=") + catalogue
             + QStringLiteral("\r\nLastFilterRow=1\r\nFilterName1=Groß\r\nFilterDef1=lSize!@!<!@!inF!@!\r\n"));
    const auto window = openWindow();
    ASSERT_EQ(window->lvFilter()->CurrentRow(), 1);
    EXPECT_EQ(window->lstMainFiles()->ItemCount(), 5);
    ASSERT_EQ(messages.size(), 1) << messages.join(QLatin1Char('|')).toStdString();
    EXPECT_TRUE(messages[0].contains(QStringLiteral("„Groß“"))) << messages[0].toStdString();
    EXPECT_TRUE(messages[0].endsWith(QStringLiteral("\n\nlSize < inF"))) << messages[0].toStdString();
    window->BuildView(1);
    EXPECT_EQ(window->lstMainFiles()->ItemCount(), 5);
    EXPECT_EQ(messages.size(), 1) << "named once";
}

} // namespace

namespace {

// Closing keeps the shown list's layout and its visible fields; a column the user hid is not
// among them.
TEST_F(MainWindowView, CloseKeepsTheListLayout)
{
    const auto window = openWindow();
    const auto path = window->lstMainFiles()->Columns()->Item(Variant(QStringLiteral("Dateipfad")));
    ASSERT_TRUE(path);
    path->SetHidden(1);
    window->close();
    const QString ini = readIni();
    EXPECT_TRUE(ini.contains(QStringLiteral("\r\nMainListColumns=Filetyp@@@tFile@@@lSize@@@Model@@@"))) << ini.toStdString();
    EXPECT_FALSE(ini.contains(QStringLiteral("@@@tPath@@@")));
    EXPECT_TRUE(ini.contains(QStringLiteral("\r\nListLayout=")));
}

// A column hidden in the file list is hidden in the drill-down list of the next view too.
TEST_F(MainWindowView, HiddenColumnFollowsIntoTheNextView)
{
    const auto window = openWindow();
    window->lstMainFiles()->Columns()->Item(Variant(QStringLiteral("Dateipfad")))->SetHidden(1);
    window->BuildView(3);
    const auto column = window->lstMain()->Columns()->Item(Variant(QStringLiteral("Dateipfad")));
    ASSERT_TRUE(column);
    EXPECT_EQ(column->Hidden(), 1);
    EXPECT_EQ(window->lstMain()->Columns()->Item(Variant(QStringLiteral("Datei")))->Hidden(), 0);
}

} // namespace

namespace {

// The details command edits the selected file; after OK the list shows the change and keeps
// the row selected.
TEST_F(MainWindowView, DetailsCommandEditsTheSelectedFile)
{
    const auto window = openWindow();
    window->lstMainFiles()->setSelectedIndex(2);
    const qint32 id = -window->SelectedFileID();
    ASSERT_GT(id, 0);
    QTimer timer;
    timer.setInterval(10);
    QObject::connect(&timer, &QTimer::timeout, [] {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal || modal->objectName() != QLatin1String("frmFile")) return;
        if (auto* memo = modal->findChild<QWidget*>(QStringLiteral("txtMemo")))
            QMetaObject::invokeMethod(memo, "setText", Q_ARG(QString, QStringLiteral("edited")));
        modal->findChild<QPushButton*>(QStringLiteral("cmdOk"))->click();
    });
    timer.start();
    window->findChild<QAction*>(QStringLiteral("mnuDetails"))->trigger();
    EXPECT_EQ(window->SelectedFileID(), -id);
    EXPECT_EQ(window->lstMainFiles()->FieldValue(Variant(QStringLiteral("Bemerkung"))).text(), QStringLiteral("edited"));
}

} // namespace

namespace {

// A language file of the language folder: its menu item translates menus, panes and the view,
// and German brings the source texts back.
TEST_F(MainWindowView, LanguageMenuTranslatesTheWindow)
{
    QDir().mkpath(gtLangPath);
    QFile lng(gtLangPath + QStringLiteral("English.lng"));
    ASSERT_TRUE(lng.open(QIODevice::WriteOnly));
    lng.write(QStringLiteral("Datei importieren@@Import file\r\nKategorien@@Categories\r\nDateien@@Files\r\n"
                             "Filter aus@@No filter\r\n").toUtf8());
    lng.close();
    const auto window = openWindow();
    const QList<QAction*> items = window->languageMenu()->actions();
    ASSERT_EQ(items.size(), 2);
    EXPECT_EQ(items[1]->text(), QStringLiteral("Englisch"));
    EXPECT_TRUE(items[0]->isChecked());
    QAction* addFile = window->findChild<QAction*>(QStringLiteral("mnuAddFile"));
    EXPECT_EQ(addFile->text(), QStringLiteral("Datei importieren"));

    items[1]->trigger();
    EXPECT_EQ(gtLanguageFile, QStringLiteral("English.lng"));
    EXPECT_EQ(addFile->text(), QStringLiteral("Import file"));
    EXPECT_EQ(window->lvViews()->Text(2), QStringLiteral("Categories"));
    EXPECT_EQ(window->lvFilter()->Text(0), QStringLiteral("No filter"));
    EXPECT_TRUE(window->StatusText().startsWith(QStringLiteral("Files (")));
    EXPECT_EQ(window->lstMainFiles()->ItemCount(), 5);

    items[0]->trigger();
    EXPECT_TRUE(gtLanguageFile.isEmpty());
    EXPECT_EQ(addFile->text(), QStringLiteral("Datei importieren"));
    EXPECT_EQ(window->lvViews()->Text(2), QStringLiteral("Kategorien"));
    window->close();
    EXPECT_TRUE(readIni().contains(QStringLiteral("\r\nLanguageFile=\r\n")));
}

} // namespace

namespace {

// A selection made and applied in the selection window gets its pane row and becomes current;
// deleting it there takes the row away and turns the selection off.
TEST_F(MainWindowView, SelectionWindowKeepsTheFilterPaneInStep)
{
    const auto window = openWindow();
    SetInputTextHook([](const QString&, const QString&, const QString&) { return QStringLiteral("Alpha"); });
    bool remove = false;
    QTimer timer;
    timer.setInterval(10);
    QObject::connect(&timer, &QTimer::timeout, [&remove] {
        auto* filter = qobject_cast<frmMainFilter*>(QApplication::activeModalWidget());
        if (!filter) return;
        if (remove) {
            filter->DeleteSelection();
        } else {
            filter->NewSelection();
            filter->Apply();
        }
        filter->reject();
    });
    timer.start();
    window->findChild<QAction*>(QStringLiteral("mnuFilter"))->trigger();
    ASSERT_EQ(window->lvFilter()->RowCount(), 7);
    const int row = window->lvFilter()->CurrentRow();
    EXPECT_EQ(window->lvFilter()->Text(row), QStringLiteral("Alpha"));

    remove = true;
    window->findChild<QAction*>(QStringLiteral("mnuFilter"))->trigger();
    EXPECT_EQ(window->lvFilter()->RowCount(), 6);
    EXPECT_EQ(window->lvFilter()->CurrentRow(), 0);
    EXPECT_EQ(window->lstMainFiles()->ItemCount(), 5);
    SetInputTextHook(nullptr);
}

} // namespace

namespace {

// A settings file that keeps a tree view but no column list: the drill-down list shows its
// columns at every level the tree moves to, and the next start finds them again.
TEST_F(MainWindowView, DrillDownColumnsWithoutAStoredList)
{
    writeIni(QStringLiteral("[MAIN]\r\nDatabase=") + catalogue + QStringLiteral("\r\nViewMode=3\r\n"));
    const auto window = openWindow();
    ASSERT_EQ(window->ViewMode(), 3);
    auto shown = [&window] {
        QStringList keys;
        const auto columns = window->lstMain()->Columns();
        for (int32_t i = 0; columns && i < columns->Count(); ++i)
            if (const auto c = columns->Item(Variant(i)); c && c->Hidden() == 0) keys << c->Key();
        return keys;
    };
    for (const char* key : {"1", "-1", "2"}) {
        SCOPED_TRACE(key);
        ASSERT_TRUE(window->treeMain()->SelectItem(QString::fromUtf8(key), QLatin1String(key) == QLatin1String("-1") ? 1 : 2));
        EXPECT_TRUE(shown().contains(QStringLiteral("Datei"))) << shown().join(QLatin1Char(',')).toStdString();
        EXPECT_TRUE(shown().contains(QStringLiteral("Dateipfad")));
    }
    window->close();
    EXPECT_TRUE(readIni().contains(QStringLiteral("\r\nMainListColumns=ucase")) || readIni().contains(QStringLiteral("tFile@@@")))
        << readIni().toStdString();
    EXPECT_FALSE(readIni().contains(QStringLiteral("\r\nMainListColumns=\r\n")));
}

// The view items work without a catalogue: enabled, building nothing and leaving their marks.
TEST_F(MainWindowView, ViewItemsWithoutACatalogue)
{
    writeIni(QStringLiteral("[MAIN]\r\n"));
    const auto window = openWindow();
    ASSERT_FALSE(goDB);
    QList<QAction*> items;
    for (QAction* a : window->findChildren<QAction*>(QStringLiteral("mnuView"))) items << a;
    ASSERT_EQ(items.size(), 4);
    for (QAction* item : items) {
        EXPECT_TRUE(item->isEnabled()) << item->text().toStdString();
        const bool before = item->isChecked();
        item->trigger();
        EXPECT_EQ(item->isChecked(), before) << item->text().toStdString();
    }
    EXPECT_EQ(window->ViewMode(), 1);
}

// The preview shows what is selected or nothing: no picture stays behind in a view without a
// selection or in another catalogue, and its headers follow the language.
TEST_F(MainWindowView, PreviewShowsTheSelectionOrNothing)
{
    QImage picture(40, 30, QImage::Format_RGB32);
    picture.fill(Qt::red);
    const QString pic = dir.filePath(QStringLiteral("PIC.PNG"));
    ASSERT_TRUE(picture.save(pic));
    ASSERT_TRUE(ConnectDB(catalogue));
    ASSERT_FALSE(goDB->Execute(QStringLiteral("UPDATE MainFiles SET tPath='") + pic + QStringLiteral("' WHERE ID=3")));
    CloseDB();
    const QString other = dir.filePath(QStringLiteral("empty.MDB"));
    { DbError e; ASSERT_TRUE(CreateCatalogue(other, QByteArray(), &e)); }
    QDir().mkpath(gtLangPath);
    QFile lng(gtLangPath + QStringLiteral("English.lng"));
    ASSERT_TRUE(lng.open(QIODevice::WriteOnly));
    lng.write(QStringLiteral("Datei@@File\r\nGröße@@Size\r\nFiletyp@@File type\r\n").toUtf8());
    lng.close();

    const auto window = openWindow();
    PreviewPane* pane = window->preview();
    window->findChild<QAction*>(QStringLiteral("mnuPreview"))->trigger();
    auto showPicture = [&] {
        ASSERT_TRUE(window->lstMainFiles()->Find(Variant(QStringLiteral("ID")), Variant(qint32(3))));
        QApplication::processEvents();
        ASSERT_EQ(pane->ShownId(), 3);
        ASSERT_TRUE(pane->picGrafic->isVisible());
    };
    showPicture();
    window->BuildView(4);  // nothing selected in the history
    EXPECT_EQ(window->SelectedFileID(), 0);
    EXPECT_FALSE(pane->picGrafic->isVisible());
    EXPECT_TRUE(pane->imgGrafic->pixmap().isNull());

    window->BuildView(1);
    showPicture();
    window->OpenDatabaseFile(other);
    ASSERT_EQ(gtDBPath, other);
    EXPECT_EQ(window->lstMainFiles()->ItemCount(), 0);
    EXPECT_FALSE(pane->picGrafic->isVisible());
    EXPECT_TRUE(pane->imgGrafic->pixmap().isNull());

    window->OpenDatabaseFile(catalogue);
    ASSERT_TRUE(window->lstMainFiles()->Find(Variant(QStringLiteral("ID")), Variant(qint32(1))));  // BOULDER.ATR
    QApplication::processEvents();
    ASSERT_EQ(pane->ShownId(), 1);
    auto header = [pane](const char* key) {
        const auto column = pane->lvPreview->Columns()->Item(Variant(QString::fromUtf8(key)));
        return column ? column->Header()->Text : QString();
    };
    EXPECT_EQ(header("File"), QStringLiteral("Datei"));
    window->languageMenu()->actions()[1]->trigger();
    ASSERT_EQ(gtLanguageFile, QStringLiteral("English.lng"));
    ASSERT_TRUE(window->lstMainFiles()->Find(Variant(QStringLiteral("ID")), Variant(qint32(1))));
    QApplication::processEvents();
    EXPECT_EQ(header("File"), QStringLiteral("File"));
    EXPECT_EQ(header("Size"), QStringLiteral("Size"));
    EXPECT_EQ(header("Extension"), QStringLiteral("File type"));
    EXPECT_EQ(pane->lvPreview->RowCount(), 1);
}

// The preview command shows the pane, which follows the selected row; its state is kept.
TEST_F(MainWindowView, PreviewFollowsTheSelection)
{
    const auto window = openWindow();
    EXPECT_FALSE(window->preview()->isVisible());
    window->findChild<QAction*>(QStringLiteral("mnuPreview"))->trigger();
    EXPECT_TRUE(window->preview()->isVisible());
    window->lstMainFiles()->setSelectedIndex(1);
    QApplication::processEvents();
    EXPECT_EQ(std::abs(window->preview()->ShownId()), std::abs(window->SelectedFileID()));
    EXPECT_NE(window->preview()->ShownId(), 0);
    window->close();
    EXPECT_TRUE(readIni().contains(QStringLiteral("\r\nPreview=1\r\n")));
}

} // namespace

namespace {

// A single file imported into the view of new files lands on its first row: it is selected,
// the commands that need a file are usable and the status bar names it.
TEST_F(MainWindowView, ImportedFileOnTheFirstRowIsSelectedForTheCommands)
{
    const QString file = dir.filePath(QStringLiteral("import/ZED.TXT"));
    QDir().mkpath(QFileInfo(file).absolutePath());
    QFile f(file);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("text\r\n");
    f.close();
    const auto window = openWindow();
    SetFileDialogHook([&file](const FileDialogRequest&) { return file; });
    JobCloser closer;
    window->mnuAddFile_Click();
    ASSERT_EQ(window->ViewMode(), 2);
    ASSERT_EQ(window->lstMainFiles()->ItemCount(), 1);
    EXPECT_EQ(window->lstMainFiles()->SelectedIndex(), 0);
    EXPECT_EQ(window->SelectedFileID(), -6);
    for (const char* name : {"mnuDetails", "mnuDel", "mnuFilepath"})
        EXPECT_TRUE(window->findChild<QAction*>(QLatin1String(name))->isEnabled()) << name;
    EXPECT_TRUE(window->startMenu()->menuAction()->isEnabled());
    EXPECT_EQ(window->StatusText(), QStringLiteral("ZED.TXT"));
}

// A real file for the commands that reach the disk: BOULDER.ATR (ID 1) moved into the test folder.
class MainWindowOnDisk : public MainWindowView {
protected:
    void SetUp() override
    {
        MainWindowView::SetUp();
        file = dir.filePath(QStringLiteral("disk/BOULDER.ATR"));
        QDir().mkpath(QFileInfo(file).absolutePath());
        QFile f(file);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(QByteArray(720, '\0'));
        f.close();
        ASSERT_TRUE(ConnectDB(catalogue));
        ASSERT_FALSE(goDB->Execute(QStringLiteral("UPDATE MainFiles SET tPath='%1' WHERE ID=1").arg(file)));
        CloseDB();
    }
    QString file;
};

// "Dateipfad" hands the file's folder to the desktop's opener; when the opener fails (no
// file manager for folders) or is missing, the user is told that the folder did not open.
TEST_F(MainWindowOnDisk, FilePathCommandSaysWhenTheFolderCannotBeOpened)
{
    const QString bin = dir.filePath(QStringLiteral("bin"));
    QDir().mkpath(bin);
    const QString opened = dir.filePath(QStringLiteral("opened.txt"));
    const auto writeOpener = [&](const QByteArray& script) {
        QFile f(bin + QStringLiteral("/xdg-open"));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("#!/bin/sh\n" + script);
        f.close();
        ASSERT_TRUE(f.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
    };
    const QByteArray oldPath = qgetenv("PATH");
    const auto restorePath = qScopeGuard([&oldPath] { qputenv("PATH", oldPath); });
    qputenv("PATH", bin.toUtf8());
    const auto window = openWindow();
    ASSERT_TRUE(window->lstMainFiles()->Find(Variant(QStringLiteral("ID")), Variant(qint32(1))));
    QAction* command = window->findChild<QAction*>(QStringLiteral("mnuFilepath"));
    const QString folder = QFileInfo(file).absolutePath() + QLatin1Char('/');

    writeOpener("echo \"$1\" > '" + opened.toUtf8() + "'\n");
    command->trigger();
    EXPECT_TRUE(messages.isEmpty()) << messages.join(QLatin1Char('|')).toStdString();
    QFile record(opened);
    ASSERT_TRUE(record.open(QIODevice::ReadOnly));
    EXPECT_EQ(QString::fromUtf8(record.readAll()).trimmed(), folder);

    // No program for folders (exit code 3), said at once or after the opener's first moment
    // (it searches long on a busy machine); no opener at all.
    for (const char* opener : {"exit 3\n", "/bin/sleep 2\nexit 3\n", ""}) {
        SCOPED_TRACE(opener);
        messages.clear();
        if (*opener) writeOpener(opener);
        else QFile::remove(bin + QStringLiteral("/xdg-open"));
        command->trigger();
        QDeadlineTimer deadline(10000);
        while (messages.isEmpty() && !deadline.hasExpired()) {
            QCoreApplication::processEvents();
            QThread::msleep(20);
        }
        ASSERT_EQ(messages.size(), 1);
        EXPECT_TRUE(messages[0].startsWith(QStringLiteral("Der Ordner konnte nicht geöffnet werden: ") + folder))
            << messages[0].toStdString();
    }
}

// A file renamed in the details window shows its new name in the preview at once.
TEST_F(MainWindowOnDisk, PreviewShowsTheNameGivenInTheDetails)
{
    const auto window = openWindow();
    window->findChild<QAction*>(QStringLiteral("mnuPreview"))->trigger();
    ASSERT_TRUE(window->lstMainFiles()->Find(Variant(QStringLiteral("ID")), Variant(qint32(1))));
    QApplication::processEvents();
    PreviewPane* pane = window->preview();
    ASSERT_EQ(pane->lvPreview->Data(QStringLiteral("File"), 0).toString(), QStringLiteral("BOULDER.ATR"));
    QTimer timer;
    timer.setInterval(10);
    QObject::connect(&timer, &QTimer::timeout, [] {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal || modal->objectName() != QLatin1String("frmFile")) return;
        auto* name = modal->findChild<QLineEdit*>(QStringLiteral("txtNew"));
        name->setFocus();
        name->selectAll();
        QTest::keyClicks(name, QStringLiteral("DASH"));
        modal->findChild<QPushButton*>(QStringLiteral("cmdOk"))->click();
    });
    timer.start();
    window->findChild<QAction*>(QStringLiteral("mnuDetails"))->trigger();
    timer.stop();
    ASSERT_TRUE(QFile::exists(dir.filePath(QStringLiteral("disk/DASH.ATR"))));
    EXPECT_EQ(window->SelectedFileID(), -1);
    EXPECT_EQ(pane->lvPreview->Data(QStringLiteral("File"), 0).toString(), QStringLiteral("DASH.ATR"));
}

// A start day in the history tree is no file: the file-path command finds nothing for it,
// even when a file's ID happens to equal the day's number.
TEST_F(MainWindowView, FilePathCommandIgnoresStartDays)
{
    ASSERT_TRUE(ConnectDB(catalogue));
    ASSERT_FALSE(goDB->Execute(QStringLiteral("INSERT INTO MainFiles (ID, tFile, tPath, iFileType)"
                                              " VALUES (45627, 'X.ATR', '/nowhere/X.ATR', 1)")));
    CloseDB();
    const auto window = openWindow();
    window->BuildView(4);
    ASSERT_TRUE(window->treeMain()->SelectItem(QStringLiteral("45627"), 2));  // 1 Dec 2024
    window->findChild<QAction*>(QStringLiteral("mnuFilepath"))->trigger();
    EXPECT_TRUE(messages.isEmpty()) << messages.join(QLatin1Char('|')).toStdString();
}

} // namespace
