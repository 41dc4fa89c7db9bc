#include "catalogue/emulators/modoptions.h"

#include <gtest/gtest.h>

namespace tv {
namespace {

TEST(OptionStrings, ParseGivesEntriesAndFlags)
{
    struct Case {
        const char* name;
        QString options;
        OptionTable table;
    } const kCases[] = {
        {"empty string is the empty-list mark", "", {{"", "-1"}}},
        {"two entries in order", "/a=@=1@@@/b=@=0", {{"/a", "1"}, {"/b", "0"}}},
        {"no flag separator is inactive", "/a", {{"/a", "0"}}},
        {"empty flag is active", "/a=@=", {{"/a", "1"}}},
        {"any flag but 0 is active", "/a=@=x", {{"/a", "1"}}},
        {"two flag separators is inactive", "/a=@=1=@=1", {{"/a", "0"}}},
        {"trailing separator does not fail", "/a=@=1@@@", {{"/a", "1"}, {"", "0"}}},
        {"doubled separator does not fail", "/a=@=1@@@@@@/b=@=1",
         {{"/a", "1"}, {"", "0"}, {"/b", "1"}}},
        {"separators only", "@@@", {{"", "0"}, {"", "0"}}},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(ParseOptions(c.options), c.table);
    }
}

TEST(OptionStrings, JoinWritesBackAndDropsEmptyEntries)
{
    struct Case {
        const char* name;
        QString in;
        QString out;
    } const kCases[] = {
        {"empty", "", ""},
        {"identical round trip", "/a=@=1@@@/b=@=0", "/a=@=1@@@/b=@=0"},
        {"missing flag is written as 0", "/a", "/a=@=0"},
        {"damaged string is repaired", "@@@/a=@=1@@@@@@", "/a=@=1"},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.name);
        QString joined = QStringLiteral("untouched");
        ASSERT_TRUE(JoinOptions(ParseOptions(c.in), joined));
        EXPECT_EQ(joined, c.out);
    }
}

TEST(OptionStrings, TextsWithSeparatorsAreRefused)
{
    for (const QString& bad : {QStringLiteral("/a@@@"), QStringLiteral("x=@=y"), QStringLiteral("/a=@")}) {
        SCOPED_TRACE(bad.toStdString());
        QString joined = QStringLiteral("untouched");
        QString error;
        EXPECT_FALSE(JoinOptions({{QStringLiteral("/ok"), QStringLiteral("1")}, {bad, QStringLiteral("1")}},
                                 joined, &error));
        EXPECT_EQ(joined, QStringLiteral("untouched"));
        EXPECT_TRUE(error.endsWith(bad));
        EXPECT_EQ(OptionTextError(bad), error);
    }
    EXPECT_TRUE(OptionTextError(QStringLiteral("/disk \"<$filepath$>\" @ = x")).isEmpty());
}

// Every text the editors accept reads back as itself with its flag ("x=@" with the flag 0 was
// stored as "x=@=@=0" and read back as the active text "x").
TEST(OptionStrings, AcceptedTextsReadBackTheSame)
{
    for (const char* text : {"a=", "@b", "a@", "@=x", "=@x", "a@@", "@@a", "=", "@", "a=@ ", "-x \"=@\""}) {
        SCOPED_TRACE(text);
        ASSERT_TRUE(OptionTextError(QString::fromUtf8(text)).isEmpty());
        const OptionTable table = {{QString::fromUtf8(text), QStringLiteral("0")}, {QStringLiteral("/b"), QStringLiteral("1")},
                                   {QString::fromUtf8(text), QStringLiteral("1")}};
        QString joined;
        ASSERT_TRUE(JoinOptions(table, joined));
        EXPECT_EQ(ParseOptions(joined), table);
    }
}

TEST(OptionStrings, HasOptionMatchesBeginningWithoutCaseOrFlag)
{
    const OptionTable table = ParseOptions(QStringLiteral("/BASIC=@=0@@@-x /hardware:800=@=1"));
    EXPECT_TRUE(HasOption(table, QStringLiteral("/basic")));
    EXPECT_FALSE(HasOption(table, QStringLiteral("/hardware:")));
    EXPECT_FALSE(HasOption(ParseOptions(QString()), QStringLiteral("/basic")));
    EXPECT_FALSE(HasOption(OptionTable{}, QStringLiteral("/basic")));
}

} // namespace
} // namespace tv
