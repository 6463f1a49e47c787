#include "tools/kivtool/AgentFilePacking.h"

#include "agents/AgentNames.h"
#include "core/KitException.h"
#include "core/StringTable.h"
#include "platform/Windows1252.h"
#include "tools/kivtool/AgentPictureImage.h"
#include "tools/kivtool/Manifest.h"

namespace {

class CManifestPacker {
public:
    CManifestPacker(const std::filesystem::path& base, const ManifestFileReader& read)
        : m_base(base), m_read(read) {}

    void Add(ManifestAgent& section) {
        if (!section.picturePath.empty()) {
            const auto path = m_base / section.picturePath;
            LoadPicture(section.picture, m_read(path), path.string());
        }
        const CAgent agent(std::move(section.fields), std::move(section.picture));
        m_writer.AddAgent(agent, Optional(section.trailingPath));
    }

    void Add(const ManifestFile& file) {
        m_writer.AddCarriedFile(file.type, CarriedName(file), m_read(m_base / file.path),
                                file.reserved, Optional(file.trailingPath));
    }

    void Add(const ManifestChunk& chunk) {
        m_writer.AddChunk(chunk.tag, m_read(m_base / chunk.path));
    }

    CAgentFileWriter Result() { return std::move(m_writer); }

private:
    std::vector<std::uint8_t> Optional(const std::string& path) const {
        return path.empty() ? std::vector<std::uint8_t>{} : m_read(m_base / path);
    }

    static std::string CarriedName(const ManifestFile& file) {
        if (file.name) {
            return *file.name;
        }
        const std::string fromPath = std::filesystem::path(file.path).filename().string();
        const auto name = Utf8ToWindows1252(fromPath);
        if (!name || !IsSafeCarriedName(*name)) {
            ThrowString("%s: give the carried file a name that Windows-1252 can write",
                        file.path.c_str());
        }
        return *name;
    }

    std::filesystem::path m_base;
    const ManifestFileReader& m_read;
    CAgentFileWriter m_writer;
};

} // namespace

CAgentFileWriter PackManifest(std::string_view manifest, const std::string& manifestName,
                              const std::filesystem::path& base, const ManifestFileReader& read) {
    auto sections = ParseManifest(manifest, manifestName);
    CManifestPacker packer(base, read);
    for (auto& section : sections) {
        std::visit([&](auto& parsed) { packer.Add(parsed); }, section);
    }
    return packer.Result();
}

CAgentFileWriter PackUnpacked(const CUnpackedAgentFile& unpacked) {
    const auto read = [&](const std::filesystem::path& path) {
        const CUnpackedFile* file = unpacked.Find(path.string());
        if (file == nullptr) {
            ThrowStringId(IDS_ERROR_READING_FILE, path.c_str());
        }
        const auto bytes = file->Bytes();
        return std::vector<std::uint8_t>(bytes.begin(), bytes.end());
    };
    return PackManifest(unpacked.manifest, unpacked.manifestName, {}, read);
}
