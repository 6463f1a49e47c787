#pragma once

#include <string>
#include <vector>

struct CCarriedConflict;

// "kivtool conflicts [--json] DIR...": carried images and sounds that agent
// files hold under one name with different contents.
int RunConflictsCommand(int argc, char** argv);

// One line per conflict, "NAME: PATH, PATH, ...".
void PrintConflicts(const std::vector<CCarriedConflict>& conflicts);
