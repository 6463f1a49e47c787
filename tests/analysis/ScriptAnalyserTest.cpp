#include "analysis/ScriptAnalyser.h"
#include "analysis/ChemicalNameTable.h"
#include "analysis/MemoryResultsTree.h"
#include "tests/support/AgentFiles.h"
#include "tests/support/ChemicalList.h"
#include "tests/support/ScopedLocale.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// Chemical n is named "C<n>" except 255, which carries a Windows-1252 byte.
CChemicalNameTable TestChemicals() {
    CChemicalNameTable table;
    table.LoadChemicalNamesFromBytes(
        ChemicalList([](int i) { return i == 255 ? "Caf\xE9" : "C" + std::to_string(i); }));
    return table;
}

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

struct AnalyserCase {
    const char* name;
    std::string install;
    std::vector<std::string> events;
    std::string remove;
    std::string expected;
};

// The sections with the file item and both scripts present; `scripts`,
// `chemicals` and `warnings` are the rendered children of each section.
std::string Sections(const std::string& scripts, const std::string& chemicals,
                     const std::string& warnings) {
    return "General Information: [0/0]\n"
           "  File \"toy.kiv\" [0/0]\n"
           "Scripts: [3/3]\n"
           "  Installation script [3/3]\n"
           "  Removal script [3/3]\n" +
           scripts + "Chemicals Affected: [2/2]\n" + chemicals + "Warnings: [1/1]+\n" + warnings;
}

const std::string kDanger = "  DANGER - contains suspicious kill commands [1/1]\n";
const std::string kFires = "  Fires creature neurons [1/1]\n";

// Each test analyses agents of an agent file "toy.kiv", whose scripts it
// replaces in memory.
class ScriptAnalyserTest : public ::testing::Test {
protected:
    ScriptAnalyserTest()
        : m_file(LoadAgentBytes(AgentFileBytes({{""}}), "/game/Objects/toy.kiv")) {}

    CAgent Agent() const {
        CAgent agent;
        agent.m_owner = m_file.get();
        return agent;
    }

    const ScopedLocale m_english{"C"};
    std::unique_ptr<CAgentFile> m_file;
};

TEST_F(ScriptAnalyserTest, ScriptsGiveTheExpectedTree) {
    const std::string commands = "enum 2 0 5 kill chem 7 1 fire stim x b c d e 5 1 6 1 7 1 8 ";
    const std::string padding((2 << 20) + 3, ',');
    const std::string findings = "General Information: [0/0]\n"
                                 "  File \"toy.kiv\" [0/0]\n"
                                 "Scripts: [3/3]\n"
                                 "  Removal script [3/3]\n"
                                 "  <2 0 5> Deactivate [3/3]\n"
                                 "Chemicals Affected: [2/2]\n"
                                 "  C5 [2/2]\n  C6 [2/2]\n  C7 [2/2]\n  C8 [2/2]\n"
                                 "Warnings: [1/1]+\n"
                                 "  No Installation script [1/1]\n" +
                                 kDanger + kFires;
    const std::vector<AnalyserCase> cases = {
        {"no scripts at all",
         "",
         {},
         "",
         "General Information: [0/0]\n  File \"toy.kiv\" [0/0]\nScripts: [3/3]\n"
         "Chemicals Affected: [2/2]\nWarnings: [1/1]+\n"
         "  No Installation script [1/1]\n  No Removal script [1/1]\n"},
        {"event headers",
         "i",
         {"scrp 2 5 7 9", "scrp 2 5 7 13", "", "x -1 +4 3abc -2", "scrp,1,2,3,12"},
         "r",
         Sections("  <2 5 7> Timer [3/3]\n  <2 5 7> Event 13 [3/3]\n"
                  "  <0 0 0> Deactivate [3/3]\n  <-1 4 3> Event -2 [3/3]\n"
                  "  <1 2 3> Eat [3/3]\n",
                  "", "")},
        {"chemical numbers out of range and case",
         "chem 0 5 chem 256 5 CHEM 12 3 chem -4 1",
         {},
         "r",
         Sections("", "", "")},
        {"chemicals sorted, once each, commas separate",
         "chem 30 1 chem,7,3",
         {"s 1 2 3 4 chem 30 2"},
         "chem\t30\n5 chem 255 1",
         Sections("  <1 2 3> Picked Up [3/3]\n", "  C7 [2/2]\n  C30 [2/2]\n  Caf\xC3\xA9 [2/2]\n",
                  "")},
        {"stim with and without writ",
         "stim writ a b c d e 5 1 6 1 7 1 8 1",
         {},
         "stim x b c d e 9 1 10 1 11 1 12 1",
         Sections("",
                  "  C5 [2/2]\n  C6 [2/2]\n  C7 [2/2]\n  C8 [2/2]\n  C9 [2/2]\n"
                  "  C10 [2/2]\n  C11 [2/2]\n  C12 [2/2]\n",
                  "")},
        {"a command cut short reads empty words",
         "stim writ a b c d e 5",
         {},
         "chem",
         Sections("", "  C5 [2/2]\n", "")},
        {"enumeration and kill",
         "enum 2 0 5 kill next",
         {"e 0 0 0 0 enum 2 3 5 kill"},
         "enum 0 3 5 kill enum 2 0 5 next kill enum 2 5 0 kill kill",
         Sections("  <0 0 0> Deactivate [3/3]\n", "", kDanger + kDanger)},
        {"fire clears enumerating, and every fire warns",
         "enum 2 0 5 fire kill fire",
         {},
         "r",
         Sections("", "", kFires + kFires)},
        {"enumerating does not carry into the next script",
         "enum 2 0 5",
         {"kill"},
         "kill",
         Sections("  <0 0 0> Deactivate [3/3]\n", "", "")},
        {"a long word is cut and skipped whole",
         std::string(255, 'x') + "chem 5 1 " + std::string(254, 'y') + "chem 6 1",
         {},
         "r",
         Sections("", "", "")},
        {"bytes above 127 are word characters",
         "chem\xA0 7 1 \xE9kill enum 1 0 1 kill",
         {},
         "r",
         Sections("", "", kDanger)},
        {"a short script", "", {commands + "1"}, "r", findings},
        {"a script of 2 MiB gives the same findings",
         "",
         {commands + padding + "1" + padding},
         "r",
         findings},
    };
    const CChemicalNameTable chemicals = TestChemicals();
    for (const auto& c : cases) {
        CAgent agent = Agent();
        agent.m_installScript = c.install;
        agent.m_scripts = c.events;
        agent.m_removeScript = c.remove;
        CMemoryResultsTree tree;
        AnalyseAgent(&agent, chemicals, tree);
        std::string rendered;
        Render(tree.TopLevel(), 0, rendered);
        EXPECT_EQ(rendered, c.expected) << c.name;
    }
}

