#include "catalogue/core/modglobals.h"
#include "catalogue/core/modlang.h"
#include "catalogue/emulators/frmeditemu.h"
#include "catalogue/emulators/frmeditparams.h"
#include "catalogue/emulators/frmeditprofil.h"
#include "catalogue/emulators/frmoptions.h"
#include "catalogue/emulators/frmparameter.h"
#include "catalogue/emulators/frmwizard.h"
#include "catalogue/emulators/modemulator.h"
#include "platform/gui/msgbox.h"
#include "savedglobals.h"
#include "catalogue/core/tests/shippedlanguage.h"

#include <QTreeWidget>
#include <gtest/gtest.h>

namespace tv {
namespace {

// The shipped English file in use, with the default emulators and their profiles.
class ShippedEnglish : public ::testing::Test {
protected:
    void SetUp() override
    {
        InitProgramValues();
        for (int type = 1; type <= 3; ++type) CreateDefaultEmulator(type, type, gcolEmulators, gcolProfils, true);
        gaExtProfil = QStringList(11);
        gtProfilDefault = QStringLiteral("1");
        savedLangPath = gtLangPath;
        gtLangPath = QStringLiteral(TOVARIN_SHIPPED_LANG);
        gtLanguageFile = QStringLiteral("English.lng");
        SetMsgBoxHook([this](const QString& prompt, int, const QString&) {
            messages << prompt;
            return int(vbOK);
        });
        ASSERT_TRUE(LoadLanguage()) << messages.join('\n').toStdString();
    }
    void TearDown() override
    {
        SetMsgBoxHook(nullptr);
        gtLanguageFile.clear();
        gtLangPath = savedLangPath;
    }
    test::SavedEmulatorGlobals saved;
    QString savedLangPath;
    QStringList messages;
};

// Every window of the emulator settings speaks English with the shipped file: the options
// window with its three pages, the emulator, profile and parameter editors and the first-run
// wizard with all its steps.
TEST_F(ShippedEnglish, EmulatorWindowsAreEnglish)
{
    frmOptions options;
    options.Form_Load();
    EXPECT_EQ(test::UntranslatedTexts(&options), std::string());
    options.reject();

    frmEditEmu emulator;
    emulator.ActEmuCol = &gcolEmulators;
    emulator.ActProfilCol = &gcolProfils;
    emulator.Form_Load();
    EXPECT_EQ(emulator.windowTitle(), QStringLiteral("New emulator"));
    EXPECT_EQ(test::UntranslatedTexts(&emulator), std::string());
    emulator.reject();

    frmEditProfil profil;
    profil.ActEmul = *gcolEmulators.item(1);
    profil.ActProfilsCol = &gcolProfils;
    profil.Form_Load();
    EXPECT_EQ(test::UntranslatedTexts(&profil, {profil.ActEmul->Name}), std::string());
    profil.reject();

    frmEditParams params;
    params.ActEmulCol = &gcolEmulators;
    params.ActProfilCol = &gcolProfils;
    params.ActProfilKey = QStringLiteral("1");
    params.Form_Load();
    EXPECT_EQ(test::UntranslatedTexts(&params, {(*gcolEmulators.item(1))->Name + QStringLiteral(" - ")
                                     + (*gcolProfils.item(QStringLiteral("1")))->Name}),
              std::string());
    params.reject();

    WizardHost host;
    frmWizard wizard(host);
    wizard.Form_Load();
    EXPECT_EQ(test::UntranslatedTexts(&wizard), std::string());
    wizard.reject();
    EXPECT_TRUE(messages.isEmpty()) << messages.join('\n').toStdString();
}

// The parameter picker over the shipped parameter files: every description is English.
TEST_F(ShippedEnglish, ParameterDescriptionsAreEnglish)
{
    frmParameter picker;
    picker.Form_Load();
    QStringList shown;
    QTreeWidgetItem* root = picker.treeParams->topLevelItem(0);
    ASSERT_TRUE(root);
    shown << root->text(0);
    int parameters = 0;
    for (int e = 0; e < root->childCount(); ++e)
        for (int i = 0; i < root->child(e)->childCount(); ++i, ++parameters)
            shown << root->child(e)->child(i)->text(0).section(QStringLiteral(" - "), 0, 0);
    EXPECT_GT(parameters, 150);
    EXPECT_EQ(test::UntranslatedTexts(shown), std::string());
    EXPECT_EQ(test::UntranslatedTexts(&picker), std::string());
    picker.reject();
}

} // namespace
} // namespace tv
