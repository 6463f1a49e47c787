// Parses any bytes as a registry file. What parses must write back byte for
// byte, and a value set in it must read back from the file written.
#include "platform/RegistryDocument.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

namespace {

// Sets the value and aborts unless the written file parses and holds it.
void SetAndReread(CRegistryDocument document, std::string_view key, std::uint32_t type,
                  std::vector<std::uint8_t> data) {
    if (!document.SetValue(key, "v", type, data)) {
        return;
    }
    const auto reread = CRegistryDocument::Parse(document.Serialise());
    const RegistryValue* value = reread ? reread->FindValue(key, "v") : nullptr;
    if (value == nullptr || value->type != type || value->data != data) {
        std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const auto document = CRegistryDocument::Parse(bytes);
    if (!document) {
        return 0;
    }
    if (document->Serialise() != bytes) {
        std::abort();
    }
    // A key that the seeds name, and one of its own: a value replaced where it
    // stands, added after the key's last, and added with a new key.
    for (const std::string_view key : {"HKEY_CURRENT_USER\\Software", "HKEY_CURRENT_USER\\Fuzz"}) {
        SetAndReread(*document, key, kRegBinary, {1, 2, 3});
        // "ü" and a line break, "%ü" (UTF-16 in version 5), and a byte that is
        // no UTF-8, which only REGEDIT4 files in UTF-8 take.
        SetAndReread(*document, key, kRegSz, {0xC3, 0xBC, '\n', 0});
        SetAndReread(*document, key, kRegExpandSz, {'%', 0xC3, 0xBC, 0});
        SetAndReread(*document, key, kRegSz, {0xFC, 0});
    }
    return 0;
}
