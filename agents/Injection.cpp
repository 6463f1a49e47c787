#include "agents/Injection.h"

#include "agents/AgentFile.h"
#include "agents/AgentFileFormat.h"
#include "agents/AgentNames.h"
#include "agents/Availability.h"
#include "agents/Clock.h"
#include "agents/Extraction.h"
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

// The carried file of the agent's file that `reference` names: type and name
// equal, the name ignoring Windows-1252 case.
const CDependencyFile* FindCarriedFile(const CAgent& agent, const AgentDependencyRef& reference) {
    if (agent.File() == nullptr) {
        return nullptr;
    }
    for (const auto& record : agent.File()->CarriedFiles()) {
        if (record->m_type == reference.type &&
            EqualIgnoringCase1252(record->m_name, reference.name)) {
            return record.get();
        }
    }
    return nullptr;
}

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
    planned.record = FindCarriedFile(agent, reference);
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
        for (const auto& reference : agent.Dependencies()) {
            plan.m_files.push_back(PlanFile(agent, reference, imagesDir, soundsDir, folders));
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
    std::vector<std::string> scripts = agent.Scripts();
    scripts.push_back(agent.InstallScript());
    return scripts;
}

void SendAll(const std::vector<std::string>& macros, CGameLink& link) {
    for (const auto& macro : macros) {
        link.ExecuteMacro(macro.c_str());
    }
}

} // namespace

CInjectionPlan PlanInjection(const CAgent& agent, const std::string& imagesDir,
                             const std::string& soundsDir) {
    RequireAvailable(agent);
    const CAgentUsage before = agent.Usage();
    CInjectionPlan plan = PlanFiles(agent, imagesDir, soundsDir);
    plan.m_quantityBefore = plan.m_quantityAfter = before.quantity;
    plan.m_lastUsedBefore = plan.m_lastUsedAfter = before.lastUsed;
    if (!plan.m_failure) {
        plan.m_scripts = InjectionScripts(agent);
        plan.m_countsUsage = true;
        const CAgentUsage after = UsageAfterOneUse(before, CurrentTime());
        plan.m_quantityAfter = after.quantity;
        plan.m_lastUsedAfter = after.lastUsed;
    }
    return plan;
}

CInjectionPlan PlanRemoval(const CAgent& agent) {
    CInjectionPlan plan;
    if (!agent.RemoveScript().empty()) {
        plan.m_scripts.push_back(agent.RemoveScript());
    }
    const CAgentUsage usage = agent.Usage();
    plan.m_quantityBefore = plan.m_quantityAfter = usage.quantity;
    plan.m_lastUsedBefore = plan.m_lastUsedAfter = usage.lastUsed;
    return plan;
}

void CarryOut(CAgent& agent, const CInjectionPlan& plan, CGameLink& link, CUsageMemory& memory) {
    std::vector<std::uint8_t> asRead;
    if (plan.m_countsUsage) {
        asRead = ReadAvailableChunk(agent, memory);
    }
    InstallFiles(plan, link);
    SendAll(plan.m_scripts, link);
    if (plan.m_countsUsage) {
        CountUse(agent, asRead, memory);
    }
}
