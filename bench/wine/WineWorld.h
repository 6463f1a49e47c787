#pragma once

#include "tests/support/ChildProcess.h"
#include "tests/support/GameEnvironment.h"
#include "tests/support/PrivateBus.h"
#include "tests/support/TempDir.h"
#include "tests/support/VirtualDisplay.h"

#include <filesystem>

// This build folder's Wine prefix, made once by scripts/wine-prefix, with its
// server up while this lives and stopped, with every program in the prefix,
// when it goes; Wine's variables are set for every program started meanwhile.
class CWinePrefixServer {
public:
    CWinePrefixServer();
    ~CWinePrefixServer();
    CWinePrefixServer(const CWinePrefixServer&) = delete;
    CWinePrefixServer& operator=(const CWinePrefixServer&) = delete;
};

// Both games ready to start the applet through the bus: the Windows game
// installed in the prefix (C:\Games\Bench) and the game of this machine in
// `environment`, each with the applet's pictures; the applet registered with
// the game under Wine as a player registers it (splicebox --wine), and the
// bus given this process's environment for the programs it starts. Wine's
// output goes to files in `logs`. Throws std::runtime_error on failure.
void InstallGames(GameEnvironment& environment, CPrivateBus& bus, const TempDir& logs);
