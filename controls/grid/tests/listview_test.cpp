#include "listviewfixture.h"

#include "controls/grid/column.h"
#include "controls/vantile.h"
#include "platform/gui/keys.h"

namespace vantile {

TEST(ListViewFactory, CreatesTheGridByName)
{
    QWidget parent;
    QWidget* w = CreateControl(QStringLiteral("vantile.listview"), &parent);
    auto* lv = qobject_cast<ListView*>(w);
    ASSERT_TRUE(lv);
    EXPECT_EQ(lv->RowHeight(), 16);
    EXPECT_EQ(lv->BorderAppearance(), vtl3DRaised);
    EXPECT_EQ(lv->SelectionMode, vtlSingleSelect);
    EXPECT_TRUE(lv->ShowHeader());
    EXPECT_FALSE(lv->ShowFooter());
    EXPECT_EQ(lv->CurrentRow(), -1);
    EXPECT_EQ(lv->SelectionSet()->RowCount(), 0);
}

TEST(ListViewProperties, SimpleSettersKeepTheirRules)
{
    ListView lv;
    lv.setMarqueeWidth(0);
    EXPECT_EQ(lv.MarqueeWidth(), 1);
    lv.setToolTipMode(vtlCellTips);
    EXPECT_TRUE(lv.ScrollWnd()->HoverTracking());
    lv.setToolTipMode(5);   // stored, hover tracking left as it was
    EXPECT_EQ(lv.ToolTipMode(), 5);
    EXPECT_TRUE(lv.ScrollWnd()->HoverTracking());
    // A header height that the host set is kept when the row height changes.
    lv.Columns()->Headers()->SetRowHeight(30);
    lv.setRowHeight(20);
    EXPECT_EQ(lv.Columns()->Headers()->RowHeight(), 30);
    lv.setMousePointer(5);
    EXPECT_EQ(lv.MousePointer(), 5);
    EXPECT_EQ(lv.cursor().shape(), Qt::CursorShape(5));
    EXPECT_NE(lv.hwnd(), 0);
    EXPECT_NE(lv.hwnd(), lv.hWnd2());
    lv.SetOptions(1);
    EXPECT_EQ(lv.ScrollWnd()->Options(), 0);
    lv.SetOptions(0x8001);
    EXPECT_EQ(lv.ScrollWnd()->Options(), 0x8000);
}

TEST(ListViewProperties, AppearanceAndBorderOfTheControl)
{
    ListView lv;
    QStringList changed;
    lv.PropertyChanged.connect([&](const QString& name) { changed << name; });
    EXPECT_EQ(lv.Appearance(), cc3D);
    EXPECT_EQ(lv.BorderStyle(), bsFixedSingle);
    EXPECT_GT(lv.ScrollWnd()->frameWidth(), 0);
    lv.setAppearance(ccFlat);
    lv.setBorderStyle(bsNone);
    EXPECT_EQ(changed, (QStringList{QStringLiteral("Appearance"), QStringLiteral("BorderStyle")}));
    EXPECT_EQ(lv.ScrollWnd()->frameWidth(), 0);   // the rows reach the control's edge
    tv::PropertyBag bag;
    lv.WriteProperties(bag);
    ListView other;
    other.ReadProperties(bag);
    EXPECT_EQ(other.Appearance(), ccFlat);
    EXPECT_EQ(other.BorderStyle(), bsNone);
}

TEST(ListViewProperties, MouseIconShowsWithTheCustomPointer)
{
    ListView lv;
    QImage image(16, 16, QImage::Format_ARGB32);
    image.fill(Qt::red);
    lv.setMousePointer(99);
    lv.setMouseIcon(tv::PictureFromImage(image));
    ASSERT_TRUE(lv.MouseIcon());
    EXPECT_EQ(lv.cursor().shape(), Qt::BitmapCursor);
    EXPECT_EQ(lv.cursor().pixmap().toImage().pixelColor(8, 8), QColor(Qt::red));
    lv.setMousePointer(vtlSizingCursor);   // the grid's own pictures leave the icon
    EXPECT_TRUE(lv.MouseIcon());
    lv.setMousePointer(vtlDefaultCursor);
    EXPECT_FALSE(lv.MouseIcon());
    EXPECT_EQ(lv.cursor().shape(), Qt::ArrowCursor);
}

TEST(ListViewProperties, BagRoundTripWritesOnlyChangedValues)
{
    ListView lv;
    lv.setRowHeight(22);
    lv.EmptyRows = true;
    tv::PropertyBag bag;
    lv.WriteProperties(bag);
    ListView other;
    other.ReadProperties(bag);
    EXPECT_EQ(other.RowHeight(), 22);
    EXPECT_TRUE(other.EmptyRows);
    EXPECT_EQ(other.SelectionMode, vtlSingleSelect);
}

// ---- data -----------------------------------------------------------------------------------

TEST_F(ListViewTest, StorageRowsAndCells)
{
    fill(4);
    EXPECT_EQ(lv->RowCount(), 4);
    EXPECT_EQ(lv->Data(QStringLiteral("B"), 2).toString(), QStringLiteral("r2c1"));
    EXPECT_TRUE(lv->Data(QStringLiteral("nope"), 2).isNull());
    EXPECT_TRUE(lv->Data(int32_t(1), 99).isEmpty());
    EXPECT_EQ(lv->Data(int32_t(2)).as<Column>()->Key(), QStringLiteral("C"));
    lv->setData(QStringLiteral("C"), 0, QStringLiteral("by key"));
    EXPECT_EQ(lv->Data(int32_t(2), 0).toString(), QStringLiteral("by key"));
    lv->setRowCount(4);   // again: the values are gone
    EXPECT_TRUE(lv->Data(int32_t(1), 2).isEmpty());
    lv->setRowCount(0);
    EXPECT_EQ(lv->RowCount(), 0);
    EXPECT_EQ(lv->SelectionSet()->RowCount(), 0);
    EXPECT_EQ(lv->CachePos(), 0);
}

TEST_F(ListViewTest, ValuesOfLateColumnsAndRowsAreKept)
{
    fill(2);
    lv->Columns()->Add(QStringLiteral("D"));
    lv->setData(QStringLiteral("D"), 1, QStringLiteral("late column"));
    EXPECT_EQ(lv->Data(QStringLiteral("D"), 1).toString(), QStringLiteral("late column"));
    EXPECT_EQ(lv->Data(int32_t(0), 1).toString(), QStringLiteral("r1c0"));
    lv->InsertRows(1);   // the way the job window appends a row
    lv->setData(QStringLiteral("D"), 2, QStringLiteral("new row"));
    EXPECT_EQ(lv->Data(QStringLiteral("D"), 2).toString(), QStringLiteral("new row"));
    lv->setData(QStringLiteral("D"), 3, QStringLiteral("no such row"));
    EXPECT_TRUE(lv->Data(QStringLiteral("D"), 3).isEmpty());

    ListView empty;
    empty.setRowCount(2);   // rows before any column
    empty.Columns()->Add(QStringLiteral("K"));
    empty.setData(QStringLiteral("K"), 1, int32_t(5));
    EXPECT_EQ(empty.Data(QStringLiteral("K"), 1).toLong(), 5);
}

TEST_F(ListViewTest, ResetEmptiesTheGrid)
{
    fill(3);
    lv->SetBookmark(2);
    lv->Reset();
    EXPECT_EQ(lv->Columns()->Count(), 0);
    EXPECT_EQ(lv->RowCount(), 0);
    EXPECT_EQ(lv->SelectionSet()->Count(), 0);
    EXPECT_EQ(lv->CurrentRow(), -1);
    lv->Columns()->Add(QStringLiteral("X"));
    lv->setRowCount(3);
    EXPECT_TRUE(lv->Data(int32_t(0), 2).isEmpty());
}

TEST_F(ListViewTest, RemovingAColumnKeepsTheOthersValues)
{
    fill(3);
    lv->Columns()->Remove(QStringLiteral("B"));
    ASSERT_EQ(lv->Columns()->Count(), 2);
    EXPECT_EQ(lv->Data(QStringLiteral("A"), 1).toString(), QStringLiteral("r1c0"));
    EXPECT_EQ(lv->Data(QStringLiteral("C"), 1).toString(), QStringLiteral("r1c2"));
    // C now stands where B stood.
    int32_t col = -1, row = -1, state = 0;
    EXPECT_EQ(lv->HitTest(70, 40, col, row, state), vtlHTCell);
    EXPECT_EQ(lv->Columns()->Item(col)->Key(), QStringLiteral("C"));
    // A column added afterwards starts empty and writes to its own place.
    lv->Columns()->Add(QStringLiteral("D"));
    EXPECT_TRUE(lv->Data(QStringLiteral("D"), 1).isEmpty());
    lv->setData(QStringLiteral("D"), 1, QStringLiteral("d"));
    EXPECT_EQ(lv->Data(QStringLiteral("C"), 1).toString(), QStringLiteral("r1c2"));
    EXPECT_EQ(lv->Data(QStringLiteral("D"), 1).toString(), QStringLiteral("d"));
}

TEST_F(ListViewTest, RemovingAColumnKeepsTheCachedRowsOfTheOthers)
{
    lv->DataMode = vtlVirtual;
    lv->setRowCount(4);
    bool answer = true;
    lv->FetchData.connect([&answer](int32_t start, int32_t end, int32_t& cachePos, tv::Variant& data) {
        if (!answer) return;   // the block the grid holds still covers the rows
        tv::VariantArray block(0, 2, 0, end - start);
        for (int32_t r = start; r <= end; ++r)
            for (int32_t c = 0; c < 3; ++c) block.at(c, r - start) = QStringLiteral("v%1.%2").arg(r).arg(c);
        cachePos = start;
        data = tv::Variant(block);
    });
    lv->Refresh();
    answer = false;
    lv->Columns()->Remove(int32_t(0));
    EXPECT_EQ(lv->Data(QStringLiteral("B"), 2).toString(), QStringLiteral("v2.1"));
    EXPECT_EQ(lv->Data(QStringLiteral("C"), 2).toString(), QStringLiteral("v2.2"));
}

TEST(ListViewData, WholeArrays)
{
    ListView lv;
    tv::VariantArray three(0, 2, 0, 1);
    three.at(2, 1) = QStringLiteral("x");
    lv.setData(tv::Variant(three));
    ASSERT_EQ(lv.Columns()->Count(), 3);
    EXPECT_EQ(lv.Columns()->Item(QStringLiteral("2"))->Width(), 64);
    EXPECT_EQ(lv.RowCount(), 2);
    EXPECT_EQ(lv.SelectionSet()->RowCount(), 2);
    EXPECT_EQ(lv.Data(int32_t(2), 1).toString(), QStringLiteral("x"));

    lv.Columns()->Add(QStringLiteral("extra"));
    tv::VariantArray two(0, 1, 0, 4);
    two.at(1, 4) = int32_t(7);
    lv.setData(tv::Variant(two));
    EXPECT_EQ(lv.Columns()->Count(), 4);
    EXPECT_EQ(lv.RowCount(), 5);
    EXPECT_EQ(lv.Data(int32_t(1), 4).toLong(), 7);
    EXPECT_TRUE(lv.Data(int32_t(3), 4).isEmpty());
}

TEST_F(ListViewTest, VirtualModeFetchesThePaintedRowsAndRebasesTheBlock)
{
    lv->DataMode = vtlVirtual;
    lv->setRowCount(1000);
    QStringList fetches;
    bool answer = true;
    lv->FetchData.connect([&](int32_t s, int32_t e, int32_t& cachePos, tv::Variant& data) {
        fetches << QStringLiteral("%1-%2 at %3").arg(s).arg(e).arg(cachePos);
        if (!answer) return;
        tv::VariantArray block(0, 2, 0, 19);
        for (int32_t i = 0; i < 20; ++i) block.at(0, i) = QStringLiteral("v%1").arg(100 + i);
        data = tv::Variant(block);
        cachePos = 100;
    });
    lv->Refresh();
    ASSERT_EQ(fetches.size(), 1);
    EXPECT_TRUE(fetches[0].startsWith(QStringLiteral("0-"))) << qPrintable(fetches[0]);
    EXPECT_EQ(lv->CachePos(), 100);
    EXPECT_EQ(lv->Data(int32_t(0), 119).toString(), QStringLiteral("v119"));
    EXPECT_TRUE(lv->Data(int32_t(0), 99).isEmpty());
    answer = false;   // the host's cache still covers the rows
    lv->Refresh();
    EXPECT_TRUE(fetches.last().endsWith(QStringLiteral("at 100")));
    EXPECT_EQ(lv->Data(int32_t(0), 100).toString(), QStringLiteral("v100"));
}

TEST_F(ListViewTest, InsertAndRemoveRowsShiftValuesSelectionAndCurrentRow)
{
    fill(5);
    lv->SetBookmark(3);
    EXPECT_EQ(lv->InsertRows(2, 1), 7);
    EXPECT_EQ(lv->Data(int32_t(0), 3).toString(), QStringLiteral("r1c0"));
    EXPECT_TRUE(lv->Data(int32_t(0), 1).isEmpty());
    EXPECT_EQ(lv->CurrentRow(), 5);
    EXPECT_TRUE(lv->SelectionSet()->Contains(5));
    EXPECT_EQ(lv->InsertRows(1), 8);   // appended
    lv->setData(int32_t(0), 7, QStringLiteral("last"));
    EXPECT_EQ(lv->InsertRows(1), 9);
    EXPECT_EQ(lv->Data(int32_t(0), 6).toString(), QStringLiteral("r4c0"));
    EXPECT_EQ(lv->Data(int32_t(0), 7).toString(), QStringLiteral("last"));
    EXPECT_TRUE(lv->Data(int32_t(0), 8).isEmpty());
    EXPECT_EQ(lv->RemoveRows(1, 8), 8);
    EXPECT_EQ(lv->RemoveRows(3, 0), 5);
    EXPECT_EQ(lv->Data(int32_t(0), 0).toString(), QStringLiteral("r1c0"));
    EXPECT_EQ(lv->CurrentRow(), 2);
    EXPECT_TRUE(lv->SelectionSet()->Contains(2));
}

// ---- current cell and selection --------------------------------------------------------------

TEST_F(ListViewTest, BookmarkClampsAndRaisesOnlyOnChange)
{
    fill(10);
    struct Case {
        int32_t row;
        int32_t expect;
    };
    for (const Case& c : {Case{25, 9}, Case{-5, 0}, Case{4, 4}}) {
        lv->SetBookmark(c.row);
        EXPECT_EQ(lv->CurrentRow(), c.expect) << c.row;
    }
    log.clear();
    lv->SetBookmark(4);
    EXPECT_TRUE(log.isEmpty()) << qPrintable(log.join(QLatin1Char('|')));
    lv->SetBookmark(5, 2);   // single select: the column stays
    EXPECT_EQ(lv->CurrentCol(), -1);
    EXPECT_EQ(log, (QStringList{QStringLiteral("RowColChange 4 -1"), QStringLiteral("SelectionChanged")}));
}

TEST_F(ListViewTest, MultiSelectRangesFromTheAnchor)
{
    fill(10);
    lv->SelectionMode = vtlMultiSelect;
    lv->SetBookmark(2);
    lv->AnchorRow = 2;
    lv->SetBookmark(6);
    EXPECT_EQ(lv->SelectionSet()->Count(), 5);
    EXPECT_TRUE(lv->SelectionSet()->Contains(2) && lv->SelectionSet()->Contains(6));
    lv->SetBookmark(0);
    EXPECT_EQ(lv->SelectionSet()->Count(), 3);
    EXPECT_FALSE(lv->SelectionSet()->Contains(3));
}

TEST_F(ListViewTest, TheHostsMoveEndsTheUsersShiftRange)
{
    fill(10);
    lv->SelectionMode = vtlMultiSelect;
    auto* sv = lv->ScrollWnd();
    sv->setFocus(Qt::MouseFocusReason);
    QWindow* window = top.windowHandle();
    QTest::mouseClick(window, Qt::LeftButton, {}, sv->mapTo(&top, QPoint(70, 16 + 2 * 16 + 8)));
    QTest::keyClick(window, Qt::Key_Down, Qt::ShiftModifier);
    QTest::keyClick(window, Qt::Key_Down, Qt::ShiftModifier);
    ASSERT_EQ(lv->SelectionSet()->Count(), 3);   // rows 2 to 4
    lv->SetBookmark(8);                          // a find or type-ahead hit of the host
    EXPECT_EQ(lv->SelectionSet()->Count(), 1);
    EXPECT_TRUE(lv->SelectionSet()->Contains(8));
    // Shift now extends from the row the host found.
    QTest::keyClick(window, Qt::Key_Up, Qt::ShiftModifier);
    EXPECT_EQ(lv->SelectionSet()->Count(), 2);
    EXPECT_TRUE(lv->SelectionSet()->Contains(7) && lv->SelectionSet()->Contains(8));
    // An anchor the host sets itself is the host's to end.
    lv->AnchorRow = 1;
    lv->SetBookmark(3);
    EXPECT_EQ(lv->SelectionSet()->Count(), 3);
}

TEST_F(ListViewTest, ShiftExtendsFromWhereTheHostPutTheCurrentRow)
{
    fill(10);
    lv->SelectionMode = vtlMultiSelect;
    click(70, 40);          // the user clicks row 1
    lv->SetBookmark(6);     // then the host moves to row 6 (a search hit)
    int16_t down = tv::VK_DOWN, shift = 1;
    lv->ScrollWnd()->KeyDown.raise(down, shift);
    EXPECT_EQ(lv->CurrentRow(), 7);
    EXPECT_EQ(lv->SelectedItems().array()->count(), 2);
    EXPECT_TRUE(lv->SelectionSet()->Contains(6) && lv->SelectionSet()->Contains(7));
    EXPECT_FALSE(lv->SelectionSet()->Contains(1));
    // The range keeps its anchor while Shift goes on, and a move without Shift lets it go.
    int16_t up = tv::VK_UP;
    lv->ScrollWnd()->KeyDown.raise(up, shift);
    lv->ScrollWnd()->KeyDown.raise(up, shift);
    EXPECT_EQ(lv->CurrentRow(), 5);
    EXPECT_EQ(lv->SelectionSet()->Count(), 2);
    EXPECT_TRUE(lv->SelectionSet()->Contains(5) && lv->SelectionSet()->Contains(6));
    int16_t none = 0;
    lv->ScrollWnd()->KeyDown.raise(down, none);
    lv->SetBookmark(8);
    EXPECT_EQ(lv->SelectionSet()->Count(), 1);
}

TEST_F(ListViewTest, DelayedScrollRestartsOnASecondRequest)
{
    lv->setRowCount(100);
    lv->SetBookmark(60);
    lv->EnsureVisibleSelection(200);
    tv::SysTimer* first = lv->ensureVisibleTimer();
    lv->EnsureVisibleSelection(200);
    EXPECT_NE(lv->ensureVisibleTimer(), first);
    EXPECT_EQ(lv->FirstVisibleRow(), 0);
    EXPECT_EQ(tv::SysTimer::TickAll(), 1);
    EXPECT_GT(lv->FirstVisibleRow(), 40);
    EXPECT_EQ(tv::SysTimer::TickAll(), 0);   // one shot
}

// ---- hit testing and mouse ---------------------------------------------------------------

TEST_F(ListViewTest, HitTestZonesAndDividers)
{
    fill(5);
    lv->Columns()->Item(QStringLiteral("C"))->SetWidth(0);
    lv->Columns()->Item(QStringLiteral("C"))->SetHidden(0);
    struct Case {
        const char* name;
        int32_t x, y;
        int32_t zone, col, row, state;
    };
    const Case cases[] = {
        {"header middle", 30, 5, vtlHTHeader, 0, -1, 0},
        {"8 px left of the right edge", 52, 5, vtlHTHeader, 0, -1, 1},
        {"9 px left of the right edge", 51, 5, vtlHTHeader, 0, -1, 0},
        {"left divider sizes the previous column", 64, 5, vtlHTHeader, 0, -1, 1},
        {"cell", 70, 20, vtlHTCell, 1, 0, 0},
        {"below the rows", 70, 150, vtlHTNone, 1, -1, 0},
        {"right of the last column", 250, 5, vtlHTNone, -1, -1, 0},
        {"outside", -1, 5, vtlHTNone, -1, -1, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        int32_t col = 0, row = 0, state = 0;
        EXPECT_EQ(lv->HitTest(c.x, c.y, col, row, state), c.zone);
        EXPECT_EQ(col, c.col);
        EXPECT_EQ(row, c.row);
        EXPECT_EQ(state, c.state);
    }
}

TEST_F(ListViewTest, PointToCellGivesTheCellsOrigin)
{
    fill(5);
    int32_t x = -7, y = -7;
    EXPECT_TRUE(lv->PointToCell(1, 2, x, y));
    EXPECT_EQ(x, 60);
    EXPECT_EQ(y, 16 + 2 * 16);   // below the header row
    lv->Columns()->Item(QStringLiteral("A"))->SetOrder(-2);   // B first on screen now
    EXPECT_TRUE(lv->PointToCell(1, 0, x, y));
    EXPECT_EQ(x, 0);
    EXPECT_EQ(y, 16);
    x = y = -7;
    EXPECT_FALSE(lv->PointToCell(1, 5, x, y));
    EXPECT_FALSE(lv->PointToCell(9, 0, x, y));
    EXPECT_EQ(x, -7);
}

TEST_F(ListViewTest, ClicksSelectAndReportThePress)
{
    fill(5);
    lv->ScrollWnd()->MouseDown.raise(1, *std::make_unique<int16_t>(0), 70, 40);
    int16_t shift = 0;
    lv->ScrollWnd()->MouseUp.raise(2, shift, 200, 60);
    EXPECT_EQ(lv->CurrentRow(), 1);
    EXPECT_TRUE(lv->SelectionSet()->Contains(1));
    EXPECT_TRUE(log.contains(QStringLiteral("ItemClick 1 1 b2 k0 70,56"))) << qPrintable(log.join(QLatin1Char('|')));
    log.clear();
    click(30, 5);
    EXPECT_EQ(log, QStringList{QStringLiteral("HeaderClick 0 b1")});
    log.clear();
    lv->ScrollWnd()->DblClick.raise();   // after a header press off the divider: nothing
    click(70, 40);
    lv->ScrollWnd()->DblClick.raise();
    EXPECT_TRUE(log.contains(QStringLiteral("ItemDblClick 1 1")));
    log.clear();
    cancelMouse = true;
    click(70, 60);
    EXPECT_EQ(lv->CurrentRow(), 1);
    EXPECT_TRUE(log.isEmpty());
}

TEST_F(ListViewTest, CtrlAndShiftClicksInMultiSelect)
{
    fill(8);
    lv->SelectionMode = vtlMultiSelect;
    click(70, 24);          // row 0
    click(70, 56, 1, 2);    // Ctrl: row 2 joins
    EXPECT_EQ(lv->SelectedItems().array()->count(), 2);
    click(70, 72, 2, 2);    // Ctrl with the right button: no toggle, the selection stays
    EXPECT_FALSE(lv->SelectionSet()->Contains(3));
    EXPECT_EQ(lv->SelectionSet()->Count(), 2);
    click(70, 40);          // row 1 alone
    click(70, 88, 1, 1);    // Shift: rows 1 to 4
    EXPECT_EQ(lv->SelectionSet()->Count(), 4);
    EXPECT_TRUE(lv->SelectionSet()->Contains(1) && lv->SelectionSet()->Contains(4));
    EXPECT_EQ(lv->AnchorRow, 1);   // one anchor, shared with the host
    click(70, 56, 2);       // right button on a selected row: the rows stay selected for a menu
    EXPECT_EQ(lv->SelectionSet()->Count(), 4);
    click(70, 120, 2);      // right button on another row: that row alone
    EXPECT_EQ(lv->SelectionSet()->Count(), 1);
    EXPECT_TRUE(lv->SelectionSet()->Contains(6));
}

TEST_F(ListViewTest, KeysMoveTheCurrentRow)
{
    fill(30);
    struct Case {
        const char* name;
        int16_t key, shift;
        int32_t row, selected;
    };
    const int32_t page = lv->ScrollWnd()->VisibleRows() - 1;
    const Case cases[] = {
        {"down from nothing", tv::VK_DOWN, 0, 0, 1},
        {"down", tv::VK_DOWN, 0, 1, 1},
        {"page down", tv::VK_NEXT, 0, 1 + page, 1},
        {"end", tv::VK_END, 0, 29, 1},
        {"up", tv::VK_UP, 0, 28, 1},
        {"home", tv::VK_HOME, 0, 0, 1},
        {"up at the top", tv::VK_UP, 0, 0, 1},
        {"right outside cell select", tv::VK_RIGHT, 0, 0, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        int16_t key = c.key, shift = c.shift;
        lv->ScrollWnd()->KeyDown.raise(key, shift);
        EXPECT_EQ(lv->CurrentRow(), c.row);
        EXPECT_EQ(lv->SelectionSet()->Count(), c.selected);
    }
    lv->SelectionMode = vtlMultiSelect;
    int16_t down = tv::VK_DOWN, shift = 1;
    lv->ScrollWnd()->KeyDown.raise(down, shift);
    lv->ScrollWnd()->KeyDown.raise(down, shift);
    EXPECT_EQ(lv->SelectionSet()->Count(), 3);
    // A host that takes the key away stops the grid's own handling.
    lv->KeyDown.connect([](int16_t& key, int16_t&) { key = 0; });
    int16_t home = tv::VK_HOME, none = 0;
    lv->ScrollWnd()->KeyDown.raise(home, none);
    EXPECT_EQ(lv->CurrentRow(), 2);
}

// Paging down passes no row unseen: each page begins at most one row after the last whole
// row of the page before, and the current row stands whole on the screen.
TEST_F(ListViewTest, PagingDownShowsEveryRow)
{
    fill(300);
    ScrollView* sv = lv->ScrollWnd();
    const int32_t whole = sv->ScrollAreaHeight() / sv->RowHeight();
    ASSERT_GT(whole, 2);
    int16_t key = tv::VK_NEXT, shift = 0;
    for (int i = 1; i <= 12; ++i) {
        SCOPED_TRACE(i);
        const int32_t lastWhole = sv->FirstVisibleItem() + whole - 1;
        sv->KeyDown.raise(key, shift);
        EXPECT_LE(sv->FirstVisibleItem(), lastWhole + 1);
        EXPECT_GE(lv->CurrentRow(), sv->FirstVisibleItem());
        EXPECT_LE(lv->CurrentRow(), sv->FirstVisibleItem() + whole - 1);
    }
    EXPECT_EQ(lv->CurrentRow(), 12 * (sv->VisibleRows() - 1));
}

TEST_F(ListViewTest, CellSelectMovesTheColumnWithTheKeys)
{
    fill(3);
    lv->SelectionMode = vtlCellSelect;
    lv->Columns()->Item(QStringLiteral("B"))->SetOrder(-1);   // display order B, A, C
    lv->SetBookmark(1);
    int16_t right = tv::VK_RIGHT, left = tv::VK_LEFT, none = 0;
    lv->ScrollWnd()->KeyDown.raise(right, none);
    EXPECT_EQ(lv->CurrentCol(), 1);   // the first column on screen
    lv->ScrollWnd()->KeyDown.raise(right, none);
    EXPECT_EQ(lv->CurrentCol(), 0);
    lv->ScrollWnd()->KeyDown.raise(right, none);
    lv->ScrollWnd()->KeyDown.raise(right, none);   // the last column stays
    EXPECT_EQ(lv->CurrentCol(), 2);
    lv->ScrollWnd()->KeyDown.raise(left, none);
    EXPECT_EQ(lv->CurrentCol(), 0);
    EXPECT_EQ(lv->CurrentRow(), 1);
}

TEST_F(ListViewTest, DraggingAHeaderMovesTheColumn)
{
    fill(2);
    int16_t shift = 0;
    bool cancel = false;
    lv->ScrollWnd()->MouseDown.raise(1, shift, 30, 5);
    lv->ScrollWnd()->MouseDrag.raise(DragStart, 0, 40, 5, cancel);
    EXPECT_TRUE(cancel);
    lv->ScrollWnd()->MouseUp.raise(1, shift, 150, 5);
    EXPECT_EQ(lv->Columns()->Item(0, true)->Key(), QStringLiteral("B"));
    EXPECT_EQ(lv->Columns()->Item(2, true)->Key(), QStringLiteral("A"));
    EXPECT_TRUE(log.isEmpty()) << "a moved column is no header click";
    // Without AllowReorder the press just ends.
    lv->AllowReorder = false;
    lv->ScrollWnd()->MouseDown.raise(1, shift, 30, 5);
    lv->ScrollWnd()->MouseDrag.raise(DragStart, 0, 40, 5, cancel);
    lv->ScrollWnd()->MouseUp.raise(1, shift, 150, 5);
    EXPECT_EQ(lv->Columns()->Item(0, true)->Key(), QStringLiteral("B"));
    EXPECT_TRUE(log.isEmpty());
}

TEST_F(ListViewTest, DraggedHeaderFollowsTheMouseAndDropsIntoAnotherGroup)
{
    lv->Columns()->Add(QStringLiteral("L"), 40, 0, vtlFixedLeft, 0, false, {}, QStringLiteral("HeadL"));
    fill(2);   // on screen: L 0-39 (fixed), A 40-99, B 100-159, C 160-219
    auto* sv = lv->ScrollWnd();
    int16_t shift = 0;
    bool cancel = false;
    sv->MouseDown.raise(1, shift, 190, 5);
    EXPECT_EQ(lv->DragColumn(), nullptr);
    sv->MouseDrag.raise(DragStart, 0, 195, 5, cancel);
    PopupClass* picture = lv->DragColumn();
    ASSERT_TRUE(picture);
    EXPECT_TRUE(picture->isShown());
    EXPECT_EQ(picture->size(), QSize(60, 16));
    EXPECT_EQ(picture->geometry().topLeft(), sv->mapToGlobal(QPoint(160, 0)));
    // It shows the header: its caption in dark ink on the header face.
    int ink = 0;
    const QImage img = picture->backStore();
    for (int y = 2; y < 14; ++y)
        for (int x = 3; x < 40; ++x) ink += QColor(img.pixel(x, y)).value() < 100;
    EXPECT_GT(ink, 10);
    sv->MouseMove.raise(1, shift, 20, 8);
    EXPECT_EQ(picture->geometry().topLeft(), sv->mapToGlobal(QPoint(20 - 30, 8 - 5)));
    // Dropped on the left-fixed column, C joins the left group in its place.
    sv->MouseUp.raise(1, shift, 20, 8);
    EXPECT_EQ(lv->DragColumn(), nullptr);
    EXPECT_FALSE(picture->isShown());
    const auto c = lv->Columns()->Item(QStringLiteral("C"));
    EXPECT_EQ(c->Fixed(), vtlFixedLeft);
    EXPECT_EQ(lv->Columns()->Item(0, true), c);
    EXPECT_EQ(lv->Columns()->Item(1, true)->Key(), QStringLiteral("L"));
    // Dropped right of the last column, A ends the scrolling part (now C, L | A, B).
    sv->MouseDown.raise(1, shift, 130, 5);
    sv->MouseDrag.raise(DragStart, 0, 135, 5, cancel);
    sv->MouseUp.raise(1, shift, 260, 5);
    EXPECT_EQ(lv->Columns()->Item(3, true)->Key(), QStringLiteral("A"));
    EXPECT_EQ(lv->Columns()->Item(QStringLiteral("A"))->Fixed(), vtlFixedNone);
    EXPECT_TRUE(log.isEmpty()) << qPrintable(log.join(QLatin1Char('|')));
}

TEST_F(ListViewTest, DraggingADividerSizesTheColumnWithinItsLimits)
{
    fill(3);
    auto a = lv->Columns()->Item(QStringLiteral("A"));
    a->MaxWidth = 100;
    int16_t shift = 0;
    lv->ScrollWnd()->MouseDown.raise(1, shift, 58, 5);
    bool cancel = false;
    lv->ScrollWnd()->MouseDrag.raise(DragStart, 0, 58, 5, cancel);
    EXPECT_EQ(lv->HeaderPressState(), 2);
    lv->ScrollWnd()->MouseDrag.raise(DragProgress, 0, 78, 5, cancel);
    EXPECT_EQ(a->Width(), 80);
    lv->ScrollWnd()->MouseDrag.raise(DragProgress, 0, 200, 5, cancel);
    EXPECT_EQ(a->Width(), 100);
    lv->ScrollWnd()->MouseDrag.raise(DragEnd, 0, 200, 5, cancel);
    EXPECT_EQ(lv->HeaderPressState(), 0);
    EXPECT_EQ(lv->Columns()->Item(QStringLiteral("B"))->ScreenLeft(), 100);
    EXPECT_TRUE(log.isEmpty()) << "a divider press is no header click";
}

// ---- layout and autosize -------------------------------------------------------------------

TEST_F(ListViewTest, LayoutPutsGroupsOnTheMargins)
{
    lv->Columns()->Add(QStringLiteral("L"), 40, 0, vtlFixedLeft);
    lv->Columns()->Add(QStringLiteral("R"), 30, 0, vtlFixedRight);
    auto* sv = lv->ScrollWnd();
    EXPECT_EQ(sv->FixedLeftSize(), 40);
    EXPECT_EQ(sv->FixedRightSize(), 30);
    EXPECT_EQ(sv->FixedTopSize(), 16);
    EXPECT_EQ(sv->ContentsWidth(), 180);
    EXPECT_TRUE(sv->StretchMode());
    EXPECT_EQ(lv->Columns()->Item(QStringLiteral("R"))->ScreenLeft(), 270);
    lv->setScrollbarStyle(sbStyleBoth);
    lv->Columns()->Item(QStringLiteral("A"))->SetWidth(200);   // now the centre scrolls
    lv->setHorizontalOrigin(20);
    EXPECT_EQ(sv->HorizontalOrigin(), 20);
    EXPECT_EQ(lv->Columns()->Item(QStringLiteral("B"))->ScreenLeft(), 40 + 200 - 20);
}

TEST_F(ListViewTest, AutoSize)
{
    lv->setShowHeader(false);
    auto a = lv->Columns()->Item(QStringLiteral("A"));
    EXPECT_TRUE(lv->AutoSizeColumn(0, vtlUseContent));
    EXPECT_EQ(a->Width(), 34);   // no caption, no data
    EXPECT_FALSE(lv->AutoSizeColumn(7, vtlUseContent));
    fill(3);
    lv->setData(int32_t(0), 1, QStringLiteral("a much longer value than the others"));
    lv->AutoSizeColumn(0, vtlUseContent);
    EXPECT_GT(a->Width(), 150);
    a->MaxWidth = 120;
    lv->AutoSizeColumn(-1, vtlUseContent);
    EXPECT_EQ(a->Width(), 120);
    a->MaxWidth = 4096;
    lv->setSnapMode(true);
    lv->setData(int32_t(0), 1, QString(80, QLatin1Char('W')));
    lv->AutoSizeColumn(0, vtlUseContent);
    EXPECT_EQ(a->Width(), 270);   // 90 % of 300
}

} // namespace vantile

namespace vantile {

class SnapTest : public ListViewTest {
protected:
    void SetUp() override
    {
        ListViewTest::SetUp();
        lv->setScrollbarStyle(sbStyleBoth);
        for (const auto& c : lv->Columns()->Items()) c->SetWidth(130);
        fill(3);
        lv->setSnapMode(true);
    }
    bool track(int32_t bar, int32_t value, int32_t state)
    {
        QString tip;
        bool cancel = false;
        lv->ScrollWnd()->ScrollTrack.raise(bar, value, state, tip, cancel);
        return cancel;
    }
};

TEST_F(SnapTest, PositionsSnapToColumnEdges)
{
    struct Case {
        int32_t pos, direction, expect;
    };
    const Case cases[] = {{0, 1, 0}, {60, 1, 0}, {70, 1, 130}, {10, -1, 130}, {130, 1, 130}, {300, 1, 260}, {380, -1, 390}};
    for (const Case& c : cases) EXPECT_EQ(lv->SnapPosition(c.pos, c.direction), c.expect) << c.pos << " " << c.direction;
    // The view scrolls no further than the edge from which the rest fits: B's left edge.
    const int32_t room = lv->ScrollWnd()->ScrollAreaWidth();
    EXPECT_EQ(lv->ScrollWnd()->ContentsWidth() + lv->ScrollWnd()->BorderWidth() - room, 130);
    // A scroll that ends inside a column goes on to its edge in the direction of travel.
    int32_t value = 70;
    lv->ScrollWnd()->Scroll.raise(0, value, 70, false);
    EXPECT_EQ(value, 130);
}

TEST_F(SnapTest, ThumbTrackingFollowsScrollTrackAndSmoothTracking)
{
    lv->ScrollTrack = sbStyleNone;
    EXPECT_TRUE(track(1, 5, 2));
    EXPECT_TRUE(track(0, 100, 2));
    EXPECT_FALSE(track(1, 5, 3));   // releasing the thumb applies the position
    lv->ScrollTrack = sbStyleBoth;
    EXPECT_FALSE(track(1, 5, 2));
    // Snapping: the origin jumps from edge to edge while the thumb moves.
    EXPECT_TRUE(track(0, 100, 2));
    EXPECT_EQ(lv->HorizontalOrigin(), 130);
    lv->setHorizontalOrigin(0);
    lv->SmoothTracking = true;
    EXPECT_FALSE(track(0, 100, 2));
    EXPECT_TRUE(track(0, 100, 3));
    EXPECT_EQ(lv->HorizontalOrigin(), 130);

    lv->ScrollTips = true;
    lv->ScrollTip.connect([](int32_t bar, int32_t value, QString& text) { text = QStringLiteral("%1:%2").arg(bar).arg(value); });
    QString tip;
    bool cancel = false;
    lv->ScrollWnd()->ScrollTrack.raise(1, 7, 2, tip, cancel);
    EXPECT_EQ(tip, QStringLiteral("1:7"));
}

} // namespace vantile
