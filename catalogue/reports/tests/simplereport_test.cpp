#include "catalogue/reports/frmsearch.h"
#include "catalogue/reports/globaldata.h"
#include "catalogue/reports/simplereport.h"
#include "catalogue/tree/modsqltree.h"
#include "platform/component/propertybag.h"
#include "platform/db/database.h"
#include "platform/gui/keys.h"
#include "platform/gui/msgbox.h"
#include "platform/gui/systimer.h"
#include "platform/runtime/format.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

using namespace tv;

namespace {

const QString kGames = QStringLiteral(
    "SELECT ID, tFile, lSize, dRating, bFav, cPrice, tsAdded, mNote FROM Games ORDER BY ID");

} // namespace

// A small catalogue of five games and a digit table (1000 rows through a cross join), and a
// report list on a shown window whose events are logged.
class Report : public ::testing::Test {
protected:
    QTemporaryDir dir;
    std::shared_ptr<Database> db;
    QWidget top;
    SimpleReport* report = nullptr;
    QStringList log;
    QStringList boxes;
    int answer = vbOK;

    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        DbError error;
        db = Database::Create(dir.filePath(QStringLiteral("report.mdb")), QByteArray(), &error);
        ASSERT_TRUE(db) << error.description.toStdString();
        for (const char* sql : {
                 "CREATE TABLE Games (ID INTEGER PRIMARY KEY, tFile TEXT COLLATE TVTEXT, lSize INTEGER, "
                 "dRating DOUBLE, bFav YESNO, cPrice CURRENCY, tsAdded DATETIME, mNote LONGTEXT)",
                 "INSERT INTO Games VALUES (1, 'Pac-Man', 1200, 3.5, -1, 1234, #01/02/1985 10:00:00 am#, "
                 "'two\r\nlines\ttab')",
                 "INSERT INTO Games VALUES (2, 'Asteroids', 800, 2, 0, 500, #03/04/1986 12:00:00 am#, Null)",
                 "INSERT INTO Games VALUES (3, 'O''Brien', 5000, 3.5, 0, Null, Null, Null)",
                 "INSERT INTO Games VALUES (4, 'Pacific', 64, 1.5, -1, 99, Null, Null)",
                 "INSERT INTO Games VALUES (5, 'Archon', 12000, 4, 0, 0, Null, Null)",
                 "CREATE TABLE Digits (n INTEGER)",
             })
            execute(QString::fromUtf8(sql));
        for (int i = 0; i < 10; ++i) execute(QStringLiteral("INSERT INTO Digits VALUES (%1)").arg(i));

        SetMsgBoxHook([this](const QString& prompt, int, const QString& title) {
            boxes << title + QStringLiteral(": ") + prompt;
            return answer;
        });
        SysTimer::SetManualMode(true);
        report = new SimpleReport(&top);
        report->InitProperties();
        report->ReadProperties(PropertyBag());
        report->setGeometry(0, 0, 300, 320);
        top.resize(320, 340);
        top.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&top));
        report->SelectionChange.connect([this] { log << QStringLiteral("SelectionChange"); });
        report->ColumnClick.connect([this](int32_t c, int16_t b, int16_t) { log << QStringLiteral("ColumnClick %1 %2").arg(c).arg(b); });
        report->ItemClick.connect([this](int32_t r, int16_t b, int16_t k) { log << QStringLiteral("ItemClick %1 %2 %3").arg(r).arg(b).arg(k); });
        report->ItemClickEx.connect([this](int32_t r, int32_t c, int16_t b, int16_t k) {
            log << QStringLiteral("ItemClickEx %1 %2 %3 %4").arg(r).arg(c).arg(b).arg(k);
        });
        report->ItemDblClick.connect([this](int32_t r, int16_t, int16_t) { log << QStringLiteral("ItemDblClick %1").arg(r); });
        report->Keydown.connect([this](int16_t& k, int16_t&) { log << QStringLiteral("Keydown %1").arg(k); });
        report->FetchColumn.connect([this](int16_t& c) { log << QStringLiteral("FetchColumn %1").arg(c); });
    }
    void TearDown() override
    {
        delete report;
        if (db) db->Close();
        SysTimer::SetManualMode(false);
        SetMsgBoxHook(nullptr);
    }
    void execute(const QString& sql)
    {
        DbError error = db->Execute(sql);
        ASSERT_FALSE(error) << sql.toStdString() << ": " << error.description.toStdString();
    }
    // The games with their key hidden in front, sorted by name.
    void openGames(const QString& layout = QString())
    {
        report->setDataBase(db);
        report->Setup(kGames, 1, 1, layout, Variant(int32_t(-1)), false, Variant(int32_t(0)));
    }
    QString name(int row) { return report->FieldValue(Variant(QStringLiteral("tFile")), row).text(); }
    QString selectedName() { return name(report->SelectedIndex()); }
    std::shared_ptr<vantile::Column> column(const char* key)
    {
        return report->grid()->Columns()->Item(Variant(QString::fromLatin1(key)));
    }
    void key(int code, int shift = 0)
    {
        int16_t k = int16_t(code), s = int16_t(shift);
        report->grid()->KeyDown.raise(k, s);
    }
    void type(char c)
    {
        int16_t k = c;
        report->grid()->KeyPress.raise(k);
    }
};

// ---- properties and persistence ------------------------------------------------------------

