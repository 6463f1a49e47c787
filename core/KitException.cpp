#include "core/KitException.h"

#include "core/MessageBox.h"
#include "core/StringTable.h"
#include "platform/Utf8.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>

namespace {

// Formats are at most 255 bytes, as the string-table buffer holds.
constexpr std::size_t kFormatBufferSize = 256;
char g_formatBuffer[kFormatBufferSize];

// Cuts a message that filled the buffer back to the last whole UTF-8 character.
void TrimPartialCharacter(char* buffer, std::size_t length) {
    buffer[Utf8WholeLength(std::string_view(buffer, length))] = '\0';
}

char* FormatInto(char* buffer, const char* format, va_list args) {
    const int written = std::vsnprintf(buffer, CKitException::kMessageSize, format, args);
    if (written < 0) {
        buffer[0] = '\0';
    } else if (static_cast<std::size_t>(written) >= CKitException::kMessageSize) {
        TrimPartialCharacter(buffer, CKitException::kMessageSize - 1);
    }
    return buffer;
}

const char* LoadFormat(unsigned id) {
    std::strncpy(g_formatBuffer, LoadStringOrEmpty(id), kFormatBufferSize - 1);
    g_formatBuffer[kFormatBufferSize - 1] = '\0';
    TrimPartialCharacter(g_formatBuffer, std::strlen(g_formatBuffer));
    return g_formatBuffer;
}

[[noreturn]] void ThrowMessage(const char* message) {
    CKitException e;
    std::memcpy(e.m_message, message, CKitException::kMessageSize);
    throw e;
}

} // namespace

#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wformat-nonliteral"

char* FormatStringId(char* buffer, unsigned id, ...) {
    va_list args;
    va_start(args, id);
    FormatInto(buffer, LoadFormat(id), args);
    va_end(args);
    return buffer;
}

char* FormatString(char* buffer, const char* format, ...) {
    va_list args;
    va_start(args, format);
    FormatInto(buffer, format, args);
    va_end(args);
    return buffer;
}

void ThrowStringId(unsigned id, ...) {
    char message[CKitException::kMessageSize];
    va_list args;
    va_start(args, id);
    FormatInto(message, LoadFormat(id), args);
    va_end(args);
    ThrowMessage(message);
}

void ThrowString(const char* format, ...) {
    char message[CKitException::kMessageSize];
    va_list args;
    va_start(args, format);
    FormatInto(message, format, args);
    va_end(args);
    ThrowMessage(message);
}

#pragma GCC diagnostic pop

void ReportError(const CKitException& e) {
    ShowMessage(e.m_message, MessageKind::Warning);
}
