#include "platform/WineGameHost.h"
#include "platform/WineBridgeContract.h"
#include "tests/support/PrivateBus.h"

#include <gtest/gtest.h>

#include <QDBusVirtualObject>
#include <QThread>

#include <mutex>

namespace fs = std::filesystem;

namespace {

using Answers = std::map<QString, QVariantList>;

// A bridge as the contract describes it: it answers on its own thread, as the
// real one answers from its bus thread, by the key's or the value's name, and
// keeps a line for each call. A name it has no answer for gets an error reply.
class CFakeBridge final : public QDBusVirtualObject {
public:
    CFakeBridge(QString prefix, Answers keys, Answers values)
        : m_prefix(std::move(prefix)), m_keys(std::move(keys)), m_values(std::move(values)) {}
    QString introspect(const QString&) const override { return {}; }
    bool handleMessage(const QDBusMessage& call, const QDBusConnection& connection) override {
        const QVariantList arguments = call.arguments();
        QString line = call.member();
        for (const QVariant& argument : arguments) {
            line += QLatin1Char(' ') + (argument.typeId() == QMetaType::QByteArray
                                            ? QString::fromLatin1(argument.toByteArray().toHex())
                                            : argument.toString());
        }
        {
            const std::lock_guard lock(m_mutex);
            m_calls.push_back(line.toStdString());
        }
        const auto answer = call.member() == QLatin1String("Prefix") ? QVariantList{m_prefix}
                            : call.member() == QLatin1String("OpenKey")
                                ? Find(m_keys, arguments.value(1).toString())
                                : Find(m_values, arguments.value(2).toString());
        connection.send(answer ? call.createReply(*answer)
                               : call.createErrorReply(QDBusError::Failed, "no answer"));
        return true;
    }
    std::vector<std::string> Calls() const {
        const std::lock_guard lock(m_mutex);
        return m_calls;
    }

private:
    static std::optional<QVariantList> Find(const Answers& answers, const QString& name) {
        const auto found = answers.find(name);
        return found != answers.end() ? std::optional(found->second) : std::nullopt;
    }

