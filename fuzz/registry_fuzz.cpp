// Parses any bytes as a registry file. What parses must write back to text
// that parses to the same text again, so nothing read is lost on a rewrite.
#include "platform/RegistryDocument.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    auto document = CRegistryDocument::Parse(text);
    if (!document) {
        return 0;
    }
    const std::string written = document->Serialise();
    const auto reread = CRegistryDocument::Parse(written);
    if (!reread || reread->Serialise() != written) {
        std::abort();
    }
    document->SetValue("HKEY_CURRENT_USER\\Fuzz", "v", kRegBinary, {1, 2, 3});
    if (!CRegistryDocument::Parse(document->Serialise())) {
        std::abort();
    }
    return 0;
}
