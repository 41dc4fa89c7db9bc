#include "catalogue/emulators/frmoptions.h"
#include "catalogue/core/modglobals.h"
#include "catalogue/emulators/frmeditemu.h"
#include "catalogue/emulators/frmeditparams.h"
#include "catalogue/emulators/frmeditprofil.h"
#include "platform/gui/msgbox.h"
#include "savedglobals.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>
#include <gtest/gtest.h>

namespace tv {
namespace {

class OptionsWindow : public ::testing::Test {
protected:
    void SetUp() override
    {
        InitProgramValues();
        AddEmulator(1, 1, "Altirra", "a", gcolEmulators, true);
        AddEmulator(2, 3, "Atari800", "b", gcolEmulators, false);
        AddProfil(gcolProfils, "1", "Run", "-run=@=1@@@-basic=@=0@@@-run=@=0", true, 1);
        AddProfil(gcolProfils, "1", "Boot", "", true, 2);
        AddProfil(gcolProfils, "2", "Start", "-xl=@=1", false, 3);
        giProfilCounter = 3;
        gtProfilDefault = "2";
        gaExtProfil = QStringList(11);
        gaExtProfil[0] = "1";
        gaExtProfil[3] = "3";
        gtEditor = "Notepad";
        gtImportFiles = ".ATR;.XEX;.ZIP";
        gtSkipZipSize = "20";
        frmOptions::EmulChanged = frmOptions::ProfilsChanged = false;
        SetMsgBoxHook([this](const QString& prompt, int, const QString&) {
            messages << prompt;
            return int(vbOK);
        });
        Open();
    }
    void TearDown() override
    {
        form.reset();
        SetMsgBoxHook(nullptr);
    }
    void Open()
    {
        if (form) form->reject();
        form = std::make_unique<frmOptions>();
        form->Form_Load();
        form->MyTab->setCurrentIndex(0);
    }
    QTreeWidgetItem* Node(const QStringList& path)
    {
        QTreeWidgetItem* node = form->treeProfils->topLevelItem(0);
        for (const QString& text : path) {
            QTreeWidgetItem* next = nullptr;
            for (int i = 0; i < node->childCount() && !next; ++i)
                if (node->child(i)->text(0) == text) next = node->child(i);
            if (!next) return nullptr;
            node = next;
        }
        return node;
    }
    void Click(QTreeWidgetItem* node)   // the user's click on the check box
    {
        node->setCheckState(0, node->checkState(0) == Qt::Checked ? Qt::Unchecked : Qt::Checked);
    }
    static bool Ticked(const QTreeWidgetItem* node) { return node->checkState(0) == Qt::Checked; }
    clsProfil& Work(const char* key) { return **form->mcolProfils.item(QString::fromLatin1(key)); }
    void Command(const QStringList& path, int index)
    {
        form->treeProfils->setCurrentItem(Node(path));
        form->TreeCommand(index);
    }