TEST_F(ScriptAnalyserTest, NoAgentEmptiesTheTree) {
    CMemoryResultsTree tree;
    tree.InsertItem("left over", 0, 0, nullptr);
    AnalyseAgent(nullptr, CChemicalNameTable(), tree);
    EXPECT_TRUE(tree.TopLevel().empty());
}

// A tree whose section insertions fail stops after trying all four.
class RefusingTree : public IResultsTree {
public:
    void DeleteAllItems() override {}
    Item InsertItem(const std::string& text, int, int, Item) override {
        inserted.push_back(text);
        return text == "Scripts:" ? nullptr : this;
    }
    void Expand(Item) override { ++expanded; }
    std::vector<std::string> inserted;
    int expanded = 0;
};

TEST_F(ScriptAnalyserTest, FailedSectionStopsTheAnalysis) {
    CAgent agent = Agent();
    RefusingTree tree;
    AnalyseAgent(&agent, CChemicalNameTable(), tree);
    EXPECT_EQ(tree.inserted, (std::vector<std::string>{"General Information:", "Scripts:",
                                                       "Chemicals Affected:", "Warnings:"}));
    EXPECT_EQ(tree.expanded, 0);
}

TEST(ScriptTokenizerTest, TokensAndNumbers) {
    const std::string text = " \t\v\f\r\n,ab,c\xFF" + std::string(300, 'w') + "  ";
    const char* cursor = text.c_str();
    EXPECT_EQ(GetNextToken(cursor), "ab");
    EXPECT_EQ(*cursor, ',');
    const auto longWord = GetNextToken(cursor);
    EXPECT_EQ(longWord.size(), kMaxTokenLength);
    EXPECT_EQ(longWord.substr(0, 3), "c\xFFw");
    EXPECT_EQ(*cursor, ' ');
    EXPECT_EQ(GetNextToken(cursor), "");
    EXPECT_EQ(*cursor, '\0');

    const std::pair<const char*, int> numbers[] = {{"42abc", 42},
                                                   {"-17", -17},
                                                   {"+8", 8},
                                                   {"x5", 0},
                                                   {"", 0},
                                                   {"-", 0},
                                                   {"99999999999999999999", 2147483647},
                                                   {"-2147483648", -2147483647 - 1}};
    for (const auto& [token, number] : numbers) {
        EXPECT_EQ(TokenToNumber(token), number) << token;
    }
}

} // namespace
