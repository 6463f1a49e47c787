#pragma once

// "kivtool unpack FILE DIR": writes a manifest and its files from which "pack"
// gives the agent file back.
int RunUnpackCommand(int argc, char** argv);
