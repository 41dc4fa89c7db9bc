#include "catalogue/reports/frmcolumnheader.h"
#include "catalogue/reports/reportview.h"
#include "catalogue/tree/ctreeitem.h"
#include "catalogue/tree/ctreelevels.h"
#include "catalogue/tree/tests/treecatalogue.h"
#include "catalogue/tree/usertree.h"
#include "platform/component/propertybag.h"
#include "platform/gui/msgbox.h"

#include <QApplication>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

using namespace tv;

namespace {

const QString kCategories = QStringLiteral(
    "SELECT ID, -1 AS ParentKey, 22 AS Icon, tCategory, ID AS Nr FROM Category ORDER BY tCategory");
const QString kFiles = QStringLiteral(
    "SELECT ID, Category_ID, iFileType AS Icon, tFile, tPath FROM MainFiles ORDER BY tFile");

} // namespace

// Categories A (files a1, a2) and B (file b1) and a file without category; a drill-down
// report on a shown window with categories on level 1 and their files on level 2.
class DrillDown : public TreeCatalogue {
protected:
    QWidget top;
    ReportView* view = nullptr;
    QStringList log;
    QString layoutAnswer;
    int a = 0, b = 0;

    void SetUp() override
    {
        TreeCatalogue::SetUp();
        a = addCategory(QStringLiteral("A"));
        b = addCategory(QStringLiteral("B"));
        addFile(QStringLiteral("a1"), a, 1);
        addFile(QStringLiteral("a2"), a, 1);
        addFile(QStringLiteral("b1"), b, 2);
        addFile(QStringLiteral("loose"), 0, 1);
        SetMsgBoxHook([this](const QString& prompt, int, const QString&) {
            log << QStringLiteral("box ") + prompt;
            return int(vbOK);
        });
        view = new ReportView(&top);
        view->ReadProperties(PropertyBag());
        view->setGeometry(0, 0, 300, 300);
        top.resize(320, 320);
        top.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&top));
        view->ActiveLevelChange.connect([this](int16_t level) { log << QStringLiteral("level %1").arg(level); });
        view->FetchColumnLayout.connect([this](QString& layout) {
            log << QStringLiteral("fetch layout");
            layout = layoutAnswer;
        });
        view->ItemDblClick.connect([this](int32_t row, int16_t, int16_t) { log << QStringLiteral("dbl %1").arg(row); });
        view->setDataBase(db);
    }
    void TearDown() override
    {
        delete view;
        SetMsgBoxHook(nullptr);
        TreeCatalogue::TearDown();
    }
    void setup() { view->levels()->Setup(QStringList{kCategories, kFiles}); }
    QString filter() const { return view->SimpleReport_()->FilterValue().text(); }
    QStringList captions()
    {
        QStringList names;
        for (int row = 0; row < view->ItemCount(); ++row) names << view->FieldValue(Variant(int32_t(3)), row).text();
        return names;
    }
    std::shared_ptr<vantile::Column> column(const char* key)
    {
        return view->Columns()->Item(Variant(QString::fromLatin1(key)));
    }
    void drillInto(int row)
    {
        view->setSelectedIndex(row);
        view->NextLevel();
    }
};

TEST(ListLevels, SetupTakesAFlatOrANestedArrayAndAlwaysTellsTheChange)
{
    cListLevels levels;
    int changes = 0;
    levels.Changed.connect([&] { ++changes; });
    VariantArray flat(0, 1);
    flat.at(0) = Variant(QStringLiteral("one"));
    flat.at(1) = Variant(QStringLiteral("two"));
    VariantArray nested(0, 1);
    nested.at(0) = Variant(flat);
    nested.at(1) = Variant(VariantArray(0, 2));

    for (const Variant& given : {Variant(flat), Variant(nested)}) {
        levels.Setup(given);
        EXPECT_EQ(levels.Count(), 2);
        EXPECT_EQ(levels.LevelSource(1), QStringLiteral("one"));
        EXPECT_EQ(levels.LevelSource(2), QStringLiteral("two"));
    }
    levels.setId(2, Variant(7));
    levels.setId(3, Variant(8));   // above Count: ignored
    EXPECT_EQ(levels.id(2).toLong(), 7);
    EXPECT_TRUE(levels.id(3).isEmpty());
    levels.Setup(Variant(flat));
    EXPECT_TRUE(levels.id(2).isEmpty()) << "a new setup forgets the ids";

    levels.Setup(QStringList());
    EXPECT_EQ(levels.Count(), 0);
    EXPECT_EQ(changes, 4);
    EXPECT_TRUE(levels.Key.isNull());
    EXPECT_TRUE(levels.ReInit);
}

