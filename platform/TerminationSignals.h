#pragma once

#include "platform/FileDescriptor.h"

#include <QObject>
#include <QSocketNotifier>

#include <array>
#include <csignal>

// Turns SIGTERM, SIGINT and SIGHUP (kill, Ctrl-C, the end of the session) into
// a Qt signal that the event loop delivers. The handler only writes the
// signal's number into a pipe, whichever thread it runs on; a socket notifier
// reads the pipe, so no Qt code ever runs inside the handler. A signal that
// arrives while the event loop is blocked, or before it runs, waits in the
// pipe until the loop comes round.
//
// Create it after the application object (the notifier needs the event
// loop). One may exist at a time, since the handler has one pipe to write to;
// the earlier handling of the three signals comes back when it goes.
class CTerminationSignals final : public QObject {
    Q_OBJECT
public:
    // Throws std::system_error when the pipe or a handler cannot be set up.
    CTerminationSignals();
    ~CTerminationSignals() override;
    CTerminationSignals(const CTerminationSignals&) = delete;
    CTerminationSignals& operator=(const CTerminationSignals&) = delete;

    static constexpr std::array<int, 3> kSignals{SIGTERM, SIGINT, SIGHUP};

Q_SIGNALS:
    void Received(int signalNumber);

private:
    void OnReadable();
    void RestoreHandlers(std::size_t count);

    CFileDescriptor m_readEnd;
    CFileDescriptor m_writeEnd;
    QSocketNotifier m_notifier;
    std::array<struct sigaction, kSignals.size()> m_previous{};
};
