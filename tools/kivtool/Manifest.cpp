#include "tools/kivtool/Manifest.h"

#include "agents/AgentFileFormat.h"
#include "agents/AgentNames.h"
#include "core/KitException.h"
#include "platform/Windows1252.h"
#include "tools/kivtool/ManifestValues.h"

#include <charconv>
#include <limits>

namespace {

constexpr std::string_view kHereDocument = "<<";
constexpr std::string_view kEscapedForm = ":=";
constexpr std::string_view kOtherReference = "file type ";
constexpr std::string_view kReserved = "reserved ";
constexpr auto kMax8 = std::numeric_limits<std::uint8_t>::max();
constexpr auto kMax16 = std::numeric_limits<std::uint16_t>::max();
constexpr auto kMax32 = std::numeric_limits<std::uint32_t>::max();

// The tags whose chunks the reader parses: [agent] and [file] sections write them.
bool IsParsedTag(std::string_view tag) {
    using namespace AgentFileFormat;
    return tag == std::string_view(kAgentTag, kTagSize) ||
           tag == std::string_view(kFileTag, kTagSize);
}

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
            } else if (line == "[chunk]") {
                m_sections.emplace_back(ManifestChunk{});
            } else {
                ReadEntry(line);
            }
        }
        for (const auto& section : m_sections) {
            RequireComplete(section);
        }
        return std::move(m_sections);
    }