TEST_F(Report, AnEmptyBagGivesTheDefaultsAndANewControlStoresWhatDiffers)
{
    SimpleReport fresh;
    fresh.ReadProperties(PropertyBag());
    EXPECT_EQ(fresh.BorderStyle(), 1);
    EXPECT_FALSE(fresh.GridLines());
    EXPECT_EQ(fresh.MaxColWidth(), 300);
    EXPECT_EQ(fresh.CurrencyFormat(), QStringLiteral("Currency"));
    EXPECT_EQ(fresh.CurrencyFactor(), 1.0);
    EXPECT_EQ(fresh.FilterColumn().toLong(), -1);
    EXPECT_EQ(fresh.ImageColumn().toLong(), -1);
    EXPECT_EQ(fresh.KeyColumn().toLong(), -1);
    EXPECT_TRUE(fresh.FilterValue().isNull());
    EXPECT_EQ(fresh.RowHeight(), 16);
    EXPECT_TRUE(fresh.Snapmode());
    EXPECT_TRUE(fresh.EmptyRows());
    EXPECT_TRUE(fresh.EnableHotKeys());
    EXPECT_EQ(fresh.ScrollbarStyle(), 3);
    EXPECT_FALSE(fresh.MultiSelect() || fresh.DblClickOnReturn() || fresh.ShowContextMenu() || fresh.OptimizeLoad());
    EXPECT_EQ(fresh.RecordsetType(), 0);

    SimpleReport placed;
    placed.InitProperties();
    placed.ReadProperties(PropertyBag());
    placed.InitProperties();
    PropertyBag bag;
    placed.WriteProperties(bag);
    // The font has no ambient default to compare with: it is always stored.
    EXPECT_EQ(bag.keys(), (QStringList{QStringLiteral("Font"), QStringLiteral("InvisibleColMode"), QStringLiteral("AutoSizeMode"),
                                       QStringLiteral("DblClickOnReturn"), QStringLiteral("RecordsetType"),
                                       QStringLiteral("ShowContextMenu")}));
}

TEST_F(Report, StoredValuesRoundTripAndSettersKeepTheirRules)
{
    report->setCurrencyFactor(100);
    report->setCurrencyFactor(0);
    report->setCurrencyFactor(-5);
    EXPECT_EQ(report->CurrencyFactor(), 100.0);
    report->setRecordSource(QString());
    report->setFetchToolTips(true);
    report->setShowCellTips(false);   // only switches its own mode off
    EXPECT_TRUE(report->FetchToolTips());
    PropertyBag bag;
    report->WriteProperties(bag);
    EXPECT_TRUE(bag.contains(QStringLiteral("CurrencyFaktor")));
    EXPECT_FALSE(bag.contains(QStringLiteral("CurrencyFactor")));
    SimpleReport copy;
    copy.ReadProperties(bag);
    EXPECT_EQ(copy.CurrencyFactor(), 100.0);
    EXPECT_EQ(copy.BackColor(), 0x80000005u);
    EXPECT_TRUE(copy.FetchToolTips());

    // A stored factor of 0 would divide the currency values by nothing: it reads as 1.
    PropertyBag zero;
    zero.WriteProperty(QStringLiteral("CurrencyFaktor"), Variant(0.0), Variant(1.0));
    copy.ReadProperties(zero);
    EXPECT_EQ(copy.CurrencyFactor(), 1.0);

    // Bag order: MultiSelect, then HoverSelect False, which acts only on a change.
    PropertyBag multi;
    multi.WriteProperty(QStringLiteral("MultiSelect"), Variant(true), Variant(false));
    copy.ReadProperties(multi);
    EXPECT_EQ(copy.grid()->SelectionMode, vantile::vtlMultiSelect);
}

// ---- record source, query and row cache ------------------------------------------------------

TEST_F(Report, SetupHidesTheKeySortsByTheFirstVisibleColumnAndBuildsTheColumns)
{
    report->setShowThousands(true);
    openGames();
    EXPECT_EQ(log, QStringList{QStringLiteral("FetchColumn 1")});
    EXPECT_EQ(report->ItemCount(), 5);
    EXPECT_EQ(name(0), QStringLiteral("Archon"));
    EXPECT_EQ(name(4), QStringLiteral("Pacific"));
    auto columns = report->grid()->Columns();
    ASSERT_EQ(columns->Count(), 8);
    EXPECT_EQ(column("ID")->Hidden(), 2);
    EXPECT_FALSE(column("tFile")->AllowHide);
    EXPECT_EQ(column("tFile")->Header(0)->Icons, Variant(int32_t(-2)));
    struct Case {
        const char* key;
        int alignment;
        QString format;
    } cases[] = {
        {"tFile", 0, QStringLiteral("RPL")},
        {"lSize", 2, QStringLiteral("#,0")},
        {"dRating", 2, QStringLiteral("#,0.0#################")},
        {"bFav", 2, QStringLiteral("Yes/No")},
        {"cPrice", 2, QStringLiteral("Currency")},
        {"tsAdded", 1, QString()},
        {"mNote", 0, QStringLiteral("RPL")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.key);
        EXPECT_EQ(column(c.key)->Style()->Alignment(), c.alignment);
        EXPECT_EQ(column(c.key)->Format, c.format);
        EXPECT_EQ(column(c.key)->MinWidth, 26);
    }
}

TEST_F(Report, InvisibleTrailingColumnsAndCurrencyShownThroughTheFactor)
{
    report->setCurrencyFactor(100);
    report->setDataBase(db);
    report->Setup(kGames, 2, 0);
    EXPECT_EQ(column("tsAdded")->Hidden(), 2);
    EXPECT_EQ(column("mNote")->Hidden(), 2);
    EXPECT_EQ(column("ID")->Hidden(), 0);
    EXPECT_TRUE(column("cPrice")->FetchContents);
    EXPECT_TRUE(column("cPrice")->Format.isEmpty());
    Variant value = Variant::fromCurrency(1234), icons = Variant::null();
    report->grid()->FetchContents.raise(0, 5, value, icons);
    EXPECT_EQ(value.text(), Format(Variant(12.34), QStringLiteral("Currency")));
}

