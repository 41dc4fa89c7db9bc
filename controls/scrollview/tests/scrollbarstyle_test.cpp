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

} // namespace
} // namespace vantile
