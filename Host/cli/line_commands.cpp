// lines: the phone lines that "TAPI.TAPI" offers as addresses, kept in the data folder.

#include <iostream>

#include "Automation/error.hpp"
#include "Automation/registry.hpp"
#include "Host/accounts/line_passwords.hpp"
#include "Platform/Telephony/line_agent.hpp"
#include "Platform/Telephony/line_list.hpp"
#include "Platform/Telephony/sound_device.hpp"
#include "command_words.hpp"
#include "commands.hpp"
#include "password_input.hpp"

namespace lumora::host::cli {

namespace {

using telephony::Line;
using telephony::LineKind;
using Clock = std::chrono::steady_clock;

// The help fits in 80 columns; the SIP options are named where they are missing or wrong.
constexpr char kUsage[] = "lines list | add loopback|tel|sip NAME [--account ...] | remove NAME";
constexpr char kSipUsage[] =
    "lines add sip NAME --account sip:USER@HOST[:PORT] [--password-file F] [--outbound-proxy sip:HOST[:PORT]] "
    "[--audio DEVICE] [--wait SECONDS] [--no-register]";
// How long `lines list` waits for the PBXes to answer the registrations.
constexpr auto kRegistrationWait = std::chrono::seconds(5);

std::chrono::seconds waitOf(const std::string& text) {
    if (text.empty() || text.size() > 3 || text.find_first_not_of("0123456789") != std::string::npos)
        throw UsageError("lines: --wait takes 1 to 300 seconds");
    const int seconds = std::stoi(text);
    if (seconds < 1 || seconds > 300) throw UsageError("lines: --wait takes 1 to 300 seconds");
    return std::chrono::seconds(seconds);
}

struct LineToAdd {
    Line line;
    std::optional<std::string> password;
};

LineToAdd lineToAdd(const std::vector<std::string>& args) {
    const CommandWords given =
        readWords("lines add", args,
                  {"--account", "--password", "--password-file", "--outbound-proxy", "--audio", "--wait"},
                  {"--no-register"});
    if (given.words.size() != 2) throw UsageError(std::string("lines add needs a kind and a name: ") + kUsage);
    const auto kind = telephony::kindNamed(given.words[0]);
    if (!kind) throw UsageError("lines: unknown kind '" + given.words[0] + "' (loopback, tel or sip)");
    LineToAdd out;
    out.line.kind = *kind;
    out.line.name = given.words[1];
    if (*kind != LineKind::Sip) {
        if (!given.values.empty() || !given.flags.empty())
            throw UsageError("lines: --account and the other options belong to sip lines");
        return out;
    }
    const auto account = given.value("--account");
    if (!account) throw UsageError(std::string("lines add sip needs --account: ") + kSipUsage);
    out.line.account = *account;
    if (const auto wait = given.value("--wait")) out.line.connectWait = waitOf(*wait);
    out.line.outboundProxy = given.value("--outbound-proxy").value_or("");
    out.line.audio = given.value("--audio").value_or("");
    // --password stays for the scripts that used it; a file keeps the password out of the
    // process list and the shell's history.
    if (const auto file = given.value("--password-file"))
        out.password = readPassword("lines add", file, "Password for " + *account);
    else if (const auto password = given.value("--password"))
        out.password = *password;
    // A line with a password is an account with a PBX, and registers there unless told not to.
    out.line.registers = out.password.has_value() && !given.flags.contains("--no-register");
    return out;
}

nlohmann::json listEntry(const Line& line) {
    nlohmann::json entry{{"name", line.name}, {"kind", telephony::kindName(line.kind)}};
    if (line.kind != LineKind::Sip) return entry;
    entry["account"] = line.account;
    entry["password"] = !telephony::linePassword(line).empty();
    entry["waitSeconds"] = line.connectWait.count();
    entry["register"] = line.registers;
    if (!line.outboundProxy.empty()) entry["outboundProxy"] = line.outboundProxy;
    entry["audio"] = line.audio.empty() ? "default" : line.audio;
    return entry;
}

// Each registering line registers now, all at once; how each stands after the PBXes' answers.
nlohmann::json listLines(const std::filesystem::path& dataFolder) {
    const std::vector<Line> lines = telephony::readLines(dataFolder);
    std::vector<std::shared_ptr<telephony::LineAgent>> agents(lines.size());
    std::vector<std::string> failures(lines.size());
    for (size_t i = 0; i < lines.size(); ++i) {
        if (lines[i].kind != LineKind::Sip || !lines[i].registers) continue;
        try {
            agents[i] = telephony::keptAgent(lines[i], telephony::linePassword(lines[i]));
        } catch (const Error& e) {
            failures[i] = e.description();
        }
    }
    const auto deadline = Clock::now() + kRegistrationWait;
    nlohmann::json list = nlohmann::json::array();
    for (size_t i = 0; i < lines.size(); ++i) {
        nlohmann::json entry = listEntry(lines[i]);
        if (lines[i].kind == LineKind::Sip) {
            telephony::Registration registration;
            if (agents[i]) registration = agents[i]->waitRegistered(deadline);
            else if (!failures[i].empty()) registration = {telephony::Registration::State::Failing, failures[i]};
            entry["state"] = telephony::registrationText(registration);
            if (agents[i] && !agents[i]->sound().problem.empty()) entry["sound"] = agents[i]->sound().problem;
        }
        list.push_back(std::move(entry));
    }
    return list;
}

int runLines(const CliOptions& options, const std::vector<std::string>& args) {
    if (args.empty()) throw UsageError(std::string("lines needs what to do: ") + kUsage);
    prepareHost(options, false);
    const std::filesystem::path dataFolder = Registry::instance().dataFolder();
    const std::string& action = args[0];
    const std::vector<std::string> rest(args.begin() + 1, args.end());
    if (action == "list") {
        if (!rest.empty()) throw UsageError("lines list takes no arguments");
        printJson(listLines(dataFolder));
        return kExitOk;
    }
    if (action == "add") {
        const LineToAdd added = lineToAdd(args);
        if (added.password) telephony::checkSipPassword(*added.password);
        telephony::addLine(dataFolder, added.line);
        std::string kept;
        if (added.password) {
            try {
                kept = saveLinePassword(dataFolder, added.line.name, *added.password);
            } catch (const Error&) {
                // A line whose password could not be kept is not left behind half made.
                telephony::removeLine(dataFolder, added.line.name);
                throw;
            }
        }
        std::cout << "Added the " << telephony::kindName(added.line.kind) << " line '" << added.line.name << "'";
        if (added.line.registers) std::cout << "; it registers as " << added.line.account;
        if (!kept.empty()) std::cout << "; its password is kept in " << kept;
        std::cout << ".\n";
        return kExitOk;
    }
    if (action == "remove") {
        const auto names = positionalArgs("lines remove", rest);
        if (names.size() != 1) throw UsageError("lines remove needs one name");
        telephony::removeLine(dataFolder, names[0]);
        forgetLinePassword(dataFolder, names[0]);
        std::cout << "Removed the line '" << names[0] << "'.\n";
        return kExitOk;
    }
    throw UsageError("lines: unknown action '" + action + "' (list, add or remove)");
}

const CommandRegistration kLines{{"lines", kUsage, "lists, adds and removes the phone lines that calls are placed on",
                                  runLines}};

}  // namespace

}  // namespace lumora::host::cli
