#pragma once

#include "tests/support/ChildProcess.h"
#include "tests/support/ScopedLocale.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QMap>

#include <memory>

// A private D-Bus session bus: its own dbus-daemon with the session policy in a fresh folder,
// named by DBUS_SESSION_BUS_ADDRESS while it lives. Qt reads that variable once per process, so a
// test program has one, from CPrivateBusEnvironment; ctest runs each test in a process of its own.
class CPrivateBus {
public:
    CPrivateBus()
        : m_address("unix:path=" + (m_folder / "bus").string()),
          m_addressVariable("DBUS_SESSION_BUS_ADDRESS", m_address) {
        WriteConfig();
        m_daemon = std::make_unique<CChildProcess>(
            std::vector<std::string>{"/usr/bin/dbus-daemon", "--nofork", "--print-address",
                                     "--config-file=" + (m_folder / "bus.conf").string()},
            CChildProcess::Output::Captured);
        // It prints its address once it accepts connections.
        const std::string printed = m_daemon->ReadLine();
        if (!printed.starts_with(m_address)) {
            throw std::runtime_error("dbus-daemon did not start (it printed \"" + printed + "\")");
        }
    }
    const std::string& Address() const { return m_address; }
    // The bus also starts services from activation files in `directory` (created if missing).
    // This and ShareEnvironment reach it through Qt's session bus: the environment's bus only.
    void AddServiceDirectory(const std::filesystem::path& directory) {
        std::filesystem::create_directories(directory);
        m_serviceDirectories.push_back(directory);
        WriteConfig();
        Call("ReloadConfig");
    }
    // Services the bus starts get this process's environment as it is now (variables can be set
    // or changed this way, not removed).
    void ShareEnvironment() {
        QMap<QString, QString> variables;
        for (char** entry = environ; *entry != nullptr; ++entry) {
            const QString text = QString::fromLocal8Bit(*entry);
            variables.insert(text.section(QLatin1Char('='), 0, 0),
                             text.section(QLatin1Char('='), 1));
        }
        qDBusRegisterMetaType<QMap<QString, QString>>();
        Call("UpdateActivationEnvironment", {QVariant::fromValue(variables)});
    }

private:
    void WriteConfig() {
        std::string config =
            "<busconfig><type>session</type><listen>" + m_address +
            "</listen><auth>EXTERNAL</auth><policy context=\"default\"><allow "
            "send_destination=\"*\" eavesdrop=\"true\"/><allow eavesdrop=\"true\"/>"
            "<allow own=\"*\"/></policy>\n";
        for (const auto& directory : m_serviceDirectories) {
            config += "<servicedir>" + directory.string() + "</servicedir>\n";
        }
        m_folder.Write("bus.conf", config + "</busconfig>\n");
    }
    void Call(const char* method, const QVariantList& arguments = {}) {
        QDBusMessage call = QDBusMessage::createMethodCall(
            "org.freedesktop.DBus", "/org/freedesktop/DBus", "org.freedesktop.DBus", method);
        call.setArguments(arguments);
        const QDBusMessage reply = QDBusConnection::sessionBus().call(call);
        if (reply.type() != QDBusMessage::ReplyMessage) {
            throw std::runtime_error(std::string("the private bus refused ") + method + ": " +
                                     reply.errorMessage().toStdString());
        }
    }

    TempDir m_folder;
    std::vector<std::filesystem::path> m_serviceDirectories;
    std::string m_address;
    // Set before the daemon starts, as the services it starts read it; put back after it ends.
    ScopedVariable m_addressVariable;
    std::unique_ptr<CChildProcess> m_daemon;
};

// A Qt application of type T for a whole test program; Qt keeps argc and argv for its lifetime.
template <typename T> std::unique_ptr<T> MakeTestApplication() {
    static int argc = 1;
    static char name[] = "test";
    static char* argv[] = {name, nullptr};
    return std::make_unique<T>(argc, argv);
}

// Starts the program's one private bus, with no service folder, before the first test, and
// makes a QCoreApplication unless a Qt application exists.
class CPrivateBusEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        s_bus = std::make_unique<CPrivateBus>();
        if (QCoreApplication::instance() == nullptr) {
            m_application = MakeTestApplication<QCoreApplication>();
        }
    }
    void TearDown() override {
        s_bus.reset();
        // Before static destruction, which Qt's own state would not outlive.
        m_application.reset();
    }
    static CPrivateBus& Bus() {
        if (s_bus == nullptr) {
            throw std::logic_error("no private bus: register CPrivateBusEnvironment");
        }
        return *s_bus;
    }

private:
    static inline std::unique_ptr<CPrivateBus> s_bus;
    std::unique_ptr<QCoreApplication> m_application;
};
