#include "tests/support/ToolRun.h"

#include "tests/support/TempDir.h"

#include <cstdlib>
#include <sys/wait.h>

namespace {

std::string Quoted(const std::string& argument) {
    std::string quoted = "'";
    for (const char c : argument) {
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    }
    return quoted + "'";
}

} // namespace

ToolRun RunTool(const std::string& program, const std::vector<std::string>& arguments,
                const std::string& locale) {
    const TempDir capture;
    std::string command = "LC_ALL=" + Quoted(locale) + " " + Quoted(SB_BIN_DIR "/" + program);
    for (const auto& argument : arguments) {
        command += " " + Quoted(argument);
    }
    command += " >" + Quoted(capture / "out") + " 2>" + Quoted(capture / "err");
    const int raw = std::system(command.c_str());
    return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, capture.Read("out"), capture.Read("err")};
}
