// Feeds every four bytes of the input to the notification decoder and checks
// that it calls at most a control action and one notification.
#include "gamelink/GameNotifications.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

namespace {
class CCountingTarget : public IGameNotifications {
public:
    int calls = 0;
    int OnGameConnected(CGameLink&) override { std::abort(); }
    void SetAppletNumber(int number) override { calls += number >= 0 && number <= 255 ? 1 : 99; }
    void OnPauseChanged(bool) override { ++calls; }
    void OnGameEvent6() override { ++calls; }
    void OnGameEvent7() override { ++calls; }
    void OnGameEvent9() override { ++calls; }
    void OnGameEvent8() override { ++calls; }
    void OnControl1() override { ++calls; }
    void OnControl2() override { ++calls; }
};
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    for (std::size_t at = 0; at + 4 <= size; at += 4) {
        CCountingTarget target;
        DispatchNotification({data[at], data[at + 1], data[at + 2], data[at + 3]}, target);
        if (target.calls > 2) {
            std::abort();
        }
    }
    return 0;
}
