#include "agents/AgentFile.h"
#include "agents/AgentFileFormat.h"
#include "agents/AgentNames.h"
#include "agents/Clock.h"
#include "agents/Extraction.h"
#include "agents/InjectionPlan.h"
#include "agents/UsageAccount.h"
#include "core/KitException.h"
#include "core/StringTable.h"
#include "gamelink/GameContract.h"
#include "gamelink/GameLink.h"
#include "platform/FileNameCase.h"
#include "platform/Windows1252.h"

#include <map>
#include <optional>
#include <sys/stat.h>

namespace {

// The conversion macro carries the first characters of an image's name.
constexpr std::size_t kConversionNameLength = 4;

const std::string& DirectoryForType(ECarriedFileType type, const std::string& imagesDir,
                                    const std::string& soundsDir) {
    if (type == ECarriedFileType::kImage) {
        return imagesDir;
    }
    if (type == ECarriedFileType::kSound) {
        return soundsDir;
    }
    ThrowStringId(IDS_UNEXPECTED_FILE_FORMAT);
}

// Tells the game to convert a newly written image. A name shorter than four
// characters sends only the characters it has, as a zero in the middle of the
// text would end the macro there.
std::string ConversionMacro(const std::string& name) {
    char macro[CKitException::kMessageSize];
    return FormatString(macro, GameContract::kMacroConvertImage,
                        static_cast<int>(kConversionNameLength), name.c_str());
}

struct ExistingFile {
    std::string path;
    std::uint64_t size = 0;
};

// The game's folders as they will be once the steps planned so far are done,
// so that a file planned for writing counts as present for the references
// after it, as it would in a run that writes as it goes.
class CPlannedFolders {
public:
    // The file that `name` means in `directory`, spelled as the folder spells it.
    std::optional<ExistingFile> Find(const std::string& directory, const std::string& name) const {
        if (const auto planned = m_planned.find(Key(CarriedFilePath(directory, name)));
            planned != m_planned.end()) {
            return planned->second;
        }
        const auto path = FindFileIgnoringCase(directory, Windows1252ToUtf8(name));
        struct stat status {};
        if (!path || ::stat(path->c_str(), &status) != 0) {
            return std::nullopt;
        }
        return ExistingFile{*path, static_cast<std::uint64_t>(status.st_size)};
    }
    void Add(const std::string& path, std::uint64_t size) {
        m_planned[Key(path)] = ExistingFile{path, size};
    }

private:
    // File names compare ignoring ASCII case, as the lookup compares them.
    static std::string Key(const std::string& path) { return FoldedAsciiCase(path); }

    std::map<std::string, ExistingFile> m_planned;
};

// Reference and record names are equal ignoring Windows-1252 case, but file
// names compare ignoring ASCII case only. The reference's name is looked for
// first, then the record's, so a file already written under the record's name
// is recognised and not rewritten on every injection.
std::optional<ExistingFile> FindExistingFile(const CPlannedFolders& folders,
                                             const std::string& directory,
                                             const AgentDependencyRef& reference,
                                             const CDependencyFile* record) {
    if (auto found = folders.Find(directory, reference.name)) {
        return found;
    }
    if (record != nullptr && record->m_name != reference.name) {
        return folders.Find(directory, record->m_name);
    }
    return std::nullopt;
}

// Decides what becomes of one reference's file: the one place where the game's
// folders are looked at.
CPlannedFile PlanFile(const CAgent& agent, const AgentDependencyRef& reference,
                      const std::string& imagesDir, const std::string& soundsDir,
                      CPlannedFolders& folders) {
    CPlannedFile planned;
    planned.type = reference.type;
    planned.name = reference.name;
    planned.directory = DirectoryForType(reference.type, imagesDir, soundsDir);
    RequireSafeCarriedName(reference.name);
    planned.record = agent.FindDependencyFile(reference.type, reference.name);
    if (const auto existing =
            FindExistingFile(folders, planned.directory, reference, planned.record)) {
        planned.path = existing->path;
        // A file the agent does not carry, or one of the carried size, is kept.
        if (planned.record == nullptr || existing->size == planned.record->m_size) {
            return planned;
        }
        // A replaced file keeps the name the folder gave it.
        planned.action = ECarriedFileAction::kReplace;
    } else if (planned.record == nullptr) {
        ThrowStringId(IDS_REQUIRED_FILE_MISSING,
                      CarriedFilePath(planned.directory, reference.name).c_str());
    } else {
        planned.action = ECarriedFileAction::kWrite;
        planned.path = CarriedFilePath(planned.directory, planned.record->m_name);
    }
    folders.Add(planned.path, planned.record->m_size);
    if (reference.type == ECarriedFileType::kImage) {
        planned.conversion = ConversionMacro(reference.name);
    }
    return planned;
}

// The files of every reference in order, up to the first that fails.
CInjectionPlan PlanFiles(const CAgent& agent, const std::string& imagesDir,
                         const std::string& soundsDir) {
    CInjectionPlan plan;
    CPlannedFolders folders;
    try {
        for (std::size_t i = 0; i < agent.m_dependencyCount; ++i) {
            plan.m_files.push_back(
                PlanFile(agent, agent.m_dependencies[i], imagesDir, soundsDir, folders));
        }
    } catch (const CKitException& failure) {
        plan.m_failure = failure;
    }
    return plan;
}

void InstallFile(const CPlannedFile& file, CGameLink& link) {
    if (file.action == ECarriedFileAction::kKeep) {
        return;
    }
    if (file.action == ECarriedFileAction::kWrite) {
        ExtractCarriedFile(*file.record, file.directory, file.path);
    } else if (!ReplaceWithCarriedFile(*file.record, file.directory, file.path)) {
        return; // a file the folder does not let be replaced is kept, without a message
    }
    if (file.conversion) {
        link.ExecuteMacro(file.conversion->c_str());
    }
}

void InstallFiles(const CInjectionPlan& plan, CGameLink& link) {
    for (const auto& file : plan.m_files) {
        InstallFile(file, link);
    }
    if (plan.m_failure) {
        throw *plan.m_failure;
    }
}

// The macros of an injection: every event script in order, then the
// installation script, which is sent even when it is empty.
std::vector<std::string> InjectionScripts(const CAgent& agent) {
    std::vector<std::string> scripts = agent.m_scripts;
    scripts.push_back(agent.m_installScript);
    return scripts;
}

void SendAll(const std::vector<std::string>& macros, CGameLink& link) {
    for (const auto& macro : macros) {
        link.ExecuteMacro(macro.c_str());
    }
}

// The seconds still to wait after a use at `lastUsed`, in signed 32-bit
// differences as the stored times are 32-bit: a last-used time in the future
// leaves more than the whole interval to wait.
std::int32_t TimeUntilAvailableAfter(const CAgent& agent, std::uint32_t lastUsed) {
    const auto elapsed = static_cast<std::int32_t>(CurrentTime() - lastUsed);
    const auto remaining =
        static_cast<std::int32_t>(agent.m_reuseInterval - static_cast<std::uint32_t>(elapsed));
    return remaining < 0 ? 0 : remaining;
}

} // namespace

