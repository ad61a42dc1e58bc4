#include "commands.hpp"

#include <algorithm>
#include <iostream>

#include "Host/drive_settings.hpp"
#include "Host/startup.hpp"

namespace lumora::host::cli {

namespace {

// A function-local table: commands register from static initialisers in several source files,
// whose order the language leaves open.
std::vector<Command>& table() {
    static std::vector<Command> commands;
    return commands;
}

}  // namespace

void addCommand(Command command) {
    auto& all = table();
    auto it = std::find_if(all.begin(), all.end(), [&](const Command& c) { return c.name == command.name; });
    if (it != all.end())
        *it = std::move(command);
    else
        all.push_back(std::move(command));
}

const Command* findCommand(const std::string& name) {
    for (const auto& command : table())
        if (command.name == name) return &command;
    return nullptr;
}

const std::vector<Command>& commands() { return table(); }

std::vector<std::string> positionalArgs(const std::string& command, const std::vector<std::string>& args) {
    std::vector<std::string> out;
    bool optionsEnded = false;
    for (const auto& arg : args) {
        if (!optionsEnded && arg == "--") {
            optionsEnded = true;
        } else if (!optionsEnded && arg.size() > 2 && arg.starts_with("--")) {
            throw UsageError(command + ": unknown option '" + arg + "' (put -- before a value that begins with --)");
        } else {
            out.push_back(arg);
        }
    }
    return out;
}

void prepareHost(const CliOptions& options, bool registerDeliverables) {
    StartupOptions startup = options.startupOptions();
    startup.registerDeliverables = registerDeliverables;
    StartupReport report = startHost(startup);
    for (const auto& problem : report.problems) std::cerr << "lumora: warning: " << problem << '\n';
    applyDrives(report.dataFolder, options.drives);
}

void printJson(const nlohmann::json& document) {
    std::cout << document.dump(2, ' ', false, nlohmann::json::error_handler_t::replace) << std::endl;
}

void printJsonLine(const nlohmann::json& document) {
    std::cout << document.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace) << std::endl;
}

}  // namespace lumora::host::cli
