#pragma once

#include <array>
#include <cstdint>
#include <memory>

// One automation object as its application sees it; the bus side is
// CAutomationService.
class IAutomationObject {
public:
    virtual ~IAutomationObject() = default;
    // A notification: four bytes, lowest first.
    virtual void Communicate(const std::array<std::uint8_t, 4>& message) = 0;
    // The object's last reference is gone; it is destroyed right after.
    virtual void OnFinalRelease() = 0;
};

// Makes the application's automation objects on request.
class IAutomationFactory {
public:
    virtual ~IAutomationFactory() = default;
    // nullptr refuses the request; the caller then gets a D-Bus error.
    virtual std::unique_ptr<IAutomationObject> CreateAutomationObject() = 0;
};
