#pragma once

#include "gamelink/MacroTransport.h"

#include <chrono>
#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

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
