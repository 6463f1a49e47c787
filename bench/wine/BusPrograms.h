#pragma once

#include <chrono>
#include <functional>
#include <string>
#include <sys/types.h>
#include <vector>

// The processes that own the names on the session bus for which `wanted`
// holds: the applet, a bridge, a game of this machine.
std::vector<pid_t> OwnersOf(const std::function<bool(const std::string&)>& wanted);

// Waits until every one of the processes has ended (a zombie has); throws
// std::runtime_error naming `what` after `timeout`.
void WaitUntilEnded(const std::vector<pid_t>& processes, const std::string& what,
                    std::chrono::milliseconds timeout);
