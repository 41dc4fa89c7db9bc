#include "catalogue/reports/vtlsimplecontainer.h"
#include "catalogue/reports/vtlsplit.h"
#include "platform/component/propertybag.h"

#include <QTest>
#include <gtest/gtest.h>

#include <memory>

using namespace tv;

namespace {

// A splitter of 200 x 100 pixels (3000 x 1500 twips) holding the panes "A" (added first) and "B".
struct SplitFixture : ::testing::Test {
    std::unique_ptr<VTLSplit> split = std::make_unique<VTLSplit>();
    QWidget* a = nullptr;
    QWidget* b = nullptr;
    int changes = 0;
    int resizes = 0;

    void SetUp() override
    {
        a = new QWidget(split.get());
        a->setObjectName(QStringLiteral("A"));
        b = new QWidget(split.get());
        b->setObjectName(QStringLiteral("B"));
        split->SplitChange.connect([this] { ++changes; });
        split->SplitResize.connect([this] { ++resizes; });
        split->resize(200, 100);
        split->show();
    }
};

} // namespace

TEST_F(SplitFixture, NewSplitterCentresTheBarOnceItHasAnArea)
{
    // (3000 - 80) / 2 = 1460 twips = 97 pixels; two panes and no Arrange: the pane added
    // second is the first (left) pane.
    EXPECT_DOUBLE_EQ(split->SplitPos(), 1460);
    EXPECT_EQ(split->Split()->geometry(), QRect(97, 0, 5, 100));
    EXPECT_EQ(b->geometry(), QRect(0, 0, 97, 100));
    EXPECT_EQ(a->geometry(), QRect(103, 0, 97, 100));

    split->Arrange(a, b);
    EXPECT_EQ(a->geometry(), QRect(0, 0, 97, 100));
    EXPECT_EQ(b->geometry(), QRect(103, 0, 97, 100));
}

TEST_F(SplitFixture, SplitPosIsClampedIntoTheMargins)
{
    split->setMarginA(300);
    split->setMarginB(600);
    struct Case { double set; double expected; };
    // Upper limit: 3000 - 600 - 80.
    for (const Case& c : {Case{100, 300}, Case{5000, 2320}, Case{1000, 1000}}) {
        SCOPED_TRACE(c.set);
        split->setSplitPos(Variant(c.set));
        EXPECT_DOUBLE_EQ(split->SplitPos(), c.expected);
    }
    split->setSplitPos(Variant::null());
    EXPECT_DOUBLE_EQ(split->SplitPos(), 1460);
}

TEST_F(SplitFixture, ShrinkingPullsTheBarInGrowingLeavesIt)
{
    split->setSplitPos(Variant(2400.0));
    split->resize(100, 100); // 1500 twips: at most 1420
    EXPECT_DOUBLE_EQ(split->SplitPos(), 1420);
    split->resize(300, 100);
    EXPECT_DOUBLE_EQ(split->SplitPos(), 1420);
    EXPECT_GT(resizes, 0);
}

TEST_F(SplitFixture, ChangingTheStyleRecentresAndSwitchesTheCursor)
{
    split->setSplitPos(Variant(300.0));
    split->setSplitStyle(1);
    EXPECT_DOUBLE_EQ(split->SplitPos(), (1500 - 80) / 2.0);
    EXPECT_EQ(split->Split()->cursor().shape(), Qt::SplitVCursor);
    split->Arrange(a, b);
    EXPECT_EQ(a->geometry(), QRect(0, 0, 200, 47));
    EXPECT_EQ(b->geometry(), QRect(0, 53, 200, 47));
    split->setSplitStyle(0);
    EXPECT_EQ(split->Split()->cursor().shape(), Qt::SplitHCursor);
}

TEST_F(SplitFixture, AHiddenPaneLetsTheOtherFillTheControl)
{
    split->Arrange(a, b);
    b->hide();
    split->resize(220, 100);
    EXPECT_EQ(a->geometry(), QRect(0, 0, 220, 100));
    b->show();
    split->resize(200, 100);
    EXPECT_EQ(a->geometry(), QRect(0, 0, 97, 100));
    EXPECT_EQ(b->geometry(), QRect(103, 0, 97, 100));
}

