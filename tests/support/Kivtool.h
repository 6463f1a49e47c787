#pragma once

#include "tests/support/TempDir.h"

#include <vector>

// A run of build/bin/kivtool to its end.
struct ToolRun {
    int status = -1; // the shell's exit status: 128 + the signal when killed
    std::string out;
    std::string err;
};

// kivtool once for each list of arguments, all at the same time, its messages in `locale`, each
// after the shell commands `setup`.
inline std::vector<ToolRun> KivtoolsIn(const std::string& locale,
                                       const std::vector<std::vector<std::string>>& argumentLists,
                                       const std::string& setup = "") {
    const auto quoted = [](const std::string& argument) {
        std::string text = "'";
        for (const char c : argument) {
            text += c == '\'' ? std::string("'\\''") : std::string(1, c);
        }
        return text + "'";
    };
    const TempDir capture;
    std::string script;
    for (std::size_t i = 0; i < argumentLists.size(); ++i) {
        const std::string run = capture / std::to_string(i);
        script += "(" + setup + "LC_ALL=" + quoted(locale) + " " + quoted(SB_BIN_DIR "/kivtool");
        for (const auto& argument : argumentLists[i]) {
            script += " " + quoted(argument);
        }
        script += " >" + quoted(run + ".out") + " 2>" + quoted(run + ".err") + "; echo $? >" +
                  quoted(run + ".status") + ") & ";
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

// kivtool with `arguments`, its messages in `locale`.
inline ToolRun Kivtool(const std::vector<std::string>& arguments, const std::string& locale = "C") {
    return KivtoolsIn(locale, {arguments})[0];
}
inline std::vector<ToolRun> Kivtools(const std::vector<std::vector<std::string>>& argumentLists) {
    return KivtoolsIn("C", argumentLists);
}
