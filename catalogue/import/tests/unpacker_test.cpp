#include "catalogue/import/unpacker.h"
#include "archivefixtures.h"
#include "catalogue/core/modglobals.h"

#include <gtest/gtest.h>

namespace tv {

TEST(Unpacker, CommandsUseArgumentListsWithMembersAfterDoubleDash)
{
    test::AppFolder app;
    struct Case {
        QString archive, member;
        QString program;
        QStringList args;
    };
    const QString d = QStringLiteral("/t/A1");
    const Case kCases[] = {
        {QStringLiteral("/g/Games.zip"), QString(), QStringLiteral("7za"),
         {"x", "/g/Games.zip", "-o/t/A1", "-y", "-ssc-", "-spd", "--"}},
        {QStringLiteral("/g/x.7Z"), QStringLiteral("-rf/@list.ATR"), QStringLiteral("7za"),
         {"x", "/g/x.7Z", "-o/t/A1", "-y", "-ssc-", "-spd", "--", "-rf/@list.ATR"}},
        {QStringLiteral("/g/x.cab"), QStringLiteral("D.XFD"), QStringLiteral("7za"),
         {"x", "/g/x.cab", "-o/t/A1", "-y", "-ssc-", "-spd", "--", "D.XFD"}},
        {QStringLiteral("/g/old.rar"), QString(), QStringLiteral("unrar"),
         {"x", "-o+", "--", "/g/old.rar", "/t/A1/"}},
        {QStringLiteral("/g/old.RAR"), QStringLiteral("-x.ATR"), QStringLiteral("unrar"),
         {"x", "-o+", "--", "/g/old.RAR", "-x.ATR", "/t/A1/"}},
    };
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.archive.toStdString());
        const UnpackCommand cmd = MakeUnpackCommand(c.archive, c.member, d);
        EXPECT_EQ(cmd.program, gtToolsPath + c.program);
        EXPECT_EQ(cmd.arguments, c.args);
    }
}

TEST(Unpacker, CheckNamesTheMissingProgram)
{
    test::AppFolder app(false, true);
    EXPECT_FALSE(Check7za());
    ASSERT_EQ(app.boxes.size(), 1);
    EXPECT_EQ(app.boxes[0], QStringLiteral("Datei nicht gefunden: ") + gtToolsPath + QStringLiteral("7za"));
    EXPECT_EQ(app.titles[0], QStringLiteral("Entpacker-Programm"));
    EXPECT_TRUE(CheckUnrar());
    EXPECT_EQ(app.boxes.size(), 1);
}

TEST(Unpacker, ResolvesWithoutRegardToCaseButNeverClimbs)
{
    test::AppFolder app;
    const QString root = gtTempPath + QStringLiteral("/A1");
    ASSERT_TRUE(test::WriteFile(root + QStringLiteral("/Dir/Game.atr"), "x"));
    EXPECT_EQ(ResolveNoCase(root, QStringLiteral("DIR\\GAME.ATR")), root + QStringLiteral("/Dir/Game.atr"));
    EXPECT_EQ(ResolveNoCase(root, QStringLiteral("Dir/Game.atr")), root + QStringLiteral("/Dir/Game.atr"));
    EXPECT_TRUE(ResolveNoCase(root, QStringLiteral("DIR\\..\\Dir\\Game.atr")).isEmpty());
    EXPECT_TRUE(ResolveNoCase(root, QStringLiteral("DIR\\NONE.ATR")).isEmpty());
}

} // namespace tv
