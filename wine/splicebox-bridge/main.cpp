// splicebox-bridge: joins the game "Mirewalk 2", running under Wine, to the
// Splicebox applet on the session bus.

#include "platform/WineBridgeContract.h"
#include "wine/splicebox-bridge/Apartment.h"
#include "wine/splicebox-bridge/Bridge.h"

#include <cstdio>
#include <cstring>
#include <strings.h>

namespace {

constexpr const char* kUsage =
    "usage: splicebox-bridge.exe.so -Automation|-Embedding   (started by COM for the game)\n"
    "       splicebox-bridge.exe.so --client BUSNAME          (started by splicebox or kivtool)\n";
constexpr int kUsageStatus = 2;

bool IsAutomationSwitch(const char* argument) {
    return (argument[0] == '-' || argument[0] == '/') &&
           (strcasecmp(argument + 1, "Automation") == 0 ||
            strcasecmp(argument + 1, "Embedding") == 0);
}

} // namespace

int main(int argc, char** argv) {
    const bool automated = argc >= 2 && IsAutomationSwitch(argv[1]);
    const bool client = argc == 3 && std::strcmp(argv[1], WineBridgeContract::kClientSwitch) == 0;
    if (!automated && !client) {
        std::fputs(kUsage, stderr);
        return kUsageStatus;
    }
    CApartment apartment;
    if (!apartment.Initialised()) {
        std::fputs("splicebox-bridge: cannot initialise COM\n", stderr);
        return 1;
    }
    CBridge bridge(apartment);
    return automated ? bridge.ServeGame() : bridge.ServeClient(argv[2]);
}
