#include "archivefixtures.h"
#include "catalogue/core/modglobals.h"
#include "catalogue/import/frmnewpath.h"
#include "platform/gui/dialogs.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QTest>
#include <QPushButton>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace tv {

TEST(frmNewPath, OkChecksBothFolders)
{
    test::AppFolder app;
    QTemporaryDir dir;
    const QString existing = dir.path();
    test::WriteFile(dir.filePath("file.txt"), "x");
    struct Case {
        const char* name;
        QString oldText, newText;
        QString box;  // empty: accepted
    };
    const Case kCases[] = {
        {"empty old folder", "", existing, ""},
        {"beginning of an offered folder", "/games/Ata", existing, ""},
        {"other letter case", "/GAMES/atari", existing, "Ungültiger Dateipfad: /GAMES/atari"},
        {"new folder missing", "", existing + "/none", "Bitte wählen Sie einen Ordner aus"},
        {"new folder is a file", "", dir.filePath("file.txt"), "Bitte wählen Sie einen Ordner aus"},
        {"new folder empty", "", "", "Bitte wählen Sie einen Ordner aus"},
    };
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.name);
        app.boxes.clear();
        frmNewPath f;
        f.OldFolders = {"/disks", "/games/Atari"};
        f.ActFolders = {existing};
        f.Form_Load();
        EXPECT_EQ(f.findChild<QComboBox*>("cboOldPath")->count(), 2);
        f.findChild<QComboBox*>("cboOldPath")->setEditText(c.oldText);
        f.findChild<QComboBox*>("cboNewPath")->setEditText(c.newText);
        f.findChild<QPushButton*>("cmdOK")->click();
        if (c.box.isEmpty()) {
            EXPECT_TRUE(app.boxes.isEmpty());
            EXPECT_EQ(f.Action, frmNewPath::kActionOK);
            EXPECT_EQ(f.NewPath, c.newText);
            EXPECT_EQ(f.OldPath, c.oldText);
            EXPECT_TRUE(gcolWindows.keyExists("frmNewPath"));  // placement stored on closing
        } else {
            EXPECT_EQ(app.boxes, QStringList{c.box});
            EXPECT_EQ(f.Action, 0);
        }
    }
}

// Typing the parent of an offered folder keeps what was typed: the whole folder is re-pointed,
// not the offered subfolder; Return does not make the typed text an offer of its own.
TEST(frmNewPath, TypedOldFolderIsNotCompletedIntoASubfolder)
{
    test::AppFolder app;
    QTemporaryDir dir;
    frmNewPath f;
    f.OldFolders = {"/games/atari/disks"};
    f.ActFolders = {dir.path()};
    f.Form_Load();
    f.show();
    QApplication::setActiveWindow(&f);
    f.findChild<QComboBox*>("cboNewPath")->setEditText(dir.path());
    QComboBox* old = f.findChild<QComboBox*>("cboOldPath");
    old->setFocus();
    QTest::keyClicks(old->lineEdit(), QStringLiteral("/games/atari"));
    EXPECT_EQ(old->currentText(), QStringLiteral("/games/atari"));
    QTest::keyClick(old->lineEdit(), Qt::Key_Return);   // the default button takes it
    EXPECT_EQ(old->count(), 1);
    EXPECT_EQ(f.Action, frmNewPath::kActionOK);
    EXPECT_TRUE(app.boxes.isEmpty()) << app.boxes.join('\n').toStdString();
    EXPECT_EQ(f.OldPath, QStringLiteral("/games/atari"));
}

TEST(frmNewPath, BrowseFillsTheComboUnlessCancelled)
{
    test::AppFolder app;
    QString answer = "/chosen";
    SetFileDialogHook([&answer](const FileDialogRequest&) { return answer; });
    frmNewPath f;
    f.Form_Load();
    f.findChild<QPushButton*>("cmdDest")->click();
    EXPECT_EQ(f.findChild<QComboBox*>("cboNewPath")->currentText(), "/chosen");
    answer.clear();
    f.findChild<QPushButton*>("cmdDest")->click();
    EXPECT_EQ(f.findChild<QComboBox*>("cboNewPath")->currentText(), "/chosen");
    f.findChild<QPushButton*>("cmdCancel")->click();
    EXPECT_EQ(f.Action, 0);
    SetFileDialogHook(nullptr);
}

} // namespace tv
