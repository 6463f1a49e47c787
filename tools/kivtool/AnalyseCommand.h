#pragma once

// Runs "kivtool analyse [--json] [--game-dir DIR | --chemicals FILE] FILE...".
// argv[0] is the word "analyse"; returns the process exit code.
int RunAnalyseCommand(int argc, char** argv);
