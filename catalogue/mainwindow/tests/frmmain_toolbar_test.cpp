#include "mainwindowtest.h"

#include "catalogue/mainwindow/frmmain.h"
#include "catalogue/mainwindow/sidepane.h"
#include "controls/grid/listview.h"
#include "platform/gui/imagelist.h"

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QMenuBar>
#include <QToolBar>
#include <QToolButton>

using namespace tv;

namespace {

using MainWindowLook = MainFolderTest;

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

} // namespace
