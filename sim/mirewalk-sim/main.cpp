// mirewalk-sim: a substitute for the game "Mirewalk 2" with the game's side of
// every exchange with the applet, for the demo and the tests.

#include "core/KitException.h"
#include "gamelink/GameContract.h"
#include "platform/TerminationSignals.h"
#include "sim/mirewalk-sim/AppletClient.h"
#include "sim/mirewalk-sim/GameFolder.h"
#include "sim/mirewalk-sim/MacroLog.h"
#include "sim/mirewalk-sim/MacroServer.h"
#include "sim/mirewalk-sim/SimContract.h"
#include "sim/mirewalk-sim/SimControl.h"
#include "sim/mirewalk-sim/SimGame.h"
#include "sim/mirewalk-sim/StdinReader.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QStringList>
#include <QTimer>

#include <csignal>
#include <cstdio>
#include <exception>
#include <optional>

namespace {

constexpr const char* kUsage =
    "usage: mirewalk-sim init DIR\n"
    "       mirewalk-sim run [--log FILE] [--subject NAME] [--paused] [--delay SECONDS]\n"
    "                        [--create-object]\n"
    "commands while running, one a line on standard input or through the bus name\n"
    "MWGS.Sim: subject NAME | no-subject | pause | resume | refuse N | fail N |\n"
    "delay SECONDS | create-object | notify B0 B1 B2 B3 | release | quit\n";

// The control interface has a connection of its own, so that the game's
// object tree stays exactly the game's.
constexpr const char* kControlConnectionName = "mirewalk-sim-control";

// A game without its bus can do nothing more; checking once a second ends a
// substitute whose private test bus has gone soon enough, at no cost.
constexpr int kBusCheckIntervalMs = 1000;

struct RunOptions {
    QString logPath;
    CSimGame::State state;
    bool createObject = false;
};

int Fail(const QString& message) {
    std::fprintf(stderr, "mirewalk-sim: %s\n", message.toLocal8Bit().constData());
    return 1;
}

std::optional<RunOptions> ParseRunOptions(const QStringList& arguments) {
    RunOptions options;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& argument = arguments[i];
        const bool hasValue = i + 1 < arguments.size();
        if (argument == QLatin1String("--log") && hasValue) {
            options.logPath = arguments[++i];
        } else if (argument == QLatin1String("--subject") && hasValue) {
            options.state.hasSubject = true;
            options.state.subjectName = arguments[++i];
        } else if (argument == QLatin1String("--paused")) {
            options.state.paused = true;
        } else if (argument == QLatin1String("--delay") && hasValue) {
            const auto delay = CSimGame::ParseDelay(arguments[++i]);
            if (!delay) {
                return std::nullopt;
            }
            options.state.answerDelay = *delay;
        } else if (argument == QLatin1String("--create-object")) {
            options.createObject = true;
        } else {
            return std::nullopt;
        }
    }
    return options;
}

bool Serve(QDBusConnection bus, const char* name, const char* path, const char* interface,
           QObject* object) {
    return bus.registerObject(QLatin1String(path), QLatin1String(interface), object,
                              QDBusConnection::ExportAllSlots) &&
           bus.registerService(QLatin1String(name));
}

int Run(QCoreApplication& app, CTerminationSignals& terminationSignals, const RunOptions& options) {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        return Fail(QLatin1String("no session bus: ") + bus.lastError().message());
    }
    CMacroLog log(options.logPath);
    CAppletClient applet(bus, log);
    CSimGame game(options.state, log, applet);
    CMacroServer server(game);
    CSimControl control(game);
    CStdinReader input;

    bool quitting = false;
    const auto quit = [&] {
        if (quitting) {
            app.quit(); // asked twice: do not wait for the applet any longer
            return;
        }
        quitting = true;
        applet.ReleaseAndFinish();
    };
    QObject::connect(&game, &CSimGame::QuitRequested, &app, quit);
    QObject::connect(&terminationSignals, &CTerminationSignals::Received, &app, quit);
    QObject::connect(&applet, &CAppletClient::Finished, &app, &QCoreApplication::quit);
    QObject::connect(&input, &CStdinReader::LineReceived, &game, &CSimGame::Execute);

    QDBusConnection controlBus = QDBusConnection::connectToBus(
        QDBusConnection::SessionBus, QLatin1String(kControlConnectionName));
    if (!Serve(controlBus, SimContract::kControlName, SimContract::kControlPath,
               SimContract::kControlInterface, &control)) {
        return Fail(QLatin1String("cannot serve ") + QLatin1String(SimContract::kControlName));
    }
    // Owning the game's name last tells waiting clients that everything is up.
    if (!Serve(bus, GameContract::kMacroServerName, GameContract::kMacroServerPath,
               GameContract::kMacroServerInterface, &server)) {
        return Fail(QLatin1String("cannot serve ") + QLatin1String(GameContract::kMacroServerName) +
                    QLatin1String(": is another game running?"));
    }
    log.Write(SimContract::kLogEvent, QStringLiteral("serving"));
    QTimer busCheck;
    QObject::connect(&busCheck, &QTimer::timeout, &app, [&] {
        if (!bus.isConnected()) {
            log.Write(SimContract::kLogEvent, QStringLiteral("bus lost"));
            app.exit(1);
        }
    });
    busCheck.start(kBusCheckIntervalMs);
    if (options.createObject) {
        game.Execute(QStringLiteral("create-object"));
    }
    const int status = app.exec();
    log.Write(SimContract::kLogEvent, QStringLiteral("ended"));
    QDBusConnection::disconnectFromBus(QLatin1String(kControlConnectionName));
    return status;
}

int Init(const QString& folder) {
    try {
        InitGameFolder(folder.toStdString());
    } catch (const CKitException& e) {
        return Fail(QString::fromUtf8(e.m_message));
    }
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    try {
        // First, so that a signal during start-up is handled once the loop runs.
        CTerminationSignals terminationSignals;
        // A reader of the log on standard output that goes away must not end the game.
        std::signal(SIGPIPE, SIG_IGN);
        const QStringList arguments = app.arguments().mid(1);
        const QString command = arguments.value(0);
        if (command == QLatin1String("init") && arguments.size() == 2) {
            return Init(arguments[1]);
        }
        if (command == QLatin1String("run")) {
            if (const auto options = ParseRunOptions(arguments.mid(1))) {
                return Run(app, terminationSignals, *options);
            }
        }
        std::fputs(kUsage, stderr);
        return 2;
    } catch (const std::exception& e) {
        return Fail(QString::fromLocal8Bit(e.what()));
    }
}
