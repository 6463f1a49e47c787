#include "app/CommandLineInfo.h"

#include "Version.h"

#include <cstdio>
#include <cstring>

namespace {

constexpr const char* kHelp =
    "Usage: splicebox [OPTION]\n"
    "Bring agents into a running Mirewalk 2 game.\n"
    "\n"
    "Started without arguments, splicebox registers itself with the game and with\n"
    "the session bus and ends. From then on the game starts it when the player\n"
    "opens it from the game's tools, and its window appears beside the game.\n"
    "\n"
    "  -Automation, -Embedding  run the applet's window for the game (the session\n"
    "                           bus starts it so; also /Automation, /Embedding)\n"
    "      --wine               register with a game that runs under Wine: start the\n"
    "                           Wine bridge, which registers the applet in Wine and\n"
    "                           writes its tool entry into Wine's registry\n"
    "      --help               display this help and exit\n"
    "      --version            output version information and exit\n"
    "\n"
    "Environment:\n"
    "  MIREWALK_REGISTRY_DIR    the folder of the game's registry files\n"
    "                           (default ~/.config/mirewalk2)\n"
    "  SPLICEBOX_MESSAGES       'stderr' prints messages on standard error\n"
    "                           instead of showing message boxes\n"
    "  QT_QPA_PLATFORM          the display system; on Wayland the applet uses\n"
    "                           XWayland unless this is set\n"
    "  WINEPREFIX               the Wine prefix of the game, for --wine\n"
    "                           (default ~/.wine)\n"
    "  WINE                     the command that runs Wine programs (default wine)\n"
    "  SPLICEBOX_BRIDGE         the Wine bridge to start (default\n"
    "                           splicebox-bridge.exe.so beside splicebox, or in\n"
    "                           libexec/splicebox of its installation)\n"
    "\n"
    "Exit status: 0 when the game's tool list holds the applet, 1 otherwise.\n";

constexpr const char* kVersion = "splicebox (Splicebox) " SB_VERSION "\n";

} // namespace

std::optional<int> AnswerInformationRequest(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        const char* text = std::strcmp(argv[i], "--help") == 0      ? kHelp
                           : std::strcmp(argv[i], "--version") == 0 ? kVersion
                                                                    : nullptr;
        if (text != nullptr) {
            std::fputs(text, stdout);
            return std::fflush(stdout) == 0 ? 0 : 1;
        }
    }
    return std::nullopt;
}
