// What reaches the screen when only part of it is painted again: these tests paint the whole
// grid once, make one change and read the inner view's back store right away, with no full
// repaint in between (a full repaint would hide a row the change forgot to repaint).

#include "listviewfixture.h"

#include "controls/grid/column.h"
#include "platform/gui/dc.h"
#include "platform/gui/keys.h"

namespace vantile {

namespace {
constexpr tv::ColorRef kGreen = 0x00FF00;
}

class ListViewRepaintTest : public ListViewTest {
protected:
    void SetUp() override
    {
        ListViewTest::SetUp();
        fill(5);
        lv->IgnoreFocus = true;
        lv->setHighlightColor(kGreen);
    }
    // Paints every visible row as it stands now.
    void paintAll() { lv->ScrollWnd()->RedrawItems(); }
    // The back store's pixel near the right end of a column's cell (where no text lies).
    tv::ColorRef pixel(int32_t col, int32_t row) const
    {
        return tv::GetPixel(lv->ScrollWnd()->hdc(), col * 60 + 56, 16 + row * 16 + 8);
    }
    bool green(int32_t col, int32_t row) const { return pixel(col, row) == kGreen; }
};

TEST_F(ListViewRepaintTest, HostSelectionShowsAtOnce)
{
    lv->SelectionMode = vtlMultiSelect;
    paintAll();
    ASSERT_FALSE(green(0, 3));
    lv->SelectionSet()->Add(3);   // a row the host marks, say a search hit
    EXPECT_TRUE(green(0, 3));
    tv::VariantArray rows(0, 1);
    rows.at(0) = int32_t(1);
    rows.at(1) = int32_t(2);
    lv->setSelectedItems(tv::Variant(rows));
    EXPECT_TRUE(green(0, 1));
    EXPECT_TRUE(green(0, 2));
    EXPECT_FALSE(green(0, 3));
    lv->SelectionSet()->Clear();
    for (int32_t row = 0; row < 5; ++row) EXPECT_FALSE(green(0, row)) << row;
}

TEST_F(ListViewRepaintTest, CellSelectRepaintsBothCellsOfAColumnMove)
{
    lv->SelectionMode = vtlCellSelect;
    lv->SetBookmark(1, 0);
    paintAll();
    ASSERT_TRUE(green(0, 1));
    ASSERT_FALSE(green(1, 1));
    lv->SetBookmark(1, 1);
    EXPECT_FALSE(green(0, 1));
    EXPECT_TRUE(green(1, 1));
    int16_t right = tv::VK_RIGHT, none = 0;   // the keyboard's move takes the same road
    lv->ScrollWnd()->KeyDown.raise(right, none);
    EXPECT_FALSE(green(1, 1));
    EXPECT_TRUE(green(2, 1));
}

TEST_F(ListViewRepaintTest, TheFirstRowLosesItsFrameWhenARowBecomesCurrent)
{
    lv->IgnoreFocus = false;
    auto* sv = lv->ScrollWnd();
    auto dotted = [&](int32_t row) {
        const int32_t y = 16 + row * 16;
        return tv::GetPixel(sv->hdc(), 100, y) != tv::GetPixel(sv->hdc(), 101, y);
    };
    auto framed = [&] {
        QList<int32_t> rows;
        for (int32_t row = 0; row < 5; ++row)
            if (dotted(row)) rows << row;
        return rows;
    };
    sv->setFocus(Qt::TabFocusReason);
    ASSERT_TRUE(sv->HasFocus());
    paintAll();
    ASSERT_EQ(framed(), QList<int32_t>{0});   // no current row: the first one, where the keys start
    lv->SetBookmark(3);                       // the host finds row 3
    EXPECT_EQ(framed(), QList<int32_t>{3});

    fill(5);                                  // new rows, none current
    paintAll();
    ASSERT_EQ(framed(), QList<int32_t>{0});
    const QPoint row2 = sv->mapTo(&top, QPoint(100, 16 + 2 * 16 + 8));
    QTest::mouseClick(top.windowHandle(), Qt::LeftButton, {}, row2);
    QCoreApplication::processEvents();
    EXPECT_EQ(lv->CurrentRow(), 2);
    EXPECT_EQ(framed(), QList<int32_t>{2});
}

TEST_F(ListViewRepaintTest, TabIntoTheGridShowsTheFocusFrame)
{
    lv->IgnoreFocus = false;
    QWidget other(&top);   // the next control of the window
    other.setFocusPolicy(Qt::StrongFocus);
    other.setGeometry(320, 0, 40, 40);
    other.show();
    other.setFocus();
    QCoreApplication::processEvents();
    auto* sv = lv->ScrollWnd();
    // A dotted line alternates its pixels; a row without the frame has an even top line.
    auto dotted = [&](int32_t row) {
        const int32_t y = 16 + row * 16;
        return tv::GetPixel(sv->hdc(), 100, y) != tv::GetPixel(sv->hdc(), 101, y);
    };
    paintAll();
    ASSERT_FALSE(dotted(0));
    // No row is current yet: the frame marks the first row, where the keys start.
    sv->setFocus(Qt::TabFocusReason);
    ASSERT_TRUE(sv->HasFocus());
    EXPECT_TRUE(dotted(0));
    QWidget* client = QApplication::focusWidget();
    ASSERT_TRUE(client);
    QTest::keyClick(client, Qt::Key_Down);
    EXPECT_EQ(lv->CurrentRow(), 0);
    QTest::keyClick(client, Qt::Key_Down);
    EXPECT_TRUE(dotted(1));
    EXPECT_FALSE(dotted(0));
    EXPECT_EQ(pixel(0, 1), kGreen);   // the selection in the focused colour
    // Tab goes on to the next control, and the grid shows it has lost the focus.
    QTest::keyClick(client, Qt::Key_Tab);
    EXPECT_TRUE(other.hasFocus());
    QCoreApplication::processEvents();
    EXPECT_FALSE(dotted(1));
    EXPECT_NE(pixel(0, 1), kGreen);
    // A host that takes Tab for itself keeps the focus in the grid.
    lv->KeyDown.connect([](int16_t& key, int16_t&) {
        if (key == tv::VK_TAB) key = 0;
    });
    sv->setFocus(Qt::TabFocusReason);
    QTest::keyClick(client, Qt::Key_Tab);
    EXPECT_TRUE(sv->HasFocus());
}

} // namespace vantile
