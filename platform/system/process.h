#pragma once

#include <QString>
#include <QStringList>

namespace tv {

// Runs a program without a shell and waits for it, serving the event loop every 50 ms
// when `keepResponsive` is set. Returns 0 when the program was started (whether or not it
// ended within `timeoutMs`), 1 when it could not be started. A program still running at the
// time-out is left running. `exitCode` (when given) receives the exit code, or -1 when the
// program did not end in time or crashed.
int RunAndWait(const QString& program, const QStringList& arguments, int timeoutMs,
               bool keepResponsive, int* exitCode = nullptr,
               const QString& workingFolder = QString());

} // namespace tv
