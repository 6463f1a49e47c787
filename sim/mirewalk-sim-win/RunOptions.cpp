#include "sim/mirewalk-sim-win/RunOptions.h"

#include "sim/mirewalk-sim-win/CommandWords.h"

#include <string_view>

std::optional<RunOptions> ParseRunOptions(std::span<wchar_t* const> arguments) {
    RunOptions options;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::wstring_view argument = arguments[i];
        const bool hasValue = i + 1 < arguments.size();
        if (argument == L"--log" && hasValue) {
            options.logPath = arguments[++i];
        } else if (argument == L"--subject" && hasValue) {
            options.state.hasSubject = true;
            options.state.subjectName = arguments[++i];
        } else if (argument == L"--paused") {
            options.state.paused = true;
        } else if (argument == L"--delay" && hasValue) {
            const auto delay = ParseDelay(arguments[++i]);
            if (!delay) {
                return std::nullopt;
            }
            options.state.answerDelay = *delay;
        } else if (argument == L"--create-object") {
            options.createObject = true;
        } else {
            return std::nullopt;
        }
    }
    return options;
}
