#include "app/PlainStart.h"

#include "core/GameConfig.h"
#include "platform/ActivationFile.h"

int RunPlainStart() {
    // As with the class registration it stands for, a failure here is not
    // reported: the game's own entry below is what the user can act upon.
    WriteActivationFile(RunningExecutablePath());
    return RegisterWithGame() ? 0 : 1;
}
