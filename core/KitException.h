#pragma once

#include <cstddef>

// The program's one exception type: the finished user message and nothing else.
// Thrown and caught by value; raising it needs no heap memory.
struct CKitException {
    static constexpr std::size_t kMessageSize = 512;
    char m_message[kMessageSize];
};

// Loads string `id` in the user's language into the shared 256-byte format
// buffer and formats it with the arguments (vsprintf rules) into `buffer`, which
// holds CKitException::kMessageSize bytes. A result longer than 511 bytes is cut
// at a character boundary. Returns `buffer`.
char* FormatStringId(char* buffer, unsigned id, ...);

// The same with a literal (untranslated) format.
char* FormatString(char* buffer, const char* format, ...) __attribute__((format(printf, 2, 3)));

// Format a message and throw it as a CKitException.
[[noreturn]] void ThrowStringId(unsigned id, ...);
[[noreturn]] void ThrowString(const char* format, ...) __attribute__((format(printf, 1, 2)));

// Shows the message to the user (see core/MessageBox.h) with one OK button.
void ReportError(const CKitException& e);
