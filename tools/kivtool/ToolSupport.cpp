#include "tools/kivtool/ToolSupport.h"

#include "core/KitException.h"

#include <cstdio>
#include <cstring>

bool WantsHelp(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            return true;
        }
    }
    return false;
}

std::optional<int> ReadJsonOperands(int argc, char** argv, const char* usage,
                                    JsonOperands& operands) {
    if (WantsHelp(argc, argv)) {
        std::fputs(usage, stdout);
        return kExitOk;
    }
    operands.json = argc > 1 && std::strcmp(argv[1], "--json") == 0;
    operands.first = operands.json ? 2 : 1;
    if (operands.first >= argc) {
        return UsageError(usage);
    }
    return std::nullopt;
}

int RunFileAndFolderCommand(int argc, char** argv, const char* usage,
                            const std::function<void(const char* file, const char* folder)>& work) {
    if (WantsHelp(argc, argv)) {
        std::fputs(usage, stdout);
        return kExitOk;
    }
    if (argc != 3) {
        return UsageError(usage);
    }
    try {
        work(argv[1], argv[2]);
        return kExitOk;
    } catch (const CKitException& error) {
        PrintError(error);
        return kExitFailure;
    }
}

void PrintError(const std::string& text) {
    std::fprintf(stderr, "kivtool: %s\n", text.c_str());
}

void PrintError(const CKitException& error) {
    PrintError(std::string(error.m_message));
}

int UsageError(const char* usage) {
    std::fputs(usage, stderr);
    return kExitUsage;
}

std::string AsDirectory(std::string directory) {
    if (directory.empty() || (directory.back() != '/' && directory.back() != '\\')) {
        directory += '/';
    }
    return directory;
}
