#pragma once

#include <cstdint>
#include <memory>
#include <string>

// The registry roots the program uses; each is one REGEDIT4 file of the store,
// or the root of that name in Wine's registry.
enum class RegistryRoot { LocalMachine, CurrentUser, ClassesRoot };

// The game's settings key, under both roots.
inline constexpr const char* kGameKeyPath = "Software\\Vantrell Technology\\Mirewalk 2\\1.0";

// An applet's settings key: the game's key path with the applet's name and
// version in place of the game's version.
std::string AppletKeyPath(const std::string& appletName, const std::string& version);

class RegistryKeyHandle; // platform/RegistryKeyHandle.h

// Owns one open registry key; the one way the program reads and writes the
// registry. Reads return false for a missing value; every other failure throws
// CKitException: IDS_ERROR_OPENING_REGISTRY_KEY (open/create, with the subkey path),
// IDS_ERROR_READING_REGISTRY (read), IDS_ERROR_WRITING_REGISTRY (write).
class CRegistryKey {
public:
    // ReadString's buffer: the text and its terminating zero must fit.
    static constexpr std::size_t kStringBufferSize = 2048;

    CRegistryKey();
    ~CRegistryKey();
    CRegistryKey(const CRegistryKey&) = delete;
    CRegistryKey& operator=(const CRegistryKey&) = delete;

    void OpenKey(RegistryRoot root, const char* subkey);
    void CreateKey(RegistryRoot root, const char* subkey, bool* created = nullptr);
    // Closes the handle; 0 on success, as the platform's result code.
    long Close();
    bool IsOpen() const;

    bool ReadString(const char* name, std::string& text);
    bool ReadPoint(const char* name, std::int32_t& x, std::int32_t& y);
    bool ReadDword(const char* name, std::uint32_t& value);
    void WriteString(const char* name, const char* text);
    void WritePoint(const char* name, std::int32_t x, std::int32_t y);
    void WriteDword(const char* name, std::uint32_t value);

private:
    std::unique_ptr<RegistryKeyHandle> m_key;
};
