#include "catalogue/emulators/frmeditparams.h"
#include "platform/gui/msgbox.h"

#include <QComboBox>
#include <QLabel>
#include <gtest/gtest.h>

namespace tv {
namespace {

class OptionListEditor : public ::testing::Test {
protected:
    void SetUp() override
    {
        SetMsgBoxHook([this](const QString& prompt, int, const QString&) {
            messages << prompt;
            return int(vbOK);
        });
        AddEmulator(1, 1, "Altirra", "Altirra.exe", emulators, true);
        AddEmulator(2, 3, "Atari800", "atari800", emulators, true);
        AddProfil(profils, "1", "Run", "-run=@=1@@@-pal=@=0@@@/fast=@=1", true, 1);
        AddProfil(profils, "1", "Empty", "", true, 2);
        AddProfil(profils, "2", "Other", "-xl=@=1", true, 3);
        AddProfil(profils, "1", "Boot", "-run=@=1@@@<$input$>=@=1", true, 4);
    }
    void TearDown() override
    {
        if (form) form->reject();
        SetMsgBoxHook(nullptr);
    }

    frmEditParams& Open(const QString& key, const QString& parameter, bool copy = false)
    {
        if (form) form->reject();
        form = std::make_unique<frmEditParams>();
        form->ActEmulCol = &emulators;
        form->ActProfilCol = &profils;
        form->ActProfilKey = key;
        form->Parameter = parameter;
        form->Copy = copy;
        form->Form_Load();
        return *form;
    }
    QString Options(const QString& key) { return (*profils.item(key))->Options; }
    static QStringList Items(const QComboBox* box)
    {
        QStringList out;
        for (int i = 0; i < box->count(); ++i) out << box->itemText(i);
        return out;
    }

    EmulatorCollection emulators;
    ProfilCollection profils;
    QStringList messages;
    std::unique_ptr<frmEditParams> form;
};

TEST_F(OptionListEditor, OffersTheEmulatorsEntriesAndPlaceholdersOnce)
{
    frmEditParams& f = Open("3", "");
    EXPECT_EQ(f.windowTitle(), QStringLiteral("Neuer Parameter"));
    EXPECT_EQ(f.cboParam->currentText(), QString());
    EXPECT_EQ(Items(f.cboParam), (QStringList{"-xl", "\"<$filepath$>\"", "<$input$>"}));

    frmEditParams& g = Open("1", "-pal");
    EXPECT_EQ(g.windowTitle(), QStringLiteral("Parameter"));
    EXPECT_EQ(g.lblProfil->text(), QStringLiteral("Altirra - Run"));
    EXPECT_EQ(Items(g.cboParam), (QStringList{"-run", "-pal", "/fast", "<$input$>", "\"<$filepath$>\""}));
    EXPECT_EQ(g.cboParam->currentText(), QStringLiteral("-pal"));
}

TEST_F(OptionListEditor, FirstEntryOfAnEmptyListAndAppendedEntries)
{
    frmEditParams& f = Open("2", "");
    f.cboParam->setEditText("-basic");
    f.cmdOk_Click();
    EXPECT_TRUE(f.Changed);
    EXPECT_EQ(f.Parameter, QStringLiteral("-basic"));
    EXPECT_EQ(Options("2"), QStringLiteral("-basic=@=1"));

    frmEditParams& g = Open("1", "");
    g.cboParam->setEditText("-ntsc");
    g.cmdOk_Click();
    EXPECT_EQ(Options("1"), QStringLiteral("-run=@=1@@@-pal=@=0@@@/fast=@=1@@@-ntsc=@=1"));
}

TEST_F(OptionListEditor, ChangedEntryKeepsItsPlaceAndFlag)
{
    frmEditParams& f = Open("1", "-pal");
    f.cboParam->setEditText("-secam");
    f.cmdOk_Click();
    EXPECT_TRUE(f.Changed);
    EXPECT_EQ(Options("1"), QStringLiteral("-run=@=1@@@-secam=@=0@@@/fast=@=1"));

    frmEditParams& g = Open("1", "-run");
    g.cmdOk_Click();   // unchanged: nothing stored
    EXPECT_FALSE(g.Changed);

    frmEditParams& h = Open("1", "-run");
    h.cboParam->setEditText("/fast");
    h.cmdOk_Click();
    EXPECT_FALSE(h.Changed);
    EXPECT_EQ(messages, QStringList{QStringLiteral("Dieser Parameter besteht schon!")});
    EXPECT_EQ(Options("1"), QStringLiteral("-run=@=1@@@-secam=@=0@@@/fast=@=1"));
}

TEST_F(OptionListEditor, SilentPasteAddsOrRefusesADuplicate)
{
    frmEditParams f;
    f.ActEmulCol = &emulators;
    f.ActProfilCol = &profils;
    f.ActProfilKey = "3";
    f.Copy = true;
    f.Parameter = "-run";
    EXPECT_TRUE(f.SaveParam("-run"));
    EXPECT_EQ(Options("3"), QStringLiteral("-xl=@=1@@@-run=@=1"));
    f.Parameter = "-xl";
    EXPECT_FALSE(f.SaveParam("-xl"));
    EXPECT_EQ(messages.size(), 1);
}

TEST_F(OptionListEditor, EntryMissingFromTheListIsAddedNotWrittenOverTheFirst)
{
    frmEditParams& f = Open("1", "-gone");
    f.cboParam->setEditText("-new");
    f.cmdOk_Click();
    EXPECT_EQ(Options("1"), QStringLiteral("-run=@=1@@@-pal=@=0@@@/fast=@=1@@@-new=@=1"));

    frmEditParams& g = Open("2", "-gone");
    g.cboParam->setEditText("-new");
    g.cmdOk_Click();
    EXPECT_EQ(Options("2"), QStringLiteral("-new=@=1"));
}

TEST_F(OptionListEditor, RefusesEmptyAndSeparatorTexts)
{
    frmEditParams& f = Open("1", "");
    f.cmdOk_Click();
    f.cboParam->setEditText("-a@@@-b");
    f.cmdOk_Click();
    EXPECT_EQ(messages.size(), 2);
    EXPECT_EQ(messages[0], QStringLiteral("Bitte geben Sie einen Parameter an!"));
    EXPECT_FALSE(f.Changed);
    EXPECT_EQ(Options("1"), QStringLiteral("-run=@=1@@@-pal=@=0@@@/fast=@=1"));
}

TEST_F(OptionListEditor, PickedParameterIsStoredAsItComes)
{
    frmEditParams& f = Open("3", "");
    f.PickParameterFn = [](QWidget*) { return QStringLiteral("-image <$Filepath$>"); };
    f.cmdParam_Click();
    EXPECT_EQ(f.cboParam->currentText(), QStringLiteral("-image <$Filepath$>"));
    f.cmdOk_Click();
    EXPECT_EQ(Options("3"), QStringLiteral("-xl=@=1@@@-image <$Filepath$>=@=1"));
}

} // namespace
} // namespace tv
