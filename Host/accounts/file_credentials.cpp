// Passwords in a JSON object of account: password, in a file only its owner may read or write.

#include <nlohmann/json.hpp>

#include "Host/host_errors.hpp"
#include "credential_store.hpp"
#include "owner_file.hpp"

namespace lumora::host {

namespace fs = std::filesystem;

namespace {

constexpr uintmax_t kMaxFileBytes = 1u << 20;

class FileCredentials : public CredentialStore {
public:
    explicit FileCredentials(fs::path file) : m_file(std::move(file)) {}

    void save(const std::string& account, const std::string& password) override {
        nlohmann::json table = read();
        table[account] = password;
        writeOwnerFile(m_file, table.dump(2) + "\n");
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
        writeOwnerFile(m_file, table.dump(2) + "\n");
    }

    std::string place() const override { return m_file.string(); }

private:
    nlohmann::json read() const {
        const std::optional<std::string> bytes = readOwnerFile(m_file, kMaxFileBytes);
        if (!bytes) return nlohmann::json::object();
        nlohmann::json table = nlohmann::json::parse(*bytes, nullptr, false);
        if (!table.is_object()) raise(HostError::PrivateFileUnreadable, m_file.string());
        for (const auto& [account, password] : table.items())
            if (!password.is_string()) raise(HostError::PrivateFileUnreadable, m_file.string());
        return table;
    }

    fs::path m_file;
};

}  // namespace

std::unique_ptr<CredentialStore> fileCredentials(const fs::path& file) {
    return std::make_unique<FileCredentials>(file);
}

}  // namespace lumora::host
