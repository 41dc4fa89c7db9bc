#include "gridfixture.h"

#include "platform/gui/gdi.h"

#include <QApplication>
#include <QPalette>

using namespace vantile;

using ColumnsTest = ColumnSetTest;

TEST_F(ColumnsTest, AddGivesItsDefaults)
{
    set->Headers()->SetRows(2);
    events.clear();
    auto a = set->Add("A", 50, 0, 0, vtlRight, true, "0.00", "Head", "Foot", "Filetyp");
    ASSERT_TRUE(a);
    EXPECT_EQ(events, (LayoutEvents{{kLayoutAdded, 0}}));
    EXPECT_EQ(a->Index(), 0);
    EXPECT_EQ(a->Width(), 50);
    EXPECT_TRUE(a->AllowFocus && a->AllowReorder && a->AllowSizing && a->AllowHide);
    EXPECT_EQ(a->MinWidth, 20);
    EXPECT_EQ(a->MaxWidth, 4096);
    EXPECT_EQ(a->Format, "0.00");
    EXPECT_EQ(a->Icons, tv::Variant("Filetyp"));
    EXPECT_EQ(a->Style()->Alignment(), vtlRight);
    EXPECT_TRUE(a->Style()->WordBreak());
    EXPECT_EQ(a->Style()->BackColor(), vtlUseDefault);
    EXPECT_EQ(a->Style()->VerticalAlignment(), vtlVCenter);
    ASSERT_TRUE(a->Header(1));
    EXPECT_EQ(a->Header(2), nullptr);
    EXPECT_EQ(a->Header()->Text, "Head");
    EXPECT_EQ(a->Header(1)->Text, "");
    EXPECT_EQ(a->Footer()->Text, "Foot");
    EXPECT_EQ(a->Header(1)->Row, 1);
    EXPECT_EQ(a->Footer()->Style()->BorderType(), 4111);
    EXPECT_EQ(a->Header()->Style()->Alignment(), vtlRight);

    auto b = set->Add("B", 64, vtlHiddenAllways);
    EXPECT_TRUE(b->Icons.isNull());
    EXPECT_EQ(b->Index(), 1);
    EXPECT_EQ(events, (LayoutEvents{{kLayoutAdded, 0}, {kLayoutHidden, 1}, {kLayoutAdded, 1}}));
    EXPECT_EQ(set->Width(), 50);

    tv::VariantArray icons(0, 1);   // an icon list has no text form
    icons.at(0) = 1;
    icons.at(1) = -2;
    EXPECT_EQ(set->Add("I", 64, 0, 0, 0, false, {}, {}, {}, tv::Variant(icons))->Icons, tv::Variant(icons));
}

TEST_F(ColumnsTest, AddRefusesDuplicateKeysIgnoringCaseAndUmlauts)
{
    ASSERT_TRUE(set->Add("Größe"));
    events.clear();
    EXPECT_EQ(set->Add("GRÖßE"), nullptr);
    EXPECT_EQ(set->Add("größe"), nullptr);
    EXPECT_EQ(set->Add("X", 64, 0, 5), nullptr);
    EXPECT_EQ(set->Count(), 1);
    EXPECT_EQ(set->Groups(vtlGrpCenter)->Count(), 1);
    EXPECT_TRUE(events.empty());
    EXPECT_EQ(set->Item("gRÖßE"), set->Item(0));
}

TEST_F(ColumnsTest, ItemByPositionKeyAndDisplayOrder)
{
    AddColumns({"C1", "C2"});
    AddColumns({"R1"}, vtlGrpRight);
    AddColumns({"L1", "L2"}, vtlGrpLeft);
    EXPECT_EQ(set->Item(0), Col("C1"));
    EXPECT_EQ(set->Item(4), Col("L2"));
    EXPECT_EQ(set->Item(5), nullptr);
    EXPECT_EQ(set->Item(-1), nullptr);
    EXPECT_EQ(set->Item("3"), Col("L1"));   // a numeric text that is no key is a position
    EXPECT_EQ(set->Item(tv::Variant::null()), nullptr);
    const char* kByOrder[] = {"L1", "L2", "C1", "C2", "R1"};
    for (int32_t n = 0; n < 5; ++n) EXPECT_EQ(set->Item(n, true)->Key(), kByOrder[n]) << n;
    EXPECT_EQ(set->Item(5, true), nullptr);
    EXPECT_EQ(set->Items().size(), 5u);
}

