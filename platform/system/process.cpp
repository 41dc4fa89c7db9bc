#include "process.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QScopeGuard>
#include <QStandardPaths>
#include <QTemporaryFile>
#include <unistd.h>

namespace tv {

namespace {
std::function<void(bool)>& indicatorRef()
{
    static std::function<void(bool)> indicator;
    return indicator;
}

// A program with the null device as input and outputs, in a session of its own.
std::unique_ptr<QProcess> QuietProcess(const QString& program, const QStringList& arguments,
                                       const QString& workingFolder)
{
    auto proc = std::make_unique<QProcess>();
    proc->setProgram(program);
    proc->setArguments(arguments);
    proc->setStandardInputFile(QProcess::nullDevice());
    proc->setStandardOutputFile(QProcess::nullDevice());
    proc->setStandardErrorFile(QProcess::nullDevice());
    // A new session has no controlling terminal: a program that would ask on /dev/tty fails
    // instead of waiting for an answer nobody sees.
    proc->setChildProcessModifier([] { ::setsid(); });
    if (!workingFolder.isEmpty()) proc->setWorkingDirectory(workingFolder);
    return proc;
}

// Shows the wait indicator until the returned guard ends.
auto ShowWaiting()
{
    const auto indicator = indicatorRef();
    if (indicator) indicator(true);
    return qScopeGuard([indicator] {
        if (indicator) indicator(false);
    });
}

} // namespace

void SetWaitIndicator(std::function<void(bool waiting)> indicator) { indicatorRef() = std::move(indicator); }

int RunAndWait(const QString& program, const QStringList& arguments, int timeoutMs,
               bool keepResponsive, int* exitCode, const QString& workingFolder)
{
    if (exitCode) *exitCode = -1;
    const auto waiting = ShowWaiting();
    auto proc = QuietProcess(program, arguments, workingFolder);
    proc->start();
    if (!proc->waitForStarted(5000)) return 1;

    int elapsed = 0;
    while (!proc->waitForFinished(50) && proc->state() != QProcess::NotRunning) {
        if (keepResponsive) QCoreApplication::processEvents();
        elapsed += 50;
        if (elapsed > timeoutMs) {
            // Destroying a running QProcess kills it: let it finish on its own, then go.
            QProcess* running = proc.release();
            QObject::connect(running, &QProcess::finished, running, &QObject::deleteLater);
            return 0;
        }
    }
    if (exitCode && proc->exitStatus() == QProcess::NormalExit) *exitCode = proc->exitCode();
    return 0;
}

namespace {

// Waits for a started program in steps of `stepMs`, calling `goOn` after each; kills it when
// `goOn` says stop or `timeoutMs` has passed. Sets `exitCode` when it ended by itself.
void WaitOrKill(QProcess& proc, int stepMs, int timeoutMs, const std::function<bool()>& goOn, int* exitCode)
{
    QElapsedTimer clock;
    clock.start();
    while (!proc.waitForFinished(stepMs) && proc.state() != QProcess::NotRunning) {
        if (!goOn() || clock.elapsed() > timeoutMs) {
            proc.kill();
            proc.waitForFinished(5000);
            return;
        }
    }
    if (exitCode && proc.exitStatus() == QProcess::NormalExit) *exitCode = proc.exitCode();
}

} // namespace

int RunInThread(const QString& program, const QStringList& arguments, int timeoutMs,
                const std::atomic<bool>& stop, int* exitCode, const QString& workingFolder)
{
    if (exitCode) *exitCode = -1;
    auto proc = QuietProcess(program, arguments, workingFolder);
    proc->start();
    if (!proc->waitForStarted(5000)) return 1;
    // Nobody waits for this thread's events, so nothing could let the program run on: it is
    // killed at the time-out.
    WaitOrKill(*proc, 20, timeoutMs, [&stop] { return !stop; }, exitCode);
    return 0;
}

int RunAndReadLines(const QString& program, const QStringList& arguments, int timeoutMs,
                    const std::function<void(const QByteArray& line)>& onLine, int* exitCode,
                    const QString& workingFolder)
{
    if (exitCode) *exitCode = -1;
    auto proc = QuietProcess(program, arguments, workingFolder);
    proc->setStandardOutputFile(QString());  // back to a pipe
    proc->setReadChannel(QProcess::StandardOutput);
    proc->start();
    if (!proc->waitForStarted(5000)) return 1;
    const auto readLines = [&proc, &onLine] {
        while (proc->canReadLine()) {
            QByteArray line = proc->readLine();
            while (line.endsWith('\n') || line.endsWith('\r')) line.chop(1);
            onLine(line);
        }
    };
    WaitOrKill(
        *proc, 50, timeoutMs,
        [&readLines] {
            readLines();
            QCoreApplication::processEvents();
            return true;
        },
        exitCode);
    readLines();
    if (proc->bytesAvailable() > 0) onLine(proc->readAll());  // a last line without its end
    return 0;
}

void WaitServingEvents(const std::function<bool(int waitMs)>& done)
{
    if (done(0)) return;
    const auto waiting = ShowWaiting();
    while (!done(50)) QCoreApplication::processEvents();
}

QStringList SplitCommandLine(const QString& commandLine)
{
    QStringList args;
    QString current;
    bool inArgument = false; // also true for an argument that is empty so far ("")
    bool quoted = false;
    const qsizetype n = commandLine.size();
    qsizetype i = 0;
    while (i < n) {
        const QChar c = commandLine.at(i);
        if (c == QLatin1Char('\\')) {
            qsizetype end = i;
            while (end < n && commandLine.at(end) == QLatin1Char('\\')) ++end;
            const qsizetype count = end - i;
            inArgument = true;
            if (end < n && commandLine.at(end) == QLatin1Char('"')) {
                current += QString(count / 2, QLatin1Char('\\'));
                if (count % 2 == 1) {
                    current += QLatin1Char('"');
                    i = end + 1;
                } else {
                    i = end; // the quote is handled below
                }
            } else {
                current += QString(count, QLatin1Char('\\'));
                i = end;
            }
            continue;
        }
        if (c == QLatin1Char('"')) {
            inArgument = true;
            if (quoted && i + 1 < n && commandLine.at(i + 1) == QLatin1Char('"')) {
                current += QLatin1Char('"');
                i += 2;
            } else {
                quoted = !quoted;
                ++i;
            }
            continue;
        }
        if (!quoted && (c == QLatin1Char(' ') || c == QLatin1Char('\t'))) {
            if (inArgument) args << current;
            current.clear();
            inArgument = false;
            ++i;
            continue;
        }
        current += c;
        inArgument = true;
        ++i;
    }
    if (inArgument) args << current;
    return args;
}

bool StartDetached(const QString& program, const QStringList& arguments,
                   const QString& workingFolder, QString* error)
{
    QProcess proc;
    proc.setProgram(program);
    proc.setArguments(arguments);
    proc.setStandardInputFile(QProcess::nullDevice());
    if (!workingFolder.isEmpty()) proc.setWorkingDirectory(workingFolder);
    if (proc.startDetached()) return true;
    if (error) *error = program + QStringLiteral(": ") + proc.errorString();
    return false;
}

QString ResolveProgram(const QString& path)
{
    if (path.isEmpty() || path.contains(QLatin1Char('/'))) return path;
    const QString found = QStandardPaths::findExecutable(path);
    if (!found.isEmpty() || !IsWindowsProgram(path)) return found;
    // A Windows program runs through Wine and needs no execute bit (unpacked from a ZIP
    // archive it has none), so any file of that name on the PATH will do.
    for (const QString& folder : qEnvironmentVariable("PATH").split(QLatin1Char(':'), Qt::SkipEmptyParts)) {
        const QFileInfo candidate(QDir(folder), path);
        if (candidate.isFile()) return candidate.absoluteFilePath();
    }
    return QString();
}

bool IsWindowsProgram(const QString& path)
{
    return path.endsWith(QLatin1String(".exe"), Qt::CaseInsensitive);
}

QString WineDrivePath(const QString& path)
{
    QString drive = QFileInfo(path).absoluteFilePath();
    drive.replace(QLatin1Char('/'), QLatin1Char('\\'));
    return QStringLiteral("Z:") + drive;
}

namespace {

// Waits up to `waitMs` for a started program to end, serving the event loop. True when it
// ended. Otherwise the program runs on by itself: destroying a running QProcess would kill
// it, so the process object is handed over and deleted once the program ends, after
// `onLateEnd` has seen it.
bool AwaitEnd(std::unique_ptr<QProcess>& proc, int waitMs, std::function<void(const QProcess&)> onLateEnd = {})
{
    QElapsedTimer clock;
    clock.start();
    while (!proc->waitForFinished(50) && proc->state() != QProcess::NotRunning) {
        QCoreApplication::processEvents();
        if (clock.elapsed() > waitMs) {
            QProcess* running = proc.release();
            QObject::connect(running, &QProcess::finished, running, [running, onLateEnd] {
                if (onLateEnd) onLateEnd(*running);
                running->deleteLater();
            });
            return false;
        }
    }
    return true;
}

// The exit code of a program that ended; -1 for one that crashed (a failing code of a
// crashed program means nothing).
int ExitCodeOf(const QProcess& p) { return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1; }

} // namespace

bool OpenDocument(const QString& path, QString* error, int* exitCode, std::function<void(int exitCode)> lateEnd)
{
    if (exitCode) *exitCode = -1;
    // An absolute path never starts with "-", so the opener cannot take it for an option.
    const QString opener = QStringLiteral("xdg-open");
    auto proc = QuietProcess(opener, {QFileInfo(path).absoluteFilePath()}, QString());
    proc->start();
    if (!proc->waitForStarted(5000)) {
        if (error) *error = opener + QStringLiteral(": ") + proc->errorString();
        return false;
    }
    constexpr int kVerdictWaitMs = 1000;
    // The opener hands the file over and may then wait for the viewer it started: an exit
    // after the first moment is the viewer's, not a failure to open.
    if (!AwaitEnd(proc, kVerdictWaitMs, [lateEnd](const QProcess& p) {
            if (lateEnd) lateEnd(ExitCodeOf(p));
        }))
        return true;
    const int code = ExitCodeOf(*proc);
    if (code == 0) return true;
    if (exitCode) *exitCode = code;
    if (error) *error = code > 0 ? opener + QStringLiteral(": exit code %1").arg(code) : opener + QStringLiteral(": crashed");
    return false;
}

WatchedStart StartWatched(const QString& program, const QStringList& arguments, const QString& workingFolder,
                          int verdictMs)
{
    WatchedStart result;
    // The program's output goes to a file nobody else can see, read only when it failed; once
    // it runs on, the file is removed, and what it writes later takes no room after its end.
    QTemporaryFile output(QDir::temp().filePath(QStringLiteral("tovarin-start-XXXXXX.log")));
    const bool logged = output.open();
    auto proc = std::make_unique<QProcess>();
    proc->setProgram(program);
    proc->setArguments(arguments);
    proc->setStandardInputFile(QProcess::nullDevice());
    proc->setStandardOutputFile(logged ? output.fileName() : QProcess::nullDevice(), QIODevice::Append);
    proc->setStandardErrorFile(logged ? output.fileName() : QProcess::nullDevice(), QIODevice::Append);
    // A session of its own: the program outlives Tovarin and is no part of its terminal.
    proc->setChildProcessModifier([] { ::setsid(); });
    if (!workingFolder.isEmpty()) proc->setWorkingDirectory(workingFolder);
    proc->start();
    if (!proc->waitForStarted(5000)) {
        result.error = program + QStringLiteral(": ") + proc->errorString();
        return result;
    }
    result.started = true;
    if (!AwaitEnd(proc, verdictMs)) return result;
    result.exitCode = ExitCodeOf(*proc);
    if (result.exitCode == 0) return result;
    result.failed = true;
    if (logged) {
        output.seek(0);
        // The last lines say why; a program that talks much has said it at the end.
        constexpr qint64 kTail = 4096;
        if (output.size() > kTail) output.seek(output.size() - kTail);
        QStringList lines = QString::fromLocal8Bit(output.readAll()).split(QLatin1Char('\n'));
        for (QString& line : lines) line = line.trimmed();
        lines.removeAll(QString());
        constexpr int kLines = 8;
        result.lastLines = lines.mid(std::max<qsizetype>(0, lines.size() - kLines));
    }
    return result;
}

} // namespace tv
