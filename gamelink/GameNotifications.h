#pragma once

#include <array>
#include <cstdint>

class CGameLink;

// The nine operations through which the game's state reaches an applet sheet,
// in the order a derived sheet overrides them.
class IGameNotifications {
public:
    virtual ~IGameNotifications() = default;

    // Once, after the sheet has connected and asked for the game's first state.
    virtual int OnGameConnected(CGameLink& link) = 0;
    virtual void SetAppletNumber(int number) = 0;
    virtual void OnPauseChanged(bool paused) = 0;
    virtual void OnGameEvent6() = 0;
    virtual void OnGameEvent7() = 0;
    virtual void OnGameEvent9() = 0;
    virtual void OnGameEvent8() = 0;
    virtual void OnControl1() = 0;
    virtual void OnControl2() = 0;
};

// A notification as the game sends it: the 32-bit value, lowest byte first.
using NotificationBytes = std::array<std::uint8_t, 4>;

NotificationBytes SplitNotification(std::uint32_t message);

// Decodes one notification into calls of `target`. m0 = 1 is a control message
// (m1 selects the control, with the notification byte after it), m0 = 2 carries
// only a notification in m1, anything else is ignored. Notification 10 reports
// the pause state in the byte after it; when that byte would be a fifth one (a
// control 3 message with 10 in m3) the pause state is unknown and the
// notification is ignored rather than guessed.
void DispatchNotification(const NotificationBytes& bytes, IGameNotifications& target);
