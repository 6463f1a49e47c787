#include "ui/DroppedFiles.h"

#include "agents/AgentCatalogue.h"
#include "core/KitException.h"
#include "core/StringTable.h"

#include <filesystem>
#include <system_error>

namespace {

std::string FileNameOf(const std::string& path) {
    const auto separator = path.find_last_of("/\\");
    return separator == std::string::npos ? path : path.substr(separator + 1);
}

bool Exists(const std::string& path) {
    std::error_code error;
    return std::filesystem::symlink_status(path, error).type() !=
           std::filesystem::file_type::not_found;
}

// Copies without ever replacing anything; a copy that breaks off leaves nothing.
void CopyNew(const std::string& source, const std::string& destination) {
    if (!Exists(destination)) {
        std::error_code error;
        if (std::filesystem::copy_file(source, destination, std::filesystem::copy_options::none,
                                       error)) {
            return;
        }
        if (error != std::errc::file_exists) {
            std::filesystem::remove(destination, error);
        }
    }
    ThrowStringId(IDS_ERROR_READING_FILE, source.c_str());
}

void MoveIntoCatalogue(const std::string& source, IDropTarget& target) {
    const std::string destination = target.ObjectsDirectory() + FileNameOf(source);
    if (!CAgentCatalogue::IsAgentFileName(source)) {
        ThrowStringId(IDS_NOT_A_KIV_FILE, source.c_str());
    }
    CopyNew(source, destination);
    target.AddAgentFile(destination);
    // The file now lives in the Objects directory; a source that cannot be
    // deleted merely stays behind as a copy.
    std::error_code ignored;
    std::filesystem::remove(source, ignored);
}

} // namespace

void ProcessDroppedFiles(const std::vector<std::string>& paths, IDropTarget& target) {
    try {
        for (const std::string& path : paths) {
            MoveIntoCatalogue(path, target);
        }
    } catch (const CKitException& e) {
        ReportError(e);
    }
    target.RefreshAgentList();
    target.ActivateAgentsPage();
}
