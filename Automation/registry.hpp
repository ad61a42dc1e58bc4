#pragma once
// The class registry: ProgIDs and class ids mapped to factories. Built-in stand-ins are
// registered by the host at start-up; the deliverables are in-process servers that register
// themselves into the per-user registry file in the data folder and are loaded on first use.

#include <filesystem>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "object.hpp"

namespace lumora {

using ClassFactory = std::function<Object()>;

// What a class declares itself to be, where the host's rules depend on it. A page may have the
// desktop control create a dialer by ProgID, and nothing else that way.
enum class ClassKind {
    Ordinary,
    Dialer,  // places and ends calls for the control's MakeCall and GetDialerVersion
};

struct ClassInfo {
    std::string progId;                 // "Word.Application"
    std::string clsid;                  // "{F5078F32-C551-11D3-89B9-0000F81FE221}", or empty
    std::vector<std::string> aliases;   // further ProgIDs of the same class
    ClassFactory factory;
    // A single-instance application (Outlook): creating it attaches to the running one.
    bool singleInstance = false;
    ClassKind kind = ClassKind::Ordinary;
};

// One in-process server registration as the per-user registry file keeps it.
struct ServerRegistration {
    std::string progId;
    std::string clsid;
    std::filesystem::path library;
    ClassKind kind = ClassKind::Ordinary;
};

// Failures a test or a script can make the registry produce, per apartment (thread).
struct RegistryFaults {
    std::set<std::string> absent;       // creation fails with 429, as if not installed
    std::set<std::string> notRunning;   // installed, but attaching to a running one fails
    std::set<std::string> failFirst;    // the first local creation fails; later ones succeed
};

class SharedLibrary;

class Registry {
public:
    static Registry& instance();

    void registerBuiltin(ClassInfo info);

    // CreateObject(progId [, machine]). machine may be empty, "localhost", "127.0.0.1" or this
    // host's name; any other machine is unreachable (462). Unknown classes give 429.
    Object createObject(std::string_view progIdOrClsid, std::string_view machine = {});
    // GetObject(, progId): the running instance; 429 when the class is absent or not running.
    Object getObject(std::string_view progId);
    bool isInstalled(std::string_view progIdOrClsid) const;
    // The kind a registered class declared; nullopt for a class nobody registered.
    std::optional<ClassKind> kindOf(std::string_view progIdOrClsid) const;

    // The per-user registry of in-process servers lives in dataFolder/registry.json.
    void setDataFolder(const std::filesystem::path& dataFolder);
    std::filesystem::path dataFolder() const;
    void registerServer(const ServerRegistration& registration);
    void unregisterServer(std::string_view progId);
    std::vector<ServerRegistration> servers() const;

    // Faults and running instances belong to the calling thread's apartment.
    void setFaults(RegistryFaults faults);
    const RegistryFaults& faults() const;
    void forgetRunningInstances();

private:
    Registry();
    ~Registry();
    struct Entry;
    // Both called with m_mutex held.
    const Entry* findEntry(std::string_view progIdOrClsid) const;
    const ServerRegistration* findServer(std::string_view progIdOrClsid) const;
    ClassFactory serverFactory(const ServerRegistration& registration);
    void loadServers();
    void saveServers() const;

    mutable std::mutex m_mutex;
    std::vector<std::shared_ptr<Entry>> m_builtins;
    std::vector<ServerRegistration> m_servers;
    std::unordered_map<std::string, std::shared_ptr<SharedLibrary>> m_libraries;  // by path
    std::filesystem::path m_dataFolder;
};

// True for "", "localhost", "127.0.0.1", "::1" and this host's own name.
bool isLocalMachine(std::string_view machine);

}  // namespace lumora
