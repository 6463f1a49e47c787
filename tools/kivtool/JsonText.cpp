#include "tools/kivtool/JsonText.h"

#include "platform/Windows1252.h"

#include <cstdio>

JsonValue Json1252Value(std::string_view windows1252) {
    return Windows1252ToUtf8(windows1252);
}

std::string JsonDump(const JsonValue& value) {
    return value.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
}

void PrintJsonLines(const JsonValue& array) {
    std::string lines;
    for (const auto& item : array) {
        AddItem(lines, JsonDump(item), ",\n");
    }
    std::printf("[%s]\n", lines.c_str());
}

std::string JsonString(std::string_view text) {
    return JsonDump(JsonValue(text));
}

std::string Json1252(std::string_view windows1252) {
    return JsonDump(Json1252Value(windows1252));
}

std::string OneLine(std::string_view windows1252) {
    std::string out;
    for (const char c : Windows1252ToUtf8(windows1252)) {
        out += c == '\n' ? std::string("\\n") : c == '\r' ? std::string("\\r") : std::string(1, c);
    }
    return out;
}

const char* CarriedTypeName(ECarriedFileType type) {
    return type == ECarriedFileType::kImage   ? "image"
           : type == ECarriedFileType::kSound ? "sound"
                                              : "unknown";
}

void AddItem(std::string& list, const std::string& item, const char* separator) {
    if (!list.empty()) {
        list += separator;
    }
    list += item;
}
