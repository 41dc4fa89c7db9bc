#pragma once

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QString>
#include <QStringList>
#include <QThread>

namespace tv::test {

// A stand-in program at `path`: a script that writes its working folder and then its
// arguments, one per line, to `record` (atomically, so a reader never sees half of it).
inline bool WriteStandIn(const QString& path, const QString& record)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly)) return false;
    f.write(QStringLiteral("#!/bin/sh\n{ pwd; for a in \"$@\"; do printf '%s\\n' \"$a\"; done; } > '%1.tmp'\n"
                           "mv '%1.tmp' '%1'\n").arg(record).toUtf8());
    f.close();
    return f.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

// What a stand-in wrote (its working folder, then its arguments), serving events while it
// starts; the record is removed for the next start. Empty when it never ran.
inline QStringList WaitForStandIn(const QString& record)
{
    QDeadlineTimer deadline(30000);
    while (!QFile::exists(record) && !deadline.hasExpired()) {
        QCoreApplication::processEvents();
        QThread::msleep(20);
    }
    QFile f(record);
    if (!f.open(QIODevice::ReadOnly)) return {};
    QStringList lines = QString::fromUtf8(f.readAll()).split(QLatin1Char('\n'));
    lines.removeLast();
    f.close();
    f.remove();
    return lines;
}

} // namespace tv::test
