#pragma once

#include "core/KitException.h"

#include <functional>
#include <string>

// The message of the CKitException that `action` throws, or "(nothing thrown)".
inline std::string CaughtMessage(const std::function<void()>& action) {
    try {
        action();
    } catch (const CKitException& e) {
        return e.m_message;
    }
    return "(nothing thrown)";
}
