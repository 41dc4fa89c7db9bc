// Scroll view painting speed: a full repaint and a one-row scroll of a 1000 x 800 surface with
// 50 visible rows of 8 text cells, against the same cells drawn straight with QPainter.

#include "controls/scrollview/scrollview.h"
#include "platform/gui/dc.h"
#include "platform/gui/textedge.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QPainter>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

constexpr int kWidth = 1000, kHeight = 800, kRowHeight = 16, kCells = 8, kRows = 100000;

QString cellText(int row, int col) { return QStringLiteral("Row %1 cell %2").arg(row).arg(col); }

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

double timeIt(int runs, const std::function<void()>& f)
{
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer t;
        t.start();
        f();
        times.push_back(double(t.nsecsElapsed()) / 1e9);
    }
    return median(times);
}

} // namespace

int main(int argc, char** argv)
{
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int runs = 41;

    vantile::ScrollView sv;
    sv.ReadProperties(tv::PropertyBag());
    sv.setBorderStyle(vantile::bsNone);
    sv.resize(kWidth, kHeight);
    // A hidden widget gets its size only when shown: until then the surface and its back
    // store keep their first size and most of the drawing would fall outside.
    sv.show();
    QApplication::processEvents();
    sv.setItemCount(kRows);
    sv.SetHorizontalExt(kWidth);
    if (sv.ScaleWidth() != kWidth || sv.ScaleHeight() != kHeight || sv.VisibleRows() != kHeight / kRowHeight) {
        std::fprintf(stderr, "surface is %d x %d with %d rows, not %d x %d\n", sv.ScaleWidth(), sv.ScaleHeight(),
                     sv.VisibleRows(), kWidth, kHeight);
        return 1;
    }
    const int cellWidth = kWidth / kCells;
    const tv::HandleId cellBrush = tv::GetSysColorBrush(tv::COLOR_WINDOW);
    sv.DrawRow.connect([&](int32_t index, int16_t, int32_t, int32_t y1, int32_t, int32_t y2, tv::HandleId dc) {
        for (int c = 0; c < kCells; ++c) {
            tv::Rect r{c * cellWidth, y1, (c + 1) * cellWidth, y2 + 1};
            tv::FillRect(dc, r, cellBrush);
            tv::DrawText(dc, cellText(index, c), r, tv::DT_SINGLELINE | tv::DT_VCENTER | tv::DT_NOPREFIX);
        }
    });
    sv.RedrawItems();   // warm up fonts and caches

    const double full = timeIt(runs, [&] { sv.RedrawItems(); });
    int first = 0;
    const double scroll = timeIt(runs, [&] { sv.setFirstVisibleItem(++first); });

    QImage image(kWidth, kHeight, QImage::Format_RGB32);
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(11);
    const QColor back = tv::ToQColor(tv::GetSysColor(tv::COLOR_WINDOW));
    int refFirst = 0;
    auto reference = [&] {
        QPainter p(&image);
        p.setFont(font);
        p.setPen(Qt::black);
        for (int row = 0; row < kHeight / kRowHeight; ++row)
            for (int c = 0; c < kCells; ++c) {
                const QRect r(c * cellWidth, row * kRowHeight, cellWidth, kRowHeight);
                p.fillRect(r, back);
                p.drawText(r, Qt::AlignLeft | Qt::AlignVCenter, cellText(refFirst + row, c));
            }
        ++refFirst;
    };
    reference();
    const double ref = timeIt(runs, reference);

    std::printf("figure scrollview_full_repaint %.6f\n", full);
    std::printf("figure scrollview_one_row_scroll %.6f\n", scroll);
    std::printf("figure scrollview_reference_qpainter %.6f\n", ref);
    std::printf("ratio scrollview_full_repaint %.3f\n", full / ref);
    std::printf("ratio scrollview_one_row_scroll %.3f\n", scroll / ref);
    return 0;
}
