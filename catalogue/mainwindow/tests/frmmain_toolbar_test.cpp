#include "mainwindowtest.h"

#include "catalogue/emulators/frmfile.h"
#include "catalogue/import/frmprocess.h"
#include "catalogue/mainwindow/frmmain.h"
#include "catalogue/mainwindow/frmmainfilter.h"
#include "catalogue/mainwindow/sidepane.h"
#include "controls/grid/listview.h"
#include "platform/gui/dialogs.h"
#include "platform/gui/imagelist.h"
#include "platform/gui/msgbox.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QToolBar>
#include <QTimer>
#include <QToolButton>
#include <QTreeWidget>
#include <QCursor>
#include <QScopeGuard>
#include <QEnterEvent>

using namespace tv;

namespace {

using MainWindowLook = MainFolderTest;
using MainWindowOverCatalogue = CatalogueTest;

// The toolbar: ten buttons in their order, each with a picture, a short caption under it and
// its tool tip; four of them with a drop-down.
TEST_F(MainWindowLook, ToolbarHasItsTenButtons)
{
    frmMain window;
    auto* toolbar = window.findChild<QToolBar*>(QStringLiteral("tlbMain"));
    ASSERT_TRUE(toolbar);
    EXPECT_EQ(toolbar->toolButtonStyle(), Qt::ToolButtonTextUnderIcon);
    struct Button {
        const char* caption;
        const char* toolTip;
        bool dropDown;
    };
    const Button expected[] = {
        {"Neu", "Neue Datenbank", false},        {"Öffnen", "Datenbank öffnen", true},
        {"Datei", "Datei importieren", true},    {"Ordner", "Ordner importieren", true},
        {"Filter", "Selektion erstellen", false}, {"Starten", "File starten", true},
        {"Details", "Eigenschaften", false},     {"Löschen", "Löschen", false},
        {"Optionen", "Optionen", false},         {"Beenden", "Beenden", false},
    };
    QList<QAction*> buttons;
    for (QAction* action : toolbar->actions())
        if (action->isVisible() && !action->isSeparator()) buttons << action;
    ASSERT_EQ(buttons.size(), qsizetype(std::size(expected)));
    for (size_t i = 0; i < std::size(expected); ++i) {
        const Button& b = expected[i];
        SCOPED_TRACE(b.caption);
        QAction* button = buttons[qsizetype(i)];
        EXPECT_EQ(button->iconText(), QString::fromUtf8(b.caption));
        EXPECT_EQ(button->toolTip(), QString::fromUtf8(b.toolTip));
        EXPECT_FALSE(button->icon().isNull());
        auto* tool = qobject_cast<QToolButton*>(toolbar->widgetForAction(button));
        ASSERT_TRUE(tool);
        EXPECT_EQ(tool->menu() != nullptr, b.dropDown);
    }
}

// The menus are grouped by separators after the items the menu layout names.
TEST_F(MainWindowLook, MenusHaveTheirSeparators)
{
    frmMain window;
    const QStringList groupEnds = {QStringLiteral("mnuOpenDB"),       QStringLiteral("mnuAddDir"),
                                   QStringLiteral("mnuNewCat"),       QStringLiteral("mnuFind"),
                                   QStringLiteral("mnuLanguage"),     QStringLiteral("mnuToggleToolbar"),
                                   QStringLiteral("mnuPreview"),      QStringLiteral("mnuCopySelection"),
                                   QStringLiteral("mnuCompactDB"),    QStringLiteral("mnuHomepage")};
    for (QAction* top : window.menuBar()->actions()) {
        const QList<QAction*> items = top->menu()->actions();
        for (qsizetype i = 0; i < items.size(); ++i) {
            const QString name = items[i]->menu() ? items[i]->menu()->objectName() : items[i]->objectName();
            if (!groupEnds.contains(name)) continue;
            SCOPED_TRACE(name.toStdString());
            ASSERT_LT(i + 1, items.size());
            EXPECT_TRUE(items[i + 1]->isSeparator());
        }
    }
}

// The view and filter panes show the pictures of their rows' keys: the grid draws the image
// whose number stands in the row's "Typ".
TEST_F(MainWindowLook, PaneRowsCarryTheirPictureNumbers)
{
    frmMain window;
    const auto images = window.imgMain();
    ASSERT_TRUE(images);
    const Variant typ(QStringLiteral("Typ"));
    const char* views[] = {"MAINFILES", "NEWFILES", "CATEGORIES", "LAST"};
    for (int row = 0; row < 4; ++row) {
        SCOPED_TRACE(views[row]);
        const Variant number = window.lvViews()->list()->Data(typ, row);
        EXPECT_FALSE(number.isString());
        EXPECT_EQ(number.toLong(), images->IndexOfKey(QLatin1String(views[row])));
        EXPECT_GT(number.toLong(), 0);
    }
    // "Filter aus", then the five default selections: disks, programs, tapes, cartridges and
    // pictures, in name order.
    ASSERT_GE(window.lvFilter()->RowCount(), 1);
    EXPECT_EQ(window.lvFilter()->list()->Data(typ, 0).toLong(), images->IndexOfKey(QStringLiteral("OFF")));
    for (int row = 1; row < window.lvFilter()->RowCount(); ++row) {
        SCOPED_TRACE(window.lvFilter()->Text(row).toStdString());
        EXPECT_GT(window.lvFilter()->list()->Data(typ, row).toLong(), 0);
    }
}

// The job, file and selection windows opened from the main window show its pictures.
TEST_F(MainWindowOverCatalogue, WindowsOpenedFromHereGetTheMainPictures)
{
    writeIni(QStringLiteral("[MAIN]\r\nDatabase=") + dir.filePath(QStringLiteral("test.MDB")) + QStringLiteral("\r\n"));
    CloseDB();
    frmMain window;
    window.show();
    QApplication::processEvents();
    QApplication::processEvents();
    ASSERT_TRUE(window.imgMain());
    // Looks at the modal window once it is up, then closes it.
    auto inspect = [](std::function<bool(QWidget*)> check) {
        auto* timer = new QTimer;
        timer->setInterval(10);
        QObject::connect(timer, &QTimer::timeout, [timer, check] {
            QWidget* modal = QApplication::activeModalWidget();
            if (modal && check(modal)) timer->deleteLater();
        });
        timer->start();
    };
    bool fileSeen = false;
    inspect([&](QWidget* modal) {
        auto* details = qobject_cast<frmFile*>(modal);
        if (!details) return false;
        fileSeen = true;
        // File 4 lies inside an archive: its type and the archive mark.
        for (const char* name : {"imgTyp", "imgZipped"}) {
            auto* picture = details->findChild<QLabel*>(QLatin1String(name));
            EXPECT_TRUE(picture && !picture->pixmap().isNull()) << name;
        }
        details->reject();
        return true;
    });
    window.EditFiles(4);
    EXPECT_TRUE(fileSeen);

    bool selectionSeen = false;
    inspect([&](QWidget* modal) {
        auto* selection = qobject_cast<frmMainFilter*>(modal);
        if (!selection) return false;
        selectionSeen = true;
        QTreeWidgetItem* root = selection->treeFiles->topLevelItem(0);
        EXPECT_TRUE(root && !root->icon(0).isNull() && root->childCount() > 0 && !root->child(0)->icon(0).isNull());
        for (QAction* button : selection->tbFilter->actions()) EXPECT_FALSE(button->icon().isNull());
        selection->reject();
        return true;
    });
    window.findChild<QAction*>(QStringLiteral("tbFilter"))->trigger();
    EXPECT_TRUE(selectionSeen);

    bool jobSeen = false;
    inspect([&](QWidget* modal) {
        auto* job = qobject_cast<frmProcess*>(modal);
        if (!job) return false;
        jobSeen = true;
        EXPECT_EQ(job->imgMain, window.imgMain());
        return true;
    });
    JobCloser closer;  // after the look, which must come first
    window.findChild<QAction*>(QStringLiteral("mnuCheckFiles"))->trigger();
    EXPECT_TRUE(jobSeen);
}

// A drop-down closed by a click elsewhere leaves its button drawn as any other: not hovered
// and not pressed; the chosen entry's command runs once the drop-down is gone and its button
// is up again.
TEST_F(MainWindowOverCatalogue, DropDownLeavesItsButtonUpWhenItCloses)
{
    const QString folder = dir.filePath(QStringLiteral("games")) + QLatin1Char('/');
    CloseDB();
    writeIni(QStringLiteral("[MAIN]\r\nDatabase=") + dir.filePath(QStringLiteral("test.MDB"))
             + QStringLiteral("\r\nDialog=") + folder + QStringLiteral("\r\n"));
    SetMsgBoxHook([](const QString&, int, const QString&) { return int(vbOK); });
    const auto resetBoxes = qScopeGuard([] { SetMsgBoxHook(nullptr); });
    frmMain window;
    window.resize(900, 600);
    window.show();
    QApplication::processEvents();
    auto* toolbar = window.findChild<QToolBar*>(QStringLiteral("tlbMain"));
    auto* tool = qobject_cast<QToolButton*>(toolbar->widgetForAction(window.findChild<QAction*>(QStringLiteral("tbAddDir"))));
    ASSERT_TRUE(tool && tool->menu() && !tool->menu()->actions().isEmpty());
    // The pointer comes onto the button as Qt tells a widget of it.
    const auto hover = [&] {
        const QPointF local = tool->rect().center();
        QCursor::setPos(tool->mapToGlobal(local.toPoint()));
        QEnterEvent enter(local, local, tool->mapToGlobal(local));
        tool->setAttribute(Qt::WA_UnderMouse, true);
        QApplication::sendEvent(tool, &enter);
    };
    const QPoint elsewhere = window.mapToGlobal(QPoint(450, 500));
    const auto openAndClose = [&](const std::function<void(QMenu*)>& inside) {
        QTimer::singleShot(50, [&] {
            auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
            ASSERT_TRUE(menu);
            QCursor::setPos(elsewhere);
            inside(menu);
            menu->close();
        });
        tool->showMenu();
        for (int i = 0; i < 5; ++i) QApplication::processEvents();
    };

    hover();
    ASSERT_TRUE(tool->underMouse());
    openAndClose([](QMenu*) {});
    EXPECT_FALSE(tool->isDown());
    EXPECT_FALSE(tool->underMouse()) << "drawn hovered with the pointer elsewhere";

    bool asked = false, downWhileAsked = true;
    SetFileDialogHook([&](const FileDialogRequest&) {
        asked = true;
        downWhileAsked = tool->isDown();
        return QString();
    });
    const auto resetHook = qScopeGuard([] { SetFileDialogHook(nullptr); });
    hover();
    openAndClose([](QMenu* menu) { menu->actions().first()->trigger(); });
    EXPECT_TRUE(asked);
    EXPECT_FALSE(downWhileAsked);
    EXPECT_FALSE(tool->underMouse());
}

} // namespace