TEST_F(DrillDown, SetupShowsLevelOneUnfilteredAfterAskingForLayouts)
{
    setup();
    EXPECT_EQ(view->CurLevel(), 1);
    EXPECT_EQ(filter(), QString());
    EXPECT_EQ(captions(), (QStringList{QStringLiteral("A"), QStringLiteral("B")}));
    EXPECT_EQ(log, (QStringList{QStringLiteral("fetch layout"), QStringLiteral("level 1")}));
    EXPECT_EQ(column("ID")->Hidden(), 2) << "key, parent key and icon stay hidden";
    EXPECT_EQ(column("tCategory")->Hidden(), 0);

    log.clear();
    view->levels()->Setup(QStringList());
    EXPECT_EQ(view->CurLevel(), 1) << "an empty level list leaves the view";
    EXPECT_EQ(view->ItemCount(), 2);
    EXPECT_TRUE(log.isEmpty());
}

TEST_F(DrillDown, NextAndPrevLevelMoveByTheSelectedRow)
{
    setup();
    view->NextLevel();
    EXPECT_EQ(view->CurLevel(), 1) << "no selected row";

    drillInto(0);
    EXPECT_EQ(view->CurLevel(), 2);
    EXPECT_EQ(filter(), QString::number(a));
    EXPECT_EQ(captions(), (QStringList{QStringLiteral("a1"), QStringLiteral("a2")}));

    drillInto(0);
    EXPECT_EQ(view->CurLevel(), 2) << "already on the last level";

    view->PrevLevel();
    EXPECT_EQ(view->CurLevel(), 1);
    EXPECT_EQ(filter(), QString());
    view->PrevLevel();
    EXPECT_EQ(view->CurLevel(), 1);
    EXPECT_EQ(log.filter(QStringLiteral("level")), (QStringList{QStringLiteral("level 1"), QStringLiteral("level 2"),
                                                              QStringLiteral("level 1")}));
}

TEST_F(DrillDown, NextLevelIgnoresARowWithoutKey)
{
    view->levels()->Setup(QStringList{
        QStringLiteral("SELECT Category_ID, -1, 1, tFile FROM MainFiles ORDER BY tFile"), kFiles});
    ASSERT_EQ(captions().last(), QStringLiteral("loose"));
    drillInto(3);
    EXPECT_EQ(view->CurLevel(), 1);
}

TEST_F(DrillDown, SynchronizeFollowsTheTreeSelection)
{
    UserTree tree(&top);
    tree.ReadProperties(PropertyBag());
    tree.setGeometry(0, 0, 100, 200);
    tree.show();
    tree.setDataBase(db);
    tree.levels()->Setup(kRootLevel, kCategoryLevel, kFileLevel);
    setup();

    view->Synchronize(nullptr);
    EXPECT_EQ(view->CurLevel(), 1);

    struct Case {
        QString key;
        int treeLevel;
        int level;
        QString filter;
    };
    const int b1 = 1003;
    for (const Case& c : {Case{QString::number(b), 2, 2, QString::number(b)},
                          Case{QStringLiteral("-1"), 1, 1, QString()},
                          Case{QString::number(b1), 3, 2, QString::number(b)},
                          Case{QString::number(a), 2, 2, QString::number(a)}}) {
        ASSERT_TRUE(tree.SelectItem(c.key, c.treeLevel)) << c.key.toStdString();
        view->Synchronize(tree.SelectedItem());
        EXPECT_EQ(view->CurLevel(), c.level) << c.key.toStdString();
        EXPECT_EQ(filter(), c.filter) << c.key.toStdString();
    }
    EXPECT_EQ(captions(), (QStringList{QStringLiteral("a1"), QStringLiteral("a2")}));
    EXPECT_EQ(log.filter(QStringLiteral("level")).size(), 4)
        << "moving within level 2 changes only the filter: " << log.join(QLatin1Char(',')).toStdString();
}

