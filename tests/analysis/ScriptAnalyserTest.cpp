#include "analysis/ScriptAnalyser.h"
#include "analysis/ChemicalNameTable.h"
#include "analysis/MemoryResultsTree.h"
#include "analysis/ScriptWords.h"
#include "tests/support/AgentFiles.h"
#include "tests/support/ChemicalList.h"
#include "tests/support/ScopedLocale.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace {

using Items = std::vector<std::string>;

// One line per item: indentation by depth, the text, the two pictures, and "+"
// for an expanded item.
void Render(const std::vector<std::unique_ptr<CMemoryResultsTree::Node>>& nodes, int depth,
            std::string& out) {
    for (const auto& node : nodes) {
        out += std::string(depth * 2, ' ') + node->text + " [" + std::to_string(node->image) + "/" +
               std::to_string(node->selectedImage) + "]" + (node->expanded ? "+" : "") + "\n";
        Render(node->children, depth + 1, out);
    }
}

// An agent's scripts, and what the tree lists for them beside what every
// analysis of "toy.kiv" shows.
struct Scripts {
    std::string install;
    Items events;
    std::string remove;
};
struct Findings {
    Items scripts;
    Items chemicals;
    Items warnings;
};
struct AnalyserCase {
    const char* name;
    Scripts given;
    Findings found;
};

std::string Children(const Items& items, const std::string& picture) {
    std::string rendered;
    for (const auto& item : items) {
        rendered += "  " + item + " [" + picture + "]\n";
    }
    return rendered;
}

std::string ExpectedTree(const Scripts& given, const Findings& found) {
    Items scripts, warnings;
    for (const auto& [script, name] :
         {std::pair{given.install, "Installation"}, {given.remove, "Removal"}}) {
        (script.empty() ? warnings : scripts)
            .push_back((script.empty() ? "No " : "") + std::string(name) + " script");
    }
    scripts.insert(scripts.end(), found.scripts.begin(), found.scripts.end());
    warnings.insert(warnings.end(), found.warnings.begin(), found.warnings.end());
    return "General Information: [0/0]\n  File \"toy.kiv\" [0/0]\nScripts: [3/3]\n" +
           Children(scripts, "3/3") + "Chemicals Affected: [2/2]\n" +
           Children(found.chemicals, "2/2") + "Warnings: [1/1]+\n" + Children(warnings, "1/1");
}

const std::string kDanger = "DANGER - contains suspicious kill commands";
const std::string kFires = "Fires creature neurons";

TEST(ScriptAnalyser, ScriptsGiveTheExpectedTree) {
    const ScopedLocale english("C");
    const auto file = LoadAgentBytes(AgentFileBytes({{""}}), "/game/Objects/toy.kiv");
    // Chemical n is named "C<n>" except 255, which carries a Windows-1252 byte.
    CChemicalNameTable chemicals;
    chemicals.LoadChemicalNamesFromBytes(
        ChemicalList([](int i) { return i == 255 ? "Caf\xE9" : "C" + std::to_string(i); }));
    const std::string commands = "enum 2 0 5 kill chem 7 1 fire stim x b c d e 5 1 6 1 7 1 8 ";
    const std::string padding((2 << 20) + 3, ',');
    const Findings findings = {{"<2 0 5> Deactivate"}, {"C5", "C6", "C7", "C8"}, {kDanger, kFires}};
    const AnalyserCase cases[] = {
        {"no scripts at all", {}, {}},
        {"event headers",
         {"i", {"scrp 2 5 7 9", "scrp 2 5 7 13", "", "x -1 +4 3abc -2", "scrp,1,2,3,12"}, "r"},
         {{"<2 5 7> Timer", "<2 5 7> Event 13", "<0 0 0> Deactivate", "<-1 4 3> Event -2",
           "<1 2 3> Eat"},
          {},
          {}}},
        {"numbers saturate, and a word is cut at its longest",
         {"i",
          {"scrp 2147483648 -2147483648 -99999999999999999999 9",
           "scrp\v2\f5 7 " + std::string(300, '0') + "9"},
          "r"},
         {{"<2147483647 -2147483648 -2147483648> Timer", "<2 5 7> Deactivate"}, {}, {}}},
        {"chemical numbers at and beyond their ends, and case",
         {"chem 0 5 chem 1 5 chem 256 5 CHEM 12 3 chem -4 1", {}, "r"},
         {{}, {"C1"}, {}}},
        {"chemicals sorted, once each, commas separate",
         {"chem 30 1 chem,7,3", {"s 1 2 3 4 chem 30 2"}, "chem\t30\n5 chem 255 1"},
         {{"<1 2 3> Picked Up"}, {"C7", "C30", "Caf\xC3\xA9"}, {}}},
        {"stim with and without writ",
         {"stim writ a b c d e 5 1 6 1 7 1 8 1", {}, "stim x b c d e 9 1 10 1 11 1 12 1"},
         {{}, {"C5", "C6", "C7", "C8", "C9", "C10", "C11", "C12"}, {}}},
        {"a command cut short reads empty words",
         {"stim writ a b c d e 5", {}, "chem"},
         {{}, {"C5"}, {}}},
        {"enumeration and kill",
         {"enum 2 0 5 kill next",
          {"e 0 0 0 0 enum 2 3 5 kill"},
          "enum 0 3 5 kill enum 2 0 5 next kill enum 2 5 0 kill kill"},
         {{"<0 0 0> Deactivate"}, {}, {kDanger, kDanger}}},
        {"fire clears enumerating, and every fire warns",
         {"enum 2 0 5 fire kill fire", {}, "r"},
         {{}, {}, {kFires, kFires}}},
        {"enumerating does not carry into the next script",
         {"enum 2 0 5", {"kill"}, "kill"},
         {{"<0 0 0> Deactivate"}, {}, {}}},
        {"a short script", {"", {commands + "1"}, "r"}, findings},
        {"a script of 2 MiB, its commands far from the header, gives the same findings",
         {"", {commands.substr(0, 16) + padding + commands.substr(16) + "1" + padding}, "r"},
         findings},
    };
    // One tree for all: each analysis replaces what the last one left.
    CMemoryResultsTree tree;
    tree.InsertItem("left over", 0, 0, nullptr);
    for (const auto& c : cases) {
        CAgentFields fields;
        fields.installScript = c.given.install;
        fields.scripts = c.given.events;
        fields.removeScript = c.given.remove;
        const CAgent agent(std::move(fields), {}, {.file = file.get()});
        AnalyseAgent(&agent, chemicals, tree);
        std::string rendered;
        Render(tree.TopLevel(), 0, rendered);
        EXPECT_EQ(rendered, ExpectedTree(c.given, c.found)) << c.name;
    }
    AnalyseAgent(nullptr, chemicals, tree);
    EXPECT_TRUE(tree.TopLevel().empty());
}

