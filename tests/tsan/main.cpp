#include <QCoreApplication>
#include <QStandardPaths>

#include <curl/curl.h>
#include <gtest/gtest.h>

// The HTTP tests need an event loop, and no windows.
int main(int argc, char** argv) {
    curl_global_init(CURL_GLOBAL_DEFAULT);
    QStandardPaths::setTestModeEnabled(true);
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