TEST_F(DrillDown, LayoutsAreKeptPerLevel)
{
    EXPECT_EQ(view->Layout(), QString()) << "no level active";

    layoutAnswer = QStringLiteral("tCategory!Hidden=0;Width=50;Fixed=0;Order=0$Nr!Hidden=1;Width=40;Fixed=0;Order=1"
                                  "@tFile!Hidden=0;Width=70;Fixed=0;Order=0@surplus");
    setup();
    EXPECT_EQ(column("Nr")->Hidden(), 1);
    EXPECT_EQ(column("tCategory")->Width(), 50);
    drillInto(0);
    EXPECT_EQ(column("tFile")->Width(), 70);
    column("tPath")->SetHidden(1);
    view->PrevLevel();
    EXPECT_EQ(column("Nr")->Hidden(), 1) << "level 1 comes back as it was left";
    column("Nr")->SetHidden(0);

    const QStringList parts = view->Layout().split(QLatin1Char('@'));
    ASSERT_EQ(parts.size(), 2);
    EXPECT_TRUE(parts[0].contains(QStringLiteral("Nr!Hidden=0"))) << parts[0].toStdString();
    EXPECT_TRUE(parts[1].contains(QStringLiteral("tPath!Hidden=1"))) << parts[1].toStdString();

    layoutAnswer = QStringLiteral("tCategory!Hidden=0;Width=33;Fixed=0;Order=0");
    setup();
    EXPECT_EQ(column("tCategory")->Width(), 33);
    drillInto(0);
    EXPECT_NE(column("tFile")->Width(), 70) << "one segment leaves level 2 without a layout";

    view->setLayout(QStringLiteral("@tFile!Hidden=0;Width=44;Fixed=0;Order=0"));
    EXPECT_EQ(column("tFile")->Width(), 44) << "a written layout reaches the active level at once";
}

TEST_F(DrillDown, DoubleClickDrillsDownOrGoesToTheHost)
{
    setup();
    auto grid = view->SimpleReport_()->grid();
    view->setSelectedIndex(1);
    grid->ItemDblClick.raise(1, 3);
    EXPECT_EQ(view->CurLevel(), 2);
    EXPECT_EQ(filter(), QString::number(b));
    EXPECT_TRUE(log.filter(QStringLiteral("dbl")).isEmpty());

    view->setDblClickMode(1);
    view->setSelectedIndex(0);
    grid->ItemDblClick.raise(0, 3);
    EXPECT_EQ(view->CurLevel(), 2);
    EXPECT_EQ(log.filter(QStringLiteral("dbl")), QStringList{QStringLiteral("dbl 0")});
}

TEST_F(DrillDown, TranslateIconCarriesTheLevelAndTheHostsAnswer)
{
    setup();
    view->setTranslateIcons(true);
    int16_t seen = 0;
    view->TranslateIcon.connect([&](int16_t level, int32_t& icon) {
        seen = level;
        icon = icon + 100;
    });
    Variant value(QStringLiteral("A")), icons(int32_t(22));
    view->SimpleReport_()->grid()->FetchContents.raise(0, 3, value, icons);
    EXPECT_EQ(seen, 1);
    EXPECT_EQ(icons.toLong(), 122);
}

