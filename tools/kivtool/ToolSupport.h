#pragma once

#include <functional>
#include <optional>
#include <string>

struct CKitException;

// Exit statuses shared by every command.
constexpr int kExitOk = 0;
constexpr int kExitFailure = 1;
constexpr int kExitUsage = 2;

// True when the arguments after the command word ask for its help.
bool WantsHelp(int argc, char** argv);

// The operands of a command "[--json] OPERAND...": whether --json came first
// and where the operands start.
struct JsonOperands {
    bool json = false;
    int first = 1;
};
// Reads them after the command word. Returns the exit status when the command
// is done with already: its help was asked for, or no operand follows.
std::optional<int> ReadJsonOperands(int argc, char** argv, const char* usage,
                                    JsonOperands& operands);

// Runs a command "FILE DIR": its help, its usage, and `work` on the two
// operands, whose failure is printed and gives kExitFailure.
int RunFileAndFolderCommand(int argc, char** argv, const char* usage,
                            const std::function<void(const char* file, const char* folder)>& work);

// Prints "kivtool: <text>" on standard error.
void PrintError(const std::string& text);
void PrintError(const CKitException& error);

// Prints the usage text on standard error and returns kExitUsage.
int UsageError(const char* usage);

// A directory string that ends with a separator.
std::string AsDirectory(std::string directory);
