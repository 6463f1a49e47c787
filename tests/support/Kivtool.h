#pragma once

#include "tests/support/ToolRun.h"

// build/bin/kivtool with `arguments`, its messages in `locale`.
inline ToolRun Kivtool(const std::vector<std::string>& arguments, const std::string& locale = "C") {
    return RunTool("kivtool", arguments, locale);
}

inline std::vector<ToolRun> Kivtools(const std::vector<std::vector<std::string>>& argumentLists) {
    return RunTools("kivtool", argumentLists);
}
