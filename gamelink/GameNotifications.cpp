#include "gamelink/GameNotifications.h"

#include "gamelink/GameContract.h"

#include <cstddef>
#include <optional>

namespace {
using namespace GameContract;

// Runs the control action of a control message and returns the position of
// its notification byte.
std::size_t RunControl(const NotificationBytes& bytes, IGameNotifications& target) {
    switch (bytes[1]) {
    case kControl1:
        target.OnControl1();
        return 2;
    case kControl2:
        target.OnControl2();
        return 2;
    case kControlAppletNumber:
        target.SetAppletNumber(bytes[2]);
        return 3;
    default:
        return 2;
    }
}

void RunNotification(const NotificationBytes& bytes, std::size_t at, IGameNotifications& target) {
    switch (bytes[at]) {
    case kNotifySubjectChanged:
        target.OnGameEvent6();
        break;
    case kNotifyEvent7:
        target.OnGameEvent7();
        break;
    case kNotifyEvent8:
        target.OnGameEvent8();
        break;
    case kNotifyEvent9:
        target.OnGameEvent9();
        break;
    case kNotifyPauseChanged:
        if (at + 1 < bytes.size()) {
            target.OnPauseChanged(bytes[at + 1] != 0);
        }
        break;
    default:
        break;
    }
}
} // namespace

NotificationBytes SplitNotification(std::uint32_t message) {
    return {static_cast<std::uint8_t>(message), static_cast<std::uint8_t>(message >> 8),
            static_cast<std::uint8_t>(message >> 16), static_cast<std::uint8_t>(message >> 24)};
}

void DispatchNotification(const NotificationBytes& bytes, IGameNotifications& target) {
    std::optional<std::size_t> notificationAt;
    if (bytes[0] == kControlMessage) {
        notificationAt = RunControl(bytes, target);
    } else if (bytes[0] == kNotificationOnly) {
        notificationAt = 1;
    }
    if (notificationAt) {
        RunNotification(bytes, *notificationAt, target);
    }
}
