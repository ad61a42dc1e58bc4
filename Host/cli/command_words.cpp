#include "command_words.hpp"

#include "commands.hpp"

namespace lumora::host::cli {

CommandWords readWords(const std::string& command, const std::vector<std::string>& args,
                       const std::set<std::string>& valueOptions, const std::set<std::string>& flagOptions) {
    CommandWords read;
    bool optionsEnded = false;
    for (size_t i = 1; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (optionsEnded || !arg.starts_with("--")) {
            read.words.push_back(arg);
        } else if (arg == "--") {
            optionsEnded = true;
        } else if (flagOptions.contains(arg)) {
            read.flags.insert(arg);
        } else if (valueOptions.contains(arg)) {
            if (i + 1 == args.size()) throw UsageError(command + ": " + arg + " needs a value");
            read.values[arg] = args[++i];
        } else {
            throw UsageError(command + ": unknown option '" + arg + "'");
        }
    }
    return read;
}

}  // namespace lumora::host::cli
