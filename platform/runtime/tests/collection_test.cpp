#include "platform/runtime/collection.h"

#include <gtest/gtest.h>

TEST(Collection, KeysIgnoreCaseIncludingUmlauts)
{
    tv::Collection<int> c;
    EXPECT_TRUE(c.add(1, QStringLiteral("Ärger")));
    EXPECT_FALSE(c.add(2, QStringLiteral("äRGER")));
    EXPECT_TRUE(c.add(3));          // keys are optional
    EXPECT_TRUE(c.add(0, QStringLiteral("first"), 1));
    EXPECT_TRUE(c.add(9, QStringLiteral("after1"), 0, 1));
    ASSERT_EQ(c.count(), 4);
    EXPECT_EQ(*c.item(1), 0);
    EXPECT_EQ(*c.item(2), 9);
    EXPECT_EQ(*c.item(QStringLiteral("ärger")), 1);
    EXPECT_TRUE(tv::CollectionKeyExists(c, QStringLiteral("FIRST")));
    EXPECT_EQ(tv::CollectionKeyAt(c, 3), QStringLiteral("Ärger"));
    EXPECT_EQ(c.item(5), nullptr);
    EXPECT_FALSE(c.add(5, QString(), 9));
    EXPECT_TRUE(c.remove(QStringLiteral("ÄRGER")));
    EXPECT_FALSE(c.remove(QStringLiteral("ärger")));
    EXPECT_EQ(c.count(), 3);
}
