#pragma once

#include <limits>

// A D-Bus call timeout that never runs out: libdbus reads INT_MAX as "no
// timeout" (DBUS_TIMEOUT_INFINITE), and Qt D-Bus hands the value through to
// it unchanged. The call then waits until the callee answers or leaves the
// bus, or the bus gives up on its own terms.
inline constexpr int kDBusNoTimeout = std::numeric_limits<int>::max();
