#include "catalogue/core/modatari.h"
#include "catalogue/emulators/modstartparams.h"

#include <QStringList>
#include <gtest/gtest.h>

namespace tv {
namespace {

clsFileInfo File(int basic = 0, int model = 0, int os = 0, int video = 0, const QString& param = {})
{
    clsFileInfo f;
    f.iBasic = basic;
    f.iModel = model;
    f.iOS = os;
    f.iVideo = video;
    f.Param = param;
    return f;
}

const QString kPath = QStringLiteral("/home/u/My Games/Star Raiders.atr");

TEST(StartParams, PerFileSwitchesOfEachEmulatorType)
{
    struct Case {
        const char* name;
        int type;
        QString options;
        clsFileInfo file;
        QString params;
    } const kCases[] = {
        {"Altirra all set", 1, "/disk \"<$filepath$>\"=@=1", File(1, 2, 3, 1),
         " /disk \"" + kPath + "\" /nobasic /hardware:800XL /kernel:XL /ntsc"},
        {"Altirra basic, last codes", 1, "", File(2, 5, 6, 2), " /basic /hardware:5200 /kernel:default /pal"},
        {"Altirra codes above range", 1, "", File(3, 6, 7, 3), " /basic /pal"},
        {"Altirra held switches, inactive too", 1,
         "/BASIC=@=0@@@/hardware:130XE=@=1@@@/kernel:OSB=@=0@@@/palx=@=0", File(2, 1, 1, 2),
         " /hardware:130XE"},
        {"Altirra held test needs the beginning", 1, "-x /basic=@=1", File(2), " -x /basic /basic"},
        // Atari++: -machine 800|1200|XL|XE|5200, -ostype Auto|OsA|OsB|Os1200|OsXL|BuiltIn,
        // -basictype Auto|RevA|RevB|RevC|BuiltIn|Disabled, -videomode PAL|NTSC.
        {"Atari++ Nein is off, Ja is on", 2, "", File(1, 1, 1, 1),
         " -basictype Disabled -machine 800 -ostype OsA -videomode NTSC"},
        {"Atari++ 130XE and the 1200XL OS", 2, "", File(2, 3, 4, 2),
         " -basictype BuiltIn -machine XE -ostype Os1200 -videomode PAL"},
        {"Atari++ other models and OS", 2, "", File(0, 2, 3), " -machine XL -ostype OsXL"},
        {"Atari++ 1200XL, OS B", 2, "", File(0, 4, 2), " -machine 1200 -ostype OsB"},
        {"Atari++ 5200 takes no OS type", 2, "", File(0, 5, 5), " -machine 5200"},
        {"Atari++ default OS", 2, "", File(0, 0, 6), " -ostype Auto"},
        {"Atari++ switch held by profile still added", 2, "-basictype BuiltIn=@=1", File(2),
         " -basictype BuiltIn -basictype BuiltIn"},
        // atari800: -atari|-xl|-xe|-1200|-5200, -800-rev auto|a-ntsc|a-pal|b-ntsc|...
        {"Atari800 all set", 3, "-run \"<$filepath$>\"=@=1", File(1, 1, 1, 1),
         " -run \"" + kPath + "\" -nobasic -atari -800-rev a-ntsc -ntsc"},
        {"Atari800 OS 3 adds nothing, 1200XL is -1200", 3, "", File(2, 4, 3, 2), " -basic -1200 -pal"},
        {"Atari800 OS B, model 5200", 3, "", File(0, 5, 2, 0), " -5200 -800-rev b-ntsc"},
        {"Atari800 800XL, 130XE, OS 4 to 6 add nothing", 3, "", File(0, 2, 6, 0), " -xl"},
        {"Atari800 130XE", 3, "", File(0, 3, 4, 0), " -xe"},
        {"file tool gets no switches", 0, "x=@=1", File(1, 1, 1, 1), " x"},
        {"not set adds nothing", 1, "", File(), ""},
        {"extra parameters last, with the path mark", 3, "a=@=1@@@b=@=0@@@c=@=1", File(0, 0, 0, 2, "-v @FILEPATH@"),
         " a c -pal -v " + kPath},
        {"empty entry of a damaged string is skipped", 1, "a=@=1@@@@@@b=@=1", File(), " a b"},
        {"placeholder in any case", 3, "<$FilePath$> <$FILEPATH$>=@=1", File(), " " + kPath + " " + kPath},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.name);
        const StartParams r = BuildStartParams(c.options, c.type, c.file, kPath, {});
        EXPECT_TRUE(r.ok);
        EXPECT_EQ(r.params, c.params);
    }
}

TEST(StartParams, PathWithQuotesOrBackslashesArrivesUnchanged)
{
    struct Case {
        const char* name;
        QString path;
        QString options;
        QStringList arguments;
    } const kCases[] = {
        {"blanks in a quoted path", kPath, "-run \"<$filepath$>\"=@=1", {"-run", kPath}},
        {"quotes in a quoted path", "/g/Dig \"Dug\".atr", "-run \"<$filepath$>\"=@=1", {"-run", "/g/Dig \"Dug\".atr"}},
        {"quote after a backslash", "/g/a\\\"b.atr", "\"<$filepath$>\"=@=1", {"/g/a\\\"b.atr"}},
        {"trailing backslash before the closing quote", "/g/dir\\", "\"<$filepath$>\" -x=@=1", {"/g/dir\\", "-x"}},
        {"backslashes elsewhere stay single", "/g/a\\b", "<$filepath$>=@=1", {"/g/a\\b"}},
        {"quote in an unquoted path", "/g/a\"b", "<$filepath$>=@=1", {"/g/a\"b"}},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.name);
        const StartParams r = BuildStartParams(c.options, 0, File(), c.path, {});
        ASSERT_TRUE(r.ok);
        EXPECT_EQ(r.arguments, c.arguments);
    }
    // The status text shows the path as it is.
    EXPECT_EQ(BuildStartParams("-run \"<$filepath$>\"=@=1", 0, File(), "/g/Dig \"Dug\".atr", {}).params,
              QStringLiteral(" -run \"/g/Dig \"Dug\".atr\""));
}

