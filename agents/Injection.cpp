#include "agents/AgentFile.h"
#include "agents/AgentFileFormat.h"
#include "agents/AgentNames.h"
#include "agents/Clock.h"
#include "agents/Extraction.h"
#include "app/KitException.h"
#include "app/StringTable.h"
#include "gamelink/GameLink.h"
#include "platform/ByteReader.h"
#include "platform/FileDescriptor.h"
#include "platform/FileNameCase.h"
#include "platform/TextCodec.h"

#include <cstring>
#include <fcntl.h>
#include <optional>
#include <sys/stat.h>

namespace {

constexpr std::uint16_t kImage = 0;
constexpr std::uint16_t kSound = 1;
// The conversion macro carries the first characters of an image's name.
constexpr std::size_t kConversionNameLength = 4;

const std::string& DirectoryForType(std::uint16_t type, const std::string& imagesDir,
                                    const std::string& soundsDir) {
    if (type == kImage) {
        return imagesDir;
    }
    if (type == kSound) {
        return soundsDir;
    }
    ThrowStringId(IDS_UNEXPECTED_FILE_FORMAT);
}

// Tells the game to convert a newly written image. A name shorter than four
// characters sends only the characters it has, as a zero in the middle of the
// text would end the macro there.
std::string ConversionMacro(const std::string& name) {
    return "inst,sys: conv " + name.substr(0, kConversionNameLength) + " 0,endm";
}

struct ExistingFile {
    std::string path;
    std::uint64_t size = 0;
};

// The file that `name` means in `directory`, spelled as the folder spells it.
std::optional<ExistingFile> FindFile(const std::string& directory, const std::string& name) {
    const auto path = FindFileIgnoringCase(directory, Windows1252ToUtf8(name));
    struct stat status {};
    if (!path || ::stat(path->c_str(), &status) != 0) {
        return std::nullopt;
    }
    return ExistingFile{*path, static_cast<std::uint64_t>(status.st_size)};
}

// Reference and record names are equal ignoring Windows-1252 case, but file
// names compare ignoring ASCII case only. The reference's name is looked for
// first, then the record's, so a file already written under the record's name
// is recognised and not rewritten on every injection.
std::optional<ExistingFile> FindExistingFile(const std::string& directory,
                                             const AgentDependencyRef& reference,
                                             const CDependencyFile* record) {
    if (auto found = FindFile(directory, reference.name)) {
        return found;
    }
    if (record != nullptr && record->m_name != reference.name) {
        return FindFile(directory, record->m_name);
    }
    return std::nullopt;
}

} // namespace

std::int32_t CAgent::TimeUntilAvailable() const {
    // Signed 32-bit differences, as the stored times are 32-bit: a last-used
    // time in the future leaves more than the whole interval to wait.
    const auto elapsed = static_cast<std::int32_t>(CurrentTime() - m_lastUsed);
    const auto remaining =
        static_cast<std::int32_t>(m_reuseInterval - static_cast<std::uint32_t>(elapsed));
    return remaining < 0 ? 0 : remaining;
}

bool CAgent::IsAvailable() const {
    return m_quantity != 0 && TimeUntilAvailable() == 0;
}

const CDependencyFile* CAgent::FindDependencyFile(std::uint32_t type,
                                                  const std::string& name) const {
    if (m_owner == nullptr) {
        return nullptr;
    }
    for (const auto& record : m_owner->m_dependencies) {
        if (record->m_type == type && EqualIgnoringCase1252(record->m_name, name)) {
            return record.get();
        }
    }
    return nullptr;
}

void CAgent::ExtractDependency(const CDependencyFile& record, const std::string& imagesDir,
                               const std::string& soundsDir) const {
    ExtractCarriedFile(record, record.m_type != kImage ? soundsDir : imagesDir);
}

void CAgent::InstallDependencies(const std::string& imagesDir, const std::string& soundsDir,
                                 CGameLink& link) const {
    for (std::size_t i = 0; i < m_dependencyCount; ++i) {
        const AgentDependencyRef& reference = m_dependencies[i];
        const std::string& directory = DirectoryForType(reference.type, imagesDir, soundsDir);
        RequireSafeCarriedName(reference.name);
        const CDependencyFile* record = FindDependencyFile(reference.type, reference.name);
        const auto existing = FindExistingFile(directory, reference, record);
        if (existing) {
            // A file the agent does not carry, or one of the carried size, is
            // kept; so is one that cannot be deleted.
            if (record == nullptr || existing->size == record->m_size ||
                ::unlink(existing->path.c_str()) != 0) {
                continue;
            }
        }
        if (record == nullptr) {
            ThrowStringId(IDS_REQUIRED_FILE_MISSING,
                          CarriedFilePath(directory, reference.name).c_str());
        }
        // A replaced file keeps the name the folder gave it.
        ExtractCarriedFile(*record, directory,
                           existing ? existing->path : CarriedFilePath(directory, record->m_name));
        if (reference.type == kImage) {
            link.ExecuteMacro(ConversionMacro(reference.name).c_str());
        }
    }
}

void CAgent::Inject(CGameLink& link, bool countUsage) {
    if (countUsage && !IsAvailable()) {
        return;
    }
    for (const auto& script : m_scripts) {
        link.ExecuteMacro(script.c_str());
    }
    link.ExecuteMacro(m_installScript.c_str());
    if (!countUsage) {
        return;
    }
    m_lastUsed = CurrentTime();
    if (m_quantity != 0 && m_quantity != kUnlimited) {
        --m_quantity;
    }
    RecordUsage();
}

void CAgent::RecordUsage() const {
    using namespace AgentFileFormat;
    if (m_owner == nullptr) {
        return;
    }
    const char* path = m_owner->m_path.c_str();
    CFileDescriptor file(::open(path, O_RDWR | O_CLOEXEC));
    if (!file.IsOpen()) {
        ThrowStringId(IDS_ERROR_WRITING_FILE, path);
    }
    char tag[kTagSize];
    const ssize_t got = ::pread(file.Get(), tag, kTagSize, m_chunkOffset);
    if (got < 0) {
        ThrowStringId(IDS_ERROR_WRITING_FILE, path);
    }
    // Anything but this agent's chunk at its offset means the file was changed
    // since it was read; writing would damage whatever is there now.
    if (static_cast<std::size_t>(got) != kTagSize || std::memcmp(tag, kAgentTag, kTagSize) != 0) {
        ThrowStringId(IDS_UNEXPECTED_FILE_FORMAT);
    }
    std::uint8_t usage[kUsageSize];
    StoreU16(usage, m_quantity);
    StoreU32(usage + 2, m_lastUsed);
    if (::pwrite(file.Get(), usage, kUsageSize, m_chunkOffset + kChunkHeaderSize) !=
            static_cast<ssize_t>(kUsageSize) ||
        !file.Close()) {
        ThrowStringId(IDS_ERROR_WRITING_FILE, path);
    }
}

void CAgent::Remove(CGameLink& link) const {
    if (!m_removeScript.empty()) {
        link.ExecuteMacro(m_removeScript.c_str());
    }
}
