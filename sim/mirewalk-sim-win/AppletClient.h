#pragma once

#include "sim/mirewalk-sim-win/CommandWords.h"

#include <windows.h>

#include <string>
#include <vector>

class CGameLog;
class CNotificationValue;

// The game's side of the applet's automation objects: creates them, sends the
// newest notifications through its Communicate method and releases it. Every call is
// synchronous on the game's single-threaded apartment, which serves the
// macros the applet sends back while it waits for an answer.
class CAppletClient {
public:
    // How a notification's first argument reaches Communicate.
    enum class Passing {
        ByReference, // as the game sends it: a VT_BYREF | VT_VARIANT pointing to the value
        Direct,      // the value itself
    };

    explicit CAppletClient(CGameLog& log);
    ~CAppletClient();
    CAppletClient(const CAppletClient&) = delete;
    CAppletClient& operator=(const CAppletClient&) = delete;

    bool HoldsObject() const { return !m_objects.empty(); }

    // Each returns an empty text when it succeeded, or the reason why not.
    std::string CreateObject();
    // A notification as the game sends it: the four bytes as a VT_I4.
    std::string Notify(const NotificationBytes& bytes);
    // Any value. Each notification sent is logged with its description and result.
    std::string Notify(CNotificationValue& value, Passing passing, const std::string& description);
    std::string Release();

private:
    std::string Communicate(VARIANT& first, Passing passing);

    CGameLog& m_log;
    // Every object created and not yet released, the newest last: a second
    // request must reach the same applet as a second object.
    std::vector<IDispatch*> m_objects;
    DISPID m_communicate = DISPID_UNKNOWN;
    // The number the game gives each applet object, from 1 on.
    int m_nextAppletNumber = 1;
};