TEST_F(DrillDown, SelectedItemsCarryAllFields)
{
    setup();
    EXPECT_EQ(view->SelectedItemKey(), -1);
    EXPECT_FALSE(view->SelectedItem().has_value());
    EXPECT_EQ(view->SelectedItems().count(), 0);

    drillInto(1);
    view->setSelectedIndex(0);
    EXPECT_EQ(view->SelectedItemKey(), 1003);
    const auto item = view->SelectedItem();
    ASSERT_TRUE(item.has_value());
    EXPECT_EQ(item->Row, 0);
    EXPECT_EQ(item->Key, QStringLiteral("1003"));
    EXPECT_EQ(item->Tag.text(), item->Key);
    EXPECT_EQ(item->ParentKey, QString::number(b));
    EXPECT_EQ(item->Level, 2);
    EXPECT_EQ(item->Text, QStringLiteral("b1"));

    const auto items = view->SelectedItems();
    ASSERT_EQ(items.count(), 1);
    EXPECT_EQ(items.item(1)->Row, 0);
    EXPECT_EQ(items.item(1)->Key, QStringLiteral("1003"));
    EXPECT_EQ(items.item(1)->Level, 2);
}

TEST_F(DrillDown, StoredPropertiesRoundTrip)
{
    EXPECT_EQ(view->DblClickMode(), 0) << "read from an empty bag";
    EXPECT_TRUE(view->StoreUserColWidth());
    ReportView placed;
    QStringList notified;
    placed.PropertyChanged.connect([&](const QString& name) { notified << name; });
    placed.InitProperties();
    EXPECT_EQ(placed.DblClickMode(), 1);
    EXPECT_TRUE(placed.DblClickOnReturn());
    EXPECT_EQ(notified, (QStringList{QStringLiteral("DblClickOnReturn"), QStringLiteral("BorderStyle")}));

    placed.setCurrencyFactor(100.0);
    placed.setStoreUserColWidth(false);
    placed.setMaxColWidth(120);
    placed.setSortMode(2);
    PropertyBag bag;
    placed.WriteProperties(bag);
    EXPECT_EQ(bag.ReadProperty(QStringLiteral("CurrencyFaktor")).toDouble(), 100.0);
    EXPECT_TRUE(bag.ReadProperty(QStringLiteral("GridLines")).isEmpty()) << "defaults are not written";

    ReportView read;
    read.ReadProperties(bag);
    EXPECT_EQ(read.DblClickMode(), 1);
    EXPECT_FALSE(read.StoreUserColWidth());
    EXPECT_EQ(read.CurrencyFactor(), 100.0);
    EXPECT_EQ(read.MaxColWidth(), 120);
    EXPECT_EQ(read.SortMode(), 2);
    EXPECT_TRUE(read.DblClickOnReturn());
}

TEST_F(DrillDown, WithoutReInitANewLevelListKeepsTheShownLevel)
{
    view->levels()->ReInit = false;
    setup();
    EXPECT_EQ(view->CurLevel(), 1) << "no level was shown before: level 1 is shown";
    EXPECT_TRUE(log.filter(QStringLiteral("fetch")).isEmpty());

    drillInto(1);
    setup();
    EXPECT_EQ(view->CurLevel(), 2);
    EXPECT_EQ(filter(), QString::number(b));
    EXPECT_EQ(captions(), QStringList{QStringLiteral("b1")});
}

TEST_F(DrillDown, TheColumnDialogChangesTheActiveLevelsLayout)
{
    setup();
    drillInto(0);
    QTimer::singleShot(0, [] {
        auto dialog = qobject_cast<frmColumnHeader*>(QApplication::activeModalWidget());
        ASSERT_TRUE(dialog);
        dialog->lvHeaders()->SetBookmark(1, -1, 0);   // tPath
        dialog->cmdAction_Click(3);
        dialog->cmdOk_Click();
    });
    view->EditHeaders();
    EXPECT_EQ(column("tPath")->Hidden(), 1);
    view->PrevLevel();
    drillInto(0);
    EXPECT_EQ(column("tPath")->Hidden(), 1) << "level 2 comes back with the column hidden";
    EXPECT_TRUE(view->Layout().section(QLatin1Char('@'), 1).contains(QStringLiteral("tPath!Hidden=1")));
}
