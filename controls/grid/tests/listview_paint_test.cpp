#include "listviewfixture.h"

#include "controls/grid/column.h"
#include "controls/scrollview/popupwnd.h"
#include "platform/gui/dc.h"

namespace vantile {

namespace {
// Pixels of a rectangle (right and bottom exclusive) whose colour is `c`.
int count(const QImage& img, const QRect& r, const QColor& c)
{
    int n = 0;
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x)
            if (img.pixelColor(x, y).rgb() == c.rgb()) ++n;
    return n;
}
int dark(const QImage& img, const QRect& r)
{
    int n = 0;
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x)
            if (QColor(img.pixel(x, y)).value() < 100) ++n;
    return n;
}
QColor sys(int index) { return tv::ToQColor(tv::GetSysColor(index)); }
} // namespace

TEST_F(ListViewTest, HeaderShowsItsCaptionsOnRaisedCells)
{
    fill(3);
    const QImage img = screen();
    EXPECT_GT(count(img, QRect(0, 0, 180, 16), sys(tv::COLOR_BTNFACE)), 180 * 16 / 3);
    EXPECT_GT(dark(img, QRect(4, 2, 50, 12)), 10);     // "HeadA"
    EXPECT_EQ(dark(img, QRect(200, 2, 80, 12)), 0);    // no column there
}

TEST_F(ListViewTest, RepaintingRowsLeavesTheHeaderAlone)
{
    fill(3);
    auto* sv = lv->ScrollWnd();
    auto faces = [&] {
        int n = 0;
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 180; ++x) n += tv::GetPixel(sv->hdc(), x, y) == tv::GetSysColor(tv::COLOR_BTNFACE);
        return n;
    };
    sv->RedrawItems();
    const int before = faces();
    EXPECT_GT(before, 180 * 16 / 3);
    sv->Invalidate(0, 40, 300, 56);
    sv->RedrawItems();
    EXPECT_EQ(faces(), before);
}

TEST_F(ListViewTest, SelectedRowInTheHighlightColour)
{
    fill(3);
    lv->IgnoreFocus = true;
    lv->setHighlightColor(0x00FF00);   // green, an RGB value
    lv->SetBookmark(1);
    const QImage img = screen();
    const QRect row1(0, 32, 180, 16), row0(0, 16, 180, 16);
    EXPECT_GT(count(img, row1, Qt::green), 180 * 16 / 2);
    EXPECT_EQ(count(img, row0, Qt::green), 0);
    // Without the focus and IgnoreFocus, the selection shows in the grey-text colour.
    lv->IgnoreFocus = false;
    lv->ScrollWnd()->clearFocus();
    ASSERT_FALSE(lv->ScrollWnd()->HasFocus());
    const QImage grey = screen();
    EXPECT_EQ(count(grey, row1, Qt::green), 0);
    EXPECT_GT(count(grey, row1, sys(tv::COLOR_GRAYTEXT)), 180 * 16 / 2);
}

TEST_F(ListViewTest, DropHighlightRowInRedText)
{
    fill(3);
    lv->setDropHighlight(2);
    EXPECT_EQ(lv->ScrollWnd()->ItemTag(2) & kTagDrop, kTagDrop);
    const QImage img = screen();
    auto reddish = [&](const QRect& r) {
        int n = 0;
        for (int y = r.top(); y <= r.bottom(); ++y)
            for (int x = r.left(); x <= r.right(); ++x) {
                const QColor c = img.pixelColor(x, y);
                if (c.red() > 150 && c.green() < 100 && c.blue() < 100) ++n;
            }
        return n;
    };
    EXPECT_GT(reddish(QRect(0, 48, 180, 16)), 10);
    EXPECT_EQ(reddish(QRect(0, 32, 180, 16)), 0);
    lv->setDropHighlight(-1);   // unflagged, but kept as the stored drop row
    EXPECT_EQ(lv->ScrollWnd()->ItemTag(2) & kTagDrop, 0);
    EXPECT_EQ(lv->DropHighlight(), 2);
}

TEST_F(ListViewTest, EmptyRowsCarryTheGridLines)
{
    fill(2);
    lv->setBorderAppearance(vtl2DBlackLine);
    lv->setBorderType(vtlBdrRect);
    const QColor frame = sys(tv::COLOR_WINDOWFRAME);
    // Below the last row (y 48 on) the column lines only show with EmptyRows.
    EXPECT_EQ(count(screen(), QRect(59, 60, 1, 40), frame), 0);
    lv->EmptyRows = true;
    EXPECT_EQ(count(screen(), QRect(59, 60, 1, 40), frame), 40);
}

TEST_F(ListViewTest, HostEventsShapeTheCell)
{
    fill(2);
    lv->HideFocusRect = true;   // the grid has the focus: no frame over the cells looked at
    auto b = lv->Columns()->Item(QStringLiteral("B"));
    b->FetchContents = true;
    b->FetchStyle = true;
    QStringList seen;
    lv->FetchContents.connect([&](int32_t r, int32_t c, tv::Variant& v, tv::Variant&) {
        seen << QStringLiteral("contents %1 %2 %3").arg(r).arg(c).arg(v.text());
        v = QString();
    });
    lv->FetchStyleEx.connect([&](int32_t r, int32_t c, int32_t, tv::Variant&, int32_t&, int32_t&, int32_t& back, int32_t&) {
        seen << QStringLiteral("style %1 %2").arg(r).arg(c);
        back = 0x0000FF;   // red
    });
    const QImage img = screen();
    EXPECT_TRUE(seen.contains(QStringLiteral("contents 1 1 r1c1")));
    EXPECT_TRUE(seen.contains(QStringLiteral("style 1 1")));
    EXPECT_GT(count(img, QRect(60, 16, 60, 32), Qt::red), 60 * 30);
    EXPECT_EQ(dark(img, QRect(60, 16, 60, 32)), 0);   // the host emptied the text
}

