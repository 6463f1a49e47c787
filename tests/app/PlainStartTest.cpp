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
    const std::string usage = "Usage: splicebox [OPTION]\n";
    const std::string noBus = "DBUS_SESSION_BUS_ADDRESS=unix:path=/nonexistent ";
    const std::string noDisplay = "Splicebox: Cannot open a display for the window\n";
    const std::string noBridge = "SPLICEBOX_BRIDGE=/nonexistent/bridge.exe.so ";
    const std::string bridgeEnds = "WINE=false SPLICEBOX_BRIDGE=" + program + " ";
    enum Setup { kUserKey, kNoUserKey, kNameTaken };
    const struct {
        Setup setup;
        std::string command;
        Outcome outcome;
        bool registered;
    } starts[] = {
        {kUserKey, program, {0, "", ""}, true},
        {kNoUserKey, program, {1, "", noKey}, true},
        {kUserKey, program + " --version", {0, version, ""}, false},
        {kUserKey, program + " -Automation --version --help", {0, version, ""}, false},
        {kUserKey, program + " extra --help --version", {0, usage, ""}, false},
        {kUserKey, noBus + program + " -Automation", {1, "", oleFailed}, false},
        {kNameTaken, program + " -Automation", {1, "", oleFailed}, false},
        {kUserKey, program + " /embedding", {1, "", noDisplay}, false},
        {kUserKey,
         noBridge + program + " --wine",
         {1, "",
          "Splicebox: Cannot find the Wine bridge; looked for \"/nonexistent/bridge.exe.so\"\n"},
         false},
        {kUserKey,
         bridgeEnds + program + " --wine",
         {1, "",
          "Splicebox: The Wine bridge ended before it served the session bus (\"false " SB_BIN_DIR
          "/splicebox\" exited with status 1)\n"},
         false},
    };
    for (const auto& start : starts) {
        SCOPED_TRACE(start.command + " in setup " + std::to_string(start.setup));
        const bool userKey = start.setup != kNoUserKey;
        GameEnvironment environment;
        if (userKey) {
            WriteRegistryFile(environment, "HKEY_CURRENT_USER", RegistryText(kUserGameKey, ""));
        }
        ASSERT_TRUE(start.setup != kNameTaken || other.registerService(name));
        EXPECT_EQ(RunSplicebox(environment, start.command), start.outcome);
        other.unregisterService(name);
        EXPECT_EQ(environment.Root().Read("data/dbus-1/services/MW_Injector.OLE.service"),
                  start.registered ? activation : "");
        EXPECT_EQ(environment.Root().Read("registry/HKEY_CURRENT_USER.reg"),
                  userKey ? RegistryText(kUserGameKey, start.registered ? tool : "") : "");
    }
}

} // namespace
