#pragma once

#include <string>
#include <vector>

// A command-line program of the build, run to its end.
struct ToolRun {
    int status = -1; // the exit status; -1 when it did not exit normally
    std::string out;
    std::string err;
};

// Runs build/bin/`program` with `arguments` and LC_ALL=`locale`.
ToolRun RunTool(const std::string& program, const std::vector<std::string>& arguments,
                const std::string& locale = "C");
