#include "mainwindowtest.h"

#include "catalogue/mainwindow/frmmain.h"
#include "catalogue/mainwindow/previewpane.h"
#include "catalogue/mainwindow/searchpane.h"
#include "catalogue/mainwindow/sidepane.h"
#include "catalogue/reports/reportview.h"
#include "catalogue/reports/simplereport.h"
#include "catalogue/reports/vtlsplit.h"
#include "catalogue/tree/usertree.h"
#include "controls/grid/column.h"
#include "controls/grid/columns.h"
#include "controls/grid/listview.h"
#include "platform/gui/modfont.h"
#include "platform/gui/msgbox.h"

#include <QApplication>
#include <QFontMetrics>

using namespace tv;

namespace {

// The window over the small catalogue at a known size, with the stored settings given.
class MainWindowLayout : public CatalogueTest {
protected:
    void SetUp() override
    {
        CatalogueTest::SetUp();
        catalogue = dir.filePath(QStringLiteral("test.MDB"));
        CloseDB();
        SetMsgBoxHook([](const QString&, int, const QString&) { return vbOK; });
    }
    void TearDown() override
    {
        SetMsgBoxHook(nullptr);
        CatalogueTest::TearDown();
    }
    std::unique_ptr<frmMain> openWindow(const QString& settings)
    {
        writeIni(QStringLiteral("[MAIN]\r\nDatabase=") + catalogue + QStringLiteral("\r\n") + settings);
        return showWindow();
    }
    // The window over the settings file as it stands.
    static std::unique_ptr<frmMain> showWindow()
    {
        auto window = std::make_unique<frmMain>();
        window->resize(1100, 800);
        window->show();
        QApplication::processEvents();
        QApplication::processEvents();
        return window;
    }
    static VTLSplit* splitter(const frmMain& window, const char* name)
    {
        auto* split = window.findChild<VTLSplit*>(QString::fromLatin1(name));
        EXPECT_NE(split, nullptr) << name;
        return split;
    }
    // The value of a [MAIN] key in the settings file as written.
    QString stored(const char* key) const
    {
        const QString text = readIni();
        const QString start = QStringLiteral("\r\n") + QString::fromLatin1(key) + QLatin1Char('=');
        const qsizetype at = text.indexOf(start);
        if (at < 0) return QStringLiteral("<missing>");
        const qsizetype from = at + start.size();
        return text.mid(from, text.indexOf(QStringLiteral("\r\n"), from) - from);
    }
    QString catalogue;
};

// At the default widths a date with its time, the longest model name and a memo show whole,
// in the flat list and in a category's list; a width the stored layout gives stays.
TEST_F(MainWindowLayout, DefaultWidthsShowADateAndTheLongestCodesWhole)
{
    {
        ASSERT_TRUE(ConnectDB(catalogue));
        ASSERT_FALSE(goDB->Execute(QStringLiteral("UPDATE MainFiles SET tsCreated=#12/11/2026 10:30:15 am#, iModel=2,"
                                                  " tMemo='Zweite Fassung mit Musik' WHERE ID=1")));
        CloseDB();
    }
    const auto fits = [](vantile::ListView* list, const char* key, const QString& text) {
        const auto column = list->Columns()->Item(Variant(QString::fromUtf8(key)));
        ASSERT_TRUE(column) << key;
        const QFontMetrics metrics(list->Font()->toQFont());
        EXPECT_GE(column->Width(), metrics.horizontalAdvance(text) + 8) << key;
    };
    auto window = openWindow(QString());
    vantile::ListView* files = window->lstMainFiles()->grid();
    fits(files, "Erstellt", QStringLiteral("11.12.2026 10:30:15"));
    fits(files, "Model", QStringLiteral("600XL/800XL"));
    fits(files, "Bemerkung", QStringLiteral("Zweite Fassung mit Musik"));
    window->BuildView(3);
    ASSERT_TRUE(window->treeMain()->SelectItem(QStringLiteral("1"), 2));
    QApplication::processEvents();
    vantile::ListView* category = window->lstMain()->grid();
    fits(category, "Erstellt", QStringLiteral("11.12.2026 10:30:15"));
    fits(category, "Model", QStringLiteral("600XL/800XL"));
    window.reset();
    CloseDB();

    window = openWindow(QStringLiteral("ListLayout=Erstellt!Hidden=0;Width=50;Fixed=0;Order=0\r\n"));
    EXPECT_EQ(window->lstMainFiles()->grid()->Columns()->Item(Variant(QStringLiteral("Erstellt")))->Width(), 50);
}

// The strip of the four panes lies above the lists, each pane as high as the strip; the tree
// and the drill-down list stand beside each other and the preview beside them, all at the
// stored positions (twips, 15 a pixel).
TEST_F(MainWindowLayout, PanesStandWhereTheStoredPositionsPutThem)
{
    const auto window =
        openWindow(QStringLiteral("MenuSplitPos=2400\r\nPreviewSplitPos=7500\r\nListSplitPos=2700\r\nPreview=1\r\nViewMode=3\r\n"));
    VTLSplit* menu = splitter(*window, "splitMenu");
    VTLSplit* preview = splitter(*window, "splitPreview");
    VTLSplit* list = splitter(*window, "splitList");
    ASSERT_TRUE(menu && preview && list);
    EXPECT_DOUBLE_EQ(menu->SplitPos(), 2400);
    EXPECT_DOUBLE_EQ(preview->SplitPos(), 7500);
    EXPECT_DOUBLE_EQ(list->SplitPos(), 2700);

    // The strip: 160 pixels, then the 50-twip bar, then the lists.
    const QWidget* strip = window->findChild<QWidget*>(QStringLiteral("fraMain"));
    ASSERT_TRUE(strip);
    EXPECT_EQ(strip->geometry(), QRect(0, 0, menu->width(), 160));
    EXPECT_EQ(preview->geometry().top(), 163);
    const QList<const QWidget*> panes{window->lvViews(), window->searchPane(), window->lvStart(), window->lvFilter()};
    for (qsizetype i = 0; i < panes.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(panes[i]->y(), 0);
        EXPECT_EQ(panes[i]->height(), 158);
        if (i > 0) {
            EXPECT_GT(panes[i]->x(), panes[i - 1]->x() + panes[i - 1]->width() - 1);
        }
    }

    // Lists on the left up to 500 pixels, the preview right of the 60-twip bar.
    EXPECT_EQ(list->geometry(), QRect(0, 0, 500, preview->height()));
    const QWidget* container = window->findChild<QWidget*>(QStringLiteral("Container"));
    ASSERT_TRUE(container);
    EXPECT_EQ(container->geometry().left(), 504);
    EXPECT_TRUE(window->preview()->isVisible());
    EXPECT_EQ(window->treeMain()->width(), 180);
    EXPECT_GT(window->lstMain()->x(), window->treeMain()->x() + window->treeMain()->width());

    // Dragging the strip's bar 20 pixels down lays the strip out anew; closing keeps it.
    menu->BarPressed(QPoint(5, 2));
    menu->BarMoved(QPoint(5, 22), true);
    menu->BarReleased();
    EXPECT_DOUBLE_EQ(menu->SplitPos(), 2700);
    EXPECT_EQ(window->lvStart()->height(), 178);
    window->close();
    EXPECT_EQ(stored("MenuSplitPos"), QStringLiteral("2700"));
    EXPECT_EQ(stored("PreviewSplitPos"), QStringLiteral("7500"));
    EXPECT_EQ(stored("ListSplitPos"), QStringLiteral("2700"));

    const auto again = showWindow();
    EXPECT_DOUBLE_EQ(splitter(*again, "splitMenu")->SplitPos(), 2700);
    EXPECT_DOUBLE_EQ(splitter(*again, "splitList")->SplitPos(), 2700);
    again->close();
}

// A splitter whose panes were never both shown (no preview, the flat list instead of the tree)
// writes its position back exactly as read; one that was shown but not moved, too.
TEST_F(MainWindowLayout, PositionsNotShownGoBackAsRead)
{
    const auto window =
        openWindow(QStringLiteral("MenuSplitPos=2222\r\nPreviewSplitPos=7777\r\nListSplitPos=3333\r\nPreview=0\r\n"));
    EXPECT_TRUE(window->lstMainFiles()->isVisible());
    EXPECT_FALSE(window->treeMain()->isVisible());
    EXPECT_FALSE(window->preview()->isVisible());
    window->close();
    EXPECT_EQ(stored("MenuSplitPos"), QStringLiteral("2222"));
    EXPECT_EQ(stored("PreviewSplitPos"), QStringLiteral("7777"));
    EXPECT_EQ(stored("ListSplitPos"), QStringLiteral("3333"));
}

// Turning the preview on the first time puts it at its stored place without squeezing the
// tree beside the lists out of its own.
TEST_F(MainWindowLayout, PreviewShownLaterTakesItsStoredPlace)
{
    const auto window = openWindow(QStringLiteral("PreviewSplitPos=9000\r\nListSplitPos=3000\r\nViewMode=3\r\n"));
    EXPECT_FALSE(window->preview()->isVisible());
    window->findChild<QAction*>(QStringLiteral("mnuPreview"))->trigger();
    EXPECT_TRUE(window->preview()->isVisible());
    EXPECT_DOUBLE_EQ(splitter(*window, "splitPreview")->SplitPos(), 9000);
    EXPECT_DOUBLE_EQ(splitter(*window, "splitList")->SplitPos(), 3000);
    EXPECT_EQ(window->treeMain()->width(), 200);
    window->close();
    EXPECT_EQ(stored("PreviewSplitPos"), QStringLiteral("9000"));
    EXPECT_EQ(stored("Preview"), QStringLiteral("1"));
}

// Tab walks the strip's panes from left to right, then the tree, the drill-down list, the flat
// list and the preview.
TEST_F(MainWindowLayout, TabWalksThePanesInTheirOrder)
{
    const auto window = openWindow(QStringLiteral("Preview=1\r\n"));
    const QList<const QWidget*> panes{window->lvViews(),     window->searchPane(), window->lvStart(),
                                      window->lvFilter(),    window->treeMain(),   window->lstMain(),
                                      window->lstMainFiles(), window->preview()};
    QList<int> order;
    for (QWidget* w = window->nextInFocusChain(); w != window.get(); w = w->nextInFocusChain()) {
        if (!(w->focusPolicy() & Qt::TabFocus)) continue;
        for (int i = 0; i < panes.size(); ++i)
            if ((panes[i] == w || panes[i]->isAncestorOf(w)) && (order.isEmpty() || order.last() != i)) order << i;
    }
    EXPECT_EQ(order, (QList<int>{0, 1, 2, 3, 4, 5, 6, 7}));
    window->close();
}

// Without a stored layout the file list shows the file name and its path wide enough to read.
TEST_F(MainWindowLayout, DefaultLayoutWidensNameAndPath)
{
    const auto window = openWindow(QString());
    const auto columns = window->lstMainFiles()->Columns();
    ASSERT_TRUE(columns->Item(Variant(QStringLiteral("Datei"))));
    EXPECT_EQ(columns->Item(Variant(QStringLiteral("Datei")))->Width(), 169);
    EXPECT_EQ(columns->Item(Variant(QStringLiteral("Dateipfad")))->Width(), 254);
    EXPECT_NE(columns->Item(Variant(QStringLiteral("Datei")))->Hidden(), 0 + 1);
    window->close();
}

} // namespace
