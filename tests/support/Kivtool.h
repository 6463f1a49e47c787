#pragma once

#include <string>
#include <vector>

// A run of build/bin/kivtool to its end.
struct ToolRun {
    int status = -1; // the shell's exit status: 128 + the signal when killed
    std::string out;
    std::string err;
};

// kivtool with `arguments`, its messages in `locale`.
ToolRun Kivtool(const std::vector<std::string>& arguments, const std::string& locale = "C");
// kivtool once for each list of arguments, all at the same time.
std::vector<ToolRun> Kivtools(const std::vector<std::vector<std::string>>& argumentLists);
