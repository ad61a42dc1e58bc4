#pragma once
// One sync of the data folder's accounts at a time, across processes: `lumora serve` syncing in
// the background and a person running `lumora pim sync` would otherwise both push the same
// change. The lock is an advisory lock on `sync.lock` in the data folder, released when the
// holder goes, however it ends.

#include <filesystem>

namespace lumora::host {

class SyncLock {
public:
    // Waits for the other holder. Errors: PrivateFileNotSaved when the lock file cannot be made.
    explicit SyncLock(const std::filesystem::path& dataFolder);
    ~SyncLock();
    SyncLock(const SyncLock&) = delete;
    SyncLock& operator=(const SyncLock&) = delete;

private:
    int m_descriptor = -1;
};

}  // namespace lumora::host
