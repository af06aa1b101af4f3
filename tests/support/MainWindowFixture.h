#pragma once

#include "mainwindow/StartupEnvironment.h"
#include "mainwindow/TForm1.h"
#include "platform/RegistryFile.h"
#include "support/TempDir.h"

#include <QStringList>

#include <gtest/gtest.h>

#include <memory>

namespace korvalo::test {

// A program folder built by code (categories news with a sub-category,
// sport, info; ten site records with two version records and no password
// record, so showing the window asks nothing; one favourite), a registry
// file of its own, and main windows started on them with every plain
// message recorded instead of shown.
class MainWindowFixture : public ::testing::Test {
protected:
    void SetUp() override;

    StartupEnvironment environment(QSize screen = {1024, 768});
    std::unique_ptr<TForm1> start(QSize screen = {1024, 768});
    RegistryFile registry();

    TempDir dir;
    std::string news; // the first category's name, Windows-1256
    QStringList messages;
    int quitStatus = -1;
    bool started = false;
    int instances_ = 0;
};

// The same folder with one main window already started and shown.
class ShownWindowFixture : public MainWindowFixture {
protected:
    void SetUp() override;

    std::unique_ptr<TForm1> form;
};

} // namespace korvalo::test
