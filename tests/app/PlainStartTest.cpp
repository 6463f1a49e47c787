#include "app/RegistryKey.h"
#include "app/StartMode.h"
#include "gamelink/GameContract.h"
#include "tests/support/GameEnvironment.h"
#include "tests/support/PrivateBus.h"

#include "Version.h"

#include <gtest/gtest.h>

#include <QDBusConnection>

#include <array>
#include <cstdio>
#include <sys/wait.h>
#include <unistd.h>

namespace {

struct Outcome {
    int exitCode = -1;
    std::string output;
    std::string errors;
};

// A change of the child's environment: a variable's new value, or nullptr to
// remove it.
struct Variable {
    const char* name;
    const char* value;
};

// A terminal without a desktop, as over ssh or in a package's install script:
// no display to open, and message boxes wherever the program sends them.
const std::vector<Variable> kNoDisplay = {{"DISPLAY", nullptr},
                                          {"WAYLAND_DISPLAY", nullptr},
                                          {"XDG_SESSION_TYPE", nullptr},
                                          {"QT_QPA_PLATFORM", nullptr},
                                          {"SPLICEBOX_MESSAGES", nullptr}};

std::vector<Variable> NoDisplayAnd(const Variable& change) {
    std::vector<Variable> changes = kNoDisplay;
    changes.push_back(change);
    return changes;
}

std::string ReadAll(int fd) {
    std::string text;
    std::array<char, 4096> buffer;
    ssize_t got;
    while ((got = ::read(fd, buffer.data(), buffer.size())) > 0) {
        text.append(buffer.data(), static_cast<std::size_t>(got));
    }
    ::close(fd);
    return text;
}

// Runs build/bin/splicebox with `arguments` in this environment changed by
// `changes`, and collects its standard output and error (both short).
Outcome RunSplicebox(const std::vector<const char*>& arguments = {},
                     const std::vector<Variable>& changes = kNoDisplay) {
    int out[2];
    int err[2];
    if (::pipe(out) != 0 || ::pipe(err) != 0) {
        return {};
    }
    const std::string program = SB_BIN_DIR "/splicebox";
    std::vector<char*> argv{const_cast<char*>(program.c_str())};
    for (const char* argument : arguments) {
        argv.push_back(const_cast<char*>(argument));
    }
    argv.push_back(nullptr);
    const pid_t pid = ::fork();
    if (pid == 0) {
        for (const auto& [name, value] : changes) {
            value != nullptr ? ::setenv(name, value, 1) : ::unsetenv(name);
        }
        ::dup2(out[1], STDOUT_FILENO);
        ::dup2(err[1], STDERR_FILENO);
        ::close(out[0]);
        ::close(err[0]);
        ::execv(program.c_str(), argv.data());
        ::_exit(127);
    }
    ::close(out[1]);
    ::close(err[1]);
    Outcome outcome;
    outcome.output = ReadAll(out[0]);
    outcome.errors = ReadAll(err[0]);
    int status = 0;
    ::waitpid(pid, &status, 0);
    outcome.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    return outcome;
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
        EXPECT_EQ(outcome.errors, "") << locale;
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
    EXPECT_EQ(outcome.errors, "Splicebox: Error opening registry key (\"Software\\Vantrell "
                              "Technology\\Mirewalk 2\\1.0\")\n");
    EXPECT_FALSE(std::filesystem::exists(environment.RegistryFile("HKEY_CURRENT_USER")));
    // The bus registration is written before the game's entry is tried.
    EXPECT_TRUE(std::filesystem::exists(environment.DataHome() /
                                        "dbus-1/services/MW_Injector.OLE.service"));
}

// Without the bus, its name or a display the applet can do nothing for the
// game: it says why and ends.
TEST(AutomatedStart, WithoutTheBusItsNameOrADisplayShowsWhyAndEnds) {
    GameEnvironment environment;
    environment.InstallGame();
    CPrivateBus bus;
    const std::string oleFailed = "Splicebox: OLE initialization failed.  Make sure that the OLE "
                                  "libraries are the correct version.\n";
    const struct {
        const char* what;
        bool nameTaken;
        std::vector<Variable> changes;
        std::string errors;
    } starts[] = {
        {"no bus", false, NoDisplayAnd({"DBUS_SESSION_BUS_ADDRESS", "unix:path=/nonexistent"}),
         oleFailed},
        {"name taken", true, kNoDisplay, oleFailed},
        {"no display", false, kNoDisplay, "Splicebox: Cannot open a display for the window\n"},
    };
    // Another copy of the applet, as far as the bus can tell.
    QDBusConnection other = QDBusConnection::connectToBus(QString::fromStdString(bus.Address()),
                                                          QStringLiteral("other"));
    const QString name = QString::fromLatin1(GameContract::kAppletServiceName);
    for (const auto& start : starts) {
        if (start.nameTaken) {
            ASSERT_TRUE(other.registerService(name));
        }
        const auto outcome = RunSplicebox({"-Automation"}, start.changes);
        EXPECT_EQ(outcome.exitCode, 1) << start.what;
        EXPECT_EQ(outcome.errors, start.errors) << start.what;
        other.unregisterService(name);
    }
}

TEST(PlainStart, HelpAndVersionAnswerAndRegisterNothing) {
    GameEnvironment environment;
    environment.InstallGame();
    const std::string version = "splicebox (Splicebox) " SB_VERSION "\n";
    const std::pair<std::vector<const char*>, std::string> starts[] = {
        {{"--version"}, version},
        {{"-Automation", "--version"}, version},
        {{"--version", "--help"}, version},
        {{"extra", "--help", "--version"}, "Usage: splicebox [OPTION]\n"},
    };
    for (const auto& [arguments, start] : starts) {
        const auto outcome = RunSplicebox(arguments);
        const auto shown = ::testing::PrintToString(arguments);
        EXPECT_EQ(outcome.exitCode, 0) << shown;
        EXPECT_EQ(outcome.output.substr(0, start.size()), start) << shown;
        EXPECT_EQ(outcome.errors, "") << shown;
    }
    EXPECT_EQ(ToolEntry(), "(absent)");
    EXPECT_FALSE(std::filesystem::exists(environment.DataHome() / "dbus-1"));
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
