// A demo of Vantile (not part of Tovarin). The first tab is the scroll view alone: 100,000
// numbered rows painted in DrawRow, a fixed header and row-number column, both bars, the
// wheel, panning while a drag passes the top or bottom edge, and tool tips on hover. The
// second is the library's grid over 100,000 virtual rows (see gridpage.cpp). The third shows
// each drawing primitive of the drawing layer.
//
//   vantile_demo [--screenshot file.png]    saves every tab once it is painted, then quits:
//                                           file.png, file-grid.png, file-drawing.png

#include "gridpage.h"

#include "controls/grid/listview.h"
#include "controls/scrollview/scrollview.h"
#include "platform/gui/dc.h"
#include "platform/gui/surface.h"
#include "platform/gui/textedge.h"

#include <QApplication>
#include <QLabel>
#include <QTabWidget>
#include <QTimer>
#include <QVBoxLayout>

using namespace vantile;

namespace {

constexpr int kRows = 100000;
constexpr int kHeader = 20, kNumbers = 70, kCellWidth = 110, kCells = 12;

// Paints one of each primitive: edges, text with its flags, the focus frame, inversion.
class PrimitivesView : public tv::OwnerDrawSurface {
protected:
    void paintInvalid(const QRegion&) override
    {
        using namespace tv;
        const HandleId dc = hdc();
        FillRect(dc, Rect::fromQRect(rect()), COLOR_BTNFACE + 1);
        struct { int edge; const char* name; } edges[] = {{EDGE_RAISED, "raised"}, {EDGE_SUNKEN, "sunken"},
                                                           {EDGE_ETCHED, "etched"}, {EDGE_BUMP, "bump"},
                                                           {BDR_RAISEDOUTER, "flat"}, {BDR_RAISEDOUTER, "mono"}};
        SetBkMode(dc, TRANSPARENT);
        int x = 10;
        for (int i = 0; i < 6; ++i) {
            Rect r{x, 10, x + 90, 50};
            int flags = BF_RECT | BF_MIDDLE | (i == 4 ? BF_FLAT : 0) | (i == 5 ? BF_MONO : 0);
            DrawEdge(dc, r, edges[i].edge, flags);
            Rect t = r;
            DrawText(dc, QString::fromLatin1(edges[i].name), t, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
            x += 100;
        }
        const char* align[] = {"left", "centre", "right"};
        for (int i = 0; i < 3; ++i) {
            Rect r{10, 60 + i * 24, 300, 80 + i * 24};
            FillRect(dc, r, COLOR_WINDOW + 1);
            DrawText(dc, QStringLiteral("Aligned %1").arg(QLatin1String(align[i])), r, uint32_t(i) | DT_SINGLELINE | DT_VCENTER);
        }
        Rect el{320, 60, 470, 80};
        FillRect(dc, el, COLOR_WINDOW + 1);
        DrawText(dc, QStringLiteral("An end ellipsis cuts this long text"), el, DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS);
        Rect wb{320, 90, 470, 150};
        FillRect(dc, wb, COLOR_WINDOW + 1);
        DrawText(dc, QStringLiteral("Word break keeps whole words and ignores vertical centring"), wb,
                 DT_WORDBREAK | DT_VCENTER);
        FrameRect(dc, {10, 140, 300, 160}, FocusPatternBrush());
        Rect inv{490, 60, 610, 150};
        FillRect(dc, inv, COLOR_HIGHLIGHT + 1);
        SetTextColor(dc, GetSysColor(COLOR_HIGHLIGHTTEXT));
        DrawText(dc, QStringLiteral("Inverted"), inv, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
        InvertRect(dc, {490, 105, 610, 150});
        SetTextColor(dc, 0);
    }
};

void setUpRows(ScrollView* sv)
{
    sv->ReadProperties(tv::PropertyBag());
    sv->setScrollbarStyle(sbStyleBoth);
    sv->setHoverTracking(true);
    sv->setFixedTopSize(kHeader);
    sv->setFixedLeftSize(kNumbers);
    sv->SetHorizontalExt(kCells * kCellWidth);
    sv->setItemCount(kRows);

    // The header band and the scrolled cells are painted by the host; the scroll view clips
    // the rows to its scroll area, so the header is drawn before the clip is set.
    sv->BeforeDraw.connect([sv](int32_t, int32_t, int16_t&, tv::HandleId dc) {
        using namespace tv;
        const int origin = sv->HorizontalOrigin();
        SaveDC(dc);
        IntersectClipRect(dc, 0, 0, sv->ScaleWidth(), kHeader);
        FillRect(dc, {0, 0, sv->ScaleWidth(), kHeader}, COLOR_BTNFACE + 1);
        Rect corner{0, 0, kNumbers, kHeader};
        DrawEdge(dc, corner, EDGE_RAISED, BF_RECT | BF_SOFT | BF_MIDDLE);
        IntersectClipRect(dc, kNumbers, 0, sv->ScaleWidth(), kHeader);
        for (int c = 0; c < kCells; ++c) {
            const int x = kNumbers + c * kCellWidth - origin;
            if (x + kCellWidth < kNumbers) continue;
            Rect r{x, 0, x + kCellWidth, kHeader};
            DrawEdge(dc, r, EDGE_RAISED, BF_RECT | BF_SOFT | BF_MIDDLE);
            Rect t{x + 4, 0, x + kCellWidth, kHeader};
            SetBkMode(dc, TRANSPARENT);
            DrawText(dc, QStringLiteral("Column %1").arg(c + 1), t, DT_SINGLELINE | DT_VCENTER);
        }
        RestoreDC(dc, -1);
    });
    sv->DrawRow.connect([sv](int32_t i, int16_t, int32_t, int32_t y1, int32_t x2, int32_t y2, tv::HandleId dc) {
        using namespace tv;
        const int origin = sv->HorizontalOrigin();
        Rect num{0, y1, kNumbers, y2 + 1};
        DrawEdge(dc, num, EDGE_RAISED, BF_RECT | BF_SOFT | BF_MIDDLE);
        Rect numText{0, y1, kNumbers - 6, y2 + 1};
        SetBkMode(dc, TRANSPARENT);
        DrawText(dc, QString::number(i + 1), numText, DT_RIGHT | DT_SINGLELINE | DT_VCENTER);
        SaveDC(dc);
        IntersectClipRect(dc, kNumbers, y1, x2 + 1, y2 + 1);
        FillRect(dc, {kNumbers, y1, x2 + 1, y2 + 1}, i % 2 ? COLOR_WINDOW + 1 : COLOR_BTNFACE + 1);
        for (int c = 0; c < kCells; ++c) {
            const int x = kNumbers + c * kCellWidth - origin;
            if (x + kCellWidth < kNumbers || x > x2) continue;
            Rect r{x, y1, x + kCellWidth, y2 + 1};
            DrawEdge(dc, r, BDR_RAISEDOUTER, BF_RIGHT | BF_BOTTOM | BF_FLAT);
            Rect t{x + 4, y1, x + kCellWidth - 4, y2};
            DrawText(dc, QStringLiteral("Row %1, cell %2").arg(i + 1).arg(c + 1), t,
                     DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS | DT_NOPREFIX);
        }
        RestoreDC(dc, -1);
    });
    // A drag past the top or the bottom edge pans, faster the longer it lasts.
    sv->MouseDrag.connect([sv](int32_t state, int16_t, int32_t, int32_t y, bool&) {
        if (state == DragEnd) {
            sv->Pan(PanStop);
        } else if (y < kHeader) {
            sv->Pan(PanRowsBack, 30, 8);
        } else if (y > sv->ScaleHeight()) {
            sv->Pan(PanRowsForward, 30, 8);
        } else {
            sv->Pan(PanStop);
        }
    });
    sv->MouseHoverEx.connect([sv](int32_t x, int32_t y) {
        const int row = sv->HitTest(y);
        if (y < kHeader || row < 0) return;
        int32_t l, t, r, b;
        sv->GetItemRect(row, l, t, r, b);
        sv->ShowToolTip(x + 12, y + 16, 160, 20, 0, t, sv->ScaleWidth(), b - t + 1,
                        QStringLiteral("Row %1 of %2").arg(row + 1).arg(kRows), 1);
    });
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QString screenshot;
    for (int i = 1; i + 1 < argc; ++i)
        if (QString::fromLocal8Bit(argv[i]) == QLatin1String("--screenshot")) screenshot = QString::fromLocal8Bit(argv[i + 1]);

    QTabWidget tabs;
    tabs.setWindowTitle(QStringLiteral("Vantile demo"));
    auto* page = new QWidget;
    auto* layout = new QVBoxLayout(page);
    auto* sv = new ScrollView;
    layout->addWidget(new QLabel(QStringLiteral("Wheel or bars to scroll; drag past an edge to pan; rest the mouse for a tip "
                                                "(click first: tips follow the focus).")));
    layout->addWidget(sv, 1);
    setUpRows(sv);
    tabs.addTab(page, QStringLiteral("Rows"));
    ListView* grid = nullptr;
    tabs.addTab(makeGridPage(&grid), QStringLiteral("Grid"));
    tabs.addTab(new PrimitivesView, QStringLiteral("Drawing"));
    tabs.resize(760, 520);
    tabs.show();

    if (!screenshot.isEmpty()) {
        QTimer::singleShot(300, [&] {
            sv->setFirstVisibleItem(41);
            sv->setHorizontalOrigin(60);
            QApplication::processEvents();
            tabs.grab().save(screenshot);
            auto saveTab = [&](int index, const char* suffix) {
                tabs.setCurrentIndex(index);
                QApplication::processEvents();
                if (index == 1) {
                    prepareGridScreenshot(grid);
                    QApplication::processEvents();
                }
                QString name = screenshot;
                name.replace(QLatin1String(".png"), QLatin1String(suffix));
                tabs.grab().save(name);
            };
            saveTab(1, "-grid.png");
            saveTab(2, "-drawing.png");
            app.quit();
        });
    }
    return app.exec();
}
