#include "catalogue/tree/cdistinctbuffer.h"
#include "catalogue/tree/ctreelevels.h"
#include "treetest.h"

#include <gtest/gtest.h>

using namespace tv;

TEST(DistinctBuffer, FindsNumericAndTextKeysWhateverTheReadOrder)
{
    CDistinctBuffer buffer;
    EXPECT_FALSE(buffer.Contains(Variant(int32_t(1))));

    buffer.Create({Variant(int32_t(5)), Variant(int32_t(1)), Variant(3.0)});
    for (int key : {1, 3, 5}) EXPECT_TRUE(buffer.Contains(Variant(int32_t(key)))) << key;
    for (int key : {0, 2, 6}) EXPECT_FALSE(buffer.Contains(Variant(int32_t(key)))) << key;
    EXPECT_FALSE(buffer.Contains(Variant::null()));

    // Read in the order a case-blind collation gives; found as the database compares texts,
    // without regard to case.
    buffer.Create({Variant(QStringLiteral("apfel")), Variant(QStringLiteral("Birne")),
                   Variant(QStringLiteral("Ärger")), Variant(QStringLiteral("demo")), Variant::null(),
                   Variant(int32_t(7))});
    for (const char* key : {"apfel", "Birne", "Ärger", "demo"})
        EXPECT_TRUE(buffer.Contains(Variant(QString::fromUtf8(key)))) << key;
    EXPECT_TRUE(buffer.Contains(Variant(QStringLiteral("Demo"))));
    EXPECT_TRUE(buffer.Contains(Variant(QString::fromUtf8("ärger"))));
    EXPECT_FALSE(buffer.Contains(Variant(QStringLiteral("Dem"))));
    EXPECT_FALSE(buffer.Contains(Variant(QStringLiteral("7"))));
    EXPECT_TRUE(buffer.Contains(Variant(7.0)));
}

TEST(DistinctBuffer, RowKeysMatchKeysGivenAsText)
{
    EXPECT_TRUE(TreeKeyMatches(Variant(int32_t(17)), QStringLiteral("17")));
    EXPECT_TRUE(TreeKeyMatches(Variant(46000.0), QStringLiteral("46000")));
    EXPECT_TRUE(TreeKeyMatches(Variant(QStringLiteral("O'Brien")), QStringLiteral("O'Brien")));
    EXPECT_FALSE(TreeKeyMatches(Variant(QStringLiteral("Demo")), QStringLiteral("demo")));
    EXPECT_FALSE(TreeKeyMatches(Variant::null(), QString()));
    EXPECT_FALSE(TreeKeyMatches(Variant(int32_t(17)), QStringLiteral("x")));
}
