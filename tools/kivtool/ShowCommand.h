#pragma once

// "kivtool show [--json] FILE...": every agent and carried file of each file.
int RunShowCommand(int argc, char** argv);
