#pragma once

#include <QDBusConnection>
#include <QString>

#include <cstdint>
#include <string>

// A Wine bridge that a program of this machine starts for itself, as
// "$WINE <bridge> --client <its unique bus name>". The bridge serves the
// prefix's registry and, once linked, the game's macro server; it ends once
// the program leaves the bus, so nothing needs to stop it.
class CWineBridgeProcess {
public:
    explicit CWineBridgeProcess(QDBusConnection connection);

    // Starts the bridge and waits until it serves the bus; from then on this
    // process reads the game's settings through it, with the paths of the
    // prefix that WinePrefix() names (the bridge shares this program's
    // environment). False, with the reason for the user in `failure`, when
    // there is no session bus, no bridge file, no wine to run it, or it ends
    // or stays silent.
    bool Start(std::string& failure);

    // The bridge's answers (WineBridgeContract::Status); kFailed when the call
    // itself fails.
    std::uint32_t RegisterServer() const;
    std::uint32_t LinkGame() const;

private:
    QDBusConnection m_connection;
    QString m_serviceName;
};
