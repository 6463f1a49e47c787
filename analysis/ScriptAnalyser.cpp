#include "analysis/ScriptAnalyser.h"

#include "agents/AgentFile.h"
#include "analysis/ChemicalNameTable.h"
#include "analysis/ScriptWords.h"
#include "core/StringTable.h"
#include "platform/Windows1252.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <climits>
#include <cstdint>
#include <limits>
#include <string>
#include <vector>

namespace {

// Events 0 to 12 have names of their own (IDS_EVENT_DEACTIVATE to IDS_EVENT_EAT);
// the rest share IDS_EVENT_GENERIC.
constexpr int kNamedEventCount = 13;

// Words a stim command passes over after its first word (and "writ"'s extra one),
// and the chemical/amount pairs that follow.
constexpr int kStimSkippedWords = 4;
constexpr int kStimChemicalPairs = 4;
// Numbers of an enum command after its first word, 0 for any.
constexpr int kEnumClassNumbers = 2;

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

// The commands the scans act on; every other word is passed over. Each is a
// word of kCommandLength letters.
enum class Command { kNone, kChem, kStim, kEnum, kNext, kKill, kFire };
constexpr std::size_t kCommandLength = 4;
constexpr char kCommandInitials[] = "csenkf";

struct CommandName {
    std::string_view name;
    Command command = Command::kNone;
};
constexpr CommandName kCommands[] = {
    {"chem", Command::kChem}, {"stim", Command::kStim}, {"enum", Command::kEnum},
    {"next", Command::kNext}, {"kill", Command::kKill}, {"fire", Command::kFire},
};

// The commands' third letters differ in bits 2 to 4, so that a table of eight
// looked up by those bits holds each command in a slot of its own: a word is
// compared with one command name at most.
constexpr std::size_t kCommandSlots = 8;
constexpr std::size_t CommandSlot(std::string_view word) {
    return static_cast<unsigned char>(word[2]) >> 2 & (kCommandSlots - 1);
}
constexpr std::array<CommandName, kCommandSlots> MakeCommandTable() {
    std::array<CommandName, kCommandSlots> table{};
    for (const CommandName& command : kCommands) {
        table[CommandSlot(command.name)] = command;
    }
    return table;
}
constexpr std::array<CommandName, kCommandSlots> kCommandTable = MakeCommandTable();
constexpr bool EachCommandHasItsSlot() {
    for (const CommandName& command : kCommands) {
        if (kCommandTable[CommandSlot(command.name)].command != command.command) {
            return false;
        }
    }
    return true;
}
static_assert(EachCommandHasItsSlot());

// The command a word of kCommandLength letters names, if any.
Command CommandOf(std::string_view word) {
    const CommandName& candidate = kCommandTable[CommandSlot(word)];
    return word == candidate.name ? candidate.command : Command::kNone;
}

// The command any word names, if any.
Command CommandOfToken(std::string_view token) {
    return token.size() == kCommandLength ? CommandOf(token) : Command::kNone;
}

bool ChangesChemicals(Command command) {
    return command == Command::kChem || command == Command::kStim;
}

void Mark(ChemicalSet& chemicals, int chemical) {
    if (chemical >= 1 && chemical < static_cast<int>(chemicals.size())) {
        chemicals.set(static_cast<std::size_t>(chemical));
    }
}

// The file name with its extension; drive and directories dropped.
std::string FileNameOf(const CAgent& agent) {
    if (agent.File() == nullptr) {
        return {};
    }
    const std::string& path = agent.File()->Path();
    const auto separator = path.find_last_of("/\\");
    return separator == std::string::npos ? path : path.substr(separator + 1);
}

// The event names, looked up once for all of an agent's scripts.
struct EventNames {
    EventNames() {
        for (int event = 0; event < kNamedEventCount; ++event) {
            named[static_cast<std::size_t>(event)] =
                LoadStringOrEmpty(IDS_EVENT_DEACTIVATE + static_cast<unsigned>(event));
        }
    }
    std::array<std::string, kNamedEventCount> named;
    std::string generic = LoadStringOrEmpty(IDS_EVENT_GENERIC);
};

void AppendNumber(std::string& text, int number) {
    // A sign and every digit of the int range.
    std::array<char, std::numeric_limits<int>::digits10 + 2> digits;
    const char* end = std::to_chars(digits.data(), digits.data() + digits.size(), number).ptr;
    text.append(digits.data(), static_cast<std::size_t>(end - digits.data()));
}

// An event script's item, "<1 2 3> name", into `text`, whose buffer serves
// one script after another.
void EventItemText(const std::string& script, const EventNames& names, std::string& text) {
    const char* cursor = script.c_str();
    GetNextToken(cursor);
    const int a = TokenToNumber(GetNextToken(cursor));
    const int b = TokenToNumber(GetNextToken(cursor));
    const int c = TokenToNumber(GetNextToken(cursor));
    const int event = TokenToNumber(GetNextToken(cursor));
    text.assign(1, '<');
    AppendNumber(text, a);
    text += ' ';
    AppendNumber(text, b);
    text += ' ';
    AppendNumber(text, c);
    text += "> ";
    // Negative event numbers have no name either; they take the generic form.
    if (event >= 0 && event < kNamedEventCount) {
        text += names.named[static_cast<std::size_t>(event)];
        return;
    }
    text += names.generic;
    text += ' ';
    AppendNumber(text, event);
}

struct Sections {
    IResultsTree::Item general = nullptr;
    IResultsTree::Item scripts = nullptr;
    IResultsTree::Item chemicals = nullptr;
    IResultsTree::Item warnings = nullptr;
};

Sections InsertSections(IResultsTree& tree) {
    const auto insert = [&tree](unsigned id, int picture) {
        return tree.InsertItem(LoadStringOrEmpty(id), picture, picture, nullptr);
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
    Append(tree, sections.general,
           std::string(LoadStringOrEmpty(IDS_FILE)) + " \"" + FileNameOf(agent) + "\"",
           kPictureInformation);
    if (!agent.InstallScript().empty()) {
        Append(tree, sections.scripts, LoadStringOrEmpty(IDS_INSTALLATION_SCRIPT), kPictureScroll);
    } else {
        Append(tree, sections.warnings, LoadStringOrEmpty(IDS_NO_INSTALLATION_SCRIPT),
               kPictureWarning);
    }
    if (!agent.RemoveScript().empty()) {
        Append(tree, sections.scripts, LoadStringOrEmpty(IDS_REMOVAL_SCRIPT), kPictureScroll);
    } else {
        Append(tree, sections.warnings, LoadStringOrEmpty(IDS_NO_REMOVAL_SCRIPT), kPictureWarning);
    }
    const EventNames names;
    std::string text;
    for (const auto& script : agent.Scripts()) {
        EventItemText(script, names, text);
        Append(tree, sections.scripts, text, kPictureScroll);
    }
}

// Installation script, event scripts in stored order, removal script.
template <typename Visit> void ForEachScript(const CAgent& agent, Visit visit) {
    visit(agent.InstallScript());
    for (const auto& script : agent.Scripts()) {
        visit(script);
    }
    visit(agent.RemoveScript());
}

// TokenToNumber's work, inline for the scans, which read a number for most
// of the commands they meet.
inline int NumberOf(std::string_view token) {
    // Digits past this value cannot change the saturated result.
    constexpr std::int64_t kSaturated = std::int64_t{INT_MAX} + 1;
    const char* digit = token.data();
    const char* const end = digit + token.size();
    bool negative = false;
    if (digit != end && (*digit == '+' || *digit == '-')) {
        negative = *digit == '-';
        ++digit;
    }
    std::int64_t value = 0;
    for (; digit != end && static_cast<unsigned char>(*digit - '0') <= 9; ++digit) {
        value = std::min(value * 10 + (*digit - '0'), kSaturated);
    }
    if (value == kSaturated) {
        return negative ? INT_MIN : INT_MAX;
    }
    return static_cast<int>(negative ? -value : value);
}

// A chem command names one chemical and its amount; a stim command four pairs
// of them after its other words. `Cursor` reads words as CScriptWords::Cursor.
template <typename Cursor>
void ReadChemicalCommand(Command command, Cursor& cursor, ChemicalSet& chemicals) {
    int pairs = 1;
    if (command == Command::kStim) {
        if (cursor.Next() == "writ") {
            cursor.Skip(1);
        }
        cursor.Skip(kStimSkippedWords);
        pairs = kStimChemicalPairs;
    }
    for (int pair = 0; pair < pairs; ++pair) {
        Mark(chemicals, NumberOf(cursor.NextWithRest()));
        cursor.Skip(1);
    }
}

struct WarningTexts {
    std::string suspiciousKill = LoadStringOrEmpty(IDS_SUSPICIOUS_KILL);
    std::string firesNeurons = LoadStringOrEmpty(IDS_FIRES_NEURONS);
};

// The warnings of one script: a kill inside an enumeration with a wildcard,
// and every fire.
class WarningScan {
public:
    WarningScan(const WarningTexts& texts, IResultsTree& tree, IResultsTree::Item warnings)
        : m_texts(texts), m_tree(tree), m_warnings(warnings) {}

    template <typename Cursor> void Read(Command command, Cursor& cursor) {
        switch (command) {
        case Command::kEnum: {
            cursor.Skip(1);
            // A wildcard in either of the class numbers that follow.
            for (int number = 0; number < kEnumClassNumbers; ++number) {
                m_enumerating = NumberOf(cursor.NextWithRest()) == 0 || m_enumerating;
            }
            break;
        }
        case Command::kNext:
            m_enumerating = false;
            break;
        case Command::kKill:
            if (m_enumerating) {
                Append(m_tree, m_warnings, m_texts.suspiciousKill, kPictureWarning);
                m_enumerating = false;
            }
            break;
        case Command::kFire:
            Append(m_tree, m_warnings, m_texts.firesNeurons, kPictureWarning);
            m_enumerating = false;
            break;
        default:
            break;
        }
    }

private:
    const WarningTexts& m_texts;
    IResultsTree& m_tree;
    IResultsTree::Item m_warnings;
    bool m_enumerating = false;
};

// Both scans read the script word by word, each on its own: a command word
// that one scan reads as another command's argument is still a command to the
// other. Only the command words and their arguments are visited; the words
// up to a scan's `resume` were its arguments.
void ScanWords(const CScriptWords& words, ChemicalSet& chemicals, WarningScan warningScan) {
    std::size_t chemicalsResume = 0;
    std::size_t warningsResume = 0;
    words.ForEachWordOfLength<kCommandLength>([&](std::size_t position, std::string_view word) {
        const Command command = CommandOf(word);
        if (command == Command::kNone) {
            return;
        }
        std::size_t& resume = ChangesChemicals(command) ? chemicalsResume : warningsResume;
        if (position < resume) {
            return;
        }
        CScriptWords::Cursor cursor(words, position + kCommandLength);
        if (ChangesChemicals(command)) {
            ReadChemicalCommand(command, cursor, chemicals);
        } else {
            warningScan.Read(command, cursor);
        }
        resume = cursor.Resume();
    });
}

// Reads words one GetNextToken after another, as CScriptWords::Cursor reads
// them from the bits.
class CTokenCursor {
public:
    explicit CTokenCursor(const std::string& script) : m_cursor(script.c_str()) {}

    bool AtEnd() const { return *m_cursor == '\0'; }
    std::string_view Next() { return GetNextToken(m_cursor); }
    std::string_view NextWithRest() { return Next(); }
    void Skip(int count) {
        for (int i = 0; i < count; ++i) {
            Next();
        }
    }

private:
    const char* m_cursor;
};

// The plain reading: each scan takes the script's words one by one from its
// start, chemicals first, then warnings.
void ScanTokens(const std::string& script, ChemicalSet& chemicals, WarningScan warningScan) {
    for (const bool forChemicals : {true, false}) {
        CTokenCursor cursor(script);
        while (!cursor.AtEnd()) {
            const Command command = CommandOfToken(cursor.Next());
            if (command == Command::kNone || ChangesChemicals(command) != forChemicals) {
                continue;
            }
            if (forChemicals) {
                ReadChemicalCommand(command, cursor, chemicals);
            } else {
                warningScan.Read(command, cursor);
            }
        }
    }
}

// Scans every script for both chemicals and warnings; the chemicals are listed
// afterwards, in ascending order.
void ScanScripts(const CAgent& agent, const CChemicalNameTable& chemicalNames, IResultsTree& tree,
                 const Sections& sections, ScriptReading reading) {
    const WarningTexts texts;
    ChemicalSet chemicals;
    CScriptWords words(kCommandInitials);
    ForEachScript(agent, [&](const std::string& script) {
        const WarningScan warningScan(texts, tree, sections.warnings);
        if (reading == ScriptReading::kTokens) {
            ScanTokens(script, chemicals, warningScan);
            return;
        }
        words.Split(script);
        ScanWords(words, chemicals, warningScan);
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
    while (IsSeparator(*cursor)) {
        ++cursor;
    }
    const char* start = cursor;
    while (!EndsWord(*cursor)) {
        ++cursor;
    }
    const auto length = static_cast<std::size_t>(cursor - start);
    return {start, std::min(length, kMaxTokenLength)};
}

int TokenToNumber(std::string_view token) {
    return NumberOf(token);
}

void AnalyseAgent(const CAgent* agent, const CChemicalNameTable& chemicalNames, IResultsTree& tree,
                  ScriptReading reading) {
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
    ScanScripts(*agent, chemicalNames, tree, sections, reading);
    tree.Expand(sections.warnings);
}
