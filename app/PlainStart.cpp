#include "app/PlainStart.h"

#include "core/GameConfig.h"
#include "core/MessageBox.h"
#include "platform/ActivationFile.h"
#include "platform/WineBridgeContract.h"
#include "platform/WineBridgeProcess.h"

namespace {

constexpr int kExitFailure = 1;
constexpr const char* kRegisterServerFailed =
    "The Wine bridge could not register the applet with Wine, so the game cannot start it";

} // namespace

// The bus starts the applet from the activation file when the game (or a
// bridge for it) asks for the object; the game lists it by its tool entry.
int RunPlainStart() {
    // As with the class registration it stands for, a failure here is not
    // reported: the game's own entry below is what the user can act upon.
    WriteActivationFile(RunningExecutablePath());
    return RegisterWithGame() ? 0 : kExitFailure;
}

int RunWinePlainStart() {
    CWineBridgeProcess bridge(QDBusConnection::sessionBus());
    std::string failure;
    if (!bridge.Start(failure)) {
        ShowMessage(failure.c_str(), MessageKind::Warning);
        return kExitFailure;
    }
    if (bridge.RegisterServer() != WineBridgeContract::kOk) {
        ShowMessage(kRegisterServerFailed, MessageKind::Warning);
    }
    return RunPlainStart();
}
