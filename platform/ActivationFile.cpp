#include "platform/ActivationFile.h"

#include "platform/HomeDirectory.h"

#include <cstdlib>
#include <fstream>
#include <system_error>

namespace {

constexpr const char* kServiceName = "MW_Injector.OLE";

std::filesystem::path DataHome() {
    if (const char* data = std::getenv("XDG_DATA_HOME"); data != nullptr && data[0] != '\0') {
        return data;
    }
    return HomeDirectory() / ".local" / "share";
}

// The bus splits Exec like a shell, so a path with blanks or quotes is quoted.
std::string ShellWord(const std::string& text) {
    const bool plain = text.find_first_not_of("abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ"
                                              "0123456789/._-+,:@%") == std::string::npos;
    if (plain && !text.empty()) {
        return text;
    }
    std::string quoted = "'";
    for (char c : text) {
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    }
    return quoted + "'";
}

// The bus reads the file as a key file, where a backslash starts an escape,
// before it splits Exec.
std::string KeyFileValue(const std::string& text) {
    std::string escaped;
    for (char c : text) {
        escaped += c == '\\' ? std::string("\\\\") : std::string(1, c);
    }
    return escaped;
}

} // namespace

std::filesystem::path ActivationFilePath() {
    return DataHome() / "dbus-1" / "services" / (std::string(kServiceName) + ".service");
}

std::string ActivationFileText(const std::filesystem::path& executable) {
    return std::string("[D-BUS Service]\nName=") + kServiceName +
           "\nExec=" + KeyFileValue(ShellWord(executable.string())) + " -Automation\n";
}

bool WriteActivationFile(const std::filesystem::path& executable) {
    const auto path = ActivationFilePath();
    std::error_code error;
    std::filesystem::create_directories(path.parent_path(), error);
    if (error) {
        return false;
    }
    auto temporary = path;
    temporary += ".tmp";
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        out << ActivationFileText(executable);
        if (!out.flush()) {
            return false;
        }
    }
    std::filesystem::rename(temporary, path, error);
    return !error;
}

std::filesystem::path RunningExecutablePath() {
    std::error_code error;
    auto path = std::filesystem::read_symlink("/proc/self/exe", error);
    return error ? std::filesystem::path() : path;
}