TEST_F(Report, FetchDataServesBlocksAroundTheVisibleRows)
{
    report->setDataBase(db);
    report->Setup(QStringLiteral("SELECT a.n + b.n * 10 + c.n * 100 AS Nr FROM Digits AS a, Digits AS b, Digits AS c"),
                  0, 0);
    ASSERT_EQ(report->ItemCount(), 1000);
    ASSERT_EQ(report->grid()->height(), 320);
    struct Case {
        int start, end, first, last;
    } cases[] = {{0, 19, 0, 40}, {980, 999, 960, 999}, {500, 519, 490, 530}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.start);
        Variant block = Variant::null();
        int32_t pos = 0;
        report->grid()->FetchData.raise(c.start, c.end, pos, block);
        EXPECT_EQ(pos, c.first);
        ASSERT_TRUE(block.array());
        EXPECT_EQ(block.array()->count(2), c.last - c.first + 1);
        EXPECT_EQ(block.array()->at(0, 0).toLong(), c.first);
        EXPECT_EQ(report->firstCachedRow(), c.first);
        EXPECT_EQ(report->lastCachedRow(), c.last);
        // Asking again inside the block changes nothing.
        Variant again = Variant(VariantArray(0, 0, c.first, c.last));
        int32_t pos2 = -7;
        report->grid()->FetchData.raise(c.start + 1, c.end, pos2, again);
        EXPECT_EQ(pos2, -7);
    }
}

TEST_F(Report, FewerRowsThanAskedForRequeries)
{
    openGames();
    execute(QStringLiteral("DELETE FROM Games WHERE ID > 2"));
    Variant block = Variant::null();
    int32_t pos = 0;
    report->grid()->FetchData.raise(0, 4, pos, block);
    EXPECT_EQ(report->ItemCount(), 5);   // the recordset still holds its rows until re-read
    report->Requery();
    EXPECT_EQ(report->ItemCount(), 2);
}

// A query the engine refuses is reported in the program's language, the engine's text behind it.
TEST_F(Report, AFailingQueryIsReportedBehindASentence)
{
    report->setDataBase(db);
    report->Setup(QStringLiteral("SELECT ID FROM NoSuchTable"), 0, 0);
    ASSERT_EQ(boxes.size(), 1);
    EXPECT_TRUE(boxes[0].startsWith(QStringLiteral("Q16-Report-Fehler: DataSetup: Fehler beim Lesen der Datenbank: ")))
        << boxes[0].toStdString();
    EXPECT_TRUE(boxes[0].contains(QStringLiteral("NoSuchTable"), Qt::CaseInsensitive));
}

TEST_F(Report, AnEmptyRecordSourceClearsTheGridAndCloses)
{
    openGames();
    report->setRecordSource(QString());
    EXPECT_EQ(report->ItemCount(), 0);
    EXPECT_EQ(report->grid()->Columns()->Count(), 0);
    EXPECT_FALSE(report->RecordSet());
    EXPECT_EQ(report->SelectedIndex(), -1);
    report->setDataBase(nullptr);
    EXPECT_EQ(report->DataBase(), db);
}

TEST_F(Report, RequeryAndResortKeepTheSelectedKey)
{
    openGames();
    report->setSelectedIndex(3);   // Pac-Man
    execute(QStringLiteral("INSERT INTO Games (ID, tFile) VALUES (6, 'Alley Cat')"));
    report->Requery();
    EXPECT_EQ(report->ItemCount(), 6);
    EXPECT_EQ(selectedName(), QStringLiteral("Pac-Man"));

    // The key gone: the old index stays, or the last row.
    report->setSelectedIndex(5);   // Pacific
    execute(QStringLiteral("DELETE FROM Games WHERE ID = 4"));
    report->Requery();
    EXPECT_EQ(report->SelectedIndex(), 4);
    EXPECT_EQ(selectedName(), QStringLiteral("Pac-Man"));

    // A re-sort keeps the row; a lost key there selects row 0.
    report->Resort(2, false);
    EXPECT_EQ(name(0), QStringLiteral("Archon"));
    EXPECT_EQ(selectedName(), QStringLiteral("Pac-Man"));
    EXPECT_EQ(column("tFile")->Header(0)->Icons.isNull(), true);
    EXPECT_EQ(column("lSize")->Header(0)->Icons, Variant(int32_t(-1)));
}

TEST_F(Report, AKeyColumnWhoseNameHoldsABlankStillFindsTheRowAgain)
{
    report->setDataBase(db);
    report->Setup(QStringLiteral("SELECT ID AS [Nr der Datei], tFile FROM Games"), 1, 1, QString(), Variant(int32_t(-1)),
                  false, Variant(int32_t(0)));
    report->setSelectedIndex(2);
    const QString before = selectedName();
    report->Resort(1, false);
    EXPECT_EQ(selectedName(), before);
    // Type-ahead on a number column with such a name.
    report->Resort(0, true);
    type('4');
    EXPECT_EQ(report->FieldValue(Variant(int32_t(0))).toLong(), 4);
    EXPECT_TRUE(boxes.isEmpty()) << boxes.join(QLatin1Char('\n')).toStdString();
}

TEST_F(Report, WithoutAKeyTheWholeRowFindsItAgain)
{
    report->setDataBase(db);
    report->Setup(kGames, 1, 1);
    report->setSelectedIndex(1);   // Asteroids, with a Null memo that takes no part
    report->Resort(3, true);       // by rating: 1.5, 2, ...
    EXPECT_EQ(selectedName(), QStringLiteral("Asteroids"));
    EXPECT_EQ(report->SelectedIndex(), 1);
}

TEST_F(Report, AFilterValueBindsTheParameterAndAnEmptyOneShowsAll)
{
    openGames();
    report->setFilterColumn(Variant(int32_t(4)));   // bFav
    report->setFilterValue(Variant(int32_t(-1)));
    EXPECT_EQ(report->ItemCount(), 2);
    EXPECT_EQ(report->grid()->Columns()->Count(), 8);   // the columns stay
    report->setFilterValue(Variant(QString()));
    EXPECT_EQ(report->ItemCount(), 5);
}

