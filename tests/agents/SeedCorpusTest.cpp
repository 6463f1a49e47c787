#include "agents/AgentFileWriter.h"
#include "tests/agents/AgentTestSupport.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

namespace {

// The fuzzer's seeds are made by the writer. With SB_WRITE_SEEDS=1 this test
// writes them into fuzz/corpus/agentfile; otherwise it checks that the committed
// files are still what the writer makes.
std::vector<std::pair<std::string, std::vector<std::uint8_t>>> Seeds() {
    CAgentFileWriter empty;

    CAgent pictured = MakeAgent("ball", 3, 3600);
    AddReference(pictured, 0, "ball.s16");
    AddReference(pictured, 1, "ball.wav");
    SetPicture(pictured, 3, 2, {0x1234, 0xF800, 0x1234, 0x07E0, 0x001F, 0x1234});
    CAgentFileWriter one;
    one.AddAgent(pictured);
    one.AddCarriedFile(0, "ball.s16", Bytes("sixteen-bit image"));
    one.AddCarriedFile(1, "ball.wav", Bytes("RIFF sound"));

    CAgentFileWriter mixed;
    mixed.AddCarriedFile(1, "zap.wav", Bytes("zap"));
    mixed.AddAgent(MakeAgent("first", CAgent::kUnlimited));
    mixed.AddChunk("note", Bytes("unknown chunk"));
    mixed.AddAgent(MakeAgent("second", 0));

    return {{"magic-only.kiv", empty.Bytes()},
            {"one-agent.kiv", one.Bytes()},
            {"mixed-chunks.kiv", mixed.Bytes()}};
}

TEST(SeedCorpus, CommittedSeedsAreTheWritersOutput) {
    const std::string folder = SB_SOURCE_DIR "/fuzz/corpus/agentfile/";
    const char* write = std::getenv("SB_WRITE_SEEDS");
    for (const auto& [name, bytes] : Seeds()) {
        if (write != nullptr && std::string(write) == "1") {
            std::filesystem::create_directories(folder);
            WriteFileBytes(folder + name, bytes);
        }
        EXPECT_EQ(ReadFileBytes(folder + name), bytes) << name;
        EXPECT_NO_THROW(ReadBytes(bytes));
    }
}

} // namespace
