// Agent files taken apart and put together again: every input that the reader
// accepts comes back byte for byte from packing the manifest that unpacking wrote.
#include "core/KitException.h"
#include "tools/kivtool/AgentFilePacking.h"

#include <algorithm>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::span<const std::uint8_t> input(data, size);
    CUnpackedAgentFile unpacked;
    try {
        unpacked = UnpackAgentFile(input, "fuzz.kiv");
    } catch (const CKitException&) {
        return 0; // refused by the reader
    }
    if (!std::ranges::equal(PackUnpacked(unpacked).Bytes(), input)) {
        std::abort();
    }
    return 0;
}
