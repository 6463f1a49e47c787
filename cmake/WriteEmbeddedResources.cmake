# Script mode: writes OUTPUT, a C++ file with one byte array per entry of ENTRIES
# ("name=path|name=path...") and the lookup declared in res/EmbeddedResources.h.
string(REPLACE "|" ";" entries "${ENTRIES}")
set(arrays "")
set(table "")
set(index 0)
foreach(entry IN LISTS entries)
    string(FIND "${entry}" "=" eq)
    string(SUBSTRING "${entry}" 0 ${eq} name)
    math(EXPR start "${eq} + 1")
    string(SUBSTRING "${entry}" ${start} -1 path)
    file(READ "${path}" hex HEX)
    string(LENGTH "${hex}" hex_length)
    math(EXPR size "${hex_length} / 2")
    string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
    string(APPEND arrays "static const unsigned char kData${index}[] = {${bytes} 0};\n")
    string(APPEND table "    {\"${name}\", kData${index}, ${size}},\n")
    math(EXPR index "${index} + 1")
endforeach()
file(WRITE "${OUTPUT}.tmp" "// Generated from res/ by cmake/WriteEmbeddedResources.cmake. Do not edit.
#include \"res/EmbeddedResources.h\"
#include <cstddef>

namespace {
${arrays}
struct Entry {
    const char* name;
    const unsigned char* data;
    std::size_t size;
};
const Entry kEntries[] = {
${table}    {nullptr, nullptr, 0},
};
} // namespace

std::optional<std::string_view> FindEmbeddedResource(std::string_view name) {
    for (const Entry* e = kEntries; e->name != nullptr; ++e) {
        if (name == e->name) {
            return std::string_view(reinterpret_cast<const char*>(e->data), e->size);
        }
    }
    return std::nullopt;
}
")
file(COPY_FILE "${OUTPUT}.tmp" "${OUTPUT}" ONLY_IF_DIFFERENT)
file(REMOVE "${OUTPUT}.tmp")
