#include "catalogue/emulators/frmwizard.h"
#include "catalogue/core/modatari.h"
#include "catalogue/core/modglobals.h"
#include "catalogue/emulators/modemulator.h"
#include "platform/gui/msgbox.h"
#include "savedglobals.h"

#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QWindow>
#include <gtest/gtest.h>

namespace tv {
namespace {

class FirstRunWizard : public ::testing::Test {
protected:
    void SetUp() override
    {
        InitProgramValues();
        for (int type = 1; type <= 3; ++type) CreateDefaultEmulator(type, type, gcolEmulators, gcolProfils, true);
        gaExtProfil = QStringList(11);
        gtProfilDefault = "1";
        gtDialogPath.clear();
        gtDBPath = dir.filePath("cat.mdb");
        SetMsgBoxHook([this](const QString& prompt, int, const QString&) {
            messages << prompt;
            return int(vbOK);
        });
        host.NewDB = [this] { return newDbResult; };
        host.AddFile = [this] { log << "file " + gtDialogPath; };
        host.AddDir = [this] { log << "dir"; };
        form = std::make_unique<frmWizard>(host);
        form->Form_Load();
    }
    void TearDown() override
    {
        form.reset();
        SetMsgBoxHook(nullptr);
    }
    // The wizard shown and active, as the user meets it: keys go to its window.
    QWindow* ShowActive()
    {
        form->show();
        QApplication::setActiveWindow(form.get());
        return QTest::qWaitForWindowActive(form.get()) ? form->windowHandle() : nullptr;
    }

    test::SavedEmulatorGlobals saved;
    QTemporaryDir dir;
    QStringList messages, log;
    bool newDbResult = false;
    WizardHost host;
    std::unique_ptr<frmWizard> form;
};

TEST_F(FirstRunWizard, StepsForwardAndBack)
{
    EXPECT_EQ(form->lblStep->text(), QStringLiteral("Schritt: 1 / 5"));
    form->cmdNext->click();   // the save dialog was cancelled
    EXPECT_EQ(form->Step(), 1);
    newDbResult = true;
    form->cmdNext->click();
    EXPECT_EQ(form->Step(), 2);
    EXPECT_FALSE(form->cmdBack->isEnabled());
    EXPECT_EQ(form->cboEmulators->count(), 3);
    EXPECT_EQ(form->cboEmulators->currentText(), QStringLiteral("Altirra"));
    form->cmdNext->click();
    EXPECT_TRUE(form->cmdBack->isEnabled());
    form->cmdBack->click();
    EXPECT_EQ(form->Step(), 2);
    form->cmdNext->click();

    form->txtEmulPath->setText(dir.filePath("missing"));
    form->cmdNext->click();
    EXPECT_EQ(form->Step(), 3);
    ASSERT_EQ(messages.size(), 1);
    EXPECT_TRUE(messages[0].startsWith(QStringLiteral("Datei nicht gefunden: ")));
    form->txtEmulPath->clear();
    form->cmdNext->click();
    EXPECT_EQ(form->Step(), 4);
    EXPECT_TRUE(form->fraStep[4]->isVisibleTo(form.get()));
    EXPECT_FALSE(form->fraStep[3]->isVisibleTo(form.get()));

    form->cmdAddFile->click();
    form->cmdAddFolder->click();
    EXPECT_EQ(log, (QStringList{"file " + dir.path() + "/", "dir"}));
    EXPECT_EQ(form->Step(), 4);
    form->cmdNext->click();
    EXPECT_EQ(form->cmdNext->text(), QStringLiteral("Starten"));
    EXPECT_FALSE(form->cmdCancel->isVisibleTo(form.get()));
}

TEST_F(FirstRunWizard, FinishingAppliesTheChosenEmulator)
{
    const QString program = dir.filePath("atari++");
    QFile(program).open(QIODevice::WriteOnly);
    const QString altirraPath = (*gcolEmulators.item(1))->Path;
    newDbResult = true;
    form->cmdNext->click();
    form->cboEmulators->setCurrentIndex(1);   // Atari++
    form->cmdNext->click();
    form->txtEmulPath->setText(program);
    form->cmdNext->click();
    form->cmdNext->click();
    form->cmdNext->click();
    EXPECT_EQ(form->result(), int(QDialog::Accepted));
    EXPECT_EQ(gtProfilDefault, QStringLiteral("6"));
    EXPECT_EQ((*gcolEmulators.item(2))->Path, program);
    EXPECT_EQ((*gcolEmulators.item(1))->Path, altirraPath);
    for (const auto& entry : gcolProfils) EXPECT_EQ(entry.value->Aktiv, entry.value->EmulKey == "2") << entry.key.toStdString();
    for (int i = 0; i < 11; ++i) {
        // A .PRO image gets Atari++'s own disc profile, whose start says that Atari++ cannot read it.
        const std::optional<int> expected = i == 4 ? 6 : DefaultProfilForFileType(2, i);
        EXPECT_EQ(gaExtProfil[i], expected ? QString::number(*expected) : QString());
    }
}

// After the wizard every emulated file type has a profile of the chosen emulator, which stays
// active: a .PRO image too, so that its start speaks of the chosen emulator.
TEST_F(FirstRunWizard, EveryFileTypeGetsAnActiveProfilOfTheChosenEmulator)
{
    for (int type = 1; type <= 3; ++type) {
        SCOPED_TRACE(type);
        gcolEmulators.clear();
        gcolProfils.clear();
        for (int t = 1; t <= 3; ++t) CreateDefaultEmulator(t, t, gcolEmulators, gcolProfils, true);
        form = std::make_unique<frmWizard>(host);
        form->Form_Load();
        newDbResult = true;
        form->cmdNext->click();
        form->cboEmulators->setCurrentIndex(type - 1);
        for (int step = 2; step <= 5; ++step) form->cmdNext->click();
        ASSERT_EQ(gaExtProfil.size(), 11);
        for (int i = 0; i < 11; ++i) {
            SCOPED_TRACE(gaEmulExt.value(i).toStdString());
            const ProfilPtr* profil = gcolProfils.item(gaExtProfil[i]);
            ASSERT_TRUE(profil);
            EXPECT_EQ((*profil)->EmulKey, QString::number(type));
            EXPECT_TRUE((*profil)->Aktiv);
        }
        if (type == 3) {
            EXPECT_EQ(gaExtProfil[4], QStringLiteral("9"));  // atari800 reads a .PRO as a disc
        }
        if (type == 2) {
            EXPECT_EQ(gaExtProfil[4], QStringLiteral("6"));
        }
    }
}

TEST_F(FirstRunWizard, CancelAppliesNothing)
{
    const QStringList paths{(*gcolEmulators.item(1))->Path, (*gcolEmulators.item(2))->Path};
    newDbResult = true;
    form->cmdNext->click();
    form->cmdNext->click();
    form->cmdNext->click();
    form->cmdCancel->click();
    EXPECT_EQ(gtProfilDefault, QStringLiteral("1"));
    EXPECT_EQ(gaExtProfil, QStringList(11));
    for (const auto& entry : gcolProfils) EXPECT_TRUE(entry.value->Aktiv);
    EXPECT_EQ((*gcolEmulators.item(1))->Path, paths[0]);
}

// A step reached by "Weiter" takes the keys at once: the arrow keys choose the emulator on
// step 2, and the path is typed on step 3 without tabbing back.
TEST_F(FirstRunWizard, KeysGoToTheStepReachedByWeiter)
{
    QWindow* window = ShowActive();
    ASSERT_TRUE(window);
    newDbResult = true;
    QTest::keyClick(window, Qt::Key_Return);
    ASSERT_EQ(form->Step(), 2);
    ASSERT_EQ(form->cboEmulators->currentIndex(), 0);
    QTest::keyClick(window, Qt::Key_Down);
    EXPECT_EQ(form->cboEmulators->currentIndex(), 1);
    QTest::keyClick(window, Qt::Key_Return);
    ASSERT_EQ(form->Step(), 3);
    for (const char c : {'/', 'x'}) QTest::keyClick(window, c);
    EXPECT_EQ(form->txtEmulPath->text(), QStringLiteral("/x"));
}

} // namespace
} // namespace tv

