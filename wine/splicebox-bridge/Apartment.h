#pragma once

#include <windows.h>

#include <objbase.h>

#include <functional>

// The single-threaded apartment of the thread that makes it: every COM call of
// the bridge happens on that thread, between the messages of its loop. Other
// threads hand it work with Post.
class CApartment {
public:
    CApartment();
    ~CApartment();
    CApartment(const CApartment&) = delete;
    CApartment& operator=(const CApartment&) = delete;

    bool Initialised() const { return SUCCEEDED(m_initialised); }

    // Any thread: runs `job` on the apartment's thread, in the order posted.
    void Post(std::function<void()> job) const;
    // The message loop; returns the code given to Quit.
    int Run();
    void Quit(int code) const;
    // Waits for `event` while the apartment goes on serving calls and jobs;
    // false when `timeoutMs` passed first.
    bool WaitServing(HANDLE event, DWORD timeoutMs);

private:
    void Handle(const MSG& message);

    DWORD m_threadId;
    HRESULT m_initialised;
};
