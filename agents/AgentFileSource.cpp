#include "agents/AgentFileSource.h"

#include "core/KitException.h"
#include "core/StringTable.h"
#include "platform/FilePrefetch.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>

std::size_t CMemoryAgentSource::Read(std::uint8_t* out, std::size_t count) {
    const std::size_t available = std::min<std::size_t>(count, m_bytes.size() - m_position);
    if (available > 0) { // an empty span may have no data pointer at all
        std::memcpy(out, m_bytes.data() + m_position, available);
        m_position += available;
    }
    return available;
}

void CMemoryAgentSource::Skip(std::uint64_t count) {
    m_position += static_cast<std::size_t>(std::min<std::uint64_t>(count, Remaining()));
}

CFileAgentSource::CFileAgentSource(const std::string& path)
    : m_path(path), m_file(::open(path.c_str(), O_RDONLY | O_CLOEXEC)) {
    const auto identity = m_file.IsOpen() ? FileIdentityOf(m_file.Get()) : std::nullopt;
    if (!identity) {
        FailReading();
    }
    m_identity = *identity;
    m_size = identity->size;
}

std::size_t CFileAgentSource::Read(std::uint8_t* out, std::size_t count) {
    count = static_cast<std::size_t>(std::min<std::uint64_t>(count, Remaining()));
    std::size_t done = 0;
    while (done < count) {
        const bool inWindow =
            m_position >= m_windowStart && m_position < m_windowStart + m_windowLength;
        if (!inWindow && count - done >= m_window.size()) {
            const std::size_t got = ReadAt(out + done, count - done, m_position);
            m_position += got;
            return done + got;
        }
        if (!inWindow) {
            m_windowStart = m_position;
            m_windowLength = ReadAt(m_window.data(), m_window.size(), m_position);
            if (m_windowLength == 0) {
                break;
            }
        }
        const auto offset = static_cast<std::size_t>(m_position - m_windowStart);
        const std::size_t n = std::min(count - done, m_windowLength - offset);
        std::memcpy(out + done, m_window.data() + offset, n);
        done += n;
        m_position += n;
    }
    return done;
}

// Up to `count` bytes from `at`, fewer only at the end of the file. Until a
// read finds its bytes missing from the page cache, each first tries the cache
// alone, which costs no more than an ordinary read.
std::size_t CFileAgentSource::ReadAt(std::uint8_t* out, std::size_t count, std::uint64_t at) {
    if (!m_waited) {
        const std::uint64_t expected =
            std::min<std::uint64_t>(count, m_size - std::min(at, m_size));
        const auto cached = ReadIfCached(m_file.Get(), out, count, at);
        if (cached && *cached >= expected) {
            return *cached;
        }
        m_waited = true;
    }
    std::size_t done = 0;
    while (done < count) {
        const ssize_t got =
            ::pread(m_file.Get(), out + done, count - done, static_cast<off_t>(at + done));
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got < 0) {
            FailReading();
        }
        if (got == 0) {
            break;
        }
        done += static_cast<std::size_t>(got);
    }
    return done;
}

void CFileAgentSource::FailReading() const {
    ThrowStringId(IDS_ERROR_READING_FILE, m_path.c_str());
}
