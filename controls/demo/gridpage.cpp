// The demo's grid tab. The grid asks for the rows it paints (virtual mode), so 100,000 rows
// cost only the few on screen; a header click sorts by that column and shows the sort arrow;
// the number column stays fixed at the left while the rest scrolls; rows are selected with
// Ctrl and Shift; headers can be dragged to another place and their dividers sized.

#include "gridpage.h"

#include "controls/grid/column.h"
#include "controls/grid/listview.h"
#include "platform/gui/imagelist.h"

#include <QLabel>
#include <QVBoxLayout>
#include <algorithm>
#include <array>
#include <memory>
#include <vector>

using namespace vantile;

namespace {

constexpr int32_t kRows = 100000;
enum DemoColumn : int32_t { kNumber, kName, kType, kSize, kAdded, kNotes, kColumnCount };

// A fixed pseudo-random word per row and column, so every row always shows the same values.
uint32_t mix(uint32_t x)
{
    x ^= x >> 16;
    x *= 0x7feb352dU;
    x ^= x >> 15;
    x *= 0x846ca68bU;
    x ^= x >> 16;
    return x;
}

QString nameOf(int32_t item)
{
    static const std::array<const char*, 10> first = {"Star", "Moon", "River", "Rescue", "Fractal",
                                                      "Dungeon", "Ball", "Blaster", "Jet", "Quest"};
    static const std::array<const char*, 10> second = {"Raiders", "Patrol", "Boy", "Master", "Runner",
                                                       "Hunter", "Kid", "Wars", "Zone", "Mission"};
    const uint32_t h = mix(uint32_t(item) * 2654435761U);
    QString name = QStringLiteral("%1 %2").arg(QLatin1String(first[h % 10]), QLatin1String(second[(h / 10) % 10]));
    if (h % 7 == 0) name += QStringLiteral(" II");
    return name;
}

tv::Variant valueOf(int32_t item, int32_t column)
{
    static const std::array<const char*, 6> types = {"ATR", "XEX", "CAS", "BIN", "COM", "XFD"};
    const uint32_t h = mix(uint32_t(item) + 0x9e3779b9U * uint32_t(column + 1));
    switch (column) {
    case kNumber: return int32_t(item + 1);
    case kName: return nameOf(item);
    case kType: return QString::fromLatin1(types[h % types.size()]);
    case kSize: return int32_t(h % 400000 + 1024);
    case kAdded: return QStringLiteral("%1-%2-%3").arg(1982 + int(h % 12)).arg(1 + int(h / 12 % 12), 2, 10, QLatin1Char('0'))
                     .arg(1 + int(h / 144 % 28), 2, 10, QLatin1Char('0'));
    default: return QStringLiteral("Side %1, %2 sectors, %3").arg(1 + int(h % 2)).arg(720 + int(h % 320))
                 .arg(h % 3 ? QStringLiteral("single density") : QStringLiteral("enhanced density"));
    }
}

// The rows in display order: row -> item, sorted by one column.
struct SortedRows {
    std::vector<int32_t> items;
    int32_t column = -1;
    bool descending = false;

    void sortBy(int32_t col)
    {
        descending = col == column && !descending;
        column = col;
        std::vector<tv::Variant> keys(static_cast<size_t>(kRows));
        for (int32_t i = 0; i < kRows; ++i) keys[size_t(i)] = valueOf(i, col);
        const bool numeric = keys[0].isNumber();
        auto less = [&](int32_t a, int32_t b) {
            const tv::Variant& x = keys[size_t(a)];
            const tv::Variant& y = keys[size_t(b)];
            return numeric ? x.toLong() < y.toLong() : x.text() < y.text();
        };
        std::stable_sort(items.begin(), items.end(), less);
        if (descending) std::reverse(items.begin(), items.end());
    }
};

// The two sort arrows of the header images: 1 pointing up, 2 pointing down.
std::shared_ptr<tv::ImageList> sortArrows()
{
    auto list = std::make_shared<tv::ImageList>();
    list->ImageWidth = list->ImageHeight = 8;
    for (bool up : {true, false}) {
        QImage image(8, 8, QImage::Format_ARGB32);
        image.fill(Qt::transparent);
        for (int y = 0; y < 4; ++y)
            for (int x = 3 - y; x <= 4 + y; ++x) image.setPixel(x, up ? 2 + y : 5 - y, qRgb(64, 64, 64));
        list->Add(image);
    }
    return list;
}

void showSortArrow(ListView* grid, const SortedRows& rows)
{
    for (const auto& column : grid->Columns()->Items())
        column->Header()->Icons = column->Index() == rows.column ? tv::Variant(int32_t(rows.descending ? -2 : -1))
                                                                 : tv::Variant::null();
}

} // namespace