TEST_F(ColumnsTest, NumericKeysAreFoundByKeyFirst)
{
    AddColumns({"A", "0"});
    EXPECT_EQ(set->Item("0")->Key(), "0");
    EXPECT_EQ(set->Item(0)->Key(), "A");
}

TEST_F(ColumnsTest, AddFixedLeftAppendsToTheLeftGroup)
{
    AddColumns({"A"}, vtlGrpLeft);
    AddColumns({"B"});
    set->Add("C", 64, 0, vtlGrpLeft);
    EXPECT_EQ(Keys(vtlGrpLeft), (QStringList{"A", "C"}));
    EXPECT_EQ(set->Item(0, true), Col("A"));
    EXPECT_EQ(Col("C")->Left(), 64);
}

TEST_F(ColumnsTest, HitTestAcrossGroups)
{
    // Window: left group at 0 (L 0..49), centre at 50 scrolled by 30 (C1 50..69 after scrolling,
    // C2 hidden, C3 70..149), right group at 200 (R 200..239).
    set->Add("L", 50, 0, vtlGrpLeft);
    set->Add("C1", 50);
    set->Add("C2", 10, vtlHiddenCurrently);
    set->Add("C3", 80);
    set->Add("R", 40, 0, vtlGrpRight);
    set->Groups(vtlGrpCenter)->SetPosition(50);
    set->Groups(vtlGrpCenter)->SetScrollOffset(-30);
    set->Groups(vtlGrpRight)->SetPosition(200);
    struct Case {
        int32_t x;
        const char* key;
    };
    const Case kCases[] = {{0, "L"}, {49, "L"}, {50, "C1"}, {69, "C1"}, {70, "C3"}, {149, "C3"},
                           {150, nullptr}, {199, nullptr}, {200, "R"}, {239, "R"}, {240, nullptr}};
    for (const auto& c : kCases) {
        auto hit = set->HitTest(c.x);
        EXPECT_EQ(hit ? hit->Key() : QString(), c.key ? QString(c.key) : QString()) << c.x;
    }
    EXPECT_EQ(Col("C3")->ScreenLeft(), 70);
    EXPECT_EQ(Col("R")->ScreenLeft(), 200);
}

TEST_F(ColumnsTest, FindColumnSkipsUnfocusableAndHiddenColumns)
{
    AddColumns({"L1"}, vtlGrpLeft);
    AddColumns({"C1", "C2", "C3"});
    AddColumns({"R1"}, vtlGrpRight);
    Col("C1")->AllowFocus = false;
    Col("C2")->SetHidden(vtlHiddenCurrently);
    struct Case {
        const char* from;
        bool next;
        const char* to;
    };
    const Case kCases[] = {
        {"L1", true, "C3"}, {"C3", true, "R1"}, {"R1", true, "R1"},
        {"R1", false, "C3"}, {"C3", false, "L1"}, {"L1", false, "L1"},
    };
    for (const auto& c : kCases) {
        const int32_t found = set->FindColumn(Col(c.from)->Index(), c.next);
        EXPECT_EQ(set->Item(found)->Key(), c.to) << c.from << (c.next ? " forward" : " backward");
    }
    EXPECT_EQ(set->FindColumn(9, true), -1);
}

TEST_F(ColumnsTest, FindColumnEndsAtAnEmptyGroup)
{
    AddColumns({"L1"}, vtlGrpLeft);
    AddColumns({"R1"}, vtlGrpRight);
    EXPECT_EQ(set->FindColumn(Col("L1")->Index(), true), Col("L1")->Index());
}