    test::SavedEmulatorGlobals saved;
    QStringList messages;
    std::unique_ptr<frmOptions> form;
};

TEST_F(OptionsWindow, TreeShowsEmulatorsProfilesAndSortedEntries)
{
    ASSERT_EQ(form->MyTab->count(), 3);
    EXPECT_EQ(form->MyTab->tabText(2), QStringLiteral("Datenbank"));
    QTreeWidgetItem* root = form->treeProfils->topLevelItem(0);
    EXPECT_EQ(root->text(0), QStringLiteral("Emulatoren"));
    ASSERT_EQ(root->childCount(), 2);
    EXPECT_TRUE(Ticked(Node({"Altirra"})));
    EXPECT_FALSE(Ticked(Node({"Atari800"})));
    EXPECT_EQ(Node({"Altirra", "Boot"})->childCount(), 0);
    QTreeWidgetItem* run = Node({"Altirra", "Run"});
    ASSERT_EQ(run->childCount(), 3);
    EXPECT_EQ(run->child(0)->text(0), QStringLiteral("-basic"));
    EXPECT_FALSE(Ticked(run->child(0)));
    EXPECT_EQ(frmOptions::NodeLevel(run->child(0)), 3);
    form->treeProfils->setCurrentItem(root);
    EXPECT_EQ(form->cmdTree[0]->text(), QStringLiteral("Neuer Emulator"));
    EXPECT_FALSE(form->cmdTree[1]->isEnabled());
}

// Emulators, profiles and entries sort as every caption list of the program does: without
// regard to case.
TEST_F(OptionsWindow, KeysGoToThePageWhenTheWindowOpens)
{
    // Opened on the first page, the arrow keys move in the tree, not between the pages.
    form->reject();
    form = std::make_unique<frmOptions>();
    form->Form_Load();
    form->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
    ASSERT_EQ(form->MyTab->currentIndex(), 0);
    QTest::keyClick(form->windowHandle(), Qt::Key_Down);
    QTest::keyClick(form->windowHandle(), Qt::Key_Right);
    EXPECT_EQ(form->MyTab->currentIndex(), 0);
    ASSERT_TRUE(form->treeProfils->currentItem());
    EXPECT_EQ(form->treeProfils->currentItem()->text(0), QStringLiteral("Altirra"));
}

// By keys alone: Return on a node edits it as a double click does and leaves the window open;
// Ctrl+Tab and Ctrl+Bild-ab turn the pages (back with Shift or Bild-auf) also from a drop-down
// list, whose profile stays as chosen.
TEST_F(OptionsWindow, KeysEditANodeAndTurnThePages)
{
    form->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
    QApplication::setActiveWindow(form.get());
    QStringList edited;
    form->ShowModal = [&edited](QDialog& d) {
        edited << d.objectName();
        d.reject();
    };
    form->treeProfils->setFocus(Qt::TabFocusReason);
    form->treeProfils->setCurrentItem(Node({"Altirra", "Run"}));
    QTest::keyClick(form->windowHandle(), Qt::Key_Return);
    EXPECT_EQ(edited, QStringList{QStringLiteral("frmEditProfil")});
    EXPECT_TRUE(form->isVisible());

    QTest::keyClick(form->windowHandle(), Qt::Key_Tab, Qt::ControlModifier);
    ASSERT_EQ(form->MyTab->currentIndex(), 1);
    QComboBox* atr = form->cboProfils[0];
    const QString chosen = atr->currentText();
    atr->setFocus(Qt::TabFocusReason);
    QTest::keyClick(form->windowHandle(), Qt::Key_PageDown, Qt::ControlModifier);
    EXPECT_EQ(form->MyTab->currentIndex(), 2);
    EXPECT_EQ(atr->currentText(), chosen);
    QTest::keyClick(form->windowHandle(), Qt::Key_PageUp, Qt::ControlModifier);
    ASSERT_EQ(form->MyTab->currentIndex(), 1);
    atr->setFocus(Qt::TabFocusReason);
    QTest::keyClick(form->windowHandle(), Qt::Key_Tab, Qt::ControlModifier);
    EXPECT_EQ(form->MyTab->currentIndex(), 2);
    QTest::keyClick(form->windowHandle(), Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(form->MyTab->currentIndex(), 1);
    EXPECT_EQ(atr->currentText(), chosen);
    EXPECT_TRUE(form->isVisible());
}

TEST_F(OptionsWindow, ChildrenSortWithoutRegardToCase)
{
    AddProfil(gcolProfils, "1", "alpha", "-Zeta=@=1@@@-alpha=@=1@@@-Beta=@=1@@@-start=@=1", true, 4);
    AddProfil(gcolProfils, "1", "Zeta", "", true, 5);
    AddProfil(gcolProfils, "1", "beta", "", true, 6);
    AddEmulator(3, 2, "atari++", "c", gcolEmulators, true);
    giProfilCounter = 6;
    Open();
    auto texts = [](const QTreeWidgetItem* node) {
        QStringList out;
        for (int i = 0; i < node->childCount(); ++i) out << node->child(i)->text(0);
        return out;
    };
    EXPECT_EQ(texts(form->treeProfils->topLevelItem(0)),
              (QStringList{"Altirra", "atari++", "Atari800"}));
    EXPECT_EQ(texts(Node({"Altirra"})), (QStringList{"alpha", "beta", "Boot", "Run", "Zeta"}));
    EXPECT_EQ(texts(Node({"Altirra", "alpha"})), (QStringList{"-alpha", "-Beta", "-start", "-Zeta"}));
}

TEST_F(OptionsWindow, CheckRules)
{
    // The only active emulator stays on.
    Click(Node({"Altirra"}));
    EXPECT_EQ(messages, QStringList{QStringLiteral("Ein Emulator muss aktiv sein!")});
    EXPECT_TRUE(Ticked(Node({"Altirra"})));
    EXPECT_TRUE((*form->mcolEmulators.item("1"))->Aktiv);

    // Ticking a parameter of an inactive profile activates the profile, not its emulator.
    Click(Node({"Atari800", "Start", "-xl"}));   // unticks -xl
    EXPECT_EQ(Work("3").Options, QStringLiteral("-xl=@=0"));
    Click(Node({"Atari800", "Start", "-xl"}));
    EXPECT_TRUE(Work("3").Aktiv);
    EXPECT_TRUE(Ticked(Node({"Atari800", "Start"})));
    EXPECT_FALSE((*form->mcolEmulators.item("2"))->Aktiv);

    // Ticking a profile ticks its emulator; unticking the emulator unticks its profiles.
    Click(Node({"Atari800", "Start"}));
    Click(Node({"Atari800", "Start"}));
    EXPECT_TRUE(Ticked(Node({"Atari800"})));
    EXPECT_TRUE((*form->mcolEmulators.item("2"))->Aktiv);
    Click(Node({"Altirra"}));
    EXPECT_FALSE(Work("1").Aktiv);
    EXPECT_FALSE(Ticked(Node({"Altirra", "Boot"})));
    EXPECT_FALSE((*form->mcolEmulators.item("1"))->Aktiv);

    // The last active profile stays on, alone or through its emulator.
    messages.clear();
    Click(Node({"Atari800", "Start"}));
    EXPECT_TRUE(Ticked(Node({"Atari800", "Start"})));
    Click(Node({"Altirra"}));   // on again, with both its profiles
    Click(Node({"Altirra", "Run"}));
    Click(Node({"Altirra", "Boot"}));
    Click(Node({"Atari800"}));
    EXPECT_EQ(messages, (QStringList{"Ein Profil muss aktiv sein!", "Ein Profil muss aktiv sein!"}));
    EXPECT_TRUE(Work("3").Aktiv);
    EXPECT_TRUE(Ticked(Node({"Atari800"})));
    EXPECT_TRUE(frmOptions::EmulChanged && frmOptions::ProfilsChanged);

    // Nothing reaches the program on Cancel.
    form->cmdCancel->click();
    EXPECT_TRUE((*gcolEmulators.item("1"))->Aktiv);
    EXPECT_FALSE((*gcolProfils.item("3"))->Aktiv);
}

TEST_F(OptionsWindow, CopyAndPasteAProfileSilently)
{
    Command({"Altirra", "Run"}, frmOptions::kCmdCopy);
    EXPECT_FALSE(form->cmdTree[4]->isEnabled());
    form->treeProfils->setCurrentItem(Node({"Atari800"}));
    EXPECT_TRUE(form->cmdTree[4]->isEnabled());
    EXPECT_EQ(form->cmdTree[0]->text(), QStringLiteral("Neues Profil"));
    form->ShowModal = [](QDialog&) { ADD_FAILURE() << "no window expected"; };
    form->TreeCommand(frmOptions::kCmdPaste);
    const clsProfil& copy = Work("4");
    EXPECT_EQ(copy.EmulKey, QStringLiteral("2"));
    EXPECT_EQ(copy.Name, QStringLiteral("Run"));
    EXPECT_EQ(copy.Options, Work("1").Options);
    EXPECT_EQ(form->treeProfils->currentItem(), Node({"Atari800", "Run"}));

    // A second paste meets the name: the editor opens, and here is cancelled.
    bool shown = false;
    form->ShowModal = [&](QDialog& d) { shown = true; d.reject(); };
    form->treeProfils->setCurrentItem(Node({"Atari800"}));
    form->TreeCommand(frmOptions::kCmdPaste);
    EXPECT_TRUE(shown);
    EXPECT_EQ(form->mcolProfils.count(), 4);

    form->cmdOk->click();
    EXPECT_EQ(gcolProfils.count(), 4);
    EXPECT_EQ((*gcolProfils.item("4"))->Name, QStringLiteral("Run"));
}

TEST_F(OptionsWindow, PasteAnEmulatorCopiesItsProfiles)
{
    Command({"Altirra"}, frmOptions::kCmdCopy);
    form->treeProfils->setCurrentItem(form->treeProfils->topLevelItem(0));
    form->ShowModal = [](QDialog& d) {
        auto& editor = dynamic_cast<frmEditEmu&>(d);
        editor.txtName->setText("Altirra 2");
        editor.cboPath->setEditText(QDir::tempPath());   // a copy's path must exist
        editor.cmdOk_Click();
    };
    form->TreeCommand(frmOptions::kCmdPaste);
    QTreeWidgetItem* node = Node({"Altirra 2"});
    ASSERT_TRUE(node);
    EXPECT_EQ(node->childCount(), 2);
    EXPECT_EQ(form->mcolProfils.count(), 5);
    EXPECT_TRUE(frmOptions::EmulChanged);

    // Deleting "Altirra" leaves the copied "Altirra 2" on the clipboard: a name that merely
    // begins alike is no node below the deleted one.
    Command({"Altirra 2"}, frmOptions::kCmdCopy);
    Command({"Altirra"}, frmOptions::kCmdDelete);
    EXPECT_FALSE(Node({"Altirra"}));
    EXPECT_EQ(form->mtClipKey, QStringLiteral("3"));
}

TEST_F(OptionsWindow, DeletingProfilesEmulatorsAndEntries)
{
    Command({"Altirra", "Boot"}, frmOptions::kCmdCopy);
    form->maExtProfil[5] = "2";
    Command({"Altirra", "Boot"}, frmOptions::kCmdDelete);   // the default profile
    EXPECT_FALSE(Node({"Altirra", "Boot"}));
    EXPECT_EQ(form->mtProfilDefault, QStringLiteral("1"));
    EXPECT_EQ(form->maExtProfil[5], QString());
    EXPECT_TRUE(form->mtClipKey.isEmpty());

    Command({"Altirra", "Run", "-run"}, frmOptions::kCmdDelete);
    EXPECT_EQ(Work("1").Options, QStringLiteral("-basic=@=0@@@-run=@=0"));

    // Altirra is the only active emulator: refused, the emulator stays.
    messages.clear();
    Command({"Altirra"}, frmOptions::kCmdDelete);
    EXPECT_EQ(messages, QStringList{QStringLiteral("Ein Emulator muss aktiv sein!")});
    EXPECT_TRUE(Node({"Altirra"}));

    Command({"Atari800", "Start"}, frmOptions::kCmdCopy);
    Command({"Atari800"}, frmOptions::kCmdDelete);   // inactive: goes with its profile
    EXPECT_FALSE(Node({"Atari800"}));
    EXPECT_TRUE(form->mtClipKey.isEmpty());
    form->cmdOk->click();
    EXPECT_EQ(gcolEmulators.count(), 1);
    EXPECT_EQ(gcolProfils.count(), 1);
    EXPECT_EQ(gtProfilDefault, QStringLiteral("1"));
    EXPECT_EQ(gaExtProfil[3], QString());
}

// A copied profile renamed and then deleted is gone from the clipboard: nothing is pasted,
// least of all a profile without a name.
TEST_F(OptionsWindow, RenamedAndDeletedProfileIsNoLongerPasted)
{
    Command({"Altirra", "Run"}, frmOptions::kCmdCopy);
    form->ShowModal = [](QDialog& d) {
        auto& editor = dynamic_cast<frmEditProfil&>(d);
        editor.txtName->setText("Go");
        editor.cmdOk_Click();
    };
    Command({"Altirra", "Run"}, frmOptions::kCmdEdit);
    ASSERT_TRUE(Node({"Altirra", "Go"}));
    Command({"Altirra", "Go"}, frmOptions::kCmdDelete);
    ASSERT_FALSE(Node({"Altirra", "Go"}));
    EXPECT_TRUE(form->mtClipKey.isEmpty());
    form->treeProfils->setCurrentItem(Node({"Atari800"}));
    EXPECT_FALSE(form->cmdTree[4]->isEnabled());
    form->ShowModal = [](QDialog&) { ADD_FAILURE() << "no window expected"; };
    form->TreeCommand(frmOptions::kCmdPaste);
    EXPECT_EQ(form->mcolProfils.count(), 3);
    EXPECT_EQ(Node({"Atari800"})->childCount(), 1);
}

TEST_F(OptionsWindow, NewProfileAndEntryThroughTheEditors)
{
    form->ShowModal = [](QDialog& d) {
        if (auto* p = dynamic_cast<frmEditProfil*>(&d)) {
            p->txtName->setText("Fast");
            p->chkDefEmul->setChecked(true);
            p->cmdOk_Click();
        } else if (auto* e = dynamic_cast<frmEditParams*>(&d)) {
            e->cboParam->setEditText("-turbo");
            e->cmdOk_Click();
        }
    };
    Command({"Atari800"}, frmOptions::kCmdNew);
    EXPECT_EQ(form->mtProfilDefault, QStringLiteral("4"));
    ASSERT_TRUE(Node({"Atari800", "Fast"}));
    form->TreeCommand(frmOptions::kCmdNew);   // the new profile is selected
    EXPECT_EQ(Work("4").Options, QStringLiteral("-turbo=@=1"));
    EXPECT_TRUE(Node({"Atari800", "Fast", "-turbo"}));
    EXPECT_FALSE(form->cmdTree[0]->isEnabled());   // on an entry
}

TEST_F(OptionsWindow, RenamingANodeIsNoTick)
{
    form->ShowModal = [](QDialog& d) {
        auto& editor = dynamic_cast<frmEditProfil&>(d);
        editor.txtName->setText("Begin");
        editor.cmdOk_Click();
    };
    Click(Node({"Atari800", "Start", "-xl"}));
    Click(Node({"Atari800", "Start", "-xl"}));   // the profile is on, its emulator off
    Command({"Atari800", "Start"}, frmOptions::kCmdEdit);
    ASSERT_TRUE(Node({"Atari800", "Begin"}));
    EXPECT_FALSE((*form->mcolEmulators.item("2"))->Aktiv);
    EXPECT_TRUE(Work("3").Aktiv);
    EXPECT_FALSE(Ticked(Node({"Atari800"})));
}

TEST_F(OptionsWindow, ProfileAssignmentPage)
{
    form->MyTab->setCurrentIndex(1);
    ASSERT_EQ(form->cboProfils[0]->count(), 4);
    EXPECT_EQ(form->cboProfils[0]->currentText(), QStringLiteral("Altirra - Run"));
    EXPECT_EQ(form->cboProfils[11]->count(), 3);
    EXPECT_EQ(form->cboProfils[11]->currentText(), QStringLiteral("Altirra - Boot"));
    EXPECT_EQ(form->cboProfils[1]->currentIndex(), 0);

    form->cboProfils[0]->setCurrentIndex(0);
    EXPECT_EQ(form->maExtProfil[0], QString());
    form->cboProfils[11]->setCurrentIndex(2);
    EXPECT_EQ(form->mtProfilDefault, QStringLiteral("3"));

    // A profile deleted on the tree page leaves the lists at the next tab change.
    form->MyTab->setCurrentIndex(0);
    Command({"Atari800", "Start"}, frmOptions::kCmdDelete);
    form->MyTab->setCurrentIndex(1);
    EXPECT_EQ(form->cboProfils[3]->currentIndex(), 0);
    EXPECT_EQ(form->cboProfils[11]->currentText(), QStringLiteral("Altirra - Run"));
    form->cmdOk->click();
    EXPECT_EQ(gaExtProfil[0], QString());
    EXPECT_EQ(gtProfilDefault, QStringLiteral("1"));

    form = std::make_unique<frmOptions>();   // reopens on the tab last shown
    form->Form_Load();
    EXPECT_EQ(form->MyTab->currentIndex(), 1);
}

TEST_F(OptionsWindow, DatabasePage)
{
    form->cmdOk->click();   // page never shown: nothing of it changes
    EXPECT_EQ(gtImportFiles, QStringLiteral(".ATR;.XEX;.ZIP"));

    Open();
    form->MyTab->setCurrentIndex(2);
    EXPECT_EQ(form->txtSize->text(), QStringLiteral("20"));
    EXPECT_TRUE(form->chkFiles[0]->isChecked());
    EXPECT_FALSE(form->chkFiles[1]->isChecked());
    for (QCheckBox* box : form->chkFiles) box->setChecked(false);
    form->txtSize->setText("0");
    form->txtEditor->setText("notepad");
    form->cmdOk->click();
    EXPECT_EQ(gtImportFiles, QStringLiteral(".D64"));
    EXPECT_EQ(gtSkipZipSize, QString());
    EXPECT_EQ(gtEditor, QStringLiteral("Notepad"));

    Open();
    form->MyTab->setCurrentIndex(2);
    EXPECT_EQ(form->txtSize->text(), QString());
    form->chkAllFiles->click();
    form->cmdOk->click();
    EXPECT_TRUE(gtImportFiles.startsWith(QStringLiteral(".ATR;.BAS;")));
    EXPECT_TRUE(gtImportFiles.endsWith(QStringLiteral(".CAB;.TIFF;.VFL")));
}

// "Alle" is ticked exactly when every extension box shown is ticked: on opening, and as the
// boxes are ticked one by one.
TEST_F(OptionsWindow, AllBoxAgreesWithTheExtensionBoxes)
{
    form->MyTab->setCurrentIndex(2);
    EXPECT_FALSE(form->chkAllFiles->isChecked());

    gtImportFiles = ".ATR;.BAS;.COM;.CAS;.ROM;.PRO;.XEX;.DCM;.XFD;.TXT;.NFO;.DIZ;.BMP;.PNG;.JPG;.PDF;"
                    ".GIF;.EXE;.BIN;.7Z;.ZIP;.RAR;.CAB;.TIFF";
    Open();
    form->MyTab->setCurrentIndex(2);
    EXPECT_TRUE(form->chkAllFiles->isChecked());
    form->chkFiles[3]->click();
    EXPECT_FALSE(form->chkAllFiles->isChecked());
    form->chkFiles[3]->click();
    EXPECT_TRUE(form->chkAllFiles->isChecked());
    form->chkAllFiles->click();
    for (QCheckBox* box : form->chkFiles) EXPECT_FALSE(box->isChecked());
    EXPECT_FALSE(form->chkAllFiles->isChecked());
}

TEST_F(OptionsWindow, MissingViewerKeepsTheWindowOpenAndTheProgramUntouched)
{
    QTemporaryDir dir;
    form->MyTab->setCurrentIndex(2);
    Click(Node({"Atari800", "Start"}));
    form->txtEditor->setText(dir.filePath("viewer"));
    form->cmdOk->click();
    ASSERT_EQ(messages.size(), 1);
    EXPECT_TRUE(messages[0].startsWith(QStringLiteral("Datei nicht gefunden: ")));
    EXPECT_FALSE((*gcolProfils.item("3"))->Aktiv);
    EXPECT_EQ(gtEditor, QStringLiteral("Notepad"));

    form->txtEditor->setText(QString());
    form->cmdOk->click();
    EXPECT_TRUE((*gcolProfils.item("3"))->Aktiv);
}

TEST_F(OptionsWindow, ReopeningRestoresExpandedAndSelectedNodes)
{
    Node({"Altirra"})->setExpanded(true);
    form->treeProfils->setCurrentItem(Node({"Altirra", "Run"}));
    form->cmdCancel->click();
    Open();
    EXPECT_TRUE(Node({"Altirra"})->isExpanded());
    EXPECT_FALSE(Node({"Atari800"})->isExpanded());
    EXPECT_EQ(form->treeProfils->currentItem(), Node({"Altirra", "Run"}));
    EXPECT_EQ(form->cmdTree[0]->text(), QStringLiteral("Neuer Parameter"));
}

} // namespace
} // namespace tv
