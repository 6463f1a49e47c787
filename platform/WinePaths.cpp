#include "platform/WinePaths.h"

#include "platform/FileNameCase.h"

#include <vector>

namespace {

bool IsSeparator(char c) {
    return c == '\\' || c == '/';
}

bool IsAsciiLetter(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

char LowerAscii(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

// The folder that dosdevices/x: names, links followed (a relative one from
// dosdevices, as Wine reads it); nothing when there is no such link or it
// leads to no folder.
std::optional<std::filesystem::path> DriveFolder(const std::filesystem::path& prefix, char letter) {
    const auto link = prefix / "dosdevices" / (std::string(1, LowerAscii(letter)) + ":");
    std::error_code error;
    auto folder = std::filesystem::canonical(link, error);
    if (error || !std::filesystem::is_directory(folder, error)) {
        return std::nullopt;
    }
    return folder;
}

// The names after the drive, "." dropped and ".." taking back the name before
// it, as Windows resolves them before any folder is looked at; the drive's
// root is as high as ".." goes. Empty names (doubled separators) count as none.
std::vector<std::string_view> ResolvedNames(std::string_view path) {
    std::vector<std::string_view> names;
    while (!path.empty()) {
        std::size_t length = 0;
        while (length < path.size() && !IsSeparator(path[length])) {
            ++length;
        }
        const std::string_view name = path.substr(0, length);
        path.remove_prefix(length < path.size() ? length + 1 : length);
        if (name == "..") {
            if (!names.empty()) {
                names.pop_back();
            }
        } else if (!name.empty() && name != ".") {
            names.push_back(name);
        }
    }
    return names;
}

std::string AsDirectory(const std::string& path) {
    return path.ends_with('/') ? path : path + '/';
}

} // namespace

// "X:" starts every path that names a drive; "X:name" is taken from the
// drive's root, where a program that never changed to that drive stands.
std::optional<std::string> WindowsPathToUnix(const std::filesystem::path& prefix,
                                             std::string_view windowsPath) {
    if (windowsPath.size() < 2 || !IsAsciiLetter(windowsPath[0]) || windowsPath[1] != ':') {
        return std::nullopt;
    }
    const auto drive = DriveFolder(prefix, windowsPath[0]);
    if (!drive) {
        return std::nullopt;
    }
    std::string path = drive->string();
    bool exists = true;
    for (const std::string_view name : ResolvedNames(windowsPath.substr(2))) {
        const std::string directory = AsDirectory(path);
        const auto found = exists ? FindFileIgnoringCase(directory, name) : std::nullopt;
        exists = found.has_value();
        path = found.value_or(directory + std::string(name));
    }
    return IsSeparator(windowsPath.back()) ? AsDirectory(path) : path;
}