namespace tv {
namespace {

// Return is "Weiter" on every step, wherever the focus is: after a path typed on step 3,
// when "Zurück" holds the focus, and on the import step.
TEST_F(FirstRunWizard, ReturnGoesForwardOnEveryStep)
{
    const QString program = dir.filePath("atari800");
    QFile(program).open(QIODevice::WriteOnly);
    QWindow* window = ShowActive();
    ASSERT_TRUE(window);
    newDbResult = true;
    QTest::keyClick(window, Qt::Key_Return);
    ASSERT_EQ(form->Step(), 2);
    QTest::keyClick(window, Qt::Key_Return);
    ASSERT_EQ(form->Step(), 3);

    // The user tabs back into the path field, types the program and presses Return.
    while (QApplication::focusWidget() != form->txtEmulPath && QApplication::focusWidget() != nullptr) {
        QTest::keyClick(window, Qt::Key_Backtab);
        if (QApplication::focusWidget() == form->cmdNext) break;   // went round: no path field
    }
    ASSERT_EQ(QApplication::focusWidget(), form->txtEmulPath);
    for (const QChar c : program) QTest::keyClick(window, c.toLatin1());
    EXPECT_EQ(form->txtEmulPath->text(), program);
    QTest::keyClick(window, Qt::Key_Return);
    ASSERT_EQ(form->Step(), 4);
    EXPECT_NE(QApplication::focusWidget(), form->cmdBack);
    QTest::keyClick(window, Qt::Key_Return);
    EXPECT_EQ(form->Step(), 5);
    EXPECT_TRUE(log.isEmpty());   // Return imported nothing

    // "Zurück" with the focus still goes back by Space, yet Return goes on.
    form->cmdBack->setFocus(Qt::TabFocusReason);
    QTest::keyClick(window, Qt::Key_Space);
    ASSERT_EQ(form->Step(), 4);
    ASSERT_EQ(QApplication::focusWidget(), form->cmdBack);
    QTest::keyClick(window, Qt::Key_Return);
    EXPECT_EQ(form->Step(), 5);
    QTest::keyClick(window, Qt::Key_Return);   // "Starten"
    EXPECT_EQ(form->result(), int(QDialog::Accepted));
    EXPECT_EQ((*gcolEmulators.item(1))->Path, program);
}

} // namespace
} // namespace tv