TEST_F(Report, SortModeOneOpensUnsortedEvenWithASortColumnSet)
{
    report->setSortMode(1);
    report->setSortColumn(1);
    report->setDataBase(db);
    report->Setup(QStringLiteral("SELECT ID, tFile FROM Games ORDER BY ID DESC"), 1, 1);
    EXPECT_EQ(report->SortColumn(), -1);
    EXPECT_EQ(name(0), QStringLiteral("Archon"));   // ID 5 first, as the text orders
    EXPECT_EQ(name(1), QStringLiteral("Pacific"));
    EXPECT_TRUE(log.isEmpty());
}

TEST_F(Report, LockUpdateKeepsTheColumnsUntilReleased)
{
    report->setDataBase(db);
    report->Setup(QStringLiteral("SELECT ID, tFile FROM Games WHERE ID < 3"), 0, 0);
    report->setLockUpdate(true);
    report->setRecordSource(kGames);
    EXPECT_EQ(report->grid()->Columns()->Count(), 2);
    EXPECT_EQ(report->ItemCount(), 2);
    report->setLockUpdate(false);
    EXPECT_EQ(report->ItemCount(), 5);
    EXPECT_EQ(report->grid()->Columns()->Count(), 2);
}

TEST_F(Report, LayoutsCurrentAndOlder)
{
    // Older form, one hidden leading column, three visible: orders 2,0,1 widths 100,0,50.
    report->setDataBase(db);
    report->Setup(QStringLiteral("SELECT ID, tFile, lSize, dRating FROM Games"), 1, 1, QStringLiteral("3;2;0;1;100;0;50"));
    QStringList shown;
    for (int i = 0; i < 4; ++i)
        if (auto c = report->grid()->Columns()->Item(Variant(i), true); c->Hidden() == 0) shown << c->Key();
    EXPECT_EQ(shown, (QStringList{QStringLiteral("dRating"), QStringLiteral("tFile")}));
    EXPECT_EQ(column("tFile")->Width(), 100);
    EXPECT_EQ(column("lSize")->Hidden(), 1);
    EXPECT_EQ(column("dRating")->Width(), 50);
    const QString current = report->Layout();
    EXPECT_TRUE(current.contains(QLatin1Char('!')));

    // The current form goes to the grid as it stands.
    report->Setup(QStringLiteral("SELECT ID, tFile, lSize, dRating FROM Games"), 1, 1, current);
    EXPECT_EQ(column("tFile")->Width(), 100);
    EXPECT_EQ(column("lSize")->Hidden(), 1);
    EXPECT_EQ(column("dRating")->Width(), 50);

    // Without invisible columns the older form does nothing.
    report->Setup(QStringLiteral("SELECT ID, tFile, lSize, dRating FROM Games"), 0, 1, QStringLiteral("3;2;0;1;100;0;50"));
    EXPECT_EQ(column("tFile")->Width(), 64);
}

TEST_F(Report, ADelayedLoadWaitsUntilTheListIsAskedOrShown)
{
    report->hide();
    report->setOptimizeLoad(true);
    openGames();
    EXPECT_FALSE(report->RecordSet());
    EXPECT_EQ(report->ItemCount(), 0);
    ASSERT_TRUE(report->Columns());
    EXPECT_EQ(report->ItemCount(), 5);

    // A new record source while hidden: the old rows go, the new ones come when it shows.
    report->setRecordSource(QStringLiteral("SELECT ID, tFile FROM Games WHERE ID < 3 ORDER BY ID"));
    EXPECT_EQ(report->ItemCount(), 0);
    report->show();
    EXPECT_EQ(report->ItemCount(), 2);
    EXPECT_EQ(name(1), QStringLiteral("Pac-Man"));
}

// ---- selection, events, sorting ---------------------------------------------------------------

TEST_F(Report, SelectionMembers)
{
    EXPECT_EQ(report->SelectedIndex(), -1);
    EXPECT_TRUE(report->SelectedItemsEx().isNull());
    EXPECT_EQ(report->SelectedItems().count(), 0);
    report->setMultiSelect(true);
    openGames();
    report->setSelectedIndex(-1);
    report->setSelectedIndex(5);
    EXPECT_EQ(report->SelectedIndex(), -1);
    report->setItemSelected(1, true);
    report->setItemSelected(3, true);
    EXPECT_EQ(report->SelectedItems().count(), 2);
    EXPECT_EQ(report->SelectedItems().item(2)->Row, 3);
    report->setItemSelected(1, false);
    EXPECT_FALSE(report->ItemSelected(1));
}

TEST_F(Report, HeaderClicksSortOrGoToTheHost)
{
    openGames();
    report->setShowContextMenu(false);
    report->setSelectedIndex(0);
    log.clear();
    report->grid()->HeaderClick.raise(1, 1);   // the sort column: now descending
    EXPECT_EQ(name(0), QStringLiteral("Pacific"));
    report->grid()->HeaderClick.raise(2, 1);   // another column: ascending
    EXPECT_EQ(name(0), QStringLiteral("Pacific"));   // 64 bytes
    int16_t col = 0;
    bool asc = false;
    report->SortInfo(col, asc);
    EXPECT_EQ(col, 2);
    EXPECT_TRUE(asc);
    report->grid()->HeaderClick.raise(2, 2);   // no menu: the host hears of it
    EXPECT_FALSE(log.contains(QStringLiteral("SelectionChange")));
    EXPECT_EQ(log, QStringList{QStringLiteral("ColumnClick 2 2")});

    // The next selection change is reported again, also after a re-sort that left the
    // selected row where it was.
    report->setSelectedIndex(2);
    EXPECT_EQ(log.last(), QStringLiteral("SelectionChange"));
    // A row that cannot be found again (all its values Null) is left to the grid, which
    // may report nothing: the next change still reaches the host.
    report->Setup(QStringLiteral("SELECT mNote FROM Games"), 0, 0);
    report->setSelectedIndex(1);
    report->Resort(0, false);
    log.clear();
    report->setSelectedIndex(3);
    EXPECT_EQ(log, QStringList{QStringLiteral("SelectionChange")});

    log.clear();
    report->setSortMode(1);
    report->grid()->HeaderClick.raise(3, 1);
    EXPECT_EQ(log, QStringList{QStringLiteral("ColumnClick 3 1")});
}