QWidget* makeGridPage(ListView** out)
{
    auto* page = new QWidget;
    auto* layout = new QVBoxLayout(page);
    layout->addWidget(new QLabel(QStringLiteral("A header click sorts; dragging a header moves its column (also into the "
                                                "fixed part), its divider sizes it; Ctrl and Shift select.")));
    auto* grid = new ListView;
    auto* status = new QLabel;
    layout->addWidget(grid, 1);
    layout->addWidget(status);
    *out = grid;

    grid->DataMode = vtlVirtual;
    grid->SelectionMode = vtlMultiSelect;
    grid->setBorderAppearance(vtl2dGrayLine);
    grid->setBorderType(vtlBdrRect);
    grid->EmptyHeader = true;
    grid->setToolTipMode(vtlCellTips);
    grid->setHeaderIcons(sortArrows());
    auto columns = grid->Columns();
    columns->Add(QStringLiteral("Nr"), 64, 0, vtlFixedLeft, vtlRight, false, {}, QStringLiteral("No."));
    columns->Add(QStringLiteral("Name"), 200, 0, vtlFixedNone, vtlLeft, false, {}, QStringLiteral("Name"));
    columns->Add(QStringLiteral("Type"), 60, 0, vtlFixedNone, vtlCenter, false, {}, QStringLiteral("Type"));
    columns->Add(QStringLiteral("Size"), 90, 0, vtlFixedNone, vtlRight, false, {}, QStringLiteral("Size"));
    columns->Add(QStringLiteral("Added"), 100, 0, vtlFixedNone, vtlLeft, false, {}, QStringLiteral("Added"));
    columns->Add(QStringLiteral("Notes"), 320, 0, vtlFixedNone, vtlLeft, false, {}, QStringLiteral("Notes"));
    grid->setRowCount(kRows);

    auto rows = std::make_shared<SortedRows>();
    rows->items.resize(size_t(kRows));
    for (int32_t i = 0; i < kRows; ++i) rows->items[size_t(i)] = i;
    grid->FetchData.connect([rows](int32_t start, int32_t end, int32_t& cachePos, tv::Variant& data) {
        tv::VariantArray block(0, kColumnCount - 1, 0, end - start);
        for (int32_t r = start; r <= end; ++r)
            for (int32_t c = 0; c < kColumnCount; ++c) block.at(c, r - start) = valueOf(rows->items[size_t(r)], c);
        cachePos = start;
        data = tv::Variant(block);
    });
    grid->HeaderClick.connect([grid, rows](int32_t index, int16_t button) {
        if (button != 1) return;
        rows->sortBy(index);
        showSortArrow(grid, *rows);
        grid->SelectionSet()->Clear();
        grid->Refresh();
    });
    auto report = [grid, status] {
        status->setText(QStringLiteral("%1 of %2 rows selected; current row %3")
                            .arg(grid->SelectionSet()->Count())
                            .arg(grid->RowCount())
                            .arg(grid->CurrentRow() + 1));
    };
    grid->SelectionChanged.connect(report);
    grid->RowColChange.connect([report](int32_t, int32_t) { report(); });
    report();
    return page;
}

void prepareGridScreenshot(ListView* grid)
{
    grid->HeaderClick.raise(kSize, 1);   // sorted by size, largest first
    grid->HeaderClick.raise(kSize, 1);
    grid->SetBookmark(3);
    grid->AnchorRow = 3;
    grid->SetBookmark(6);
    grid->AnchorRow = -1;
    grid->SelectionSet()->Toggle(9);
    grid->window()->activateWindow();
    grid->ScrollWnd()->setFocus(Qt::TabFocusReason);
}
