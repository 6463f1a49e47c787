#include "agents/AgentFileWriter.h"
#include "tests/support/AgentFiles.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace {

// The agents of the committed seeds: two event scripts and no picture.
CAgent SeedAgent(const AgentDraft& draft) {
    CAgent agent = MakeAgent(draft);
    agent.m_scripts = {"scrp 2 9 1 1,endm", "scrp 2 9 1 2,endm"};
    agent.m_picture = CAgentPicture{};
    return agent;
}

// The fuzzer's seeds are made by the writer. With SB_WRITE_SEEDS=1 this test
// writes them into fuzz/corpus/agentfile; otherwise it checks that the committed
// files are still what the writer makes.
std::vector<std::pair<std::string, CAgentFileWriter>> Seeds() {
    CAgent pictured = SeedAgent({"ball", 3, 3600, {{0, "ball.s16"}, {1, "ball.wav"}}});
    const std::uint16_t pixels[] = {0x1234, 0xF800, 0x1234, 0x07E0, 0x001F, 0x1234};
    pictured.m_picture.Create(pixels, 3, 2, 1, true);
    CAgentFileWriter one;
    one.AddAgent(pictured);
    one.AddCarriedFile(0, "ball.s16", Bytes("sixteen-bit image"));
    one.AddCarriedFile(1, "ball.wav", Bytes("RIFF sound"));

    CAgentFileWriter mixed;
    mixed.AddCarriedFile(1, "zap.wav", Bytes("zap"));
    mixed.AddAgent(SeedAgent({"first"}));
    mixed.AddChunk("note", Bytes("unknown chunk"));
    mixed.AddAgent(SeedAgent({"second", 0}));

    return {{"magic-only.kiv", CAgentFileWriter()},
            {"one-agent.kiv", one},
            {"mixed-chunks.kiv", mixed}};
}

TEST(SeedCorpus, CommittedSeedsAreTheWritersOutput) {
    const std::string folder = SB_SOURCE_DIR "/fuzz/corpus/agentfile/";
    const char* write = std::getenv("SB_WRITE_SEEDS");
    for (const auto& [name, writer] : Seeds()) {
        if (write != nullptr && std::string(write) == "1") {
            std::filesystem::create_directories(folder);
            writer.Save(folder + name);
        }
        std::ifstream in(folder + name, std::ios::binary);
        EXPECT_EQ(std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in), {}), writer.Bytes())
            << name;
        EXPECT_NO_THROW(LoadAgentBytes(writer.Bytes()));
    }
}

} // namespace
