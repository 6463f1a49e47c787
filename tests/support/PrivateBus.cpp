#include "tests/support/PrivateBus.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QMap>

#include <fstream>
#include <stdexcept>
#include <unistd.h>

namespace {

std::unique_ptr<CPrivateBus> g_environmentBus;

} // namespace

CPrivateBus::CPrivateBus()
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

void CPrivateBus::AddServiceDirectory(const std::filesystem::path& directory) {
    std::filesystem::create_directories(directory);
    m_serviceDirectories.push_back(directory);
    WriteConfig();
    Call("ReloadConfig");
}

void CPrivateBus::ShareEnvironment() {
    QMap<QString, QString> variables;
    for (char** entry = environ; *entry != nullptr; ++entry) {
        const QString text = QString::fromLocal8Bit(*entry);
        variables.insert(text.section(QLatin1Char('='), 0, 0), text.section(QLatin1Char('='), 1));
    }
    qDBusRegisterMetaType<QMap<QString, QString>>();
    Call("UpdateActivationEnvironment", QVariant::fromValue(variables));
}

void CPrivateBus::WriteConfig() {
    std::ofstream config(m_folder / "bus.conf", std::ios::trunc);
    config << "<busconfig><type>session</type><listen>" << m_address
           << "</listen><auth>EXTERNAL</auth>\n";
    for (const auto& directory : m_serviceDirectories) {
        config << "<servicedir>" << directory.string() << "</servicedir>\n";
    }
    config << "<policy context=\"default\"><allow send_destination=\"*\" eavesdrop=\"true\"/>"
              "<allow eavesdrop=\"true\"/><allow own=\"*\"/></policy></busconfig>\n";
    if (!config.flush()) {
        throw std::runtime_error("cannot write the private bus's configuration");
    }
}

void CPrivateBus::Call(const char* method, const QVariant& argument) {
    QDBusMessage call = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.DBus"), QStringLiteral("/org/freedesktop/DBus"),
        QStringLiteral("org.freedesktop.DBus"), QLatin1String(method));
    if (argument.isValid()) {
        call << argument;
    }
    const QDBusMessage reply = QDBusConnection::sessionBus().call(call);
    if (reply.type() != QDBusMessage::ReplyMessage) {
        throw std::runtime_error(std::string("the private bus refused ") + method + ": " +
                                 reply.errorMessage().toStdString());
    }
}

void CPrivateBusEnvironment::SetUp() {
    g_environmentBus = std::make_unique<CPrivateBus>();
    if (QCoreApplication::instance() == nullptr) {
        static int argc = 1;
        static char name[] = "test";
        static char* argv[] = {name, nullptr};
        m_application = std::make_unique<QCoreApplication>(argc, argv);
    }
}

void CPrivateBusEnvironment::TearDown() {
    g_environmentBus.reset();
    // Before static destruction, which Qt's own state would not outlive.
    m_application.reset();
}

CPrivateBus& CPrivateBusEnvironment::Bus() {
    if (g_environmentBus == nullptr) {
        throw std::logic_error("no private bus: register CPrivateBusEnvironment");
    }
    return *g_environmentBus;
}
