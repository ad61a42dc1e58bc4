#include "owner_file.hpp"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <fstream>

#include "Host/host_errors.hpp"

namespace lumora::host {

namespace fs = std::filesystem;

namespace {

constexpr mode_t kOwnerOnly = S_IRUSR | S_IWUSR;

class FileDescriptor {
public:
    explicit FileDescriptor(int fd) : m_fd(fd) {}
    ~FileDescriptor() {
        if (m_fd >= 0) ::close(m_fd);
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    int get() const { return m_fd; }
    // Closes now, telling whether everything written reached the file.
    bool close() {
        const int fd = m_fd;
        m_fd = -1;
        return ::close(fd) == 0;
    }

private:
    int m_fd;
};

bool writeAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t written = ::write(fd, bytes.data(), bytes.size());
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) return false;
        bytes.remove_prefix(static_cast<size_t>(written));
    }
    return true;
}

}  // namespace

std::optional<std::string> readOwnerFile(const fs::path& file, uintmax_t maxBytes) {
    struct stat info {};
    if (::stat(file.c_str(), &info) != 0) {
        if (errno == ENOENT || errno == ENOTDIR) return std::nullopt;
        raise(HostError::PrivateFileUnreadable, file.string());
    }
    if ((info.st_mode & (S_IRWXG | S_IRWXO)) != 0 || info.st_uid != ::geteuid())
        raise(HostError::PrivateFileExposed, file.string());
    if (!S_ISREG(info.st_mode) || static_cast<uintmax_t>(info.st_size) > maxBytes)
        raise(HostError::PrivateFileUnreadable, file.string());
    std::ifstream in(file, std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(in)), {});
    if (in.bad()) raise(HostError::PrivateFileUnreadable, file.string());
    return bytes;
}

void writeOwnerFile(const fs::path& file, std::string_view bytes) {
    const fs::path written = file.string() + ".new";
    ::unlink(written.c_str());
    FileDescriptor out(::open(written.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, kOwnerOnly));
    const bool complete = out.get() >= 0 && writeAll(out.get(), bytes) && ::fsync(out.get()) == 0 && out.close();
    if (!complete || ::rename(written.c_str(), file.c_str()) != 0) {
        ::unlink(written.c_str());
        raise(HostError::PrivateFileNotSaved, file.string());
    }
}

}  // namespace lumora::host
