#include "tests/support/Kivtool.h"

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

ToolResult Kivtool(const std::vector<std::string>& arguments, const std::string& language) {
    const TempDir capture;
    std::string command = "LANG=" + language + " LC_ALL= LC_MESSAGES= " SB_BIN_DIR "/kivtool";
    for (const auto& argument : arguments) {
        command += ' ';
        command += Quoted(argument);
    }
    command += " >" + (capture / "out").string() + " 2>" + (capture / "err").string();
    const int raw = std::system(command.c_str());
    return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, capture.Read("out"), capture.Read("err")};
}
