#pragma once

#include "gamelink/MacroTransport.h"
#include "platform/DBusTimeout.h"

#include <QDBusConnection>
#include <QString>

// The game's macro server reached over D-Bus. Connect binds to the connection
// that owns the server's name at that moment, so the link talks to one running
// game: if that game goes away, calls fail until the next Connect, even when a
// new game has taken the name meanwhile.
//
// A call waits for the game's answer however long the game takes, with no
// timeout of its own by default: a call that gave up early would leave the game running
// a macro that the link then sends again. A game that leaves the bus meanwhile
// ends the wait at once, since the bus answers for it.
class CDBusMacroTransport final : public IMacroTransport {
public:
    CDBusMacroTransport(); // the session bus
    // `callTimeoutMs`: how long a call waits for the game before it counts as
    // one that may have run; never, unless a test wants to see that happen.
    explicit CDBusMacroTransport(const QDBusConnection& bus, int callTimeoutMs = kDBusNoTimeout);

    // True when the server's name has an owner; never starts the game.
    bool Connect() override;
    void Disconnect() override;
    bool IsConnected() const override;
    MacroCallResult Call(std::string_view macroUtf8) override;

private:
    // An error in place of the game's answer: the game certainly did not run
    // the macro, unless the bus gave up waiting while the game is still there.
    MacroCallResult Failure(const QDBusMessage& error) const;

    QDBusConnection m_bus;
    int m_callTimeoutMs;
    QString m_server; // the owner's unique bus name; empty when not connected
};
