#include "gamelink/GameLink.h"

#include "core/KitException.h"
#include "core/StringTable.h"
#include "gamelink/DBusMacroTransport.h"
#include "platform/Utf8.h"
#include "platform/Windows1252.h"

#include <cstring>
#include <thread>

namespace {

// Shared by every link: a reply stays valid until the next macro call.
char g_replyBuffer[CGameLink::kReplyBufferSize];

void StoreReply(const std::string& reply) {
    const std::size_t length = Utf8PrefixLength(reply, CGameLink::kReplyBufferSize - 1);
    std::memcpy(g_replyBuffer, reply.data(), length);
    g_replyBuffer[length] = '\0';
}

// Blocks the calling thread on purpose: nothing else may talk to the game
// between two attempts of the same macro.
void SleepFor(std::chrono::milliseconds delay) {
    std::this_thread::sleep_for(delay);
}

} // namespace

CGameLink::CGameLink() : CGameLink(std::make_unique<CDBusMacroTransport>()) {}

CGameLink::CGameLink(std::unique_ptr<IMacroTransport> transport)
    : CGameLink(std::move(transport), SleepFor) {}

CGameLink::CGameLink(std::unique_ptr<IMacroTransport> transport, WaitFunction wait)
    : m_transport(std::move(transport)), m_wait(std::move(wait)) {}

CGameLink::~CGameLink() = default;

bool CGameLink::Connect() {
    return m_transport->Connect();
}

void CGameLink::Disconnect() {
    m_transport->Disconnect();
}

bool CGameLink::IsConnected() const {
    return m_transport->IsConnected();
}

const char* CGameLink::ExecuteMacro(const char* macro) {
    return Execute(macro, kMaxAttempts);
}

const char* CGameLink::ExecuteMacroOnce(const char* macro) {
    return Execute(macro, 1);
}

const char* CGameLink::Execute(const char* macro, int maxAttempts) {
    const std::string macroUtf8 = Windows1252ToUtf8(macro);
    for (int attempt = 1;; ++attempt) {
        g_replyBuffer[0] = '\0';
        const MacroCallResult result = m_transport->Call(macroUtf8);
        if (result.called && result.ok) {
            StoreReply(result.reply);
            return g_replyBuffer;
        }
        // A macro that the game may be running already is never sent again.
        if (result.mayHaveRun || attempt == maxAttempts) {
            ThrowStringId(IDS_ERROR_TALKING_TO_GAME, macroUtf8.c_str());
        }
        m_wait(kRetryDelay);
    }
}
