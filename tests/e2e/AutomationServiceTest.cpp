#include "platform/AutomationService.h"
#include "gamelink/GameContract.h"
#include "tests/support/BusCall.h"
#include "tests/support/PrivateBus.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusVariant>
#include <QStringList>
#include <QThread>

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace {

// Records what reaches the application's side of each object.
struct Record {
    int alive = 0;
    std::vector<std::string> events;
};

class RecordingObject : public IAutomationObject {
public:
    RecordingObject(Record& record, int number) : m_record(record), m_number(number) {
        ++m_record.alive;
    }
    ~RecordingObject() override { --m_record.alive; }
    void Communicate(std::uint32_t message) override {
        m_record.events.push_back(std::to_string(m_number) + " communicate " +
                                  std::to_string(message));
    }
    void OnFinalRelease() override {
        m_record.events.push_back(std::to_string(m_number) + " final release");
    }

private:
    Record& m_record;
    int m_number;
};

class RecordingFactory : public IAutomationFactory {
public:
    explicit RecordingFactory(Record& record) : m_record(record) {}
    std::unique_ptr<IAutomationObject> CreateAutomationObject() override {
        if (m_refuse) {
            return nullptr;
        }
        return std::make_unique<RecordingObject>(m_record, ++m_created);
    }
    bool m_refuse = false;

private:
    Record& m_record;
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

    QDBusMessage Call(const QString& path, const char* method, const QVariantList& arguments = {}) {
        QDBusMessage call = QDBusMessage::createMethodCall(
            QLatin1String(GameContract::kAppletServiceName), path,
            QLatin1String(GameContract::kAppletInterface), QLatin1String(method));
        call.setArguments(arguments);
        return CallServingEvents(*m_connection, call);
    }
    QString CreateObject() {
        const QDBusMessage reply = Call(QStringLiteral("/"), GameContract::kCreateObjectMethod);
        return reply.type() == QDBusMessage::ReplyMessage
                   ? qvariant_cast<QDBusObjectPath>(reply.arguments().value(0)).path()
                   : QString();
    }
    // The reply's boolean, or the error's name.
    QString Communicate(const QString& path, const QVariant& message) {
        const QDBusMessage reply = Call(path, GameContract::kCommunicateMethod,
                                        {QVariant::fromValue(QDBusVariant(message)),
                                         QVariant::fromValue(QDBusVariant(QString()))});
        return reply.type() == QDBusMessage::ReplyMessage
                   ? QString::fromLatin1(reply.arguments().value(0).toBool() ? "true" : "false")
                   : reply.errorName();
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

    // Lets the service see a client leave the bus.
    void WaitFor(const std::function<bool()>& condition) {
        for (int i = 0; i < 200 && !condition(); ++i) {
            QThread::msleep(10);
            QCoreApplication::processEvents();
        }
    }

    Record m_record;
    RecordingFactory m_factory{m_record};
    CAutomationService m_service{m_factory, QDBusConnection::sessionBus(),
                                 QString::fromLatin1(GameContract::kAppletServiceName)};
};

} // namespace

TEST_F(AutomationServiceTest, CommunicateHandsOnTheLow32BitsOfIntegersAndZeroForAnythingElse) {
    Client game("game");
    const QString path = game.CreateObject();
    ASSERT_EQ(path, QStringLiteral("/Object1"));

    EXPECT_EQ(game.Communicate(path, QVariant::fromValue(quint32(0x0605'0301))), "true");
    EXPECT_EQ(game.Communicate(path, QVariant::fromValue(qint32(-2))), "true");
    EXPECT_EQ(game.Communicate(path, QVariant::fromValue(quint8(10))), "true");
    EXPECT_EQ(game.Communicate(path, QVariant::fromValue(qint16(-1))), "true");
    EXPECT_EQ(game.Communicate(path, QVariant::fromValue(qulonglong(0xFFFF'FFFF'0000'0A02))),
              "true");
    EXPECT_EQ(game.Communicate(path, QVariant::fromValue(qlonglong(-0x1'0000'0000LL))), "true");
    EXPECT_EQ(game.Communicate(path, QStringLiteral("2 10 1 0")), "true");
    EXPECT_EQ(game.Communicate(path, 2.5), "true");
    EXPECT_EQ(game.Communicate(path, true), "true");
    EXPECT_EQ(game.Communicate(path, QStringList{QStringLiteral("x")}), "true");

    EXPECT_EQ(m_record.events,
              (std::vector<std::string>{"1 communicate 100991745", "1 communicate 4294967294",
                                        "1 communicate 10", "1 communicate 4294967295",
                                        "1 communicate 2562", "1 communicate 0", "1 communicate 0",
                                        "1 communicate 0", "1 communicate 0", "1 communicate 0"}));
}

TEST_F(AutomationServiceTest, OnlyTheCreatorReleasesAnObjectAndOnlyOnce) {
    Client game("game");
    Client stranger("stranger");
    const QString first = game.CreateObject();
    const QString second = game.CreateObject();
    EXPECT_EQ(second, QStringLiteral("/Object2"));
    EXPECT_EQ(m_record.alive, 2);

    EXPECT_EQ(stranger.Release(first), "org.freedesktop.DBus.Error.AccessDenied");
    EXPECT_EQ(m_record.alive, 2);
    EXPECT_EQ(stranger.Communicate(first, 7), "true");

    EXPECT_EQ(game.Release(first), "");
    EXPECT_EQ(m_record.alive, 1);
    EXPECT_EQ(game.Release(first), "org.freedesktop.DBus.Error.UnknownObject");
    EXPECT_EQ(game.Communicate(first, 7), "org.freedesktop.DBus.Error.UnknownObject");
    EXPECT_EQ(m_service.ObjectCount(), 1u);
    EXPECT_EQ(m_record.events, (std::vector<std::string>{"1 communicate 7", "1 final release"}));
}

TEST_F(AutomationServiceTest, AClientThatLeavesTheBusReleasesEveryObjectItCreated) {
    Client game("game");
    Client other("other");
    game.CreateObject();
    game.CreateObject();
    const QString kept = other.CreateObject();

    game.Leave();
    WaitFor([&] { return m_record.alive == 1; });

    EXPECT_EQ(m_record.alive, 1);
    EXPECT_EQ(m_record.events, (std::vector<std::string>{"1 final release", "2 final release"}));
    EXPECT_EQ(other.Communicate(kept, 3), "true");
}

TEST_F(AutomationServiceTest, ARefusedCreationIsAnErrorAndASecondServiceCannotStart) {
    Client game("game");
    m_factory.m_refuse = true;
    const QDBusMessage reply = game.Call(QStringLiteral("/"), GameContract::kCreateObjectMethod);
    EXPECT_EQ(reply.errorName(), QStringLiteral("MW_Injector.OLE.Error.CreationFailed"));
    EXPECT_EQ(m_service.ObjectCount(), 0u);

    Record otherRecord;
    RecordingFactory otherFactory(otherRecord);
    CAutomationService second(
        otherFactory,
        QDBusConnection::connectToBus(QDBusConnection::SessionBus, QStringLiteral("second")),
        QString::fromLatin1(GameContract::kAppletServiceName));
    EXPECT_FALSE(second.Start());
}
