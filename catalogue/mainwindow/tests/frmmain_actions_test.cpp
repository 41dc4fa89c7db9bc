#include "mainwindowtest.h"
#include "urlcatcher.h"

#include "catalogue/core/frminputbox.h"
#include "catalogue/import/clsfilemanager.h"
#include "catalogue/mainwindow/frmmain.h"
#include "catalogue/mainwindow/homepage.h"
#include "catalogue/mainwindow/searchpane.h"
#include "catalogue/mainwindow/sidepane.h"
#include "catalogue/reports/reportview.h"
#include "catalogue/reports/simplereport.h"
#include "catalogue/tree/ctreeitem.h"
#include "catalogue/tree/usertree.h"
#include "controls/grid/column.h"
#include "controls/grid/columns.h"
#include "controls/grid/listview.h"
#include "platform/gui/msgbox.h"
#include "platform/gui/systimer.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDesktopServices>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QUrl>

using namespace tv;

namespace {

// The window over the small catalogue of CatalogueTest, its flat list sorted by type: rows 0
// to 4 hold the files 1 BOULDER.ATR, 4 INNER.ATR, 5 TAPE.CAS, 3 PIC.GIF and 2 IT'S.XEX. The
// message boxes are answered by the test (Yes unless `answer` says otherwise); the search
// timer runs by hand.
class MainWindowActions : public CatalogueTest {
protected:
    void SetUp() override
    {
        CatalogueTest::SetUp();
        CloseDB();
        writeIni(QStringLiteral("[MAIN]\r\nDatabase=") + dir.filePath(QStringLiteral("test.MDB")) + QStringLiteral("\r\n"));
        answer = vbYes;
        SysTimer::SetManualMode(true);
        window = std::make_unique<frmMain>();
        window->show();
        QApplication::processEvents();
        QApplication::processEvents();
        ASSERT_TRUE(goDB);
    }
    void TearDown() override
    {
        window.reset();
        SysTimer::SetManualMode(false);
        SetInputTextHook(nullptr);
        CatalogueTest::TearDown();
    }
    QAction* command(const char* name) const { return window->findChild<QAction*>(QLatin1String(name)); }
    SimpleReport* files() const { return window->lstMainFiles(); }
    void type(int box, const QString& text) const { window->searchPane()->cboSearch(box)->setEditText(text); }
    // The tree of view 3 or 4 as the active control, with a node selected.
    void selectNode(const QString& key, int level) const
    {
        window->treeMain()->setFocus();
        window->treeMain()->MouseDown.raise(1, 0, 0, 0);
        ASSERT_TRUE(window->treeMain()->SelectItem(key, level));
    }
    // Types into a search box as a user does: the box's text is taken away with Backspace,
    // the text typed key by key and the search started with Return.
    void search(int box, const QString& text) const
    {
        QLineEdit* edit = window->searchPane()->cboSearch(box)->lineEdit();
        QApplication::setActiveWindow(window.get());
        edit->setFocus();
        while (!edit->text().isEmpty()) {
            edit->end(false);
            QTest::keyClick(edit, Qt::Key_Backspace);
        }
        QTest::keyClicks(edit, text);
        QTest::keyClick(edit, Qt::Key_Return);
    }
    QString categoryName() const
    {
        auto rs = goDB->OpenRecordset(QStringLiteral("SELECT tCategory FROM Category WHERE ID=1"));
        return rs && !rs->IsEOF() ? rs->Fields(0).Value().toString() : QString();
    }
    std::unique_ptr<frmMain> window;
};

// Typing restarts the pause; the search runs once when it ends, and again only after a change.
// Quotes in the text are literal; the stop button empties the boxes and shows every file again.
TEST_F(MainWindowActions, SearchRunsAfterThePauseAndStopRestoresTheList)
{
    SearchPane* pane = window->searchPane();
    EXPECT_FALSE(pane->cmdStopSearch()->isEnabled());
    for (const char* text : {"i", "it", "it'", "it's"}) type(1, QString::fromUtf8(text));
    EXPECT_TRUE(pane->moTimer()->Enabled());
    EXPECT_EQ(files()->ItemCount(), 5);
    // The pause passes (the start pane's tip timer may tick with it).
    pane->moTimer()->fire();
    EXPECT_FALSE(pane->moTimer()->Enabled());
    ASSERT_EQ(files()->ItemCount(), 1);
    EXPECT_EQ(files()->FieldValue(Variant(QStringLiteral("Datei")), 0).text(), QStringLiteral("IT'S.XEX"));
    EXPECT_TRUE(pane->cmdStopSearch()->isEnabled());
    EXPECT_EQ(pane->History(1), QStringList{QStringLiteral("it's")});

    // Typed and taken back before the pause ends: nothing differs, nothing is rebuilt.
    type(2, QStringLiteral("games"));
    type(2, QString());
    files()->setSelectedIndex(0);
    SysTimer::TickAll();
    EXPECT_EQ(window->SelectedFileID(), -2);

    // Enter searches at once; the path box narrows too.
    type(1, QString());
    type(2, QStringLiteral("games"));
    QTest::keyClick(pane->cboSearch(2)->lineEdit(), Qt::Key_Return);
    EXPECT_EQ(files()->ItemCount(), 3);
    EXPECT_EQ(pane->History(2), QStringList{QStringLiteral("games")});

    pane->cmdStopSearch()->click();
    EXPECT_EQ(files()->ItemCount(), 5);
    EXPECT_TRUE(pane->Texts().join(QString()).isEmpty());
    EXPECT_FALSE(pane->cmdStopSearch()->isEnabled());
    EXPECT_EQ(pane->History(1), QStringList{QStringLiteral("it's")});

    // The hidden first box counts as a search but narrows nothing.
    type(0, QStringLiteral("x"));
    window->moTimer_Timer();
    EXPECT_TRUE(pane->cmdStopSearch()->isEnabled());
    EXPECT_EQ(files()->ItemCount(), 5);
}

// The box searches for what was typed: an earlier search in its history is not put in place of
// a shorter or differently written text.
TEST_F(MainWindowActions, SearchBoxesTakeTheTypedTextAsItStands)
{
    SearchPane* pane = window->searchPane();
    search(1, QStringLiteral("pic"));
    EXPECT_EQ(files()->ItemCount(), 1);
    ASSERT_EQ(pane->History(1), QStringList{QStringLiteral("pic")});
    search(1, QStringLiteral("p"));  // PIC.GIF and TAPE.CAS
    EXPECT_EQ(pane->cboSearch(1)->currentText(), QStringLiteral("p"));
    EXPECT_EQ(files()->ItemCount(), 2);
    search(1, QStringLiteral("PI"));
    EXPECT_EQ(pane->cboSearch(1)->currentText(), QStringLiteral("PI"));
    EXPECT_EQ(files()->ItemCount(), 1);
}

// Words of SQL typed into a search box are text to look for, in every view and both boxes: the
// list finds the one file whose name and path hold them and keeps its columns.
TEST_F(MainWindowActions, SqlWordsInASearchAreLookedForAsText)
{
    ASSERT_FALSE(goDB->Execute(QStringLiteral(
        "INSERT INTO MainFiles (ID, tFile, tPath, iFileType, lSize, Category_ID, tsLastStarted, lStartCount)"
        " VALUES (6, 'SONGS FROM WHERE UNION ORDER BY GROUP BY HAVING X.ATR',"
        " '/songs from where union order by group by having x/X.ATR', 1, 100, 1, #12/03/2024 10:00:00 am#, 1)")));
    ASSERT_FALSE(goDB->Execute(
        QStringLiteral("INSERT INTO History (MainFiles_ID, tsStarted) VALUES (6, #12/03/2024 10:00:00 am#)")));
    // Each word with a blank on both sides, as the statement's own keywords stand.
    const char* words[] = {"songs from where", "from where union", "where union order", "union order by group",
                           "order by group by", "group by having x", "order by"};
    for (int view = 1; view <= 4; ++view) {
        window->BuildView(view);
        for (int box = 1; box <= 2; ++box) {
            for (const char* word : words) {
                SCOPED_TRACE(QStringLiteral("view %1, box %2: %3").arg(view).arg(box).arg(QLatin1String(word)).toStdString());
                search(box, QString::fromUtf8(word));
                EXPECT_TRUE(messages.isEmpty()) << messages.join(QLatin1Char('|')).toStdString();
                messages.clear();
                if (view <= 2) {
                    EXPECT_EQ(files()->ItemCount(), 1);  // added after the opening: new in view 2 too
                    EXPECT_TRUE(files()->Columns()->Item(Variant(QStringLiteral("Datei"))));
                } else {
                    EXPECT_EQ(window->lstMain()->ItemCount(), 1);
                    EXPECT_TRUE(window->lstMain()->Columns()->Item(Variant(QStringLiteral("Datei"))));
                }
            }
            search(box, QString());
        }
    }
}

// A search in the categories view keeps the chosen category and narrows its files.
TEST_F(MainWindowActions, SearchNarrowsTheCategoriesView)
{
    window->BuildView(3);
    selectNode(QStringLiteral("2"), 2);  // "Demos"
    type(1, QStringLiteral("t"));
    window->moTimer_Timer();
    ASSERT_TRUE(window->treeMain()->SelectedItem());
    EXPECT_EQ(window->treeMain()->SelectedItem()->Key, QStringLiteral("2"));
    EXPECT_EQ(window->lstMain()->ItemCount(), 1);
    type(1, QStringLiteral("boulder"));
    window->moTimer_Timer();
    EXPECT_EQ(window->lstMain()->ItemCount(), 0);
}

// Several selected rows go at once after the question; No deletes nothing.
TEST_F(MainWindowActions, DeleteSeveralFiles)
{
    files()->setSelectedIndex(0);
    files()->setItemSelected(2, true);
    files()->setItemSelected(4, true);
    answer = vbNo;
    command("mnuDel")->trigger();
    ASSERT_EQ(messages.size(), 1);
    EXPECT_EQ(messages[0], QStringLiteral("Anzahl der zu löschenden Dateien aus der Datenbank: 3"));
    EXPECT_EQ(files()->ItemCount(), 5);
    answer = vbYes;
    command("mnuDel")->trigger();
    EXPECT_EQ(window->StatusText(), QStringLiteral("Gelöschte Dateien: 3"));
    EXPECT_EQ(files()->ItemCount(), 2);
    EXPECT_EQ(window->CountText(), QStringLiteral("Dateien: 2/2"));
    EXPECT_EQ(ids(QStringLiteral("SELECT ID FROM MainFiles ORDER BY ID")), (std::vector<int>{3, 4}));
    EXPECT_EQ(ids(QStringLiteral("SELECT MainFiles_ID FROM History ORDER BY ID")), (std::vector<int>{1, 1, 2}));
}

// A delete that fails part-way says so and the list shows what the catalogue still holds.
TEST_F(MainWindowActions, FailedDeleteReportsAndReReads)
{
    ASSERT_FALSE(goDB->Execute(QStringLiteral(
        "CREATE TRIGGER KeepPic BEFORE DELETE ON MainFiles WHEN old.ID=3 BEGIN SELECT RAISE(ABORT, 'kept'); END")));
    files()->setSelectedIndex(0);
    for (int row : {1, 2, 3}) files()->setItemSelected(row, true);
    command("mnuDel")->trigger();
    ASSERT_EQ(messages.size(), 2);
    EXPECT_TRUE(messages[1].startsWith(QStringLiteral("Del-Error: Fehler beim Löschen aus der Datenbank: ")))
        << messages[1].toStdString();
    // The list is in name order: rows 0 to 3 are the files 1, 4, 2 and 3.
    EXPECT_EQ(ids(QStringLiteral("SELECT ID FROM MainFiles ORDER BY ID")), (std::vector<int>{3, 5}));
    EXPECT_EQ(files()->ItemCount(), 2);
    EXPECT_EQ(window->CountText(), QStringLiteral("Dateien: 2/2"));
}

// A category goes with its row only; its files stay without category.
TEST_F(MainWindowActions, DeleteCategory)
{
    window->BuildView(3);
    selectNode(QStringLiteral("1"), 2);
    command("mnuDel")->trigger();
    ASSERT_EQ(messages.size(), 1);
    EXPECT_EQ(messages[0], QStringLiteral("Möchten Sie die Kategorie 'Spiele' löschen?"));
    EXPECT_EQ(window->StatusText(), QStringLiteral("Gelöschte Dateien: 0"));
    EXPECT_EQ(ids(QStringLiteral("SELECT ID FROM Category")), std::vector<int>{2});
    EXPECT_EQ(ids(QStringLiteral("SELECT ID FROM MainFiles WHERE Category_ID IS NULL ORDER BY ID")),
              (std::vector<int>{1, 3, 4, 5}));
    EXPECT_EQ(window->treeMain()->ItemCount(), 2);
}

// A start day goes whole: the start in the evening as well as the one in the morning; the other
// day and the files stay.
TEST_F(MainWindowActions, DeleteHistoryDayTakesTheWholeCalendarDay)
{
    window->BuildView(4);
    selectNode(QStringLiteral("45627"), 2);  // 1 Dec 2024
    command("mnuDel")->trigger();
    ASSERT_EQ(messages.size(), 1);
    EXPECT_EQ(messages[0], QStringLiteral("Möchten Sie die Chronik '01.12.2024' löschen?"));
    EXPECT_EQ(ids(QStringLiteral("SELECT MainFiles_ID FROM History")), std::vector<int>{2});
    EXPECT_EQ(ids(QStringLiteral("SELECT COUNT(*) FROM MainFiles")), std::vector<int>{5});
    EXPECT_EQ(window->treeMain()->ItemCount(), 2);
}

// The history view counts its start days in the status bar as the categories view counts its
// categories, down to none; emptied day by day, its list never shows the column that is kept
// for the icons, and keeps its own start-time column, which the file list never had.
TEST_F(MainWindowActions, HistoryViewCountsItsDaysAndKeepsItsColumnsWhenEmptied)
{
    window->BuildView(3);
    EXPECT_EQ(window->CountText(), QStringLiteral("Kategorien: 2"));
    window->BuildView(4);
    EXPECT_EQ(window->CountText(), QStringLiteral("Tage: 2"));
    const auto shown = [this](const char* key) {
        const auto column = window->lstMain()->Columns()->Item(Variant(QString::fromUtf8(key)));
        return column && column->Hidden() == 0;
    };
    EXPECT_TRUE(shown("Zuletzt gestartet"));
    struct Case {
        const char* day;
        const char* count;
    } cases[] = {{"45628", "Tage: 1"}, {"45627", "Tage: 0"}};  // 2 and 1 Dec 2024
    for (const Case& c : cases) {
        SCOPED_TRACE(c.day);
        selectNode(QString::fromUtf8(c.day), 2);
        EXPECT_TRUE(shown("Zuletzt gestartet"));
        command("mnuDel")->trigger();
        EXPECT_FALSE(shown("IsArchiv"));
        EXPECT_TRUE(shown("Zuletzt gestartet"));
        EXPECT_TRUE(shown("Datei"));
        EXPECT_EQ(window->CountText(), QString::fromUtf8(c.count));
    }
    EXPECT_TRUE(ids(QStringLiteral("SELECT MainFiles_ID FROM History")).empty());

    ASSERT_FALSE(goDB->Execute(QStringLiteral("UPDATE MainFiles SET Category_ID = Null")));
    ASSERT_FALSE(goDB->Execute(QStringLiteral("DELETE FROM Category")));
    window->BuildView(3);
    EXPECT_EQ(window->CountText(), QStringLiteral("Kategorien: 0"));
}

// In the categories view the list is sorted by the file name and type-ahead searches it, as
// in the flat list: typed keys land on the file whose name begins with them.
TEST_F(MainWindowActions, TypeAheadInTheCategoriesViewSearchesTheFileNames)
{
    window->BuildView(3);
    selectNode(QStringLiteral("-1"), 1);  // every file with a category: BOULDER.ATR, IT'S.XEX
    SimpleReport* list = window->lstMain()->SimpleReport_();
    const auto sortColumn = list->grid()->Columns()->Item(Variant(int32_t(list->SortColumn())));
    ASSERT_TRUE(sortColumn);
    EXPECT_EQ(sortColumn->Key(), QStringLiteral("Datei"));
    QApplication::setActiveWindow(window.get());
    list->grid()->ScrollWnd()->setFocus(Qt::TabFocusReason);
    list->setSelectedIndex(0);
    QTest::keyClick(window->windowHandle(), 'i');
    EXPECT_EQ(list->FieldValue(Variant(QStringLiteral("Datei"))).text(), QStringLiteral("IT'S.XEX"));
    QTest::qWait(600);  // a pause: the next key starts a new search
    QTest::keyClick(window->windowHandle(), 'b');
    EXPECT_EQ(list->FieldValue(Variant(QStringLiteral("Datei"))).text(), QStringLiteral("BOULDER.ATR"));
}

// Delete acts on the tree or the drill-down list, whichever has the focus; with the focus in a
// side pane it deletes nothing, whatever was used last.
TEST_F(MainWindowActions, DeleteInTheTreeViewsNeedsTheFocusInTreeOrList)
{
    window->BuildView(3);
    selectNode(QStringLiteral("2"), 2);  // "Demos"
    window->lvViews()->list()->setFocus();
    QTest::keyClick(window->lvViews()->list(), Qt::Key_Delete);
    command("mnuDel")->trigger();
    EXPECT_TRUE(messages.isEmpty()) << messages.join(QLatin1Char('|')).toStdString();
    EXPECT_EQ(ids(QStringLiteral("SELECT COUNT(*) FROM Category")), std::vector<int>{2});

    window->treeMain()->setFocus();
    answer = vbNo;
    command("mnuDel")->trigger();
    EXPECT_EQ(messages, QStringList{QStringLiteral("Möchten Sie die Kategorie 'Demos' löschen?")});
}

// A double click on a category renames it; a name with an apostrophe is kept as typed, the own
// name changes nothing and another category's name is refused.
TEST_F(MainWindowActions, RenameCategoryOnDoubleClick)
{
    window->BuildView(3);
    selectNode(QStringLiteral("1"), 2);
    QString name;
    QString offered;
    SetInputTextHook([&](const QString&, const QString&, const QString& text) {
        offered = text;
        return name;
    });
    name = QStringLiteral("Jack's");
    window->treeMain()->DblClick.raise();
    EXPECT_EQ(offered, QStringLiteral("Spiele"));
    EXPECT_EQ(categoryName(), name);
    ASSERT_TRUE(window->treeMain()->SelectedItem());
    EXPECT_EQ(window->treeMain()->SelectedItem()->Text, name);
    name = QStringLiteral("demos");
    command("mnuDetails")->trigger();
    EXPECT_EQ(messages, QStringList{QStringLiteral("Diese Kategorie besteht schon!")});
    EXPECT_EQ(categoryName(), QStringLiteral("Jack's"));
    // The root node and the history's days are not renamed.
    selectNode(QStringLiteral("-1"), 1);
    offered.clear();
    window->treeMain()->DblClick.raise();
    EXPECT_TRUE(offered.isEmpty());
}

// Which commands the selection allows, and the selected file kept for start and preview.
TEST_F(MainWindowActions, CommandsFollowTheSelection)
{
    struct State {
        bool del, details, start, newCat;
    };
    auto expectState = [this](const State& s) {
        EXPECT_EQ(command("mnuDel")->isEnabled(), s.del);
        EXPECT_EQ(command("tbDel")->isEnabled(), s.del);
        EXPECT_EQ(command("mnuDetails")->isEnabled(), s.details);
        EXPECT_EQ(command("tbEdit")->isEnabled(), s.details);
        EXPECT_EQ(command("mnuFilepath")->isEnabled(), s.start);
        EXPECT_EQ(command("tbStart")->isEnabled(), s.start);
        EXPECT_EQ(window->lvStart()->isEnabled(), s.start);
        EXPECT_EQ(command("mnuNewCat")->isVisible(), s.newCat);
    };
    files()->setSelectedIndex(2);  // IT'S.XEX in the name-ordered list
    {
        SCOPED_TRACE("flat list");
        expectState({true, true, true, false});
        EXPECT_EQ(window->SelectedFileID(), -2);
        EXPECT_EQ(window->CurrentFileType(), 11);
        EXPECT_EQ(window->StatusText(), QStringLiteral("IT'S.XEX"));
    }
    window->BuildView(3);
    selectNode(QStringLiteral("2"), 2);
    {
        SCOPED_TRACE("category node");
        expectState({true, true, false, true});
        EXPECT_EQ(window->SelectedFileID(), 0);
        EXPECT_EQ(window->StatusText(), QStringLiteral("Demos"));
    }
    window->lstMain()->ItemClick.raise(0, 1, 0);
    window->lstMain()->setSelectedIndex(0);
    {
        SCOPED_TRACE("drill-down row");
        expectState({true, true, true, true});
        EXPECT_EQ(window->SelectedFileID(), 2);
    }
    window->BuildView(4);
    selectNode(QStringLiteral("45628"), 2);
    {
        SCOPED_TRACE("start day");
        expectState({true, false, false, false});
    }
    selectNode(QStringLiteral("-1"), 1);
    {
        SCOPED_TRACE("root node");
        expectState({false, false, false, false});
    }
}

// Details on several rows opens the category window for them; its choice reaches every row.
TEST_F(MainWindowActions, DetailsOnSeveralRowsSetsTheirCategory)
{
    files()->setSelectedIndex(2);
    files()->setItemSelected(4, true);
    QTimer timer;
    timer.setInterval(10);
    QObject::connect(&timer, &QTimer::timeout, [] {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal || modal->objectName() != QLatin1String("frmCategory")) return;
        modal->findChild<QComboBox*>()->setEditText(QStringLiteral("Neu"));
        modal->findChild<QPushButton*>(QStringLiteral("cmdOk"))->click();
    });
    timer.start();
    command("mnuDetails")->trigger();
    EXPECT_EQ(ids(QStringLiteral("SELECT F.ID FROM MainFiles F JOIN Category C ON F.Category_ID=C.ID"
                                 " WHERE C.tCategory='Neu' ORDER BY F.ID")),
              (std::vector<int>{2, 5}));
}

