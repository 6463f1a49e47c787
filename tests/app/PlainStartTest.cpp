#include "app/StartMode.h"
#include "gamelink/GameContract.h"
#include "platform/ActivationFile.h"
#include "tests/support/PrivateBus.h"
#include "tests/support/RegistryFiles.h"

#include "Version.h"

#include <gtest/gtest.h>

#include <QDBusConnection>

#include <sys/wait.h>
#include <tuple>

namespace {

// Exit status, standard output's first line, standard error.
using Outcome = std::tuple<int, std::string, std::string>;

// Runs build/bin/splicebox as from a terminal without a desktop (over ssh, or in
// a package's install script): no display, and messages wherever it sends them.
Outcome RunSplicebox(const GameEnvironment& environment, const std::string& command) {
    const std::string out = (environment.Root() / "out").string();
    const std::string err = (environment.Root() / "err").string();
    const int status = std::system(("env -u DISPLAY -u WAYLAND_DISPLAY -u XDG_SESSION_TYPE "
                                    "-u QT_QPA_PLATFORM -u SPLICEBOX_MESSAGES " +
                                    command + " >'" + out + "' 2>'" + err + "'")
                                       .c_str());
    const std::string output = environment.Root().Read("out");
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, output.substr(0, output.find('\n') + 1),
            environment.Root().Read("err")};
}

// Only a plain start registers (the bus's activation file first, then the
// game's tool entry); the applet itself needs the bus, its name and a display.
TEST(PlainStart, EachStartAnswersAndRegistersAsItShould) {
    CPrivateBus bus;
    // Another copy of the applet, as far as the bus can tell.
    QDBusConnection other = QDBusConnection::connectToBus(QString::fromStdString(bus.Address()),
                                                          QStringLiteral("other"));
    const QString name = QString::fromLatin1(GameContract::kAppletServiceName);
    const std::string program = "'" SB_BIN_DIR "/splicebox'";
    const std::string activation = ActivationFileText(SB_BIN_DIR "/splicebox");
    const std::string tool =
        "\"Tool8\"=\"MW_Injector.OLE|Splicebox|Splicebox description here.|7|4\"\n";
    const std::string version = "splicebox (Splicebox) " SB_VERSION "\n";
    const std::string oleFailed = "Splicebox: OLE initialization failed.  Make sure that the OLE "
                                  "libraries are the correct version.\n";
    const std::string noKey = "Splicebox: Error opening registry key (\"Software\\Vantrell "
                              "Technology\\Mirewalk 2\\1.0\")\n";
    const struct {
        std::string command;
        bool userKey;
        bool nameTaken;
        Outcome outcome;
        bool registered;
    } starts[] = {
        {program, true, false, {0, "", ""}, true},
        {program, false, false, {1, "", noKey}, true},
        {program + " --version", true, false, {0, version, ""}, false},
        {program + " -Automation --version --help", true, false, {0, version, ""}, false},
        {program + " extra --help --version",
         true,
         false,
         {0, "Usage: splicebox [OPTION]\n", ""},
         false},
        {"DBUS_SESSION_BUS_ADDRESS=unix:path=/nonexistent " + program + " -Automation",
         true,
         false,
         {1, "", oleFailed},
         false},
        {program + " -Automation", true, true, {1, "", oleFailed}, false},
        {program + " /embedding",
         true,
         false,
         {1, "", "Splicebox: Cannot open a display for the window\n"},
         false},
    };
    for (const auto& start : starts) {
        SCOPED_TRACE(start.command + (start.userKey ? "" : ", no user key") +
                     (start.nameTaken ? ", name taken" : ""));
        GameEnvironment environment;
        if (start.userKey) {
            WriteRegistryFile(environment, "HKEY_CURRENT_USER", RegistryText(kUserGameKey, ""));
        }
        ASSERT_EQ(!start.nameTaken || other.registerService(name), true);
        EXPECT_EQ(RunSplicebox(environment, start.command), start.outcome);
        other.unregisterService(name);
        EXPECT_EQ(environment.Root().Read("data/dbus-1/services/MW_Injector.OLE.service"),
                  start.registered ? activation : "");
        const std::string userKey = start.userKey ? RegistryText(kUserGameKey, "") : "";
        EXPECT_EQ(environment.Root().Read("registry/HKEY_CURRENT_USER.reg"),
                  userKey + (start.registered && start.userKey ? tool : ""));
    }
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
