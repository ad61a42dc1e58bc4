#pragma once
// The subcommands of `lumora`, kept in one table by name. Built-in commands register in
// call_commands.cpp and library_commands.cpp; a command that lives elsewhere (the bridge's
// `serve`) registers from its own source file, compiled into the lumora executable:
//
//     static const lumora::host::cli::CommandRegistration serveCommand{{
//         "serve", "serve [--port N] …", "serves the bridge for CRM pages", runServe}};
//
// A command receives the global options already read (they may stand before or after the
// command's name) and its own arguments in order, "--" included, and returns the exit status.

#include <functional>
#include <nlohmann/json.hpp>
#include <stdexcept>
#include <string>
#include <vector>

#include "options.hpp"

namespace lumora::host::cli {

// Exit statuses every command shares.
inline constexpr int kExitOk = 0;
inline constexpr int kExitFailed = 1;  // the work was tried and failed (a call raised, a library did not register)
inline constexpr int kExitUsage = 2;   // the command line or the script is wrong; nothing was run

using CommandFn = std::function<int(const CliOptions& options, const std::vector<std::string>& args)>;

struct Command {
    std::string name;     // "call"
    std::string usage;    // "call PROGID MEMBER [ARG…]"
    std::string summary;  // one line for --help
    CommandFn run;
};

// Adds or replaces the command of that name.
void addCommand(Command command);
const Command* findCommand(const std::string& name);
// In the order they were added.
const std::vector<Command>& commands();

struct CommandRegistration {
    explicit CommandRegistration(Command command) { addCommand(std::move(command)); }
};

// Thrown by a command for a wrong command line: main prints "lumora: " + message and the usage
// hint, and exits with kExitUsage.
struct UsageError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// The command's arguments without options: refuses anything that starts with "--" before a "--"
// marker (which is dropped), so a value that begins with "--" is passed after "--".
std::vector<std::string> positionalArgs(const std::string& command, const std::vector<std::string>& args);

// Starts the host for a command: data folder, stand-ins, the drive table and (unless told not
// to) the deliverables' registration; problems registering are printed on stderr as warnings.
// Throws Error when the data folder cannot be used.
void prepareHost(const CliOptions& options, bool registerDeliverables = true);

// Creates progId, calls member with args (values in the value encoding), prints the call's
// transcript entry and returns kExitOk, or kExitFailed when the creation or the call raised.
int createAndCall(const CliOptions& options, const std::string& progId, const std::string& member,
                  nlohmann::json args);

// Prints a JSON document on stdout, indented, as every command's output.
void printJson(const nlohmann::json& document);
// Prints a JSON document on stdout as one line and flushes it, for output read while it grows.
void printJsonLine(const nlohmann::json& document);

}  // namespace lumora::host::cli
