#pragma once

#include <string>
#include <vector>

// What taking in dropped agent files needs from the main sheet.
class IDropTarget {
public:
    virtual ~IDropTarget() = default;
    // The game's Objects directory, ending in a path separator; throws
    // CKitException when the game's settings cannot be read.
    virtual std::string ObjectsDirectory() = 0;
    // Loads one agent file into the catalogue; throws CKitException when it
    // is not a usable agent file, leaving the catalogue as it was.
    virtual void AddAgentFile(const std::string& path) = 0;
    // Refills the Agents page's list, if that page has been shown.
    virtual void RefreshAgentList() = 0;
    virtual void ActivateAgentsPage() = 0;
};

// Moves the dropped files, in the order given, into the Objects directory and
// adds each to the catalogue. The first file that cannot be taken is reported
// and ends the drop: the files before it stay moved, the ones after it are not
// touched. The Agents page is refreshed and brought forward in any case.
void ProcessDroppedFiles(const std::vector<std::string>& paths, IDropTarget& target);
