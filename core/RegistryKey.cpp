#include "core/RegistryKey.h"

#include "core/KitException.h"
#include "core/StringTable.h"
#include "platform/ActiveGameHost.h"
#include "platform/ByteReader.h"

#include <algorithm>
#include <cstring>
#include <string_view>

namespace {

// What Close reports for a key that is not open, as the platform's code.
constexpr long kInvalidHandle = 6;

const char* RootName(RegistryRoot root) {
    switch (root) {
    case RegistryRoot::LocalMachine:
        return "HKEY_LOCAL_MACHINE";
    case RegistryRoot::CurrentUser:
        return "HKEY_CURRENT_USER";
    case RegistryRoot::ClassesRoot:
        break;
    }
    return "HKEY_CLASSES_ROOT";
}

// Nullptr names the key's unnamed value, or the root itself as a subkey.
const char* ValueName(const char* name) {
    return name != nullptr ? name : "";
}

std::vector<std::uint8_t> LittleEndian(std::initializer_list<std::uint32_t> words) {
    std::vector<std::uint8_t> bytes(4 * words.size());
    std::uint8_t* out = bytes.data();
    for (const auto word : words) {
        StoreU32(out, word);
        out += 4;
    }
    return bytes;
}

// The value as stored; false when it does not exist. Any other failure, or a
// type that is not one of `types`, is a read error.
bool ReadValue(const RegistryKeyHandle* key, const char* name,
               std::initializer_list<std::uint32_t> types, RegistryValue& value) {
    const auto status = key != nullptr ? key->Read(ValueName(name), value) : RegistryStatus::Failed;
    if (status == RegistryStatus::Missing) {
        return false;
    }
    if (status != RegistryStatus::Ok ||
        std::find(types.begin(), types.end(), value.type) == types.end()) {
        ThrowStringId(IDS_ERROR_READING_REGISTRY);
    }
    return true;
}

void WriteValue(const RegistryKeyHandle* key, const char* name, std::uint32_t type,
                std::vector<std::uint8_t> data) {
    if (key == nullptr ||
        key->Write(ValueName(name), type, std::move(data)) != RegistryStatus::Ok) {
        ThrowStringId(IDS_ERROR_WRITING_REGISTRY);
    }
}

} // namespace

std::string AppletKeyPath(const std::string& appletName, const std::string& version) {
    const std::string_view gameKey = kGameKeyPath;
    return std::string(gameKey.substr(0, gameKey.rfind('\\') + 1)) + appletName + "\\" + version;
}

CRegistryKey::CRegistryKey() = default;
CRegistryKey::~CRegistryKey() = default;

void CRegistryKey::OpenKey(RegistryRoot root, const char* subkey) {
    std::unique_ptr<RegistryKeyHandle> key;
    subkey = ValueName(subkey);
    if (ActiveGameHost()->OpenKey(RootName(root), subkey, key) != RegistryStatus::Ok) {
        ThrowStringId(IDS_ERROR_OPENING_REGISTRY_KEY, subkey);
    }
    m_key = std::move(key);
}

void CRegistryKey::CreateKey(RegistryRoot root, const char* subkey, bool* created) {
    std::unique_ptr<RegistryKeyHandle> key;
    bool wasCreated = false;
    subkey = ValueName(subkey);
    if (ActiveGameHost()->CreateKey(RootName(root), subkey, wasCreated, key) !=
        RegistryStatus::Ok) {
        ThrowStringId(IDS_ERROR_OPENING_REGISTRY_KEY, subkey);
    }
    m_key = std::move(key);
    if (created != nullptr) {
        *created = wasCreated;
    }
}

long CRegistryKey::Close() {
    if (!m_key) {
        return kInvalidHandle;
    }
    m_key.reset();
    return 0;
}

bool CRegistryKey::IsOpen() const {
    return m_key != nullptr;
}

bool CRegistryKey::ReadString(const char* name, std::string& text) {
    RegistryValue value;
    if (!ReadValue(m_key.get(), name, {kRegSz, kRegExpandSz}, value)) {
        return false;
    }
    // The text and its terminating zero must fit the buffer; a value stored
    // without its zero needs one byte more.
    const auto* bytes = reinterpret_cast<const char*>(value.data.data());
    const std::size_t length = strnlen(bytes, value.data.size());
    if (value.data.size() > kStringBufferSize || length + 1 > kStringBufferSize) {
        ThrowStringId(IDS_ERROR_READING_REGISTRY);
    }
    text.assign(bytes, length);
    return true;
}

// A binary value of any length but 8 has no point in it: shorter ones would
// leave coordinates undefined, longer ones do not fit the 8-byte buffer; both
// are read errors.
bool CRegistryKey::ReadPoint(const char* name, std::int32_t& x, std::int32_t& y) {
    RegistryValue value;
    if (!ReadValue(m_key.get(), name, {kRegBinary}, value)) {
        return false;
    }
    CByteReader reader(value.data);
    const auto left = reader.I32();
    const auto top = reader.I32();
    if (!left || !top || !reader.AtEnd()) {
        ThrowStringId(IDS_ERROR_READING_REGISTRY);
    }
    x = *left;
    y = *top;
    return true;
}

bool CRegistryKey::ReadDword(const char* name, std::uint32_t& result) {
    RegistryValue value;
    if (!ReadValue(m_key.get(), name, {kRegDword}, value)) {
        return false;
    }
    CByteReader reader(value.data);
    const auto number = reader.U32();
    if (!number || !reader.AtEnd()) {
        ThrowStringId(IDS_ERROR_READING_REGISTRY);
    }
    result = *number;
    return true;
}

void CRegistryKey::WriteString(const char* name, const char* text) {
    std::vector<std::uint8_t> data(text, text + std::strlen(text) + 1);
    WriteValue(m_key.get(), name, kRegSz, std::move(data));
}

void CRegistryKey::WritePoint(const char* name, std::int32_t x, std::int32_t y) {
    WriteValue(m_key.get(), name, kRegBinary,
               LittleEndian({static_cast<std::uint32_t>(x), static_cast<std::uint32_t>(y)}));
}

void CRegistryKey::WriteDword(const char* name, std::uint32_t value) {
    WriteValue(m_key.get(), name, kRegDword, LittleEndian({value}));
}
