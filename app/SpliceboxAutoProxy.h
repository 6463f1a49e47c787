#pragma once

#include "app/AutomationHost.h"
#include "platform/AutomationObject.h"

// The applet's automation object: the game's road for notifications, and the
// lock that keeps the applet running while the game holds it.
class CSpliceboxAutoProxy : public IAutomationObject {
public:
    explicit CSpliceboxAutoProxy(IAutomationHost& host);
    ~CSpliceboxAutoProxy() override;
    CSpliceboxAutoProxy(const CSpliceboxAutoProxy&) = delete;
    CSpliceboxAutoProxy& operator=(const CSpliceboxAutoProxy&) = delete;

    void Communicate(std::uint32_t message) override;
    void OnFinalRelease() override;

private:
    IAutomationHost& m_host;
};
