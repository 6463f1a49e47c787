#include "app/RegistryKey.h"
#include "app/StartMode.h"
#include "tests/support/GameEnvironment.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <sys/wait.h>
#include <unistd.h>

namespace {

struct Outcome {
    int exitCode = -1;
    std::string errors;
};

// Runs build/bin/splicebox with `argument` (or none), messages going to its
// standard error, and collects that.
Outcome RunSplicebox(const char* argument = nullptr) {
    int pipeFds[2];
    if (::pipe(pipeFds) != 0) {
        return {};
    }
    const std::string program = SB_BIN_DIR "/splicebox";
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::setenv("SPLICEBOX_MESSAGES", "stderr", 1);
        ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
        ::dup2(pipeFds[1], STDERR_FILENO);
        ::close(pipeFds[0]);
        ::execl(program.c_str(), program.c_str(), argument, static_cast<char*>(nullptr));
        ::_exit(127);
    }
    ::close(pipeFds[1]);
    Outcome outcome;
    std::array<char, 4096> buffer;
    ssize_t got;
    while ((got = ::read(pipeFds[0], buffer.data(), buffer.size())) > 0) {
        outcome.errors.append(buffer.data(), static_cast<std::size_t>(got));
    }
    ::close(pipeFds[0]);
    int status = 0;
    ::waitpid(pid, &status, 0);
    outcome.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return outcome;
}

// The messages among the standard error lines (Qt may add its own notes there).
std::vector<std::string> Messages(const std::string& errors) {
    std::vector<std::string> messages;
    std::size_t start = 0;
    for (auto end = errors.find('\n'); end != std::string::npos; end = errors.find('\n', start)) {
        const auto line = errors.substr(start, end - start);
        if (line.starts_with("Splicebox: ")) {
            messages.push_back(line);
        }
        start = end + 1;
    }
    return messages;
}

std::string ToolEntry() {
    CRegistryKey key;
    key.OpenKey(RegistryRoot::CurrentUser, kGameKeyPath);
    std::string text;
    return key.ReadString("Tool8", text) ? text : "(absent)";
}

TEST(PlainStart, EntersTheAppletIntoTheToolListInTheUsersLanguage) {
    GameEnvironment environment;
    environment.InstallGame();
    const std::pair<const char*, const char*> languages[] = {
        {"en_GB.UTF-8", "MW_Injector.OLE|Splicebox|Splicebox description here.|7|4"},
        {"de_DE.UTF-8", "MW_Injector.OLE|Splicebox| |7|4"},
        {"nl_NL.UTF-8", "MW_Injector.OLE|Splicebox||7|4"},
    };
    for (const auto& [locale, entry] : languages) {
        environment.SetLocale(locale);
        const auto outcome = RunSplicebox();
        EXPECT_EQ(outcome.exitCode, 0) << locale;
        EXPECT_EQ(Messages(outcome.errors), std::vector<std::string>()) << locale;
        EXPECT_EQ(ToolEntry(), entry);
    }
    EXPECT_EQ(environment.Root().Read("data/dbus-1/services/MW_Injector.OLE.service"),
              "[D-BUS Service]\nName=MW_Injector.OLE\nExec=" +
                  std::filesystem::canonical(SB_BIN_DIR "/splicebox").string() + " -Automation\n");
}

TEST(PlainStart, WithoutTheGamesUserKeyShowsOneMessageAndFails) {
    GameEnvironment environment;
    const auto outcome = RunSplicebox();
    EXPECT_EQ(outcome.exitCode, 1);
    EXPECT_EQ(
        Messages(outcome.errors),
        std::vector<std::string>{"Splicebox: Error opening registry key (\"Software\\Vantrell "
                                 "Technology\\Mirewalk 2\\1.0\")"});
    EXPECT_FALSE(std::filesystem::exists(environment.RegistryFile("HKEY_CURRENT_USER")));
    // The bus registration is written before the game's entry is tried.
    EXPECT_TRUE(std::filesystem::exists(environment.DataHome() /
                                        "dbus-1/services/MW_Injector.OLE.service"));
}

TEST(PlainStart, OnlyTheAutomationAndEmbeddingSwitchesStartForAutomation) {
    const auto automated = [](std::vector<const char*> args) {
        args.insert(args.begin(), "splicebox");
        return IsAutomatedStart(static_cast<int>(args.size()), const_cast<char**>(args.data()));
    };
    for (const char* yes : {"-Automation", "/Automation", "-Embedding", "/embedding"}) {
        EXPECT_TRUE(automated({"-x", yes})) << yes;
    }
    for (const char* no : {"Automation", "--Automation", "-Automation2", "-Embed", ""}) {
        EXPECT_FALSE(automated({no})) << no;
    }
    EXPECT_FALSE(automated({}));
}

} // namespace
