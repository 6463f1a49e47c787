#pragma once

#include <windows.h>

#include <cstdint>

// The class identifier under which the bridge serves "MW_Injector.OLE".
inline constexpr CLSID kInjectorClassId = {
    0xA3D4E5F6, 0x1B2C, 0x4D3E, {0x8F, 0x9A, 0x0B, 0x1C, 0x2D, 0x3E, 0x4F, 0x50}};

// Registers this file as the local server of "MW_Injector.OLE" in both registry
// views: a 32-bit game looks only in the 32-bit one. A WineBridgeContract status.
std::uint32_t RegisterInjectorServer();
