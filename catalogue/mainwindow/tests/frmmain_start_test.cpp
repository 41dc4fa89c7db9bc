#include "mainwindowtest.h"

#include "catalogue/emulators/tests/standin.h"
#include "catalogue/mainwindow/sidepane.h"
#include "catalogue/reports/simplereport.h"
#include "controls/grid/listview.h"
#include "platform/gui/msgbox.h"

#include <QApplication>
#include <QMenu>
#include <QTest>

using namespace tv;

namespace {

// A catalogue with one real disk image, and settings naming it with one emulator (a
// stand-in) and three profiles, the second of them inactive.
class MainWindowStart : public CatalogueTest {
protected:
    void SetUp() override
    {
        CatalogueTest::SetUp();
        image = dir.filePath(QStringLiteral("GAME.ATR"));
        QFile f(image);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(QByteArray(720, '\0'));
        f.close();
        ASSERT_FALSE(goDB->Execute(QStringLiteral("INSERT INTO MainFiles (ID, tFile, tPath, iFileType, lSize)"
                                                  " VALUES (9, 'GAME.ATR', '%1', 1, 720)").arg(image)));
        CloseDB();
        record = dir.filePath(QStringLiteral("record.txt"));
        const QString emulator = dir.filePath(QStringLiteral("emu/emulator"));
        ASSERT_TRUE(test::WriteStandIn(emulator, record));
        writeIni(QStringLiteral("[MAIN]\r\nDatabase=%1\r\nViewMode=1\r\n"
                                "[EMULATORS]\r\nEmulName1=Emu\r\nEmulPath1=%2\r\nEmulType1=1\r\nEmulAktiv1=1\r\n"
                                "[PROFILS]\r\nProfilCount=3\r\n"
                                "ProfilEmul1=1\r\nProfilName1=Load\r\nProfilAktiv1=1\r\n"
                                "ProfilOptions1=-load \"<$filepath$>\"=@=1\r\n"
                                "ProfilEmul2=1\r\nProfilName2=Hidden\r\nProfilAktiv2=0\r\nProfilOptions2=\r\n"
                                "ProfilEmul3=1\r\nProfilName3=Boot\r\nProfilAktiv3=1\r\n"
                                "ProfilOptions3=-boot \"<$filepath$>\"=@=1\r\n")
                     .arg(dir.filePath(QStringLiteral("test.MDB")), emulator));
        SetMsgBoxHook([](const QString&, int, const QString&) { return vbOK; });
    }
    void TearDown() override
    {
        SetMsgBoxHook(nullptr);
        CatalogueTest::TearDown();
    }
    static QStringList Texts(const QList<QAction*>& actions)
    {
        QStringList out;
        for (QAction* a : actions)
            if (a->isVisible()) out << a->text();
        return out;
    }
    QString image, record;
};

// After the load the start menu, the Start drop-down and the start pane list the active
// profiles; choosing one (or double-clicking a pane row) starts the selected file with that profile.
TEST_F(MainWindowStart, ProfileEntriesStartTheSelectedFile)
{
    frmMain window;
    window.show();
    QApplication::processEvents();
    QApplication::processEvents();
    EXPECT_EQ(wizards, 0);
    const QStringList captions{"Emu - Boot", "Emu - Load"};
    EXPECT_EQ(Texts(window.startMenu()->actions()), captions);
    EXPECT_EQ(Texts(window.startDropDown()->actions()), captions);
    vantile::ListView* pane = window.lvStart()->list();
    ASSERT_EQ(pane->RowCount(), 2);
    EXPECT_EQ(pane->Data(Variant(QStringLiteral("Name")), 1).toString(), captions[1]);

    ASSERT_TRUE(window.lstMainFiles()->Find(Variant(QStringLiteral("ID")), Variant(qint32(9))));
    window.startMenu()->actions()[0]->trigger();
    EXPECT_EQ(test::WaitForStandIn(record).mid(1), (QStringList{"-boot", image}));
    window.startDropDown()->actions()[1]->trigger();
    EXPECT_EQ(test::WaitForStandIn(record).mid(1), (QStringList{"-load", image}));
    pane->ItemDblClick.raise(0, 0);
    EXPECT_EQ(test::WaitForStandIn(record).mid(1), (QStringList{"-boot", image}));

    // By keys: Return in the pane starts with its current row's profile, as a double click does.
    QApplication::setActiveWindow(&window);
    pane->ScrollWnd()->setFocus(Qt::TabFocusReason);
    pane->SetBookmark(0, -1, 0);
    QTest::keyClick(window.windowHandle(), Qt::Key_Down);
    ASSERT_EQ(pane->CurrentRow(), 1);
    QTest::keyClick(window.windowHandle(), Qt::Key_Return);
    EXPECT_EQ(test::WaitForStandIn(record).mid(1), (QStringList{"-load", image}));
    window.close();
}

// After a start the list shows the file's new start count at once, the file still selected.
TEST_F(MainWindowStart, TheListShowsTheNewStartCount)
{
    frmMain window;
    window.show();
    QApplication::processEvents();
    QApplication::processEvents();
    SimpleReport* list = window.lstMainFiles();
    ASSERT_TRUE(list->Find(Variant(QStringLiteral("ID")), Variant(qint32(9))));
    EXPECT_TRUE(list->FieldValue(Variant(QStringLiteral("Zähler"))).isNull());
    for (int starts = 1; starts <= 2; ++starts) {
        SCOPED_TRACE(starts);
        window.startMenu()->actions()[0]->trigger();
        EXPECT_EQ(test::WaitForStandIn(record).mid(1), (QStringList{"-boot", image}));
        EXPECT_EQ(list->FieldValue(Variant(QStringLiteral("ID"))).toLong(), 9);
        EXPECT_EQ(list->FieldValue(Variant(QStringLiteral("Zähler"))).toLong(), starts);
    }
    window.close();
}

} // namespace
