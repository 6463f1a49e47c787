#pragma once

#include <string>
#include <string_view>

// What one attempt of the game's macro method returned.
struct MacroCallResult {
    bool called = false; // false: no answer came (no server, an error reply, the game left)
    bool ok = false;     // the game's answer; false is a refused macro
    std::string reply;   // UTF-8
    // Only with called false: the game may have run the macro all the same (the
    // bus gave up waiting, or the answer was not of the method's shape), so the
    // macro must not be sent again.
    bool mayHaveRun = false;
};

// The road to the game's macro server. The D-Bus transport is CDBusMacroTransport;
// tests substitute a recording transport.
class IMacroTransport {
public:
    virtual ~IMacroTransport() = default;
    virtual bool Connect() = 0;
    virtual void Disconnect() = 0;
    virtual bool IsConnected() const = 0;
    // One call of ExecuteMacro(1, macro) with the macro already in UTF-8; it
    // waits for the game's answer however long the game takes.
    virtual MacroCallResult Call(std::string_view macroUtf8) = 0;
};
