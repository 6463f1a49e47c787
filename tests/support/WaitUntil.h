#pragma once

#include <QCoreApplication>

#include <chrono>
#include <thread>

// Whether `done` holds within `timeout`, asked every `interval`. Serves this process's Qt events
// in between, as the other side of what the test waits for may live in the test itself.
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
