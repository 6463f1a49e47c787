#include "tools/kivtool/ToolSupport.h"

#include "app/KitException.h"

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
