#pragma once

#include "agents/CarriedFileType.h"
#include "core/KitException.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

class CDependencyFile;

// What becomes of one file an agent needs in the game's folders.
enum class ECarriedFileAction {
    kWrite,   // absent: written out of the agent file
    kKeep,    // present with the carried size, or present and not carried
    kReplace, // present with another size: deleted and written again
};

const char* CarriedFileActionName(ECarriedFileAction action);

struct CPlannedFile {
    ECarriedFileType type = ECarriedFileType::kImage;
    std::string name; // the reference's name, Windows-1252
    ECarriedFileAction action = ECarriedFileAction::kKeep;
    std::string path;                        // the file found (keep, replace) or written (write)
    const CDependencyFile* record = nullptr; // what is written (write, replace)
    std::string directory;                   // the folder the file belongs in
    std::optional<std::string> conversion;   // the macro sent once it is written
};

// Everything one injection or removal does, worked out before anything is
// changed or sent. The applet's own injection carries out such a plan, so a
// plan that is only printed tells exactly what a real run would do, in order.
struct CInjectionPlan {
    std::vector<CPlannedFile> m_files;
    // Raised once the files before it are installed; nothing more is sent then.
    std::optional<CKitException> m_failure;
    // The agent's own macros: its event scripts and installation script, or its
    // removal script.
    std::vector<std::string> m_scripts;
    bool m_countsUsage = false;
    std::uint16_t m_quantityBefore = 0;
    std::uint16_t m_quantityAfter = 0;
    std::uint32_t m_lastUsedBefore = 0;
    std::uint32_t m_lastUsedAfter = 0;

    // Every macro in the order it is sent: the conversion of each image
    // written, then, unless the plan fails, the agent's own macros.
    std::vector<std::string> Macros() const;
};
