#pragma once

#include <dirent.h>

#include <string>

// One entry of a directory listing.
struct DirectoryEntry {
    std::string name;
    bool isDirectory = false; // symbolic links count as what they point to
};

// Where listings get their entries: the system's, or a test's that fails on
// demand, as a failing disk or network folder would.
class IDirectoryEntryReader {
public:
    virtual ~IDirectoryEntryReader() = default;
    // The next entry of `dir`; nullptr at the end (errno 0) or on failure.
    virtual const dirent* Read(DIR* dir) = 0;
};

IDirectoryEntryReader& SystemDirectoryEntryReader();

// Lists the entries of one directory ("." and ".." left out) in the order the
// file system delivers them, and tells the end of the listing from a failure.
class CDirectoryListing {
public:
    explicit CDirectoryListing(const std::string& directory,
                               IDirectoryEntryReader& reader = SystemDirectoryEntryReader());
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
    IDirectoryEntryReader& m_reader;
};
