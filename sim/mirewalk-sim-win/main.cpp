// mirewalk-sim-win: a substitute for the Windows game "Mirewalk 2", run under
// Wine: the game's automation object and the game's side of every COM
// exchange with the applet, for the bridge's tests and benchmarks.

#include "sim/mirewalk-sim-win/AppletClient.h"
#include "sim/mirewalk-sim-win/ComApartment.h"
#include "sim/mirewalk-sim-win/CommandWords.h"
#include "sim/mirewalk-sim-win/GameClassFactory.h"
#include "sim/mirewalk-sim-win/GameLog.h"
#include "sim/mirewalk-sim-win/GameObject.h"
#include "sim/mirewalk-sim-win/GameRegistry.h"
#include "sim/mirewalk-sim-win/GameServer.h"
#include "sim/mirewalk-sim-win/MacroBenchmark.h"
#include "sim/mirewalk-sim-win/RunOptions.h"
#include "sim/mirewalk-sim-win/SimGame.h"
#include "sim/mirewalk-sim-win/StdinReader.h"
#include "sim/mirewalk-sim-win/WinSimContract.h"
#include "sim/mirewalk-sim-win/WinText.h"

#include <windows.h>

#include <exception>
#include <span>
#include <string_view>

namespace {

constexpr const char* kUsage =
    "usage: mirewalk-sim-win init DIR\n"
    "       mirewalk-sim-win run [--log FILE] [--subject NAME] [--paused] [--delay SECONDS]\n"
    "                            [--create-object]\n"
    "       mirewalk-sim-win call COUNT MACRO\n"
    "commands while running, one a line on standard input: subject NAME | no-subject |\n"
    "pause | resume | refuse N | fail N | delay SECONDS | create-object |\n"
    "notify B0 B1 B2 B3 | notify-variant VT B0 B1 B2 B3 | notify-direct VT B0 B1 B2 B3 |\n"
    "release | quit\n";
constexpr int kUsageStatus = 2;

int Usage() {
    WriteText(GetStdHandle(STD_ERROR_HANDLE), kUsage);
    return kUsageStatus;
}

// Serves COM calls and runs the commands that arrive, all on this thread,
// until a command says to quit.
void ServeUntilQuit(CSimGame& game) {
    MSG message;
    while (!game.QuitRequested() && GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (message.hwnd == nullptr && message.message == kCommandLineMessage) {
            game.Execute(ToWide(*TakeCommandLine(message)));
            continue;
        }
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

// A released applet says goodbye with a macro before it leaves; the game goes
// on answering calls this long, as the game substitute of this machine does.
constexpr DWORD kLeaveGraceMs = 3000;

void ServeCallsFor(DWORD milliseconds) {
    const DWORD start = GetTickCount();
    for (DWORD waited = 0; waited < milliseconds; waited = GetTickCount() - start) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, milliseconds - waited, QS_ALLINPUT);
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
}

int Run(const RunOptions& options) {
    const CComApartment apartment;
    // The thread's message queue must exist before the reader posts to it.
    MSG message;
    PeekMessageW(&message, nullptr, WM_USER, WM_USER, PM_NOREMOVE);
    RegisterGameProgId();
    CGameLog log(options.logPath);
    CAppletClient applet(log);
    CSimGame game(options.state, log, applet);
    CGameObject object(game, log);
    CGameClassFactory factory(object);
    {
        const CGameServer server(factory, object);
        log.Write(WinSimContract::kLogEvent, "serving");
        if (options.createObject) {
            game.Execute(L"create-object");
        }
        StartReadingCommands(GetCurrentThreadId());
        ServeUntilQuit(game);
        if (game.ReleasedAtQuit()) {
            ServeCallsFor(kLeaveGraceMs);
        }
    }
    log.Write(WinSimContract::kLogEvent, "ended");
    return 0;
}

int Init(const wchar_t* folder) {
    InitGameFolder(folder);
    RegisterGameProgId();
    return 0;
}

int Call(std::wstring_view countText, const wchar_t* macro) {
    const auto count = ParseNumber(countText, kMaxBenchmarkCalls);
    if (!count || *count == 0) {
        return Usage();
    }
    RunMacroBenchmark(*count, macro);
    return 0;
}

int Dispatch(std::span<wchar_t* const> arguments) {
    const std::wstring_view command = arguments.empty() ? L"" : arguments[0];
    if (command == L"init" && arguments.size() == 2) {
        return Init(arguments[1]);
    }
    if (command == L"call" && arguments.size() == 3) {
        return Call(arguments[1], arguments[2]);
    }
    if (command == L"run") {
        if (const auto options = ParseRunOptions(arguments.subspan(1))) {
            return Run(*options);
        }
    }
    return Usage();
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    try {
        return Dispatch(std::span<wchar_t* const>(argv, static_cast<std::size_t>(argc)).subspan(1));
    } catch (const std::exception& e) {
        return ReportFailure(e.what());
    }
}