TEST_F(ListViewTest, CellTipsAskTheHost)
{
    fill(2);
    lv->setToolTipMode(vtlFetchTips);
    QStringList asked;
    lv->CellTip.connect([&](int32_t r, int32_t c, QString& text) {
        asked << QStringLiteral("%1 %2").arg(r).arg(c);
        text = QStringLiteral("tip");
    });
    lv->ScrollWnd()->MouseHoverEx.raise(70, 20);
    lv->ScrollWnd()->MouseHoverEx.raise(70, 5);   // the header asks nothing
    EXPECT_EQ(asked, QStringList{QStringLiteral("0 1")});
}

TEST_F(ListViewTest, CellTipsShowOnlyTextThatDoesNotFit)
{
    fill(2);
    lv->setData(int32_t(1), 1, QStringLiteral("a text far too wide for its column"));
    lv->setToolTipMode(vtlCellTips);
    auto* sv = lv->ScrollWnd();
    sv->MouseHoverEx.raise(70, 20);   // "r0c1" fits
    EXPECT_FALSE(sv->toolTip() && sv->toolTip()->isVisible());
    sv->MouseHoverEx.raise(70, 36);
    ASSERT_TRUE(sv->toolTip());
    EXPECT_TRUE(sv->toolTip()->isVisible());
}

TEST_F(ListViewTest, DragImageOfACell)
{
    fill(2);
    const tv::PicturePtr pic = lv->CreateDragImage(0, 1);
    ASSERT_TRUE(pic);
    const QImage img = pic->image();
    EXPECT_EQ(img.size(), QSize(60, 16));
    EXPECT_GT(dark(img, img.rect()), 10);
    lv->Columns()->Item(QStringLiteral("A"))->OwnerDraw = true;
    EXPECT_FALSE(lv->CreateDragImage(0, 1));
}

} // namespace vantile

namespace vantile {

TEST_F(ListViewTest, FocusFrameDotsTheCurrentRow)
{
    fill(3);
    lv->SetBookmark(1);
    lv->ScrollWnd()->setFocus();
    QCoreApplication::processEvents();
    ASSERT_TRUE(lv->ScrollWnd()->HasFocus());
    const QImage img = screen();
    EXPECT_NE(img.pixel(20, 32), img.pixel(21, 32));   // the top line of row 1
    EXPECT_EQ(img.pixel(20, 16), img.pixel(21, 16));   // row 0 has none
}

TEST_F(ListViewTest, DirectModePaintsTheSameRows)
{
    fill(3);
    lv->SetBookmark(0);
    const QImage buffered = screen();
    lv->SetOptions(1);
    const QImage direct = screen();
    EXPECT_EQ(direct.copy(0, 16, 300, 48), buffered.copy(0, 16, 300, 48));
}

TEST_F(ListViewTest, SolidMarqueeEndsAtTheOnlyShowingColumn)
{
    fill(2);
    lv->Columns()->Item(QStringLiteral("B"))->SetHidden(vtlHiddenCurrently);
    lv->Columns()->Item(QStringLiteral("C"))->SetHidden(vtlHiddenCurrently);
    lv->MarqueeStyle = vtlMarqueeSolid;
    lv->IgnoreFocus = true;
    lv->HideFocusRect = true;
    lv->setHighlightColor(0x00FF00);
    lv->SetBookmark(1);
    const QImage img = screen();
    EXPECT_EQ(QColor(img.pixel(0, 40)), QColor(Qt::green));    // left side
    EXPECT_EQ(QColor(img.pixel(59, 40)), QColor(Qt::green));   // right side
    EXPECT_EQ(QColor(img.pixel(30, 32)), QColor(Qt::green));   // top
}

} // namespace vantile

namespace vantile {

TEST_F(ListViewTest, MergedColumnShowsARunOnceInItsFirstRowOnScreen)
{
    lv->setScrollbarStyle(sbStyleBoth);
    fill(40);
    for (int32_t r = 0; r < 40; ++r) lv->setData(int32_t(0), r, r < 6 ? QStringLiteral("x") : QStringLiteral("y"));
    lv->Columns()->Item(QStringLiteral("A"))->Merged = true;
    lv->Columns()->Item(QStringLiteral("A"))->Style()->SetVerticalAlignment(vtlTop);
    auto* sv = lv->ScrollWnd();
    auto inkInRow = [&](int32_t slot) {
        int n = 0;
        for (int y = 16 + slot * 16; y < 32 + slot * 16; ++y)
            for (int x = 4; x < 56; ++x) n += QColor(tv::GetPixel(sv->hdc(), x, y)).value() < 100;
        return n;
    };
    sv->RedrawItems();
    EXPECT_GT(inkInRow(0), 0);
    EXPECT_EQ(inkInRow(1), 0);
    EXPECT_GT(inkInRow(6), 0);   // "y" starts its own run
    lv->setFirstVisibleRow(2);
    EXPECT_EQ(sv->FirstVisibleItem(), 2);
    EXPECT_GT(inkInRow(0), 0);   // row 2 is now the run's first row on screen
    EXPECT_EQ(inkInRow(1), 0);
}

} // namespace vantile
