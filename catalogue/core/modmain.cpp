#include "modmain.h"

#include <QCoreApplication>

namespace tv {

QString gtAppPath;
QString gtIniFile;
QString gtVersion;

QString VersionText(int major, int minor)
{
    return QString::number(major) + QLatin1Char('.') + QString::number(minor);
}

void InitProgramPaths(const QString& appFolder)
{
    QString folder = appFolder.isEmpty() ? QCoreApplication::applicationDirPath() : appFolder;
    if (!folder.endsWith(QLatin1Char('/')))
        folder += QLatin1Char('/');
    gtAppPath = folder;
    gtIniFile = gtAppPath + QStringLiteral("Tovarin.ini");
    gtVersion = VersionText(TOVARIN_VERSION_MAJOR, TOVARIN_VERSION_MINOR);
}

} // namespace tv