TEST_F(SplitFixture, DraggingShowsAnOutlineAndDropsTheBarOnRelease)
{
    split->Arrange(a, b);
    QWidget* bar = split->Split();
    QTest::mousePress(bar, Qt::LeftButton, Qt::NoModifier, QPoint(2, 50));
    QTest::mouseMove(bar, QPoint(22, 50));
    QMouseEvent move(QEvent::MouseMove, QPointF(22, 50), bar->mapToGlobal(QPointF(22, 50)), Qt::NoButton,
                     Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(bar, &move);
    ASSERT_NE(split->DragOutline(), nullptr);
    EXPECT_EQ(split->DragOutline()->geometry().x(), 117);
    EXPECT_DOUBLE_EQ(split->SplitPos(), 1460); // the panes wait for the drop
    EXPECT_EQ(changes, 0);

    QTest::mouseRelease(bar, Qt::LeftButton, Qt::NoModifier, QPoint(22, 50));
    EXPECT_EQ(split->DragOutline(), nullptr);
    EXPECT_DOUBLE_EQ(split->SplitPos(), 1760);
    EXPECT_EQ(a->geometry(), QRect(0, 0, 117, 100));
    EXPECT_EQ(changes, 1);

    // A drag past the far edge stops at the limit.
    split->BarPressed(QPoint(2, 50));
    split->BarMoved(QPoint(500, 50), true);
    split->BarReleased();
    EXPECT_DOUBLE_EQ(split->SplitPos(), 3000 - 80);

    // A click without a move drops the bar where it was and still reports the change.
    split->BarPressed(QPoint(2, 50));
    split->BarReleased();
    EXPECT_DOUBLE_EQ(split->SplitPos(), 3000 - 80);
    EXPECT_EQ(changes, 3);

    PropertyBag bag;
    split->WriteProperties(bag);
    EXPECT_DOUBLE_EQ(bag.ReadProperty(QStringLiteral("SplitPos")).toDouble(), 1460); // a drag is not stored
}

TEST_F(SplitFixture, MarginsNeverGoBelowZero)
{
    split->setMarginA(-5);
    EXPECT_EQ(split->MarginA(), 0);
    // A control narrower than the other margin and the bar: the margin stays 0, not negative.
    split->setMarginB(600);
    split->resize(40, 100); // 600 twips
    split->setMarginA(200);
    EXPECT_EQ(split->MarginA(), 0);
    PropertyBag bag;
    bag.WriteProperty(QStringLiteral("MarginB"), Variant(-30.0));
    split->ReadProperties(bag);
    EXPECT_EQ(split->MarginB(), 0);
}

TEST(VTLSplit, StoredValuesOfTheMainWindowReadBackUnchanged)
{
    PropertyBag stored;
    stored.WriteProperty(QStringLiteral("SplitStyle"), Variant(int32_t(1)));
    stored.WriteProperty(QStringLiteral("SplitSize"), Variant(int16_t(50)));
    stored.WriteProperty(QStringLiteral("MarginA"), Variant::fromSingle(600));
    stored.WriteProperty(QStringLiteral("MarginB"), Variant::fromSingle(1000));
    stored.WriteProperty(QStringLiteral("SplitPos"), Variant::fromSingle(957.5f));
    stored.WriteProperty(QStringLiteral("BorderStyle"), Variant(int16_t(1)));

    VTLSplit split;
    split.resize(300, 302); // inner area 298 x 300 pixels
    split.show();
    split.ReadProperties(stored);
    EXPECT_DOUBLE_EQ(split.SplitPos(), 958);
    EXPECT_EQ(split.Split()->geometry(), QRect(1, 1 + 64, 298, 3));

    PropertyBag written;
    split.WriteProperties(written);
    QStringList writtenKeys = written.keys(), storedKeys = stored.keys();
    writtenKeys.sort();
    storedKeys.sort();
    EXPECT_EQ(writtenKeys, storedKeys);
    for (const QString& key : stored.keys()) {
        SCOPED_TRACE(key.toStdString());
        EXPECT_TRUE(SameValue(written.ReadProperty(key), stored.ReadProperty(key)));
    }

    VTLSplit fresh;
    PropertyBag empty;
    fresh.WriteProperties(empty);
    EXPECT_EQ(empty.count(), 0);
}

TEST(VTLSimpleContainer, EveryChildFillsTheArea)
{
    VTLSimpleContainer container;
    container.show();
    container.resize(50, 40); // no children: only repaints
    auto* first = new QWidget(&container);
    auto* second = new QWidget(&container);
    container.resize(120, 80);
    EXPECT_EQ(first->geometry(), QRect(0, 0, 120, 80));
    EXPECT_EQ(second->geometry(), QRect(0, 0, 120, 80));

    PropertyBag bag;
    container.setBackColor(0x00FF00);
    container.WriteProperties(bag);
    EXPECT_EQ(bag.keys(), QStringList{QStringLiteral("BackColor")});
    VTLSimpleContainer copy;
    copy.ReadProperties(bag);
    EXPECT_EQ(copy.BackColor(), 0x00FF00u);
    EXPECT_EQ(copy.palette().color(QPalette::Window), QColor(0, 255, 0));
}
