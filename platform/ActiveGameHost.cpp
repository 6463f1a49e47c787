#include "platform/ActiveGameHost.h"

#include "platform/RegistryStore.h"

#include <mutex>

namespace {
// Shared, so that a host replaced while another thread uses it lives on
// until that use ends.
std::mutex g_hostMutex;
std::shared_ptr<const IGameHost> g_host;
} // namespace

void InstallGameHost(std::unique_ptr<IGameHost> host) {
    const std::lock_guard lock(g_hostMutex);
    g_host = std::move(host);
}

std::shared_ptr<const IGameHost> ActiveGameHost() {
    {
        const std::lock_guard lock(g_hostMutex);
        if (g_host) {
            return g_host;
        }
    }
    return std::make_shared<CRegistryStore>(CRegistryStore::DefaultDirectory());
}
