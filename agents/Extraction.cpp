#include "agents/Extraction.h"

#include "agents/AgentFile.h"
#include "agents/AgentNames.h"
#include "core/KitException.h"
#include "core/StringTable.h"
#include "platform/FileCopy.h"
#include "platform/FileDescriptor.h"
#include "platform/NewFile.h"

#include <cerrno>
#include <fcntl.h>
#include <new>

namespace {

// Carried images and sounds are shared game data: readable by everyone.
constexpr mode_t kExtractedFileMode = 0644;

// The answers by which a folder refuses to be changed by this user, as it
// would refuse to delete the file there.
bool IsRefusedByPermissions(int error) {
    return error == EACCES || error == EPERM || error == EROFS;
}

} // namespace

bool ReplaceWithCarriedFile(const CDependencyFile& record, const std::string& directory,
                            const std::string& destination) {
    RequireSafeCarriedName(record.m_name);
    const std::string& agentPath = record.m_owner->Path();
    try {
        const CFileDescriptor source(::open(agentPath.c_str(), O_RDONLY | O_CLOEXEC));
        if (!source.IsOpen()) {
            ThrowStringId(IDS_ERROR_READING_FILE, agentPath.c_str());
        }
        CNewFile target(directory, kExtractedFileMode);
        if (!target.IsOpen() && IsRefusedByPermissions(target.Error())) {
            return false;
        }
        if (!target.IsOpen() ||
            !CopyFileBytes(source.Get(), record.m_dataOffset, record.m_size, target.Get())) {
            ThrowStringId(IDS_ERROR_READING_FILE, agentPath.c_str());
        }
        if (!target.Commit(destination)) {
            if (IsRefusedByPermissions(target.Error())) {
                return false;
            }
            ThrowStringId(IDS_ERROR_READING_FILE, agentPath.c_str());
        }
    } catch (const std::bad_alloc&) {
        ThrowStringId(IDS_ERROR_ALLOCATING_MEMORY);
    }
    return true;
}

void ExtractCarriedFile(const CDependencyFile& record, const std::string& directory,
                        const std::string& destination) {
    if (!ReplaceWithCarriedFile(record, directory, destination)) {
        ThrowStringId(IDS_ERROR_READING_FILE, record.m_owner->Path().c_str());
    }
}

void ExtractCarriedFile(const CDependencyFile& record, const std::string& directory) {
    ExtractCarriedFile(record, directory, CarriedFilePath(directory, record.m_name));
}
