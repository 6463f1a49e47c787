#include "tools/kivtool/JsonText.h"

#include "platform/TextCodec.h"

#include <cstdio>

std::string JsonString(std::string_view text) {
    std::string out = "\"";
    for (const char c : text) {
        switch (c) {
        case '"':
            out += "\\\"";
            break;
        case '\\':
            out += "\\\\";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        case '\t':
            out += "\\t";
            break;
        default:
            if (static_cast<unsigned char>(c) < 0x20) {
                char escaped[8];
                std::snprintf(escaped, sizeof escaped, "\\u%04x", static_cast<unsigned>(c));
                out += escaped;
            } else {
                out += c;
            }
        }
    }
    return out + "\"";
}

std::string Json1252(std::string_view windows1252) {
    return JsonString(Windows1252ToUtf8(windows1252));
}

std::string OneLine(std::string_view windows1252) {
    std::string out;
    for (const char c : Windows1252ToUtf8(windows1252)) {
        out += c == '\n' ? std::string("\\n") : c == '\r' ? std::string("\\r") : std::string(1, c);
    }
    return out;
}

const char* CarriedTypeName(std::uint32_t type) {
    return type == 0 ? "image" : type == 1 ? "sound" : "unknown";
}

void AddItem(std::string& list, const std::string& item, const char* separator) {
    if (!list.empty()) {
        list += separator;
    }
    list += item;
}
