#include <QApplication>
#include <QStandardPaths>

#include <curl/curl.h>
#include <gtest/gtest.h>

#include <cstdlib>

// Window tests need a QApplication; the offscreen platform lets them run
// without a display. Tests never touch the real user's folders.
int main(int argc, char** argv) {
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    curl_global_init(CURL_GLOBAL_DEFAULT); // before any HTTP worker starts
    // The maker's server is a closed port of this machine unless a test
    // starts one of its own: no test ever reaches the real one.
    ::setenv("KORVALO_SERVER", "http://127.0.0.1:1", 1);
    QStandardPaths::setTestModeEnabled(true);
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
