#include "framework/AboutText.h"

#include "core/KitException.h"
#include "core/StringTable.h"

namespace {
constexpr const char* kBuildNumber = "38";
constexpr const char* kBuildKind = "Release";
constexpr const char* kBuildDate = "Jan  4 1999";
} // namespace

std::string FormatAboutText(const std::string& caption, const std::string& version) {
    const char* versionWord = LoadString(IDS_VERSION);
    char text[CKitException::kMessageSize];
    FormatString(text, "%s\n%s %s\n\n\n(Build %s  -  %s  -  %s)", caption.c_str(),
                 versionWord != nullptr ? versionWord : "", version.c_str(), kBuildNumber,
                 kBuildKind, kBuildDate);
    return text;
}
