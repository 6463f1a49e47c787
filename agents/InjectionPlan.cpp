#include "agents/InjectionPlan.h"

const char* CarriedFileActionName(ECarriedFileAction action) {
    switch (action) {
    case ECarriedFileAction::kWrite:
        return "write";
    case ECarriedFileAction::kReplace:
        return "replace";
    case ECarriedFileAction::kKeep:
        break;
    }
    return "keep";
}

std::vector<std::string> CInjectionPlan::Macros() const {
    std::vector<std::string> macros;
    for (const auto& file : m_files) {
        if (file.conversion) {
            macros.push_back(*file.conversion);
        }
    }
    if (!m_failure) {
        macros.insert(macros.end(), m_scripts.begin(), m_scripts.end());
    }
    return macros;
}
