#include "catalogue/core/modmain.h"
#include "catalogue/core/modglobals.h"

#include "platform/system/process.h"

#include <QGuiApplication>
#include <QTemporaryDir>
#include <QWidget>
#include <gtest/gtest.h>

TEST(ProgramPaths, FolderGetsOneTrailingSeparatorAndVersionKeepsDigits)
{
    struct Case { QString folder; QString appPath; };
    const Case cases[] = {
        {QStringLiteral("/"), QStringLiteral("/")},
        {QStringLiteral("/opt/tovarin"), QStringLiteral("/opt/tovarin/")},
        {QStringLiteral("/opt/tovarin/"), QStringLiteral("/opt/tovarin/")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.folder.toStdString());
        tv::InitProgramPaths(c.folder);
        EXPECT_EQ(tv::gtAppPath, c.appPath);
        EXPECT_EQ(tv::gtIniFile, c.appPath + QStringLiteral("Tovarin.ini"));
    }
    tv::InitProgramValues();
    EXPECT_EQ(tv::gtTempPath, QStringLiteral("/opt/tovarin/Temp"));
    EXPECT_EQ(tv::VersionText(1, 10), QStringLiteral("1.10"));
}

TEST(ProgramStart, MainShowsTheWindowUnderTheBusyPointerUntilItIsUp)
{
    QTemporaryDir dir;
    auto window = tv::Main([] {
        auto w = std::make_unique<QWidget>();
        w->setWindowTitle(tv::kAppTitle);
        return w;
    }, dir.path());
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(tv::gtAppPath, dir.path() + QLatin1Char('/'));
    ASSERT_NE(QGuiApplication::overrideCursor(), nullptr);
    EXPECT_EQ(QGuiApplication::overrideCursor()->shape(), Qt::WaitCursor);

    // Waiting for a program shows the busy pointer and gives back the one before.
    QGuiApplication::setOverrideCursor(Qt::IBeamCursor);
    EXPECT_EQ(tv::RunAndWait(QStringLiteral("/nonexistent/unrar"), {}, 10000, true), 1);
    EXPECT_EQ(QGuiApplication::overrideCursor()->shape(), Qt::IBeamCursor);
    QGuiApplication::restoreOverrideCursor();

    tv::EndStartupPointer();
    tv::EndStartupPointer();
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
    tv::SetWaitIndicator(nullptr);
}
