#pragma once

#include "tests/support/ChildProcess.h"
#include "tests/support/ScopedLocale.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QVariant>

#include <memory>

// A private D-Bus session bus: its own dbus-daemon with the session policy in a fresh folder.
// While it lives, DBUS_SESSION_BUS_ADDRESS names it, for this process and every child.
// QDBusConnection::sessionBus() reads that variable once per process, so a test program has one
// such bus, started by CPrivateBusEnvironment before Qt D-Bus is used; ctest runs each test in a
// process of its own, so every test gets a fresh bus.
class CPrivateBus {
public:
    CPrivateBus();

    const std::string& Address() const { return m_address; }

    // The bus also starts services from activation files in `directory`
    // (created if missing). Uses Qt D-Bus.
    void AddServiceDirectory(const std::filesystem::path& directory);
    // Services the bus starts get this process's environment as it is now
    // (variables can be set or changed this way, not removed). Uses Qt D-Bus.
    void ShareEnvironment();

private:
    void WriteConfig();
    void Call(const char* method, const QVariant& argument = {});

    TempDir m_folder;
    std::vector<std::filesystem::path> m_serviceDirectories;
    std::string m_address;
    // Set before the daemon starts, as the services it starts read it; put back after it ends.
    ScopedVariable m_addressVariable;
    std::unique_ptr<CChildProcess> m_daemon;
};

// Starts the program's one private bus, with no service folder, before the first test, and
// makes a QCoreApplication unless a Qt application exists.
class CPrivateBusEnvironment : public ::testing::Environment {
public:
    void SetUp() override;
    void TearDown() override;

    static CPrivateBus& Bus();

private:
    std::unique_ptr<QCoreApplication> m_application;
};
