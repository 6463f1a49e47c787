#include "tools/kivtool/AgentFileUnpacking.h"

#include "agents/AgentChunk.h"
#include "agents/AgentFileFormat.h"
#include "agents/AgentFileSource.h"
#include "agents/AgentNames.h"
#include "platform/TextCodec.h"
#include "platform/Windows1252.h"
#include "tools/kivtool/AgentPictureImage.h"
#include "tools/kivtool/ManifestValues.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <set>

namespace {

using namespace AgentFileFormat;

// The longest file name Linux file systems take, in bytes: a carried name of
// 255 Windows-1252 characters can need twice as many in UTF-8.
constexpr std::size_t kMaxFileNameBytes = 255;

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

// A name that a folder takes as one file of its own and that a manifest line
// holds as it stands.
bool IsPlainFileName(const std::string& utf8) {
    return !utf8.empty() && utf8 != "." && utf8 != ".." && utf8.size() <= kMaxFileNameBytes &&
           IsValidUtf8(utf8) && !IsBlank(utf8.front()) && !IsBlank(utf8.back()) &&
           std::none_of(utf8.begin(), utf8.end(), [](char c) {
               const auto byte = static_cast<unsigned char>(c);
               return c == '/' || c == '\\' || byte < 0x20 || byte == 0x7F;
           });
}

// The names given out so far, ignoring ASCII case, so that the files stay apart
// on a file system that ignores it too.
class CFileNames {
public:
    // `preferred` when it is a plain file name not given out yet, and else
    // `fallback` (ASCII) made free with a number.
    std::string Claim(const std::string& preferred, const std::string& fallback) {
        if (IsPlainFileName(preferred) && Take(preferred)) {
            return preferred;
        }
        const auto dot = fallback.rfind('.');
        std::string name = fallback;
        for (int n = 2; !Take(name); ++n) {
            name = fallback.substr(0, dot) + "-" + std::to_string(n) + fallback.substr(dot);
        }
        return name;
    }

private:
    bool Take(const std::string& name) {
        std::string folded = name;
        std::transform(folded.begin(), folded.end(), folded.begin(),
                       [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
        return m_taken.insert(folded).second;
    }

    std::set<std::string> m_taken;
};

std::string Number(std::uint64_t value) {
    return std::to_string(value);
}

bool IsKnown(ECarriedFileType type) {
    return type == ECarriedFileType::kImage || type == ECarriedFileType::kSound;
}

std::string TypeName(ECarriedFileType type) {
    return type == ECarriedFileType::kImage   ? "image"
           : type == ECarriedFileType::kSound ? "sound"
                                              : Number(static_cast<std::uint16_t>(type));
}

bool HasTag(std::span<const std::uint8_t> tag, const char* expected) {
    return std::equal(tag.begin(), tag.end(), expected);
}

class CUnpacker {
public:
    CUnpacker(std::span<const std::uint8_t> bytes, const std::string& path)
        : m_bytes(bytes), m_path(path) {}

    CUnpackedAgentFile Run() {
        CMemoryAgentSource source(m_bytes);
        const CAgentFile accepted(m_path, source); // the reader's message for a damaged file
        const std::string stem = std::filesystem::path(m_path).stem().string();
        m_result.manifestName = m_names.Claim(stem + ".manifest", "agents.manifest");
        m_result.manifest = "# Written by kivtool unpack: kivtool pack gives the agent file "
                            "back byte for byte.\n";
        CByteReader file(m_bytes);
        file.Skip(kTagSize);
        while (!file.AtEnd()) {
            const auto tag = NeedInChunk(file.Bytes(kTagSize));
            const auto data = NeedInChunk(file.Bytes(NeedInChunk(file.U32())));
            ++m_chunks;
            if (HasTag(tag, kAgentTag)) {
                Agent(data);
            } else if (HasTag(tag, kFileTag)) {
                Carried(data);
            } else {
                Other(tag, data);
            }
        }
        return std::move(m_result);
    }

private:
    void Line(std::string_view key, const std::string& value) {
        m_result.manifest += std::string(key) + " = " + value + "\n";
    }
    void NonZero(std::string_view key, std::uint32_t value) {
        if (value != 0) {
            Line(key, Number(value));
        }
    }
    void NonEmpty(std::string_view key, std::string_view windows1252) {
        if (!windows1252.empty()) {
            m_result.manifest += ManifestEntry(key, windows1252);
        }
    }

    // Names a file of bytes taken from the agent file.
    void Taken(std::string_view key, const std::string& preferred, const std::string& fallback,
               std::span<const std::uint8_t> bytes) {
        const std::string name = m_names.Claim(preferred, fallback);
        Line(key, name);
        m_result.files.push_back({name, bytes, {}});
    }

    void Agent(std::span<const std::uint8_t> data) {
        const std::string number = Number(++m_agents);
        CByteReader reader(data);
        const CAgentFields agent = ParseAgentFields(reader);
        const AgentPictureBytes picture = ParsePictureBytes(reader);
        m_result.manifest += "\n[agent]\n";
        NonEmpty("name", agent.name);
        NonEmpty("description", agent.description);
        AgentNumbers(agent);
        AgentScripts(agent);
        Picture(picture, "agent-" + number + ".png");
        const auto rest = data.subspan(reader.Position());
        if (!rest.empty() && !IsPadding(rest, data.size())) {
            Taken("trailing bytes", {}, "agent-" + number + "-trailing.bin", rest);
        }
    }

    void AgentNumbers(const CAgentFields& agent) {
        const std::uint16_t quantity = agent.usage.quantity;
        if (quantity != 0) {
            Line("quantity", quantity == CAgent::kUnlimited ? "unlimited" : Number(quantity));
        }
        NonZero("reuse interval", agent.reuseInterval);
        NonZero("last used", agent.usage.lastUsed);
        const CAgentReserved& kept = agent.reserved;
        const std::uint32_t reserved[] = {kept.reserved1, kept.reserved2, kept.reserved3,
                                          kept.reserved4, kept.reserved5, kept.reserved6,
                                          kept.reserved7};
        for (std::size_t i = 0; i < std::size(reserved); ++i) {
            NonZero("reserved " + Number(i + 1), reserved[i]);
        }
    }

    // The scripts, and the files the agent needs.
    void AgentScripts(const CAgentFields& agent) {
        NonEmpty("install script", agent.installScript);
        NonEmpty("remove script", agent.removeScript);
        for (const auto& script : agent.scripts) {
            m_result.manifest += ManifestEntry("script", script);
        }
        for (const auto& reference : agent.dependencies) {
            const bool known = IsKnown(reference.type);
            m_result.manifest += ManifestEntry(known ? TypeName(reference.type)
                                                     : "file type " + TypeName(reference.type),
                                               reference.name);
        }
    }

    void Picture(const AgentPictureBytes& stored, const std::string& name) {
        if (stored.pixels.empty()) {
            if (stored.width != 0 || stored.height != 0) {
                Line("picture size", Number(stored.width) + " x " + Number(stored.height));
            }
            return;
        }
        CAgentPicture picture;
        DecodePixels(stored.pixels, stored.width, stored.height, picture);
        const std::string claimed = m_names.Claim({}, name);
        Line("picture", claimed);
        m_result.files.push_back({claimed, {}, PictureAsPng(picture)});
    }

    // The zeros that pack adds itself to make an agent chunk long enough.
    static bool IsPadding(std::span<const std::uint8_t> rest, std::size_t chunkLength) {
        return chunkLength == kMinAgentChunkSize &&
               std::all_of(rest.begin(), rest.end(), [](std::uint8_t b) { return b == 0; });
    }

    void Carried(std::span<const std::uint8_t> data) {
        const std::string number = Number(++m_carried);
        CByteReader reader(data);
        const CarriedFileHead head = ParseCarriedFileHead(reader);
        const auto contents = NeedInChunk(reader.Bytes(head.size));
        const bool safe = IsSafeCarriedName(head.name);
        m_result.manifest += "\n[file]\ntype = " + TypeName(head.type) + "\n";
        m_result.manifest += ManifestEntry(safe ? "name" : "unsafe name", head.name);
        NonZero("reserved", head.reserved);
        Taken("path", safe ? Windows1252ToUtf8(head.name) : "", "carried-" + number + ".bin",
              contents);
        const auto rest = data.subspan(reader.Position());
        if (!rest.empty()) {
            Taken("trailing bytes", {}, "carried-" + number + "-trailing.bin", rest);
        }
    }

    void Other(std::span<const std::uint8_t> tag, std::span<const std::uint8_t> data) {
        m_result.manifest += "\n[chunk]\n";
        m_result.manifest += ManifestEntry(
            "tag", std::string_view(reinterpret_cast<const char*>(tag.data()), tag.size()));
        Taken("path", {}, "chunk-" + Number(m_chunks) + ".bin", data);
    }

    std::span<const std::uint8_t> m_bytes;
    std::string m_path;
    CUnpackedAgentFile m_result;
    CFileNames m_names;
    std::size_t m_chunks = 0;
    std::size_t m_agents = 0;
    std::size_t m_carried = 0;
};

} // namespace

const CUnpackedFile* CUnpackedAgentFile::Find(std::string_view name) const {
    const auto found = std::find_if(files.begin(), files.end(),
                                    [&](const CUnpackedFile& file) { return file.name == name; });
    return found == files.end() ? nullptr : &*found;
}

CUnpackedAgentFile UnpackAgentFile(std::span<const std::uint8_t> bytes, const std::string& path) {
    return CUnpacker(bytes, path).Run();
}
