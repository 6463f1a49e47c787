#include "analysis/ScriptAnalyser.h"

#include "agents/AgentFile.h"
#include "analysis/ChemicalNameTable.h"
#include "analysis/ScriptWords.h"
#include "app/StringTable.h"
#include "platform/TextCodec.h"

#include <array>
#include <climits>
#include <cstdint>
#include <string>
#include <vector>

namespace {

enum AnalysisStringId : unsigned {
    IDS_EVENT_DEACTIVATE = 101,
    IDS_EVENT_GENERIC = 114,
    IDS_SECTION_GENERAL = 115,
    IDS_SECTION_SCRIPTS = 116,
    IDS_SECTION_CHEMICALS = 117,
    IDS_SECTION_WARNINGS = 118,
    IDS_FILE = 119,
    IDS_INSTALLATION_SCRIPT = 120,
    IDS_NO_INSTALLATION_SCRIPT = 121,
    IDS_REMOVAL_SCRIPT = 122,
    IDS_NO_REMOVAL_SCRIPT = 123,
    IDS_SUSPICIOUS_KILL = 124,
    IDS_FIRES_NEURONS = 125,
};

// Events 0 to 12 have names of their own (101 to 113); the rest share 114.
constexpr int kNamedEventCount = 13;

// Words a stim command passes over after its first word (and "writ"'s extra one),
// and the chemical/amount pairs that follow.
constexpr int kStimSkippedWords = 4;
constexpr int kStimChemicalPairs = 4;

// One table lookup per character: separators are skipped before a word, and
// a word ends at a separator or at the text's terminator.
constexpr std::array<bool, 256> MakeCharacterTable(bool withTerminator) {
    std::array<bool, 256> table{};
    for (unsigned char c : {' ', '\t', '\n', '\v', '\f', '\r', ','}) {
        table[c] = true;
    }
    table[0] = withTerminator;
    return table;
}
constexpr std::array<bool, 256> kIsSeparator = MakeCharacterTable(false);
constexpr std::array<bool, 256> kEndsWord = MakeCharacterTable(true);

bool IsSeparator(char c) {
    return kIsSeparator[static_cast<unsigned char>(c)];
}
bool EndsWord(char c) {
    return kEndsWord[static_cast<unsigned char>(c)];
}

// The tokenizer itself, inlined into the scans: they call it for every word.
inline std::string_view NextWord(const char*& cursor) {
    while (IsSeparator(*cursor)) {
        ++cursor;
    }
    const char* start = cursor;
    while (!EndsWord(*cursor)) {
        ++cursor;
    }
    const auto length = static_cast<std::size_t>(cursor - start);
    return {start, length < kMaxTokenLength ? length : kMaxTokenLength};
}

std::string Text(unsigned id) {
    const char* text = LoadString(id);
    return text != nullptr ? text : "";
}

// The two ways a scan reads words. Both give, one per pass while the text is
// not at its end, exactly the tokenizer's words, and empty words past the end.

// Reads the script text directly.
class TextCursor {
public:
    explicit TextCursor(const char* script) : m_cursor(script) {}
    bool AtEnd() const { return *m_cursor == '\0'; }
    std::string_view Next() { return NextWord(m_cursor); }

private:
    const char* m_cursor;
};

// Reads the words of a script split once, so that both scans read them
// without walking the text again.
class WordCursor {
public:
    explicit WordCursor(const CScriptWords& words) : m_words(words) {}
    bool AtEnd() const { return m_next == m_words.Count(); }
    std::string_view Next() {
        return m_next != m_words.Count() ? m_words[m_next++] : std::string_view{};
    }

private:
    const CScriptWords& m_words;
    std::size_t m_next = 0;
};

// Scripts longer than this are scanned twice in place instead of split: the
// split takes up to four times the text's size (a word of one character and
// its separator give 8 bytes of positions), and agent scripts are a few
// kilobytes.
constexpr std::size_t kMaxSplitScriptBytes = 1 << 20;

template <typename Cursor> int NextNumber(Cursor& cursor) {
    return TokenToNumber(cursor.Next());
}

template <typename Cursor> void Skip(Cursor& cursor, int count) {
    for (int i = 0; i < count; ++i) {
        cursor.Next();
    }
}

void Mark(ChemicalSet& chemicals, int chemical) {
    if (chemical >= 1 && chemical < static_cast<int>(chemicals.size())) {
        chemicals.set(static_cast<std::size_t>(chemical));
    }
}

// The file name with its extension; drive and directories dropped.
std::string FileNameOf(const CAgent& agent) {
    if (agent.m_owner == nullptr) {
        return {};
    }
    const std::string& path = agent.m_owner->m_path;
    const auto separator = path.find_last_of("/\\");
    return separator == std::string::npos ? path : path.substr(separator + 1);
}

std::string EventItemText(const std::string& script) {
    TextCursor cursor(script.c_str());
    cursor.Next();
    const int a = NextNumber(cursor);
    const int b = NextNumber(cursor);
    const int c = NextNumber(cursor);
    const int event = NextNumber(cursor);
    // Appended, not built with "<" + ...: GCC 12 reports a false overlap for
    // that at -O3.
    std::string text("<");
    text.append(std::to_string(a) + " " + std::to_string(b) + " " + std::to_string(c) + "> ");
    // Negative event numbers have no name either; they take the generic form.
    if (event >= 0 && event < kNamedEventCount) {
        return text + Text(IDS_EVENT_DEACTIVATE + static_cast<unsigned>(event));
    }
    return text + Text(IDS_EVENT_GENERIC) + " " + std::to_string(event);
}

struct Sections {
    IResultsTree::Item general = nullptr;
    IResultsTree::Item scripts = nullptr;
    IResultsTree::Item chemicals = nullptr;
    IResultsTree::Item warnings = nullptr;
};

Sections InsertSections(IResultsTree& tree) {
    const auto insert = [&tree](unsigned id, int picture) {
        return tree.InsertItem(Text(id), picture, picture, nullptr);
    };
    Sections sections;
    sections.general = insert(IDS_SECTION_GENERAL, kPictureInformation);
    sections.scripts = insert(IDS_SECTION_SCRIPTS, kPictureScroll);
    sections.chemicals = insert(IDS_SECTION_CHEMICALS, kPictureMolecule);
    sections.warnings = insert(IDS_SECTION_WARNINGS, kPictureWarning);
    return sections;
}

void Append(IResultsTree& tree, IResultsTree::Item parent, const std::string& text, int picture) {
    tree.InsertItem(text, picture, picture, parent);
}

void ListScripts(const CAgent& agent, IResultsTree& tree, const Sections& sections) {
    Append(tree, sections.general, Text(IDS_FILE) + " \"" + FileNameOf(agent) + "\"",
           kPictureInformation);
    if (!agent.m_installScript.empty()) {
        Append(tree, sections.scripts, Text(IDS_INSTALLATION_SCRIPT), kPictureScroll);
    } else {
        Append(tree, sections.warnings, Text(IDS_NO_INSTALLATION_SCRIPT), kPictureWarning);
    }
    if (!agent.m_removeScript.empty()) {
        Append(tree, sections.scripts, Text(IDS_REMOVAL_SCRIPT), kPictureScroll);
    } else {
        Append(tree, sections.warnings, Text(IDS_NO_REMOVAL_SCRIPT), kPictureWarning);
    }
    for (const auto& script : agent.m_scripts) {
        Append(tree, sections.scripts, EventItemText(script), kPictureScroll);
    }
}

// Installation script, event scripts in stored order, removal script.
template <typename Visit> void ForEachScript(const CAgent& agent, Visit visit) {
    visit(agent.m_installScript);
    for (const auto& script : agent.m_scripts) {
        visit(script);
    }
    visit(agent.m_removeScript);
}

template <typename Cursor> void CollectChemicalsIn(Cursor cursor, ChemicalSet& chemicals) {
    while (!cursor.AtEnd()) {
        const auto token = cursor.Next();
        if (token == "chem") {
            Mark(chemicals, NextNumber(cursor));
            Skip(cursor, 1);
        } else if (token == "stim") {
            if (cursor.Next() == "writ") {
                Skip(cursor, 1);
            }
            Skip(cursor, kStimSkippedWords);
            for (int pair = 0; pair < kStimChemicalPairs; ++pair) {
                Mark(chemicals, NextNumber(cursor));
                Skip(cursor, 1);
            }
        }
    }
}

struct WarningTexts {
    std::string suspiciousKill = Text(IDS_SUSPICIOUS_KILL);
    std::string firesNeurons = Text(IDS_FIRES_NEURONS);
};

template <typename Cursor>
void CheckWarningsIn(Cursor cursor, const WarningTexts& texts, IResultsTree& tree,
                     IResultsTree::Item warnings) {
    bool enumerating = false;
    while (!cursor.AtEnd()) {
        const auto token = cursor.Next();
        if (token == "enum") {
            Skip(cursor, 1);
            const int y = NextNumber(cursor);
            const int z = NextNumber(cursor);
            enumerating = enumerating || y == 0 || z == 0;
        } else if (token == "next") {
            enumerating = false;
        } else if (token == "kill" && enumerating) {
            Append(tree, warnings, texts.suspiciousKill, kPictureWarning);
            enumerating = false;
        } else if (token == "fire") {
            Append(tree, warnings, texts.firesNeurons, kPictureWarning);
            enumerating = false;
        }
    }
}

// Scans every script once for both chemicals and warnings; the chemicals are
// listed afterwards, in ascending order.
void ScanScripts(const CAgent& agent, const CChemicalNameTable& chemicalNames, IResultsTree& tree,
                 const Sections& sections) {
    const WarningTexts texts;
    ChemicalSet chemicals;
    CScriptWords words;
    ForEachScript(agent, [&](const std::string& script) {
        if (script.size() > kMaxSplitScriptBytes) {
            CollectChemicalsIn(TextCursor(script.c_str()), chemicals);
            CheckWarningsIn(TextCursor(script.c_str()), texts, tree, sections.warnings);
            return;
        }
        words.Split(script);
        CollectChemicalsIn(WordCursor(words), chemicals);
        CheckWarningsIn(WordCursor(words), texts, tree, sections.warnings);
    });
    for (std::size_t chemical = 0; chemical < chemicals.size(); ++chemical) {
        if (chemicals.test(chemical)) {
            Append(tree, sections.chemicals, Windows1252ToUtf8(chemicalNames.Name(chemical)),
                   kPictureMolecule);
        }
    }
}

} // namespace