    QString m_prefix;
    Answers m_keys;
    Answers m_values;
    mutable std::mutex m_mutex;
    std::vector<std::string> m_calls;
};

// The fake bridge on a connection and a thread of its own, both ended with it.
class CBridgeOnItsThread {
public:
    CBridgeOnItsThread(const std::string& address, CFakeBridge& bridge)
        : m_connection(QDBusConnection::connectToBus(QString::fromStdString(address), "bridge")) {
        bridge.moveToThread(&m_thread);
        m_thread.start();
        m_connection.registerVirtualObject(WineBridgeContract::kPath, &bridge);
    }
    ~CBridgeOnItsThread() {
        m_connection.unregisterObject(WineBridgeContract::kPath);
        m_thread.quit();
        m_thread.wait();
        QDBusConnection::disconnectFromBus("bridge");
    }
    QString Name() const { return m_connection.baseService(); }

private:
    QDBusConnection m_connection;
    QThread m_thread;
};

QVariantList Status(std::uint32_t status, const QVariant& more) {
    return {QVariant::fromValue(status), more};
}

QVariantList Value(std::uint32_t status, std::uint32_t type, const QByteArray& data) {
    return {QVariant::fromValue(status), QVariant::fromValue(type), data};
}

// Statuses map as the contract says, any failed call is a failure, and each
// call carries its arguments in the contract's order; the creator that is no
// bridge leaves the choice of host alone.
TEST(WineGameHost, ReachesWinesRegistryThroughTheBridgeAndItsDrivesThroughThePrefix) {
    const CPrivateBus bus;
    const auto application = MakeTestApplication<QCoreApplication>();
    const TempDir prefix;
    fs::create_directories(prefix / "dosdevices");
    fs::create_directories(prefix / "drive_c/Games");
    fs::create_symlink("../drive_c", prefix / "dosdevices/c:");
    CFakeBridge fake(QString::fromStdString(prefix.Path().string()),
                     {{"Game", Status(0, false)},
                      {"New", Status(0, true)},
                      {"Gone", Status(1, false)},
                      {"Broken", Status(2, false)},
                      {"Shape", {QVariant::fromValue(0u)}}},
                     {{"Folder", Value(0, 1, QByteArray("C:\\\0", 4))},
                      {"Absent", Value(1, 0, {})},
                      {"Odd", Value(7, 4, {})},
                      {"Written", {QVariant::fromValue(0u)}},
                      {"Refused", {QVariant::fromValue(2u)}}});
    const CBridgeOnItsThread bridge(bus.Address(), fake);
    const QDBusConnection client =
        QDBusConnection::connectToBus(QString::fromStdString(bus.Address()), "client");

    EXPECT_EQ(CWineGameHost::OfCreator(client, ""), nullptr);
    EXPECT_EQ(CWineGameHost::OfCreator(client, ":1.9999"), nullptr);
    const auto host = CWineGameHost::OfCreator(client, bridge.Name());
    ASSERT_NE(host, nullptr);
    EXPECT_EQ(host->LocalDirectory("c:\\GAMES\\"),
              fs::canonical(prefix / "drive_c/Games").string() + "/");

    const struct {
        const char* subkey;
        bool create;
        RegistryStatus status;
        bool created;
    } keys[] = {
        {"Game", false, RegistryStatus::Ok, false},
        {"New", true, RegistryStatus::Ok, true},
        {"Gone", false, RegistryStatus::Missing, false},
        {"Broken", true, RegistryStatus::Failed, false},
        {"Shape", false, RegistryStatus::Failed, false},
        {"Error", false, RegistryStatus::Failed, false},
        {"Bad\\\\Name", true, RegistryStatus::Failed, false},
    };
    for (const auto& k : keys) {
        SCOPED_TRACE(k.subkey);
        std::unique_ptr<RegistryKeyHandle> key;
        bool created = !k.created;
        EXPECT_EQ(k.create ? host->CreateKey("HKEY_CURRENT_USER", k.subkey, created, key)
                           : host->OpenKey("HKEY_CURRENT_USER", k.subkey, key),
                  k.status);
        EXPECT_EQ(key != nullptr, k.status == RegistryStatus::Ok);
        EXPECT_EQ(created, k.create ? k.created : !k.created);
    }

    std::unique_ptr<RegistryKeyHandle> key;
    ASSERT_EQ(host->OpenKey("HKEY_LOCAL_MACHINE", "Game", key), RegistryStatus::Ok);
    const std::pair<const char*, RegistryStatus> reads[] = {
        {"Folder", RegistryStatus::Ok},
        {"Absent", RegistryStatus::Missing},
        {"Odd", RegistryStatus::Failed},
        {"Error", RegistryStatus::Failed},
    };
    for (const auto& [name, status] : reads) {
        RegistryValue value;
        EXPECT_EQ(key->Read(name, value), status) << name;
    }
    RegistryValue folder;
    key->Read("Folder", folder);
    EXPECT_EQ(std::tuple(folder.type, folder.data),
              std::tuple(1u, std::vector<std::uint8_t>{'C', ':', '\\', 0}));
    EXPECT_EQ(key->Write("Written", 3, {1, 0xFF}), RegistryStatus::Ok);
    EXPECT_EQ(key->Write("Refused", 4, {}), RegistryStatus::Failed);

    EXPECT_EQ(
        fake.Calls(),
        (std::vector<std::string>{
            "Prefix", "OpenKey HKEY_CURRENT_USER Game false", "OpenKey HKEY_CURRENT_USER New true",
            "OpenKey HKEY_CURRENT_USER Gone false", "OpenKey HKEY_CURRENT_USER Broken true",
            "OpenKey HKEY_CURRENT_USER Shape false", "OpenKey HKEY_CURRENT_USER Error false",
            "OpenKey HKEY_LOCAL_MACHINE Game false", "ReadValue HKEY_LOCAL_MACHINE Game Folder",
            "ReadValue HKEY_LOCAL_MACHINE Game Absent", "ReadValue HKEY_LOCAL_MACHINE Game Odd",
            "ReadValue HKEY_LOCAL_MACHINE Game Error", "ReadValue HKEY_LOCAL_MACHINE Game Folder",
            "WriteValue HKEY_LOCAL_MACHINE Game Written 3 01ff",
            "WriteValue HKEY_LOCAL_MACHINE Game Refused 4 "}));
    QDBusConnection::disconnectFromBus("client");
}

} // namespace
