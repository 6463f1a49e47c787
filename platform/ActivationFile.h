#pragma once

#include <filesystem>
#include <string>

// The session bus starts the applet when the game asks for its automation object,
// by the service file this writes:
// ${XDG_DATA_HOME:-$HOME/.local/share}/dbus-1/services/MW_Injector.OLE.service.
std::filesystem::path ActivationFilePath();

// The file's text for an executable: its bus name and the command that starts it.
std::string ActivationFileText(const std::filesystem::path& executable);

// Writes the file for `executable`, creating its folders; false on failure.
bool WriteActivationFile(const std::filesystem::path& executable);

// The absolute path of the running executable; empty when it cannot be found.
std::filesystem::path RunningExecutablePath();
