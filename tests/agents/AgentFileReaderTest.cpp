#include "agents/AgentFileSource.h"
#include "agents/AgentFileWriter.h"
#include "platform/ByteReader.h"
#include "tests/agents/AgentTestSupport.h"

#include <gtest/gtest.h>

#include <set>
#include <tuple>

namespace {

const std::string kBadFormat = "Error: unexpected file format";

std::string EndOfFile(const std::string& path) {
    return "Error: Unexpected end of file while reading \"" + path + "\"";
}

CAgent FullAgent() {
    CAgent agent = MakeAgent("Caf\xE9 ball", 7, 3600);
    agent.m_lastUsed = 0x01020304;
    agent.m_reserved1 = 0x11;
    agent.m_reserved2 = 0x22;
    agent.m_reserved3 = 0x3344;
    agent.m_reserved4 = 0x55667788;
    agent.m_reserved5 = 0x99AABBCC;
    agent.m_reserved6 = 0xDDEE;
    agent.m_reserved7 = 0xF00F;
    agent.m_removeScript.clear();
    AddReference(agent, 0, "ball.s16");
    AddReference(agent, 1, "bounce.wav");
    SetPicture(agent, 3, 2, {0x1234, 0xFFFF, 0x1234, 0x0001, 0x1234, 0xF800});
    return agent;
}

// The fields an agent chunk stores as they are, in one comparable value.
auto Stored(const CAgent& a) {
    return std::tuple(a.m_quantity, a.m_lastUsed, a.m_reuseInterval, a.m_reserved1, a.m_reserved2,
                      a.m_reserved3, a.m_reserved4, a.m_reserved5, a.m_reserved6, a.m_reserved7,
                      a.m_name, a.m_description, a.m_installScript, a.m_removeScript, a.m_scripts);
}

TEST(AgentFileReader, ReadsBackEveryFieldTheWriterStored) {
    const CAgent source = FullAgent();
    CAgentFileWriter writer;
    writer.AddAgent(source);
    writer.AddCarriedFile(1, "bounce.wav", Bytes("RIFF...."));
    const auto file = ReadBytes(writer.Bytes(), "/objects/ball.kiv");

    ASSERT_EQ(file->m_agents.size(), 1u);
    const CAgent& agent = *file->m_agents[0];
    EXPECT_EQ(agent.m_owner, file.get());
    EXPECT_EQ(agent.m_chunkOffset, 4u);
    EXPECT_EQ(Stored(agent), Stored(source));
    EXPECT_EQ(agent.m_name, "Caf\xE9 ball");
    EXPECT_EQ(agent.m_scriptCount, 2);
    ASSERT_EQ(agent.m_dependencyCount, 2);
    for (int i = 0; i < 2; ++i) {
        EXPECT_EQ(agent.m_dependencies[i].type, source.m_dependencies[i].type);
        EXPECT_EQ(agent.m_dependencies[i].name, source.m_dependencies[i].name);
    }

    const CAgentPicture& picture = agent.m_picture;
    EXPECT_EQ(picture.m_width, 3u);
    EXPECT_EQ(picture.m_height, 2u);
    EXPECT_EQ(picture.m_pixelFormat, 1u);
    const std::vector<std::uint16_t> pixels(picture.m_pixels.get(), picture.m_pixels.get() + 6);
    EXPECT_EQ(pixels, (std::vector<std::uint16_t>{0x1234, 0xFFFF, 0x1234, 0x0001, 0x1234, 0xF800}));
    const std::vector<std::uint8_t> mask(picture.m_mask.get(), picture.m_mask.get() + 6);
    EXPECT_EQ(mask, (std::vector<std::uint8_t>{0, 255, 0, 255, 0, 255}));

    ASSERT_EQ(file->m_dependencies.size(), 1u);
    const CDependencyFile& record = *file->m_dependencies[0];
    EXPECT_EQ(record.m_owner, file.get());
    EXPECT_EQ(record.m_type, 1u);
    EXPECT_EQ(record.m_name, "bounce.wav");
    EXPECT_EQ(record.m_size, 8u);
    const auto& bytes = writer.Bytes();
    EXPECT_EQ(std::string(bytes.begin() + record.m_dataOffset, bytes.end()), "RIFF....");
}

TEST(AgentFileReader, FirstChunkStartsAtFourWithItsDataAtTwelveInEitherOrder) {
    CAgentFileWriter agentFirst;
    agentFirst.AddAgent(MakeAgent("a", 0x0A0B));
    agentFirst.AddCarriedFile(0, "x.s16", Bytes("xy"));
    const auto first = ReadBytes(agentFirst.Bytes());
    EXPECT_EQ(first->m_agents.at(0)->m_chunkOffset, 4u);
    EXPECT_EQ(agentFirst.Bytes()[12], 0x0B);
    EXPECT_EQ(agentFirst.Bytes()[13], 0x0A);

    CAgentFileWriter fileFirst;
    fileFirst.AddCarriedFile(0, "x.s16", Bytes("xy"));
    fileFirst.AddAgent(MakeAgent("a"));
    const auto second = ReadBytes(fileFirst.Bytes());
    // header 8 + fixed part 10 + "x.s16" and its terminator 6
    EXPECT_EQ(second->m_dependencies.at(0)->m_dataOffset, 4u + 8 + 10 + 6);
    EXPECT_EQ(second->m_agents.at(0)->m_chunkOffset, 4u + 8 + 10 + 6 + 2);
}

TEST(AgentFileReader, SkipsUnknownChunksAndKnowsTheAgentChunkMinimum) {
    CAgentFileWriter writer;
    writer.AddAgent(MakeAgent("one"));
    writer.AddChunk("note", Bytes("anything at all"));
    writer.AddAgent(MakeAgent("two"));
    const auto file = ReadBytes(writer.Bytes());
    ASSERT_EQ(file->m_agents.size(), 2u);
    EXPECT_EQ(file->m_agents[1]->m_name, "two");

    const auto onlyMagic = ReadBytes(Bytes("kiv2"));
    EXPECT_TRUE(onlyMagic->m_agents.empty());
    EXPECT_TRUE(onlyMagic->m_dependencies.empty());

    // Fixed part, four empty strings, no scripts, no references, no picture: 38
    // bytes; the rest is padding.
    std::vector<std::uint8_t> minimal(42, 0);
    CAgentFileWriter exact;
    exact.AddChunk("agnt", minimal);
    const auto parsed = ReadBytes(exact.Bytes());
    ASSERT_EQ(parsed->m_agents.size(), 1u);
    EXPECT_FALSE(parsed->m_agents[0]->m_picture.HasPicture());

    minimal.pop_back();
    CAgentFileWriter shortChunk;
    shortChunk.AddChunk("agnt", minimal);
    EXPECT_EQ(MessageOf([&] { ReadBytes(shortChunk.Bytes()); }), kBadFormat);
}

TEST(AgentFileReader, PicturesWithAZeroSideHaveNone) {
    CAgent flat = MakeAgent("flat");
    flat.m_picture.m_width = 5; // width without pixels: no picture is written
    CAgentFileWriter writer;
    writer.AddAgent(flat);
    const auto file = ReadBytes(writer.Bytes());
    const CAgentPicture& none = file->m_agents.at(0)->m_picture;
    EXPECT_FALSE(none.HasPicture());
    EXPECT_EQ(none.m_mask, nullptr);
    EXPECT_EQ(none.m_width, 0u);
    EXPECT_EQ(none.m_height, 0u);

    // A width with a zero height in the file: no pixel bytes and no picture.
    std::vector<std::uint8_t> data(38, 0);
    data[36] = 9;
    data.resize(42, 0);
    CAgentFileWriter zeroHeight;
    zeroHeight.AddChunk("agnt", data);
    EXPECT_FALSE(ReadBytes(zeroHeight.Bytes())->m_agents.at(0)->m_picture.HasPicture());
}

// An agent chunk of 42 bytes whose fixed part is zero and whose variable part
// starts with `tail`.
std::vector<std::uint8_t> AgentChunkFile(std::vector<std::uint8_t> tail, std::size_t size = 42) {
    std::vector<std::uint8_t> data(26, 0);
    data.insert(data.end(), tail.begin(), tail.end());
    data.resize(std::max(size, data.size()), 'z');
    CAgentFileWriter writer;
    writer.AddChunk("agnt", data);
    return writer.Bytes();
}

std::vector<std::uint8_t> FileChunkFile(std::vector<std::uint8_t> data) {
    CAgentFileWriter writer;
    writer.AddChunk("file", data);
    return writer.Bytes();
}

TEST(AgentFileReader, RefusesEverythingThatRunsOutsideItsChunk) {
    auto withTail = CAgentFileWriter().Bytes();
    withTail.insert(withTail.end(), {'a', 'g', 'n'});
    auto pastEnd = FileChunkFile(std::vector<std::uint8_t>(12, 0));
    pastEnd[8] = 13; // declares one byte more than the file has
    const std::vector<std::uint8_t> noStrings(4, 0);
    std::vector<std::uint8_t> longFirstString(12, 'n');
    longFirstString.insert(longFirstString.end(), {0, 0, 0, 0});
    auto tooManyRefs = noStrings;
    tooManyRefs.insert(tooManyRefs.end(), {0, 0, 129, 0});
    auto hugePicture = noStrings;
    hugePicture.insert(hugePicture.end(), {0, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF});
    const std::vector<std::uint8_t> fixedOnly{0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    auto unterminatedName = fixedOnly;
    unterminatedName.insert(unterminatedName.end(), {'a', 'b'});
    auto sizeBeyondChunk = std::vector<std::uint8_t>{0, 0, 0, 0, 0, 0, 3, 0, 0, 0, 'a', 0, 1, 2};
    auto longName = fixedOnly;
    longName.insert(longName.end(), 256, 'n');
    longName.push_back(0);

    const std::vector<std::pair<std::vector<std::uint8_t>, std::string>> cases = {
        {Bytes("kiv"), "Error: \"mem.kiv\" is not a Mirewalk 2 Kiv file"},
        {Bytes("KIV2"), "Error: \"mem.kiv\" is not a Mirewalk 2 Kiv file"},
        {withTail, EndOfFile("mem.kiv")},
        {pastEnd, EndOfFile("mem.kiv")},
        {AgentChunkFile({}, 42), kBadFormat},          // name runs to the chunk's end
        {AgentChunkFile(longFirstString), kBadFormat}, // no room for the script count
        {AgentChunkFile(tooManyRefs), kBadFormat},     // more than 128 references
        {AgentChunkFile(hugePicture), kBadFormat},     // pixels beyond the chunk
        {FileChunkFile(fixedOnly), kBadFormat},        // no name at all
        {FileChunkFile(std::vector<std::uint8_t>(9, 0)), kBadFormat},
        {FileChunkFile(unterminatedName), kBadFormat},
        {FileChunkFile(sizeBeyondChunk), kBadFormat}, // 3 content bytes declared, 2 there
        {FileChunkFile(longName), kBadFormat},
    };
    for (std::size_t i = 0; i < cases.size(); ++i) {
        EXPECT_EQ(MessageOf([&] { ReadBytes(cases[i].first); }), cases[i].second) << "case " << i;
    }
}

TEST(AgentFileReader, ReadsAgentChunksUpToSixteenMebibytes) {
    std::vector<std::uint8_t> data(16u << 20, 0); // empty strings, counts and picture
    CAgentFileWriter largest;
    largest.AddChunk("agnt", data);
    EXPECT_EQ(ReadBytes(largest.Bytes())->m_agents.size(), 1u);
    data.push_back(0);
    CAgentFileWriter tooLarge;
    tooLarge.AddChunk("agnt", data);
    EXPECT_EQ(MessageOf([&] { ReadBytes(tooLarge.Bytes()); }), kBadFormat);
}

// Boundaries of the chunks of `bytes`, after the magic.
std::set<std::size_t> ChunkBoundaries(const std::vector<std::uint8_t>& bytes) {
    std::set<std::size_t> boundaries{4};
    for (std::size_t at = 4; at + 8 <= bytes.size();) {
        at += 8 + *CByteReader(bytes.data() + at + 4, 4).U32();
        boundaries.insert(at);
    }
    return boundaries;
}

TEST(AgentFileReader, EveryTruncationLoadsAtAChunkBoundaryOrIsRefused) {
    CAgent agent = FullAgent();
    CAgentFileWriter writer;
    writer.AddAgent(agent);
    writer.AddChunk("misc", Bytes("123"));
    writer.AddCarriedFile(0, "ball.s16", Bytes("pixels"));
    writer.AddAgent(MakeAgent("second"));
    const auto& whole = writer.Bytes();
    const auto boundaries = ChunkBoundaries(whole);
    const std::set<std::string> refusals = {"Error: \"mem.kiv\" is not a Mirewalk 2 Kiv file",
                                            EndOfFile("mem.kiv"), kBadFormat};
    for (std::size_t size = 0; size < whole.size(); ++size) {
        const std::vector<std::uint8_t> prefix(whole.begin(), whole.begin() + size);
        const std::string message = MessageOf([&] { ReadBytes(prefix); });
        if (boundaries.count(size) != 0) {
            EXPECT_EQ(message, "(nothing thrown)") << size;
        } else {
            EXPECT_EQ(refusals.count(message), 1u) << size << ": " << message;
        }
    }
}

// Counts the bytes that the reader actually reads.
class CountingSource : public IAgentFileSource {
public:
    explicit CountingSource(std::span<const std::uint8_t> bytes) : m_inner(bytes) {}
    std::uint64_t Remaining() const override { return m_inner.Remaining(); }
    std::size_t Read(std::uint8_t* out, std::size_t count) override {
        const std::size_t got = m_inner.Read(out, count);
        m_read += got;
        return got;
    }
    void Skip(std::uint64_t count) override { m_inner.Skip(count); }

    std::uint64_t m_read = 0;

private:
    CMemoryAgentSource m_inner;
};

TEST(AgentFileReader, LeavesCarriedContentsUnread) {
    CAgentFileWriter writer;
    writer.AddAgent(MakeAgent("a"));
    writer.AddCarriedFile(1, "big.wav", std::vector<std::uint8_t>(1 << 20, 7));
    writer.AddChunk("skip", std::vector<std::uint8_t>(1 << 20, 8));
    writer.AddCarriedFile(0, "b.s16", Bytes("b"));
    CountingSource source(writer.Bytes());
    const CAgentFile file("counted.kiv", source);
    EXPECT_EQ(file.m_dependencies.size(), 2u);
    EXPECT_LT(source.m_read, 1000u);
}

TEST(AgentFileReader, ReadsFilesFromDiskAndNamesThemInMessages) {
    TemporaryFolder folder;
    CAgentFileWriter writer;
    writer.AddAgent(FullAgent());
    writer.AddCarriedFile(0, "ball.s16", std::vector<std::uint8_t>(5000, 1));
    writer.Save(folder.Path("ball.kiv"));
    const CAgentFile file(folder.Path("ball.kiv"));
    EXPECT_EQ(file.m_path, folder.Path("ball.kiv"));
    EXPECT_EQ(file.m_agents.at(0)->m_name, "Caf\xE9 ball");
    EXPECT_EQ(file.m_dependencies.at(0)->m_size, 5000u);

    auto cut = writer.Bytes();
    cut.resize(cut.size() - 1);
    WriteFileBytes(folder.Path("cut.kiv"), cut);
    EXPECT_EQ(MessageOf([&] { CAgentFile{folder.Path("cut.kiv")}; }),
              EndOfFile(folder.Path("cut.kiv")));
    EXPECT_EQ(MessageOf([&] { CAgentFile{folder.Path("none.kiv")}; }),
              "Error reading from file \"" + folder.Path("none.kiv") + "\"");
    EXPECT_EQ(MessageOf([&] { CAgentFile{folder.Dir()}; }),
              "Error reading from file \"" + folder.Dir() + "\"");
}

} // namespace
