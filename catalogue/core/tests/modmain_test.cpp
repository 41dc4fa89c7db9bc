#include "catalogue/core/modmain.h"
#include "catalogue/core/modglobals.h"

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
