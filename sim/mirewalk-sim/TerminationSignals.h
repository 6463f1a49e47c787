#pragma once

#include "platform/FileDescriptor.h"

#include <QObject>
#include <QSocketNotifier>

// Turns SIGINT and SIGTERM into a Qt signal, so the substitute can release
// what it holds before it ends. Construct it before anything starts a thread:
// the signals are blocked in the constructing thread and every thread it
// starts afterwards, and are read from a signalfd instead.
class CTerminationSignals : public QObject {
    Q_OBJECT
public:
    CTerminationSignals();

Q_SIGNALS:
    void Received(int signalNumber);

private:
    void OnReadable();

    CFileDescriptor m_fd;
    QSocketNotifier m_notifier;
};
