#pragma once

#include <QByteArray>
#include <QObject>
#include <QSocketNotifier>
#include <QString>

// Reads standard input without blocking the event loop and hands on each
// complete line. At the end of input it stops reading and stays quiet: a
// substitute started with no input keeps running.
class CStdinReader : public QObject {
    Q_OBJECT
public:
    CStdinReader();

Q_SIGNALS:
    void LineReceived(const QString& line);

private:
    void OnReadable();

    QSocketNotifier m_notifier;
    QByteArray m_pending; // bytes of a line not yet ended
};
