#include <QCoreApplication>
#include <QStandardPaths>

#include <curl/curl.h>
#include <gtest/gtest.h>

#include <cstdlib>

// The core's tests run on a plain application object: nothing they use may
// need a window system. Tests never touch the real user's folders.
int main(int argc, char** argv) {
    curl_global_init(CURL_GLOBAL_DEFAULT); // before any HTTP worker starts
    // The maker's server is a closed port of this machine unless a test
    // starts one of its own: no test ever reaches the real one.
    ::setenv("KORVALO_SERVER", "http://127.0.0.1:1", 1);
    QStandardPaths::setTestModeEnabled(true);
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
