#pragma once

#include <QDBusConnection>
#include <QDBusMessage>

// Makes a method call and waits for its answer (or its timeout, -1: D-Bus's
// default) while serving this process's Qt events, so the callee may live in
// the test itself.
//
// Qt's own way, QDBus::BlockWithGui, loses a reply that arrives before its
// local event loop starts listening: the call then waits forever, past its
// own timeout. With Qt 6.4 that happens about once in some ten thousand calls
// to a quick callee, and it is how an end-to-end test hung. Asking the pending
// call whether it has finished cannot miss the reply.
QDBusMessage CallServingEvents(const QDBusConnection& connection, const QDBusMessage& call,
                               int timeoutMs = -1);
