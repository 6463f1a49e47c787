#include "agents/AgentFileWriter.h"
#include "platform/ByteReader.h"
#include "tests/support/AgentFiles.h"
#include "tests/support/Caught.h"
#include "tests/support/ScopedLocale.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <tuple>

namespace {

// Messages are compared in English whatever the machine's language.
const ScopedLocale g_english("C");

const std::string kBadFormat = "Error: unexpected file format";
const std::string kNotKiv = "Error: \"mem.kiv\" is not a Mirewalk 2 Kiv file";
const std::string kEnd = "Error: Unexpected end of file while reading \"mem.kiv\"";

using ByteVector = std::vector<std::uint8_t>;

// What loading `bytes` gives: the message, or each agent's name in brackets,
// marked when any part of a picture was read.
std::string Loaded(const ByteVector& bytes) {
    std::string names;
    const std::string message = CaughtMessage([&] {
        const auto file = LoadAgentBytes(bytes);
        for (const auto& agent : file->Agents()) {
            const CAgentPicture& picture = agent->ListedPicture();
            const bool pictured = picture.HasPicture() || picture.IsKeyed() ||
                                  picture.Width() * picture.Height() != 0;
            names += "[" + agent->Name() + (pictured ? " pictured]" : "]");
        }
    });
    return message == "(nothing thrown)" ? names : message;
}

ByteVector Chunk(std::string_view tag, const ByteVector& data) {
    CAgentFileWriter writer;
    writer.AddChunk(tag, data);
    return writer.Bytes();
}

ByteVector Join(ByteVector head, const ByteVector& tail) {
    head.insert(head.end(), tail.begin(), tail.end());
    return head;
}

// An agent chunk whose fixed part is zero, whose variable part starts with
// `variable` and which is padded to the 42-byte minimum.
ByteVector AgentChunk(const ByteVector& variable) {
    ByteVector data = Join(ByteVector(26, 0), variable);
    data.resize(std::max<std::size_t>(42, data.size()), 'z');
    return Chunk("agnt", data);
}

// An agent with every field set, a carried file, an unknown chunk and a second agent: what is read
// writes the same bytes again, and the file cut anywhere loads only at a chunk boundary.
TEST(AgentFileReader, ReadsBackEveryFieldAndEveryCutLoadsAtAChunkBoundaryOrIsRefused) {
    CAgentFields fields = AgentFields(
        {"Caf\xE9 ball", 7, 3600, {{kImage, "ball.s16"}, {kSound, "bounce.wav"}}, 0x01020304});
    fields.reserved = {0x11, 0x22, 0x3344, 0x55667788, 0x99AABBCC, 0xDDEE, 0xF00F};
    fields.scripts = {"scrp 1", "scrp 2"};
    fields.removeScript.clear();
    const CAgent source(std::move(fields),
                        KeyedPicture({0x1234, 0xFFFF, 0x1234, 0x0001, 0x1234, 0xF800}, 3, 2));
    const auto write = [](const CAgent& first, const ByteVector& carried, const CAgent& second) {
        CAgentFileWriter writer;
        writer.AddAgent(first);
        writer.AddCarriedFile(kSound, "bounce.wav", carried);
        writer.AddChunk("misc", Bytes("123"));
        writer.AddAgent(second);
        return writer.Bytes();
    };
    const auto whole = write(source, Bytes("RIFF...."), MakeAgent({"second"}));
    const auto file = LoadAgentBytes(whole);

    ASSERT_EQ(std::tuple(file->Agents().size(), file->CarriedFiles().size()), std::tuple(2u, 1u));
    const CAgent& agent = *file->Agents()[0];
    const CDependencyFile& record = *file->CarriedFiles()[0];
    const ByteVector carried(whole.begin() + record.m_dataOffset,
                             whole.begin() + record.m_dataOffset + record.m_size);
    EXPECT_EQ(write(agent, carried, *file->Agents()[1]), whole);
    EXPECT_EQ(std::tuple(agent.File(), record.m_owner, record.m_type, record.m_name),
              std::tuple(file.get(), file.get(), kSound, std::string("bounce.wav")));
    EXPECT_EQ(std::tuple(agent.Scripts().size(), agent.Dependencies().size(),
                         agent.ListedPicture().PixelFormat(), agent.ListedPicture().IsKeyed()),
              std::tuple(2u, 2u, 1u, true));
    // after the carried contents, the unknown chunk's header and its three bytes
    EXPECT_EQ(std::tuple(agent.Place().offset, file->Agents()[1]->Place().offset),
              std::tuple(4u, record.m_dataOffset + record.m_size + 8 + 3));

    std::set<std::size_t> boundaries{4};
    for (std::size_t at = 4; at + 8 <= whole.size();) {
        at += 8 + *CByteReader(whole.data() + at + 4, 4).U32();
        boundaries.insert(at);
    }
    const std::set<std::string> refusals = {kNotKiv, kEnd, kBadFormat};
    for (std::size_t size = 0; size < whole.size(); ++size) {
        const ByteVector cut(whole.begin(), whole.begin() + size);
        const std::string message = CaughtMessage([&] { LoadAgentBytes(cut); });
        if (boundaries.count(size) != 0) {
            EXPECT_EQ(message, "(nothing thrown)") << size;
        } else {
            EXPECT_EQ(refusals.count(message), 1u) << size << ": " << message;
        }
    }
}

TEST(AgentFileReader, AcceptsFilesAtTheirLimitsAndRefusesAllThatRunsOutsideItsChunk) {
    CAgentFileWriter widthOnly; // a width without pixels writes no picture
    widthOnly.AddAgent(CAgent(AgentFields({"flat"}), CAgentPicture::WithoutPixels(5, 0)));
    const ByteVector noTexts(4, 0);
    const ByteVector fileFixed(10, 0);
    const auto carriedName = [&](std::size_t length) {
        return Chunk("file", Join(fileFixed, Join(ByteVector(length, 'n'), {0})));
    };
    CAgentFileWriter referencing;
    const std::vector<AgentDependencyRef> references(CAgent::kMaxDependencies, {kSound, "a.wav"});
    referencing.AddAgent(MakeAgent({"refs", 0, 0, references}));
    struct Case {
        const char* what;
        ByteVector bytes;
        std::string loaded;
    };
    const Case cases[] = {
        {"a picture width without pixels", widthOnly.Bytes(), "[flat]"},
        {"an agent chunk of 16 MiB", Chunk("agnt", ByteVector(16u << 20, 0)), "[]"},
        {"128 references", referencing.Bytes(), "[refs pictured]"},
        {"a carried name of 255 bytes", carriedName(255), ""},
        {"the magic in capitals", Bytes("KIV2"), kNotKiv},
        {"a name running to the chunk's end", AgentChunk({}), kBadFormat},
        {"no room for the script count", AgentChunk(Join(ByteVector(12, 'n'), noTexts)),
         kBadFormat},
        {"129 references", AgentChunk(Join(noTexts, {0, 0, 129, 0})), kBadFormat},
        {"pixels beyond the chunk", AgentChunk(Join(noTexts, {0, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF})),
         kBadFormat},
        {"an agent chunk under 42 bytes", Chunk("agnt", ByteVector(41, 0)), kBadFormat},
        {"an agent chunk over 16 MiB", Chunk("agnt", ByteVector((16u << 20) + 1, 0)), kBadFormat},
        {"a carried file short of its fixed part", Chunk("file", ByteVector(9, 0)), kBadFormat},
        {"an unterminated carried name", Chunk("file", Join(fileFixed, Bytes("ab"))), kBadFormat},
        {"contents beyond the chunk", Chunk("file", {0, 0, 0, 0, 0, 0, 3, 0, 0, 0, 'a', 0, 1, 2}),
         kBadFormat},
        {"a carried name of 256 bytes", carriedName(256), kBadFormat},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Loaded(c.bytes), c.loaded) << c.what;
    }
}

