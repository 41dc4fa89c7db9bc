#include "mainwindowtest.h"

#include "catalogue/mainwindow/columnstate.h"
#include "catalogue/mainwindow/mainsettings.h"
#include "controls/grid/columns.h"

using namespace tv;
using vantile::Columns;

namespace {

class ColumnStateTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        set = Columns::Create();
        set->Add("ID", 64, vantile::vtlHiddenAllways);
        set->Add("Datei", 150);
        set->Add("Größe", 60);
        set->Add("Model", 70, vantile::vtlHiddenCurrently);
        set->Add("Bemerkung", 80);
    }
    void TearDown() override { MainListColumns.clear(); }
    QStringList displayed() const
    {
        QStringList keys;
        for (int32_t pos = 0; pos < set->Count(); ++pos) {
            auto c = set->Item(Variant(pos), true);
            keys << c->Key() + (c->Hidden() ? QStringLiteral("(h)") : QString()) + QLatin1Char(':') + QString::number(c->Width());
        }
        return keys;
    }
    std::shared_ptr<Columns> set;
};

TEST_F(ColumnStateTest, ReadGivesDisplayPositionsWithStoredWidths)
{
    set->Item(Variant("Bemerkung"))->SetOrder(1);
    const std::vector<ColumnState> s = ReadColumnState(set.get());
    ASSERT_EQ(s.size(), 6u);
    EXPECT_TRUE(s[0].Key.isEmpty());  // always hidden
    EXPECT_EQ(s[1].Key, QStringLiteral("Bemerkung"));
    EXPECT_EQ(s[4].Key, QStringLiteral("Model"));
    EXPECT_EQ(s[4].Hidden, 1);
    EXPECT_EQ(s[4].Width, 70);
    EXPECT_EQ(ReadColumnState(nullptr).size(), 1u);
    EXPECT_EQ(VisibleColumnFields(set.get()), QStringLiteral("Bemerkung@@@tFile@@@lSize"));
}

// A rebuilt list takes the places and widths the user had, and shows what MainListColumns
// keeps; a category column nobody asked for goes.
TEST_F(ColumnStateTest, ApplyRestoresArrangementAndVisibility)
{
    set->Item(Variant("Bemerkung"))->SetOrder(1);
    set->Item(Variant("Datei"))->SetWidth(222);
    const std::vector<ColumnState> saved = ReadColumnState(set.get());

    SetUp();
    set->Add("Kategorie", 90);
    MainListColumns = QStringLiteral("Model@@@tFile@@@lSize");
    ApplyColumnState(set.get(), saved, true);
    EXPECT_EQ(displayed(), (QStringList{"ID(h):0", "Bemerkung(h):0", "Datei:222", "Größe:60", "Model:70"}));

    // Without the request to hide it, a column the state does not know stays.
    SetUp();
    set->Add("Kategorie", 90);
    ApplyColumnState(set.get(), saved, false);
    EXPECT_TRUE(set->Item(Variant("Kategorie")));
    // A state with no records changes nothing.
    const QStringList before = displayed();
    ApplyColumnState(set.get(), std::vector<ColumnState>(1), true);
    EXPECT_EQ(displayed(), before);
}

} // namespace
