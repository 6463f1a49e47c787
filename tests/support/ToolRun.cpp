#include "tests/support/ToolRun.h"

#include "tests/support/TempDir.h"

#include <cstdlib>

namespace {

std::string Quoted(const std::string& argument) {
    std::string quoted = "'";
    for (const char c : argument) {
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    }
    return quoted + "'";
}

// The shell command running `program`, its output to `capture`.out and .err.
std::string Command(const std::string& program, const std::vector<std::string>& arguments,
                    const std::string& locale, const std::string& capture) {
    std::string command = "LC_ALL=" + Quoted(locale) + " " + Quoted(SB_BIN_DIR "/" + program);
    for (const auto& argument : arguments) {
        command += " " + Quoted(argument);
    }
    return command + " >" + Quoted(capture + ".out") + " 2>" + Quoted(capture + ".err");
}

} // namespace

ToolRun RunTool(const std::string& program, const std::vector<std::string>& arguments,
                const std::string& locale) {
    return RunTools(program, {arguments}, locale)[0];
}

std::vector<ToolRun> RunTools(const std::string& program,
                              const std::vector<std::vector<std::string>>& argumentLists,
                              const std::string& locale) {
    const TempDir capture;
    std::string script;
    for (std::size_t i = 0; i < argumentLists.size(); ++i) {
        const std::string run = capture / std::to_string(i);
        script += "(" + Command(program, argumentLists[i], locale, run) + "; echo $? >" +
                  Quoted(run + ".status") + ") & ";
    }
    std::system((script + "wait").c_str());
    std::vector<ToolRun> runs;
    for (std::size_t i = 0; i < argumentLists.size(); ++i) {
        const std::string run = std::to_string(i);
        runs.push_back({std::stoi(capture.Read(run + ".status")), capture.Read(run + ".out"),
                        capture.Read(run + ".err")});
    }
    return runs;
}
