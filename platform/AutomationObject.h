#pragma once

#include <cstdint>
#include <memory>

// One automation object as its application sees it; the bus side is
// CAutomationService.
class IAutomationObject {
public:
    virtual ~IAutomationObject() = default;
    // A notification: four bytes, the lowest byte of `message` first.
    virtual void Communicate(std::uint32_t message) = 0;
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
