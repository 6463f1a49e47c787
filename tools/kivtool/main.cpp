// kivtool: the command-line companion of the applet for agent files.
#include "tools/kivtool/AnalyseCommand.h"
#include "tools/kivtool/CheckCommand.h"
#include "tools/kivtool/ConflictsCommand.h"
#include "tools/kivtool/ExtractCommand.h"
#include "tools/kivtool/InjectCommand.h"
#include "tools/kivtool/PackCommand.h"
#include "tools/kivtool/ShowCommand.h"
#include "tools/kivtool/ToolSupport.h"
#include "tools/kivtool/UnpackCommand.h"

#include "Version.h"

#include <cstdio>
#include <cstring>

namespace {

constexpr const char* kUsage =
    "Usage: kivtool COMMAND [ARGUMENTS]\n"
    "  show [--json] FILE...   every agent and carried file of agent files\n"
    "  check [--json] DIR      report every damaged agent file of a folder\n"
    "  conflicts [--json] DIR...  carried images and sounds that clash by name\n"
    "  extract FILE DIR        write the carried images and sounds into DIR\n"
    "  pack MANIFEST -o FILE   build an agent file from a manifest\n"
    "  unpack FILE DIR         write the manifest and files that pack gives FILE from\n"
    "  analyse [--json] FILE...  what the agents' scripts do (see analyse --help)\n"
    "  inject [--wine] [--dry-run [--json]] FILE AGENT\n"
    "                          inject an agent into the running game (--wine: a game\n"
    "                          that runs under Wine)\n"
    "  remove [--wine] [--dry-run [--json]] FILE AGENT\n"
    "                          send an agent's removal script\n"
    "kivtool COMMAND --help describes each command; kivtool --version gives the release.\n";

struct Command {
    const char* name;
    int (*run)(int argc, char** argv);
};

constexpr Command kCommands[] = {
    {"show", RunShowCommand},           {"check", RunCheckCommand},
    {"conflicts", RunConflictsCommand}, {"extract", RunExtractCommand},
    {"pack", RunPackCommand},           {"unpack", RunUnpackCommand},
    {"analyse", RunAnalyseCommand},     {"inject", RunInjectCommand},
    {"remove", RunRemoveCommand},
};

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        return UsageError(kUsage);
    }
    if (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0) {
        std::fputs(kUsage, stdout);
        return kExitOk;
    }
    if (std::strcmp(argv[1], "--version") == 0) {
        std::fputs("kivtool (Splicebox) " SB_VERSION "\n", stdout);
        return kExitOk;
    }
    for (const auto& command : kCommands) {
        if (std::strcmp(argv[1], command.name) == 0) {
            return command.run(argc - 1, argv + 1);
        }
    }
    return UsageError(kUsage);
}
