#include "agents/AgentFileSource.h"

#include "app/KitException.h"
#include "app/StringTable.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>

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
    struct stat status {};
    if (!m_file.IsOpen() || ::fstat(m_file.Get(), &status) != 0) {
        FailReading();
    }
    m_size = static_cast<std::uint64_t>(status.st_size);
}

std::size_t CFileAgentSource::Read(std::uint8_t* out, std::size_t count) {
    std::size_t done = 0;
    while (done < count) {
        const ssize_t got =
            ::pread(m_file.Get(), out + done, count - done, static_cast<off_t>(m_position + done));
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
    m_position += done;
    return done;
}

void CFileAgentSource::FailReading() const {
    ThrowStringId(IDS_ERROR_READING_FILE, m_path.c_str());
}