TEST_F(Report, TheSortArrowIsSharpAndSitsBesideALeftAlignedCaption)
{
    openGames();   // sorted by the name, whose caption is left-aligned
    const QImage shot = report->grid()->grab().toImage();
    auto tFile = column("tFile");
    const int headerHeight = report->grid()->Columns()->Headers()->Height();
    const QRgb arrowColour = qRgb(96, 96, 96);
    QRect arrow, caption;
    int arrowPixels = 0;
    // Inside the cell's edges: the arrow's own colour, and the caption's dark ink.
    for (int y = 2; y < headerHeight - 2; ++y)
        for (int x = 2; x < tFile->Width() - 2; ++x) {
            const QRgb p = shot.pixel(x, y);
            if ((p & 0xFFFFFF) == (arrowColour & 0xFFFFFF)) {
                arrow |= QRect(x, y, 1, 1);
                ++arrowPixels;
            } else if (qGray(p) < 160) {
                caption |= QRect(x, y, 1, 1);
            }
        }
    // An 8 x 8 picture drawn at its own size: a triangle 8 wide and 4 high, every pixel whole.
    EXPECT_EQ(arrow.size(), QSize(8, 4));
    EXPECT_EQ(arrowPixels, 2 + 4 + 6 + 8);
    ASSERT_FALSE(caption.isEmpty());
    EXPECT_LT(caption.right(), arrow.left());
}

TEST_F(Report, ClicksAndKeysBecomeTheControlsEvents)
{
    report->setDblClickOnReturn(true);
    key(VK_RETURN);   // no row selected: neither event
    EXPECT_TRUE(log.isEmpty());
    openGames();
    log.clear();
    report->grid()->ItemClick.raise(2, 3, 1, 4, 10, 10);
    EXPECT_EQ(log, (QStringList{QStringLiteral("ItemClick 2 1 4"), QStringLiteral("ItemClickEx 2 3 1 4")}));

    report->setSelectedIndex(1);
    log.clear();
    key(VK_RETURN);
    key('X');
    EXPECT_EQ(log, (QStringList{QStringLiteral("ItemDblClick 1"), QStringLiteral("Keydown 88")}));

    QGuiApplication::clipboard()->setText(QStringLiteral("before"));
    log.clear();
    key('C', vbCtrlMask);
    EXPECT_TRUE(log.isEmpty());
    EXPECT_TRUE(QGuiApplication::clipboard()->text().startsWith(QStringLiteral("tFile\t")));
}

// ---- find and type-ahead -------------------------------------------------------------------

TEST_F(Report, FindBuildsItsCriterionByFieldType)
{
    openGames();
    struct Case {
        const char* field;
        Variant value;
        int offset;
        const char* expected;   // name of the row selected, or "" when nothing is found
    } cases[] = {
        {"tFile", Variant(QStringLiteral("O'Brien")), -1, "O'Brien"},
        {"tFile", Variant(QStringLiteral("Pac*")), -1, "Pac-Man"},
        {"tFile", Variant(QStringLiteral("Pac*")), 3, "Pacific"},
        {"tFile", Variant(QStringLiteral("Pac*")), 4, ""},
        {"tFile", Variant(QStringLiteral("*c*man")), -1, "Pac-Man"},
        {"dRating", Variant(QStringLiteral("3,5")), -1, "O'Brien"},
        {"dRating", Variant(QStringLiteral("3,5")), 2, "Pac-Man"},
        {"lSize", Variant(QStringLiteral("64 bytes")), -1, "Pacific"},
        {"tsAdded", Variant(QStringLiteral("02.01.1985 10:00:00")), -1, "Pac-Man"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.field) + " " + c.value.text().toStdString());
        report->setSelectedIndex(1);
        const bool found = report->Find(Variant(QString::fromLatin1(c.field)), c.value, c.offset);
        EXPECT_EQ(found, *c.expected != 0);
        EXPECT_EQ(selectedName(), found ? QString::fromUtf8(c.expected) : QStringLiteral("Asteroids"));
    }
    report->setRecordSource(QString());
    EXPECT_FALSE(report->Find(Variant(int32_t(1)), Variant(QStringLiteral("A"))));
}

TEST_F(Report, TypeAheadSearchesAtOnceThenWhenTypingPauses)
{
    execute(QStringLiteral("INSERT INTO Games (ID, tFile) VALUES (6, 'Pacman Jr')"));
    openGames();
    report->setSelectedIndex(0);
    type('p');   // the first row after the current one beginning with p
    EXPECT_EQ(selectedName(), QStringLiteral("Pac-Man"));
    type('a');
    type('c');
    type('i');
    EXPECT_EQ(selectedName(), QStringLiteral("Pac-Man"));
    ASSERT_TRUE(report->typeAheadTimer());
    report->typeAheadTimer()->fire();
    EXPECT_EQ(selectedName(), QStringLiteral("Pacific"));

    // Case-sensitive: the row's text must begin with the letters as typed.
    report->setCaseSensitive(true);
    report->setSelectedIndex(0);
    type('P');
    EXPECT_EQ(selectedName(), QStringLiteral("Pac-Man"));
    QTest::qWait(600);
    type('p');   // no row begins with a small p: nothing moves
    EXPECT_EQ(selectedName(), QStringLiteral("Pac-Man"));
    QTest::qWait(600);
    type('\'');
    EXPECT_EQ(selectedName(), QStringLiteral("Pac-Man"));
    report->setCaseSensitive(false);
    type('O');
    type('\'');
    report->typeAheadTimer()->fire();
    EXPECT_EQ(selectedName(), QStringLiteral("O'Brien"));
}

