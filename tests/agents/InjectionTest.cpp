#include "agents/Injection.h"
#include "agents/AgentFileWriter.h"
#include "agents/Availability.h"
#include "agents/Extraction.h"
#include "agents/UsageMemory.h"
#include "gamelink/GameLink.h"
#include "tests/support/AgentFiles.h"
#include "tests/support/Caught.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <regex>

namespace fs = std::filesystem;

namespace {

// A game link whose transport records every macro and runs it.
struct RecordingLink {
    struct Transport : IMacroTransport {
        explicit Transport(RecordingLink& owner) : owner(owner) {}
        bool Connect() override { return true; }
        void Disconnect() override {}
        bool IsConnected() const override { return true; }
        MacroCallResult Call(std::string_view macro) override {
            owner.sent.emplace_back(macro);
            return {true, true, ""};
        }
        RecordingLink& owner;
    };
    std::vector<std::string> sent;
    CGameLink link{std::make_unique<Transport>(*this)};
    CUsageMemory memory;

    // As the Agents page's Inject and Remove do.
    void Inject(CAgent& agent, const std::string& images = "", const std::string& sounds = "") {
        CarryOut(agent, PlanInjection(agent, images, sounds), link, memory);
    }
    void Remove(CAgent& agent) { CarryOut(agent, PlanRemoval(agent), link, memory); }
};

// A game folder with Objects, Images and Sounds, and one agent file in Objects.
struct Game {
    TempDir root;
    std::string images = Dir("Images");
    std::string sounds = Dir("Sounds");
    std::string agentPath = Dir("Objects") + "test.kiv";

