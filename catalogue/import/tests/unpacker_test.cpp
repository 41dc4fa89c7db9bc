#include "catalogue/import/unpacker.h"
#include "archivefixtures.h"
#include "catalogue/core/modglobals.h"

#include <QFile>
#include <gtest/gtest.h>

#include <sys/types.h>

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

TEST(Unpacker, ListsWhatAnArchiveComesToUnpacked)
{
    test::AppFolder app;
    ASSERT_TRUE(test::MakeZipBomb(app.path("in/BOMB.ZIP"), 2, 3));
    ASSERT_TRUE(test::WriteStoredRar(app.path("in/OLD.RAR"), {{"GAME.ATR", QByteArray(1000, 'g')},
                                                              {"DOCS", {}, true},
                                                              {"DOCS\\README.TXT", QByteArray(2345, 'r')}}));
    ASSERT_TRUE(test::WriteFile(app.path("in/JUNK.ZIP"), "junk"));
    // The same ZIP read by the unpacker's listing by its name; and behind a stub that shifts
    // every offset of its directory, which neither the directory reading nor the unpacker take.
    ASSERT_TRUE(QFile::copy(app.path("in/BOMB.ZIP"), app.path("in/BOMB.7Z")));
    ASSERT_TRUE(test::WriteFile(app.path("in/SFX.ZIP"), QByteArray(300, 'x') + test::ReadFile(app.path("in/BOMB.ZIP"))));
    ASSERT_TRUE(test::WriteFile(app.path("in/JUNK.RAR"), "junk"));
    const struct {
        const char* archive;
        std::optional<qint64> size;
    } kCases[] = {
        {"BOMB.ZIP", 2 * 3 * 1048576},
        {"BOMB.7Z", 2 * 3 * 1048576},
        {"SFX.ZIP", std::nullopt},
        {"OLD.RAR", 1000 + 2345},
        {"JUNK.ZIP", std::nullopt},
        {"JUNK.RAR", std::nullopt},
        {"MISSING.7Z", std::nullopt},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.archive);
        EXPECT_EQ(ListUnpackedSize(app.path("in/") + c.archive, 10000), c.size);
    }
}

TEST(Unpacker, ListingStillRunningAtItsTimeOutIsKilled)
{
    test::AppFolder app;
    ASSERT_TRUE(test::WriteFile(app.path("in/SLOW.7Z"), "not read"));
    // A listing that never ends; it leaves its process number behind.
    const QString pidFile = app.path("lister.pid");
    const QString tool = gtToolsPath + "7za";
    QFile::remove(tool);
    ASSERT_TRUE(test::WriteFile(tool, "#!/bin/sh\necho $$ > '" + pidFile.toUtf8() + "'\nexec sleep 60\n"));
    ASSERT_TRUE(QFile::setPermissions(tool, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
    EXPECT_EQ(ListUnpackedSize(app.path("in/SLOW.7Z"), 300), std::nullopt);
    const pid_t lister = pid_t(test::ReadFile(pidFile).trimmed().toInt());
    ASSERT_GT(lister, 0);
    // Gone, not left running: no such process, or only its remains until it is reaped.
    const QByteArray state = test::ReadFile(QStringLiteral("/proc/%1/stat").arg(lister));
    EXPECT_TRUE(state.isEmpty() || state.contains(") Z ")) << state.toStdString();
}

} // namespace tv
