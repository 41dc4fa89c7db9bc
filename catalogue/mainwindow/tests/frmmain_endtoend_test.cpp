// The whole program driven as a user drives it, from a first start with seeded settings to a
// restart: every message box, input box and file dialog is answered by the test, and the
// emulator is a stand-in script that records what it was given.
#include "mainwindowtest.h"

#include "catalogue/core/frminputbox.h"
#include "catalogue/core/modfiles.h"
#include "catalogue/emulators/tests/standin.h"
#include "catalogue/mainwindow/frmmain.h"
#include "catalogue/mainwindow/previewpane.h"
#include "catalogue/mainwindow/searchpane.h"
#include "catalogue/mainwindow/sidepane.h"
#include "catalogue/reports/reportview.h"
#include "catalogue/reports/simplereport.h"
#include "catalogue/tree/ctreeitem.h"
#include "catalogue/tree/usertree.h"
#include "platform/gui/dialogs.h"
#include "platform/db/recordset.h"
#include "platform/system/process.h"
#include "controls/grid/listview.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QImage>
#include <QLabel>
#include <QPushButton>
#include <QStandardPaths>
#include <QTimer>

using namespace tv;

namespace {

class EndToEnd : public MainFolderTest {
protected:
    void TearDown() override
    {
        SetFileDialogHook(nullptr);
        SetInputTextHook(nullptr);
        MainFolderTest::TearDown();
    }
    static QAction* command(frmMain& window, const char* name)
    {
        return window.findChild<QAction*>(QLatin1String(name));
    }
    static void settle()
    {
        for (int i = 0; i < 3; ++i) QApplication::processEvents();
    }
    // Selects the flat list's row of a catalogued file by name.
    static void selectFile(frmMain& window, const QString& name)
    {
        QString where = QStringLiteral("tFile='") + QString(name).replace("'", "''") + QLatin1Char('\'');
        const qint32 id = LookupField(QStringLiteral("ID"), QStringLiteral("MainFiles"), where).toLong();
        ASSERT_GT(id, 0) << name.toStdString();
        ASSERT_TRUE(window.lstMainFiles()->Find(Variant(QStringLiteral("ID")), Variant(id)));
    }
    qint32 count(const QString& sql) const
    {
        auto rs = goDB->OpenRecordset(sql);
        return rs && !rs->IsEOF() ? rs->Fields(0).Value().toLong() : -1;
    }
};

TEST_F(EndToEnd, FromFirstStartToRestart)
{
    // Seeded settings: one emulator (the stand-in) with one profile that hands over the file.
    const QString record = dir.filePath(QStringLiteral("record.txt"));
    const QString emulator = dir.filePath(QStringLiteral("emu/atari800"));
    ASSERT_TRUE(test::WriteStandIn(emulator, record));
    writeIni(QStringLiteral("[MAIN]\r\nDatabase=\r\nPreview=1\r\n\r\n[EMULATORS]\r\nEmulName1=Stand-in\r\nEmulPath1=")
             + emulator
             + QStringLiteral("\r\nEmulType1=3\r\nEmulAktiv1=1\r\n\r\n[PROFILS]\r\nProfilCount=1\r\nProfilDefault=1\r\n"
                              "ProfilEmul1=1\r\nProfilName1=Run\r\nProfilAktiv1=1\r\nProfilOptions1=<$filepath$>=@=1\r\n"
                              "\r\n[EXTENSIONS]\r\n.ATR=1\r\n.XEX=1\r\n"));
    // The unpacker in the program's tools, as an installation has it.
    ASSERT_TRUE(QDir().mkpath(gtToolsPath));
    ASSERT_TRUE(QFile::link(QStandardPaths::findExecutable(QStringLiteral("7za")), gtToolsPath + QStringLiteral("7za")));
    // The collection: a disk image, a program, a text, a picture, and a ZIP holding a disk image.
    const QByteArray atr = QByteArray("\x96\x02", 2) + QByteArray(398, 'a');
    ASSERT_TRUE(QDir().mkpath(dir.filePath(QStringLiteral("coll/zip"))));
    writeFile(QStringLiteral("coll/GAME.ATR"), atr);
    writeFile(QStringLiteral("coll/O'BRIEN.XEX"), "\xff\xff o'brien");
    writeFile(QStringLiteral("coll/README.TXT"), "Hello Atari\r\nSecond line\r\n");
    QImage picture(32, 24, QImage::Format_RGB32);
    picture.fill(Qt::red);
    ASSERT_TRUE(picture.save(dir.filePath(QStringLiteral("coll/PIC.PNG"))));
    writeFile(QStringLiteral("coll/zip/INNER.ATR"), atr);
    ASSERT_EQ(RunAndWait(QStringLiteral("7za"), {"a", "-tzip", dir.filePath("coll/COLL.ZIP"), "INNER.ATR"}, 20000, false,
                         nullptr, dir.filePath(QStringLiteral("coll/zip"))),
              0);
    ASSERT_TRUE(QDir(dir.filePath(QStringLiteral("coll/zip"))).removeRecursively());

    QString dialogAnswer;
    SetFileDialogHook([&dialogAnswer](const FileDialogRequest&) { return dialogAnswer; });
    QStringList inputAnswers;
    SetInputTextHook([&inputAnswers](const QString&, const QString&, const QString&) {
        return inputAnswers.isEmpty() ? QString() : inputAnswers.takeFirst();
    });
    answer = vbYes;
    const QString catalogue = dir.filePath(QStringLiteral("road.MDB"));
    {
        frmMain window;
        window.show();
        settle();
        EXPECT_EQ(wizards, 0);
        EXPECT_FALSE(goDB);

        // A new catalogue, then the folder imported: the new files are shown.
        dialogAnswer = catalogue;
        command(window, "mnuNewDB")->trigger();
        ASSERT_TRUE(goDB);
        EXPECT_EQ(gtDBPath, catalogue);
        {
            JobCloser closer;
            dialogAnswer = dir.filePath(QStringLiteral("coll"));
            window.mnuAddDir_Click();
        }
        EXPECT_EQ(window.ViewMode(), 2);
        EXPECT_EQ(window.lstMainFiles()->ItemCount(), 5);
        EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM MainFiles WHERE tUnpackPath='INNER.ATR'")), 1);
        window.BuildView(1);

        // Search: the list shrinks to the one name with an apostrophe; stop brings all back.
        SearchPane* search = window.searchPane();
        search->cboSearch(1)->setEditText(QStringLiteral("o'b"));
        window.moTimer_Timer();
        EXPECT_EQ(window.lstMainFiles()->ItemCount(), 1);
        search->cmdStopSearch()->click();
        EXPECT_EQ(window.lstMainFiles()->ItemCount(), 5);

        // A selection from the pane: the disk images.
        window.lvFilter()->list()->SetBookmark(1, -1, 0);  // "Disketten"
        EXPECT_EQ(window.lstMainFiles()->ItemCount(), 2);
        window.lvFilter()->list()->SetBookmark(0, -1, 0);

        // Starting a file and an archived one: the stand-in gets the file, the start is kept.
        selectFile(window, QStringLiteral("GAME.ATR"));
        command(window, "tbStart")->trigger();
        QStringList args = test::WaitForStandIn(record).mid(1);
        ASSERT_EQ(args.size(), 1);
        EXPECT_EQ(args[0], dir.filePath(QStringLiteral("coll/GAME.ATR")));
        EXPECT_EQ(count(QStringLiteral("SELECT lStartCount FROM MainFiles WHERE tFile='GAME.ATR'")), 1);
        EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM History")), 1);
        selectFile(window, QStringLiteral("INNER.ATR"));
        window.StartFile();
        args = test::WaitForStandIn(record).mid(1);
        ASSERT_EQ(args.size(), 1);
        EXPECT_TRUE(args[0].startsWith(gtTempPath + QLatin1Char('/')) && args[0].endsWith(QStringLiteral("INNER.ATR")))
            << args[0].toStdString();
        EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM History")), 2);

        // The history: one day node today, holding both starts.
        window.BuildView(4);
        EXPECT_EQ(window.treeMain()->ItemCount(), 2);
        const auto day = window.treeMain()->TreeItems(1);
        ASSERT_TRUE(day);
        EXPECT_EQ(day->Key.toLong(), qint32(QDate(1899, 12, 30).daysTo(QDate::currentDate())));
        ASSERT_TRUE(window.treeMain()->SelectItem(day->Key, 2));
        EXPECT_EQ(window.lstMain()->ItemCount(), 2);

        // The preview follows the selected text and picture.
        window.BuildView(1);
        selectFile(window, QStringLiteral("README.TXT"));
        EXPECT_EQ(window.preview()->lvPreview->Data(Variant(QStringLiteral("Text")), 0).text(), QStringLiteral("Hello Atari"));
        selectFile(window, QStringLiteral("PIC.PNG"));
        EXPECT_EQ(window.preview()->PictureSize(), QSize(32, 24));

        // A new category, renamed by a double click on its node.
        window.BuildView(3);
        inputAnswers = {QStringLiteral("Tools"), QStringLiteral("Jack's Tools")};
        command(window, "mnuNewCat")->trigger();
        ASSERT_TRUE(window.treeMain()->SelectedItem());
        window.treeMain()->MouseDown.raise(1, 0, 0, 0);
        window.treeMain()->DblClick.raise();
        EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM Category WHERE tCategory='Jack''s Tools'")), 1);

        // One file deleted.
        window.BuildView(1);
        selectFile(window, QStringLiteral("O'BRIEN.XEX"));
        command(window, "mnuDel")->trigger();
        EXPECT_EQ(window.StatusText(), QStringLiteral("Gelöschte Dateien: 1"));
        EXPECT_EQ(window.lstMainFiles()->ItemCount(), 4);

        // The whole list to the clipboard: a header and one line per file.
        command(window, "mnuCopyAll")->trigger();
        const QStringList lines = QGuiApplication::clipboard()->text().split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
        ASSERT_EQ(lines.size(), 5);
        EXPECT_TRUE(lines[0].contains(QStringLiteral("Datei")));

        // Closing with the disk-image selection on and the catalogue compacted.
        window.lvFilter()->list()->SetBookmark(1, -1, 0);
        window.setCompactOnClose(true);
        JobCloser closer;
        window.close();
    }
    EXPECT_FALSE(goDB);
    EXPECT_TRUE(QFile::exists(dir.filePath(QStringLiteral("road.OLD"))));
    EXPECT_TRUE(messages.filter(QStringLiteral("Error")).isEmpty()) << messages.join('|').toStdString();

    // The restart brings the catalogue, the view and the selection back.
    frmMain again;
    again.show();
    settle();
    EXPECT_EQ(gtDBPath, catalogue);
    EXPECT_EQ(again.ViewMode(), 1);
    EXPECT_EQ(again.lvFilter()->CurrentRow(), 1);
    EXPECT_EQ(again.lstMainFiles()->ItemCount(), 2);
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM MainFiles")), 4);
}

} // namespace