TEST_F(ColumnsTest, RemoveRenumbersSoLaterMessagesReachTheirColumn)
{
    AddColumns({"A", "B", "C"});
    set->Remove("A");
    EXPECT_EQ(set->Count(), 2);
    EXPECT_EQ(Col("B")->Index(), 0);
    EXPECT_EQ(Col("C")->Index(), 1);
    EXPECT_EQ(Col("C")->Header()->Col, 1);
    EXPECT_EQ(Col("B")->Left(), 0);
    EXPECT_EQ(set->Width(), 128);
    EXPECT_TRUE(events.empty());

    Col("C")->SetOrder(0);
    EXPECT_EQ(Keys(vtlGrpCenter), (QStringList{"C", "B"}));
    EXPECT_EQ(events, (LayoutEvents{{kLayoutOrder, 1}}));
    Col("C")->SetFixed(vtlGrpLeft);
    EXPECT_EQ(Keys(vtlGrpLeft), QStringList{"C"});

    set->Remove("missing");
    set->Remove(0);
    EXPECT_EQ(set->Count(), 1);
    EXPECT_EQ(Keys(vtlGrpCenter), QStringList{});
}

TEST_F(ColumnsTest, ColumnsLetGoNoLongerMoveTheirSuccessors)
{
    // A host still holds the column it removed (or cleared); the column now at its old Index
    // must not move or be reported when the held one changes.
    for (bool clear : {false, true}) {
        SCOPED_TRACE(clear ? "Clear" : "Remove");
        SetUp();
        AddColumns({"A", "B", "C"});
        auto a = Col("A");
        if (clear) {
            set->Clear();
            AddColumns({"B", "C"});
        } else {
            set->Remove("A");
        }
        a->SetOrder(-2);
        a->SetWidth(5);
        a->SetHidden(vtlHiddenCurrently);
        a->SetFixed(vtlGrpLeft);
        EXPECT_EQ(Keys(vtlGrpCenter), (QStringList{"B", "C"}));
        EXPECT_EQ(Keys(vtlGrpLeft), QStringList{});
        EXPECT_TRUE(events.empty());
        EXPECT_EQ(a->Group(), nullptr);
    }
}

TEST_F(ColumnsTest, ClearKeepsTheWidthUntilTheNextAdd)
{
    AddColumns({"A", "B"});
    set->Clear();
    EXPECT_EQ(set->Count(), 0);
    EXPECT_EQ(set->Groups(vtlGrpCenter)->Count(), 0);
    EXPECT_EQ(set->Width(), 128);
    EXPECT_TRUE(events.empty());
    set->Add("C", 30);
    EXPECT_EQ(set->Width(), 30);
    EXPECT_EQ(set->Item(0)->Index(), 0);
}

TEST_F(ColumnsTest, DefaultStyleChangesReachEveryColumn)
{
    EXPECT_EQ(set->Style()->VerticalAlignment(), vtlVCenter);
    EXPECT_EQ(set->Style()->FontStyle(), vtlUseDefault);
    set->Style()->SetBorderType(vtlBdrRect);   // no columns: nothing to do
    EXPECT_TRUE(events.empty());

    AddColumns({"A", "B"});
    Col("B")->Style()->SetBorderType(vtlBdrRow);
    std::vector<int32_t> columnEvents;
    Col("A")->Style()->PropertyChanged.connect([&](int32_t id) { columnEvents.push_back(id); });
    set->Style()->SetBorderType(vtlBdrCol);
    EXPECT_EQ(Col("A")->Style()->BorderType(), vtlBdrCol);
    EXPECT_EQ(Col("B")->Style()->BorderType(), vtlBdrCol);
    EXPECT_EQ(columnEvents, std::vector<int32_t>{CellStyle::kBorderType});
    EXPECT_EQ(events, (LayoutEvents{{kLayoutDefaultStyle, CellStyle::kBorderType}}));

    auto replaced = set->Style();
    auto style = std::make_shared<CellStyle>();
    set->SetStyle(style);
    events.clear();
    replaced->SetBackColor(1);
    EXPECT_TRUE(events.empty());
    style->SetBackColor(0xFF);
    EXPECT_EQ(Col("B")->Style()->BackColor(), 0xFF);
    EXPECT_EQ(events, (LayoutEvents{{kLayoutDefaultStyle, CellStyle::kBackColor}}));
}

