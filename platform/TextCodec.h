#pragma once

#include <string>
#include <string_view>

// Text inside agent files and the chemical list is single-byte Windows-1252,
// kept byte for byte in memory; it becomes UTF-8 where it leaves the program
// (the screen, the D-Bus wire, file names). Bytes that Windows-1252 leaves
// undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D) map to the C1 control of that value.
std::string Windows1252ToUtf8(std::string_view text);