    std::string Dir(const char* name) const {
        fs::create_directory(root / name);
        return (root / name).string() + "/";
    }
    std::unique_ptr<CAgentFile> Save(const std::vector<AgentDraft>& agents,
                                     const std::vector<CarriedDraft>& carried = {}) const {
        SaveAgentFile(agentPath, agents, carried);
        return std::make_unique<CAgentFile>(agentPath);
    }
};

// Everything below `game`'s root but its three folders and the agent files, one
// entry a line: "path: contents" for a file, "path/" for a folder.
std::vector<std::string> Listing(const Game& game) {
    std::vector<std::string> found;
    for (auto entry = fs::recursive_directory_iterator(game.root.Path());
         entry != fs::recursive_directory_iterator(); ++entry) {
        const std::string path = fs::relative(entry->path(), game.root.Path()).string();
        if (entry->is_directory() && entry.depth() > 0) {
            found.push_back(path + "/");
        } else if (entry->is_regular_file() && path.rfind("Objects/", 0) != 0) {
            found.push_back(path + ": " + game.root.Read(entry->path()));
        }
    }
    std::ranges::sort(found);
    return found;
}

// Each use is written into the six usage bytes of the agent's own chunk, and
// nothing else of the file changes. A last use in the future, as after the
// clock went back, leaves more than the interval to wait.
TEST(Injection, CountsAndStampsEachUseAndWaitsOutTheReuseInterval) {
    constexpr std::uint32_t kLast = 0x0A0B0C0D; // the third use
    for (const std::uint16_t quantity : {std::uint16_t{3}, CAgent::kUnlimited}) {
        SCOPED_TRACE(quantity);
        const Game game;
        ScopedClock clock(0);
        auto file =
            game.Save({{"first", 9}, {"ball", quantity, 3600}}, {{kSound, "s.wav", "sound"}});
        std::string expected = game.root.Read(game.agentPath);
        CAgent& agent = *file->Agents()[1];
        RecordingLink link;
        // Second and fourth come a second too early, and are refused.
        for (const std::uint32_t at :
             {kLast - 7200, kLast - 3601, kLast - 3600, kLast - 1, kLast}) {
            clock.Set(at);
            CaughtMessage([&] { link.Inject(agent); });
        }
        CAgentFields silent = AgentFields({"silent"});
        silent.removeScript.clear();
        CAgent withoutRemoval(std::move(silent));
        link.Remove(withoutRemoval); // an empty removal script is not sent
        EXPECT_EQ(link.sent.size(), 6u);
        const std::string left = quantity == 3 ? std::string(2, '\0') : "\xFF\xFF";
        EXPECT_EQ(game.root.Read(game.agentPath),
                  expected.replace(agent.Place().offset + 8, 6, left + "\x0D\x0C\x0B\x0A"));
        EXPECT_EQ(agent.Usage().quantity, quantity == 3 ? 0 : quantity);
        const std::pair<std::uint32_t, std::int32_t> waits[] = {
            {kLast - 100, 3700}, {kLast + 10, 3590}, {kLast + 3600, 0}, {kLast + 100000, 0}};
        for (const auto& [now, wait] : waits) {
            clock.Set(now);
            EXPECT_EQ(TimeUntilAvailable(agent), wait) << now;
            EXPECT_EQ(IsAvailable(agent), wait == 0 && quantity != 3) << now;
        }
    }
}

// Before the first macro the file must still hold the agent where it was read:
// nothing is sent or written when it was replaced by another or is gone.
TEST(Injection, NeverInjectsFromAnAgentFileThatChangedOrWentAwaySinceItWasRead) {
    const Game game;
    auto file = game.Save({{"kite", 3}});
    const std::vector<std::uint8_t> original = Bytes(game.root.Read(game.agentPath));
    const auto beforeTheAgent = std::next(original.begin(), file->Agents()[0]->Place().offset);
    CAgentFileWriter replaced;
    replaced.AddCarriedFile(kImage, "x.s16", std::vector<std::uint8_t>(100, 1));
    replaced.AddAgent(MakeAgent({"kite", 3}));
    const std::pair<std::vector<std::uint8_t>, std::string> cases[] = {
        {replaced.Bytes(), "Error: unexpected file format"},
        {AgentFileBytes({{"kites", 3}}), "Error: unexpected file format"},
        {{original.begin(), beforeTheAgent}, "Error: unexpected file format"},
        {{}, "Error reading from file \"" + game.agentPath + "\""},
    };
    for (const auto& [bytes, message] : cases) {
        fs::remove(game.agentPath);
        if (!bytes.empty()) {
            game.root.Write(game.agentPath, Text(bytes));
        }
        RecordingLink link;
        EXPECT_EQ(CaughtMessage([&] { link.Inject(*file->Agents()[0]); }), message);
        EXPECT_TRUE(link.sent.empty());
        EXPECT_EQ(file->Agents()[0]->Usage().quantity, 3);
        EXPECT_EQ(Bytes(game.root.Read(game.agentPath)), bytes);
    }
}

// Each reference's file is written when missing, kept when not carried or of the carried size, and
// replaced in place at another size; names match in any case, carried names in Windows-1252 case
// too. The scripts follow unless a reference fails. A second injection finds everything in place.
// Planted links and undeletable files are the fault tests'.
TEST(Injection, InstallsEachReferencedFileOnceUnderTheNameTheFolderGaveIt) {
    const std::vector<CarriedDraft> here = {{kImage, "here.s16", "h"}};
    struct Case {
        std::vector<AgentDependencyRef> references;
        std::vector<CarriedDraft> carried;
        std::vector<std::string> before; // "path: contents" below the root
        std::vector<std::string> sent;
        std::vector<std::string> after;
        std::string message = "(nothing thrown)"; // "@" stands for the root
    };
    const Case cases[] = {
        {{{kImage, "abcd.s16"},
          {kImage, "keep.s16"},
          {kImage, "tile.s16"},
          {kSound, "zap.wav"},
          {kImage, "extra.s16"}},
         {{kImage, "abcd.s16", "IMAGE!"},
          {kImage, "keep.s16", "KEEP"},
          {kImage, "tile.s16", "NEW"},
          {kSound, "zap.wav", "SOUND"}},
         {"Images/KEEP.S16: same", "Images/Tile.S16: older", "Sounds/Zap.WAV: old sound",
          "Images/extra.s16: not carried"},
         {"inst,sys: conv abcd 0,endm", "inst,sys: conv tile 0,endm"},
         {"Images/KEEP.S16: same", "Images/Tile.S16: NEW", "Images/abcd.s16: IMAGE!",
          "Images/extra.s16: not carried", "Sounds/Zap.WAV: SOUND"}},
        {{{kSound, "CAF\xC9\x8A.WAV"}, {kImage, "ab"}},
         {{kSound, "caf\xE9\x9A.wav", "music"}, {kImage, "AB", "img"}},
         {},
         {"inst,sys: conv ab 0,endm"},
         {"Images/AB: img", "Sounds/caf\xC3\xA9\xC5\xA1.wav: music"}},
        // Failures come after the references before them are in place.
        {{{kImage, "here.s16"}, {kSound, "here.s16"}, {kImage, "never.s16"}},
         here,
         {},
         {"inst,sys: conv here 0,endm"},
         {"Images/here.s16: h"},
         "A required file is missing: \"@/Sounds/here.s16\""},
        // A replacement that fails other than by permissions is reported.
        {{{kImage, "dir.s16"}},
         {{kImage, "dir.s16", "D"}},
         {"Images/dir.s16/x: "},
         {},
         {"Images/dir.s16/", "Images/dir.s16/x: "},
         "Error reading from file \"@/Objects/test.kiv\""},
        {{{kImage, "here.s16"}, {ECarriedFileType{2}, "x.bin"}},
         here,
         {},
         {"inst,sys: conv here 0,endm"},
         {"Images/here.s16: h"},
         "Error: unexpected file format"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(&c - cases);
        const Game game;
        auto file = game.Save({{"ball", CAgent::kUnlimited, 0, c.references}}, c.carried);
        for (const std::string& entry : c.before) {
            game.root.Write(entry.substr(0, entry.find(": ")), entry.substr(entry.find(": ") + 2));
        }
        const std::string message =
            std::regex_replace(c.message, std::regex("@"), game.root.Path().string());
        const std::vector<std::string> scripts = {"scrp 2 9 1 1,endm", "inst,new: simp ball,endm"};
        for (auto sent : {c.sent, std::vector<std::string>{}}) {
            if (c.message == "(nothing thrown)") {
                sent.insert(sent.end(), scripts.begin(), scripts.end());
            }
            RecordingLink link;
            EXPECT_EQ(
                CaughtMessage([&] { link.Inject(*file->Agents()[0], game.images, game.sounds); }),
                message);
            EXPECT_EQ(link.sent, sent);
            EXPECT_EQ(Listing(game), c.after);
        }
        for (const std::string& entry : c.after) {
            // Written here; folders are the test's own.
            if (std::ranges::find(c.before, entry) == c.before.end() && entry.back() != '/') {
                const auto mode =
                    fs::status(game.root / entry.substr(0, entry.find(": "))).permissions();
                EXPECT_EQ(mode & fs::perms::all, fs::perms(0644)) << entry;
            }
        }
    }
}

TEST(Injection, NeverWritesOutsideTheTargetFolders) {
    for (const std::string name : {"../victim.txt", "../../x", "/etc/x", "a\\b", "", "..", ".",
                                   "tab\tname", "C:x", "bell\x07", "x\x81y", "\x8F", "\x90"}) {
        SCOPED_TRACE(name);
        const Game game;
        auto file = game.Save({{"ball", 1, 0, {{kImage, name}}}}, {{kImage, name, "evil"}});
        game.root.Write("victim.txt", "of another size");
        RecordingLink link;
        CAgent& agent = *file->Agents()[0];
        EXPECT_EQ(CaughtMessage([&] { link.Inject(agent, game.images, game.sounds); }),
                  "Error: unexpected file format");
        EXPECT_EQ(CaughtMessage([&] { ExtractCarriedFile(*file->CarriedFiles()[0], game.images); }),
                  "Error: unexpected file format");
        EXPECT_EQ(Listing(game), std::vector<std::string>{"victim.txt: of another size"});
        EXPECT_TRUE(link.sent.empty());
    }
    EXPECT_FALSE(fs::exists("/etc/x"));
}

} // namespace
