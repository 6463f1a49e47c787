#include "platform/FileNameCase.h"

#include "platform/DirectoryListing.h"
#include "platform/Utf8.h"

#include <algorithm>
#include <sys/stat.h>
#include <utility>

namespace {

char FoldAscii(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool Exists(const std::string& path) {
    struct stat status {};
    return ::stat(path.c_str(), &status) == 0;
}

// Length of the UTF-8 character starting with `lead`; a byte that cannot
// begin one is a character by itself.
std::size_t CharacterLength(unsigned char lead) {
    return std::max<std::size_t>(Utf8SequenceLength(lead), 1);
}

enum class Match { None, IgnoringCase, Exact };

// The entry of `directory` that `match` likes best: exact before ignoring
// case, then byte order. A listing that fails part-way answers from the names
// it delivered.
template <typename Matcher>
std::optional<std::string> BestEntry(const std::string& directory, Matcher match) {
    CDirectoryListing listing(directory.empty() ? "." : directory);
    std::optional<std::pair<bool, std::string>> best; // (not exact, name): smallest wins
    DirectoryEntry entry;
    while (listing.Next(entry) == CDirectoryListing::Step::Entry) {
        const Match found = match(entry.name);
        if (found == Match::None || !Exists(directory + entry.name)) {
            continue;
        }
        std::pair<bool, std::string> candidate(found != Match::Exact, entry.name);
        if (!best || candidate < *best) {
            best = std::move(candidate);
        }
    }
    if (!best) {
        return std::nullopt;
    }
    return directory + best->second;
}

} // namespace

bool EqualIgnoringAsciiCase(std::string_view a, std::string_view b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                      [](char x, char y) { return FoldAscii(x) == FoldAscii(y); });
}

std::string FoldedAsciiCase(std::string_view text) {
    std::string folded(text);
    std::transform(folded.begin(), folded.end(), folded.begin(), FoldAscii);
    return folded;
}

std::optional<std::string> FindFileIgnoringCase(const std::string& directory,
                                                std::string_view name) {
    std::string exact = directory + std::string(name);
    if (Exists(exact)) {
        return exact;
    }
    return BestEntry(directory, [name](const std::string& candidate) {
        return EqualIgnoringAsciiCase(candidate, name) ? Match::IgnoringCase : Match::None;
    });
}

std::string PathIgnoringCase(const std::string& directory, std::string_view name) {
    return FindFileIgnoringCase(directory, name).value_or(directory + std::string(name));
}

std::optional<std::string> FindFileWithOneCharacterIgnoringCase(const std::string& directory,
                                                                std::string_view head,
                                                                std::string_view tail) {
    return BestEntry(directory, [head, tail](std::string_view candidate) {
        if (candidate.size() <= head.size() + tail.size() ||
            candidate.size() - head.size() - tail.size() !=
                CharacterLength(static_cast<unsigned char>(candidate[head.size()]))) {
            return Match::None;
        }
        const std::string_view candidateHead = candidate.substr(0, head.size());
        const std::string_view candidateTail = candidate.substr(candidate.size() - tail.size());
        if (candidateHead == head && candidateTail == tail) {
            return Match::Exact;
        }
        return EqualIgnoringAsciiCase(candidateHead, head) &&
                       EqualIgnoringAsciiCase(candidateTail, tail)
                   ? Match::IgnoringCase
                   : Match::None;
    });
}
