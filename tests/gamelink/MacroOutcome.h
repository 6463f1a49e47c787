#pragma once

#include "core/KitException.h"
#include "gamelink/GameLink.h"

#include <string>

// What the game answered to `macro`, or the message of what the link threw.
inline std::string MacroOutcome(CGameLink& link, const std::string& macro, bool once = false) {
    try {
        return once ? link.ExecuteMacroOnce(macro.c_str()) : link.ExecuteMacro(macro.c_str());
    } catch (const CKitException& e) {
        return e.m_message;
    }
}
