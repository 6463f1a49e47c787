#include "tools/kivtool/Manifest.h"

#include "agents/AgentNames.h"
#include "core/KitException.h"
#include "tools/kivtool/Windows1252Encoding.h"

#include <charconv>
#include <limits>

namespace {

constexpr std::string_view kHereDocument = "<<";

std::string_view Trim(std::string_view text) {
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

std::vector<std::string_view> SplitLines(std::string_view text) {
    std::vector<std::string_view> lines;
    while (!text.empty()) {
        const auto end = text.find('\n');
        auto line = text.substr(0, end);
        if (!line.empty() && line.back() == '\r') {
            line.remove_suffix(1);
        }
        lines.push_back(line);
        text = end == std::string_view::npos ? std::string_view{} : text.substr(end + 1);
    }
    return lines;
}

class CManifestParser {
public:
    CManifestParser(std::string_view text, const std::string& name)
        : m_lines(SplitLines(text)), m_name(name) {}

    std::vector<ManifestSection> Run() {
        for (m_next = 0; m_next < m_lines.size();) {
            m_lineNumber = m_next + 1;
            const std::string_view line = Trim(m_lines[m_next++]);
            if (line.empty() || line.front() == '#' || line.front() == ';') {
                continue;
            }
            if (line == "[agent]") {
                m_sections.emplace_back(ManifestAgent{});
            } else if (line == "[file]") {
                m_sections.emplace_back(ManifestFile{});
            } else {
                ReadEntry(line);
            }
        }
        for (const auto& section : m_sections) {
            if (const auto* file = std::get_if<ManifestFile>(&section);
                file && file->path.empty()) {
                Fail("a [file] section has no path");
            }
        }
        return std::move(m_sections);
    }

private:
    [[noreturn]] void Fail(const std::string& what) const {
        ThrowString("%s:%zu: %s", m_name.c_str(), m_lineNumber, what.c_str());
    }

    // "key = value", or "key <<END" followed by lines up to one that reads END.
    void ReadEntry(std::string_view line) {
        const auto equals = line.find('=');
        const auto here = line.find(kHereDocument);
        std::string key;
        std::string value;
        if (equals != std::string_view::npos && (here == std::string_view::npos || equals < here)) {
            key = Trim(line.substr(0, equals));
            value = Trim(line.substr(equals + 1));
        } else if (here != std::string_view::npos) {
            key = Trim(line.substr(0, here));
            value = ReadHereDocument(Trim(line.substr(here + kHereDocument.size())));
        } else {
            Fail("expected \"key = value\" or a section name");
        }
        if (m_sections.empty()) {
            Fail("\"" + key + "\" before the first [agent] or [file] section");
        }
        if (auto* agent = std::get_if<ManifestAgent>(&m_sections.back())) {
            SetAgentField(*agent, key, value);
        } else {
            SetFileField(std::get<ManifestFile>(m_sections.back()), key, value);
        }
    }

    std::string ReadHereDocument(std::string_view marker) {
        if (marker.empty()) {
            Fail("\"<<\" needs an end marker");
        }
        std::string value;
        for (bool first = true; m_next < m_lines.size(); first = false) {
            const std::string_view line = m_lines[m_next++];
            if (Trim(line) == marker) {
                return value;
            }
            if (!first) {
                value += '\n';
            }
            value += line;
        }
        Fail("no line \"" + std::string(marker) + "\" ends the text");
    }

    std::string Text(const std::string& value) const {
        auto converted = Utf8ToWindows1252(value);
        if (!converted) {
            Fail("\"" + value + "\" cannot be written in Windows-1252");
        }
        return *converted;
    }

    std::uint32_t Number(const std::string& value, std::uint32_t maximum) const {
        std::uint32_t number = 0;
        const auto [end, error] =
            std::from_chars(value.data(), value.data() + value.size(), number);
        if (error != std::errc{} || end != value.data() + value.size() || number > maximum) {
            Fail("\"" + value + "\" is not a number from 0 to " + std::to_string(maximum));
        }
        return number;
    }

    std::uint16_t Type(const std::string& value) const {
        if (value == "image") {
            return 0;
        }
        if (value == "sound") {
            return 1;
        }
        Fail("the type is \"image\" or \"sound\", not \"" + value + "\"");
    }

    void SetAgentField(ManifestAgent& section, const std::string& key, const std::string& value) {
        CAgent& agent = section.agent;
        constexpr auto kMax32 = std::numeric_limits<std::uint32_t>::max();
        if (key == "name") {
            agent.m_name = Text(value);
        } else if (key == "description") {
            agent.m_description = Text(value);
        } else if (key == "quantity") {
            agent.m_quantity = value == "unlimited"
                                   ? CAgent::kUnlimited
                                   : static_cast<std::uint16_t>(Number(value, 65535));
        } else if (key == "reuse interval") {
            agent.m_reuseInterval = Number(value, kMax32);
        } else if (key == "last used") {
            agent.m_lastUsed = Number(value, kMax32);
        } else if (key == "install script") {
            agent.m_installScript = Text(value);
        } else if (key == "remove script") {
            agent.m_removeScript = Text(value);
        } else if (key == "script") {
            AddScript(agent, Text(value));
        } else if (key == "image" || key == "sound") {
            AddReference(agent, Type(key), Text(value));
        } else if (key == "picture") {
            section.picturePath = value;
        } else {
            Fail("unknown agent key \"" + key + "\"");
        }
    }

    void AddScript(CAgent& agent, std::string script) {
        if (agent.m_scripts.size() == std::numeric_limits<std::uint16_t>::max()) {
            Fail("more than 65535 event scripts");
        }
        agent.m_scripts.push_back(std::move(script));
        agent.m_scriptCount = static_cast<std::uint16_t>(agent.m_scripts.size());
    }

    void AddReference(CAgent& agent, std::uint16_t type, std::string name) {
        if (agent.m_dependencyCount == CAgent::kMaxDependencies) {
            Fail("more than 128 images and sounds");
        }
        agent.m_dependencies.push_back(AgentDependencyRef{type, std::move(name)});
        ++agent.m_dependencyCount;
    }

    void SetFileField(ManifestFile& file, const std::string& key, const std::string& value) {
        if (key == "type") {
            file.type = Type(value);
        } else if (key == "path") {
            file.path = value;
        } else if (key == "name") {
            file.name = Text(value);
            if (!IsSafeCarriedName(file.name)) {
                Fail("\"" + value + "\" is not a plain file name");
            }
        } else {
            Fail("unknown file key \"" + key + "\"");
        }
    }

    std::vector<std::string_view> m_lines;
    std::string m_name;
    std::size_t m_next = 0;
    std::size_t m_lineNumber = 0;
    std::vector<ManifestSection> m_sections;
};

} // namespace

std::vector<ManifestSection> ParseManifest(std::string_view text, const std::string& name) {
    return CManifestParser(text, name).Run();
}
