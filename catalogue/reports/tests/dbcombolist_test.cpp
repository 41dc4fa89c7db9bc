// The combo box's drop-down driven as a user drives it: real keys and clicks sent to the
// windows, never the list's events raised by hand.

#include "catalogue/reports/dbcombo.h"
#include "catalogue/reports/dbcombolist.h"
#include "catalogue/reports/simplereport.h"
#include "catalogue/reports/tests/dbcombocatalogue.h"
#include "controls/grid/columns.h"
#include "controls/grid/listview.h"
#include "controls/scrollview/popupwnd.h"
#include "controls/scrollview/scrollview.h"
#include "platform/gui/systimer.h"

#include <QLineEdit>
#include <QMenu>
#include <QScrollBar>

using namespace tv;

namespace {

// The window point of a row's centre in the open list.
QPoint rowPoint(frmDBCombo* list, int row)
{
    auto* grid = list->srpCombo()->grid();
    const int h = list->srpCombo()->RowHeight();
    return grid->ScrollWnd()->mapTo(list, QPoint(20, row * h + h / 2 + 1));
}

} // namespace

TEST_F(ShownCombo, TheOpenListHasTheKeyboard)
{
    struct Case { const char* name; QList<int> keys; const char* value; };
    // Rows in name order: abc, ABC, Art, Demos, Games, Music, Tools; the list opens on Demos.
    const Case cases[] = {
        {"Down twice and Return", {Qt::Key_Down, Qt::Key_Down, Qt::Key_Return}, "6"},
        {"Tab takes the row", {Qt::Key_Down, Qt::Key_Tab}, "4"},
        {"typing finds the row", {Qt::Key_M, Qt::Key_Return}, "6"},
        {"Escape chooses nothing", {Qt::Key_Down, Qt::Key_Escape}, "3"},
        {"F4 chooses nothing", {Qt::Key_Down, Qt::Key_F4}, "3"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        bool focused = false;
        whenOpen([&](frmDBCombo* list) {
            focused = list->srpCombo()->grid()->ScrollWnd()->HasFocus();
            for (int key : c.keys) QTest::keyClick(list->windowHandle(), Qt::Key(key));
        });
        combo->setValue(Variant(int32_t(3)));
        QTest::keyClick(top.windowHandle(), Qt::Key_F4);
        EXPECT_TRUE(opened);
        EXPECT_TRUE(focused);
        EXPECT_EQ(combo->Value().text(), QString::fromLatin1(c.value));
        EXPECT_FALSE(QApplication::activePopupWidget());
        EXPECT_TRUE(combo->txtCombo()->hasFocus());
    }
}

TEST_F(ShownCombo, ItOpensOnTheCurrentNameWhateverCharactersItHolds)
{
    for (const char* sql : {"INSERT INTO Category VALUES (8, 'Best [!]', 0)", "INSERT INTO Category VALUES (9, 'Best!', 0)",
                            "INSERT INTO Category VALUES (10, 'Disk#2', 0)"})
        ASSERT_FALSE(db->Execute(QString::fromUtf8(sql))) << sql;
    // A combo whose value is the name itself.
    combo->setValueField(QStringLiteral("tCategory"));
    for (const char* name : {"Best [!]", "Disk#2"}) {
        SCOPED_TRACE(name);
        QString shown;
        whenOpen([&](frmDBCombo* list) {
            SimpleReport* rows = list->srpCombo();
            shown = rows->FieldValue(Variant(QStringLiteral("tCategory")), rows->SelectedIndex()).text();
            QTest::keyClick(list->windowHandle(), Qt::Key_Escape);
        });
        combo->setValue(Variant(QString::fromLatin1(name)));
        QTest::keyClick(top.windowHandle(), Qt::Key_F4);
        EXPECT_TRUE(opened);
        EXPECT_EQ(shown, QString::fromLatin1(name));
    }
}

TEST_F(ShownCombo, AltUpAndAltDownOpenAndCloseIt)
{
    for (Qt::Key key : {Qt::Key_Up, Qt::Key_Down}) {
        bool closed = false;
        whenOpen([&](frmDBCombo* list) {
            QTest::keyClick(list->windowHandle(), Qt::Key_Down);
            QTest::keyClick(list->windowHandle(), key, Qt::AltModifier);
            closed = !list->isVisible();
        });
        QTest::keyClick(top.windowHandle(), key, Qt::AltModifier);
        EXPECT_TRUE(opened);
        EXPECT_TRUE(closed);
        EXPECT_TRUE(combo->Value().isNull());
    }
}

TEST_F(ShownCombo, TheArrowOpensItAndAClickOnARowChoosesIt)
{
    const QRect arrow = combo->arrowRect();
    ASSERT_TRUE(arrow.isValid());
    whenOpen([&](frmDBCombo* list) { QTest::mouseClick(list->windowHandle(), Qt::LeftButton, {}, rowPoint(list, 5)); });
    QTest::mouseClick(top.windowHandle(), Qt::LeftButton, {}, inTop(arrow.center()));
    EXPECT_TRUE(opened);
    EXPECT_EQ(combo->Text(), QStringLiteral("Music"));
    EXPECT_EQ(combo->Value().toLong(), 6);
}

TEST_F(ShownCombo, AClickOutsideClosesItWithoutAChoiceAndGoesNoFurther)
{
    QLineEdit other(&top);
    other.setGeometry(10, 200, 100, 20);
    other.show();
    combo->setValue(Variant(int32_t(5)));
    int comboClicks = 0;
    combo->Click.connect([&] { ++comboClicks; });
    for (const QPoint& outside : {other.geometry().center(), inTop(combo->arrowRect().center())}) {
        whenOpen([&](frmDBCombo* list) {
            QTest::keyClick(list->windowHandle(), Qt::Key_Down);
            QTest::mouseClick(top.windowHandle(), Qt::LeftButton, {}, outside);
        });
        QTest::keyClick(top.windowHandle(), Qt::Key_F4);
        EXPECT_TRUE(opened);
        EXPECT_EQ(combo->Value().toLong(), 5);
        // Neither the other field nor the arrow saw the click: no focus moved, no list reopened.
        EXPECT_FALSE(other.hasFocus());
        EXPECT_FALSE(QApplication::activePopupWidget());
    }
    EXPECT_EQ(comboClicks, 0);
}

TEST_F(ShownCombo, TheListShowsEveryRowItWasSizedForWithAVerticalBarOnly)
{
    for (int i = 10; i < 24; ++i)
        ASSERT_FALSE(db->Execute(QStringLiteral("INSERT INTO Category VALUES (%1, 'Name %1', 0)").arg(i)));
    combo->setRecordSource(combo->RecordSource());
    struct Case { int rows; int shown; bool bar; };
    for (const Case& c : {Case{30, 21, false}, Case{8, 8, true}}) {   // 21 rows in all
        SCOPED_TRACE(c.rows);
        combo->setRows(c.rows);
        int shown = -1, fullRows = -1;
        bool vertical = false, horizontal = true;
        whenOpen([&](frmDBCombo* list) {
            auto* view = list->srpCombo()->grid()->ScrollWnd();
            shown = list->srpCombo()->ItemCount() >= c.shown ? c.shown : -1;
            fullRows = view->ScrollAreaHeight() / list->srpCombo()->RowHeight();
            const auto bars = view->findChildren<QScrollBar*>();
            vertical = horizontal = false;
            for (QScrollBar* bar : bars) {
                if (!bar->isVisible()) continue;
                (bar->orientation() == Qt::Vertical ? vertical : horizontal) = true;
            }
            EXPECT_EQ(list->height(), list->srpCombo()->RowHeight() * c.shown + 2);
        });
        QTest::keyClick(top.windowHandle(), Qt::Key_F4);
        EXPECT_EQ(shown, c.shown);
        EXPECT_EQ(fullRows, c.shown);
        EXPECT_EQ(vertical, c.bar);
        EXPECT_FALSE(horizontal);
    }
}

TEST_F(ShownCombo, ALongTextIsNotCutAtTheCombosWidth)
{
    const QString longName = QStringLiteral("A category whose name is far wider than the combo box itself");
    ASSERT_FALSE(db->Execute(QStringLiteral("INSERT INTO Category VALUES (30, '%1', 0)").arg(longName)));
    int listWidth = 0, columnWidth = 0, textWidth = 0;
    whenOpen([&](frmDBCombo* list) {
        listWidth = list->width();
        auto text = list->srpCombo()->Columns()->Item(Variant(QStringLiteral("tCategory")));
        columnWidth = text ? text->Width() : 0;
        textWidth = QFontMetrics(list->srpCombo()->grid()->ScrollWnd()->font()).horizontalAdvance(longName);
    });
    QTest::keyClick(top.windowHandle(), Qt::Key_F4);
    EXPECT_GT(listWidth, combo->width());
    EXPECT_GE(columnWidth, textWidth);
}

TEST_F(ShownCombo, ChoosingARowTakesTheValueColumnWhereverItStands)
{
    combo->setRecordSource(QStringLiteral("SELECT tCategory, ID FROM Category"));
    combo->setValueField(QStringLiteral("ID"));
    combo->setTextField(QStringLiteral("tCategory"));
    whenOpen([&](frmDBCombo* list) {
        QTest::keyClick(list->windowHandle(), Qt::Key_M);
        QTest::keyClick(list->windowHandle(), Qt::Key_Return);
    });
    QTest::keyClick(top.windowHandle(), Qt::Key_F4);
    EXPECT_EQ(combo->Value().toLong(), 6);
    EXPECT_EQ(combo->Text(), QStringLiteral("Music"));
}

TEST_F(ShownCombo, ControlKeysSortByTheNeighbourColumnsAndResizeTheColumns)
{
    combo->setRecordSource(QStringLiteral("SELECT ID, tCategory, fDeleted FROM Category"));
    combo->setAutoSearch(2);
    int16_t afterNext = -1, afterPrevious = -1, afterWrap = -1;
    QString firstAfterNext;
    whenOpen([&](frmDBCombo* list) {
        SimpleReport* report = list->srpCombo();
        QTest::keyClick(list->windowHandle(), Qt::Key_N, Qt::ControlModifier);
        afterNext = report->SortColumn();
        firstAfterNext = report->FieldValue(Variant(QStringLiteral("tCategory")), 0).text();
        QTest::keyClick(list->windowHandle(), Qt::Key_N, Qt::ControlModifier);   // from the last: the first again
        afterWrap = report->SortColumn();
        QTest::keyClick(list->windowHandle(), Qt::Key_V, Qt::ControlModifier);
        afterPrevious = report->SortColumn();
        auto text = report->Columns()->Item(Variant(int32_t(1)));
        text->SetWidth(5);
        QTest::keyClick(list->windowHandle(), Qt::Key_S, Qt::ControlModifier);
        EXPECT_GT(text->Width(), 5);
        EXPECT_TRUE(list->isVisible());
    });
    QTest::keyClick(top.windowHandle(), Qt::Key_F4);
    EXPECT_EQ(afterNext, 2);          // fDeleted: Games (the deleted one) last
    EXPECT_NE(firstAfterNext, QStringLiteral("Games"));
    EXPECT_EQ(afterWrap, 1);
    EXPECT_EQ(afterPrevious, 2);
}

TEST_F(ShownCombo, ARightClickOpensTheMenuWhoseSortEntriesNeedTheMarkedMode)
{
    combo->setRecordSource(QStringLiteral("SELECT ID, tCategory, fDeleted FROM Category"));
    for (int mode : {0, 2}) {
        SCOPED_TRACE(mode);
        combo->setAutoSearch(mode);
        QStringList visible;
        int16_t sorted = -1;
        whenOpen([&](frmDBCombo* list) {
            QTimer::singleShot(0, [&, list] {
                QMenu* menu = list->popupMenu();
                ASSERT_TRUE(menu);
                for (QAction* a : menu->actions())
                    if (a->isVisible() && !a->isSeparator()) visible << a->objectName();
                if (QAction* sort = menu->findChild<QAction*>(QStringLiteral("mnuPopupSortThisCol")); sort && mode == 2)
                    sort->trigger();
                menu->close();
                sorted = list->srpCombo()->SortColumn();
            });
            // The third column of the second row.
            auto text = list->srpCombo()->Columns()->Item(Variant(int32_t(2)));
            QPoint at = rowPoint(list, 1);
            at.setX(list->srpCombo()->grid()->ScrollWnd()->mapTo(list, QPoint(text->Left() + 3, 0)).x());
            QTest::mouseClick(list->windowHandle(), Qt::RightButton, {}, at);
        });
        QTest::keyClick(top.windowHandle(), Qt::Key_F4);
        if (mode == 0) {
            EXPECT_EQ(visible, QStringList{QStringLiteral("mnuPopupColSize")});
        } else {
            EXPECT_EQ(visible, (QStringList{QStringLiteral("mnuPopupColSize"), QStringLiteral("mnuPopupSortThisCol"),
                                            QStringLiteral("mnuPopupSortNextCol"), QStringLiteral("mnuPopupSortPrevCol")}));
            EXPECT_EQ(sorted, 2);
        }
    }
}

TEST_F(ShownCombo, ATipNamesTheColumnUnderThePointer)
{
    combo->setRecordSource(QStringLiteral("SELECT ID, tCategory, fDeleted FROM Category"));
    QString tip;
    whenOpen([&](frmDBCombo* list) {
        auto* view = list->srpCombo()->grid()->ScrollWnd();
        auto text = list->srpCombo()->Columns()->Item(Variant(int32_t(1)));
        QPoint at = rowPoint(list, 2);
        at.setX(view->mapTo(list, QPoint(text->Left() + 3, 0)).x());
        // The hover reads the pointer's screen position once it rested.
        QCursor::setPos(list->mapToGlobal(at));
        QTest::mouseMove(list->windowHandle(), at);
        SysTimer::TickAll();
        if (auto* window = view->findChild<vantile::ToolTipWnd*>()) tip = window->Text();
    });
    QTest::keyClick(top.windowHandle(), Qt::Key_F4);
    EXPECT_EQ(tip, QStringLiteral("tCategory"));
}
