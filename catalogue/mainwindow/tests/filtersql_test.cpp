#include "mainwindowtest.h"

#include "catalogue/mainwindow/filtersql.h"

using namespace tv;

namespace {

TEST(BuildFilterCondition, TextOfOneCondition)
{
    struct Case {
        const char* name;
        clsFilterDef def;
        const char* expected;
    };
    const Case cases[] = {
        {"number", {"lSize", ">", "1000", ""}, "lSize >1000"},
        {"file type", {"iFileType", "=", "11", ""}, "iFileType =11"},
        {"number, empty value: no condition", {"lSize", "=", "", ""}, ""},
        {"number, no number: no condition", {"lSize", ">", "1;drop", ""}, ""},
        // Read as numbers by the conversion, yet column names to the SQL.
        {"number, infinity: no condition", {"lSize", "<", "inF", ""}, ""},
        {"number, not a number: no condition", {"iFileType", "=", "nan", ""}, ""},
        {"number with exponent", {"lSize", "<", "1e5", ""}, "lSize <1e5"},
        {"contains", {"tFile", "( )", "abc", ""}, "tFile Like'*abc*'"},
        {"begins with", {"tFile", ">", "abc", ""}, "tFile Like'abc*'"},
        {"ends with", {"tFile", "<", "abc", ""}, "tFile Like'*abc'"},
        {"does not contain", {"tPath", "<>", "abc", ""}, "tPath Not Like'*abc*'"},
        {"category, equal", {"Category_ID", "=", "3", ""}, "Category_ID =3"},
        {"category, not equal", {"Category_ID", "<>", "12", ""}, "Category_ID <>12"},
        {"category, no number: no condition", {"Category_ID", "=", "3 or 1=1", ""}, ""},
        {"own pattern", {"tFile", "( )", "*.ATR", ""}, "tFile Like'*.ATR'"},
        {"apostrophe, equal", {"tFile", "=", "it's", ""}, "tFile ='it''s'"},
        {"apostrophe, like", {"tFile", "( )", "it's", ""}, "tFile Like'*it''s*'"},
        {"brackets are literal", {"tFile", "( )", "[a]", ""}, "tFile Like'*[[]a]*'"},
        {"number sign is literal", {"tFile", ">", "Game #1", ""}, "tFile Like'Game [#]1*'"},
        {"question mark is literal", {"tPath", "<>", "a?", ""}, "tPath Not Like'*a[?]*'"},
        {"literal inside an own pattern", {"tFile", "<", "*#?", ""}, "tFile Like'**[#][?]'"},
        {"equal takes the text as it is", {"tFile", "=", "[#?]", ""}, "tFile ='[#?]'"},
        {"apostrophe, not like", {"tFile", "<>", "it's", ""}, "tFile Not Like'*it''s*'"},
        // A comparison with NULL matches no row in any engine: test for Null instead.
        {"empty, not equal", {"tUnpackPath", "<>", "", ""}, "tUnpackPath Is Not Null"},
        {"empty, equal", {"tUnpackPath", "=", "", ""}, "tUnpackPath Is Null"},
        {"empty, other symbol", {"tFile", ">", "", ""}, "tFile Is Null"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(BuildFilterCondition(c.def), QString::fromUtf8(c.expected));
    }
}

FilterPtr selection(std::initializer_list<clsFilterDef> defs)
{
    auto s = std::make_shared<clsFilter>();
    for (const clsFilterDef& d : defs) s->Add(d.Field, d.Compare, d.Value, d.Join);
    return s;
}

TEST(AddSelectionConditions, GroupsAndTexts)
{
    struct Case {
        const char* name;
        FilterPtr filter;
        const char* listBefore;
        const char* list;
        const char* tree;
        bool category;
    };
    const Case cases[] = {
        {"no conditions", selection({}), "", "", "", false},
        {"default Disketten",
         selection({{"iFileType", "=", "1", ""}, {"iFileType", "=", "6", "Or"}, {"iFileType", "=", "8", "Or"}}), "",
         " where (  F.iFileType =1 Or F.iFileType =6 Or F.iFileType =8)",
         " where (  F.iFileType =1 Or F.iFileType =6 Or F.iFileType =8)", false},
        {"path expanded, size joined by And",
         selection({{"tPath", "( )", "x", ""}, {"lSize", ">", "100", ""}}), " where F.ID>3",
         " where F.ID>3 And (  F.tPath Like'*x*' Or F.tUnpackPath Like'*x*') And lSize >100",
         " where (  F.tPath Like'*x*' Or F.tUnpackPath Like'*x*')", false},
        {"group closed before a condition with no join",
         selection({{"iFileType", "=", "1", ""}, {"iFileType", "=", "4", "Or"}, {"lSize", "<", "5000", ""}}), "",
         " where (  F.iFileType =1 Or F.iFileType =4) And lSize <5000",
         " where (  F.iFileType =1 Or F.iFileType =4)", false},
        {"types: pictures by name, archives by path",
         selection({{"Type", "=", "GIF", "Or"}, {"Type", "=", "ZIP", "Or"}}), "",
         " where (  F.tFile Like '*.GIF' Or F.tPath Like '*.ZIP')",
         " where (  F.tFile Like '*.GIF' Or F.tPath Like '*.ZIP')", false},
        {"type value quoted", selection({{"Type", "=", "A'B", ""}}), "", " where F.tPath Like '*.A''B'",
         " where F.tPath Like '*.A''B'", false},
        {"category by name needs the join",
         selection({{"C.TCATEGORY", "( )", "Spi", ""}}), "", " where C.TCATEGORY Like'*Spi*'", "", true},
        {"category by number stays on the list",
         selection({{"Category_ID", "=", "2", ""}}), "", " where Category_ID =2", "", false},
        {"a group of empty sizes is taken back",
         selection({{"lSize", "=", "", ""}, {"lSize", "=", "", "Or"}, {"tFile", "( )", "a", ""}}), "",
         " where F.tFile Like'*a*'", " where F.tFile Like'*a*'", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QString list = QString::fromUtf8(c.listBefore);
        QString tree;
        EXPECT_EQ(AddSelectionConditions(*c.filter, list, tree), c.category);
        EXPECT_EQ(list, QString::fromUtf8(c.list));
        EXPECT_EQ(tree, QString::fromUtf8(c.tree));
    }
}

// What the view leaves out of a selection is named as the user wrote it; empty values and
// numbers are no such conditions.
TEST(IgnoredConditions, NamesNumberConditionsWithATextValue)
{
    const FilterPtr s = selection({{"lSize", "<", "inF", ""},
                                   {"lSize", ">", "100", ""},
                                   {"lSize", "=", "", ""},
                                   {"iFileType", "=", "abc", "Or"},
                                   {"Category_ID", "<>", "x1", ""},
                                   {"Category_ID", "=", "7", ""},
                                   {"tFile", "=", "inF", ""}});
    EXPECT_EQ(IgnoredConditions(*s), (QStringList{"lSize < inF", "iFileType = abc", "Category_ID <> x1"}));
}

using SelectionOnCatalogue = CatalogueTest;

TEST_F(SelectionOnCatalogue, ConditionsSelectTheRightFiles)
{
    struct Case {
        const char* name;
        FilterPtr filter;
        std::vector<int> expected;
    };
    const Case cases[] = {
        {"archive members", selection({{"tUnpackPath", "<>", "", ""}}), {4}},
        {"plain files", selection({{"tUnpackPath", "=", "", ""}}), {1, 2, 3, 5}},
        {"category number", selection({{"Category_ID", "=", "2", ""}}), {2}},
        // Category 12 holds the picture: neither 1 nor 2 may take it for one of theirs.
        {"category 1 is not 12", selection({{"Category_ID", "=", "1", ""}}), {1}},
        {"not category 2", selection({{"Category_ID", "<>", "2", ""}}), {1, 3}},
        {"category stored with a text operator", selection({{"Category_ID", "( )", "1", ""}}), {1}},
        {"category by name", selection({{"C.TCATEGORY", ">", "spi", ""}}), {1}},
        {"path also matches the member chain", selection({{"tPath", "( )", "DIR", ""}}), {4}},
        {"apostrophe", selection({{"tFile", "=", "IT'S.XEX", ""}}), {2}},
        {"disks or tapes below a size",
         selection({{"iFileType", "=", "1", ""}, {"iFileType", "=", "4", "Or"}, {"lSize", "<", "100000", ""}}),
         {1, 5}},
        {"pictures", selection({{"Type", "=", "GIF", "Or"}, {"Type", "=", "PNG", "Or"}}), {3}},
        {"archives", selection({{"Type", "=", "ZIP", ""}}), {4}},
        {"size compared with a text is left out", selection({{"lSize", "<", "inF", ""}}), {1, 2, 3, 4, 5}},
    };
    ASSERT_FALSE(goDB->Execute(QStringLiteral("INSERT INTO Category (ID, tCategory) VALUES (12, 'Bilder')")));
    ASSERT_FALSE(goDB->Execute(QStringLiteral("UPDATE MainFiles SET Category_ID=12 WHERE ID=3")));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QString where, tree;
        const bool join = AddSelectionConditions(*c.filter, where, tree);
        const QString from = join ? QStringLiteral(" From (MainFiles as F  Left Join Category as C on F.Category_ID=C.ID)")
                                  : QStringLiteral(" From (MainFiles as F )");
        EXPECT_EQ(ids(QStringLiteral("SELECT F.ID") + from + where + QStringLiteral(" order by F.ID")), c.expected);
    }
    // The comparison the stored form used to make finds nothing at all.
    EXPECT_TRUE(ids(QStringLiteral("SELECT F.ID From MainFiles as F where F.tUnpackPath <>NULL")).empty());
}

} // namespace
