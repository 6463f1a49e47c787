#pragma once

// True when the command line holds one of the automated start switches
// (-Automation, /Automation, -Embedding, /Embedding, in any letter case): the
// session bus started the process because the game asked for its object.
bool IsAutomatedStart(int argc, char** argv);

// True when the command line holds `--wine`: the game runs under Wine, and
// the plain start registers with it there.
bool IsWineStart(int argc, char** argv);
