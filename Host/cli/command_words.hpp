#pragma once
// A subcommand's words and options, read from after its name: `--name VALUE` options, bare
// `--flag` options and the words between them; `--` ends the options.

#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace lumora::host::cli {

struct CommandWords {
    std::vector<std::string> words;
    std::map<std::string, std::string> values;  // options with a value, by name
    std::set<std::string> flags;

    std::optional<std::string> value(const std::string& name) const {
        auto it = values.find(name);
        return it == values.end() ? std::nullopt : std::optional<std::string>(it->second);
    }
};

// args[0] is the subcommand's name. Throws UsageError for an unknown option or a missing value.
CommandWords readWords(const std::string& command, const std::vector<std::string>& args,
                       const std::set<std::string>& valueOptions, const std::set<std::string>& flagOptions);

}  // namespace lumora::host::cli
