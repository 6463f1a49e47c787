#include "agents/AgentFileListing.h"

#include "platform/DirectoryListing.h"
#include "platform/FileNameCase.h"

#include <algorithm>
#include <string_view>
#include <tuple>

namespace {

constexpr std::string_view kAgentFileExtension = ".kiv";

// Ignoring case first; names that differ only in case keep a fixed order too.
bool ComesBefore(const std::string& a, const std::string& b) {
    const std::string foldedA = FoldedAsciiCase(a);
    const std::string foldedB = FoldedAsciiCase(b);
    return std::tie(foldedA, a) < std::tie(foldedB, b);
}

std::string DirectoryPrefix(const std::string& directory) {
    std::string prefix = directory;
    if (prefix.empty() || (prefix.back() != '/' && prefix.back() != '\\')) {
        prefix += '/';
    }
    return prefix;
}

} // namespace

bool IsAgentFileName(const std::string& path) {
    const std::string_view name(path);
    const std::size_t tail = std::min(name.size(), kAgentFileExtension.size());
    return EqualIgnoringAsciiCase(name.substr(name.size() - tail), kAgentFileExtension);
}

std::string PathInDirectory(const std::string& directory, const std::string& name) {
    return DirectoryPrefix(directory) + name;
}

std::optional<AgentFileList> ListAgentFiles(const std::string& directory,
                                            IDirectoryEntryReader& reader) {
    const std::string prefix = DirectoryPrefix(directory);
    CDirectoryListing listing(prefix, reader);
    if (!listing.IsOpen()) {
        return std::nullopt;
    }
    std::vector<std::string> names;
    DirectoryEntry entry;
    auto step = listing.Next(entry);
    for (; step == CDirectoryListing::Step::Entry; step = listing.Next(entry)) {
        if (!entry.isDirectory && IsAgentFileName(entry.name)) {
            names.push_back(entry.name);
        }
    }
    std::sort(names.begin(), names.end(), ComesBefore);
    AgentFileList list;
    list.failed = step == CDirectoryListing::Step::Failed;
    list.paths.reserve(names.size());
    for (const auto& name : names) {
        list.paths.push_back(prefix + name);
    }
    return list;
}
