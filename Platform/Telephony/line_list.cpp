#include "line_list.hpp"

#include <fstream>
#include <nlohmann/json.hpp>
#include <system_error>

#include "Automation/error.hpp"
#include "Automation/vb/strings.hpp"
#include "telephony_errors.hpp"

namespace lumora::telephony {

namespace fs = std::filesystem;

namespace {

constexpr char kLineFile[] = "lines.json";
constexpr size_t kMaxNameLength = 100;
constexpr int kMaxWaitSeconds = 300;
constexpr size_t kMaxPasswordLength = 256;

fs::path lineFile(const fs::path& dataFolder) { return dataFolder / kLineFile; }

bool hasControlCharacter(std::string_view text) {
    for (unsigned char c : text)
        if (c < 0x20 || c == 0x7f) return true;
    return false;
}

// The address list that pages receive joins names with "~", so a name may not hold one.
void checkName(const std::string& name) {
    if (name.empty() || vb::len(name) > static_cast<int32_t>(kMaxNameLength) || hasControlCharacter(name) ||
        name.find('~') != std::string::npos)
        raise(TelephonyError::BadLineName);
}

nlohmann::json toJson(const Line& line) {
    nlohmann::json entry{{"name", line.name}, {"kind", kindName(line.kind)}};
    if (line.kind == LineKind::Sip) {
        entry["account"] = line.account;
        if (!line.password.empty()) entry["password"] = line.password;
        entry["connectWaitSeconds"] = line.connectWait.count();
        entry["register"] = line.registers;
        if (!line.outboundProxy.empty()) entry["outboundProxy"] = line.outboundProxy;
        if (!line.audio.empty()) entry["audio"] = line.audio;
    }
    return entry;
}

Line fromJson(const nlohmann::json& entry) {
    Line line;
    line.name = entry.at("name").get<std::string>();
    const auto kind = kindNamed(entry.at("kind").get<std::string>());
    if (!kind) throw std::invalid_argument("unknown line kind");
    line.kind = *kind;
    line.account = entry.value("account", std::string());
    line.password = entry.value("password", std::string());
    line.connectWait = std::chrono::seconds(std::clamp(entry.value("connectWaitSeconds", 20), 1, kMaxWaitSeconds));
    line.registers = entry.value("register", false);
    line.outboundProxy = entry.value("outboundProxy", std::string());
    line.audio = entry.value("audio", std::string());
    return line;
}

void writeLines(const fs::path& dataFolder, const std::vector<Line>& lines) {
    const fs::path file = lineFile(dataFolder);
    nlohmann::json doc{{"lines", nlohmann::json::array()}};
    for (const Line& line : lines) doc["lines"].push_back(toJson(line));
    std::error_code ec;
    fs::create_directories(dataFolder, ec);
    const fs::path beside = file.string() + ".new";
    {
        std::ofstream out(beside, std::ios::trunc);
        out << doc.dump(2) << '\n';
        out.close();
        if (!out) {
            fs::remove(beside, ec);
            raise(TelephonyError::LineListUnwritable, file.string());
        }
    }
    fs::permissions(beside, fs::perms::owner_read | fs::perms::owner_write, ec);
    fs::rename(beside, file, ec);
    if (ec) {
        fs::remove(beside, ec);
        raise(TelephonyError::LineListUnwritable, file.string());
    }
}

bool sameName(const std::string& a, const std::string& b) { return vb::lCase(a) == vb::lCase(b); }

LinePasswordSource& passwordSource() {
    static LinePasswordSource source;
    return source;
}

}  // namespace

void setLinePasswordSource(LinePasswordSource source) { passwordSource() = std::move(source); }

std::string linePassword(const Line& line) {
    if (!line.password.empty()) return line.password;
    const LinePasswordSource& source = passwordSource();
    return source ? source(line) : std::string();
}

std::string kindName(LineKind kind) {
    switch (kind) {
    case LineKind::Loopback: return "loopback";
    case LineKind::Tel: return "tel";
    case LineKind::Sip: return "sip";
    }
    return "loopback";
}

std::optional<LineKind> kindNamed(std::string_view name) {
    for (LineKind kind : {LineKind::Loopback, LineKind::Tel, LineKind::Sip})
        if (kindName(kind) == name) return kind;
    return std::nullopt;
}

std::vector<Line> readLines(const fs::path& dataFolder) {
    const fs::path file = lineFile(dataFolder);
    std::error_code ec;
    if (!fs::exists(file, ec)) return {};
    std::ifstream in(file);
    const auto doc = nlohmann::json::parse(in, nullptr, false);
    std::vector<Line> lines;
    try {
        if (!in.good() && !in.eof()) throw std::runtime_error("unreadable");
        for (const auto& entry : doc.at("lines")) lines.push_back(fromJson(entry));
    } catch (const std::exception&) {
        raise(TelephonyError::LineListUnreadable, file.string());
    }
    return lines;
}

SipAccount parseSipAccount(const std::string& account) {
    auto bad = [&] { raise(TelephonyError::BadAccount, account); };
    if (!account.starts_with("sip:") || hasControlCharacter(account) || account.find_first_of(" ;<>\"") != std::string::npos)
        bad();
    const std::string rest = account.substr(4);
    const size_t at = rest.find('@');
    if (at == 0 || at == std::string::npos) bad();
    SipAccount parts;
    parts.user = rest.substr(0, at);
    std::string hostPort = rest.substr(at + 1);
    const size_t colon = hostPort.rfind(':');
    if (colon != std::string::npos) {
        const std::string port = hostPort.substr(colon + 1);
        if (port.empty() || port.size() > 5 || port.find_first_not_of("0123456789") != std::string::npos) bad();
        const int number = std::stoi(port);
        if (number < 1 || number > 65535) bad();
        parts.port = number;
        hostPort.resize(colon);
    }
    if (hostPort.empty() || hostPort.find_first_of("@:/") != std::string::npos) bad();
    parts.host = hostPort;
    return parts;
}

void checkSipPassword(const std::string& password) {
    if (password.empty() || password.size() > kMaxPasswordLength || hasControlCharacter(password) ||
        password.find_first_of(" ;") != std::string::npos)
        raise(TelephonyError::BadPassword);
}

void checkOutboundProxy(const std::string& proxy) {
    if (proxy.empty()) return;
    // The same rules as an account's host and port, with a user part of the proxy's own.
    if (!proxy.starts_with("sip:") || proxy.find('@') != std::string::npos) raise(TelephonyError::BadOutboundProxy, proxy);
    try {
        parseSipAccount("sip:proxy@" + proxy.substr(4));
    } catch (const Error&) {
        raise(TelephonyError::BadOutboundProxy, proxy);
    }
}

void addLine(const fs::path& dataFolder, const Line& line) {
    checkName(line.name);
    if (line.kind == LineKind::Sip) parseSipAccount(line.account);
    if (!line.password.empty()) checkSipPassword(line.password);
    checkOutboundProxy(line.outboundProxy);
    if (hasControlCharacter(line.audio)) raise(TelephonyError::BadSoundDevice);
    std::vector<Line> lines = readLines(dataFolder);
    for (const Line& existing : lines)
        if (sameName(existing.name, line.name)) raise(TelephonyError::LineExists, line.name);
    lines.push_back(line);
    writeLines(dataFolder, lines);
}

void removeLine(const fs::path& dataFolder, const std::string& name) {
    std::vector<Line> lines = readLines(dataFolder);
    const auto it = std::find_if(lines.begin(), lines.end(), [&](const Line& l) { return sameName(l.name, name); });
    if (it == lines.end()) raise(TelephonyError::NoSuchLine, name);
    lines.erase(it);
    writeLines(dataFolder, lines);
}

}  // namespace lumora::telephony
