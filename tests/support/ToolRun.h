#pragma once

#include <string>
#include <vector>

// A command-line program of the build, run to its end.
struct ToolRun {
    int status = -1; // the shell's exit status: 128 + the signal when killed
    std::string out;
    std::string err;
};

// Runs build/bin/`program` with `arguments` and LC_ALL=`locale`.
ToolRun RunTool(const std::string& program, const std::vector<std::string>& arguments,
                const std::string& locale = "C");

// Runs `program` once for each list of arguments, all at the same time.
std::vector<ToolRun> RunTools(const std::string& program,
                              const std::vector<std::vector<std::string>>& argumentLists,
                              const std::string& locale = "C");
