// Passwords in the desktop keyring through libsecret, each under this product's schema with the
// account's name as its one attribute. The keyring is used only when a Secret Service answers on
// the session bus; without a session bus none is started.

#include <libsecret/secret.h>

#include <cstdlib>
#include <memory>

#include "Host/host_errors.hpp"
#include "credential_store.hpp"

namespace lumora::host {

namespace {

const SecretSchema kAccountSchema = {
    "org.lumora.Desktop.Account",
    SECRET_SCHEMA_NONE,
    {{"account", SECRET_SCHEMA_ATTRIBUTE_STRING}, {nullptr, SECRET_SCHEMA_ATTRIBUTE_STRING}},
    0, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr};

struct ErrorFree {
    void operator()(GError* error) const { g_error_free(error); }
};
using ErrorHandle = std::unique_ptr<GError, ErrorFree>;

// A password as libsecret hands it over: wiped from memory when freed.
struct PasswordFree {
    void operator()(gchar* password) const { secret_password_free(password); }
};
using PasswordHandle = std::unique_ptr<gchar, PasswordFree>;

struct ObjectUnref {
    void operator()(gpointer object) const { g_object_unref(object); }
};

// The keyring's reason, for the person; it never holds the password.
std::string reason(const ErrorHandle& error) { return error && error->message ? error->message : "no reason given"; }

class KeyringCredentials : public CredentialStore {
public:
    void save(const std::string& account, const std::string& password) override {
        GError* failure = nullptr;
        const std::string label = "Lumora Desktop: " + account;
        const gboolean stored = secret_password_store_sync(&kAccountSchema, SECRET_COLLECTION_DEFAULT, label.c_str(),
                                                           password.c_str(), nullptr, &failure, "account",
                                                           account.c_str(), nullptr);
        ErrorHandle error(failure);
        if (!stored || error) raise(HostError::CredentialsNotSaved, reason(error));
    }

    std::optional<std::string> load(const std::string& account) override {
        GError* failure = nullptr;
        PasswordHandle password(
            secret_password_lookup_sync(&kAccountSchema, nullptr, &failure, "account", account.c_str(), nullptr));
        ErrorHandle error(failure);
        if (error) raise(HostError::CredentialsUnreadable, reason(error));
        if (!password) return std::nullopt;
        return std::string(password.get());
    }

    void forget(const std::string& account) override {
        GError* failure = nullptr;
        secret_password_clear_sync(&kAccountSchema, nullptr, &failure, "account", account.c_str(), nullptr);
        ErrorHandle error(failure);
        if (error) raise(HostError::CredentialsNotSaved, reason(error));
    }

    std::string place() const override { return "the desktop keyring"; }
};

}  // namespace

std::unique_ptr<CredentialStore> keyringCredentials() {
    // Without a session bus libsecret would try to start one; a service is only used if it runs.
    const char* bus = std::getenv("DBUS_SESSION_BUS_ADDRESS");
    if (!bus || !*bus) return nullptr;
    GError* failure = nullptr;
    std::unique_ptr<SecretService, ObjectUnref> service(secret_service_get_sync(SECRET_SERVICE_NONE, nullptr, &failure));
    ErrorHandle error(failure);
    if (!service || error) return nullptr;
    return std::make_unique<KeyringCredentials>();
}

}  // namespace lumora::host
