#include "file_handle.hpp"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <random>
#include <string>
#include <utility>

#include "file_errors.hpp"

namespace lumora::files {

namespace fs = std::filesystem;

namespace {

constexpr mode_t kDefaultMode = 0666;  // narrowed by the user's umask, as for any new file

int openFlags(FileHandle::Access access, FileHandle::Creation creation) {
    // Opening a FIFO would wait for its other end, and a device may never end; neither waits
    // here, and neither is taken for a file below.
    int flags = O_CLOEXEC | O_NONBLOCK;
    switch (access) {
        case FileHandle::Access::Read: flags |= O_RDONLY; break;
        case FileHandle::Access::Write: flags |= O_WRONLY | O_TRUNC; break;
        case FileHandle::Access::Append: flags |= O_WRONLY | O_APPEND; break;
    }
    if (creation == FileHandle::Creation::CreateIfMissing) flags |= O_CREAT;
    if (creation == FileHandle::Creation::CreateNew) flags |= O_CREAT | O_EXCL;
    return flags;
}

std::string randomSuffix() {
    static thread_local std::mt19937_64 generator{std::random_device{}()};
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string suffix;
    uint64_t bits = generator();
    for (int i = 0; i < 12; ++i, bits >>= 4) suffix += kDigits[bits & 0xF];
    return suffix;
}

}  // namespace

FileHandle FileHandle::open(const fs::path& path, Access access, Creation creation, fs::perms permissions) {
    mode_t mode = permissions == fs::perms::unknown ? kDefaultMode : static_cast<mode_t>(permissions);
    int fd;
    do {
        fd = ::open(path.c_str(), openFlags(access, creation), mode);
    } while (fd < 0 && errno == EINTR);
    const RuntimeError notAFile = access == Access::Read ? RuntimeError::FileNotFound : RuntimeError::PermissionDenied;
    // A FIFO with no reader refuses a writer that will not wait.
    if (fd < 0 && errno == ENXIO) raise(notAFile);
    if (fd < 0) raise(errnoError(errno, RuntimeError::FileNotFound));
    // A folder opens for reading on this system, as do FIFOs, devices and sockets; for script
    // none of them is a file.
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        raise(notAFile);
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    return FileHandle(fd);
}

FileHandle::FileHandle(FileHandle&& other) noexcept : m_fd(std::exchange(other.m_fd, -1)) {}

FileHandle& FileHandle::operator=(FileHandle&& other) noexcept {
    if (this != &other) {
        if (m_fd >= 0) ::close(m_fd);
        m_fd = std::exchange(other.m_fd, -1);
    }
    return *this;
}

FileHandle::~FileHandle() {
    if (m_fd >= 0) ::close(m_fd);
}

size_t FileHandle::read(std::span<char> buffer) {
    if (m_fd < 0) raise(RuntimeError::BadFileNameOrNumber);
    for (;;) {
        ssize_t got = ::read(m_fd, buffer.data(), buffer.size());
        if (got >= 0) return static_cast<size_t>(got);
        if (errno != EINTR) raise(errnoError(errno));
    }
}

void FileHandle::writeAll(std::string_view bytes) {
    if (m_fd < 0) raise(RuntimeError::BadFileNameOrNumber);
    while (!bytes.empty()) {
        ssize_t written = ::write(m_fd, bytes.data(), bytes.size());
        if (written < 0) {
            if (errno == EINTR) continue;
            raise(errnoError(errno));
        }
        bytes.remove_prefix(static_cast<size_t>(written));
    }
}

uint64_t FileHandle::size() const {
    struct stat info {};
    if (m_fd < 0 || ::fstat(m_fd, &info) != 0) raise(RuntimeError::BadFileNameOrNumber);
    return static_cast<uint64_t>(info.st_size);
}

void FileHandle::sync() {
    if (m_fd >= 0 && ::fsync(m_fd) != 0 && errno != EINVAL && errno != EROFS) raise(errnoError(errno));
}

void FileHandle::close() {
    if (m_fd < 0) return;
    int fd = std::exchange(m_fd, -1);
    if (::close(fd) != 0 && errno != EINTR) raise(errnoError(errno));
}

ReplacementFile::ReplacementFile(const fs::path& target, fs::perms permissions) : m_target(target) {
    // Through a link the file it leads to is rewritten; the link stays a link.
    std::error_code linkError;
    if (fs::is_symlink(fs::symlink_status(target, linkError))) {
        fs::path real = fs::canonical(target, linkError);
        if (!linkError) m_target = real;
    }
    if (permissions == fs::perms::unknown) {
        std::error_code error;
        permissions = fs::status(m_target, error).permissions();
        if (error) permissions = fs::perms::unknown;
    }
    // A hidden name in the same folder, so the rename never crosses file systems.
    for (int attempt = 0;; ++attempt) {
        m_temporary = m_target.parent_path() / ("." + m_target.filename().string() + ".lumora-" + randomSuffix());
        try {
            m_handle = FileHandle::open(m_temporary, FileHandle::Access::Write, FileHandle::Creation::CreateNew,
                                        permissions);
            break;
        } catch (const Error& e) {
            if (e.number() != static_cast<int32_t>(RuntimeError::FileAlreadyExists) || attempt >= 8) throw;
        }
    }
}

ReplacementFile::ReplacementFile(ReplacementFile&& other) noexcept
    : m_target(std::move(other.m_target)),
      m_temporary(std::move(other.m_temporary)),
      m_handle(std::move(other.m_handle)),
      m_done(std::exchange(other.m_done, true)) {}

ReplacementFile::~ReplacementFile() { discard(); }

void ReplacementFile::commit() {
    if (m_done) return;
    try {
        m_handle.sync();
        m_handle.close();
    } catch (...) {
        discard();
        throw;
    }
    std::error_code error;
    fs::rename(m_temporary, m_target, error);
    if (error) {
        discard();
        raise(fileError(error));
    }
    m_done = true;
}

void ReplacementFile::discard() noexcept {
    if (m_done) return;
    m_done = true;
    m_handle = FileHandle();
    std::error_code ignored;
    fs::remove(m_temporary, ignored);
}

}  // namespace lumora::files
