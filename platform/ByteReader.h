#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

// The one reader for every binary format of the program: little-endian values
// out of a byte span, each read checked against the bytes remaining. A read that
// would pass the end returns nullopt and leaves the position unchanged, so a
// parser decides which message a short input gets.
class CByteReader {
public:
    explicit CByteReader(std::span<const std::uint8_t> bytes) : m_bytes(bytes) {}
    CByteReader(const void* data, std::size_t size)
        : m_bytes(static_cast<const std::uint8_t*>(data), size) {}

    std::uint64_t Position() const { return m_position; }
    std::uint64_t Remaining() const { return m_bytes.size() - m_position; }
    bool AtEnd() const { return Remaining() == 0; }

    std::optional<std::uint8_t> U8() { return Little<std::uint8_t>(); }
    std::optional<std::uint16_t> U16() { return Little<std::uint16_t>(); }
    std::optional<std::uint32_t> U32() { return Little<std::uint32_t>(); }
    std::optional<std::int32_t> I32() {
        auto v = U32();
        return v ? std::optional<std::int32_t>(static_cast<std::int32_t>(*v)) : std::nullopt;
    }

    // The next count bytes, without copying.
    std::optional<std::span<const std::uint8_t>> Bytes(std::uint64_t count) {
        if (count > Remaining()) {
            return std::nullopt;
        }
        auto result =
            m_bytes.subspan(static_cast<std::size_t>(m_position), static_cast<std::size_t>(count));
        m_position += count;
        return result;
    }

    bool Skip(std::uint64_t count) { return Bytes(count).has_value(); }

    // Fills `out` with consecutive u16 values in one pass (a loop the compiler
    // can vectorise); false, reading nothing, when fewer bytes remain.
    bool U16s(std::span<std::uint16_t> out) {
        const auto bytes = Bytes(std::uint64_t{out.size()} * 2);
        if (!bytes) {
            return false;
        }
        for (std::size_t i = 0; i < out.size(); ++i) {
            out[i] = static_cast<std::uint16_t>((*bytes)[2 * i] | (*bytes)[2 * i + 1] << 8);
        }
        return true;
    }

    // A string ended by a zero byte that lies inside the remaining bytes; the
    // terminator is consumed but not returned.
    std::optional<std::string_view> ZeroTerminated() {
        auto rest = m_bytes.subspan(static_cast<std::size_t>(m_position));
        for (std::size_t i = 0; i < rest.size(); ++i) {
            if (rest[i] == 0) {
                m_position += i + 1;
                return std::string_view(reinterpret_cast<const char*>(rest.data()), i);
            }
        }
        return std::nullopt;
    }

private:
    template <typename T> std::optional<T> Little() {
        if (sizeof(T) > Remaining()) {
            return std::nullopt;
        }
        T value = 0;
        for (std::size_t i = 0; i < sizeof(T); ++i) {
            value |= static_cast<T>(static_cast<T>(m_bytes[m_position + i]) << (8 * i));
        }
        m_position += sizeof(T);
        return value;
    }

    std::span<const std::uint8_t> m_bytes;
    std::uint64_t m_position = 0;
};

// Little-endian stores into a byte buffer, for the writers that pair the reader.
inline void StoreU16(std::uint8_t* out, std::uint16_t v) {
    out[0] = static_cast<std::uint8_t>(v);
    out[1] = static_cast<std::uint8_t>(v >> 8);
}
inline void StoreU32(std::uint8_t* out, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) {
        out[i] = static_cast<std::uint8_t>(v >> (8 * i));
    }
}
