#include "agents/AgentNames.h"

#include "core/KitException.h"
#include "core/StringTable.h"
#include "platform/Windows1252.h"

#include <algorithm>

namespace {

unsigned char FoldCase1252(unsigned char c) {
    if ((c >= 'A' && c <= 'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7)) {
        return static_cast<unsigned char>(c + 0x20);
    }
    switch (c) {
    case 0x8A: // Š
    case 0x8C: // Œ
    case 0x8E: // Ž
        return static_cast<unsigned char>(c + 0x10);
    case 0x9F: // Ÿ
        return 0xFF;
    default:
        return c;
    }
}

// Control characters, including the bytes that Windows-1252 leaves undefined
// and that become C1 controls when converted.
bool IsControl(unsigned char c) {
    return c < 0x20 || c == 0x7F || c == 0x81 || c == 0x8D || c == 0x8F || c == 0x90 || c == 0x9D;
}

bool HasDrivePrefix(std::string_view name) {
    return name.size() >= 2 && name[1] == ':' &&
           ((name[0] >= 'A' && name[0] <= 'Z') || (name[0] >= 'a' && name[0] <= 'z'));
}

} // namespace

bool EqualIgnoringCase1252(std::string_view a, std::string_view b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return FoldCase1252(static_cast<unsigned char>(x)) ==
               FoldCase1252(static_cast<unsigned char>(y));
    });
}

std::string CaseFolded1252(std::string_view name) {
    std::string folded(name);
    for (char& c : folded) {
        c = static_cast<char>(FoldCase1252(static_cast<unsigned char>(c)));
    }
    return folded;
}

bool IsSafeCarriedName(std::string_view name) {
    if (name.empty() || name == "." || name == ".." || HasDrivePrefix(name)) {
        return false;
    }
    return std::none_of(name.begin(), name.end(), [](char c) {
        return c == '/' || c == '\\' || IsControl(static_cast<unsigned char>(c));
    });
}

void RequireSafeCarriedName(std::string_view name) {
    if (!IsSafeCarriedName(name)) {
        ThrowStringId(IDS_UNEXPECTED_FILE_FORMAT);
    }
}

std::string CarriedFilePath(const std::string& directory, std::string_view name) {
    return directory + Windows1252ToUtf8(name);
}
