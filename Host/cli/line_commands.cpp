// lines: the phone lines that "TAPI.TAPI" offers as addresses, kept in the data folder.

#include <iostream>

#include "Automation/registry.hpp"
#include "Platform/Telephony/line_list.hpp"
#include "commands.hpp"

namespace lumora::host::cli {

namespace {

using telephony::Line;
using telephony::LineKind;

// The help fits in 80 columns; the SIP options are named where they are missing or wrong.
constexpr char kUsage[] = "lines list | add loopback|tel|sip NAME [--account ...] | remove NAME";

// The options of "lines add sip", each followed by its value; the rest in order.
struct AddArguments {
    std::vector<std::string> positional;
    std::optional<std::string> account, password, wait;
};

AddArguments readAddArguments(const std::vector<std::string>& args) {
    AddArguments out;
    for (size_t i = 0; i < args.size(); ++i) {
        std::optional<std::string>* slot = args[i] == "--account"    ? &out.account
                                           : args[i] == "--password" ? &out.password
                                           : args[i] == "--wait"     ? &out.wait
                                                                     : nullptr;
        if (!slot) {
            if (args[i].starts_with("--") && args[i] != "--") throw UsageError("lines: unknown option '" + args[i] + "'");
            if (args[i] != "--") out.positional.push_back(args[i]);
            continue;
        }
        if (i + 1 >= args.size()) throw UsageError("lines: " + args[i] + " needs a value");
        *slot = args[++i];
    }
    return out;
}

std::chrono::seconds waitOf(const std::string& text) {
    if (text.empty() || text.size() > 3 || text.find_first_not_of("0123456789") != std::string::npos)
        throw UsageError("lines: --wait takes 1 to 300 seconds");
    const int seconds = std::stoi(text);
    if (seconds < 1 || seconds > 300) throw UsageError("lines: --wait takes 1 to 300 seconds");
    return std::chrono::seconds(seconds);
}

Line lineToAdd(const std::vector<std::string>& args) {
    const AddArguments given = readAddArguments(args);
    if (given.positional.size() != 2) throw UsageError(std::string("lines add needs a kind and a name: ") + kUsage);
    const auto kind = telephony::kindNamed(given.positional[0]);
    if (!kind) throw UsageError("lines: unknown kind '" + given.positional[0] + "' (loopback, tel or sip)");
    Line line;
    line.kind = *kind;
    line.name = given.positional[1];
    if (*kind == LineKind::Sip) {
        if (!given.account) throw UsageError("lines add sip needs --account sip:USER@HOST[:PORT] (and may take --password P --wait SECONDS)");
        line.account = *given.account;
        line.password = given.password.value_or("");
        if (given.wait) line.connectWait = waitOf(*given.wait);
    } else if (given.account || given.password || given.wait) {
        throw UsageError("lines: --account, --password and --wait belong to sip lines");
    }
    return line;
}

int runLines(const CliOptions& options, const std::vector<std::string>& args) {
    if (args.empty()) throw UsageError(std::string("lines needs what to do: ") + kUsage);
    prepareHost(options, false);
    const std::filesystem::path dataFolder = Registry::instance().dataFolder();
    const std::string& action = args[0];
    const std::vector<std::string> rest(args.begin() + 1, args.end());
    if (action == "list") {
        if (!rest.empty()) throw UsageError("lines list takes no arguments");
        nlohmann::json list = nlohmann::json::array();
        // The password stays in the file; the list only says that there is one.
        for (const Line& line : telephony::readLines(dataFolder)) {
            nlohmann::json entry{{"name", line.name}, {"kind", telephony::kindName(line.kind)}};
            if (line.kind == LineKind::Sip) {
                entry["account"] = line.account;
                entry["password"] = !line.password.empty();
                entry["waitSeconds"] = line.connectWait.count();
            }
            list.push_back(entry);
        }
        printJson(list);
        return kExitOk;
    }
    if (action == "add") {
        const Line line = lineToAdd(rest);
        telephony::addLine(dataFolder, line);
        std::cout << "Added the " << telephony::kindName(line.kind) << " line '" << line.name << "'.\n";
        return kExitOk;
    }
    if (action == "remove") {
        const auto names = positionalArgs("lines remove", rest);
        if (names.size() != 1) throw UsageError("lines remove needs one name");
        telephony::removeLine(dataFolder, names[0]);
        std::cout << "Removed the line '" << names[0] << "'.\n";
        return kExitOk;
    }
    throw UsageError("lines: unknown action '" + action + "' (list, add or remove)");
}

const CommandRegistration kLines{{"lines", kUsage, "lists, adds and removes the phone lines that calls are placed on",
                                  runLines}};

}  // namespace

}  // namespace lumora::host::cli
