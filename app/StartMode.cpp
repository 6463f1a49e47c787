#include "app/StartMode.h"

#include <cstring>
#include <strings.h>

bool IsAutomatedStart(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        const char* arg = argv[i];
        if ((arg[0] == '-' || arg[0] == '/') &&
            (strcasecmp(arg + 1, "Automation") == 0 || strcasecmp(arg + 1, "Embedding") == 0)) {
            return true;
        }
    }
    return false;
}

bool IsWineStart(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--wine") == 0) {
            return true;
        }
    }
    return false;
}
