// lumora: the command line of Lumora Desktop. Global options are read first, wherever they
// stand; the command named is then looked up in the command table (commands.hpp).

#include <iostream>

#include "Automation/error.hpp"
#include "commands.hpp"
#include "script.hpp"

using namespace lumora::host::cli;

namespace {

int usageFailure(const std::string& message) {
    std::cerr << "lumora: " << message << "\nTry 'lumora --help'.\n";
    return kExitUsage;
}

}  // namespace

int main(int argc, char* argv[]) {
    try {
        CommandLine line = parseCommandLine(argc, argv);
        if (line.options.help) {
            std::cout << helpText();
            return kExitOk;
        }
        if (line.options.version) {
            std::cout << versionText();
            return kExitOk;
        }
        for (const std::string& warning : optionWarnings(line.options)) std::cerr << "lumora: warning: " << warning << '\n';
        if (line.command.empty()) return usageFailure("no command given");
        ensureTempFolder(line.options);
        const Command* command = findCommand(line.command);
        if (!command) return usageFailure("unknown command '" + line.command + "'");
        return command->run(line.options, line.args);
    } catch (const UsageError& e) {
        return usageFailure(e.what());
    } catch (const ScriptError& e) {
        std::cerr << "lumora: run: " << e.what() << '\n';
        return kExitUsage;
    } catch (const lumora::Error& e) {
        std::cerr << "lumora: " << e.description() << " (" << e.number() << ")\n";
        return kExitFailed;
    } catch (const std::exception& e) {
        std::cerr << "lumora: " << e.what() << '\n';
        return kExitFailed;
    }
}
