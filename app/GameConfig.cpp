#include "app/GameConfig.h"

#include "app/KitException.h"
#include "app/RegistryKey.h"
#include "app/StringTable.h"
#include "platform/Locale.h"

#include <algorithm>
#include <filesystem>
#include <optional>
#include <system_error>
#include <vector>

namespace {

constexpr const char* kDirectoryValueNames[] = {
    "Main Directory",   "Genetics Directory", "Objects Directory", "Applet Data Directory",
    "Images Directory", "Sounds Directory",   "History Directory", "Eggs Directory",
};

constexpr const char* kAutomationName = "MW_Injector.OLE";
// The game reads its tool list from numbered slots; this applet's is the eighth.
constexpr const char* kToolEntryName = "Tool8";

bool EndsWithSeparator(const std::string& text) {
    return !text.empty() && (text.back() == '/' || text.back() == '\\');
}

bool Exists(const std::string& path) {
    std::error_code error;
    return std::filesystem::exists(path, error);
}

// Length of the UTF-8 character starting with `lead`.
std::size_t CharacterLength(unsigned char lead) {
    return lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
}

// The first path, in name order, that is `prefix` + one character + `ext`; name
// order makes the choice independent of the order the folder lists its files.
std::optional<std::string> FirstOneCharacterMatch(const std::string& prefix,
                                                  const std::string& ext) {
    const auto slash = prefix.find_last_of('/');
    const std::string folder = slash == std::string::npos ? "" : prefix.substr(0, slash + 1);
    const std::string stem = prefix.substr(folder.size());
    std::vector<std::string> matches;
    std::error_code error;
    std::filesystem::directory_iterator entry(folder.empty() ? "." : folder, error);
    for (; !error && entry != std::filesystem::directory_iterator(); entry.increment(error)) {
        const std::string name = entry->path().filename().string();
        if (name.size() > stem.size() + ext.size() && name.starts_with(stem) &&
            name.ends_with(ext) &&
            name.size() - stem.size() - ext.size() ==
                CharacterLength(static_cast<unsigned char>(name[stem.size()]))) {
            matches.push_back(name);
        }
    }
    if (matches.empty()) {
        return std::nullopt;
    }
    return folder + *std::min_element(matches.begin(), matches.end());
}

} // namespace

std::string GetGameDirectory(int index) {
    if (index < kMainDirectory || index > kEggsDirectory) {
        ThrowStringId(IDS_ERROR_READING_REGISTRY);
    }
    CRegistryKey key;
    key.OpenKey(RegistryRoot::LocalMachine, kGameKeyPath);
    std::string directory;
    if (!key.ReadString(kDirectoryValueNames[index], directory)) {
        ThrowStringId(IDS_ERROR_READING_REGISTRY);
    }
    if (!EndsWithSeparator(directory)) {
        directory += '/';
    }
    key.Close();
    return directory;
}

bool FindLanguageFile(const std::string& dir, const char* name, const char* ext,
                      std::string& path) {
    const std::string abbreviation = LanguageAbbreviation();
    if (abbreviation.size() != 3) {
        return false;
    }
    const std::string base = dir + name;
    const std::string twoLetters = base + abbreviation.substr(0, 2);
    for (const auto& candidate : {base + abbreviation + ext, twoLetters + ext}) {
        if (Exists(candidate)) {
            path = candidate;
            return true;
        }
    }
    if (const auto match = FirstOneCharacterMatch(twoLetters, ext)) {
        path = *match;
        return true;
    }
    path = base + ext;
    return Exists(path);
}

bool RegisterWithGame() {
    try {
        CRegistryKey key;
        key.OpenKey(RegistryRoot::CurrentUser, kGameKeyPath);
        const char* title = LoadString(IDS_APPLET_TITLE);
        const char* description = LoadString(IDS_APPLET_DESCRIPTION);
        char entry[CKitException::kMessageSize];
        FormatString(entry, "%s|%s|%s|7|4", kAutomationName, title != nullptr ? title : "",
                     description != nullptr ? description : "");
        key.WriteString(kToolEntryName, entry);
        key.Close();
        return true;
    } catch (CKitException e) {
        ReportError(e);
        return false;
    }
}
