// Any client may notify an object: the low 32 bits of an integer of any size,
// zero for anything else. A second service cannot take the name.
#include "platform/AutomationService.h"

#include "gamelink/GameContract.h"
#include "tests/support/EveryTestOnAPrivateBus.h"
#include "tests/support/WaitUntil.h"

#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusPendingCall>
#include <QDBusVariant>

#include <gtest/gtest.h>

using namespace std::chrono_literals;

namespace {

struct RecordingFactory : IAutomationFactory {
    struct Object : IAutomationObject {
        explicit Object(std::vector<std::uint32_t>& received) : m_received(received) {}
        void Communicate(std::uint32_t message) override { m_received.push_back(message); }
        void OnFinalRelease() override {}
        std::vector<std::uint32_t>& m_received;
    };
    std::unique_ptr<IAutomationObject> CreateAutomationObject() override {
        return std::make_unique<Object>(received);
    }
    std::vector<std::uint32_t> received;
};

// Serves this process's events while it waits, as the service lives here.
QDBusMessage Call(const QDBusConnection& client, const QString& path, const char* method,
                  const QVariantList& arguments = {}) {
    QDBusMessage call = QDBusMessage::createMethodCall(
        QLatin1String(GameContract::kAppletServiceName), path,
        QLatin1String(GameContract::kAppletInterface), QLatin1String(method));
    call.setArguments(arguments);
    const QDBusPendingCall pending = client.asyncCall(call);
    WaitUntil([&] { return pending.isFinished(); }, 60s);
    return pending.reply();
}

TEST(AutomationServiceTest,
     AnyClientNotifiesWithTheLow32BitsOfIntegersAndALeavingClientTakesItsObjects) {
    const QString name = QString::fromLatin1(GameContract::kAppletServiceName);
    RecordingFactory factory;
    CAutomationService service(factory, QDBusConnection::sessionBus(), name);
    ASSERT_TRUE(service.Start());
    // Calls within one connection would not cross the bus.
    auto game = QDBusConnection::connectToBus(QDBusConnection::SessionBus, "game");
    const auto other = QDBusConnection::connectToBus(QDBusConnection::SessionBus, "other");
    EXPECT_FALSE(CAutomationService(factory, other, name).Start());
    const auto create = [](const QDBusConnection& client) {
        const QDBusMessage reply = Call(client, "/", GameContract::kCreateObjectMethod);
        return qvariant_cast<QDBusObjectPath>(reply.arguments().value(0)).path();
    };
    const QString path = create(other);
    const std::pair<QVariant, std::uint32_t> messages[] = {
        {QVariant::fromValue(quint32(0x0605'0301)), 0x0605'0301},
        {QVariant::fromValue(qint32(-2)), 0xFFFF'FFFE},
        {QVariant::fromValue(quint8(10)), 10},
        {QVariant::fromValue(qint16(-1)), 0xFFFF'FFFF},
        {QVariant::fromValue(qulonglong(0xFFFF'FFFF'0000'0A02)), 0x0A02},
        {QVariant::fromValue(qlonglong(-0x1'0000'0000LL)), 0},
        {true, 0},
    };
    for (const auto& [message, received] : messages) {
        SCOPED_TRACE(message.typeName());
        factory.received.clear();
        const QDBusMessage reply = Call(game, path, GameContract::kCommunicateMethod,
                                        {QVariant::fromValue(QDBusVariant(message)),
                                         QVariant::fromValue(QDBusVariant(QString()))});
        EXPECT_EQ(reply.arguments().value(0), QVariant(true)) << reply.errorName().toStdString();
        EXPECT_EQ(factory.received, std::vector<std::uint32_t>{received});
    }

    create(game);
    create(game);
    EXPECT_EQ(service.ObjectCount(), 3u);
    game = QDBusConnection(QString());
    QDBusConnection::disconnectFromBus(QStringLiteral("game"));
    EXPECT_TRUE(WaitUntil([&] { return service.ObjectCount() == 1; }, 2s));
}

} // namespace
