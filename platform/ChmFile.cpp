#include "platform/ChmFile.h"

#include <chm_lib.h>

void CChmFile::Closer::operator()(chmFile* file) const {
    chm_close(file);
}

CChmFile::CChmFile(const std::string& path) : m_file(chm_open(path.c_str())) {}

CChmFile::~CChmFile() = default;

std::optional<std::vector<std::uint8_t>> CChmFile::ReadObject(std::string_view path) const {
    if (!IsOpen()) {
        return std::nullopt;
    }
    // Appended rather than concatenated: GCC 12 at -O3 falsely reports an
    // overlapping copy for "/" + std::string.
    std::string absolute = "/";
    absolute.append(path.starts_with('/') ? path.substr(1) : path);
    chmUnitInfo unit{};
    if (chm_resolve_object(m_file.get(), absolute.c_str(), &unit) != CHM_RESOLVE_SUCCESS ||
        unit.length > kMaxObjectSize) {
        return std::nullopt;
    }
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(unit.length));
    if (bytes.empty()) {
        return bytes;
    }
    const LONGINT64 read = chm_retrieve_object(m_file.get(), &unit, bytes.data(), 0,
                                               static_cast<LONGINT64>(unit.length));
    if (read != static_cast<LONGINT64>(unit.length)) {
        return std::nullopt;
    }
    return bytes;
}
