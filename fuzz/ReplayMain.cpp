// Replays fuzz inputs without libFuzzer: every file named on the command line,
// and every file inside every directory named, is fed to the target once. A
// crash or sanitizer report fails the run; a missing directory is no input.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace {
void Replay(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    const std::vector<char> read{std::istreambuf_iterator<char>(in), {}};
    // A buffer of exactly the input's size, as libFuzzer gives, so that the
    // sanitizer sees a read one past the end; a vector's spare room would hide it.
    const auto bytes = std::make_unique<std::uint8_t[]>(read.size());
    std::copy(read.begin(), read.end(), bytes.get());
    LLVMFuzzerTestOneInput(bytes.get(), read.size());
}
} // namespace

int main(int argc, char** argv) {
    int replayed = 0;
    for (int i = 1; i < argc; ++i) {
        const std::filesystem::path path(argv[i]);
        if (std::filesystem::is_directory(path)) {
            for (const auto& entry : std::filesystem::directory_iterator(path)) {
                if (entry.is_regular_file()) {
                    Replay(entry.path());
                    ++replayed;
                }
            }
        } else if (std::filesystem::is_regular_file(path)) {
            Replay(path);
            ++replayed;
        }
    }
    std::printf("replayed %d inputs\n", replayed);
    return 0;
}
