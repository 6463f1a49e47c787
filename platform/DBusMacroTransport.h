#pragma once

#include "gamelink/GameLink.h"

#include <QDBusConnection>
#include <QString>

// The game's macro server reached over D-Bus. Connect binds to the connection
// that owns the server's name at that moment, so the link talks to one running
// game: if that game goes away, calls fail until the next Connect, even when a
// new game has taken the name meanwhile.
class CDBusMacroTransport final : public IMacroTransport {
public:
    // The game answers a macro at once; only a hung or vanished game takes
    // long. D-Bus's default of 25 s would freeze the user interface for over
    // four minutes across ten attempts; two seconds keeps that near 20 s while
    // leaving a busy game ample time to answer.
    static constexpr int kCallTimeoutMs = 2000;

    CDBusMacroTransport(); // the session bus
    explicit CDBusMacroTransport(const QDBusConnection& bus);

    // True when the server's name has an owner; never starts the game.
    bool Connect() override;
    void Disconnect() override;
    bool IsConnected() const override;
    MacroCallResult Call(std::string_view macroUtf8) override;

private:
    QDBusConnection m_bus;
    QString m_server; // the owner's unique bus name; empty when not connected
};