std::int32_t CAgent::TimeUntilAvailable() const {
    return TimeUntilAvailableAfter(*this, m_lastUsed);
}

bool CAgent::IsAvailable() const {
    return m_quantity != 0 && TimeUntilAvailable() == 0;
}

const CDependencyFile* CAgent::FindDependencyFile(ECarriedFileType type,
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

void CAgent::RequireAvailable() const {
    RequireAvailable(Usage());
}

void CAgent::RequireAvailable(const CAgentUsage& usage) const {
    const std::string name = Windows1252ToUtf8(m_name);
    if (usage.quantity == 0) {
        ThrowStringId(IDS_NO_USES_LEFT, name.c_str());
    }
    if (const std::int32_t wait = TimeUntilAvailableAfter(*this, usage.lastUsed); wait > 0) {
        ThrowStringId(IDS_STILL_WAITING, name.c_str(), static_cast<int>(wait));
    }
}

CInjectionPlan CAgent::PlanInjection(const std::string& imagesDir,
                                     const std::string& soundsDir) const {
    RequireAvailable();
    CInjectionPlan plan = PlanFiles(*this, imagesDir, soundsDir);
    plan.m_quantityBefore = plan.m_quantityAfter = m_quantity;
    plan.m_lastUsedBefore = plan.m_lastUsedAfter = m_lastUsed;
    if (!plan.m_failure) {
        plan.m_scripts = InjectionScripts(*this);
        plan.m_countsUsage = true;
        const CAgentUsage after = UsageAfterOneUse(Usage(), CurrentTime());
        plan.m_quantityAfter = after.quantity;
        plan.m_lastUsedAfter = after.lastUsed;
    }
    return plan;
}

CInjectionPlan CAgent::PlanRemoval() const {
    CInjectionPlan plan;
    if (!m_removeScript.empty()) {
        plan.m_scripts.push_back(m_removeScript);
    }
    plan.m_quantityBefore = plan.m_quantityAfter = m_quantity;
    plan.m_lastUsedBefore = plan.m_lastUsedAfter = m_lastUsed;
    return plan;
}

void CAgent::CarryOut(const CInjectionPlan& plan, CGameLink& link, CUsageMemory& memory) {
    std::vector<std::uint8_t> asRead;
    if (plan.m_countsUsage) {
        asRead = ReadAvailableChunk(*this, memory);
    }
    InstallFiles(plan, link);
    SendAll(plan.m_scripts, link);
    if (plan.m_countsUsage) {
        CountUse(*this, asRead, memory);
    }
}

const char* CarriedFileActionName(ECarriedFileAction action) {
    switch (action) {
    case ECarriedFileAction::kWrite:
        return "write";
    case ECarriedFileAction::kReplace:
        return "replace";
    case ECarriedFileAction::kKeep:
        break;
    }
    return "keep";
}

std::vector<std::string> CInjectionPlan::Macros() const {
    std::vector<std::string> macros;
    for (const auto& file : m_files) {
        if (file.conversion) {
            macros.push_back(*file.conversion);
        }
    }
    if (!m_failure) {
        macros.insert(macros.end(), m_scripts.begin(), m_scripts.end());
    }
    return macros;
}
