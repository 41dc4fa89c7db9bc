#pragma once

#include <QString>
#include <QStringList>
#include <atomic>
#include <functional>

namespace tv {

// Runs a program without a shell and waits for it, serving the event loop every 50 ms
// when `keepResponsive` is set. Returns 0 when the program was started (whether or not it
// ended within `timeoutMs`), 1 when it could not be started. A program still running at the
// time-out is left running. `exitCode` (when given) receives the exit code, or -1 when the
// program did not end in time or crashed.
// The program gets the null device as standard input, output and error and runs in a session
// of its own, without a terminal, so nothing it asks can stall the wait.
int RunAndWait(const QString& program, const QStringList& arguments, int timeoutMs,
               bool keepResponsive, int* exitCode = nullptr,
               const QString& workingFolder = QString());

// RunAndWait for a thread that serves no event loop: shows no wait and serves no events; a
// program still running at the time-out, or once `stop` is set, is killed (exit code -1).
int RunInThread(const QString& program, const QStringList& arguments, int timeoutMs,
                const std::atomic<bool>& stop, int* exitCode = nullptr,
                const QString& workingFolder = QString());

// Runs a program, serving the event loop every 50 ms (without the wait indicator), and hands
// each line of its standard output to `onLine` as it comes, without its line end, so that a
// long output is never held whole. A program still running at the time-out is killed (exit
// code -1).
// Returns 0 when the program was started, 1 when it could not be started.
int RunAndReadLines(const QString& program, const QStringList& arguments, int timeoutMs,
                    const std::function<void(const QByteArray& line)>& onLine, int* exitCode = nullptr,
                    const QString& workingFolder = QString());

// Waits in the event loop's thread until `done(waitMs)` (which may block up to `waitMs`)
// says so, serving the event loop between its calls and showing the wait indicator as
// RunAndWait does; no indicator when it is done at once.
void WaitServingEvents(const std::function<bool(int waitMs)>& done);

// Called with true when RunAndWait begins to wait and with false when it returns; the
// program shows its busy pointer here. No indicator by default.
void SetWaitIndicator(std::function<void(bool waiting)> indicator);

// Splits a command line into arguments the way the old platform's programs split theirs:
// blanks and tabs separate arguments outside double quotes; 2n backslashes before a quote
// give n backslashes and the quote opens or closes a quoted run; 2n+1 backslashes before a
// quote give n backslashes and a literal quote; backslashes before anything else are
// literal; "" inside a quoted run gives a literal quote; "" alone gives an empty argument.
QStringList SplitCommandLine(const QString& commandLine);

// Starts a program detached in `workingFolder` (the current folder when empty), without a
// shell and with the null device as standard input. The program outlives Tovarin. False, and
// the reason in `error`, when it could not be started (missing, not executable, no such
// working folder).
bool StartDetached(const QString& program, const QStringList& arguments,
                   const QString& workingFolder, QString* error = nullptr);

// The program a configured path names: a bare name ("atari800") is looked up on the PATH,
// a path with a "/" stands as it is. Empty when a bare name is on no folder of the PATH.
// A Windows program (".exe") is found without an execute bit, since Wine starts it.
QString ResolveProgram(const QString& path);

// A Windows program (".exe", any case): on Linux it runs under Wine.
bool IsWindowsProgram(const QString& path);

// A path in Wine's drive form: Wine maps the root folder to drive Z:, so "/a/b c" is
// "Z:\a\b c". A Windows program reads a word that begins with "/" as a switch.
QString WineDrivePath(const QString& path);

// Opens a document, picture or folder with the desktop's default program (xdg-open). The
// opener ends as soon as it has handed the file over, or fails with an exit code of its own
// (2 no such file, 3 no program for this kind of file, 4 the program failed); it is given a
// short wait for its verdict, serving the event loop. False, with the reason in `error` and
// the exit code in `exitCode` (-1 when the opener could not be started or crashed), when it
// failed. An opener still running after the wait has handed the file over and counts as
// started: without a desktop environment it waits for the program it started and passes that
// program's exit status on, which is the program's own affair (the user sees its window), so
// nothing is reported of it, unless the caller asks for that exit through `lateEnd` (a folder
// opener may need longer on a busy machine to find that it has no program for folders).
bool OpenDocument(const QString& path, QString* error = nullptr, int* exitCode = nullptr,
                  std::function<void(int exitCode)> lateEnd = {});

// What became of a program started by StartWatched.
struct WatchedStart {
    bool started = false;    // the program could be started (else `error` says why)
    bool failed = false;     // it ended within the watch with an error status or crashed
    int exitCode = -1;       // its exit code when it ended within the watch (-1: crashed or still running)
    QStringList lastLines;   // of a failed program: the last lines of its output, without blank ones
    QString error;
};

// Starts a program as StartDetached does (in `workingFolder`, no shell, the null device as
// standard input, in a session of its own, outliving Tovarin) and watches it for `verdictMs`
// while serving the event loop: a program that ends within that time with an error status or
// crashes has failed, and the last lines it wrote to its standard output and error are kept.
// A program still running after the watch, or ended with 0, counts as started.
WatchedStart StartWatched(const QString& program, const QStringList& arguments, const QString& workingFolder,
                          int verdictMs);

} // namespace tv
