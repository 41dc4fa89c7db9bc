// The scroll bars' banded style paints the pixels the application's style paints in one piece.

#include "controls/scrollview/scrollbarstyle.h"

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QScrollBar>
#include <QStyle>

#include <gtest/gtest.h>

namespace vantile {
namespace {

QImage render(QScrollBar& bar, QStyle* style)
{
    bar.setStyle(style);
    QImage image(bar.size(), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::magenta);
    bar.render(&image);
    return image;
}

TEST(ScrollBarStyle, TallAndShortBarsLookAsTheApplicationStylePaintsThem)
{
    struct Case {
        Qt::Orientation orientation;
        QSize size;
        int value;
        const char* what;
    };
    const Case cases[] = {
        {Qt::Vertical, QSize(16, 900), 0, "tall, thumb at the top"},
        {Qt::Vertical, QSize(16, 900), 937, "tall, thumb in the middle, in no band's first row"},
        {Qt::Vertical, QSize(16, 2 * kScrollBarBand + 1), 2000, "just over two bands, thumb at the end"},
        {Qt::Vertical, QSize(16, kScrollBarBand), 10, "one band"},
        {Qt::Horizontal, QSize(1200, 16), 500, "horizontal"},
        {Qt::Horizontal, QSize(1264, 14), 1999, "wide, thumb near the end"},
        {Qt::Horizontal, QSize(60, 14), 0, "short"},
    };
    for (const Case& c : cases) {
        QScrollBar bar(c.orientation);
        bar.setRange(0, 2000);
        bar.setPageStep(40);
        bar.setValue(c.value);
        bar.resize(c.size);
        const QImage plain = render(bar, QApplication::style());
        const QImage banded = render(bar, ScrollBarStyle());
        EXPECT_EQ(banded, plain) << c.what;
    }
}

// A list repaints its bars with all around them far more often than the bars change: a bar
// painted again as it was is drawn from that painting, and a changed one is painted anew.
TEST(ScrollBarStyle, ABarPaintedAgainUnchangedIsNotPaintedAnew)
{
    QScrollBar bar(Qt::Vertical);
    bar.setRange(0, 2000);
    bar.setPageStep(40);
    bar.resize(16, 700);
    bar.setValue(300);
    const QImage first = render(bar, QApplication::style());
    const QImage second = render(bar, ScrollBarStyle());
    const int painted = ScrollBarLooksPainted();
    EXPECT_EQ(render(bar, ScrollBarStyle()), first);
    EXPECT_EQ(ScrollBarLooksPainted(), painted) << "the same look was painted again";

    bar.setValue(1200);
    const QImage moved = render(bar, QApplication::style());
    EXPECT_NE(moved, first);
    EXPECT_EQ(render(bar, ScrollBarStyle()), moved) << "a moved thumb was drawn from an old painting";
    EXPECT_EQ(ScrollBarLooksPainted(), painted + 1);
    bar.setMaximum(90000);
    EXPECT_EQ(render(bar, ScrollBarStyle()), render(bar, QApplication::style())) << "another range";
    bar.setValue(300);
    bar.setMaximum(2000);
    EXPECT_EQ(render(bar, ScrollBarStyle()), first) << "back to the first look";
    EXPECT_EQ(second, first);
}

} // namespace
} // namespace vantile
