#include "platform/AutomationService.h"

#include "gamelink/GameContract.h"
#include "tests/support/EveryTestOnAPrivateBus.h"
#include "tests/support/WaitUntil.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusPendingCall>
#include <QDBusVariant>
#include <QStringList>

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

using namespace std::chrono_literals;

namespace {

// Records what reaches the application's side of the objects it makes.
class RecordingFactory : public IAutomationFactory {
public:
    std::unique_ptr<IAutomationObject> CreateAutomationObject() override {
        return refuse ? nullptr : std::make_unique<Object>(*this, ++m_created);
    }
    bool refuse = false;
    int alive = 0;
    std::vector<std::string> events;

private:
    class Object : public IAutomationObject {
    public:
        Object(RecordingFactory& factory, int number) : m_factory(factory), m_number(number) {
            ++m_factory.alive;
        }
        ~Object() override { --m_factory.alive; }
        void Communicate(std::uint32_t message) override {
            Event("communicate " + std::to_string(message));
        }
        void OnFinalRelease() override { Event("final release"); }

    private:
        void Event(const std::string& text) {
            m_factory.events.push_back(std::to_string(m_number) + " " + text);
        }
        RecordingFactory& m_factory;
        int m_number;
    };
    int m_created = 0;
};

// A bus client of its own, as the game is to the applet.
class Client {
public:
    explicit Client(const char* name)
        : m_name(QString::fromLatin1(name)),
          m_connection(QDBusConnection::connectToBus(QDBusConnection::SessionBus, m_name)) {}
    ~Client() { Leave(); }
    void Leave() {
        m_connection.reset();
        QDBusConnection::disconnectFromBus(m_name);
    }

    // Waits for the answer serving this process's events, where the service
    // lives. (QDBus::BlockWithGui loses a reply that comes before its local
    // event loop listens, and then waits past its own timeout.)
    QDBusMessage Call(const QString& path, const char* method, const QVariantList& arguments = {}) {
        QDBusMessage call = QDBusMessage::createMethodCall(
            QLatin1String(GameContract::kAppletServiceName), path,
            QLatin1String(GameContract::kAppletInterface), QLatin1String(method));
        call.setArguments(arguments);
        const QDBusPendingCall pending = m_connection->asyncCall(call);
        WaitUntil([&] { return pending.isFinished(); }, 60s);
        return pending.reply();
    }
    QString CreateObject() {
        const QDBusMessage reply = Call(QStringLiteral("/"), GameContract::kCreateObjectMethod);
        return qvariant_cast<QDBusObjectPath>(reply.arguments().value(0)).path();
    }
    // The reply's boolean, or the error's name.
    QString Communicate(const QString& path, const QVariant& message) {
        const QDBusMessage reply = Call(path, GameContract::kCommunicateMethod,
                                        {QVariant::fromValue(QDBusVariant(message)),
                                         QVariant::fromValue(QDBusVariant(QString()))});
        return reply.type() != QDBusMessage::ReplyMessage ? reply.errorName()
               : reply.arguments().value(0).toBool()      ? QStringLiteral("true")
                                                          : QStringLiteral("false");
    }
    // Empty on success, otherwise the error's name.
    QString Release(const QString& path) {
        return Call(path, GameContract::kReleaseMethod).errorName();
    }

private:
    QString m_name;
    std::optional<QDBusConnection> m_connection;
};

class AutomationServiceTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(m_service.Start()); }

    RecordingFactory m_factory;
    CAutomationService m_service{m_factory, QDBusConnection::sessionBus(),
                                 QString::fromLatin1(GameContract::kAppletServiceName)};
};

} // namespace

TEST_F(AutomationServiceTest, CommunicateHandsOnTheLow32BitsOfIntegersAndZeroForAnythingElse) {
    Client game("game");
    const QString path = game.CreateObject();
    ASSERT_EQ(path, QStringLiteral("/Object1"));
    const std::pair<QVariant, std::uint32_t> messages[] = {
        {QVariant::fromValue(quint32(0x0605'0301)), 0x0605'0301},
        {QVariant::fromValue(qint32(-2)), 0xFFFF'FFFE},
        {QVariant::fromValue(quint8(10)), 10},
        {QVariant::fromValue(qint16(-1)), 0xFFFF'FFFF},
        {QVariant::fromValue(qulonglong(0xFFFF'FFFF'0000'0A02)), 0x0A02},
        {QVariant::fromValue(qlonglong(-0x1'0000'0000LL)), 0},
        {QStringLiteral("2 10 1 0"), 0},
        {2.5, 0},
        {true, 0},
        {QStringList{QStringLiteral("x")}, 0},
    };
    for (const auto& [message, received] : messages) {
        SCOPED_TRACE(message.typeName());
        m_factory.events.clear();
        EXPECT_EQ(game.Communicate(path, message), "true");
        EXPECT_EQ(m_factory.events,
                  std::vector<std::string>{"1 communicate " + std::to_string(received)});
    }
}

TEST_F(AutomationServiceTest, OnlyTheCreatorReleasesAnObjectAndOnlyOnce) {
    Client game("game");
    Client stranger("stranger");
    const QString first = game.CreateObject();
    EXPECT_EQ(game.CreateObject(), QStringLiteral("/Object2"));
    EXPECT_EQ(m_factory.alive, 2);

    EXPECT_EQ(stranger.Release(first), "org.freedesktop.DBus.Error.AccessDenied");
    EXPECT_EQ(m_factory.alive, 2);
    EXPECT_EQ(stranger.Communicate(first, 7), "true");

    EXPECT_EQ(game.Release(first), "");
    EXPECT_EQ(m_factory.alive, 1);
    EXPECT_EQ(game.Release(first), "org.freedesktop.DBus.Error.UnknownObject");
    EXPECT_EQ(game.Communicate(first, 7), "org.freedesktop.DBus.Error.UnknownObject");
    EXPECT_EQ(m_service.ObjectCount(), 1u);
    EXPECT_EQ(m_factory.events, (std::vector<std::string>{"1 communicate 7", "1 final release"}));
}

TEST_F(AutomationServiceTest, AClientThatLeavesTheBusReleasesEveryObjectItCreated) {
    Client game("game");
    Client other("other");
    game.CreateObject();
    game.CreateObject();
    const QString kept = other.CreateObject();

    game.Leave();

    EXPECT_TRUE(WaitUntil([&] { return m_factory.alive == 1; }, 2s));
    EXPECT_EQ(m_factory.events, (std::vector<std::string>{"1 final release", "2 final release"}));
    EXPECT_EQ(other.Communicate(kept, 3), "true");
}

TEST_F(AutomationServiceTest, ARefusedCreationIsAnErrorAndASecondServiceCannotStart) {
    Client game("game");
    m_factory.refuse = true;
    const QDBusMessage reply = game.Call(QStringLiteral("/"), GameContract::kCreateObjectMethod);
    EXPECT_EQ(reply.errorName(), QStringLiteral("MW_Injector.OLE.Error.CreationFailed"));
    EXPECT_EQ(m_service.ObjectCount(), 0u);

    RecordingFactory otherFactory;
    CAutomationService second(
        otherFactory,
        QDBusConnection::connectToBus(QDBusConnection::SessionBus, QStringLiteral("second")),
        QString::fromLatin1(GameContract::kAppletServiceName));
    EXPECT_FALSE(second.Start());
}
