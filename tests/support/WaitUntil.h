#pragma once

#include <QCoreApplication>

#include <chrono>
#include <thread>

// Asks `done` every `interval` until it holds or `timeout` has passed, serving
// this process's Qt events in between (the other side of what the test waits
// for may live in the test itself). Whether it held.
template <typename Condition>
bool WaitUntil(Condition done, std::chrono::milliseconds timeout,
               std::chrono::milliseconds interval = std::chrono::milliseconds(2)) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (!done()) {
        if (std::chrono::steady_clock::now() >= deadline) {
            return false;
        }
        QCoreApplication::processEvents();
        std::this_thread::sleep_for(interval);
    }
    return true;
}
