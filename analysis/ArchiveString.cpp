#include "analysis/ArchiveString.h"

#include "platform/Windows1252.h"

#include <vector>

namespace {

constexpr std::uint8_t kWordLengthFollows = 0xFF;
constexpr std::uint16_t kWideMarker = 0xFFFE;
constexpr std::uint16_t kLongLengthFollows = 0xFFFF;

enum class Width { Narrow, Wide };

struct Prefix {
    Width width = Width::Narrow;
    std::uint32_t length = 0;
};

// Reads one prefix; a wide marker may appear only in the first prefix of a string.
std::optional<Prefix> ReadPrefix(CByteReader& reader, bool wideAllowed) {
    const auto byteLength = reader.U8();
    if (!byteLength) {
        return std::nullopt;
    }
    if (*byteLength != kWordLengthFollows) {
        return Prefix{Width::Narrow, *byteLength};
    }
    const auto wordLength = reader.U16();
    if (!wordLength) {
        return std::nullopt;
    }
    if (*wordLength == kWideMarker) {
        if (!wideAllowed) {
            return std::nullopt;
        }
        const auto inner = ReadPrefix(reader, false);
        return inner ? std::optional<Prefix>(Prefix{Width::Wide, inner->length}) : std::nullopt;
    }
    if (*wordLength != kLongLengthFollows) {
        return Prefix{Width::Narrow, *wordLength};
    }
    const auto longLength = reader.U32();
    return longLength ? std::optional<Prefix>(Prefix{Width::Narrow, *longLength}) : std::nullopt;
}

std::optional<std::string> ReadWide(CByteReader& reader, std::uint32_t length) {
    std::vector<std::uint16_t> units;
    units.reserve(length);
    for (std::uint32_t i = 0; i < length; ++i) {
        const auto unit = reader.U16();
        if (!unit) {
            return std::nullopt;
        }
        units.push_back(*unit);
    }
    return WideToWindows1252(units);
}

} // namespace

std::optional<std::string> ReadArchiveString(CByteReader& reader) {
    const auto prefix = ReadPrefix(reader, true);
    if (!prefix || prefix->length > kMaxArchiveStringLength) {
        return std::nullopt;
    }
    if (prefix->width == Width::Wide) {
        return ReadWide(reader, prefix->length);
    }
    const auto bytes = reader.Bytes(prefix->length);
    if (!bytes) {
        return std::nullopt;
    }
    return std::string(reinterpret_cast<const char*>(bytes->data()), bytes->size());
}