TEST(StartParams, InputAskedOncePerSpellingAndInsertedAsTyped)
{
    QStringList prompts;
    const auto ask = [&](const QString& prompt) {
        prompts << prompt;
        return prompts.size() == 1 ? QStringLiteral("<$x$> 1") : QStringLiteral("two");
    };
    const StartParams r =
        BuildStartParams("-a <$input$> -b <$input$> -c <$INPUT$>=@=1", 3, File(), kPath, ask);
    ASSERT_TRUE(r.ok) << r.error.toStdString();
    EXPECT_EQ(r.params, QStringLiteral(" -a <$x$> 1 -b <$x$> 1 -c two"));
    ASSERT_EQ(prompts.size(), 2);
    EXPECT_EQ(prompts[0], QStringLiteral("Bitte geben Sie einen Wert ein: -a <$input$>"));
    EXPECT_EQ(prompts[1], QStringLiteral("Bitte geben Sie einen Wert ein: -a <$x$> 1 -b <$x$> 1 -c <$INPUT$>"));
}

TEST(StartParams, EmptyAnswerDropsOnlyThatOption)
{
    const StartParams r = BuildStartParams("-a=@=1@@@-in <$input$>=@=1@@@-z=@=1", 3, File(0, 0, 0, 1), kPath,
                                           [](const QString&) { return QString(); });
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(r.params, QStringLiteral(" -a  -z -ntsc"));
}

TEST(StartParams, BadPlaceholdersStopWithTheirMessage)
{
    struct Case {
        QString options;
        QString error;
    } const kCases[] = {
        {"-a=@=1@@@/disk \"<$filepath=@=1@@@-never <$input$>=@=1",
         "Unvollständiger Parameter: <$filepath"},
        {"x <$>=@=1", "Unvollständiger Parameter: <$>"},
        {"<$filepath$> <$file$> <$input$>=@=1", "Unbekannter Parameter: <$file$>"},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.options.toStdString());
        bool asked = false;
        const StartParams r = BuildStartParams(c.options, 1, File(1), kPath, [&](const QString&) {
            asked = true;
            return QStringLiteral("v");
        });
        EXPECT_FALSE(r.ok);
        EXPECT_EQ(r.error, c.error);
        EXPECT_FALSE(asked);
    }
}

} // namespace
} // namespace tv
