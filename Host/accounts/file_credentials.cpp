// Passwords in a JSON file of account: password, readable and writable by its owner alone. The
// file is written whole to a new file made with those rights from the start and then renamed
// over the old one, so no moment shows a half-written file or one others may read. A file that
// others may read or write is refused rather than trusted or silently narrowed: someone may
// have read it already, and the person should know.

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <fstream>
#include <nlohmann/json.hpp>
#include <string_view>

#include "Host/host_errors.hpp"
#include "credential_store.hpp"

namespace lumora::host {

namespace fs = std::filesystem;

namespace {

constexpr mode_t kOwnerOnly = S_IRUSR | S_IWUSR;
constexpr uintmax_t kMaxFileBytes = 1u << 20;

class FileDescriptor {
public:
    explicit FileDescriptor(int fd) : m_fd(fd) {}
    ~FileDescriptor() {
        if (m_fd >= 0) ::close(m_fd);
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    int get() const { return m_fd; }
    // Closes now, reporting whether everything written reached the file.
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

class FileCredentials : public CredentialStore {
public:
    explicit FileCredentials(fs::path file) : m_file(std::move(file)) {}

    void save(const std::string& account, const std::string& password) override {
        nlohmann::json table = read();
        table[account] = password;
        write(table);
    }

    std::optional<std::string> load(const std::string& account) override {
        const nlohmann::json table = read();
        const auto found = table.find(account);
        if (found == table.end()) return std::nullopt;
        return found->get<std::string>();
    }

    void forget(const std::string& account) override {
        nlohmann::json table = read();
        if (table.erase(account) == 0) return;
        write(table);
    }

    std::string place() const override { return m_file.string(); }

private:
    nlohmann::json read() const {
        struct stat info {};
        if (::stat(m_file.c_str(), &info) != 0) {
            if (errno == ENOENT || errno == ENOTDIR) return nlohmann::json::object();
            raise(HostError::CredentialsUnreadable, m_file.string());
        }
        if ((info.st_mode & (S_IRWXG | S_IRWXO)) != 0 || info.st_uid != ::geteuid())
            raise(HostError::CredentialsExposed, m_file.string());
        if (!S_ISREG(info.st_mode) || static_cast<uintmax_t>(info.st_size) > kMaxFileBytes)
            raise(HostError::CredentialsUnreadable, m_file.string());
        std::ifstream in(m_file, std::ios::binary);
        nlohmann::json table = nlohmann::json::parse(std::istreambuf_iterator<char>(in), {}, nullptr, false);
        if (!in.good() && !in.eof()) raise(HostError::CredentialsUnreadable, m_file.string());
        if (!table.is_object()) raise(HostError::CredentialsUnreadable, m_file.string());
        for (const auto& [account, password] : table.items())
            if (!password.is_string()) raise(HostError::CredentialsUnreadable, m_file.string());
        return table;
    }

    void write(const nlohmann::json& table) const {
        const fs::path written = m_file.string() + ".new";
        ::unlink(written.c_str());
        FileDescriptor out(::open(written.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, kOwnerOnly));
        const bool complete = out.get() >= 0 && writeAll(out.get(), table.dump(2) + "\n") && ::fsync(out.get()) == 0 &&
                              out.close();
        if (!complete || ::rename(written.c_str(), m_file.c_str()) != 0) {
            ::unlink(written.c_str());
            raise(HostError::CredentialsNotSaved, m_file.string());
        }
    }

    fs::path m_file;
};

}  // namespace

std::unique_ptr<CredentialStore> fileCredentials(const fs::path& file) {
    return std::make_unique<FileCredentials>(file);
}

}  // namespace lumora::host
