#include <QApplication>

#include "catalogue/core/modmain.h"
#include "catalogue/mainwindow/frmmain.h"

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    // Program paths and version first: every later step reads them.
    tv::InitProgramPaths();
    // The main window does the rest of the start-up when it loads.
    tv::frmMain w;
    w.show();
    return app.exec();
}
