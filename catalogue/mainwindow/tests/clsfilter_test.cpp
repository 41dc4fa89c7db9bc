#include "mainwindowtest.h"

#include "catalogue/mainwindow/clsfilter.h"
#include "catalogue/mainwindow/mainsettings.h"

using namespace tv;

namespace {

QStringList conditionTexts(const clsFilter& f)
{
    QStringList result;
    for (const auto& e : f.Conditions)
        result << e.key + QLatin1Char(':') + QStringList{e.value->Field, e.value->Compare, e.value->Value, e.value->Join}.join(QLatin1Char('|'));
    return result;
}

TEST(Selections, DefaultsAndTheirStoredForm)
{
    FilterCollection filters;
    CreateDefaultFilters(filters);
    ASSERT_EQ(filters.count(), 5);
    QStringList names;
    for (const auto& e : filters) names << e.key + QLatin1Char('=') + e.value->Name;
    EXPECT_EQ(names, (QStringList{"1=Disketten", "2=Programme", "3=Kassetten", "4=Cartridges", "5=Bilder"}));
    EXPECT_EQ(FilterDefText(**filters.item(2)),
              QStringLiteral("iFileType!@!=!@!2!@!@@@iFileType!@!=!@!3!@!Or@@@iFileType!@!=!@!11!@!Or"));
    EXPECT_EQ(FilterDefText(**filters.item(5)).left(20), QStringLiteral("Type!@!=!@!BMP!@!Or@"));

    QString text = QStringLiteral("[MAIN]");
    SaveFilters(filters, text);
    EXPECT_TRUE(text.contains(QStringLiteral("\r\nFilterName2=Programme\r\nFilterDef2=iFileType!@!=!@!2!@!@@@")));
}

TEST(Selections, AddFilterConditionRules)
{
    struct Case {
        const char* name;
        const char* field;
        const char* compare;
        const char* value;
        const char* altField;
        const char* expected;  // "" when nothing is added
    };
    const Case cases[] = {
        {"no condition", "tFile", "X", "a", "", ""},
        {"empty value, like", "tFile", "( )", "", "", ""},
        {"empty value, equal", "tFile", "=", "", "", "tFile|=||Or"},
        {"empty value, not equal", "tFile", "<>", "", "", "tFile|<>||Or"},
        {"known category", "Category_ID", "=", "3", "C.TCATEGORY", "Category_ID|=|3|Or"},
        {"typed category", "Category_ID", "( )", "@Spi", "C.TCATEGORY", "C.TCATEGORY|( )|Spi|Or"},
        {"@ without alternative", "tFile", "=", "@x", "", "tFile|=|@x|Or"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        clsFilter f;
        AddFilterCondition(f, QString::fromUtf8(c.field), QString::fromUtf8(c.compare), QString::fromUtf8(c.value),
                           QStringLiteral("Or"), QString::fromUtf8(c.altField), QStringLiteral("Spi"));
        const QString expected = QString::fromUtf8(c.expected);
        EXPECT_EQ(conditionTexts(f), expected.isEmpty() ? QStringList() : QStringList{"1:" + expected});
    }
}

TEST(Selections, PathConditionsExpand)
{
    clsFilter f;
    f.Add("iFileType", "=", "1", "");
    f.Add("tPath", "( )", "x", "Or");
    const FilterPtr e = ExpandPathConditions(f);
    EXPECT_EQ(conditionTexts(*e), (QStringList{"1:iFileType|=|1|", "2:tPath|( )|x|", "3:tUnpackPath|( )|x|Or"}));
    EXPECT_EQ(f.Conditions.count(), 2);
}

TEST(Selections, IconKey)
{
    const QStringList keys = {"ATR", "COM", "EXE", "CAS", "PRO", "DCM", "BAS", "XFD", "BIN", "ROM", "XEX"};
    struct Case {
        const char* name;
        std::vector<clsFilterDef> defs;
        const char* expected;
    };
    const Case cases[] = {
        {"none", {}, "FILTER"},
        {"one type", {{"iFileType", "=", "4", ""}}, "CAS"},
        {"two types", {{"iFileType", "=", "1", ""}, {"iFileType", "=", "6", "Or"}}, "FILTER"},
        {"other fields leave it", {{"lSize", ">", "1", ""}, {"iFileType", "=", "11", ""}}, "XEX"},
        {"archives count as ZIP", {{"Type", "=", "RAR", ""}, {"Type", "=", "7Z", "Or"}}, "ZIP"},
        {"texts as TXT", {{"Type", "=", "NFO", ""}, {"Type", "=", "DIZ", "Or"}}, "TXT"},
        {"pictures as GFX", {{"Type", "=", "BMP", ""}, {"Type", "=", "TIFF", "Or"}}, "GFX"},
        {"no type at all", {{"tFile", "( )", "a", ""}}, "FILTER"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        clsFilter f;
        for (const clsFilterDef& d : c.defs) f.Add(d.Field, d.Compare, d.Value, d.Join);
        EXPECT_EQ(FilterIconKey(f, keys), QString::fromUtf8(c.expected));
    }
}

// The pane lists the selections below "Filter aus" in ascending order of their names, upper
// case before lower case.
TEST(Selections, PaneRowsInNameOrder)
{
    FilterCollection filters;
    CreateDefaultFilters(filters);
    filters.add(std::make_shared<clsFilter>(clsFilter{{}, "alt", 6}), "6");
    QStringList pane{"Filter aus"};
    for (const auto& e : filters) pane.insert(FilterRowPosition(pane, e.value->Name), e.value->Name);
    EXPECT_EQ(pane, (QStringList{"Filter aus", "Bilder", "Cartridges", "Disketten", "Kassetten", "Programme", "alt"}));
}

using StoredSelections = MainFolderTest;

TEST_F(StoredSelections, ReadBackRenumberedAndBrokenPartsDropped)
{
    writeIni(QStringLiteral("[MAIN]\r\n"
                            "FilterName1=Eins\r\nFilterDef1=tFile!@!( )!@!a!b!@!@@@lSize!@!>!@!10!@!Or\r\n"
                            "FilterName2=Zwei\r\n"
                            "FilterName3=Drei\r\nFilterDef3=tFile!@!=!@!x!@!y!@!@@@tPath!@!( )!@!z!@!\r\n"
                            "FilterName5=never read\r\n"));
    FilterCollection filters;
    LoadFilters(filters, QStringLiteral("MAIN"));
    ASSERT_EQ(filters.count(), 3);
    EXPECT_EQ((*filters.item(QStringLiteral("1")))->Name, QStringLiteral("Eins"));
    EXPECT_EQ(conditionTexts(**filters.item(1)), (QStringList{"1:tFile|( )|a!b|", "2:lSize|>|10|Or"}));
    EXPECT_EQ((*filters.item(2))->Conditions.count(), 0);
    // A value holding a separator breaks its part; the part is dropped, the rest stays.
    EXPECT_EQ(conditionTexts(**filters.item(3)), (QStringList{"1:tPath|( )|z|"}));
    EXPECT_EQ((*filters.item(3))->id, 3);

    // Written again after the middle one was deleted: numbered 1, 2 by position.
    filters.remove(2);
    QString text;
    SaveFilters(filters, text);
    EXPECT_EQ(text, QStringLiteral("FilterName1=Eins\r\nFilterDef1=tFile!@!( )!@!a!b!@!@@@lSize!@!>!@!10!@!Or\r\n"
                                   "FilterName2=Drei\r\nFilterDef2=tPath!@!( )!@!z!@!"));
}

// A blank stored name is skipped without ending the list; a typed name keeps no blanks around
// it (they cannot be seen) and a blank one is refused.
TEST_F(StoredSelections, BlankNamesNeverStopTheSelectionsAfterThem)
{
    writeIni(QStringLiteral("[MAIN]\r\n"
                            "FilterName1=Eins\r\n"
                            "FilterName2=   \r\nFilterDef2=tFile!@!=!@!x!@!\r\n"
                            "FilterName3=\r\n"
                            "FilterName4=Vier\r\nFilterDef4=tFile!@!=!@!y!@!\r\n"));
    FilterCollection filters;
    LoadFilters(filters, QStringLiteral("MAIN"));
    ASSERT_EQ(filters.count(), 2);
    EXPECT_EQ((*filters.item(2))->Name, QStringLiteral("Vier"));
    EXPECT_EQ(conditionTexts(**filters.item(2)), QStringList{"1:tFile|=|y|"});

    EXPECT_EQ(SelectionName(QStringLiteral("  Spiele \r\n"), 50), QStringLiteral("Spiele"));
    EXPECT_EQ(SelectionName(QStringLiteral("a\nb"), 50), QStringLiteral("a b"));
    EXPECT_EQ(SelectionName(QStringLiteral(" \t "), 50), QString());
    EXPECT_EQ(SelectionName(QStringLiteral("abc def"), 4), QStringLiteral("abc"));
}

// What is saved is read back: names and values with blanks or tabs at their ends, line breaks
// and control characters. A name that is a lone line break is blank and skipped, and the
// selections after it still load.
TEST_F(StoredSelections, NamesAndValuesReadBackAsSaved)
{
    struct Stored { QString name; QStringList conditions; };
    const Stored stored[] = {
        {QStringLiteral(" Spiele "), {QStringLiteral("tFile|=| a |"), QStringLiteral("tPath|( )|\tC:\\Spiele\t|Or")}},
        {QStringLiteral("zwei\r\nZeilen"), {QStringLiteral("tFile|( )|x\ny|"), QStringLiteral("lSize|>|10\r|Or")}},
        {QStringLiteral("\n"), {QStringLiteral("tFile|=|blank name|")}},
        {QStringLiteral("Steuer\x01zeichen\x1f"), {QStringLiteral("tFile|=|\x01 \x1f|"), QStringLiteral("Type|=| ^J |Or")}},
        {QStringLiteral("\"Zitat\" "), {QStringLiteral("C.TCATEGORY|<>|\" \"|")}},
    };
    FilterCollection saved;
    for (const Stored& s : stored) {
        FilterPtr selection = AddSelection(saved, s.name, saved.count() + 1);
        for (const QString& c : s.conditions) {
            const QStringList p = c.split(QLatin1Char('|'));
            selection->Add(p[0], p[1], p[2], p[3]);
        }
    }
    QString text = QStringLiteral("[MAIN]");
    SaveFilters(saved, text);
    writeIni(text + QStringLiteral("\r\n"));
    FilterCollection loaded;
    LoadFilters(loaded, QStringLiteral("MAIN"));
    ASSERT_EQ(loaded.count(), 4);
    int n = 0;
    for (const Stored& s : stored) {
        if (s.name == QLatin1String("\n")) continue;
        SCOPED_TRACE(s.name.toStdString());
        const clsFilter& f = **loaded.item(++n);
        EXPECT_EQ(f.Name, s.name);
        QStringList expected;
        for (int i = 0; i < s.conditions.size(); ++i) expected << QString::number(i + 1) + QLatin1Char(':') + s.conditions[i];
        EXPECT_EQ(conditionTexts(f), expected);
    }
}

} // namespace
