// The main of every test folder whose tests open real windows (screenshots,
// the Qt backend): they need a QApplication; ctest runs them on the
// offscreen platform. No proxy may stand between a test and its own server
// on 127.0.0.1.
//
// Run as `TESTS --grab-screen FILE` it only saves a picture of the whole
// screen of its display and ends: the test of the real program starts it
// that way on the virtual display the program runs on.
#include <QApplication>
#include <QPixmap>
#include <QScreen>

#include <cstring>

#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    if (argc == 3 && std::strcmp(argv[1], "--grab-screen") == 0) {
        QGuiApplication app(argc, argv);
        QScreen* screen = QGuiApplication::primaryScreen();
        return screen && screen->grabWindow(0).save(QString::fromLocal8Bit(argv[2])) ? 0 : 1;
    }
    for (const char* v : {"http_proxy", "HTTP_PROXY", "https_proxy", "HTTPS_PROXY", "all_proxy", "ALL_PROXY"})
        qunsetenv(v);
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
