#include "catalogue/emulators/modemulator.h"
#include "catalogue/emulators/modoptions.h"

#include <gtest/gtest.h>

namespace tv {
namespace {

class EmulatorModel : public ::testing::Test {
protected:
    void SetUp() override
    {
        gcolEmulators.clear();
        gcolProfils.clear();
        giProfilCounter = 0;
    }
    void TearDown() override { SetUp(); }

    QStringList KeysInOrder() const
    {
        QStringList keys;
        for (const auto& e : gcolProfils) keys << e.key;
        return keys;
    }
};

TEST_F(EmulatorModel, FirstRunCreatesThreeEmulatorsAndThirteenProfiles)
{
    for (int type = 1; type <= 3; ++type)
        ASSERT_TRUE(CreateDefaultEmulator(type, type, gcolEmulators, gcolProfils, true));
    EXPECT_EQ(gcolEmulators.count(), 3);
    EXPECT_EQ(KeysInOrder(), QStringList({"1", "3", "2", "4", "5", "6", "7", "8", "9", "10", "11", "12", "13"}));
    EXPECT_EQ(giProfilCounter, 13);
    EXPECT_EQ((*gcolEmulators.item(QStringLiteral("2")))->Path, QStringLiteral("atari++"));
    EXPECT_EQ((*gcolEmulators.item(QStringLiteral("3")))->Path, QStringLiteral("atari800"));
    EXPECT_EQ((*gcolEmulators.item(QStringLiteral("1")))->Path, QStringLiteral("Altirra.exe"));
    EXPECT_EQ(GetProfilName(gcolEmulators, gcolProfils, QStringLiteral("1")),
              QStringLiteral("Altirra - Load disc"));
    EXPECT_EQ((*gcolProfils.item(QStringLiteral("11")))->EmulKey, QStringLiteral("3"));
}

TEST_F(EmulatorModel, DefaultOptionStringsAreExactAndRoundTrip)
{
    const QString qp = QStringLiteral("\"<$filepath$>\"");
    const QString kExpected[13] = {
        "/disk " + qp + "=@=1",
        "/cart " + qp + "=@=1@@@/nobasic=@=1",
        "/tape " + qp + "=@=1@@@/casautoboot=@=1@@@/nocasautoboot=@=0@@@/siopatch=@=1",
        "/run " + qp + "=@=1",
        "/basic " + qp + "=@=1",
        "-image.1 " + qp + "=@=1@@@-enable.1 true=@=1",
        "-cartpath " + qp + "=@=1",
        "-image.1 " + qp + "=@=1@@@-enable.1 true=@=1",
        qp + "=@=1",
        "-cart " + qp + "=@=1",
        "-nopatch=@=1@@@-boottape " + qp + "=@=1@@@-tape " + qp + "=@=0",
        "-run " + qp + "=@=1",
        "-run " + qp + "=@=1",
    };
    for (int n = 1; n <= 13; ++n) {
        SCOPED_TRACE(n);
        ProfilPtr p = CreateDefaultProfil(7, n, gcolProfils, true);
        ASSERT_TRUE(p);
        EXPECT_TRUE(p->Aktiv);
        EXPECT_EQ(p->EmulKey, QStringLiteral("7"));
        EXPECT_EQ(p->Options, kExpected[n - 1]);
        QString joined;
        ASSERT_TRUE(JoinOptions(ParseOptions(p->Options), joined));
        EXPECT_EQ(joined, p->Options);
    }
    EXPECT_FALSE(CreateDefaultProfil(7, 14, gcolProfils, true));
    EXPECT_FALSE(CreateDefaultProfil(7, 0, gcolProfils, true));
}

TEST_F(EmulatorModel, FileToolGetsOneCounterKeyedProfileAndUnknownTypeNothing)
{
    giProfilCounter = 20;
    ASSERT_TRUE(CreateDefaultEmulator(4, 0, gcolEmulators, gcolProfils, false));
    ASSERT_EQ(gcolProfils.count(), 1);
    EXPECT_EQ((*gcolProfils.item(1))->Key, QStringLiteral("21"));
    EXPECT_EQ((*gcolProfils.item(1))->Name, QStringLiteral("Run basic program"));

    EXPECT_FALSE(CreateDefaultEmulator(5, 4, gcolEmulators, gcolProfils, false));
    EXPECT_EQ(gcolEmulators.count(), 1);
    EXPECT_EQ(gcolProfils.count(), 1);
}

TEST_F(EmulatorModel, ProfilKeysFollowTheCounter)
{
    giProfilCounter = 2;
    EXPECT_EQ(AddProfil(gcolProfils, "1", "a", "", true, 5)->Key, QStringLiteral("5"));
    EXPECT_EQ(giProfilCounter, 3);
    EXPECT_EQ(AddProfil(gcolProfils, "1", "b", "", true, 0)->Key, QStringLiteral("4"));
    // Duplicate keys are refused, for emulators and for a copied profile alike.
    ProfilPtr copy = CopyProfil(**gcolProfils.item(QStringLiteral("5")));
    EXPECT_EQ(copy->Key, QStringLiteral("5"));
    EXPECT_FALSE(gcolProfils.add(copy, copy->Key));
    EXPECT_FALSE(AddProfil(gcolProfils, "1", "c", "", true, 4));
    ASSERT_TRUE(AddEmulator(1, 1, "A", "p", gcolEmulators, true));
    EXPECT_FALSE(AddEmulator(1, 2, "B", "q", gcolEmulators, true));
}

// A name is never part of an option string: one holding a separator text is taken as it is.
TEST_F(EmulatorModel, ProfilNamesWithSeparatorsAreTaken)
{
    QString error;
    ProfilPtr profil = AddProfil(gcolProfils, "1", "odd@@@na=@=me", "", true, 0, &error);
    ASSERT_TRUE(profil);
    EXPECT_EQ(profil->Name, QStringLiteral("odd@@@na=@=me"));
    EXPECT_TRUE(error.isEmpty());
}

TEST_F(EmulatorModel, CopiesAreIndependent)
{
    EmulatorPtr emu = AddEmulator(3, 2, "A++", "/usr/bin/atari++", gcolEmulators, false);
    EmulatorPtr copy = CopyEmulator(*emu);
    copy->Name = QStringLiteral("other");
    EXPECT_EQ(emu->Name, QStringLiteral("A++"));
    EXPECT_EQ(copy->Key, QStringLiteral("3"));
    EXPECT_EQ(copy->EmulType, 2);
    EXPECT_EQ(copy->Path, emu->Path);
    EXPECT_FALSE(copy->Aktiv);
}

TEST_F(EmulatorModel, SortByCaptionIsCaseInsensitiveAndStable)
{
    QStringList keys;
    SortProfils(keys);
    EXPECT_EQ(keys, QStringList({""}));

    AddEmulator(1, 1, "Zeta", "", gcolEmulators, true);
    AddEmulator(2, 2, "alpha", "", gcolEmulators, true);
    AddProfil(gcolProfils, "1", "b", "", false, 0);          // Zeta - b
    AddProfil(gcolProfils, "2", "load disc", "", true, 0);   // alpha - load disc
    AddProfil(gcolProfils, "1", "A", "", true, 0);           // Zeta - A
    AddProfil(gcolProfils, "2", "Load disc", "", true, 0);   // alpha - Load disc (equal)
    AddProfil(gcolProfils, "2", "Boot", "", true, 0);        // alpha - Boot
    SortProfils(keys);
    EXPECT_EQ(keys, QStringList({"", "5", "2", "4", "3", "1"}));
}

TEST_F(EmulatorModel, CaptionOfMissingProfilOrEmulatorIsReported)
{
    AddProfil(gcolProfils, "9", "orphan", "", true, 0);
    bool ok = true;
    EXPECT_EQ(GetProfilName(gcolEmulators, gcolProfils, "1", &ok), QStringLiteral(" - orphan"));
    EXPECT_FALSE(ok);
    GetProfilName(gcolEmulators, gcolProfils, "2", &ok);
    EXPECT_FALSE(ok);
}

} // namespace
} // namespace tv
