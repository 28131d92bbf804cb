// The main window's tests run headless, except the screenshots, which need a
// QApplication; ctest runs them on the offscreen platform.
//
// Run as `test_mainwindow --grab-screen FILE` the program only saves a
// picture of the whole screen of its display and ends: the test of the real
// program starts it that way on the virtual display the program runs on.
#include <QApplication>
#include <QGuiApplication>
#include <QPixmap>
#include <QScreen>

#include <cstring>

#include <gtest/gtest.h>

namespace {

int grabScreen(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen)
        return 2;
    return screen->grabWindow(0).save(QString::fromLocal8Bit(argv[2])) ? 0 : 1;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc == 3 && std::strcmp(argv[1], "--grab-screen") == 0)
        return grabScreen(argc, argv);
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
