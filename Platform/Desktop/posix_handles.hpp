#pragma once
// Owners for the POSIX handles the desktop library uses, so that every early return closes
// what was opened. Internal to the desktop library.

#include <unistd.h>

namespace lumora::desktop::posix {

class FileDescriptor {
public:
    explicit FileDescriptor(int fd = -1) : m_fd(fd) {}
    ~FileDescriptor() { reset(); }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    FileDescriptor(FileDescriptor&& other) noexcept : m_fd(other.release()) {}
    FileDescriptor& operator=(FileDescriptor&& other) noexcept {
        if (this != &other) {
            reset();
            m_fd = other.release();
        }
        return *this;
    }
    int get() const { return m_fd; }
    // Gives the descriptor up without closing it.
    int release() {
        const int fd = m_fd;
        m_fd = -1;
        return fd;
    }
    void reset() {
        if (m_fd >= 0) ::close(m_fd);
        m_fd = -1;
    }

private:
    int m_fd;
};

// A C object with an init and a destroy function, such as posix_spawnattr_t.
template <typename T, int (*Init)(T*), int (*Destroy)(T*)>
class Initialized {
public:
    Initialized() { Init(&m_value); }
    ~Initialized() { Destroy(&m_value); }
    Initialized(const Initialized&) = delete;
    Initialized& operator=(const Initialized&) = delete;
    T* get() { return &m_value; }

private:
    T m_value;
};

}  // namespace lumora::desktop::posix