TEST(ColumnsDefaultStyle, TextColourIsTheWindowTextColourAtCreation)
{
    // Window text is the text on a list's background, not the text on a window's face.
    const QPalette saved = QApplication::palette();
    QPalette palette = saved;
    palette.setColor(QPalette::Text, QColor(0x12, 0x34, 0x56));
    palette.setColor(QPalette::WindowText, QColor(0xAB, 0xCD, 0xEF));
    QApplication::setPalette(palette);
    const int32_t system = int32_t(tv::GetSysColor(tv::COLOR_WINDOWTEXT));
    auto set = Columns::Create();
    QApplication::setPalette(saved);
    EXPECT_EQ(system, 0x563412);
    EXPECT_EQ(set->Style()->TextColor(), system);   // a fixed RGB value, not a system-colour code
}

// --- layout text ---

TEST_F(ColumnsTest, LayoutTextWritten)
{
    EXPECT_EQ(set->Layout(), "");
    set->Add("A");
    EXPECT_EQ(set->Layout(), "A!Hidden=0;Width=64;Fixed=0;Order=0");
    set->Clear();
    set->Add("ID", 40, vtlHiddenAllways);
    set->Add("File", 200, 0, vtlGrpLeft);
    set->Add("Neg", -5, 0, vtlGrpRight);
    EXPECT_EQ(set->Layout(),
              "ID!Hidden=2;Width=40;Fixed=0;Order=0$File!Hidden=0;Width=200;Fixed=2;Order=0"
              "$Neg!Hidden=0;Width=-5;Fixed=1;Order=0");
}

TEST_F(ColumnsTest, LayoutTextAppliedToItselfChangesNothing)
{
    AddColumns({"A", "B", "C"});
    Col("C")->SetFixed(vtlGrpLeft);
    Col("A")->SetWidth(90);
    Col("B")->SetHidden(vtlHiddenCurrently);
    const QString layout = set->Layout();
    events.clear();
    set->SetLayout(layout);
    EXPECT_TRUE(events.empty());
    EXPECT_EQ(set->Layout(), layout);
}

TEST_F(ColumnsTest, LayoutTextRestoresAnotherSet)
{
    AddColumns({"A", "B", "C", "D"});
    Col("D")->SetFixed(vtlGrpLeft);
    Col("C")->SetOrder(0);
    Col("A")->SetWidth(120);
    Col("B")->SetHidden(vtlHiddenCurrently);
    const QString layout = set->Layout();

    SetUp();
    AddColumns({"A", "B", "C", "D"});
    set->SetLayout(layout);
    EXPECT_EQ(set->Layout(), layout);
    EXPECT_EQ(Keys(vtlGrpLeft), QStringList{"D"});
    EXPECT_EQ(Keys(vtlGrpCenter), (QStringList{"C", "A", "B"}));
}

