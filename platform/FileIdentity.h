#pragma once

#include <cstdint>
#include <optional>
#include <string>

// What tells one version of a file from another without reading it: a file
// replaced by rename has another inode, one written in place another size or
// modification time.
struct CFileIdentity {
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    std::uint64_t size = 0;
    std::int64_t modifiedNs = 0; // since 1970

    bool operator==(const CFileIdentity&) const = default;
};

// The identity of the open file `fd`, or of the file at `path` (following a
// link); nothing when it cannot be asked.
std::optional<CFileIdentity> FileIdentityOf(int fd);
std::optional<CFileIdentity> FileIdentityOf(const std::string& path);
// The identity of the plain file at `path` (following a link); nothing for a
// directory or anything else that is not a plain file, or when it cannot be
// asked.
std::optional<CFileIdentity> PlainFileIdentityOf(const std::string& path);
