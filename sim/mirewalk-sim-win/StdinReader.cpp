#include "sim/mirewalk-sim-win/StdinReader.h"

#include <stdexcept>

namespace {

// One read's worth; longer input simply takes several reads.
constexpr DWORD kReadChunk = 4096;
// How long to wait before posting again to a full message queue.
constexpr DWORD kFullQueueRetryMs = 10;

// Hands the line over; false when the main thread is gone.
bool Post(DWORD mainThread, std::string line) {
    auto message = std::make_unique<std::string>(std::move(line));
    while (!PostThreadMessageW(mainThread, kCommandLineMessage, 0,
                               reinterpret_cast<LPARAM>(message.get()))) {
        if (GetLastError() != ERROR_NOT_ENOUGH_QUOTA) {
            return false;
        }
        Sleep(kFullQueueRetryMs);
    }
    message.release(); // now the main thread's
    return true;
}

DWORD WINAPI ReadCommands(void* parameter) {
    const auto mainThread = static_cast<DWORD>(reinterpret_cast<UINT_PTR>(parameter));
    const HANDLE input = GetStdHandle(STD_INPUT_HANDLE);
    std::string pending;
    char chunk[kReadChunk];
    DWORD count = 0;
    while (ReadFile(input, chunk, sizeof chunk, &count, nullptr) && count > 0) {
        pending.append(chunk, count);
        for (std::size_t end = pending.find('\n'); end != std::string::npos;
             end = pending.find('\n')) {
            if (!Post(mainThread, pending.substr(0, end))) {
                return 0;
            }
            pending.erase(0, end + 1);
        }
    }
    // A last line without its line end is still a command.
    if (!pending.empty()) {
        Post(mainThread, std::move(pending));
    }
    return 0;
}

} // namespace

void StartReadingCommands(DWORD mainThread) {
    // Never joined: a read blocked on standard input ends with the process.
    const HANDLE thread =
        CreateThread(nullptr, 0, ReadCommands,
                     reinterpret_cast<void*>(static_cast<UINT_PTR>(mainThread)), 0, nullptr);
    if (thread == nullptr) {
        throw std::runtime_error("cannot start reading commands: error " +
                                 std::to_string(GetLastError()));
    }
    CloseHandle(thread);
}

std::unique_ptr<std::string> TakeCommandLine(const MSG& message) {
    return std::unique_ptr<std::string>(reinterpret_cast<std::string*>(message.lParam));
}
