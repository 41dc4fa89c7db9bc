#include "platform/system/process.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QThread>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

QString readAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
}

// Serves the event loop until the file exists (programs started here write a temporary file
// and rename it when done, so the file is complete once it is there).
bool waitForFile(const QString& path, int ms = 5000)
{
    QDeadlineTimer deadline(ms);
    while (!QFile::exists(path) && !deadline.hasExpired()) {
        QCoreApplication::processEvents();
        QThread::msleep(10);
    }
    return QFile::exists(path);
}

const QString kSh = QStringLiteral("/bin/sh");

} // namespace

TEST(SplitCommandLine, ClassicQuotingAndBackslashRules)
{
    struct Case { const char* line; QStringList args; };
    const Case cases[] = {
        {"", {}},
        {"   \t ", {}},
        {"a b\tc", {"a", "b", "c"}},
        {"  lead  trail  ", {"lead", "trail"}},
        {R"("C:\Program Files\emu.exe" -x)", {R"(C:\Program Files\emu.exe)", "-x"}},
        {R"(-cart "/home/a b/x.rom")", {"-cart", "/home/a b/x.rom"}},
        {R"(a\\b c\d)", {R"(a\\b)", R"(c\d)"}},             // backslashes not before a quote
        {R"(a\"b)", {R"(a"b)"}},                             // 1 backslash + quote
        {R"(a\\"b c")", {R"(a\b c)"}},                       // 2 backslashes + quote opens a run
        {R"(a\\\"b)", {R"(a\"b)"}},                          // 3 backslashes + quote
        {R"("a\\" b)", {R"(a\)", "b"}},                      // run closed after an escaped backslash
        {R"("a""b" c)", {R"(a"b)", "c"}},                    // "" inside a run
        {R"(a "" b)", {"a", "", "b"}},                       // empty argument
        {R"(x"y z"w)", {"xy zw"}},                           // quotes inside one argument
        {R"("open run)", {"open run"}},                      // unclosed run ends the line
        {R"(-o"\\server\share\")", {R"(-o\\server\share")"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        EXPECT_EQ(tv::SplitCommandLine(QString::fromUtf8(c.line)), c.args);
    }
}

TEST(RunAndWait, RunsWithoutTerminalAndReportsTheExitCode)
{
    QTemporaryDir dir;
    const QString out = dir.filePath(QStringLiteral("out"));
    int exitCode = 0;
    // Field 1 of /proc/<pid>/stat is the process, field 6 its session: equal for a session leader.
    const QString script = QStringLiteral(
        "cut -d' ' -f1,6 /proc/$$/stat > \"$1\"; if read x; then echo input >> \"$1\"; fi; "
        "tty >/dev/null || echo notty >> \"$1\"; echo to-stdout; pwd >> \"$1\"; exit 3");
    ASSERT_EQ(tv::RunAndWait(kSh, {QStringLiteral("-c"), script, QStringLiteral("sh"), out}, 5000, false,
                             &exitCode, dir.path()), 0);
    EXPECT_EQ(exitCode, 3);
    const QStringList lines = readAll(out).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 3);
    const QStringList ids = lines[0].split(QLatin1Char(' '));
    ASSERT_EQ(ids.size(), 2);
    EXPECT_EQ(ids[0], ids[1]) << "the program must lead a session of its own";
    EXPECT_EQ(lines[1], QStringLiteral("notty"));
    EXPECT_EQ(lines[2], dir.path());
}

TEST(RunAndWait, MissingProgramFailsAndTheIndicatorIsBalanced)
{
    QStringList calls;
    tv::SetWaitIndicator([&](bool on) { calls << (on ? QStringLiteral("on") : QStringLiteral("off")); });
    int exitCode = 0;
    EXPECT_EQ(tv::RunAndWait(QStringLiteral("/nonexistent/7za"), {}, 10000, true, &exitCode), 1);
    EXPECT_EQ(exitCode, -1);
    EXPECT_EQ(tv::RunAndWait(kSh, {QStringLiteral("-c"), QStringLiteral("exit 0")}, 1000, true), 0);
    tv::SetWaitIndicator(nullptr);
    EXPECT_EQ(calls, (QStringList{"on", "off", "on", "off"}));
}

TEST(RunAndWait, ServesTheEventLoopAndLeavesAProgramRunningAtTheTimeout)
{
    QTemporaryDir dir;
    bool timerFired = false;
    QTimer::singleShot(0, [&] { timerFired = true; });
    ASSERT_EQ(tv::RunAndWait(kSh, {QStringLiteral("-c"), QStringLiteral("sleep 0.3")}, 5000, true), 0);
    EXPECT_TRUE(timerFired);

    const QString marker = dir.filePath(QStringLiteral("done"));
    int exitCode = 0;
    ASSERT_EQ(tv::RunAndWait(kSh, {QStringLiteral("-c"), QStringLiteral("sleep 0.5; touch \"$1\""), QStringLiteral("sh"), marker},
                             0, true, &exitCode), 0);
    EXPECT_EQ(exitCode, -1);
    EXPECT_FALSE(QFile::exists(marker));
    EXPECT_TRUE(waitForFile(marker)) << "the program must not be killed at the time-out";
}

TEST(StartDetached, StartsInItsFolderAndReportsFailure)
{
    QTemporaryDir dir;
    const QString out = dir.filePath(QStringLiteral("out"));
    const QStringList args = tv::SplitCommandLine(QStringLiteral(R"(-c "pwd > \"$1.tmp\"; echo \"$2\" >> \"$1.tmp\"; mv \"$1.tmp\" \"$1\"" sh)"))
                             << out << QStringLiteral("a \"b\" c");
    ASSERT_TRUE(tv::StartDetached(kSh, args, dir.path()));
    ASSERT_TRUE(waitForFile(out));
    EXPECT_EQ(readAll(out), dir.path() + QStringLiteral("\na \"b\" c\n"));

    QString error;
    EXPECT_FALSE(tv::StartDetached(QStringLiteral("/nonexistent/atari800"), {}, dir.path(), &error));
    EXPECT_FALSE(error.isEmpty());
    error.clear();
    EXPECT_FALSE(tv::StartDetached(kSh, {QStringLiteral("-c"), QStringLiteral("true")},
                                   dir.filePath(QStringLiteral("no-such-folder")), &error));
    EXPECT_FALSE(error.isEmpty());
}

// A program that ends within the watch with an error status has failed, and its last lines
// are kept; one that ends well, or runs on past the watch, counts as started.
TEST(StartWatched, FailureWithinTheWatchKeepsTheLastLines)
{
    QTemporaryDir dir;
    const QString script = QStringLiteral("for i in 1 2 3 4 5 6 7 8 9 10; do echo line$i; done; echo '' ; "
                                          "echo 'bad file' >&2; pwd; exit 10");
    tv::WatchedStart w = tv::StartWatched(kSh, {QStringLiteral("-c"), script}, dir.path(), 5000);
    EXPECT_TRUE(w.started);
    EXPECT_TRUE(w.failed);
    EXPECT_EQ(w.exitCode, 10);
    EXPECT_EQ(w.lastLines, (QStringList{"line4", "line5", "line6", "line7", "line8", "line9", "line10", "bad file",
                                        QDir(dir.path()).canonicalPath()}.mid(1)));

    w = tv::StartWatched(kSh, {QStringLiteral("-c"), QStringLiteral("exit 0")}, dir.path(), 5000);
    EXPECT_TRUE(w.started);
    EXPECT_FALSE(w.failed);
    w = tv::StartWatched(kSh, {QStringLiteral("-c"), QStringLiteral("sleep 1; exit 3")}, dir.path(), 100);
    EXPECT_TRUE(w.started);
    EXPECT_FALSE(w.failed);
    w = tv::StartWatched(QStringLiteral("/nonexistent/atari800"), {}, dir.path(), 100);
    EXPECT_FALSE(w.started);
    EXPECT_TRUE(w.error.startsWith(QStringLiteral("/nonexistent/atari800: "))) << w.error.toStdString();
}

TEST(OpenDocument, HandsTheAbsolutePathToTheDesktopOpener)
{
    QTemporaryDir dir;
    const QString out = dir.filePath(QStringLiteral("opened"));
    QFile opener(dir.filePath(QStringLiteral("xdg-open")));
    ASSERT_TRUE(opener.open(QIODevice::WriteOnly));
    opener.write(QStringLiteral("#!/bin/sh\nprintf '%s\\n' \"$@\" > \"%1.tmp\" && mv \"%1.tmp\" \"%1\"\n").arg(out).toUtf8());
    opener.close();
    opener.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);

    const QByteArray oldPath = qgetenv("PATH");
    qputenv("PATH", dir.path().toUtf8() + ':' + oldPath);
    const QString cwd = QDir::currentPath();
    QDir::setCurrent(dir.path());
    const bool started = tv::OpenDocument(QStringLiteral("-manual.pdf"));
    QDir::setCurrent(cwd);
    qputenv("PATH", oldPath);
    ASSERT_TRUE(started);
    ASSERT_TRUE(waitForFile(out));
    EXPECT_EQ(readAll(out), dir.filePath(QStringLiteral("-manual.pdf")) + QLatin1Char('\n'));
}
