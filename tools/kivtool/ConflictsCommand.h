#pragma once

#include "tools/kivtool/JsonText.h"

#include <string>
#include <vector>

struct CCarriedConflict;

// "kivtool conflicts [--json] DIR...": carried images and sounds that agent
// files hold under one name with different contents.
int RunConflictsCommand(int argc, char** argv);

// An array of {"type", "name", "files"}, one per conflict.
JsonValue JsonConflicts(const std::vector<CCarriedConflict>& conflicts);

// One line per conflict, "NAME: PATH, PATH, ...".
void PrintConflicts(const std::vector<CCarriedConflict>& conflicts);
