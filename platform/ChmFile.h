#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

struct chmFile;

// One compiled HTML help file, open for as long as the object lives. Objects
// inside it are named by their path from the file's root, such as
// "/HTML PAGES/Splicebox.html"; the leading "/" may be left out.
class CChmFile {
public:
    // A help page or picture is a few kilobytes; anything beyond this is a
    // damaged length field, not content worth holding in memory.
    static constexpr std::uint64_t kMaxObjectSize = 16 * 1024 * 1024;

    // Opens the file; IsOpen() tells whether that worked.
    explicit CChmFile(const std::string& path);
    ~CChmFile();
    CChmFile(const CChmFile&) = delete;
    CChmFile& operator=(const CChmFile&) = delete;

    bool IsOpen() const { return m_file != nullptr; }

    // The object's bytes; nullopt when the file is not open, the object does
    // not exist, it is too large, or it cannot be read whole.
    std::optional<std::vector<std::uint8_t>> ReadObject(std::string_view path) const;

private:
    struct Closer {
        void operator()(chmFile* file) const;
    };
    std::unique_ptr<chmFile, Closer> m_file;
};
