#include "wine/splicebox-bridge/BridgeRegistry.h"

#include "platform/WineBridgeContract.h"
#include "wine/splicebox-bridge/WideText.h"

#include <windows.h>

#include <optional>

namespace {

using namespace WineBridgeContract;

// The registry's own limit for one value is far larger; a setting of the game
// or the applet is a few hundred bytes, so anything past this is refused
// rather than carried over the bus.
constexpr DWORD kMaxValueSize = 1 << 20;

struct Root {
    HKEY key;
    REGSAM view;
};

// The game is a 32-bit program: its machine-wide keys are the 32-bit view's.
std::optional<Root> FindRoot(const std::string& name) {
    if (name == "HKEY_LOCAL_MACHINE") {
        return Root{HKEY_LOCAL_MACHINE, KEY_WOW64_32KEY};
    }
    if (name == "HKEY_CURRENT_USER") {
        return Root{HKEY_CURRENT_USER, 0};
    }
    if (name == "HKEY_CLASSES_ROOT") {
        return Root{HKEY_CLASSES_ROOT, KEY_WOW64_32KEY};
    }
    return std::nullopt;
}

std::uint32_t StatusOf(LSTATUS result) {
    return result == ERROR_SUCCESS ? kOk : result == ERROR_FILE_NOT_FOUND ? kMissing : kFailed;
}

bool IsString(std::uint32_t type) {
    return type == REG_SZ || type == REG_EXPAND_SZ;
}

// An open key, closed when it goes.
class CKey {
public:
    LSTATUS Open(const std::string& root, const std::string& subkey, REGSAM access) {
        const auto found = FindRoot(root);
        if (!found) {
            return ERROR_INVALID_PARAMETER;
        }
        const WideString path = WideFromUtf8(subkey);
        return RegOpenKeyExW(found->key, Wide(path), 0, access | found->view, &m_key);
    }
    LSTATUS Create(const std::string& root, const std::string& subkey, bool& created) {
        const auto found = FindRoot(root);
        if (!found) {
            return ERROR_INVALID_PARAMETER;
        }
        const WideString path = WideFromUtf8(subkey);
        DWORD disposition = 0;
        const LSTATUS result =
            RegCreateKeyExW(found->key, Wide(path), 0, nullptr, 0, KEY_ALL_ACCESS | found->view,
                            nullptr, &m_key, &disposition);
        created = disposition == REG_CREATED_NEW_KEY;
        return result;
    }
    HKEY Handle() const { return m_key; }
    ~CKey() {
        if (m_key != nullptr) {
            RegCloseKey(m_key);
        }
    }

private:
    HKEY m_key = nullptr;
};

// A registry string as UTF-8 with one terminating zero, whether or not the
// registry held its own; nullopt when it is not valid UTF-16.
std::optional<std::vector<std::uint8_t>> StringToUtf8(const std::vector<BYTE>& bytes) {
    std::size_t length = bytes.size() / sizeof(char16_t);
    const auto* wide = reinterpret_cast<const WCHAR*>(bytes.data());
    while (length > 0 && wide[length - 1] == 0) {
        --length;
    }
    const auto text = Utf8FromWide(wide, length);
    if (!text) {
        return std::nullopt;
    }
    std::vector<std::uint8_t> data(text->begin(), text->end());
    data.push_back(0);
    return data;
}

std::vector<BYTE> StringFromUtf8(const std::vector<std::uint8_t>& data) {
    std::string text(data.begin(), data.end());
    text.resize(text.find('\0') == std::string::npos ? text.size() : text.find('\0'));
    WideString wide = WideFromUtf8(text);
    wide.push_back(0);
    const auto* first = reinterpret_cast<const BYTE*>(wide.data());
    return std::vector<BYTE>(first, first + wide.size() * sizeof(char16_t));
}

} // namespace

std::uint32_t BridgeRegistry::OpenKey(const std::string& root, const std::string& subkey,
                                      bool create, bool& created) {
    CKey key;
    created = false;
    return StatusOf(create ? key.Create(root, subkey, created)
                           : key.Open(root, subkey, KEY_ALL_ACCESS));
}

std::uint32_t BridgeRegistry::ReadValue(const std::string& root, const std::string& subkey,
                                        const std::string& name, std::uint32_t& type,
                                        std::vector<std::uint8_t>& data) {
    CKey key;
    if (const LSTATUS opened = key.Open(root, subkey, KEY_QUERY_VALUE); opened != ERROR_SUCCESS) {
        return StatusOf(opened);
    }
    const WideString valueName = WideFromUtf8(name);
    DWORD size = 0;
    DWORD valueType = 0;
    LSTATUS result =
        RegQueryValueExW(key.Handle(), Wide(valueName), nullptr, &valueType, nullptr, &size);
    if (result != ERROR_SUCCESS || size > kMaxValueSize) {
        return result == ERROR_SUCCESS ? kFailed : StatusOf(result);
    }
    std::vector<BYTE> bytes(size);
    result =
        RegQueryValueExW(key.Handle(), Wide(valueName), nullptr, &valueType, bytes.data(), &size);
    if (result != ERROR_SUCCESS) {
        return StatusOf(result);
    }
    bytes.resize(size);
    type = valueType;
    if (!IsString(valueType)) {
        data.assign(bytes.begin(), bytes.end());
        return kOk;
    }
    const auto text = StringToUtf8(bytes);
    if (!text) {
        return kFailed;
    }
    data = *text;
    return kOk;
}

std::uint32_t BridgeRegistry::WriteValue(const std::string& root, const std::string& subkey,
                                         const std::string& name, std::uint32_t type,
                                         const std::vector<std::uint8_t>& data) {
    if (data.size() > kMaxValueSize) {
        return kFailed;
    }
    CKey key;
    if (const LSTATUS opened = key.Open(root, subkey, KEY_SET_VALUE); opened != ERROR_SUCCESS) {
        return StatusOf(opened);
    }
    const WideString valueName = WideFromUtf8(name);
    const std::vector<BYTE> bytes =
        IsString(type) ? StringFromUtf8(data) : std::vector<BYTE>(data.begin(), data.end());
    return StatusOf(RegSetValueExW(key.Handle(), Wide(valueName), 0, type, bytes.data(),
                                   static_cast<DWORD>(bytes.size())));
}
