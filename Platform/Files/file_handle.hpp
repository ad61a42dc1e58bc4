#pragma once
// Open files as RAII handles, and the replacement file that lets an existing file be rewritten
// without ever leaving it truncated: the new content goes to a file beside it, which takes the
// old one's place in a single rename once it is complete.

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <span>
#include <string_view>

#include "Automation/error.hpp"

namespace lumora::files {

class FileHandle {
public:
    enum class Access { Read, Write, Append };
    enum class Creation { OpenExisting, CreateIfMissing, CreateNew };

    FileHandle() = default;
    // Errors as script sees them: 53 missing, 70 denied, 58 for CreateNew over an existing file.
    static FileHandle open(const std::filesystem::path& path, Access access, Creation creation,
                           std::filesystem::perms permissions = std::filesystem::perms::unknown);
    FileHandle(FileHandle&& other) noexcept;
    FileHandle& operator=(FileHandle&& other) noexcept;
    ~FileHandle();

    bool isOpen() const { return m_fd >= 0; }
    // Bytes read into buffer; 0 at the end of the file.
    size_t read(std::span<char> buffer);
    void writeAll(std::string_view bytes);
    uint64_t size() const;
    // Makes the written bytes durable before a rename publishes them.
    void sync();
    // Closes and reports a failure of the final write-back; the destructor closes quietly.
    void close();

private:
    explicit FileHandle(int fd) : m_fd(fd) {}
    int m_fd = -1;
};

class ReplacementFile {
public:
    // Opens a new file beside `target` with the given permissions; unknown takes the target's
    // when it exists.
    explicit ReplacementFile(const std::filesystem::path& target,
                             std::filesystem::perms permissions = std::filesystem::perms::unknown);
    const std::filesystem::path& temporaryPath() const { return m_temporary; }
    ReplacementFile(ReplacementFile&& other) noexcept;
    ReplacementFile& operator=(ReplacementFile&&) = delete;
    // Removes the file beside the target unless it was committed.
    ~ReplacementFile();

    FileHandle& handle() { return m_handle; }
    // Puts the written content in the target's place in one rename.
    void commit();
    // Drops the written content; the target stays as it was.
    void discard() noexcept;

private:
    std::filesystem::path m_target;
    std::filesystem::path m_temporary;
    FileHandle m_handle;
    bool m_done = false;
};

}  // namespace lumora::files
