#pragma once

#include <filesystem>
#include <string>

// A fresh folder below the system's temporary directory, removed with its
// contents when the object goes.
class TempFolder {
public:
    TempFolder() {
        std::string pattern = (std::filesystem::temp_directory_path() / "sbtestXXXXXX").string();
        m_path = mkdtemp(pattern.data());
    }
    ~TempFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(m_path, ignored);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    // The folder with a trailing separator, as directory strings are kept.
    std::string Dir() const { return m_path.string() + "/"; }

private:
    std::filesystem::path m_path;
};
