#include "registry.hpp"

#include <unistd.h>

#include <fstream>
#include <map>
#include <nlohmann/json.hpp>

#include "deliverables.hpp"
#include "error.hpp"
#include "server.hpp"
#include "shared_library.hpp"
#include "vb/text.hpp"

namespace lumora {

namespace {

constexpr const char* kRegistryFile = "registry.json";

// The apartment's own view: injected faults and the instances already running in it.
struct Apartment {
    RegistryFaults faults;
    std::map<std::string, Object> running;     // lower-case ProgID -> instance
    std::set<std::string> failedFirstAlready;  // lower-case ProgIDs whose first creation has failed
};

Apartment& apartment() {
    thread_local Apartment a;
    return a;
}

bool containsNoCase(const std::set<std::string>& names, std::string_view name) {
    for (const auto& n : names)
        if (vb::asciiEqualsNoCase(n, name)) return true;
    return false;
}

// The kind as the registry file spells it; an ordinary class has no "kind" there.
constexpr const char* kDialerKind = "dialer";

// A kind this version does not know is read as ordinary: it grants nothing.
ClassKind kindInFile(const nlohmann::json& server, std::string_view clsid) {
    auto kind = server.find("kind");
    if (kind == server.end()) {
        // Files written before classes declared their kind: the dialer was the only dialer then.
        return vb::asciiEqualsNoCase(clsid, deliverables::kDialer.classId) ? ClassKind::Dialer : ClassKind::Ordinary;
    }
    return kind->is_string() && *kind == kDialerKind ? ClassKind::Dialer : ClassKind::Ordinary;
}

bool registers(const ServerRegistration& server, std::string_view progIdOrClsid) {
    return vb::asciiEqualsNoCase(server.progId, progIdOrClsid) || vb::asciiEqualsNoCase(server.clsid, progIdOrClsid);
}

}  // namespace

struct Registry::Entry {
    ClassInfo info;
    bool matches(std::string_view name) const {
        if (vb::asciiEqualsNoCase(info.progId, name) || (!info.clsid.empty() && vb::asciiEqualsNoCase(info.clsid, name)))
            return true;
        for (const auto& alias : info.aliases)
            if (vb::asciiEqualsNoCase(alias, name)) return true;
        return false;
    }
};

bool isLocalMachine(std::string_view machine) {
    if (machine.empty() || machine == "127.0.0.1" || machine == "::1" || vb::asciiEqualsNoCase(machine, "localhost"))
        return true;
    char host[256] = {};
    return gethostname(host, sizeof host - 1) == 0 && vb::asciiEqualsNoCase(machine, host);
}

Registry& Registry::instance() {
    static Registry registry;
    return registry;
}

Registry::Registry() = default;
Registry::~Registry() = default;

void Registry::registerBuiltin(ClassInfo info) {
    std::lock_guard lock(m_mutex);
    std::erase_if(m_builtins, [&](const auto& e) { return vb::asciiEqualsNoCase(e->info.progId, info.progId); });
    m_builtins.push_back(std::make_shared<Entry>(Entry{std::move(info)}));
}

const Registry::Entry* Registry::findEntry(std::string_view progIdOrClsid) const {
    for (const auto& e : m_builtins)
        if (e->matches(progIdOrClsid)) return e.get();
    return nullptr;
}

const ServerRegistration* Registry::findServer(std::string_view progIdOrClsid) const {
    for (const auto& s : m_servers)
        if (registers(s, progIdOrClsid)) return &s;
    return nullptr;
}

bool Registry::isInstalled(std::string_view name) const {
    if (containsNoCase(apartment().faults.absent, name)) return false;
    std::lock_guard lock(m_mutex);
    return findEntry(name) || findServer(name);
}

std::optional<ClassKind> Registry::kindOf(std::string_view name) const {
    std::lock_guard lock(m_mutex);
    if (const Entry* e = findEntry(name)) return e->info.kind;
    if (const ServerRegistration* s = findServer(name)) return s->kind;
    return std::nullopt;
}

ClassFactory Registry::serverFactory(const ServerRegistration& registration) {
    // Called with m_mutex held.
    auto key = registration.library.string();
    auto it = m_libraries.find(key);
    if (it == m_libraries.end()) it = m_libraries.emplace(key, std::make_shared<SharedLibrary>(registration.library)).first;
    auto getClassObject = reinterpret_cast<DllGetClassObjectFn>(it->second->symbol("DllGetClassObject"));
    if (!getClassObject) throw Error(RuntimeError::CantCreateObject);
    ClassFactory factory;
    if (getClassObject(registration.clsid.c_str(), &factory) != kOk || !factory)
        throw Error(RuntimeError::CantCreateObject);
    return factory;
}

Object Registry::createObject(std::string_view name, std::string_view machine) {
    if (!isLocalMachine(machine)) throw Error(RuntimeError::RemoteMachineUnavailable);
    Apartment& apt = apartment();
    if (containsNoCase(apt.faults.absent, name)) throw Error(RuntimeError::CantCreateObject);

    // The first local activation of a failFirst class fails; activation through the machine's
    // network address (a machine name given) goes through.
    std::string key = vb::asciiLower(name);
    if (machine.empty() && containsNoCase(apt.faults.failFirst, name) && !apt.failedFirstAlready.count(key)) {
        apt.failedFirstAlready.insert(key);
        throw Error(RuntimeError::CantCreateObject);
    }

    ClassFactory factory;
    bool singleInstance = false;
    std::string runningKey = key;
    {
        std::lock_guard lock(m_mutex);
        if (const Entry* e = findEntry(name)) {
            factory = e->info.factory;
            singleInstance = e->info.singleInstance;
            runningKey = vb::asciiLower(e->info.progId);
        } else if (const ServerRegistration* s = findServer(name)) {
            factory = serverFactory(*s);
        }
    }
    if (!factory) throw Error(RuntimeError::CantCreateObject);
    if (singleInstance) {
        auto it = apt.running.find(runningKey);
        if (it != apt.running.end()) return it->second;
    }
    Object created = factory();
    if (!created) throw Error(RuntimeError::CantCreateObject);
    if (singleInstance) apt.running[runningKey] = created;
    return created;
}

Object Registry::getObject(std::string_view progId) {
    Apartment& apt = apartment();
    if (containsNoCase(apt.faults.absent, progId) || containsNoCase(apt.faults.notRunning, progId) ||
        !isInstalled(progId))
        throw Error(RuntimeError::CantCreateObject);
    std::string key = vb::asciiLower(progId);
    {
        std::lock_guard lock(m_mutex);
        if (const Entry* e = findEntry(progId)) key = vb::asciiLower(e->info.progId);
    }
    auto it = apt.running.find(key);
    if (it != apt.running.end()) return it->second;
    // An installed application that is not marked "not running" is taken to be running:
    // attaching starts the apartment's instance.
    Object instance = createObject(progId);
    apt.running[key] = instance;
    return instance;
}

void Registry::setDataFolder(const std::filesystem::path& dataFolder) {
    std::lock_guard lock(m_mutex);
    m_dataFolder = dataFolder;
    m_servers.clear();
    loadServers();
}

std::filesystem::path Registry::dataFolder() const {
    std::lock_guard lock(m_mutex);
    return m_dataFolder;
}

void Registry::loadServers() {
    std::ifstream in(m_dataFolder / kRegistryFile);
    if (!in) return;
    // A damaged registry file reads as an empty one: the deliverables can be registered again.
    auto doc = nlohmann::json::parse(in, nullptr, false);
    if (!doc.is_object() || !doc["servers"].is_array()) return;
    for (const auto& s : doc["servers"]) {
        if (!s.is_object() || !s["progId"].is_string() || !s["clsid"].is_string() || !s["library"].is_string()) continue;
        std::string clsid = s["clsid"].get<std::string>();
        ClassKind kind = kindInFile(s, clsid);
        m_servers.push_back({s["progId"].get<std::string>(), std::move(clsid),
                             std::filesystem::path(s["library"].get<std::string>()), kind});
    }
}

void Registry::saveServers() const {
    if (m_dataFolder.empty()) throw Error(RuntimeError::PathNotFound);
    nlohmann::json doc;
    doc["servers"] = nlohmann::json::array();
    for (const auto& s : m_servers) {
        nlohmann::json server{{"progId", s.progId}, {"clsid", s.clsid}, {"library", s.library.string()}};
        if (s.kind == ClassKind::Dialer) server["kind"] = kDialerKind;
        doc["servers"].push_back(std::move(server));
    }
    std::filesystem::create_directories(m_dataFolder);
    // Write beside and rename, so a crash never leaves half a registry.
    auto target = m_dataFolder / kRegistryFile;
    auto temp = target;
    temp += ".tmp";
    {
        std::ofstream out(temp, std::ios::trunc);
        out << doc.dump(2) << '\n';
        if (!out) throw Error(RuntimeError::PermissionDenied);
    }
    std::filesystem::rename(temp, target);
}

void Registry::registerServer(const ServerRegistration& registration) {
    std::lock_guard lock(m_mutex);
    std::erase_if(m_servers, [&](const auto& s) { return vb::asciiEqualsNoCase(s.progId, registration.progId); });
    m_servers.push_back(registration);
    saveServers();
}

void Registry::unregisterServer(std::string_view progId) {
    std::lock_guard lock(m_mutex);
    std::erase_if(m_servers, [&](const auto& s) { return vb::asciiEqualsNoCase(s.progId, progId); });
    saveServers();
}

std::vector<ServerRegistration> Registry::servers() const {
    std::lock_guard lock(m_mutex);
    return m_servers;
}

void Registry::setFaults(RegistryFaults faults) {
    Apartment& apt = apartment();
    apt.faults = std::move(faults);
    apt.failedFirstAlready.clear();
}

const RegistryFaults& Registry::faults() const { return apartment().faults; }

void Registry::forgetRunningInstances() { apartment().running.clear(); }

}  // namespace lumora
