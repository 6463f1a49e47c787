#pragma once

#include "gamelink/GameContract.h"
#include "tests/support/ChildProcess.h"
#include "tests/support/EveryTestOnAPrivateBus.h"
#include "tests/support/GameEnvironment.h"
#include "tests/support/WaitUntil.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QImage>

#include <fstream>

inline const std::string kApplet = SB_BIN_DIR "/splicebox";

// Installs a game with the applet's pictures, registers the applet by its plain
// start, and lets the bus start it on request with this process's environment.
inline void RegisterApplet(GameEnvironment& environment) {
    const auto game = environment.InstallGame();
    QImage picture(8, 8, QImage::Format_RGB888);
    picture.fill(Qt::gray);
    for (const char* name : {"wallpaper.bmp", "Injector.bmp"}) {
        ASSERT_TRUE(picture.save(QString::fromStdString(game / "Applet Data" / name)));
    }
    ASSERT_EQ(CChildProcess({kApplet}).WaitForExit(std::chrono::seconds(10)), 0);
    CPrivateBusEnvironment::Bus().AddServiceDirectory(environment.DataHome() / "dbus-1/services");
    CPrivateBusEnvironment::Bus().ShareEnvironment();
}

// The process that serves the applet's name on the bus; -1 when none does.
inline qint64 AppletPid() {
    const auto reply = QDBusConnection::sessionBus().interface()->servicePid(
        QLatin1String(GameContract::kAppletServiceName));
    return reply.isValid() ? static_cast<qint64>(reply.value()) : -1;
}

// Whether the process is gone within `timeout`; one that has ended but not
// been collected by its parent (the bus) counts as gone.
inline bool WaitForProcessEnd(qint64 pid, std::chrono::milliseconds timeout) {
    const auto gone = [pid] {
        std::ifstream in("/proc/" + std::to_string(pid) + "/stat");
        std::string pidField, name, state;
        return !(in >> pidField >> name >> state) || state == "Z";
    };
    return WaitUntil(gone, timeout);
}
