#include "bench/wine/WindowWatch.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>

#include <poll.h>
#include <set>
#include <stdexcept>

namespace {

// Far longer than any window title.
constexpr long kMaxTitleLongs = 1024;

// A window may go while it is looked at; the requests about it then fail, which
// must not end the benchmark as Xlib's own handler would.
int IgnoreError(Display*, XErrorEvent*) {
    return 0;
}

} // namespace

CWindowWatch::CWindowWatch() : m_display(XOpenDisplay(nullptr)) {
    if (m_display == nullptr) {
        throw std::runtime_error("cannot open the X display");
    }
    XSetErrorHandler(IgnoreError);
    m_netWmName = XInternAtom(m_display, "_NET_WM_NAME", False);
    // Maps and unmaps of the root's children: the top-level windows.
    XSelectInput(m_display, DefaultRootWindow(m_display), SubstructureNotifyMask);
    XSync(m_display, False);
}

CWindowWatch::~CWindowWatch() {
    XCloseDisplay(m_display);
}

std::optional<CWindowWatch::Clock::time_point>
CWindowWatch::WaitForTitle(std::string_view prefix, std::chrono::milliseconds timeout) {
    const auto deadline = Clock::now() + timeout;
    std::set<Window> mapped;
    for (auto now = Clock::now(); now < deadline; now = Clock::now()) {
        while (XPending(m_display) > 0) {
            XEvent event;
            XNextEvent(m_display, &event);
            if (event.type == MapNotify && event.xmap.event == DefaultRootWindow(m_display)) {
                // Its title may come after it is shown: follow its properties, then look.
                XSelectInput(m_display, event.xmap.window, PropertyChangeMask);
                mapped.insert(event.xmap.window);
                if (Titled(event.xmap.window, prefix)) {
                    return Clock::now();
                }
            } else if (event.type == UnmapNotify) {
                mapped.erase(event.xunmap.window);
            } else if (event.type == PropertyNotify && mapped.contains(event.xproperty.window) &&
                       (event.xproperty.atom == XA_WM_NAME ||
                        event.xproperty.atom == m_netWmName) &&
                       Titled(event.xproperty.window, prefix)) {
                return Clock::now();
            }
        }
        pollfd connection{ConnectionNumber(m_display), POLLIN, 0};
        const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - now);
        ::poll(&connection, 1, static_cast<int>(left.count()));
    }
    return std::nullopt;
}

bool CWindowWatch::Titled(unsigned long window, std::string_view prefix) const {
    return Property(window, m_netWmName).starts_with(prefix) ||
           Property(window, XA_WM_NAME).starts_with(prefix);
}

// The property's bytes, whatever its type; empty when the window has none or
// has gone meanwhile.
std::string CWindowWatch::Property(unsigned long window, unsigned long name) const {
    Atom type = None;
    int format = 0;
    unsigned long count = 0;
    unsigned long after = 0;
    unsigned char* data = nullptr;
    std::string text;
    if (XGetWindowProperty(m_display, window, name, 0, kMaxTitleLongs, False, AnyPropertyType,
                           &type, &format, &count, &after, &data) == Success &&
        data != nullptr) {
        if (format == 8) {
            text.assign(reinterpret_cast<const char*>(data), count);
        }
        XFree(data);
    }
    return text;
}