TEST_F(ColumnsTest, LayoutTextAppliedWithItsEvents)
{
    struct Case {
        const char* name;
        const char* layout;
        LayoutEvents events;
        QStringList centre;
        std::vector<int32_t> widths;   // of A and B (stored widths)
        std::vector<int32_t> hidden;   // of A and B
    };
    const Case kCases[] = {
        {"reorder and resize", "B!Hidden=0;Width=90;Fixed=0;Order=0$A!Hidden=0;Width=50;Fixed=0;Order=1",
         {{kLayoutWidth, 1}, {kLayoutOrder, 1}, {kLayoutWidth, 0}}, {"B", "A"}, {50, 90}, {0, 0}},
        {"unknown key skipped", "X!Width=10$B!Width=70", {{kLayoutWidth, 1}}, {"A", "B"}, {64, 70}, {0, 0}},
        {"hiding comes after the width", "A!Hidden=1;Width=300", {{kLayoutWidth, 0}, {kLayoutHidden, 0}}, {"A", "B"},
         {300, 64}, {1, 0}},
        {"width beyond any screen is cut", "A!Width=2147483647;Order=0$B!Width=-2147483648", {{kLayoutWidth, 0}, {kLayoutWidth, 1}},
         {"A", "B"}, {32767, -32767}, {0, 0}},
        {"fields ignore case, junk ignored", "a!WIDTH=10;Colour=3;Width=abc;Order;Width=12.6",
         {{kLayoutWidth, 0}, {kLayoutWidth, 0}}, {"A", "B"}, {13, 64}, {0, 0}},
        {"entries sorted by group and order",
         "B!Hidden=0;Width=64;Fixed=2;Order=0$A!Hidden=0;Width=64;Fixed=0;Order=1",
         {{kLayoutOrder, 0}, {kLayoutFixed, 1}}, {"A"}, {64, 64}, {0, 0}},
        {"bad Order value stops before anything", "B!Width=99$A!Width=1;Order=x", {}, {"A", "B"}, {64, 64}, {0, 0}},
        {"Order beyond 16 bits stops", "B!Width=99;Order=40000", {}, {"A", "B"}, {64, 64}, {0, 0}},
        {"entry without ! stops there", "B!Width=99$A", {{kLayoutWidth, 1}}, {"A", "B"}, {64, 99}, {0, 0}},
        {"numeric key is a position", "1!Width=5", {{kLayoutWidth, 1}}, {"A", "B"}, {64, 5}, {0, 0}},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.name);
        SetUp();
        AddColumns({"A", "B"});
        set->SetLayout(c.layout);
        EXPECT_EQ(events, c.events);
        EXPECT_EQ(Keys(vtlGrpCenter), c.centre);
        for (int i = 0; i < 2; ++i) {
            auto column = set->Item(i);
            EXPECT_EQ(column->Hidden(), c.hidden[size_t(i)]) << i;
            column->SetRaw(Column::kRawHidden, 0);   // reveals the stored width
            EXPECT_EQ(column->Width(), c.widths[size_t(i)]) << i;
        }
    }
}

// A layout stored from one set and applied to a new set of the same columns (as a list that
// rebuilds its columns does) gives its hidden columns back their widths and places.
TEST_F(ColumnsTest, LayoutTextKeepsHiddenColumnsWidthsAndPlacesInANewSet)
{
    const QString stored = QStringLiteral("A!Hidden=1;Width=120;Fixed=0;Order=2$B!Hidden=0;Width=50;Fixed=0;Order=0"
                                          "$C!Hidden=0;Width=60;Fixed=0;Order=1");
    AddColumns({"A", "B", "C"});
    set->SetLayout(stored);
    EXPECT_EQ(set->Layout(), stored);
}

TEST_F(ColumnsTest, LayoutTextShowsAHiddenColumnWithItsWidth)
{
    AddColumns({"A"});
    set->SetLayout("A!Hidden=1;Width=300");
    EXPECT_EQ(Col("A")->Width(), 0);
    set->SetLayout("A!Hidden=0;Width=300");
    EXPECT_EQ(Col("A")->Width(), 300);
}

// An always-hidden column keeps the place its host gave it whatever a layout says: a layout
// that moved it to a fixed group would move it in front of the columns it follows there, and
// the written layout would not restore a new set of the same columns.
TEST_F(ColumnsTest, LayoutTextLeavesAnAlwaysHiddenColumnInPlace)
{
    auto fresh = [this] {
        SetUp();
        set->Add("ID", 64, vtlHiddenAllways);
        AddColumns({"File", "Typ", "Size", "Path"});
    };
    fresh();
    set->SetLayout("ID!Fixed=1$File!Fixed=1");
    EXPECT_EQ(Col("ID")->Fixed(), vtlGrpCenter);
    EXPECT_EQ(Col("ID")->Order(), 0);
    EXPECT_EQ(Keys(vtlGrpRight), QStringList{"File"});
    const QString written = set->Layout();
    fresh();
    set->SetLayout(written);
    EXPECT_EQ(set->Layout(), written);
}

