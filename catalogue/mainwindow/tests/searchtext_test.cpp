#include "mainwindowtest.h"

#include "catalogue/mainwindow/searchtext.h"

using namespace tv;

namespace {

TEST(SearchText, DueOnlyWhenABoxDiffersFromTheBuiltView)
{
    struct Case {
        const char* name;
        QStringList boxes;
        QStringList built;
        bool due;
        bool active;
    };
    const Case cases[] = {
        {"nothing typed", {"", "", ""}, {"", "", "", ""}, false, false},
        {"file name typed", {"", "abc", ""}, {"", "", "", ""}, true, true},
        {"same as built", {"", "abc", ""}, {"", "abc", "", ""}, false, true},
        {"first box alone counts", {"x", "", ""}, {"", "", "", ""}, true, true},
        {"boxes emptied", {"", "", ""}, {"", "abc", "", ""}, true, false},
        {"a fifth box is not compared", {"", "", "", "", "e"}, {"", "", "", ""}, false, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(SearchDue(c.boxes, c.built), c.due);
        EXPECT_EQ(HasSearchText(c.boxes), c.active);
    }
}

TEST(SearchText, HistoryKeepsEachTypedTextOnceNewestFirst)
{
    QStringList history;
    EXPECT_TRUE(AddSearchHistory(history, "boulder", false));
    EXPECT_TRUE(AddSearchHistory(history, "dash", false));
    EXPECT_FALSE(AddSearchHistory(history, "boulder", false));
    EXPECT_TRUE(AddSearchHistory(history, "Boulder", false));
    EXPECT_FALSE(AddSearchHistory(history, "chosen", true));
    EXPECT_FALSE(AddSearchHistory(history, "", false));
    EXPECT_EQ(history, (QStringList{"Boulder", "dash", "boulder"}));
}

} // namespace
