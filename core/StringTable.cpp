#include "core/StringTable.h"

#include "res/EmbeddedResources.h"

#include <array>
#include <string>
#include <string_view>
#include <unordered_map>

namespace {

using Table = std::unordered_map<unsigned, std::string>;

// Undoes the escapes a table line may carry: \n, \t and \\.
std::string Unescape(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\' || i + 1 == text.size()) {
            out += text[i];
            continue;
        }
        const char next = text[++i];
        out += next == 'n' ? '\n' : next == 't' ? '\t' : next;
    }
    return out;
}

// A table file holds one entry a line: the decimal identifier, one tab, the text.
// Lines that are empty or start with '#' are comments.
Table ParseTable(std::string_view file) {
    Table table;
    while (!file.empty()) {
        const auto end = file.find('\n');
        auto line = file.substr(0, end);
        file = end == std::string_view::npos ? std::string_view{} : file.substr(end + 1);
        if (!line.empty() && line.back() == '\r') {
            line.remove_suffix(1);
        }
        const auto tab = line.find('\t');
        if (line.empty() || line.front() == '#' || tab == std::string_view::npos) {
            continue;
        }
        unsigned id = 0;
        for (char c : line.substr(0, tab)) {
            id = id * 10 + static_cast<unsigned>(c - '0');
        }
        table[id] = Unescape(line.substr(tab + 1));
    }
    return table;
}

const Table& TableFor(Language language) {
    static std::array<Table, 6> tables;
    static std::array<bool, 6> loaded{};
    const auto index = static_cast<std::size_t>(language);
    if (!loaded[index]) {
        const std::string name = std::string("strings/") + LanguageCode(language) + ".txt";
        if (auto file = FindEmbeddedResource(name)) {
            tables[index] = ParseTable(*file);
        }
        loaded[index] = true;
    }
    return tables[index];
}

} // namespace

const char* LoadString(unsigned id, Language language) {
    const auto& table = TableFor(language);
    const auto found = table.find(id);
    return found == table.end() ? nullptr : found->second.c_str();
}

const char* LoadString(unsigned id) {
    return LoadString(id, UserLanguage());
}

const char* LoadStringOrEmpty(unsigned id) {
    const char* text = LoadString(id);
    return text != nullptr ? text : "";
}
