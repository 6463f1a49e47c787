#pragma once

#include <filesystem>
#include <string>
#include <string_view>

// A fresh folder under the system's temporary folder, removed with everything
// in it when the object goes.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& Path() const { return m_path; }
    std::filesystem::path operator/(const std::filesystem::path& relative) const {
        return m_path / relative;
    }

    // Writes `bytes` to a file below the folder, creating its folders; returns its path.
    std::filesystem::path Write(const std::filesystem::path& relative,
                                std::string_view bytes) const;
    // The whole file below the folder; empty when it cannot be read.
    std::string Read(const std::filesystem::path& relative) const;

private:
    std::filesystem::path m_path;
};
