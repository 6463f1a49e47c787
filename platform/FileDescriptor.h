#pragma once

#include <unistd.h>

// Owns one POSIX file descriptor and closes it when it goes out of scope.
class CFileDescriptor {
public:
    CFileDescriptor() = default;
    explicit CFileDescriptor(int fd) : m_fd(fd) {}
    ~CFileDescriptor() { Reset(); }
    CFileDescriptor(const CFileDescriptor&) = delete;
    CFileDescriptor& operator=(const CFileDescriptor&) = delete;

    void Adopt(int fd) {
        Reset();
        m_fd = fd;
    }

    bool IsOpen() const { return m_fd >= 0; }
    int Get() const { return m_fd; }

    // Closes now and reports whether the close succeeded: a failed close can be
    // the only sign that written data did not reach the file.
    bool Close() {
        const int fd = m_fd;
        m_fd = -1;
        return fd < 0 || ::close(fd) == 0;
    }

private:
    void Reset() {
        if (m_fd >= 0) {
            ::close(m_fd);
            m_fd = -1;
        }
    }

    int m_fd = -1;
};
