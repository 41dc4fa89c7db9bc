#include "frmmain.h"

#include "catalogue/core/modmain.h"

#include <QEvent>
#include <QTimer>

namespace tv {

frmMain::frmMain(QWidget* parent) : QMainWindow(parent)
{
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(kAppTitle);
    resize(800, 600);
}

void frmMain::changeEvent(QEvent* event)
{
    // The first activation ends the busy pointer of the start-up.
    if (event->type() == QEvent::ActivationChange && isActiveWindow()) EndStartupPointer();
    QMainWindow::changeEvent(event);
}

void frmMain::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    // Without a window manager the window may never become active: end the pointer once the
    // window is up in any case.
    QTimer::singleShot(0, this, [] { EndStartupPointer(); });
}

} // namespace tv