// A right click on a row opens the edit menu; one on the header the list's column menu.
TEST_F(MainWindowActions, RightClicksOpenTheMenus)
{
    files()->ItemClick.raise(0, 2, 0);
    auto* edit = qobject_cast<QWidget*>(command("mnuDel")->parent());
    ASSERT_TRUE(qobject_cast<QMenu*>(edit));
    EXPECT_TRUE(edit->isVisible());
    edit->hide();
    files()->grid()->HeaderClick.raise(4, 2);
    ASSERT_TRUE(files()->contextMenu());
    EXPECT_TRUE(files()->contextMenu()->isVisible());
    files()->contextMenu()->hide();
}

// The selection pane: a click on the active selection opens the selection window, a click on
// the header switches the selection off.
TEST_F(MainWindowActions, SelectionPaneClicks)
{
    vantile::ListView* pane = window->lvFilter()->list();
    // Row 4 of the name-ordered pane is "Kassetten".
    window->lvFilter()->list()->SetBookmark(4, -1, 0);
    EXPECT_EQ(files()->ItemCount(), 1);
    bool opened = false;
    QTimer timer;
    timer.setInterval(10);
    QObject::connect(&timer, &QTimer::timeout, [&opened] {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal || modal->objectName() != QLatin1String("frmMainFilter")) return;
        opened = true;
        modal->close();
    });
    timer.start();
    int16_t button = 1, shift = 0;
    bool cancel = false;
    pane->MouseDown.raise(button, shift, 0, 0, cancel);
    pane->ItemClick.raise(4, 0, 1, 0, 0, 0);
    EXPECT_TRUE(opened);
    pane->HeaderClick.raise(0, 1);
    EXPECT_EQ(window->lvFilter()->CurrentRow(), 0);
    EXPECT_EQ(files()->ItemCount(), 5);
}

// The home page opens in the desktop's browser, the English page while a language is chosen.
TEST_F(MainWindowActions, HomepageOpensTheLanguagesPage)
{
    UrlCatcher catcher;
    QDesktopServices::setUrlHandler(QStringLiteral("https"), &catcher, "open");
    command("mnuHomepage")->trigger();
    gtLanguageFile = QStringLiteral("English.lng");
    window->mnuHomepage_Click();
    gtLanguageFile.clear();
    QDesktopServices::unsetUrlHandler(QStringLiteral("https"));
    EXPECT_EQ(catcher.urls, (QList<QUrl>{QUrl(kHomepageGerman), QUrl(kHomepageEnglish)}));
}

} // namespace


