#include "process.h"

#include <QCoreApplication>
#include <QProcess>

namespace tv {

int RunAndWait(const QString& program, const QStringList& arguments, int timeoutMs,
               bool keepResponsive, int* exitCode, const QString& workingFolder)
{
    if (exitCode) *exitCode = -1;
    auto* proc = new QProcess;
    proc->setProgram(program);
    proc->setArguments(arguments);
    proc->setStandardInputFile(QProcess::nullDevice());
    proc->setStandardOutputFile(QProcess::nullDevice());
    proc->setStandardErrorFile(QProcess::nullDevice());
    if (!workingFolder.isEmpty()) proc->setWorkingDirectory(workingFolder);
    proc->start();
    if (!proc->waitForStarted(5000)) {
        delete proc;
        return 1;
    }
    int elapsed = 0;
    while (!proc->waitForFinished(50) && proc->state() != QProcess::NotRunning) {
        if (keepResponsive) QCoreApplication::processEvents();
        elapsed += 50;
        if (elapsed > timeoutMs) {
            // Destroying a running QProcess kills it: let it finish on its own, then go.
            QObject::connect(proc, &QProcess::finished, proc, &QObject::deleteLater);
            return 0;
        }
    }
    if (exitCode && proc->exitStatus() == QProcess::NormalExit) *exitCode = proc->exitCode();
    delete proc;
    return 0;
}

} // namespace tv
