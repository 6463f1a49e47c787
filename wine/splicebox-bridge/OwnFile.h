#pragma once

#include <string>

// This machine's path of the bridge's own file, as the system loaded it;
// empty when it cannot be found.
std::string OwnFilePath();