TEST_F(Report, TypeAheadOnADateColumnSelectsTheFirstRowAndControlKeysTypeNothing)
{
    openGames();
    report->Resort(6, true);
    report->setSelectedIndex(3);
    type('1');
    EXPECT_EQ(report->SelectedIndex(), 0);

    report->Resort(2, true);   // a number column, where any text that is no number selects row 0
    report->setSelectedIndex(3);
    QTest::qWait(600);
    for (char c : {'\r', '\x1b', '\b', '\x03'}) type(c);
    EXPECT_EQ(report->SelectedIndex(), 3);
}

// Names as collections spell them, with the characters a Like pattern gives a meaning.
class NamedReport : public Report {
protected:
    void SetUp() override
    {
        Report::SetUp();
        int id = 10;
        for (const char* file : {"Alpha!.atr", "Title (1983)(Maker)[!].atr", "Game#1.atr", "Game#2.atr", "Galactic",
                                 "Gamma 2.atr", "Star Lancer.rom", "Star*Raiders.atr"})
            execute(QStringLiteral("INSERT INTO Games (ID, tFile) VALUES (%1, %2)")
                        .arg(id++)
                        .arg(SQLQuote(QString::fromLatin1(file))));
        openGames();
        report->grid()->ScrollWnd()->setFocus(Qt::OtherFocusReason);
        report->setSelectedIndex(0);
    }
    // Keys as the keyboard sends them to a window: one press and release per character.
    static void typeInto(QWindow* window, const char* text)
    {
        for (const char* c = text; *c; ++c) QTest::keyClick(window, *c);
    }
    void typeAheadPause()
    {
        if (report->typeAheadTimer()) report->typeAheadTimer()->fire();
    }
};

TEST_F(NamedReport, TypedTextIsFoundAsItStands)
{
    struct Case {
        const char* typed;
        const char* found;
    };
    const Case cases[] = {{"[!]", "Title (1983)(Maker)[!].atr"}, {"#2", "Game#2.atr"}};
    report->FindDialog(false, false);
    frmSearch* dialog = report->findWindow();
    ASSERT_TRUE(dialog);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed);
        report->setSelectedIndex(0);
        dialog->edSearch->clear();
        dialog->edSearch->setFocus();
        typeInto(dialog->windowHandle(), c.typed);
        QPushButton* search = dialog->cmdSearch[0]->isVisible() ? dialog->cmdSearch[0] : dialog->cmdSearch[1];
        QTest::mouseClick(dialog->windowHandle(), Qt::LeftButton, {}, search->mapTo(dialog, search->rect().center()));
        EXPECT_EQ(selectedName(), QString::fromLatin1(c.found));
        EXPECT_TRUE(boxes.isEmpty()) << qPrintable(boxes.join(QLatin1Char('|')));
    }
    report->FindDialog(true);

    // Type-ahead takes the keys as literal text too: "*" is a character of a name, no
    // wildcard; alone it matches no name, and the selection stays.
    const Case typed[] = {{"game#2", "Game#2.atr"}, {"star*r", "Star*Raiders.atr"}, {"*", "Alpha!.atr"}};
    for (const Case& c : typed) {
        SCOPED_TRACE(c.typed);
        report->setSelectedIndex(0);
        typeInto(top.windowHandle(), c.typed);
        typeAheadPause();
        EXPECT_EQ(selectedName(), QString::fromLatin1(c.found));
    }
}

TEST_F(NamedReport, TypeAheadInAMultiSelectListTakesCapitalLetters)
{
    report->setMultiSelect(true);
    report->setSelectedIndex(0);
    QTest::keyClick(top.windowHandle(), 'G', Qt::ShiftModifier);
    typeInto(top.windowHandle(), "al");
    typeAheadPause();
    EXPECT_EQ(selectedName(), QStringLiteral("Galactic"));
    // Ctrl with a key stays the selection's.
    QTest::qWait(600);
    QTest::keyClick(top.windowHandle(), 'p', Qt::ControlModifier);
    typeAheadPause();
    EXPECT_EQ(selectedName(), QStringLiteral("Galactic"));
}

// ---- clipboard and column menu ----------------------------------------------------------------

TEST_F(Report, CopyWritesTheVisibleColumnsRowByRow)
{
    report->setCurrencyFactor(100);
    openGames();
    execute(QStringLiteral("UPDATE Games SET mNote = '%1' WHERE ID = 5").arg(QString(300, QLatin1Char('x'))));
    report->Requery();
    column("tFile")->Header(0)->Text.clear();
    column("bFav")->SetHidden(1);
    report->CopyToClipboard(false);
    const QStringList lines = QGuiApplication::clipboard()->text().split(QStringLiteral("\r\n"));
    ASSERT_EQ(lines.size(), 7);
    EXPECT_EQ(lines[0], QStringLiteral("\tlSize\tdRating\tcPrice\ttsAdded\tmNote"));
    EXPECT_EQ(lines[1].split(QLatin1Char('\t')).last(), QString(255, QLatin1Char('x')));
    EXPECT_EQ(lines[4], QStringLiteral("Pac-Man\t1200\t%1\t%2\t%3\ttwo lines tab")
                            .arg(Variant(3.5).text(), Format(Variant(12.34), QStringLiteral("Currency")),
                                 Variant::fromDate(31049 + 10.0 / 24).text()));
    EXPECT_EQ(lines[3], QStringLiteral("O'Brien\t5000\t%1\t\t\t").arg(Variant(3.5).text()));
    EXPECT_TRUE(lines[6].isEmpty());

    // Nothing selected: the header line alone.
    report->grid()->SelectionSet()->Clear();
    report->CopyToClipboard(true);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), lines[0] + QStringLiteral("\r\n"));

    // An empty list leaves the clipboard alone.
    QGuiApplication::clipboard()->setText(QStringLiteral("kept"));
    report->setRecordSource(QStringLiteral("SELECT ID, tFile FROM Games WHERE ID = 0"));
    report->CopyToClipboard(false);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("kept"));
}

