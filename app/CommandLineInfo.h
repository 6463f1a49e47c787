#pragma once

#include <optional>

// `--help` and `--version` anywhere on the command line: the text is printed on
// standard output and the start goes no further, whatever else the command line
// holds (the first of the two wins). Returns the process's exit code then, and
// nothing for every other start.
std::optional<int> AnswerInformationRequest(int argc, char** argv);
