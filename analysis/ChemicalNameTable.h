#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

// The game's 256 chemical names by chemical number, as Windows-1252 bytes.
// Every entry is empty until a load; after a full load none is.
class CChemicalNameTable {
public:
    static constexpr std::size_t kChemicalCount = 256;

    // Loads "allchemicals.str" (or the user's language variant of it) from
    // `dir`, which ends in a path separator. Throws CKitException with the
    // fixed text "Error loading chemical list" on any failure; the entries read
    // before the failure keep their values, the others are left as they were.
    void LoadChemicalNames(const std::string& dir);

    // The same from a list file named directly.
    void LoadChemicalNamesFromFile(const std::string& path);

    // The same from the list file's bytes.
    void LoadChemicalNamesFromBytes(std::span<const std::uint8_t> bytes);

    const std::string& Name(std::size_t chemical) const { return m_names.at(chemical); }

private:
    std::array<std::string, kChemicalCount> m_names;
};
