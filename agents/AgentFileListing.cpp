#include "agents/AgentFileListing.h"

#include "app/KitException.h"
#include "app/StringTable.h"
#include "platform/DirectoryListing.h"

#include <algorithm>
#include <cctype>
#include <string_view>
#include <tuple>

namespace {

constexpr std::string_view kAgentFileExtension = ".kiv";

unsigned char FoldAscii(char c) {
    return static_cast<unsigned char>(std::tolower(static_cast<unsigned char>(c)));
}

bool EqualIgnoringAsciiCase(std::string_view a, std::string_view b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                      [](char x, char y) { return FoldAscii(x) == FoldAscii(y); });
}

std::string FoldedAscii(const std::string& text) {
    std::string folded(text);
    std::transform(folded.begin(), folded.end(), folded.begin(),
                   [](char c) { return static_cast<char>(FoldAscii(c)); });
    return folded;
}

// Ignoring case first; names that differ only in case keep a fixed order too.
bool ComesBefore(const std::string& a, const std::string& b) {
    const std::string foldedA = FoldedAscii(a);
    const std::string foldedB = FoldedAscii(b);
    return std::tie(foldedA, a) < std::tie(foldedB, b);
}

} // namespace

bool IsAgentFileName(const std::string& path) {
    const std::string_view name(path);
    const std::size_t tail = std::min(name.size(), kAgentFileExtension.size());
    return EqualIgnoringAsciiCase(name.substr(name.size() - tail), kAgentFileExtension);
}

std::optional<std::vector<std::string>> ListAgentFiles(const std::string& directory) {
    std::string prefix = directory;
    if (prefix.empty() || (prefix.back() != '/' && prefix.back() != '\\')) {
        prefix += '/';
    }
    CDirectoryListing listing(prefix);
    if (!listing.IsOpen()) {
        return std::nullopt;
    }
    std::vector<std::string> names;
    DirectoryEntry entry;
    for (;;) {
        const auto step = listing.Next(entry);
        if (step == CDirectoryListing::Step::End) {
            break;
        }
        if (step == CDirectoryListing::Step::Failed) {
            ThrowStringId(IDS_ERROR_LOOKING_FOR_KIV);
        }
        if (!entry.isDirectory && IsAgentFileName(entry.name)) {
            names.push_back(entry.name);
        }
    }
    std::sort(names.begin(), names.end(), ComesBefore);
    std::vector<std::string> paths;
    paths.reserve(names.size());
    for (const auto& name : names) {
        paths.push_back(prefix + name);
    }
    return paths;
}
