#include "app/HelpFile.h"

#include "core/GameConfig.h"

std::unique_ptr<CChmFile> OpenHelpFile() {
    // Whether a language variant matched does not matter: the neutral name is
    // the fallback, and a path left empty simply fails to open.
    std::string path;
    FindLanguageFile("./", "Help", ".chm", path);
    if (path.empty()) {
        return nullptr;
    }
    auto file = std::make_unique<CChmFile>(path);
    if (!file->IsOpen() || !file->ReadObject(kHelpPage)) {
        return nullptr;
    }
    return file;
}