TEST_F(Report, CopyOfTheMarkedRowsCopiesEveryOneOfThem)
{
    report->setMultiSelect(true);
    report->setDataBase(db);
    report->Setup(QStringLiteral("SELECT ID, tFile FROM Games"), 1, 1);
    report->grid()->SelectionSet()->Clear();
    for (int row : {4, 1, 3}) report->setItemSelected(row, true);
    report->CopyToClipboard(true);
    // The selection's rows in their order in the list, which is sorted by name.
    EXPECT_EQ(QGuiApplication::clipboard()->text().toStdString(), "tFile\r\nAsteroids\r\nPac-Man\r\nPacific\r\n");
}

TEST_F(Report, EscapeDuringACopyAsksAndYesKeepsWhatWasGathered)
{
    report->setDataBase(db);
    report->Setup(QStringLiteral("SELECT a.n + b.n * 10 + c.n * 100 AS Nr FROM Digits AS a, Digits AS b, Digits AS c"),
                  0, 0);
    // The question takes input while it is asked.
    QLineEdit typed;
    SetMsgBoxHook([&](const QString& prompt, int, const QString& title) {
        boxes << title + QStringLiteral(": ") + prompt;
        QKeyEvent key(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, QStringLiteral("a"));
        QApplication::sendEvent(&typed, &key);
        return answer;
    });
    answer = vbNo;
    QCoreApplication::postEvent(report->grid(), new QKeyEvent(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier));
    report->CopyToClipboard(false);
    EXPECT_EQ(boxes, QStringList{QStringLiteral("Tovarin-Report: Kopiervorgang abbrechen?")});
    EXPECT_EQ(typed.text(), QStringLiteral("a"));
    EXPECT_EQ(QGuiApplication::clipboard()->text().count(QStringLiteral("\r\n")), 1001);

    answer = vbYes;
    QCoreApplication::postEvent(report->grid(), new QKeyEvent(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier));
    report->CopyToClipboard(false);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("Nr\r\n0\r\n"));
}

TEST_F(Report, TheColumnMenuActsOnlyWithHotKeysButAlwaysCopies)
{
    openGames();
    report->setShowContextMenu(true);
    report->grid()->HeaderClick.raise(2, 2);
    QMenu* menu = report->contextMenu();
    ASSERT_TRUE(menu);
    EXPECT_TRUE(log.filter(QStringLiteral("ColumnClick")).isEmpty());
    report->mnuPopup_Click(9);   // fix the column at the left
    EXPECT_EQ(column("lSize")->Fixed(), 2);
    report->mnuPopup_Click(1);
    EXPECT_EQ(name(0), QStringLiteral("Archon"));   // 12000 bytes first
    report->mnuPopup_Click(8);
    EXPECT_EQ(column("lSize")->Hidden(), 1);

    report->setEnableHotKeys(false);
    report->mnuPopup_Click(0);
    EXPECT_EQ(name(0), QStringLiteral("Archon"));
    report->mnuCopy_Click(0);
    EXPECT_TRUE(QGuiApplication::clipboard()->text().startsWith(QStringLiteral("tFile\tdRating")));
    menu->close();

    report->setSortMode(1);
    report->BuildContextMenu(1);
    const auto actions = report->contextMenu()->actions();
    EXPECT_FALSE(actions[0]->isVisible());
    EXPECT_FALSE(actions[1]->isVisible());
    EXPECT_FALSE(actions[2]->isVisible());
    EXPECT_TRUE(actions[3]->isVisible());
    report->contextMenu()->close();
}

// ---- find dialog ------------------------------------------------------------------------------

TEST_F(Report, TheFindDialogWalksFromHitToHitAndWraps)
{
    openGames();
    report->FindDialog(false, false);
    frmSearch* dialog = report->findWindow();
    ASSERT_TRUE(dialog);
    EXPECT_TRUE(dialog->IsLoaded);
    EXPECT_EQ(dialog->cboFields->count(), 7);
    EXPECT_EQ(dialog->cboFields->currentText(), QStringLiteral("tFile"));
    EXPECT_EQ(report->SelectedIndex(), 0);

    dialog->edSearch->setText(QStringLiteral("   "));
    dialog->cmdSearch_Click();
    EXPECT_EQ(boxes, QStringList{QStringLiteral("Suchen: Es wurde kein gültiger Suchbegriff eingegeben!")});

    boxes.clear();
    dialog->edSearch->setText(QStringLiteral("ac"));   // Pac-Man, Pacific
    dialog->cmdSearch_Click();
    EXPECT_EQ(selectedName(), QStringLiteral("Pac-Man"));
    EXPECT_TRUE(dialog->cmdSearch[0]->isHidden());
    dialog->cmdSearch_Click();
    EXPECT_EQ(selectedName(), QStringLiteral("Pacific"));
    answer = vbYes;
    dialog->cmdSearch_Click();   // the end: from the top again
    EXPECT_EQ(selectedName(), QStringLiteral("Pac-Man"));
    EXPECT_EQ(boxes.size(), 1);
    EXPECT_TRUE(boxes[0].startsWith(QStringLiteral("Weitersuchen: Keine weiteren Einträge gefunden. ")));

    // The only hit found again: message 3 and a new search.
    boxes.clear();
    dialog->edSearch->setText(QStringLiteral("brien"));
    dialog->cmdSearch_Click();
    dialog->cmdSearch_Click();
    EXPECT_EQ(boxes.size(), 2);
    EXPECT_TRUE(boxes[1].endsWith(QStringLiteral("Keine weiteren Einträge gefunden!")));
    EXPECT_FALSE(dialog->cmdSearch[0]->isHidden());
    EXPECT_EQ(dialog->lastFound(), -1);

    // A number column is searched for the number as typed, not as a pattern.
    boxes.clear();
    dialog->cboFields->setCurrentIndex(dialog->cboFields->findText(QStringLiteral("lSize")));
    dialog->edSearch->setText(QStringLiteral("64"));
    dialog->cmdSearch_Click();
    EXPECT_EQ(selectedName(), QStringLiteral("Pacific"));
    EXPECT_TRUE(boxes.isEmpty());

    // New columns reach an open dialog.
    report->setRecordSource(QStringLiteral("SELECT ID, tFile FROM Games"));
    EXPECT_EQ(dialog->cboFields->count(), 1);
    report->FindDialog(true);
    EXPECT_FALSE(report->findWindow());
}

