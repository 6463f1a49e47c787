#pragma once

#include "wine/splicebox-bridge/BridgeService.h"

#include <windows.h>

#include <ole2.h>

#include <cstdint>
#include <string>

// The game's macro server "MWGS.OLE" as the bridge holds it: bound once, then
// called for every macro on the apartment's thread.
class CGameMacros {
public:
    CGameMacros() = default;
    ~CGameMacros();
    CGameMacros(const CGameMacros&) = delete;
    CGameMacros& operator=(const CGameMacros&) = delete;

    // The running game's object; S_OK when bound (also when it was already).
    HRESULT Bind();
    bool IsBound() const { return m_game != nullptr; }
    void Unbind();

    // Dispatch identifier 10 with the kind as VT_I2, the macro as a BSTR and
    // an empty BSTR by reference for the reply; the VT_BOOL result.
    MacroOutcome Execute(std::int16_t kind, const std::string& macro);
    bool Busy() const { return m_calling; }
    // False once a call to the game fails because its process is gone.
    bool StillThere();

private:
    IDispatch* m_game = nullptr;
    bool m_calling = false;
};
