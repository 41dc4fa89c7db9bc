#include "mainwindowtest.h"

#include "catalogue/emulators/modemulator.h"
#include "catalogue/mainwindow/frmmain.h"

#include <QApplication>
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

} // namespace
