#include "mainwindowtest.h"

#include "catalogue/emulators/modemulator.h"
#include "catalogue/mainwindow/frmmain.h"
#include "catalogue/mainwindow/sidepane.h"
#include "controls/grid/listview.h"
#include "platform/gui/msgbox.h"

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QDir>

using namespace tv;

namespace {

using MainWindowStartUp = MainFolderTest;

// A first start in an empty program folder: the temporary folder is made, the defaults are
// loaded, and closing writes the whole settings file.
TEST_F(MainWindowStartUp, FirstRunWritesTheSettingsAtClose)
{
    {
        frmMain window;
        EXPECT_TRUE(QDir(gtTempPath).exists());
        EXPECT_EQ(gcolEmulators.count(), 3);
        window.show();
        QApplication::processEvents();
        window.close();
    }
    EXPECT_EQ(wizards, 1);
    const QString text = readIni();
    EXPECT_TRUE(text.startsWith(QStringLiteral("[MAIN]\r\nDatabase=\r\nDialog=\r\n")));
    EXPECT_TRUE(text.contains(QStringLiteral("\r\nFilterName5=Bilder\r\n")));
    EXPECT_TRUE(text.contains(QStringLiteral("\r\n\r\n[PROFILS]\r\nProfilCount=13\r\nProfilDefault=1\r\n")));
    EXPECT_TRUE(text.contains(QStringLiteral("\r\n[WINDOWS]\r\nfrmMain=")));
    EXPECT_TRUE(text.endsWith(QStringLiteral("\r\n")));
}

// The wizard switches off the profiles of the emulators not chosen: the start menu, the Start
// drop-down and the start pane offer only the chosen emulator's profiles at once.
TEST_F(MainWindowStartUp, AfterTheWizardOnlyActiveProfilesAreOffered)
{
    SetFirstRunWizardHook([this](const WizardHost&) {
        ++wizards;
        for (const auto& entry : gcolProfils) entry.value->Aktiv = entry.value->EmulKey == QLatin1String("3");
    });
    frmMain window;
    window.show();
    QApplication::processEvents();
    QApplication::processEvents();
    ASSERT_EQ(wizards, 1);
    const QStringList captions{"Atari800(Win) - Load cartridge", "Atari800(Win) - Load disc",
                               "Atari800(Win) - Load tape", "Atari800(Win) - Run basic program",
                               "Atari800(Win) - Run program"};
    const auto texts = [](const QList<QAction*>& actions) {
        QStringList out;
        for (QAction* a : actions)
            if (a->isVisible()) out << a->text();
        return out;
    };
    EXPECT_EQ(texts(window.startMenu()->actions()), captions);
    EXPECT_EQ(texts(window.startDropDown()->actions()), captions);
    EXPECT_EQ(window.lvStart()->list()->RowCount(), 5);
    window.close();
}

// Closed before its first activation ran (a start that failed early): the file stays as it was.
TEST_F(MainWindowStartUp, CloseBeforeFirstActivationStoresNothing)
{
    writeIni(QStringLiteral("[MAIN]\r\nFontSize=12\r\n"));
    {
        frmMain window;
        window.close();
    }
    EXPECT_EQ(readIni(), QStringLiteral("[MAIN]\r\nFontSize=12\r\n"));
}

// The filter pane lists its selections in name order, and the selection in use at exit is the
// one applied at the next start, even when its name moved it to another row meanwhile.
TEST_F(MainWindowStartUp, SelectionInUseComesBack)
{
    writeIni(QStringLiteral("[MAIN]\r\nFilterName1=Zeta\r\nFilterDef1=\r\nFilterName2=Alpha\r\nFilterDef2=\r\n"
                            "FilterName3=Mitte\r\nFilterDef3=\r\n"));
    auto paneTexts = [](const frmMain& window) {
        QStringList texts;
        for (int row = 0; row < window.lvFilter()->RowCount(); ++row) texts << window.lvFilter()->Text(row);
        return texts;
    };
    {
        frmMain window;
        window.show();
        QApplication::processEvents();
        EXPECT_EQ(paneTexts(window).mid(1), (QStringList{"Alpha", "Mitte", "Zeta"}));
        // "Alpha" is renamed (its row stays) and chosen.
        window.lvFilter()->SetText(1, QStringLiteral("Zz"));
        (*window.filters().item(QStringLiteral("2")))->Name = QStringLiteral("Zz");
        window.lvFilter()->SetCurrentRow(1);
        window.close();
    }
    EXPECT_TRUE(readIni().contains(QStringLiteral("\r\nLastFilterRow=3\r\n")));
    frmMain window;
    window.show();
    QApplication::processEvents();
    EXPECT_EQ(paneTexts(window).mid(1), (QStringList{"Mitte", "Zeta", "Zz"}));
    EXPECT_EQ(window.lvFilter()->CurrentRow(), 3);
    EXPECT_EQ(window.lvFilter()->Text(window.lvFilter()->CurrentRow()), QStringLiteral("Zz"));
    window.close();
}

// A temporary folder that cannot be emptied: the user is asked to retry or give up; giving up
// ends the start and leaves the settings as they were.
TEST_F(MainWindowStartUp, TempFolderThatStaysAsksRetryOrCancel)
{
    writeIni(QStringLiteral("[MAIN]\r\nFontSize=12\r\n"));
    QStringList asked;
    SetMsgBoxHook([&asked](const QString& prompt, int style, const QString&) {
        asked << prompt + QLatin1Char('|') + QString::number(style);
        return asked.size() == 1 ? int(vbRetry) : int(vbCancel);
    });
    {
        frmMain window;
        // A relative folder is one the program never deletes in.
        gtTempPath = QStringLiteral("Temp");
        window.show();
        QApplication::processEvents();
        QApplication::processEvents();
        EXPECT_FALSE(window.isVisible());
    }
    SetMsgBoxHook(nullptr);
    const QString question = QStringLiteral("Temp-Verzeichnis kann nicht gelöscht werden: Temp|")
                             + QString::number(vbCritical | vbRetryCancel);
    EXPECT_EQ(asked, (QStringList{question, question}));
    EXPECT_EQ(readIni(), QStringLiteral("[MAIN]\r\nFontSize=12\r\n"));
}

} // namespace
