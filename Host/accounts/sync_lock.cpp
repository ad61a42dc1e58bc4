#include "sync_lock.hpp"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>

#include "Host/host_errors.hpp"

namespace lumora::host {

SyncLock::SyncLock(const std::filesystem::path& dataFolder) {
    const std::filesystem::path file = dataFolder / "sync.lock";
    m_descriptor = ::open(file.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (m_descriptor < 0) raise(HostError::PrivateFileNotSaved, file.string());
    while (::flock(m_descriptor, LOCK_EX) != 0) {
        if (errno == EINTR) continue;
        ::close(m_descriptor);
        raise(HostError::PrivateFileNotSaved, file.string());
    }
}

SyncLock::~SyncLock() {
    if (m_descriptor >= 0) ::close(m_descriptor);  // closing releases the lock
}

}  // namespace lumora::host
