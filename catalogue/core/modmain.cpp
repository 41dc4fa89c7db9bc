#include "modmain.h"

#include "platform/db/backgroundreads.h"
#include "platform/gui/eventwait.h"
#include "platform/system/process.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QWidget>

namespace tv {

QString gtAppPath;
QString gtIniFile;
QString gtVersion;

namespace {
bool startupPointerShown = false;
} // namespace

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

std::unique_ptr<QWidget> Main(const MainWindowFactory& createMainWindow, const QString& appFolder)
{
    // The busy pointer stays until the main window's first activation (EndStartupPointer).
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    startupPointerShown = true;

    // Program folder, settings path and version: every later step reads them.
    InitProgramPaths(appFolder);

    // Waiting for an unpacker shows the busy pointer and then restores whatever was shown.
    SetWaitIndicator([](bool waiting) {
        if (waiting)
            QGuiApplication::setOverrideCursor(Qt::WaitCursor);
        else
            QGuiApplication::restoreOverrideCursor();
    });

    UseBackgroundReads();

    // The main window reads the settings, creates the folders, loads the translation and
    // opens the catalogue itself.
    std::unique_ptr<QWidget> window = createMainWindow();
    window->show();
    return window;
}

void UseBackgroundReads()
{
    // A read that ends within a few hundredths of a second is waited for still: the window
    // would hardly repaint in that time, and handling events costs the read its pace.
    constexpr int kPatienceMs = 20;
    SetBackgroundReads(WaitWithEvents, kPatienceMs);
}

void EndStartupPointer()
{
    if (!startupPointerShown) return;
    startupPointerShown = false;
    QGuiApplication::restoreOverrideCursor();
}

} // namespace tv
