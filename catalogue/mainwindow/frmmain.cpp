#include "frmmain.h"

#include "catalogue/core/modmain.h"

namespace tv {

frmMain::frmMain(QWidget* parent) : QMainWindow(parent)
{
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(kAppTitle);
    resize(800, 600);
}

} // namespace tv
