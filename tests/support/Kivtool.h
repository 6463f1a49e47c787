#pragma once

#include <string>
#include <vector>

struct ToolResult {
    int status = -1;
    std::string out;
    std::string err;
};

// Runs build/bin/kivtool with the arguments in the language given (LANG, with
// LC_ALL and LC_MESSAGES emptied), in this process's environment otherwise.
ToolResult Kivtool(const std::vector<std::string>& arguments, const std::string& language = "C");
