#include "mainwindowtest.h"
#include "catalogue/core/tests/shippedlanguage.h"

#include "catalogue/core/modglobals.h"
#include "catalogue/core/modlang.h"
#include "catalogue/mainwindow/frmmain.h"
#include "catalogue/mainwindow/sidepane.h"
#include "catalogue/reports/frmcolumnheader.h"
#include "catalogue/reports/reportview.h"
#include "catalogue/reports/simplereport.h"
#include "catalogue/tree/ctreeitem.h"
#include "catalogue/tree/usertree.h"
#include "catalogue/core/frminputbox.h"
#include "catalogue/core/frmlogo.h"
#include "catalogue/emulators/frmfile.h"
#include "catalogue/import/frmcategory.h"
#include "catalogue/import/frmnewpath.h"
#include "catalogue/mainwindow/frmlegend.h"
#include "catalogue/mainwindow/frmmainfilter.h"
#include "controls/grid/cells.h"
#include "controls/grid/column.h"
#include "controls/grid/columns.h"
#include "controls/grid/listview.h"
#include "platform/gui/msgbox.h"

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QSet>
#include <QToolBar>

using namespace tv;

namespace {

// The main window over the small catalogue, with the translation file the program ships in
// its language folder.
class MainWindowLanguage : public CatalogueTest {
protected:
    void SetUp() override
    {
        CatalogueTest::SetUp();
        catalogue = dir.filePath(QStringLiteral("test.MDB"));
        CloseDB();
        QDir().mkpath(gtLangPath);
        ASSERT_TRUE(QFile::copy(QStringLiteral(TOVARIN_SHIPPED_LANG "English.lng"), gtLangPath + "English.lng"));
        SetMsgBoxHook([this](const QString& prompt, int, const QString&) {
            messages << prompt;
            return vbOK;
        });
    }
    void TearDown() override
    {
        SetMsgBoxHook(nullptr);
        CatalogueTest::TearDown();
    }
    std::unique_ptr<frmMain> openWindow(const QString& languageFile)
    {
        writeIni(QStringLiteral("[MAIN]\r\nDatabase=") + catalogue + QStringLiteral("\r\nLanguageFile=") + languageFile
                 + QStringLiteral("\r\n"));
        auto window = std::make_unique<frmMain>();
        window->show();
        QApplication::processEvents();
        QApplication::processEvents();
        return window;
    }
    static QString header(vantile::ListView* list, const QString& key)
    {
        const auto column = list->Columns()->Item(Variant(key));
        return column && column->Header() ? column->Header()->Text : QString();
    }
    QString catalogue;
    QStringList messages;
};

// With the shipped English file every text of the main window a user reads is English: the
// menus, the toolbar with its tool tips, the panes with their headings and the list's column
// captions are all translations from the file. Profile names, paths and language names are
// data and stay as they are.
TEST_F(MainWindowLanguage, ShippedEnglishFileTranslatesTheMainWindow)
{
    const auto window = openWindow(QStringLiteral("English.lng"));
    ASSERT_EQ(gtLanguageFile, QStringLiteral("English.lng")) << messages.join('\n').toStdString();
    EXPECT_TRUE(messages.isEmpty()) << messages.join('\n').toStdString();
    QStringList shown;
    const std::function<void(QMenu*)> menu = [&](QMenu* m) {
        shown << m->title();
        if (m->objectName() == QLatin1String("mnuLanguage")) return;
        for (QAction* a : m->actions()) {
            if (a->menu()) menu(a->menu());
            else if (!a->isSeparator() && a->objectName() != QLatin1String("mnuProfil")) shown << a->text();
        }
    };
    for (QAction* top : window->menuBar()->actions())
        if (top->menu() && top->text() != QLatin1String("?")) menu(top->menu());
    for (QAction* a : window->findChild<QToolBar*>(QStringLiteral("tlbMain"))->actions())
        shown << a->text() << a->toolTip();
    for (SidePane* pane : {window->lvViews(), window->lvStart(), window->lvFilter()})
        shown << header(pane->list(), QStringLiteral("Name"));
    for (int row = 0; row < window->lvViews()->RowCount(); ++row) shown << window->lvViews()->Text(row);
    shown << window->lvFilter()->Text(0);
    for (QLabel* label : window->findChild<QWidget*>(QStringLiteral("lvSearch"))->findChildren<QLabel*>())
        shown << label->text();
    const auto columns = window->lstMainFiles()->Columns();
    for (int32_t i = 0; i < columns->Count(); ++i)
        if (const auto c = columns->Item(Variant(i)); c && c->Hidden() == 0) shown << c->Header()->Text;
    EXPECT_EQ(test::UntranslatedTexts(shown), std::string());
    EXPECT_EQ(header(window->lvViews()->list(), QStringLiteral("Name")), QStringLiteral("View"));
    EXPECT_EQ(window->CountText(), QStringLiteral("Files: 5/5"));
    // The languages are named in the language of the interface.
    QStringList languages;
    for (QAction* a : window->languageMenu()->actions()) languages << a->text();
    EXPECT_EQ(languages, (QStringList{QStringLiteral("German"), QStringLiteral("English")}));

    // German brings the pane headings back with the rest of the window.
    window->languageMenu()->actions()[0]->trigger();
    languages.clear();
    for (QAction* a : window->languageMenu()->actions()) languages << a->text();
    EXPECT_EQ(languages, (QStringList{QStringLiteral("Deutsch"), QStringLiteral("Englisch")}));
    EXPECT_EQ(header(window->lvViews()->list(), QStringLiteral("Name")), QStringLiteral("Ansicht"));
    EXPECT_EQ(header(window->lvFilter()->list(), QStringLiteral("Name")), QStringLiteral("Filter"));
    EXPECT_EQ(window->lvViews()->Text(3), QStringLiteral("Verlauf"));
}

// The column-layout dialog knows the main window's category column by its caption in the
// program's language, and adding it rebuilds the view with the column.
TEST_F(MainWindowLanguage, ColumnLayoutDialogAddsTheCategoryColumn)
{
    {
        const auto window = openWindow(QString());
        EXPECT_EQ(columnHeaderHost().categoryCaption, QStringLiteral("Kategorie"));
        ASSERT_TRUE(columnHeaderHost().addCategoryColumn);
        EXPECT_FALSE(window->lstMainFiles()->Columns()->Item(Variant(QStringLiteral("Kategorie"))));
        columnHeaderHost().addCategoryColumn();
        EXPECT_TRUE(window->lstMainFiles()->Columns()->Item(Variant(QStringLiteral("Kategorie"))));
        EXPECT_EQ(window->lstMainFiles()->ItemCount(), 5);
        window->close();
    }
    CloseDB();
    const auto window = openWindow(QStringLiteral("English.lng"));
    EXPECT_EQ(columnHeaderHost().categoryCaption, QStringLiteral("Category"));
    columnHeaderHost().addCategoryColumn();
    EXPECT_TRUE(window->lstMainFiles()->Columns()->Item(Variant(QStringLiteral("Category"))));
}

// The other windows speak English too: the selection window and its legend, the category,
// folder, file and about windows, the column-layout dialog and the input box.
TEST_F(MainWindowLanguage, DialogsAreEnglish)
{
    gtLanguageFile = QStringLiteral("English.lng");
    ASSERT_TRUE(LoadLanguage());
    ASSERT_TRUE(ConnectDB(catalogue));

    FilterCollection filters;
    frmMainFilter selection;
    selection.Filters = &filters;
    selection.InitForm();
    EXPECT_EQ(test::UntranslatedTexts(&selection), std::string());
    selection.reject();

    frmLegend legend;
    EXPECT_EQ(test::UntranslatedTexts(&legend), std::string());
    legend.reject();

    frmCategory category;
    category.SelectedFileIDs = [] { return QList<qint32>{1}; };
    category.Form_Load();
    EXPECT_EQ(test::UntranslatedTexts(&category, {QStringLiteral("1")}), std::string());
    category.reject();

    frmNewPath newPath;
    newPath.Form_Load();
    EXPECT_EQ(test::UntranslatedTexts(&newPath), std::string());
    newPath.reject();

    frmFile file;
    file.FileID = 1;
    ASSERT_TRUE(file.Form_Load());
    // The file's own values (the labels with a name): its name, extension, type, folder, date
    // and size, and the caption that names it.
    QStringList values{file.windowTitle()};
    for (QLabel* label : file.findChildren<QLabel*>())
        if (!label->objectName().isEmpty()) values << label->text();
    EXPECT_EQ(test::UntranslatedTexts(&file, values), std::string());
    file.reject();

    frmLogo about;
    about.show();
    EXPECT_EQ(test::UntranslatedTexts(&about, {QStringLiteral("Tovarin ") + gtVersion}), std::string());
    about.close();

    vantile::ListView grid;
    grid.Columns()->Add(QStringLiteral("a"), 64, 0, 0, 0, false, {}, QStringLiteral("Size"));
    frmColumnHeader columns(&grid);
    EXPECT_EQ(test::UntranslatedTexts(&columns), std::string());
    columns.reject();

    frmInputBox input;
    input.Hint = QStringLiteral("?");
    input.show();
    EXPECT_EQ(test::UntranslatedTexts(&input, {QStringLiteral("?")}), std::string());
    input.reject();
    EXPECT_TRUE(messages.isEmpty()) << messages.join('\n').toStdString();
}

// The list columns are keyed by their captions. A language switch keeps what the user arranged:
// widths and hidden columns move to the translated captions, in the shown list and in the next
// view's, and come back when German returns.
TEST_F(MainWindowLanguage, ColumnArrangementSurvivesALanguageSwitch)
{
    const auto window = openWindow(QString());
    const auto column = [&](vantile::ListView* list, const char* key) {
        return list->Columns()->Item(Variant(QString::fromUtf8(key)));
    };
    const auto files = window->lstMainFiles()->grid();
    ASSERT_TRUE(column(files, "Datei") && column(files, "Bemerkung"));
    column(files, "Datei")->SetWidth(300);
    column(files, "Bemerkung")->SetHidden(1);
    QAction* english = window->languageMenu()->actions().value(1);
    ASSERT_TRUE(english);

    english->trigger();
    ASSERT_TRUE(column(files, "File") && column(files, "Remark"));
    EXPECT_EQ(column(files, "File")->Width(), 300);
    EXPECT_EQ(column(files, "Remark")->Hidden(), 1);
    window->BuildView(3);
    const auto drillDown = window->lstMain()->grid();
    ASSERT_TRUE(column(drillDown, "File") && column(drillDown, "Remark"));
    EXPECT_EQ(column(drillDown, "File")->Width(), 300);
    EXPECT_EQ(column(drillDown, "Remark")->Hidden(), 1);

    window->languageMenu()->actions().value(0)->trigger();
    ASSERT_TRUE(column(drillDown, "Datei") && column(drillDown, "Bemerkung"));
    EXPECT_EQ(column(drillDown, "Datei")->Width(), 300);
    EXPECT_EQ(column(drillDown, "Bemerkung")->Hidden(), 1);
    window->BuildView(1);
    EXPECT_EQ(column(files, "Datei")->Width(), 300);
    EXPECT_EQ(column(files, "Bemerkung")->Hidden(), 1);
}

// A language switch keeps the chosen file chosen, in the flat list and in a category's list
// with its tree row; the commands that need a file stay enabled.
TEST_F(MainWindowLanguage, LanguageSwitchKeepsTheChosenFile)
{
    const auto window = openWindow(QString());
    QAction* english = window->languageMenu()->actions().value(1);
    QAction* german = window->languageMenu()->actions().value(0);
    ASSERT_TRUE(english && german);
    SimpleReport* files = window->lstMainFiles();
    files->setSelectedIndex(2);
    QApplication::processEvents();
    const qint32 chosen = window->SelectedFileID();
    ASSERT_NE(chosen, 0);
    english->trigger();
    EXPECT_EQ(files->SelectedIndex(), 2);
    EXPECT_EQ(window->SelectedFileID(), chosen);
    EXPECT_TRUE(window->findChild<QAction*>(QStringLiteral("mnuDel"))->isEnabled());

    window->BuildView(3);
    ASSERT_TRUE(window->treeMain()->SelectItem(QStringLiteral("1"), 2));
    QApplication::processEvents();
    ASSERT_GT(window->lstMain()->ItemCount(), 0);
    window->lstMain()->SimpleReport_()->setSelectedIndex(0);
    QApplication::processEvents();
    const qint32 inCategory = window->SelectedFileID();
    ASSERT_GT(inCategory, 0);
    german->trigger();
    ASSERT_TRUE(window->treeMain()->SelectedItem());
    EXPECT_EQ(window->treeMain()->SelectedItem()->Key, QStringLiteral("1"));
    EXPECT_EQ(window->lstMain()->SimpleReport_()->SelectedIndex(), 0);
    EXPECT_EQ(window->SelectedFileID(), inCategory);
}

} // namespace

