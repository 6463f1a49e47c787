#pragma once

#include <functional>
#include <string>

// The message of the CKitException that `action` throws, or "(nothing thrown)".
std::string CaughtMessage(const std::function<void()>& action);
