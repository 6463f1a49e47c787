#pragma once

#include <dirent.h>

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

private:
    bool IsDirectory(const dirent& entry) const;

    DIR* m_dir = nullptr;
};