private:
    [[noreturn]] void Fail(const std::string& what) const {
        ThrowString("%s:%zu: %s", m_name.c_str(), m_lineNumber, what.c_str());
    }

    void RequireComplete(const ManifestSection& section) const {
        if (const auto* file = std::get_if<ManifestFile>(&section); file && file->path.empty()) {
            Fail("a [file] section has no path");
        }
        if (const auto* chunk = std::get_if<ManifestChunk>(&section);
            chunk && (chunk->tag.empty() || chunk->path.empty())) {
            Fail("a [chunk] section needs a tag and a path");
        }
    }

    // "key = value", "key := "escaped value"", or "key <<END" followed by lines
    // up to one that reads END.
    void ReadEntry(std::string_view line) {
        const auto equals = line.find('=');
        const auto here = line.find(kHereDocument);
        std::string key;
        std::string value;
        if (equals != std::string_view::npos && equals > 0 &&
            line.substr(equals - 1, kEscapedForm.size()) == kEscapedForm) {
            key = Trim(line.substr(0, equals - 1));
            value = Unescaped(Trim(line.substr(equals + 1)));
        } else if (equals != std::string_view::npos &&
                   (here == std::string_view::npos || equals < here)) {
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
        } else if (auto* file = std::get_if<ManifestFile>(&m_sections.back())) {
            SetFileField(*file, key, value);
        } else {
            SetChunkField(std::get<ManifestChunk>(m_sections.back()), key, value);
        }
    }

    std::string Unescaped(std::string_view quoted) const {
        std::string error;
        auto text = UnescapeValue(quoted, error);
        if (!text) {
            Fail(std::string(quoted) + ": " + error);
        }
        return *text;
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

    // Bytes for the file; texts end at a zero byte there, so none may hold one.
    std::string Bytes(const std::string& value) const {
        auto converted = Utf8ToWindows1252(value);
        if (!converted) {
            Fail("\"" + value + "\" cannot be written in Windows-1252");
        }
        return *converted;
    }

    std::string Text(const std::string& value) const {
        if (value.find('\0') != std::string::npos) {
            Fail("a text cannot hold the byte 0");
        }
        return Bytes(value);
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

    // A carried file's type: a word, or the number of a type the game does not know.
    ECarriedFileType Type(const std::string& value) const {
        if (value == "image") {
            return ECarriedFileType::kImage;
        }
        if (value == "sound") {
            return ECarriedFileType::kSound;
        }
        if (!value.empty() && value.find_first_not_of("0123456789") == std::string::npos) {
            return static_cast<ECarriedFileType>(Number(value, kMax16));
        }
        Fail("the type is \"image\" or \"sound\", not \"" + value + "\"");
    }

    // "WIDTH x HEIGHT" of an agent without a picture: one side is 0.
    void SetPictureSize(ManifestAgent& section, const std::string& value) const {
        const auto times = value.find('x');
        if (times == std::string::npos) {
            Fail("\"" + value + "\" is not a size \"WIDTH x HEIGHT\"");
        }
        const std::uint32_t width = Number(std::string(Trim(value.substr(0, times))), kMax16);
        const std::uint32_t height = Number(std::string(Trim(value.substr(times + 1))), kMax16);
        if (width != 0 && height != 0) {
            Fail("\"" + value + "\" has no side 0: a picture comes from a \"picture\" file");
        }
        section.picture = CAgentPicture::WithoutPixels(width, height);
    }

    void SetReserved(CAgentReserved& reserved, const std::string& which,
                     const std::string& value) const {
        if (which == "1") {
            reserved.reserved1 = static_cast<std::uint8_t>(Number(value, kMax8));
        } else if (which == "2") {
            reserved.reserved2 = static_cast<std::uint8_t>(Number(value, kMax8));
        } else if (which == "3") {
            reserved.reserved3 = static_cast<std::uint16_t>(Number(value, kMax16));
        } else if (which == "4") {
            reserved.reserved4 = Number(value, kMax32);
        } else if (which == "5") {
            reserved.reserved5 = Number(value, kMax32);
        } else if (which == "6") {
            reserved.reserved6 = static_cast<std::uint16_t>(Number(value, kMax16));
        } else if (which == "7") {
            reserved.reserved7 = static_cast<std::uint16_t>(Number(value, kMax16));
        } else {
            Fail("unknown agent key \"reserved " + which + "\"");
        }
    }

    void SetAgentField(ManifestAgent& section, const std::string& key, const std::string& value) {
        CAgentFields& agent = section.fields;
        if (key == "name") {
            agent.name = Text(value);
        } else if (key == "description") {
            agent.description = Text(value);
        } else if (key == "quantity") {
            agent.usage.quantity = value == "unlimited"
                                       ? CAgent::kUnlimited
                                       : static_cast<std::uint16_t>(Number(value, 65535));
        } else if (key == "reuse interval") {
            agent.reuseInterval = Number(value, kMax32);
        } else if (key == "last used") {
            agent.usage.lastUsed = Number(value, kMax32);
        } else if (key == "install script") {
            agent.installScript = Text(value);
        } else if (key == "remove script") {
            agent.removeScript = Text(value);
        } else if (key == "script") {
            AddScript(agent, Text(value));
        } else if (key == "image" || key == "sound") {
            AddReference(agent, Type(key), Text(value));
        } else if (key.starts_with(kOtherReference)) {
            AddReference(agent, Type(key.substr(kOtherReference.size())), Text(value));
        } else if (key == "picture" || key == "picture size") {
            SetPicture(section, key, value);
        } else if (key.starts_with(kReserved)) {
            SetReserved(agent.reserved, key.substr(kReserved.size()), value);
        } else if (key == "trailing bytes") {
            section.trailingPath = value;
        } else {
            Fail("unknown agent key \"" + key + "\"");
        }
    }

    void SetPicture(ManifestAgent& section, const std::string& key, const std::string& value) {
        const CAgentPicture& stored = section.picture;
        if (!section.picturePath.empty() || stored.Width() != 0 || stored.Height() != 0) {
            Fail("an agent has one \"picture\" or one \"picture size\"");
        }
        if (key == "picture") {
            section.picturePath = value;
        } else {
            SetPictureSize(section, value);
        }
    }

    void AddScript(CAgentFields& agent, std::string script) {
        if (agent.scripts.size() == std::numeric_limits<std::uint16_t>::max()) {
            Fail("more than 65535 event scripts");
        }
        agent.scripts.push_back(std::move(script));
    }

    void AddReference(CAgentFields& agent, ECarriedFileType type, std::string name) {
        if (agent.dependencies.size() == CAgent::kMaxDependencies) {
            Fail("more than 128 images and sounds");
        }
        agent.dependencies.push_back(AgentDependencyRef{type, std::move(name)});
    }

    void SetFileField(ManifestFile& file, const std::string& key, const std::string& value) {
        if (key == "type") {
            file.type = Type(value);
        } else if (key == "path") {
            file.path = value;
        } else if (key == "name" || key == "unsafe name") {
            SetCarriedName(file, key, value);
        } else if (key == "reserved") {
            file.reserved = Number(value, kMax32);
        } else if (key == "trailing bytes") {
            file.trailingPath = value;
        } else {
            Fail("unknown file key \"" + key + "\"");
        }
    }

    // "unsafe name" keeps a name that the game's folders cannot take, so that a
    // file holding one can be packed again as it was.
    void SetCarriedName(ManifestFile& file, const std::string& key, const std::string& value) {
        if (file.name) {
            Fail("a [file] section has one \"name\" or one \"unsafe name\"");
        }
        file.name = Text(value);
        if (key == "name" && !IsSafeCarriedName(*file.name)) {
            Fail("\"" + value + "\" is not a plain file name");
        }
    }

    void SetChunkField(ManifestChunk& chunk, const std::string& key, const std::string& value) {
        if (key == "tag") {
            chunk.tag = Bytes(value);
            if (chunk.tag.size() != AgentFileFormat::kTagSize) {
                Fail("a tag is four bytes, not \"" + value + "\"");
            }
            if (IsParsedTag(chunk.tag)) {
                Fail("a chunk tagged \"" + value +
                     "\" is written from an [agent] or [file] section");
            }
        } else if (key == "path") {
            chunk.path = value;
        } else {
            Fail("unknown chunk key \"" + key + "\"");
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
