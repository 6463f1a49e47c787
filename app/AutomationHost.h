#pragma once

#include <cstdint>

// What the automation objects need from the application.
class IAutomationHost {
public:
    virtual ~IAutomationHost() = default;
    // While a lock is held the process keeps running, with or without a window.
    virtual void LockApp() = 0;
    virtual void UnlockApp() = 0;
    // Hands a notification to the main sheet, if there is one.
    virtual void DispatchNotification(std::uint32_t message) = 0;
    // Posts a close to the main window, if there is one, as its Close button does.
    virtual void PostCloseToMainWindow() = 0;
};
