#include "wine/splicebox-bridge/OwnFile.h"

#include <dlfcn.h>

std::string OwnFilePath() {
    Dl_info info{};
    // Any function of this file names the shared object that holds it.
    if (dladdr(reinterpret_cast<void*>(&OwnFilePath), &info) == 0 || info.dli_fname == nullptr) {
        return {};
    }
    return info.dli_fname;
}
