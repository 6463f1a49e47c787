#pragma once

#include "platform/FileIdentity.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class CAgentFile;
class CFileAgentSource;
class CGameLink;
class IAgentFileSource;
struct CInjectionPlan;

// An agent's 16-bit picture. In a keyed picture every pixel of the first
// pixel's colour is transparent: drawing compares against that colour, so no
// mask is kept beside the pixels. Drawing it is the details display's
// (ui/AgentPictureDrawing.h).
class CAgentPicture {
public:
    // Copies width x height source pixels. Throws the literal "Error
    // allocating memory".
    void Create(const std::uint16_t* pixels, std::uint32_t width, std::uint32_t height,
                std::uint32_t pixelFormat, bool keyed);
    // Room for width x height pixels, left unset for the caller to fill, and
    // not keyed. Throws as Create does.
    std::uint16_t* Allocate(std::uint32_t width, std::uint32_t height, std::uint32_t pixelFormat);
    bool HasPicture() const { return m_pixels != nullptr; }

    std::unique_ptr<std::uint16_t[]> m_pixels;
    std::uint32_t m_width = 0;
    std::uint32_t m_height = 0;
    std::uint32_t m_pixelFormat = 0; // 1: 5-6-5; anything else: 5-5-5
    bool m_keyed = false;
    // Where the pixels lie in the agent file while they have not been read
    // (see CAgent::Picture); 0 when they are in memory or there are none.
    std::uint32_t m_fileOffset = 0;
};

// One dependency reference of an agent: a file it needs in the game's folders.
struct AgentDependencyRef {
    std::uint16_t type = 0; // 0 image, 1 sound
    std::string name;       // Windows-1252 bytes
};

// One "file" chunk: a carried image or sound. Its contents stay in the file.
class CDependencyFile {
public:
    CAgentFile* m_owner = nullptr;
    std::uint32_t m_dataOffset = 0; // absolute position of the first content byte
    std::string m_name;
    std::uint32_t m_size = 0;
    std::uint32_t m_type = 0; // 0 image, 1 sound
};

// One "agnt" chunk. Texts are Windows-1252 bytes exactly as stored.
class CAgent {
public:
    static constexpr std::size_t kMaxDependencies = 128;
    static constexpr std::uint16_t kUnlimited = 65535;

    // Usage accounting and injection (agents/Injection.cpp).
    std::int32_t TimeUntilAvailable() const;
    bool IsAvailable() const;
    const CDependencyFile* FindDependencyFile(std::uint32_t type, const std::string& name) const;
    void ExtractDependency(const CDependencyFile& record, const std::string& imagesDir,
                           const std::string& soundsDir) const;
    void InstallDependencies(const std::string& imagesDir, const std::string& soundsDir,
                             CGameLink& link) const;
    void Inject(CGameLink& link, bool countUsage);
    void RecordUsage() const;
    void Remove(CGameLink& link) const;

    // Raises the reason (no uses left, or the time still to wait) unless the
    // agent is available.
    void RequireAvailable() const;
    // What InstallDependencies followed by a counted Inject would do, for an
    // available agent; looks at the game's folders and changes nothing.
    CInjectionPlan PlanInjection(const std::string& imagesDir, const std::string& soundsDir) const;
    // What Remove would do.
    CInjectionPlan PlanRemoval() const;
    // Carries out a plan made for this agent: installs its files, sends its
    // macros and counts the usage it counts. A file that cannot be deleted is
    // kept, as InstallDependencies keeps it.
    void CarryOut(const CInjectionPlan& plan, CGameLink& link);
    // Stamps the time of use, takes one use and writes both back.
    void CountUsage();

    CAgentFile* m_owner = nullptr;
    std::uint32_t m_chunkOffset = 0;
    std::uint16_t m_quantity = 0; // 65535 unlimited, 0 none left
    std::uint32_t m_lastUsed = 0; // seconds since 1970-01-01 00:00 UTC
    std::uint32_t m_reuseInterval = 0;
    std::uint8_t m_reserved1 = 0;
    std::uint8_t m_reserved2 = 0;
    std::uint16_t m_reserved3 = 0;
    std::uint32_t m_reserved4 = 0;
    std::uint32_t m_reserved5 = 0;
    std::uint16_t m_reserved6 = 0;
    std::uint16_t m_reserved7 = 0;
    std::string m_name;
    std::string m_description;
    std::string m_installScript;
    std::string m_removeScript;
    std::uint16_t m_scriptCount = 0;
    std::vector<std::string> m_scripts;
    std::uint16_t m_dependencyCount = 0;
    // m_dependencyCount entries, sized to the count: a fixed table of 128 would
    // cost 5 KiB for every agent listed, most of which need one or two.
    std::vector<AgentDependencyRef> m_dependencies;

    // The picture with its pixels. Listing a file on disk leaves them in the
    // file, as it leaves the carried contents, and the first call reads them:
    // thousands of listed thumbnails would otherwise stay in memory though only
    // the selected agent's is shown. Without pixels when the file no longer
    // holds them.
    const CAgentPicture& Picture() const;
    // Width, height and format as listed; the pixels once Picture() read them.
    mutable CAgentPicture m_picture;
};

// One agent file in memory. Constructing it reads and checks the whole file,
// though it keeps neither carried contents nor, from a file on disk, pictures'
// pixels; it either yields a complete object or throws CKitException and
// leaves nothing behind.
class CAgentFile {
public:
    explicit CAgentFile(const std::string& path);
    // Reads from any source; `path` names the file in messages and for later
    // extraction, usage write-back and pictures.
    CAgentFile(const std::string& path, IAgentFileSource& source);
    // Reads an open file on disk and keeps the identity it had when opened.
    CAgentFile(const std::string& path, CFileAgentSource& source);
    CAgentFile(const CAgentFile&) = delete;
    CAgentFile& operator=(const CAgentFile&) = delete;

    std::string m_path;
    // The version of the file on disk that was read (all zero when read from
    // memory); the usage write-back moves it on to the version it wrote, so
    // that only someone else's change makes the file look changed.
    CFileIdentity m_identity;
    std::vector<std::unique_ptr<CAgent>> m_agents;
    std::vector<std::unique_ptr<CDependencyFile>> m_dependencies;
};