TEST(AgentFileReader, AFileOnDiskThatCannotBeReadIsNamedOrShowsNoPicture) {
    const TempDir folder;
    const std::string cut = (folder / "cut.kiv").string();
    // Carried contents longer than the reader's window make it read whole windows.
    SaveAgentFile(cut, {{"ball"}}, {{kImage, "ball.s16", std::string(5000, 'x')}});
    std::filesystem::resize_file(cut, std::filesystem::file_size(cut) - 1);
    const std::string dir = folder.Path().string() + "/";
    EXPECT_EQ(CaughtMessage([&] { CAgentFile{cut}; }),
              "Error: Unexpected end of file while reading \"" + cut + "\"");
    EXPECT_EQ(CaughtMessage([&] { CAgentFile{dir}; }), "Error reading from file \"" + dir + "\"");

    // Agents whose chunks straddle the reader's windows read whole; a picture still in a file that
    // has shrunk since it was listed is not shown.
    SaveAgentFile(cut, std::vector<AgentDraft>(12, {"ball"}));
    const CAgentFile listed(cut);
    EXPECT_EQ(listed.Agents().back()->Description(), "About ball");
    std::filesystem::resize_file(cut, listed.Agents().back()->Place().offset + 300);
    EXPECT_FALSE(listed.Agents().back()->Picture().HasPicture());
}

} // namespace
