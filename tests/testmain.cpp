#include <QApplication>
#include <gtest/gtest.h>
#include <cstdlib>

int main(int argc, char** argv)
{
    // Must happen before the QApplication exists: without a display Qt would abort.
    if (!std::getenv("QT_QPA_PLATFORM"))
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    unsetenv("QT_SCALE_FACTOR");
    unsetenv("QT_SCREEN_SCALE_FACTORS");
    setenv("QT_FONT_DPI", "96", 1);
    QApplication::setAttribute(Qt::AA_Use96Dpi);
    ::testing::InitGoogleTest(&argc, argv);
    QApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