TEST_F(Report, TheFindWindowReopenedAfterItsTitleBarClosedItShowsTodaysColumns)
{
    openGames();
    report->FindDialog(false, false);
    ASSERT_TRUE(report->findWindow());
    report->findWindow()->close();   // as the title bar's close button does
    report->setRecordSource(QStringLiteral("SELECT ID, tFile, lSize FROM Games"));
    report->FindDialog(false, false);
    frmSearch* dialog = report->findWindow();
    ASSERT_TRUE(dialog);
    EXPECT_TRUE(dialog->IsLoaded);
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_EQ(dialog->cboFields->count(), 2);
    EXPECT_EQ(dialog->cboFields->itemText(1), QStringLiteral("lSize"));
    report->FindDialog(true);
}

// ---- shared helpers ---------------------------------------------------------------------------

TEST(GlobalData, ClampTextPos)
{
    EXPECT_EQ(ClampTextPos(-1, 5), 5);
    EXPECT_EQ(ClampTextPos(99, 5), 5);
    EXPECT_EQ(ClampTextPos(-3, 5), 0);
    EXPECT_EQ(ClampTextPos(3, 5), 3);
}

TEST(GlobalData, MakeSQLCriterion)
{
    struct Case {
        const char* field;
        int type;
        Variant value;
        bool exact, caseSensitive, brackets;
        const char* expected;
    } cases[] = {
        {"tFile", dbText, Variant(QStringLiteral("abc")), false, false, true, "UCASE([tFile] )LIKE 'ABC*'"},
        {"tFile", dbText, Variant(QStringLiteral("abc")), true, true, true, "[tFile] = 'abc'"},
        // An equality quotes the literal; only a pattern masks what could end or widen it.
        {"tFile", dbText, Variant(QStringLiteral("O''[x]*\"")), true, true, false, "tFile = 'O''''[x]*\"'"},
        {"tFile", dbText, Variant(QStringLiteral("O''[x]*\"")), false, true, false, "tFile LIKE 'O???x??\?*'"},
        {"tFile", dbText, Variant(QStringLiteral("Joe's Game.atr")), true, false, false,
         "UCASE(tFile )= 'JOE''S GAME.ATR'"},
        {"lSize", dbLong, Variant(QStringLiteral("5")), false, false, true, "[lSize]  >= 5"},
        {"lSize", dbLong, Variant(QStringLiteral("5")), true, false, true, "[lSize]  = 5"},
        {"dRating", dbDouble, Variant(QStringLiteral("2.5")), false, false, true, "[dRating]  >= VAL('2.5')"},
        {"ts", dbDate, Variant::fromDateTime(QDateTime(QDate(1985, 1, 2), QTime(13, 5, 0))), true, false, true,
         "[ts]  = #01/02/1985 01:05:00 pm#"},
        {"ts", dbDate, Variant(QStringLiteral("02.0")), false, false, true, "'' & [ts] LIKE '02.0*'"},
        {"bFav", dbBoolean, Variant(true), true, false, true, ""},
        {"mNote", dbMemo, Variant(QStringLiteral("x")), true, false, true, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.expected);
        EXPECT_EQ(MakeSQLCriterion(QString::fromLatin1(c.field), c.type, c.value, c.exact, c.caseSensitive, c.brackets),
                  QString::fromUtf8(c.expected));
    }
    // Typed text is never SQL: a number field takes numbers only, a date prefix no quote.
    bool ok = true;
    EXPECT_EQ(MakeSQLCriterion(QStringLiteral("lSize"), dbLong, Variant(QStringLiteral("5 OR 1=1")), true, false, true, &ok),
              QString());
    EXPECT_FALSE(ok);
    EXPECT_EQ(MakeSQLCriterion(QStringLiteral("ts"), dbDate, Variant(QStringLiteral("1' OR '")), false, false, true),
              QStringLiteral("'' & [ts] LIKE '1? OR ?*'"));
    // An exact date that is no date uses now.
    EXPECT_TRUE(MakeSQLCriterion(QStringLiteral("ts"), dbDate, Variant(QStringLiteral("x")), true, false, true)
                    .startsWith(QStringLiteral("[ts]  = #")));
}

TEST(GlobalData, SelectTextReverseLeavesTheCaretAtTheEndPosition)
{
    QLineEdit edit(QStringLiteral("abcdef"));
    SelectTextReverse(&edit, -1, 0);
    EXPECT_EQ(edit.selectedText(), QStringLiteral("abcdef"));
    EXPECT_EQ(edit.cursorPosition(), 0);
    SelectTextReverse(&edit, 2, 4);
    EXPECT_EQ(edit.selectionStart(), 2);
    EXPECT_EQ(edit.selectedText().size(), 2);
}
