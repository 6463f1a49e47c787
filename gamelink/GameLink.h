#pragma once

#include <chrono>
#include <cstddef>
#include <functional>
#include <memory>
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

// The road to the game's macro server. The D-Bus transport lives in platform/;
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

// The macro channel to the game's automation server "MWGS.OLE".
class CGameLink {
public:
    // The shared reply buffer: a reply of up to 8191 bytes fits with its zero.
    static constexpr std::size_t kReplyBufferSize = 8192;
    // A macro is sent this many times before the caller hears of the failure.
    static constexpr int kMaxAttempts = 10;
    static constexpr std::chrono::milliseconds kRetryDelay{100};

    // How the link waits between attempts; tests substitute one that records.
    using WaitFunction = std::function<void(std::chrono::milliseconds)>;

    CGameLink(); // talks to the game over the session bus
    explicit CGameLink(std::unique_ptr<IMacroTransport> transport);
    CGameLink(std::unique_ptr<IMacroTransport> transport, WaitFunction wait);
    ~CGameLink();
    CGameLink(const CGameLink&) = delete;
    CGameLink& operator=(const CGameLink&) = delete;

    // False when the server cannot be reached; never throws.
    bool Connect();
    // Harmless when not connected.
    void Disconnect();
    bool IsConnected() const;

    // Sends a macro (Windows-1252 text, as agent files carry it) and returns the
    // game's reply (UTF-8) in the shared 8192-byte buffer, valid until the next
    // macro call. An attempt that the game certainly did not run (refused, an
    // error reply, no game) is repeated up to ten attempts 100 ms apart; then,
    // or at once after an attempt that may have run, CKitException IDS_ERROR_TALKING_TO_GAME.
    const char* ExecuteMacro(const char* macro);
    // One attempt; CKitException IDS_ERROR_TALKING_TO_GAME on failure.
    const char* ExecuteMacroOnce(const char* macro);

private:
    const char* Execute(const char* macro, int maxAttempts);

    std::unique_ptr<IMacroTransport> m_transport;
    WaitFunction m_wait;
};