// The words of `script` as the plain tokenizer reads them, and as the word
// bits do, each as its place in the script and its length.
using Words = std::vector<std::pair<std::ptrdiff_t, std::size_t>>;
Words TokensOf(const std::string& script) {
    Words words;
    for (const char* cursor = script.c_str(); *cursor != '\0';) {
        const std::string_view token = GetNextToken(cursor);
        if (!token.empty()) {
            words.emplace_back(token.data() - script.data(), token.size());
        }
    }
    return words;
}
Words BitWordsOf(const std::string& script) {
    CScriptWords split("c");
    split.Split(script);
    Words words;
    CScriptWords::Cursor cursor(split, 0);
    for (std::string_view word = cursor.Next(); !word.empty(); word = cursor.Next()) {
        words.emplace_back(word.data() - script.data(), word.size());
    }
    return words;
}

// Random agents of commands, numbers, other and long words, every separator
// and NULs, each script shifted to start its words at every place inside a
// block of word bits: both readings find the same words and the same tree.
TEST(ScriptAnalyser, TheWordBitsReadEveryScriptAsTheTokenizerDoes) {
    const ScopedLocale english("C");
    const std::vector<std::string> vocabulary = {
        "chem", "stim", "writ", "enum", "next", "kill", "fire",  "0",    "1",     "7",
        "255",  "256",  "-3",   "+12",  "9x",   "che",  "chems", "Kill", "\xE9t", "c"};
    const std::string separators = " \t\n\v\f\r,";
    std::mt19937 random(27);
    const auto pick = [&](std::size_t count) { return random() % count; };
    const auto script = [&](std::size_t shift) {
        std::string text(shift, separators[pick(separators.size())]);
        for (std::size_t words = pick(40); words > 0; --words) {
            const std::size_t kind = pick(20);
            text += kind == 0   ? std::string(kMaxTokenLength - 1 + pick(3), 'w')
                    : kind == 1 ? std::string(1, '\0')
                                : vocabulary[pick(vocabulary.size())];
            text += std::string(1 + pick(2), separators[pick(separators.size())]);
        }
        return text;
    };
    for (int round = 0; round < 40; ++round) {
        for (std::size_t shift = 0; shift < CScriptWords::kBlockBytes; ++shift) {
            CAgentFields fields;
            fields.scripts = {script(shift), script(shift)};
            fields.installScript = script(shift);
            fields.removeScript = script(shift);
            const CAgent agent(std::move(fields));
            for (const std::string& text : {agent.InstallScript(), agent.Scripts()[0],
                                            agent.Scripts()[1], agent.RemoveScript()}) {
                ASSERT_EQ(BitWordsOf(text), TokensOf(text)) << shift << ": " << text;
            }
            std::string trees[2];
            for (const auto reading : {ScriptReading::kWordBits, ScriptReading::kTokens}) {
                CMemoryResultsTree tree;
                AnalyseAgent(&agent, CChemicalNameTable(), tree, reading);
                Render(tree.TopLevel(), 0, trees[reading == ScriptReading::kTokens]);
            }
            ASSERT_EQ(trees[0], trees[1]) << shift << ": " << agent.InstallScript();
        }
    }
}

} // namespace
