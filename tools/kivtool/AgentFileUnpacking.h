#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// One file that unpacking writes beside the manifest.
struct CUnpackedFile {
    std::string name;                    // a plain file name, UTF-8
    std::span<const std::uint8_t> taken; // bytes of the agent file, as they are,
    std::vector<std::uint8_t> made;      // or bytes made for the file (a picture)

    std::span<const std::uint8_t> Bytes() const { return made.empty() ? taken : made; }
};

// An agent file taken apart: a manifest from which "kivtool pack" gives the
// file back byte for byte, and the files it names.
struct CUnpackedAgentFile {
    std::string manifestName;
    std::string manifest;
    std::vector<CUnpackedFile> files;

    // The file of that name; nullptr when there is none.
    const CUnpackedFile* Find(std::string_view name) const;
};

// Takes apart the bytes of an agent file, which `path` names in messages and
// whose file name the manifest's name follows. Raises the reader's message for
// a file the reader refuses. Carried contents and chunks of other tags are not
// copied: their files point into `bytes`.
CUnpackedAgentFile UnpackAgentFile(std::span<const std::uint8_t> bytes, const std::string& path);
