// Scroll view: the paint loop, the update region, erasing, row rectangles and hit tests,
// pixel scrolling and the snapshot.

#include "svfixture.h"

#include "platform/gui/dc.h"

namespace vantile {
namespace {

class PaintTest : public ScrollViewTest {
protected:
    void SetUp() override
    {
        ScrollViewTest::SetUp();
        setAreaHeight(64);   // rows of 16: 4 visible
        sv->setItemCount(10);
        sv->SetHorizontalExt(150);
        QCoreApplication::processEvents();
        log.clear();
    }
};

TEST_F(PaintTest, RowDrawingRaisesOneDrawRowPerVisibleRow)
{
    sv->setItemTag(1, 256 + 2);
    sv->RedrawItems();
    EXPECT_EQ(log, (QStringList{"BeforeDraw 0 3", "DrawRow 0 s0 0,0-199,15", "DrawRow 1 s258 0,16-199,31",
                                "DrawRow 2 s0 0,32-199,47", "DrawRow 3 s0 0,48-199,63", "EraseBackground",
                                "EraseBackgroundEx", "AfterDraw"}));
}

TEST_F(PaintTest, WholeRangeDrawingRaisesOneDrawAtTheOrigin)
{
    nextAction = 1;
    sv->setFixedTopSize(10);
    sv->RedrawItems();
    EXPECT_EQ(only("BeforeDraw|Draw"), (QStringList{"BeforeDraw 0 3", "Draw 0,0-149,73"}));
}

TEST_F(PaintTest, CancelledPaintKeepsTheUpdateRegion)
{
    nextAction = -1;
    sv->Invalidate(0, 0, 10, 10);
    sv->RedrawItems();
    EXPECT_EQ(log, QStringList{"BeforeDraw 0 3"});
    EXPECT_NE(sv->UpdateRgn(), 0);
    nextAction = 0;
    sv->RedrawItems();
    EXPECT_EQ(sv->UpdateRgn(), 0) << "a finished paint deletes it";
}

TEST_F(PaintTest, UpdateRegionPicksTheRowsAndTagMaskWorksWithoutOne)
{
    sv->Invalidate(0, 20, 200, 30);   // row 1 only
    sv->Validate(0, 0, 5, 5);
    sv->RedrawItems();
    EXPECT_EQ(only("DrawRow"), QStringList{"DrawRow 1 s0 0,16-199,31"});

    log.clear();
    sv->setItemTag(2, 256);
    sv->setItemTag(3, 4);
    sv->RedrawItems(-1, -1, 256);
    EXPECT_EQ(only("DrawRow"), QStringList{"DrawRow 2 s256 0,32-199,47"});
}

TEST_F(PaintTest, RedrawOfOneRowOnlyWhenVisibleAndRangesAreCut)
{
    sv->RedrawItems(5, 5);
    EXPECT_TRUE(log.isEmpty());
    sv->RedrawItems(2, 2);
    EXPECT_EQ(only("DrawRow"), QStringList{"DrawRow 2 s0 0,32-199,47"});
    log.clear();
    sv->RedrawItems(2, 8);
    EXPECT_EQ(only("BeforeDraw"), QStringList{"BeforeDraw 2 3"});
}

TEST_F(PaintTest, NoRowsPaintsOnlyTheBackground)
{
    sv->setItemCount(0);
    log.clear();
    sv->RedrawItems();
    EXPECT_EQ(only("DrawRow|Draw"), QStringList());
    EXPECT_TRUE(log.contains("EraseBackgroundEx"));
    const QImage img = client()->backStore();
    EXPECT_EQ(QColor(img.pixel(100, 30)), tv::OleToQColor(sv->BackColor()));
}

TEST_F(PaintTest, EraseStateBitsChooseTheAreas)
{
    sv->setItemCount(2);   // rows end at y 32; contents end at x 150
    sv->setBackColor(0x0000FF);
    struct Case {
        bool cancel;
        int state;
        bool right, below;
    } cases[] = {{false, -1, true, true}, {false, 1, true, false}, {false, 2, false, true}, {true, -1, false, false}};
    for (const auto& c : cases) {
        tv::FillRect(sv->hdc(), {0, 0, 200, 64}, tv::GetSysColorBrush(tv::COLOR_WINDOW));
        cancelErase = c.cancel;
        eraseState = c.state;
        log.clear();
        sv->RedrawItems();
        EXPECT_EQ(log.contains("EraseBackgroundEx"), !c.cancel);
        const QImage img = client()->backStore();
        EXPECT_EQ(img.pixel(170, 5) == qRgb(255, 0, 0), c.right) << c.state;
        EXPECT_EQ(img.pixel(50, 50) == qRgb(255, 0, 0), c.below) << c.state;
    }
}

TEST_F(PaintTest, RowRectanglesAndHitTest)
{
    sv->setFixedTopSize(4);
    sv->setFirstVisibleItem(2);
    int32_t l, t, r, b;
    sv->GetItemRect(3, l, t, r, b);
    EXPECT_EQ(QRect(QPoint(l, t), QPoint(r, b)), QRect(QPoint(0, 20), QPoint(149, 35)));
    sv->GetItemRectEx(3, 4, l, t, r, b, true);
    EXPECT_EQ(QList<int>({l, t, r, b}), QList<int>({0, 20, 150, 52}));
    struct Case {
        int y, row;
    } cases[] = {{4, 2}, {19, 2}, {20, 3}, {300, -1}};
    for (const auto& c : cases) EXPECT_EQ(sv->HitTest(c.y), c.row) << c.y;
}

TEST_F(PaintTest, OneRowScrollMovesPixelsAndPaintsOnlyTheUncoveredRow)
{
    sv->DrawRow.connect([&](int32_t i, int16_t, int32_t, int32_t y1, int32_t x2, int32_t y2, tv::HandleId dc) {
        tv::HandleId b = tv::CreateSolidBrush(tv::RGB(i * 20, 0, 0));
        tv::FillRect(dc, {0, y1, x2 + 1, y2 + 1}, b);
        tv::DeleteObject(b);
    });
    sv->setScrollbarStyle(sbStyleVert);
    sv->RedrawItems();
    log.clear();
    sv->setFirstVisibleItem(1);
    EXPECT_EQ(only("DrawRow"), QStringList{QStringLiteral("DrawRow 4 s0 0,48-%1,63").arg(sv->ScaleWidth() - 1)});
    const QImage img = client()->backStore();
    for (int row = 0; row < 4; ++row) EXPECT_EQ(img.pixel(5, row * 16 + 8), qRgb((row + 1) * 20, 0, 0)) << row;
}

TEST_F(PaintTest, ClearFillsTheClientEvenWithAShiftedOrigin)
{
    tv::SetViewportOrgEx(sv->hdc(), -30, 0);
    sv->Clear();
    tv::SetViewportOrgEx(sv->hdc(), 0, 0);
    const QImage img = client()->backStore();
    EXPECT_EQ(QColor(img.pixel(0, 0)), tv::OleToQColor(sv->BackColor()));
    EXPECT_EQ(QColor(img.pixel(199, 63)), tv::OleToQColor(sv->BackColor()));
}

TEST_F(PaintTest, PictureIsASnapshotOfTheVisibleRows)
{
    sv->DrawRow.connect([&](int32_t i, int16_t, int32_t, int32_t y1, int32_t x2, int32_t y2, tv::HandleId dc) {
        tv::FillRect(dc, {0, y1, x2 + 1, y2 + 1}, i % 2 ? tv::COLOR_HIGHLIGHT + 1 : tv::COLOR_WINDOWTEXT + 1);
    });
    const tv::PicturePtr pic = sv->Picture();
    ASSERT_TRUE(pic);
    EXPECT_EQ(QSize(pic->Width(), pic->Height()), QSize(sv->ScaleWidth(), sv->ScaleHeight()));
    EXPECT_EQ(QColor(pic->image().pixel(5, 20)), tv::ToQColor(tv::GetSysColor(tv::COLOR_HIGHLIGHT)));

    // Below the last row the snapshot gets the background, not the window.
    sv->setItemCount(1);
    sv->setBackColor(0x0000FF);
    tv::FillRect(sv->hdc(), {0, 0, 200, 64}, tv::COLOR_WINDOWTEXT + 1);
    const tv::PicturePtr one = sv->Picture();
    EXPECT_EQ(one->image().pixel(5, 40), qRgb(255, 0, 0));
    EXPECT_NE(client()->backStore().pixel(5, 40), qRgb(255, 0, 0));
}

TEST_F(PaintTest, ExposedAreaAfterAResizeIsPaintedThroughTheLoop)
{
    sv->resize(200, 96);
    QTRY_VERIFY(log.contains("DrawRow 5 s0 0,80-199,95"));
}

} // namespace
} // namespace vantile
