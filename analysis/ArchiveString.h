#pragma once

#include "platform/ByteReader.h"

#include <cstdint>
#include <optional>
#include <string>

// A length-prefixed string as the chemical list stores it. The prefix is one
// byte below 255; else 255 and a 16-bit length below 0xFFFE; else 0xFFFF and a
// 32-bit length. 0xFFFE instead marks 16-bit characters, followed by another
// prefix counting characters; those are narrowed to Windows-1252.

// The longest text accepted, in characters. Chemical names are single words;
// this is sixteen times what the one-byte prefix can count, and keeps a
// damaged 32-bit length from asking for gigabytes.
inline constexpr std::uint32_t kMaxArchiveStringLength = 4096;

// The string at the reader's position, or nullopt when the bytes end early, the
// length exceeds kMaxArchiveStringLength or the prefix is malformed. On
// nullopt the reader's position is unspecified.
std::optional<std::string> ReadArchiveString(CByteReader& reader);
