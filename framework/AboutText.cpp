#include "framework/AboutText.h"

#include "core/KitException.h"
#include "core/StringTable.h"

namespace {
constexpr const char* kBuildNumber = "38";
constexpr const char* kBuildKind = "Release";
constexpr const char* kBuildDate = "Jan  4 1999";
} // namespace

std::string FormatAboutText(const std::string& caption, const std::string& version) {
    char text[CKitException::kMessageSize];
    FormatString(text, "%s\n%s %s\n\n\n(Build %s  -  %s  -  %s)", caption.c_str(),
                 LoadStringOrEmpty(IDS_VERSION), version.c_str(), kBuildNumber, kBuildKind,
                 kBuildDate);
    return text;
}
