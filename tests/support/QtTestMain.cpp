// The main of every test folder whose tests open real windows (screenshots,
// the Qt backend): they need a QApplication; ctest runs them on the
// offscreen platform. No proxy may stand between a test and its own server
// on 127.0.0.1.
#include <QApplication>

#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    for (const char* v : {"http_proxy", "HTTP_PROXY", "https_proxy", "HTTPS_PROXY", "all_proxy", "ALL_PROXY"})
        qunsetenv(v);
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
