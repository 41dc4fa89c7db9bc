#include "platform/component/classfactory.h"
#include "platform/component/propertybag.h"

#include <gtest/gtest.h>

using tv::Variant;

TEST(PropertyBag, ValuesEqualToTheirDefaultAreNotWritten)
{
    struct Case { const char* key; Variant value, def; bool stored; };
    const Case cases[] = {
        {"MaxColWidth", Variant(int32_t(300)), Variant(int32_t(300)), false},
        {"RowHeight", Variant(int16_t(16)), Variant(int32_t(16)), false},   // Integer vs Long
        {"Enabled", Variant(true), Variant(true), false},
        {"GridLines", Variant(true), Variant(false), true},
        {"CurrencyFormat", Variant(QStringLiteral("Currency")), Variant(QStringLiteral("Currency")), false},
        {"Caption", Variant(QStringLiteral("currency")), Variant(QStringLiteral("Currency")), true},
        {"FilterValue", Variant::null(), Variant::null(), false},
        {"KeyColumn", Variant(int32_t(0)), Variant::null(), true},
        {"CurrencyFaktor", Variant(1.0), Variant(int32_t(1)), false},
        {"SplitPos", Variant(int32_t(80)), Variant(), true},
    };
    tv::PropertyBag bag;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.key);
        const QString key = QString::fromUtf8(c.key);
        bag.WriteProperty(key, c.value, c.def);
        EXPECT_EQ(bag.contains(key), c.stored);
        EXPECT_TRUE(tv::SameValue(bag.ReadProperty(key.toUpper(), c.def), c.value));
    }
    EXPECT_EQ(bag.keys(), QStringList({QStringLiteral("GridLines"), QStringLiteral("Caption"),
                                       QStringLiteral("KeyColumn"), QStringLiteral("SplitPos")}));

    // Writing a key again in other case replaces it; writing its default removes it.
    bag.WriteProperty(QStringLiteral("gridlines"), Variant(false), Variant(true));
    EXPECT_EQ(bag.ReadProperty(QStringLiteral("GridLines")), Variant(false));
    bag.WriteProperty(QStringLiteral("GRIDLINES"), Variant(true), Variant(true));
    EXPECT_FALSE(bag.contains(QStringLiteral("GridLines")));
    EXPECT_EQ(bag.ReadProperty(QStringLiteral("GridLines"), Variant(true)), Variant(true));
    EXPECT_EQ(bag.count(), 3);
}

TEST(PropertyBag, ObjectsCompareByIdentity)
{
    auto font = std::make_shared<tv::Object>();
    tv::PropertyBag bag;
    bag.WriteProperty(QStringLiteral("Font"), Variant(font), Variant(font));
    EXPECT_FALSE(bag.contains(QStringLiteral("Font")));
    bag.WriteProperty(QStringLiteral("Font"), Variant(std::make_shared<tv::Object>()), Variant(font));
    EXPECT_TRUE(bag.contains(QStringLiteral("Font")));
}

namespace {
struct Widgetish : tv::Object {
    int id = 7;
};
} // namespace

TEST(ClassFactory, CreatesRegisteredClassesByName)
{
    tv::ClassFactory factory;
    int made = 0;
    EXPECT_TRUE(factory.registerClass(QStringLiteral("Vantile.ListView"), [&] {
        ++made;
        return std::make_shared<Widgetish>();
    }));
    EXPECT_FALSE(factory.registerClass(QStringLiteral("vantile.listview"), [] { return nullptr; }));
    EXPECT_FALSE(factory.registerClass(QString(), [] { return nullptr; }));
    EXPECT_FALSE(factory.registerClass(QStringLiteral("Empty.Creator"), nullptr));

    auto a = std::dynamic_pointer_cast<Widgetish>(factory.create(QStringLiteral("VANTILE.ListView")));
    auto b = factory.create(QStringLiteral("Vantile.ListView"));
    ASSERT_TRUE(a);
    EXPECT_EQ(a->id, 7);
    EXPECT_NE(a, b);   // every call makes a new instance
    EXPECT_EQ(made, 2);
    EXPECT_EQ(factory.create(QStringLiteral("Vantile.Unknown")), nullptr);
    EXPECT_FALSE(factory.isRegistered(QStringLiteral("Vantile.Unknown")));

    EXPECT_TRUE(tv::RegisterObjectClass(QStringLiteral("Test.Widgetish"),
                                        [] { return std::make_shared<Widgetish>(); }));
    EXPECT_TRUE(tv::CreateObjectAs<Widgetish>(QStringLiteral("test.widgetish")));
}
