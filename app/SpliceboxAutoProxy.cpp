#include "app/SpliceboxAutoProxy.h"

CSpliceboxAutoProxy::CSpliceboxAutoProxy(IAutomationHost& host) : m_host(host) {
    m_host.LockApp();
}

CSpliceboxAutoProxy::~CSpliceboxAutoProxy() {
    m_host.UnlockApp();
}

void CSpliceboxAutoProxy::Communicate(std::uint32_t message) {
    m_host.DispatchNotification(message);
}

// The game let go of the applet: close it as the user would.
void CSpliceboxAutoProxy::OnFinalRelease() {
    m_host.PostCloseToMainWindow();
}
