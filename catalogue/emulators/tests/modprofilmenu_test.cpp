#include "catalogue/emulators/modprofilmenu.h"
#include "controls/grid/listview.h"
#include "savedglobals.h"

#include <QMenu>
#include <gtest/gtest.h>

namespace tv {
namespace {

class ProfileMenu : public ::testing::Test {
protected:
    void SetUp() override
    {
        AddEmulator(1, 1, "Altirra", "a", gcolEmulators, true);
        AddEmulator(2, 2, "Atari++", "b", gcolEmulators, true);
        AddProfil(gcolProfils, "2", "Load program", "", true, 1);
        AddProfil(gcolProfils, "1", "Run program", "", true, 2);
        AddProfil(gcolProfils, "1", "Hidden", "", false, 3);
        AddProfil(gcolProfils, "1", "Boot", "", true, 4);

        menu.addAction("Before");
        menu.addAction("designed")->setObjectName("mnuProfil");
        menu.addSeparator();
        menu.addAction("After");
        for (const char* key : {"Name", "Key"}) pane.Columns()->Add(QString::fromLatin1(key));
        host = {&menu, &dropDown, &pane};
    }
    QStringList MenuTexts() const
    {
        QStringList out;
        for (QAction* a : menu.actions())
            out << (a->isSeparator() ? QStringLiteral("-") : a->isVisible() ? a->text() : QStringLiteral("(hidden)"));
        return out;
    }
    QStringList Column(const char* key) const
    {
        QStringList out;
        for (int r = 0; r < pane.RowCount(); ++r) out << pane.Data(QString::fromLatin1(key), r).toString();
        return out;
    }

    test::SavedEmulatorGlobals saved;
    QMenu menu, dropDown;
    vantile::ListView pane;
    ProfilMenuHost host;
};

TEST_F(ProfileMenu, ActiveProfilesInCaptionOrderInAllThreePlaces)
{
    BuildProfilMenu(host);
    const QStringList captions{"Altirra - Boot", "Altirra - Run program", "Atari++ - Load program"};
    EXPECT_EQ(MenuTexts(), (QStringList{"Before"} + captions + QStringList{"-", "After"}));
    EXPECT_EQ(menu.actions()[2]->data().toString(), QStringLiteral("Profil2"));
    EXPECT_EQ(menu.actions()[2]->property("Tag").toString(), QStringLiteral("Profil2"));
    ASSERT_EQ(dropDown.actions().size(), 3);
    EXPECT_EQ(dropDown.actions()[0]->text(), captions[0]);
    EXPECT_EQ(dropDown.actions()[2]->data().toString(), QStringLiteral("Profil1"));
    EXPECT_EQ(dropDown.actions()[2]->property("Tag").toString(), QStringLiteral("no"));
    EXPECT_EQ(Column("Name"), captions);
    EXPECT_EQ(Column("Key"), (QStringList{"Profil4", "Profil2", "Profil1"}));
    EXPECT_EQ(ProfilKeyOfEntry(dropDown.actions()[1]->data().toString()), QStringLiteral("2"));
}

TEST_F(ProfileMenu, RebuildShrinksGrowsAndEmpties)
{
    BuildProfilMenu(host);
    (*gcolProfils.item(QStringLiteral("2")))->Aktiv = false;
    BuildProfilMenu(host);
    EXPECT_EQ(MenuTexts(), (QStringList{"Before", "Altirra - Boot", "Atari++ - Load program", "-", "After"}));
    EXPECT_EQ(dropDown.actions().size(), 2);
    EXPECT_EQ(Column("Key"), (QStringList{"Profil4", "Profil1"}));

    (*gcolProfils.item(QStringLiteral("3")))->Aktiv = true;
    (*gcolProfils.item(QStringLiteral("2")))->Aktiv = true;
    BuildProfilMenu(host);
    EXPECT_EQ(MenuTexts().size(), 7);
    EXPECT_EQ(MenuTexts()[2], QStringLiteral("Altirra - Hidden"));
    EXPECT_EQ(pane.RowCount(), 4);

    // No active profile: the designed item stays, hidden; nothing else is offered.
    for (auto& entry : gcolProfils) entry.value->Aktiv = false;
    BuildProfilMenu(host);
    EXPECT_EQ(MenuTexts(), (QStringList{"Before", "(hidden)", "-", "After"}));
    EXPECT_TRUE(dropDown.actions().isEmpty());
    EXPECT_EQ(pane.RowCount(), 0);

    BuildProfilMenu({&menu, nullptr, nullptr});   // parts left out are skipped
    EXPECT_EQ(MenuTexts().size(), 4);
}

} // namespace
} // namespace tv
