#include "wine/splicebox-bridge/Apartment.h"

#include <memory>

namespace {

// A thread message: COM's own waits leave it queued for our loop.
constexpr UINT kJobMessage = WM_APP + 1;

} // namespace

CApartment::CApartment()
    : m_threadId(GetCurrentThreadId()),
      m_initialised(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)) {
    // The queue exists only after a first look; Post may come before the loop.
    MSG message;
    PeekMessageW(&message, nullptr, WM_USER, WM_USER, PM_NOREMOVE);
}

CApartment::~CApartment() {
    if (Initialised()) {
        CoUninitialize();
    }
}

void CApartment::Post(std::function<void()> job) const {
    auto* posted = new std::function<void()>(std::move(job));
    if (!PostThreadMessageW(m_threadId, kJobMessage, 0, reinterpret_cast<LPARAM>(posted))) {
        delete posted;
    }
}

int CApartment::Run() {
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        Handle(message);
    }
    return static_cast<int>(message.wParam);
}

void CApartment::Quit(int code) const {
    PostThreadMessageW(m_threadId, WM_QUIT, static_cast<WPARAM>(code), 0);
}

bool CApartment::WaitServing(HANDLE event, DWORD timeoutMs) {
    const DWORD start = GetTickCount();
    for (;;) {
        const DWORD waited = GetTickCount() - start;
        if (waited >= timeoutMs) {
            return false;
        }
        const DWORD result =
            MsgWaitForMultipleObjects(1, &event, FALSE, timeoutMs - waited, QS_ALLINPUT);
        if (result == WAIT_OBJECT_0) {
            return true;
        }
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message == WM_QUIT) {
                // Left for the main loop, which ends on it.
                PostQuitMessage(static_cast<int>(message.wParam));
                return false;
            }
            Handle(message);
        }
    }
}

void CApartment::Handle(const MSG& message) {
    if (message.message == kJobMessage && message.hwnd == nullptr) {
        const std::unique_ptr<std::function<void()>> job(
            reinterpret_cast<std::function<void()>*>(message.lParam));
        (*job)();
        return;
    }
    TranslateMessage(&message);
    DispatchMessageW(&message);
}
