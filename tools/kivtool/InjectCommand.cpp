#include "tools/kivtool/InjectCommand.h"

#include "agents/AgentFile.h"
#include "agents/Injection.h"
#include "agents/UsageMemory.h"
#include "core/GameConfig.h"
#include "core/KitException.h"
#include "gamelink/GameLink.h"
#include "platform/Windows1252.h"
#include "platform/WineBridgeContract.h"
#include "platform/WineBridgeProcess.h"
#include "platform/WinePrefix.h"
#include "tools/kivtool/JsonText.h"
#include "tools/kivtool/ToolSupport.h"

#include <QCoreApplication>
#include <QDBusConnection>

#include <cstdio>
#include <cstring>
#include <optional>

namespace {

constexpr const char* kInjectUsage =
    "Usage: kivtool inject [--wine] [--dry-run [--json]] FILE AGENT\n"
    "Injects AGENT of the agent file FILE into the running game, as the applet's\n"
    "Inject button does: writes the images and sounds the game lacks, sends the\n"
    "agent's macros and counts the use in FILE. AGENT is the agent's name as\n"
    "\"kivtool show\" prints it, or its position in FILE counting from 1.\n"
    "--dry-run prints what would happen and changes nothing; --json prints it as\n"
    "one object. --wine reaches a game that runs under Wine in the prefix\n"
    "WINEPREFIX (default ~/.wine) through the Wine bridge, run by WINE (default\n"
    "wine). Exit status 0 done, 1 failed, 2 wrong usage.\n";

constexpr const char* kRemoveUsage =
    "Usage: kivtool remove [--wine] [--dry-run [--json]] FILE AGENT\n"
    "Sends the removal script of AGENT of the agent file FILE to the running game,\n"
    "as the applet's Remove button does. AGENT, --wine, --dry-run and --json as for\n"
    "inject. Exit status 0 done, 1 failed, 2 wrong usage.\n";

constexpr const char* kNoGameUnderWine = "no game is running in the Wine prefix ";
constexpr const char* kGameNotLinked = "the Wine bridge could not reach the game";

struct Arguments {
    bool wine = false;
    bool dryRun = false;
    bool json = false;
    const char* file = nullptr;
    const char* agent = nullptr;
};

std::optional<Arguments> ParseArguments(int argc, char** argv) {
    Arguments arguments;
    int next = 1;
    for (; next < argc && argv[next][0] == '-'; ++next) {
        if (std::strcmp(argv[next], "--wine") == 0) {
            arguments.wine = true;
        } else if (std::strcmp(argv[next], "--dry-run") == 0) {
            arguments.dryRun = true;
        } else if (std::strcmp(argv[next], "--json") == 0) {
            arguments.json = true;
        } else {
            return std::nullopt;
        }
    }
    if (argc - next != 2 || (arguments.json && !arguments.dryRun)) {
        return std::nullopt;
    }
    arguments.file = argv[next];
    arguments.agent = argv[next + 1];
    return arguments;
}

std::string AgentList(const std::vector<std::size_t>& positions, const CAgentFile& file) {
    std::string list;
    for (const std::size_t position : positions) {
        AddItem(list,
                std::to_string(position + 1) + " " + Json1252(file.Agents()[position]->Name()),
                ", ");
    }
    return list;
}

// The agent a position counting from 1, or else a name as "show" prints it,
// names. Nothing when the argument fits no agent or several: `error` says
// which agents there are.
CAgent* FindAgent(const CAgentFile& file, const std::string& wanted, std::string& error) {
    const auto count = file.Agents().size();
    if (!wanted.empty() && wanted.find_first_not_of("0123456789") == std::string::npos &&
        wanted.size() < 10) {
        const auto position = std::stoul(wanted);
        if (position >= 1 && position <= count) {
            return file.Agents()[position - 1].get();
        }
    }
    std::vector<std::size_t> matches;
    std::vector<std::size_t> all;
    for (std::size_t i = 0; i < count; ++i) {
        all.push_back(i);
        if (Windows1252ToUtf8(file.Agents()[i]->Name()) == wanted) {
            matches.push_back(i);
        }
    }
    if (matches.size() == 1) {
        return file.Agents()[matches[0]].get();
    }
    if (matches.empty()) {
        error = "no agent of " + file.Path() + " is called " + JsonString(wanted) +
                (all.empty() ? "; it holds none" : "; it holds " + AgentList(all, file));
    } else {
        error = JsonString(wanted) + " names several agents of " + file.Path() + ": " +
                AgentList(matches, file) + "; give the position of one";
    }
    return nullptr;
}

// The applet works in the game's main directory, so a directory that the
// game's settings give relative to it is taken from there.
std::string GameDirectory(int index) {
    const std::string directory = GetGameDirectory(index);
    if (directory.front() == '/') {
        return directory;
    }
    return GetGameDirectory(kMainDirectory) + directory;
}

std::string QuantityText(std::uint16_t quantity) {
    return quantity == CAgent::kUnlimited ? "unlimited" : std::to_string(quantity);
}

void PrintPlan(const CInjectionPlan& plan) {
    std::printf("files:\n");
    for (const auto& file : plan.m_files) {
        std::printf("  %s %s %s\n", CarriedFileActionName(file.action), CarriedTypeName(file.type),
                    OneLine(file.name).c_str());
    }
    std::printf("macros:\n");
    for (const auto& macro : plan.Macros()) {
        std::printf("  %s\n", OneLine(macro).c_str());
    }
    std::printf("quantity: %s -> %s\n", QuantityText(plan.m_quantityBefore).c_str(),
                QuantityText(plan.m_quantityAfter).c_str());
    std::printf("last used: %u -> %u\n", plan.m_lastUsedBefore, plan.m_lastUsedAfter);
}

void PrintPlanJson(const CInjectionPlan& plan) {
    JsonValue files = JsonValue::array();
    for (const auto& file : plan.m_files) {
        files.push_back({{"type", CarriedTypeName(file.type)},
                         {"name", Json1252Value(file.name)},
                         {"action", CarriedFileActionName(file.action)}});
    }
    JsonValue macros = JsonValue::array();
    for (const auto& macro : plan.Macros()) {
        macros.push_back(Json1252Value(macro));
    }
    const JsonValue document = {
        {"files", files},
        {"macros", macros},
        {"quantity", {{"before", plan.m_quantityBefore}, {"after", plan.m_quantityAfter}}},
        {"lastUsed", {{"before", plan.m_lastUsedBefore}, {"after", plan.m_lastUsedAfter}}}};
    std::printf("%s\n", JsonDump(document).c_str());
}

// Without a game nothing may change: an image written now would be found
// present by the next injection and never converted. The link's attempts on a
// game that is not there end in its usual message, naming the first macro.
void CarryOutOnTheGame(CAgent& agent, const CInjectionPlan& plan) {
    CGameLink link;
    const auto macros = plan.Macros();
    if (!macros.empty() && !link.Connect()) {
        link.ExecuteMacro(macros.front().c_str());
    }
    // A use that cannot be written is the command's failure; nothing after it
    // needs to remember it.
    CUsageMemory memory;
    CarryOut(agent, plan, link, memory);
}

// The plan of the command; the Sounds directory is asked for before the
// Images directory, as the applet asks.
CInjectionPlan MakePlan(const CAgent& agent, bool inject) {
    if (!inject) {
        return PlanRemoval(agent);
    }
    const std::string sounds = GameDirectory(kSoundsDirectory);
    const std::string images = GameDirectory(kImagesDirectory);
    return PlanInjection(agent, images, sounds);
}

// Reads the game's settings through a Wine bridge from now on and, unless
// only the settings are needed, links the bridge to the game, whose macro
// server it then serves on the bus as a game of this machine would. The
// reason for the user when that fails.
std::optional<std::string> UseWine(bool needsGame) {
    CWineBridgeProcess bridge(QDBusConnection::sessionBus());
    std::string failure;
    if (!bridge.Start(failure)) {
        return failure;
    }
    if (!needsGame) {
        return std::nullopt;
    }
    switch (bridge.LinkGame()) {
    case WineBridgeContract::kOk:
        return std::nullopt;
    case WineBridgeContract::kMissing:
        return kNoGameUnderWine + WinePrefix().string();
    default:
        return kGameNotLinked;
    }
}

int Run(int argc, char** argv, bool inject) {
    const char* usage = inject ? kInjectUsage : kRemoveUsage;
    if (WantsHelp(argc, argv)) {
        std::fputs(usage, stdout);
        return kExitOk;
    }
    const auto arguments = ParseArguments(argc, argv);
    if (!arguments) {
        return UsageError(usage);
    }
    // The session bus is reached through Qt, which wants its application object.
    int qtArgc = 1;
    QCoreApplication application(qtArgc, argv);
    try {
        CAgentFile file(arguments->file);
        std::string error;
        CAgent* agent = FindAgent(file, arguments->agent, error);
        if (agent == nullptr) {
            PrintError(error);
            return kExitFailure;
        }
        if (arguments->wine) {
            if (const auto failure = UseWine(!arguments->dryRun)) {
                PrintError(*failure);
                return kExitFailure;
            }
        }
        const CInjectionPlan plan = MakePlan(*agent, inject);
        if (arguments->dryRun) {
            arguments->json ? PrintPlanJson(plan) : PrintPlan(plan);
            if (plan.m_failure) {
                throw *plan.m_failure;
            }
            return kExitOk;
        }
        CarryOutOnTheGame(*agent, plan);
        return kExitOk;
    } catch (const CKitException& error) {
        PrintError(error);
        return kExitFailure;
    }
}

} // namespace

int RunInjectCommand(int argc, char** argv) {
    return Run(argc, argv, true);
}

int RunRemoveCommand(int argc, char** argv) {
    return Run(argc, argv, false);
}
