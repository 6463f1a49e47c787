#pragma once

#include <dirent.h>

#include <cstddef>
#include <optional>
#include <string>

// One entry of a directory listing.
struct DirectoryEntry {
    std::string name;
    bool isDirectory = false; // symbolic links count as what they point to
};

// Lists the entries of one directory ("." and ".." left out) in the order the
// file system delivers them, and tells the end of the listing from a failure.
class CDirectoryListing {
public:
    explicit CDirectoryListing(const std::string& directory);
    ~CDirectoryListing();
    CDirectoryListing(const CDirectoryListing&) = delete;
    CDirectoryListing& operator=(const CDirectoryListing&) = delete;

    // False when the directory could not be opened for listing.
    bool IsOpen() const { return m_dir != nullptr; }

    enum class Step { Entry, End, Failed };
    Step Next(DirectoryEntry& entry);

    // While one lives, every listing of `directory` (the string exactly as
    // passed to the constructor) that starts fails after delivering `entries`
    // entries, as a failing disk or network folder would. No local folder fails
    // part-way on demand, so this is how a whole component meets that failure.
    class CInjectedFailure {
    public:
        CInjectedFailure(const std::string& directory, std::size_t entries);
        ~CInjectedFailure();
        CInjectedFailure(const CInjectedFailure&) = delete;
        CInjectedFailure& operator=(const CInjectedFailure&) = delete;
    };

private:
    bool IsDirectory(const dirent& entry) const;

    DIR* m_dir = nullptr;
    std::optional<std::size_t> m_entriesBeforeFailure;
};
