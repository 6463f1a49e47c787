#pragma once

#include <windows.h>

#include <memory>
#include <string>

// Reads commands, one a line, from standard input on a thread of its own and
// posts each line to the game's main thread, where every COM call happens.
// End of input ends the reading, not the game.

// The thread message that carries one line: lParam is a std::string* in UTF-8
// that the receiver takes with TakeCommandLine.
inline constexpr UINT kCommandLineMessage = WM_APP + 1;

// mainThread must already have a message queue. Throws std::runtime_error
// when the thread cannot start.
void StartReadingCommands(DWORD mainThread);

std::unique_ptr<std::string> TakeCommandLine(const MSG& message);