// Fuzz findings: a layout that moves a shown column to a fixed group, written and applied to a
// new set of the same columns, must give every column its written place, the hidden ones too
// (a hidden column after the moved one used to keep its old place and push the others on).
TEST_F(ColumnsTest, WrittenLayoutRestoresHiddenColumnsPlacesInANewSet)
{
    struct Case {
        const char* name;
        QStringList keys;
        const char* alwaysHidden;
        const char* hiddenNow;
    };
    const Case kCases[] = {
        {"hidden now after the moved column", {"ID", "File", "Typ", "Path", "Memo", "Size"}, "ID", "Memo"},
        {"always hidden after the moved column", {"ID", "File", "Typ", "Path", "Key", "Size"}, "Key", nullptr},
        {"always hidden between", {"File", "Typ", "ID", "Size", "Path"}, "ID", nullptr},
    };
    const char* kLayouts[] = {"Path!Fixed=2", "Typ!Fixed=1", "Path!Fixed=1", "2!Fixed=2", "File!Order=9"};
    for (const Case& c : kCases) {
        auto fresh = [&] {
            SetUp();
            AddColumns(c.keys);
            Col(c.alwaysHidden)->SetHidden(vtlHiddenAllways);
            if (c.hiddenNow) Col(c.hiddenNow)->SetHidden(vtlHiddenCurrently);
        };
        for (const char* layout : kLayouts) {
            SCOPED_TRACE(std::string(c.name) + ": " + layout);
            fresh();
            set->SetLayout(QString::fromLatin1(layout));
            const QString written = set->Layout();
            const QStringList centre = Keys(vtlGrpCenter);
            fresh();
            set->SetLayout(written);
            EXPECT_EQ(set->Layout(), written);
            EXPECT_EQ(Keys(vtlGrpCenter), centre);
            EXPECT_EQ(Col(c.alwaysHidden)->Fixed(), vtlGrpCenter);
        }
    }
    // A hidden column takes its written place and width, yet the grid sees nothing change.
    SetUp();
    AddColumns({"A", "H", "B"});
    Col("H")->SetHidden(vtlHiddenCurrently);
    events.clear();
    set->SetLayout("H!Hidden=1;Width=90;Fixed=0;Order=0");
    EXPECT_EQ(Keys(vtlGrpCenter), (QStringList{"H", "A", "B"}));
    EXPECT_TRUE(set->Layout().startsWith("A!Hidden=0;Width=64;Fixed=0;Order=1$H!Hidden=1;Width=90;Fixed=0;Order=0"))
        << set->Layout().toStdString();
    EXPECT_TRUE(events.empty());
    set->SetLayout("H!Hidden=0");
    EXPECT_EQ(Col("H")->Width(), 90);
}

TEST_F(ColumnsTest, LayoutTextRespectsHiddenAlwaysAndAllowHide)
{
    set->Add("Always", 64, vtlHiddenAllways);
    set->Add("Fixed", 64, vtlHiddenCurrently);
    Col("Fixed")->AllowHide = false;
    set->Add("NoHide");
    Col("NoHide")->AllowHide = false;
    set->SetLayout("Always!Hidden=0$Fixed!Hidden=1$NoHide!Hidden=1");
    EXPECT_EQ(Col("Always")->Hidden(), vtlHiddenAllways);
    EXPECT_EQ(Col("Fixed")->Hidden(), vtlHiddenNone);
    EXPECT_EQ(Col("NoHide")->Hidden(), vtlHiddenNone);
}

TEST_F(ColumnsTest, LayoutTextOnAnEmptySetDoesNothing)
{
    set->SetLayout("A!Width=5");
    EXPECT_EQ(set->Count(), 0);
    EXPECT_TRUE(events.empty());
}

TEST_F(ColumnsTest, HandlerMayDropTheSetWhileALayoutIsApplied)
{
    AddColumns({"A", "B"});
    auto b = Col("B");
    set->LayoutChange.connect([this](int32_t, int32_t) { set.reset(); });
    set->SetLayout("A!Width=10$B!Width=20");
    EXPECT_EQ(set, nullptr);
    EXPECT_EQ(b->Width(), 20);
}
