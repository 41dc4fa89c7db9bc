#include "catalogue/emulators/frmeditprofil.h"
#include "platform/gui/msgbox.h"

#include <QCheckBox>
#include <QLineEdit>
#include <gtest/gtest.h>

namespace tv {
namespace {

class ProfileEditor : public ::testing::Test {
protected:
    void SetUp() override
    {
        SetMsgBoxHook([this](const QString& prompt, int, const QString&) {
            messages << prompt;
            return int(vbOK);
        });
        altirra = AddEmulator(1, 1, "Altirra", "Altirra.exe", emulators, true);
        atari800 = AddEmulator(2, 3, "Atari800", "atari800", emulators, true);
        AddProfil(profils, "1", "Run", "-run=@=1", true, 1);
        AddProfil(profils, "1", "Boot", "", false, 2);
        AddProfil(profils, "2", "Start", "", true, 3);
        giProfilCounter = 10;
    }
    void TearDown() override
    {
        if (form) form->reject();
        SetMsgBoxHook(nullptr);
    }

    frmEditProfil& Open(EmulatorPtr emu, const QString& key, bool copy, const QString& mainKey = "1")
    {
        if (form) form->reject();
        form = std::make_unique<frmEditProfil>();
        form->ActEmul = std::move(emu);
        form->ActProfilsCol = &profils;
        form->ActProfilKey = key;
        form->MainProfilKey = mainKey;
        form->Copy = copy;
        form->Form_Load();
        return *form;
    }

    EmulatorCollection emulators;
    ProfilCollection profils;
    EmulatorPtr altirra, atari800;
    QStringList messages;
    std::unique_ptr<frmEditProfil> form;
};

TEST_F(ProfileEditor, NewProfileTickedAsDefault)
{
    frmEditProfil& f = Open(altirra, "", false);
    EXPECT_EQ(f.windowTitle(), QStringLiteral("Neues Profil"));
    EXPECT_TRUE(f.chkDefEmul->isEnabled());
    f.txtName->setText("Fast");
    f.chkDefEmul->setChecked(true);
    f.cmdOk_Click();
    EXPECT_TRUE(messages.isEmpty());
    EXPECT_TRUE(f.Changed);
    EXPECT_EQ(f.ActProfilKey, QStringLiteral("11"));
    EXPECT_EQ(f.MainProfilKey, QStringLiteral("11"));
    const clsProfil& p = **profils.item(QStringLiteral("11"));
    EXPECT_EQ(p.EmulKey, QStringLiteral("1"));
    EXPECT_EQ(p.Name, QStringLiteral("Fast"));
    EXPECT_TRUE(p.Options.isEmpty());
    EXPECT_TRUE(p.Aktiv);
}

TEST_F(ProfileEditor, RenameAndUnchangedName)
{
    frmEditProfil& f = Open(altirra, "1", false);
    EXPECT_TRUE(f.chkDefEmul->isChecked());
    EXPECT_FALSE(f.chkDefEmul->isEnabled());   // the default keeps its mark
    EXPECT_EQ(f.txtName->text(), QStringLiteral("Run"));
    f.cmdOk_Click();
    EXPECT_FALSE(f.Changed);

    frmEditProfil& g = Open(altirra, "2", false);
    g.txtName->setText("boot");   // differs only in letter case: a different name
    g.cmdOk_Click();
    EXPECT_TRUE(g.Changed);
    EXPECT_EQ(g.ActProfilKey, QStringLiteral("2"));
    EXPECT_EQ((*profils.item(QStringLiteral("2")))->Name, QStringLiteral("boot"));
    EXPECT_EQ(profils.count(), 3);
    EXPECT_EQ(g.MainProfilKey, QStringLiteral("1"));
}

TEST_F(ProfileEditor, DuplicateNamesPerEmulator)
{
    frmEditProfil& f = Open(altirra, "2", false);
    f.txtName->setText("Run");
    f.cmdOk_Click();
    EXPECT_EQ(messages, QStringList{QStringLiteral("Dieser Name besteht schon!")});
    EXPECT_FALSE(f.Changed);
    EXPECT_EQ((*profils.item(QStringLiteral("2")))->Name, QStringLiteral("Boot"));

    // A copy whose name was not changed is refused too.
    messages.clear();
    frmEditProfil& c = Open(altirra, "1", true);
    EXPECT_FALSE(c.chkDefEmul->isChecked());
    EXPECT_EQ(c.windowTitle(), QStringLiteral("Neues Profil"));
    c.cmdOk_Click();
    EXPECT_EQ(messages.size(), 1);
    EXPECT_EQ(profils.count(), 3);
}

TEST_F(ProfileEditor, SilentCopy)
{
    frmEditProfil f;
    f.ActEmul = atari800;
    f.ActProfilsCol = &profils;
    f.ActProfilKey = "1";
    f.Copy = true;
    EXPECT_TRUE(f.SaveProfil("Run", true));   // same name under another emulator
    EXPECT_TRUE(f.Changed);
    EXPECT_EQ(f.ActProfilKey, QStringLiteral("11"));
    EXPECT_EQ((*profils.item(QStringLiteral("11")))->EmulKey, QStringLiteral("2"));
    EXPECT_FALSE(f.SaveProfil("Start", true));   // taken: refused without a message
    EXPECT_TRUE(messages.isEmpty());
    EXPECT_EQ(profils.count(), 4);
}

TEST_F(ProfileEditor, NameThatWouldBreakTheSettingsIsRefused)
{
    for (const char* key : {"", "2"}) {
        frmEditProfil& f = Open(altirra, key, false);
        f.txtName->setText("a=@=b");
        f.cmdOk_Click();
        EXPECT_FALSE(f.Changed);
    }
    EXPECT_EQ(messages.size(), 2);
    EXPECT_EQ((*profils.item(QStringLiteral("2")))->Name, QStringLiteral("Boot"));
    EXPECT_EQ(profils.count(), 3);
}

} // namespace
} // namespace tv
