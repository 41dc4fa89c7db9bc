#include "mainwindowtest.h"

#include "catalogue/core/modglobals.h"
#include "catalogue/core/modlang.h"
#include "catalogue/mainwindow/frmmain.h"
#include "catalogue/mainwindow/sidepane.h"
#include "catalogue/reports/frmcolumnheader.h"
#include "catalogue/reports/simplereport.h"
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
    // The translations of the shipped file, without access keys.
    static QSet<QString> translations()
    {
        QFile f(QStringLiteral(TOVARIN_SHIPPED_LANG "English.lng"));
        EXPECT_TRUE(f.open(QIODevice::ReadOnly));
        QSet<QString> values;
        for (const QString& line : QString::fromUtf8(f.readAll()).split(QStringLiteral("\r\n"), Qt::SkipEmptyParts))
            values << plain(line.section(QStringLiteral("@@"), 1));
        return values;
    }
    static QString plain(QString text)
    {
        text.remove(QLatin1Char('&'));
        if (text.endsWith(QLatin1Char(':'))) text.chop(1);
        return text.trimmed();
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
    const QSet<QString> english = translations();
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
    QStringList german;
    for (const QString& text : shown)
        if (!plain(text).isEmpty() && !english.contains(plain(text))) german << text;
    EXPECT_TRUE(german.isEmpty()) << german.join(QStringLiteral(" | ")).toStdString();
    EXPECT_EQ(header(window->lvViews()->list(), QStringLiteral("Name")), QStringLiteral("View"));
    EXPECT_EQ(window->CountText(), QStringLiteral("Files: 5/5"));

    // German brings the pane headings back with the rest of the window.
    window->languageMenu()->actions()[0]->trigger();
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

} // namespace
