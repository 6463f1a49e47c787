#include "tests/support/Kivtool.h"

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

std::vector<ToolRun> RunAll(const std::vector<std::vector<std::string>>& argumentLists,
                            const std::string& locale) {
    const TempDir capture;
    std::string script;
    for (std::size_t i = 0; i < argumentLists.size(); ++i) {
        const std::string run = capture / std::to_string(i);
        script += "(LC_ALL=" + Quoted(locale) + " " + Quoted(SB_BIN_DIR "/kivtool");
        for (const auto& argument : argumentLists[i]) {
            script += " " + Quoted(argument);
        }
        script += " >" + Quoted(run + ".out") + " 2>" + Quoted(run + ".err") + "; echo $? >" +
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

} // namespace

ToolRun Kivtool(const std::vector<std::string>& arguments, const std::string& locale) {
    return RunAll({arguments}, locale)[0];
}

std::vector<ToolRun> Kivtools(const std::vector<std::vector<std::string>>& argumentLists) {
    return RunAll(argumentLists, "C");
}
