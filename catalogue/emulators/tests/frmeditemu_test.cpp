#include "catalogue/emulators/frmeditemu.h"
#include "platform/gui/msgbox.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

namespace tv {
namespace {

class EmulatorEditor : public ::testing::Test {
protected:
    void SetUp() override
    {
        giProfilCounter = 0;
        SetMsgBoxHook([this](const QString& prompt, int style, const QString& title) {
            messages << prompt;
            EXPECT_EQ(style, vbInformation);
            EXPECT_EQ(title, QStringLiteral("Tovarin"));
            return int(vbOK);
        });
        program = dir.filePath(QStringLiteral("atari800"));
        QFile f(program);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        AddEmulator(1, 1, "Altirra", "Altirra.exe", emulators, true);
        AddEmulator(2, 3, "Atari800", program, emulators, true);
        AddEmulator(5, 2, "Atari++", "atari++", emulators, false);
    }
    void TearDown() override
    {
        if (form) form->reject();
        SetMsgBoxHook(nullptr);
    }

    // Opens the editor as EditEmulator does, fills in the widgets and presses OK.
    void Run(const QString& key, bool copy, const QString& name, const QString& path, int type = -1,
             bool defaults = false)
    {
        if (form) form->reject();
        form = std::make_unique<frmEditEmu>();
        form->ActEmuCol = &emulators;
        form->ActProfilCol = &profils;
        form->Key = key;
        form->Copy = copy;
        form->Form_Load();
        if (key.isEmpty()) {
            EXPECT_EQ(form->cboPath->currentText(), QString());
        }
        form->txtName->setText(name);
        form->cboPath->setEditText(path);
        if (type >= 0) form->cboTyp->setCurrentIndex(form->cboTyp->findData(type));
        form->chkDefault->setChecked(defaults);
        form->cmdOk_Click();
    }

