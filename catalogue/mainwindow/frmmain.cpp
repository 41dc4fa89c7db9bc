#include "frmmain.h"

#include "catalogue/core/modglobals.h"
#include "catalogue/core/modmain.h"
#include "catalogue/core/modsettings.h"
#include "platform/gui/msgbox.h"

#include <QDir>
#include <QEvent>
#include <QTimer>

namespace tv {

frmMain::frmMain(QWidget* parent) : QMainWindow(parent)
{
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(kAppTitle);
    resize(800, 600);
    // Every setting goes to the program-wide values and this window's state; the emulators
    // and profiles are read here, or the default ones made on a first run.
    LoadMainSettings(mSettings);
    // Only the temporary folder is made; "Lang" and "Tools" are just looked in.
    if (!QDir(gtTempPath).exists()) QDir().mkpath(gtTempPath);
    LoadFormPos(this);
}

void frmMain::EndFirstActivation()
{
    EndStartupPointer();
    FirstActivation = false;
}

void frmMain::changeEvent(QEvent* event)
{
    // The first activation ends the busy pointer of the start-up.
    if (event->type() == QEvent::ActivationChange && isActiveWindow()) EndFirstActivation();
    QMainWindow::changeEvent(event);
}

void frmMain::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    // Without a window manager the window may never become active: end the pointer once the
    // window is up in any case.
    QTimer::singleShot(0, this, [this] { EndFirstActivation(); });
}

void frmMain::closeEvent(QCloseEvent* event)
{
    if (!FirstActivation) {
        SaveFormPos(this);
        QString error;
        if (!WriteMainSettings(mSettings, &error))
            MsgBox(gtIniFile + QStringLiteral(": ") + error, vbExclamation | vbOKOnly, kAppTitle);
    }
    QMainWindow::closeEvent(event);
}

} // namespace tv
