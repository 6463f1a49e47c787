#pragma once

#include <chrono>
#include <optional>
#include <string>
#include <string_view>

struct _XDisplay;

// Watches the X display named by DISPLAY for a top-level window to be shown
// with a given title, from the X server's own events: the moment is known to
// within the time the event takes to arrive, with no polling. Open it before
// whatever shows the window starts, so that no event is missed.
class CWindowWatch {
public:
    using Clock = std::chrono::steady_clock;

    // Throws std::runtime_error when the display cannot be opened.
    CWindowWatch();
    ~CWindowWatch();
    CWindowWatch(const CWindowWatch&) = delete;
    CWindowWatch& operator=(const CWindowWatch&) = delete;

    // When a mapped top-level window first had a title starting with `prefix`
    // (mapped and so titled, whichever came last); nothing after `timeout`.
    std::optional<Clock::time_point> WaitForTitle(std::string_view prefix,
                                                  std::chrono::milliseconds timeout);

private:
    bool Titled(unsigned long window, std::string_view prefix) const;
    std::string Property(unsigned long window, unsigned long name) const;

    _XDisplay* m_display;
    unsigned long m_netWmName;
};
