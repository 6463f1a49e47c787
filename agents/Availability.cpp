#include "agents/Availability.h"

#include "agents/Clock.h"
#include "core/KitException.h"
#include "core/StringIds.h"
#include "platform/Windows1252.h"

namespace {

// The seconds still to wait after a use at `lastUsed`, in signed 32-bit
// differences as the stored times are 32-bit: a last-used time in the future
// leaves more than the whole interval to wait.
std::int32_t TimeUntilAvailableAfter(const CAgent& agent, std::uint32_t lastUsed) {
    const auto elapsed = static_cast<std::int32_t>(CurrentTime() - lastUsed);
    const auto remaining =
        static_cast<std::int32_t>(agent.ReuseInterval() - static_cast<std::uint32_t>(elapsed));
    return remaining < 0 ? 0 : remaining;
}

} // namespace

std::int32_t TimeUntilAvailable(const CAgent& agent) {
    return TimeUntilAvailableAfter(agent, agent.Usage().lastUsed);
}

bool IsAvailable(const CAgent& agent) {
    return agent.Usage().quantity != 0 && TimeUntilAvailable(agent) == 0;
}

void RequireAvailable(const CAgent& agent) {
    RequireAvailable(agent, agent.Usage());
}

void RequireAvailable(const CAgent& agent, const CAgentUsage& usage) {
    const std::string name = Windows1252ToUtf8(agent.Name());
    if (usage.quantity == 0) {
        ThrowStringId(IDS_NO_USES_LEFT, name.c_str());
    }
    if (const std::int32_t wait = TimeUntilAvailableAfter(agent, usage.lastUsed); wait > 0) {
        ThrowStringId(IDS_STILL_WAITING, name.c_str(), static_cast<int>(wait));
    }
}
