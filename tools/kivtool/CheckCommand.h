#pragma once

// "kivtool check [--json] DIR": loads every agent file of a folder, reporting each damaged one.
int RunCheckCommand(int argc, char** argv);
