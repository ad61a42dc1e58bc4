#include "options.hpp"

#include "Host/value_encoding.hpp"
#include "commands.hpp"

namespace lumora::host::cli {

namespace {

constexpr const char* kOptionsHelp =
    "Options (before or after the command):\n"
    "  --data DIR        data folder: per-user registry and stand-in stores\n"
    "                    (default $XDG_DATA_HOME/lumora, else ~/.local/share/lumora)\n"
    "  --temp DIR        temporary folder the controls write to (default $TMPDIR, else /tmp)\n"
    "  --now yyyy-MM-ddTHH:mm:ss\n"
    "                    pins the clock the controls read\n"
    "  --locale NAME     the user's locale, e.g. en_GB (date order, currency symbol)\n"
    "  --no-launch       files handed to their program are checked and recorded, no program starts\n"
    "  -h, --help        this text\n"
    "\n"
    "Values (ARG, script args and results) use one JSON encoding: \"text\", true/false, 12 (Long),\n"
    "1.5 (Double), null (Null), {\"$i2\": n}, {\"$empty\": true}, {\"$missing\": true},\n"
    "{\"$date\": \"yyyy-MM-ddTHH:mm:ss\"}, [arrays], {\"$array\": [...], \"$lbound\": n}, {\"$xml\": \"<...>\"},\n"
    "{\"$html\": \"<...>\"} and {\"$object\": id}. An ARG that is not JSON is taken as a plain string.\n"
    "\n"
    "A script is {\"now\": \"...\"?, \"steps\": [...]} with steps, numbered from 0:\n"
    "  {\"create\": PROGID, \"as\": NAME}\n"
    "  {\"call\": NAME, \"member\": M, \"args\": [...], \"named\": {...}, \"answers\": [button codes],\n"
    "   \"clicks\": [{\"window\": W, \"button\": B, \"afterPumps\": n}], \"as\": NAME2}\n"
    "  {\"get\": NAME, \"member\": M, \"args\": [...], \"as\": NAME2}\n"
    "  {\"put\": NAME, \"member\": M, \"args\": [index...], \"value\": V}\n"
    "  {\"set\": {\"absent\": [PROGID...], \"notRunning\": [PROGID...], \"failFirst\": [PROGID...]}}\n"
    "In values, {\"$object\": NAME} passes the object named NAME. Message boxes without an answer take\n"
    "their default button. The transcript has, for each step: step, result, byref, error, messageBoxes,\n"
    "windows, shown, opened, keys.\n"
    "\n"
    "Exit status: 0 done, 1 the call or the registration failed, 2 wrong command line or script.\n";

struct ValueOption {
    const char* name;
    void (*apply)(CliOptions&, const std::string&);
};

const ValueOption kValueOptions[] = {
    {"--data", [](CliOptions& o, const std::string& v) { o.dataFolder = std::filesystem::path(v); }},
    {"--temp", [](CliOptions& o, const std::string& v) { o.tempFolder = v; }},
    {"--locale", [](CliOptions& o, const std::string& v) { o.locale = v; }},
    {"--now",
     [](CliOptions& o, const std::string& v) {
         o.now = parseEncodedDate(v);
         if (!o.now) throw UsageError("--now must read yyyy-MM-ddTHH:mm:ss, not '" + v + "'");
     }},
};

// Applies argv[i] when it is a global option, advancing i past its value. False when it is not one.
bool readGlobalOption(CliOptions& options, int argc, const char* const argv[], int& i) {
    std::string arg = argv[i];
    if (arg == "--help" || arg == "-h") return options.help = true;
    if (arg == "--no-launch") {
        options.launchPrograms = false;
        return true;
    }
    for (const auto& option : kValueOptions) {
        std::string name = option.name;
        if (arg == name) {
            if (i + 1 >= argc) throw UsageError(name + " needs a value");
            option.apply(options, argv[++i]);
            return true;
        }
        if (arg.starts_with(name + "=")) {
            option.apply(options, arg.substr(name.size() + 1));
            return true;
        }
    }
    return false;
}

}  // namespace

desktop::SystemConfig CliOptions::systemConfig() const {
    desktop::SystemConfig config;
    config.pinnedNow = now;
    config.tempFolder = tempFolder;
    config.locale = locale;
    return config;
}

StartupOptions CliOptions::startupOptions() const {
    StartupOptions startup;
    if (dataFolder) startup.dataFolder = *dataFolder;
    return startup;
}

CommandLine parseCommandLine(int argc, const char* const argv[]) {
    CommandLine line;
    bool optionsEnded = false;
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        if (!optionsEnded && readGlobalOption(line.options, argc, argv, i)) continue;
        if (line.command.empty()) {
            if (arg.starts_with("-") && arg != "-") throw UsageError("unknown option '" + arg + "'");
            line.command = arg;
            continue;
        }
        if (arg == "--") optionsEnded = true;
        line.args.push_back(arg);
    }
    return line;
}

std::string helpText() {
    std::string text = "Usage: lumora [OPTIONS] COMMAND [ARGS]\n\nCommands:\n";
    size_t width = 0;
    for (const auto& command : commands()) width = std::max(width, command.usage.size());
    for (const auto& command : commands()) {
        text += "  " + command.usage + std::string(width - command.usage.size() + 2, ' ') + command.summary + "\n";
    }
    return text + "\n" + kOptionsHelp;
}

}  // namespace lumora::host::cli
