#include "agents/AgentFileWriter.h"
#include "tests/agents/AgentTestSupport.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>

namespace {

using Files = std::map<std::string, std::string>; // name -> contents

Files FilesIn(const std::string& dir) {
    Files files;
    for (const auto& entry : std::filesystem::directory_iterator(dir)) {
        const auto bytes = ReadFileBytes(entry.path().string());
        files[entry.path().filename().string()] = {bytes.begin(), bytes.end()};
    }
    return files;
}

// An Images folder from a system that ignores case: the file already there is
// the one compared and, when its size differs, replaced under its own name.
TEST(CarriedFileCase, AnImageSpelledInAnotherCaseIsComparedAndReplacedInPlace) {
    const std::string kConvert = "inst,sys: conv abc. 0,endm";
    struct Case {
        Files before;
        Files after;
        bool converted;
    };
    const Case cases[] = {
        {{{"ABC.C16", "same 6"}}, {{"ABC.C16", "same 6"}}, false},
        {{{"ABC.C16", "old"}}, {{"ABC.C16", "IMAGE!"}}, true},
    };
    for (const auto& c : cases) {
        TemporaryFolder root;
        const std::string images = root.MakeDir("Images");
        const std::string sounds = root.MakeDir("Sounds");
        CAgent agent = MakeAgent("ball");
        AddReference(agent, 0, "abc.c16");
        CAgentFileWriter writer;
        writer.AddAgent(agent);
        writer.AddCarriedFile(0, "abc.c16", Bytes("IMAGE!"));
        writer.Save(root.Path("ball.kiv"));
        const CAgentFile file(root.Path("ball.kiv"));
        for (const auto& [name, contents] : c.before) {
            WriteFileBytes(images + name, Bytes(contents));
        }

        RecordingLink link;
        file.m_agents[0]->InstallDependencies(images, sounds, link.link);
        const std::string& first = c.before.begin()->first;
        EXPECT_EQ(FilesIn(images), c.after) << first;
        EXPECT_EQ(link.sent,
                  c.converted ? std::vector<std::string>{kConvert} : std::vector<std::string>{})
            << first;
    }
}

} // namespace
