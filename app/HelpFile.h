#pragma once

#include "platform/ChmFile.h"

#include <memory>

// The page that Help shows, inside the help file.
inline constexpr const char* kHelpPage = "HTML PAGES/Splicebox.html";

// The help file for the user's language in the current directory (the game's
// main directory), open and holding the help page; nullptr when there is no
// such file or it cannot be read. Help then simply does nothing.
std::unique_ptr<CChmFile> OpenHelpFile();
