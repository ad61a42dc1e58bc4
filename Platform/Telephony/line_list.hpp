#pragma once
// The phone lines of this workstation, kept in lines.json in the data folder. Each line has a
// name (the address name that pages match against) and the provider that places its calls.

#include <chrono>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace lumora::telephony {

enum class LineKind { Loopback, Tel, Sip };

struct Line {
    std::string name;
    LineKind kind = LineKind::Loopback;
    std::string account;   // sip:USER@HOST[:PORT], SIP lines only
    // Only in line lists written before passwords were kept apart (linePassword); "" otherwise.
    std::string password;
    std::chrono::seconds connectWait{20};  // how long Connect waits for the far end
    bool registers = false;     // registers with the account's host, its PBX, and keeps that fresh
    std::string outboundProxy;  // sip:HOST[:PORT] every request goes through; "" for none
    std::string audio;          // the sound device (sound_device.hpp); "" for the system's default

    static Line loopback(std::string name) { return of(std::move(name), LineKind::Loopback); }
    static Line tel(std::string name) { return of(std::move(name), LineKind::Tel); }
    static Line sip(std::string name, std::string account, std::string password = {}) {
        Line line = of(std::move(name), LineKind::Sip);
        line.account = std::move(account);
        line.password = std::move(password);
        return line;
    }

private:
    static Line of(std::string name, LineKind kind) {
        Line line;
        line.name = std::move(name);
        line.kind = kind;
        return line;
    }
};

std::string kindName(LineKind kind);
std::optional<LineKind> kindNamed(std::string_view name);

// The lines of the data folder, in the order they were added; none when the file is missing.
// A file that cannot be read as a line list raises LineListUnreadable rather than passing for
// an empty one, so a damaged file is never silently overwritten.
std::vector<Line> readLines(const std::filesystem::path& dataFolder);

// Adds a line after the others. Refuses a bad name, a name already used (letter case
// ignored), and a SIP account that is not sip:USER@HOST[:PORT]. The file is written beside
// and renamed into place, readable by its owner only since it may hold a password.
void addLine(const std::filesystem::path& dataFolder, const Line& line);
// A password the user agent can carry: 1 to 256 characters, no blanks, ';' or control characters.
void checkSipPassword(const std::string& password);
// "" or sip:HOST[:PORT].
void checkOutboundProxy(const std::string& proxy);
// Removes the line of that name (letter case ignored); NoSuchLine when there is none.
void removeLine(const std::filesystem::path& dataFolder, const std::string& name);

// The password of a SIP line, kept outside the line list: the host installs where it is kept
// (the desktop keyring, or a file only the user can read). "" when there is none.
using LinePasswordSource = std::function<std::string(const Line& line)>;
void setLinePasswordSource(LinePasswordSource source);
std::string linePassword(const Line& line);

// The parts of a SIP account text, after the checks addLine makes.
struct SipAccount {
    std::string user;
    std::string host;
    std::optional<int> port;
};
SipAccount parseSipAccount(const std::string& account);

}  // namespace lumora::telephony
