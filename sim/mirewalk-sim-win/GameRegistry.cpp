#include "sim/mirewalk-sim-win/GameRegistry.h"

#include "gamelink/GameContract.h"
#include "sim/mirewalk-sim-win/WinSimContract.h"
#include "sim/mirewalk-sim-win/WinText.h"

#include <windows.h>

#include <stdexcept>

namespace {

// The game's settings key, under both roots.
constexpr const wchar_t* kGameKeyPath = L"Software\\Vantrell Technology\\Mirewalk 2\\1.0";

// A "{...}" CLSID: 38 characters and the terminator.
constexpr int kClsidTextSize = 39;

// One registry key opened for writing, closed when it goes.
class CWritableKey {
public:
    // view: 0 for this program's own view, or KEY_WOW64_32KEY or KEY_WOW64_64KEY.
    CWritableKey(HKEY root, const std::wstring& path, REGSAM view = 0) {
        const LSTATUS status = RegCreateKeyExW(root, path.c_str(), 0, nullptr, 0,
                                               KEY_SET_VALUE | view, nullptr, &m_key, nullptr);
        if (status != ERROR_SUCCESS) {
            throw std::runtime_error("cannot create the registry key " + ToUtf8(path) + ": error " +
                                     std::to_string(status));
        }
    }
    ~CWritableKey() { RegCloseKey(m_key); }
    CWritableKey(const CWritableKey&) = delete;
    CWritableKey& operator=(const CWritableKey&) = delete;

    // An empty name sets the key's default value.
    void SetString(const std::wstring& name, const std::wstring& value) {
        const auto size = static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t));
        const LSTATUS status =
            RegSetValueExW(m_key, name.empty() ? nullptr : name.c_str(), 0, REG_SZ,
                           reinterpret_cast<const BYTE*>(value.c_str()), size);
        if (status != ERROR_SUCCESS) {
            throw std::runtime_error("cannot write the registry value " + ToUtf8(name) +
                                     ": error " + std::to_string(status));
        }
    }

private:
    HKEY m_key = nullptr;
};

std::wstring FullPath(const std::wstring& path) {
    const DWORD size = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
    std::wstring full(size, L'\0');
    const DWORD length = GetFullPathNameW(path.c_str(), size, full.data(), nullptr);
    if (size == 0 || length == 0 || length >= size) {
        throw std::runtime_error("not a path: " + ToUtf8(path));
    }
    full.resize(length);
    return full;
}

// Creates the folder and every missing folder above it. The folders above
// may be roots, shares or existing: only the folder itself has to come out.
void CreateFolders(const std::wstring& folder) {
    for (std::size_t end = folder.find(L'\\'); end != std::wstring::npos;
         end = folder.find(L'\\', end + 1)) {
        CreateDirectoryW(folder.substr(0, end).c_str(), nullptr);
    }
    if (!CreateDirectoryW(folder.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS) {
        throw std::runtime_error("cannot create the folder " + ToUtf8(folder) + ": error " +
                                 std::to_string(GetLastError()));
    }
    const DWORD attributes = GetFileAttributesW(folder.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
        throw std::runtime_error("not a folder: " + ToUtf8(folder));
    }
}

} // namespace

void InitGameFolder(const std::wstring& folder) {
    std::wstring root = FullPath(folder);
    // The values join the root and a folder with one separator, even for a drive's root.
    if (root.ends_with(L'\\')) {
        root.pop_back();
    }
    CreateFolders(root);
    // Without a WOW64 flag: the 32-bit game's own view, where the game reads them.
    CWritableKey machineKey(HKEY_LOCAL_MACHINE, kGameKeyPath);
    for (int i = 0; i < GameContract::kGameDirectoryCount; ++i) {
        const std::wstring directory =
            root + L'\\' + ToWide(GameContract::kGameDirectoryFolders[i]);
        CreateFolders(directory);
        // The game stores directories with their separator, ready to join names.
        machineKey.SetString(ToWide(GameContract::kGameDirectoryValues[i]), directory + L'\\');
    }
    CWritableKey userKey(HKEY_CURRENT_USER, kGameKeyPath);
}

void RegisterGameProgId() {
    wchar_t clsid[kClsidTextSize];
    StringFromGUID2(WinSimContract::kGameClsid, clsid, kClsidTextSize);
    const std::wstring progId = ToWide(GameContract::kMacroServerName);
    for (const REGSAM view : {KEY_WOW64_32KEY, KEY_WOW64_64KEY}) {
        CWritableKey(HKEY_CLASSES_ROOT, progId + L"\\CLSID", view).SetString({}, clsid);
        CWritableKey(HKEY_CLASSES_ROOT, std::wstring(L"CLSID\\") + clsid + L"\\ProgID", view)
            .SetString({}, progId);
    }
}
