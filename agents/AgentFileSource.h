#pragma once

#include "platform/FileDescriptor.h"
#include "platform/FileIdentity.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

// Where the reader takes an agent file's bytes from: a file on disk, or bytes
// in memory for tests and fuzzing. Reading moves forward only.
class IAgentFileSource {
public:
    virtual ~IAgentFileSource() = default;
    // Bytes from the current position to the end.
    virtual std::uint64_t Remaining() const = 0;
    // Reads up to `count` bytes; fewer only at the end. A read failure throws.
    virtual std::size_t Read(std::uint8_t* out, std::size_t count) = 0;
    // Moves past `count` bytes without reading them; count <= Remaining().
    virtual void Skip(std::uint64_t count) = 0;
    // Whether the same bytes can be read again from the file's path after
    // loading, so that the reader may leave pictures there.
    virtual bool ReadableLater() const = 0;
};

class CMemoryAgentSource : public IAgentFileSource {
public:
    explicit CMemoryAgentSource(std::span<const std::uint8_t> bytes) : m_bytes(bytes) {}

    std::uint64_t Remaining() const override { return m_bytes.size() - m_position; }
    std::size_t Read(std::uint8_t* out, std::size_t count) override;
    void Skip(std::uint64_t count) override;
    bool ReadableLater() const override { return false; }

private:
    std::span<const std::uint8_t> m_bytes;
    std::size_t m_position = 0;
};

// An open agent file of the size it had when opened. Bytes come through a
// window read at once, so that the magic, the agent chunks and the carried
// files' headers of a typical file take one system call; skipping only moves
// the position, so carried contents are never read while a file is listed.
// Failures are IDS_ERROR_READING_FILE with the path.
class CFileAgentSource : public IAgentFileSource {
public:
    explicit CFileAgentSource(const std::string& path);

    std::uint64_t Remaining() const override { return m_size - m_position; }
    std::size_t Read(std::uint8_t* out, std::size_t count) override;
    void Skip(std::uint64_t count) override { m_position += count; }
    // The file stays where it is while its agents are listed: extraction and
    // usage write-back rely on that too.
    bool ReadableLater() const override { return true; }
    // Whether a read had to wait for the disk, or might have: a scan then asks
    // for the files ahead.
    bool WaitedForDisk() const { return m_waited; }
    // The version of the file that was opened, as it was then.
    const CFileIdentity& Identity() const { return m_identity; }

private:
    // One page: a 32 x 32 thumbnail with its texts takes about 3 KiB, and
    // copying more than the reader uses costs as much as a system call saved.
    static constexpr std::size_t kWindowSize = 4096;

    std::size_t ReadAt(std::uint8_t* out, std::size_t count, std::uint64_t at);
    [[noreturn]] void FailReading() const;

    std::string m_path;
    CFileDescriptor m_file;
    CFileIdentity m_identity;
    std::uint64_t m_size = 0;
    std::uint64_t m_position = 0;
    std::array<std::uint8_t, kWindowSize> m_window;
    std::uint64_t m_windowStart = 0;
    std::size_t m_windowLength = 0;
    bool m_waited = false;
};
