#include "ui/DetailsText.h"

#include "agents/AgentFile.h"
#include "core/KitException.h"
#include "core/StringTable.h"

namespace {

constexpr std::int32_t kSecondsPerMinute = 60;
constexpr std::int32_t kSecondsPerHour = 3600;
constexpr std::int32_t kSecondsPerDay = 86400;
constexpr std::int32_t kHoursPerDay = 24;
constexpr std::int32_t kMinutesPerHour = 60;
// Up to this many seconds the countdown shows a bare number.
constexpr std::int32_t kBareSecondsLimit = 10;

} // namespace

std::string FormatWaitText(std::int32_t seconds) {
    const std::int32_t days = seconds / kSecondsPerDay;
    const std::int32_t hours = seconds / kSecondsPerHour - days * kHoursPerDay;
    const std::int32_t minutes =
        seconds / kSecondsPerMinute - (seconds / kSecondsPerHour) * kMinutesPerHour;
    const std::int32_t rest = seconds - (seconds / kSecondsPerMinute) * kSecondsPerMinute;

    char buffer[CKitException::kMessageSize];
    if (days > 0) {
        return FormatString(buffer, "%d %s", days, LoadStringOrEmpty(IDS_DAYS));
    }
    if (hours > 0) {
        return FormatString(buffer, "%02d:%02d:%02d", hours, minutes, rest);
    }
    if (minutes > 0 || rest > kBareSecondsLimit) {
        return FormatString(buffer, "%02d:%02d", minutes, rest);
    }
    return FormatString(buffer, "%d", rest);
}

std::string FormatQuantityText(std::uint16_t quantity) {
    if (quantity == CAgent::kUnlimited) {
        return LoadStringOrEmpty(IDS_INFINITE);
    }
    return std::to_string(quantity);
}
