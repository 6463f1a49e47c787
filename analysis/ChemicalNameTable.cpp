#include "analysis/ChemicalNameTable.h"

#include "analysis/ArchiveString.h"
#include "core/GameConfig.h"
#include "core/KitException.h"
#include "platform/ByteReader.h"

#include <cstdio>
#include <fstream>
#include <iterator>
#include <new>
#include <vector>

namespace {

constexpr const char* kLoadError = "Error loading chemical list";

// The most bytes a complete list can use: the 16-bit head, then 256 names of
// the longest accepted length in 16-bit characters with their longest prefix
// (1 + 2 + 1 + 2 + 4 bytes). Nothing past this point is ever read.
constexpr std::size_t kLongestPrefix = 10;
constexpr std::size_t kMaxListBytes =
    2 + CChemicalNameTable::kChemicalCount * (kMaxArchiveStringLength * 2 + kLongestPrefix);

[[noreturn]] void ThrowLoadError() {
    ThrowString("%s", kLoadError);
}

std::string TrimTrailingWhiteSpace(std::string name) {
    const auto end = name.find_last_not_of(" \t\n\v\f\r");
    name.erase(end == std::string::npos ? 0 : end + 1);
    return name;
}

std::vector<std::uint8_t> ReadListFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        ThrowLoadError();
    }
    std::vector<std::uint8_t> bytes(kMaxListBytes);
    in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (in.bad()) {
        ThrowLoadError();
    }
    bytes.resize(static_cast<std::size_t>(in.gcount()));
    return bytes;
}

} // namespace

void CChemicalNameTable::LoadChemicalNames(const std::string& dir) {
    std::string path;
    if (!FindLanguageFile(dir, "allchemicals", ".str", path)) {
        ThrowLoadError();
    }
    LoadChemicalNamesFromFile(path);
}

void CChemicalNameTable::LoadChemicalNamesFromFile(const std::string& path) {
    // Memory that runs out while the list is read is a list that cannot be loaded.
    try {
        LoadChemicalNamesFromBytes(ReadListFile(path));
    } catch (const std::bad_alloc&) {
        ThrowLoadError();
    }
}

void CChemicalNameTable::LoadChemicalNamesFromBytes(std::span<const std::uint8_t> bytes) {
    CByteReader reader(bytes);
    if (!reader.U16()) {
        ThrowLoadError();
    }
    for (std::size_t chemical = 0; chemical < kChemicalCount; ++chemical) {
        auto name = ReadArchiveString(reader);
        if (!name) {
            ThrowLoadError();
        }
        m_names[chemical] = TrimTrailingWhiteSpace(std::move(*name));
        if (m_names[chemical].empty()) {
            // Appended, not built with "<" + ...: GCC 12 reports a false overlap
            // for that at -O3.
            m_names[chemical].append("<").append(std::to_string(chemical)).append(">");
        }
    }
}
