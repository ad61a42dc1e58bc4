#include "options.hpp"

#include "Automation/deliverables.hpp"
#include "Automation/error.hpp"
#include "Host/drive_settings.hpp"
#include "Host/value_encoding.hpp"
#include "Platform/Desktop/user_locale.hpp"
#include "commands.hpp"

namespace lumora::host::cli {

namespace {

constexpr size_t kHelpWidth = 80;
constexpr size_t kSummaryIndent = 6;

std::vector<std::string_view> splitLines(std::string_view text) {
    std::vector<std::string_view> lines;
    while (true) {
        size_t end = text.find('\n');
        lines.push_back(text.substr(0, end));
        if (end == std::string_view::npos) return lines;
        text.remove_prefix(end + 1);
    }
}

// The text as lines of at most kHelpWidth columns, each indented; words are not split.
std::string wrapped(std::string_view text, size_t indent) {
    std::string out;
    std::string line;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find(' ', start);
        if (end == std::string_view::npos) end = text.size();
        std::string_view word = text.substr(start, end - start);
        if (!line.empty() && indent + line.size() + 1 + word.size() > kHelpWidth) {
            out += std::string(indent, ' ') + line + "\n";
            line.clear();
        }
        line += (line.empty() ? "" : " ") + std::string(word);
        start = end + 1;
    }
    if (!line.empty()) out += std::string(indent, ' ') + line + "\n";
    return out;
}

constexpr const char* kOptionsHelp =
    "Options (before or after the command):\n"
    "  --data DIR        data folder: per-user registry and stand-in stores\n"
    "                    (default $XDG_DATA_HOME/lumora, else ~/.local/share/lumora)\n"
    "  --temp DIR        temporary folder the controls write to\n"
    "                    (default $TMPDIR, else /tmp)\n"
    "  --now yyyy-MM-ddTHH:mm:ss\n"
    "                    pins the clock the controls read\n"
    "  --locale NAME     the user's locale, e.g. en_GB (date order, currency symbol)\n"
    "  --drive DRIVE=FOLDER\n"
    "                    for this run, the local folder that a page's drive (C:) or\n"
    "                    share (\\\\server\\share) stands for, besides 'lumora drives'\n"
    "  --no-launch       files handed to their program are checked and recorded,\n"
    "                    no program starts\n"
    "  --version         the version of lumora and of the controls\n"
    "  -h, --help        this text\n"
    "\n"
    "Values (ARG, script args and results) use one JSON encoding: \"text\",\n"
    "true/false, 12 (Long), 1.5 (Double), null (Null), {\"$i2\": n}, {\"$empty\": true},\n"
    "{\"$missing\": true}, {\"$date\": \"yyyy-MM-ddTHH:mm:ss\"}, [arrays],\n"
    "{\"$array\": [...], \"$lbound\": n}, {\"$xml\": \"<...>\"}, {\"$html\": \"<...>\"} and\n"
    "{\"$object\": id}. An ARG that is not JSON is taken as a plain string.\n"
    "\n"
    "A script is {\"now\": \"...\"?, \"steps\": [...]} with steps, numbered from 0:\n"
    "  {\"create\": PROGID, \"as\": NAME}\n"
    "  {\"call\": NAME, \"member\": M, \"args\": [...], \"named\": {...},\n"
    "   \"answers\": [button codes],\n"
    "   \"clicks\": [{\"window\": W, \"button\": B, \"afterPumps\": n}], \"as\": NAME2}\n"
    "  {\"get\": NAME, \"member\": M, \"args\": [...], \"as\": NAME2}\n"
    "  {\"put\": NAME, \"member\": M, \"args\": [index...], \"value\": V}\n"
    "  {\"set\": {\"absent\": [PROGID...], \"notRunning\": [PROGID...],\n"
    "           \"failFirst\": [PROGID...]}}\n"
    "In values, {\"$object\": NAME} passes the object named NAME. Message boxes\n"
    "without an answer take their default button. The transcript has, for each\n"
    "step: step, result, byref, error, messageBoxes, windows, shown, opened, keys.\n"
    "\n"
    "Exit status: 0 done, 1 the call or the registration failed, 2 wrong command\n"
    "line or script.\n";

// The folder made absolute, or as given when the current folder cannot be found.
std::filesystem::path absoluteFolder(const std::string& folder) {
    std::error_code unknown;
    std::filesystem::path absolute = std::filesystem::absolute(folder, unknown);
    return unknown ? std::filesystem::path(folder) : absolute;
}

struct ValueOption {
    const char* name;
    void (*apply)(CliOptions&, const std::string&);
};

const ValueOption kValueOptions[] = {
    // Folders named on the command line are relative to where the command runs, like the files a
    // person names; the drive table and the stand-ins keep them absolute.
    {"--data", [](CliOptions& o, const std::string& v) { o.dataFolder = absoluteFolder(v); }},
    {"--temp", [](CliOptions& o, const std::string& v) { o.tempFolder = absoluteFolder(v).string(); }},
    {"--locale", [](CliOptions& o, const std::string& v) { o.locale = v; }},
    {"--drive",
     [](CliOptions& o, const std::string& v) {
         try {
             o.drives.push_back(parseDriveSetting(v));
         } catch (const Error& e) {
             throw UsageError("--drive: " + e.description());
         }
     }},
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
    if (arg == "--version") return options.version = true;
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
    for (const auto& command : commands()) {
        // The usage on its own lines (a long one is split by the command), the summary below it.
        for (std::string_view line : splitLines(command.usage)) text += "  " + std::string(line) + "\n";
        text += wrapped(command.summary, kSummaryIndent);
    }
    return text + "\n" + kOptionsHelp;
}

std::string versionText() {
    std::string text = "lumora " LUMORA_VERSION "\n";
    for (const deliverables::Identity* identity :
         {&deliverables::kDesktopControl, &deliverables::kDialer, &deliverables::kMailControl}) {
        text += "  " + std::string(identity->progId) + " " + deliverables::versionText(identity->version) + "\n";
    }
    return text;
}

void ensureTempFolder(const CliOptions& options) {
    if (!options.tempFolder || options.tempFolder->empty()) return;
    const std::filesystem::path folder(*options.tempFolder);
    std::error_code error;
    if (std::filesystem::exists(folder, error) && !std::filesystem::is_directory(folder, error))
        throw UsageError("--temp: '" + folder.string() + "' is a file, not a folder");
    std::filesystem::create_directories(folder, error);
    if (error) throw UsageError("--temp: the folder '" + folder.string() + "' cannot be made: " + error.message());
}

std::vector<std::string> optionWarnings(const CliOptions& options) {
    std::vector<std::string> warnings;
    if (options.locale && desktop::locale::icuLocaleId(*options.locale).empty()) {
        warnings.push_back("--locale '" + *options.locale +
                           "' is not a locale this system knows (try en_GB or de_DE);\n"
                           "  dateFormatOrder and currencyFormat will answer empty");
    }
    return warnings;
}

}  // namespace lumora::host::cli