    QTemporaryDir dir;
    QString program;
    EmulatorCollection emulators;
    ProfilCollection profils;
    QStringList messages;
    std::unique_ptr<frmEditEmu> form;
};

TEST_F(EmulatorEditor, NewEmulatorGetsKeyAboveTheHighest)
{
    Run("", false, "Mine", dir.path(), 3);   // a folder is an existing path too
    EXPECT_TRUE(messages.isEmpty());
    EXPECT_TRUE(form->Changed);
    EXPECT_EQ(form->Key, QStringLiteral("6"));
    const clsEmulator& emu = **emulators.item(QStringLiteral("6"));
    EXPECT_EQ(emu.Name, QStringLiteral("Mine"));
    EXPECT_EQ(emu.Path, dir.path());
    EXPECT_EQ(emu.EmulType, 3);
    EXPECT_TRUE(emu.Aktiv);
    EXPECT_TRUE(profils.isEmpty());
    EXPECT_EQ(form->windowTitle(), QStringLiteral("Neuer Emulator"));
}

TEST_F(EmulatorEditor, NewEmulatorWithDefaultProfilesOfItsType)
{
    giProfilCounter = 13;
    Run("", false, "My Altirra", program, 1, true);
    ASSERT_TRUE(form->Changed);
    const clsEmulator& emu = **emulators.item(QStringLiteral("6"));
    EXPECT_EQ(emu.Name, QStringLiteral("My Altirra"));
    EXPECT_EQ(emu.Path, program);
    ASSERT_EQ(profils.count(), 5);
    EXPECT_EQ((*profils.item(1))->Key, QStringLiteral("14"));
    EXPECT_EQ((*profils.item(1))->Name, QStringLiteral("Load disc"));
    EXPECT_EQ((*profils.item(5))->EmulKey, QStringLiteral("6"));
}

TEST_F(EmulatorEditor, CopyTakesTheTemplateButNoDefaultProfiles)
{
    Run("2", true, "Atari800 copy", program, -1, true);
    EXPECT_TRUE(form->chkDefault->isHidden());
    ASSERT_TRUE(form->Changed);
    EXPECT_EQ(form->Key, QStringLiteral("6"));
    const clsEmulator& emu = **emulators.item(QStringLiteral("6"));
    EXPECT_EQ(emu.EmulType, 3);
    EXPECT_EQ(emu.Path, program);
    EXPECT_TRUE(profils.isEmpty());
    EXPECT_EQ((*emulators.item(QStringLiteral("2")))->Name, QStringLiteral("Atari800"));
}

TEST_F(EmulatorEditor, EditingKeepsAnUnchangedMissingPathAndStoresTheType)
{
    Run("1", false, "Altirra", "Altirra.exe", 2);
    EXPECT_TRUE(messages.isEmpty());
    EXPECT_TRUE(form->chkDefault->isHidden());
    EXPECT_TRUE(form->Changed);
    EXPECT_EQ(form->Key, QStringLiteral("1"));
    EXPECT_EQ((*emulators.item(QStringLiteral("1")))->EmulType, 2);
    EXPECT_EQ(emulators.count(), 3);

    Run("1", false, "Altirra", "Altirra.exe");
    EXPECT_FALSE(form->Changed);
}

TEST_F(EmulatorEditor, RefusalsKeepTheWindowOpen)
{
    struct Case {
        const char* name;
        QString key;
        QString newName;
        QString path;
        QString message;
    } const kCases[] = {
        {"empty name", "", "", program, "Bitte geben Sie einen Emulator an!"},
        {"name of another emulator", "1", "Atari++", "Altirra.exe", "Dieser Name besteht schon!"},
        {"empty path", "1", "Altirra", "", "Ungültiger Emulator-Pfad: "},
        {"new path missing", "2", "Atari800", dir.filePath("gone"), "Ungültiger Emulator-Pfad: " + dir.filePath("gone")},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.name);
        messages.clear();
        Run(c.key, false, c.newName, c.path);
        EXPECT_EQ(messages, QStringList{c.message});
        EXPECT_FALSE(form->Changed);
        EXPECT_EQ(form->result(), 0);
    }
    EXPECT_EQ(emulators.count(), 3);
    EXPECT_EQ((*emulators.item(QStringLiteral("2")))->Path, program);
}

TEST_F(EmulatorEditor, NamesDifferingInCaseAreDistinct)
{
    Run("", false, "ALTIRRA", program);
    EXPECT_TRUE(messages.isEmpty());
    EXPECT_TRUE(form->Changed);
}

TEST_F(EmulatorEditor, PathListHoldsEachPathOnce)
{
    AddEmulator(7, 1, "Twin", program, emulators, true);
    Run("2", false, "Atari800", program);
    QStringList paths;
    for (int i = 0; i < form->cboPath->count(); ++i) paths << form->cboPath->itemText(i);
    EXPECT_EQ(paths, QStringList({"Altirra.exe", program, "atari++"}));
    EXPECT_EQ(form->cboTyp->count(), 4);
    EXPECT_EQ(form->cboTyp->currentData().toInt(), 3);
}

// Typed as a user types: the path box completes a known path, and one Return takes the
// completion and OK together.
TEST_F(EmulatorEditor, OneReturnTakesTheCompletedPathAndCloses)
{
    form = std::make_unique<frmEditEmu>();
    form->ActEmuCol = &emulators;
    form->ActProfilCol = &profils;
    form->Key = QStringLiteral("1");
    form->Form_Load();
    form->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
    QApplication::setActiveWindow(form.get());
    form->cboPath->setFocus(Qt::TabFocusReason);
    form->cboPath->lineEdit()->selectAll();
    const QString typed = program.chopped(5);  // ".../ata"
    for (const QChar c : typed) QTest::keyClick(form->windowHandle(), char(c.unicode()));
    ASSERT_EQ(form->cboPath->currentText(), program);
    QTest::keyClick(form->windowHandle(), Qt::Key_Return);
    EXPECT_FALSE(form->isVisible());
    EXPECT_TRUE(messages.isEmpty()) << messages.join(QLatin1Char('|')).toStdString();
    EXPECT_EQ((*emulators.item(QStringLiteral("1")))->Path, program);
}

} // namespace
} // namespace tv