std::string_view GetNextToken(const char*& cursor) {
    return NextWord(cursor);
}

int TokenToNumber(std::string_view token) {
    std::size_t i = 0;
    bool negative = false;
    if (i < token.size() && (token[i] == '+' || token[i] == '-')) {
        negative = token[i] == '-';
        ++i;
    }
    std::int64_t value = 0;
    for (; i < token.size() && token[i] >= '0' && token[i] <= '9'; ++i) {
        if (value <= INT_MAX) {
            value = value * 10 + (token[i] - '0');
        }
    }
    value = negative ? -value : value;
    return value > INT_MAX ? INT_MAX : value < INT_MIN ? INT_MIN : static_cast<int>(value);
}

void CollectChemicals(const char* script, ChemicalSet& chemicals) {
    CollectChemicalsIn(TextCursor(script), chemicals);
}

void CheckWarnings(const char* script, IResultsTree& tree, IResultsTree::Item warnings) {
    CheckWarningsIn(TextCursor(script), WarningTexts(), tree, warnings);
}

void AnalyseAgent(const CAgent* agent, const CChemicalNameTable& chemicalNames,
                  IResultsTree& tree) {
    tree.DeleteAllItems();
    if (agent == nullptr) {
        return;
    }
    const Sections sections = InsertSections(tree);
    if (sections.general == nullptr || sections.scripts == nullptr ||
        sections.chemicals == nullptr || sections.warnings == nullptr) {
        return;
    }
    ListScripts(*agent, tree, sections);
    ScanScripts(*agent, chemicalNames, tree, sections);
    tree.Expand(sections.warnings);
}
