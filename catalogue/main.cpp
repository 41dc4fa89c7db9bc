#include <QApplication>

#include "catalogue/core/modmain.h"
#include "catalogue/images/imagelists.h"
#include "catalogue/mainwindow/frmmain.h"

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    // Every window of the program shows its picture.
    app.setWindowIcon(tv::ProgramIcon());
    // Main fixes the program paths and shows the main window, which does the rest of the
    // start-up when it loads. The program ends when the main window closes.
    const std::unique_ptr<QWidget> mainWindow = tv::Main([] { return std::make_unique<tv::frmMain>(); });
    return app.exec();
}
