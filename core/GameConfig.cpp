#include "core/GameConfig.h"

#include "core/KitException.h"
#include "core/RegistryKey.h"
#include "core/StringTable.h"
#include "platform/ActiveGameHost.h"
#include "platform/FileNameCase.h"
#include "platform/Locale.h"

#include <optional>

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

} // namespace

std::string GetGameDirectory(int index) {
    if (index < kMainDirectory || index > kEggsDirectory) {
        ThrowStringId(IDS_ERROR_READING_REGISTRY);
    }
    CRegistryKey key;
    key.OpenKey(RegistryRoot::LocalMachine, kGameKeyPath);
    std::string value;
    if (!key.ReadString(kDirectoryValueNames[index], value)) {
        ThrowStringId(IDS_ERROR_READING_REGISTRY);
    }
    key.Close();
    const auto directory =
        ActiveGameHost()->LocalDirectory(EndsWithSeparator(value) ? value : value + '/');
    if (!directory) {
        ThrowStringId(IDS_FOLDER_NOT_MAPPED, value.c_str());
    }
    return *directory;
}

bool FindLanguageFile(const std::string& dir, const char* name, const char* ext,
                      std::string& path) {
    const std::string abbreviation = LanguageAbbreviation();
    if (abbreviation.size() != 3) {
        return false;
    }
    const std::string twoLetters = name + abbreviation.substr(0, 2);
    std::optional<std::string> found = FindFileIgnoringCase(dir, name + abbreviation + ext);
    if (!found) {
        found = FindFileIgnoringCase(dir, twoLetters + ext);
    }
    if (!found) {
        found = FindFileWithOneCharacterIgnoringCase(dir, twoLetters, ext);
    }
    if (!found) {
        found = FindFileIgnoringCase(dir, std::string(name) + ext);
    }
    path = found.value_or(dir + name + ext);
    return found.has_value();
}

bool RegisterWithGame() {
    try {
        CRegistryKey key;
        key.OpenKey(RegistryRoot::CurrentUser, kGameKeyPath);
        char entry[CKitException::kMessageSize];
        FormatString(entry, "%s|%s|%s|7|4", kAutomationName, LoadStringOrEmpty(IDS_APPLET_TITLE),
                     LoadStringOrEmpty(IDS_APPLET_DESCRIPTION));
        key.WriteString(kToolEntryName, entry);
        key.Close();
        return true;
    } catch (CKitException e) {
        ReportError(e);
        return false;
    }
}
