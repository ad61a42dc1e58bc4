// pim: what a person does in the PIM itself, from a shell: select items, open another user's
// mailbox, share a default folder, import a vCard or iCalendar file and export a default folder
// to one. Each is one call of Lumora.PimAdmin.

#include <filesystem>

#include "Automation/class_ids.hpp"
#include "Automation/top_level_call.hpp"
#include "commands.hpp"
#include "pim_account_commands.hpp"
#include "pim_history_commands.hpp"

namespace lumora::host::cli {

namespace {

const std::string kPimUsage = std::string(
    "pim select [ENTRYID...] | mailbox add NAME | share NAME TYPE [true|false]\n"
    "pim import FILE | export --contacts|--calendar|--tasks FILE\n") + kPimHistoryUsage + "\n" + kPimAccountUsage;

// The file as the local user names it, relative to where the command runs.
std::string absoluteFile(const std::string& file) { return std::filesystem::absolute(file).string(); }

// export --contacts|--calendar|--tasks FILE: the option names the folder, so it is read here
// rather than refused as an unknown option.
int runExport(const CliOptions& options, const std::vector<std::string>& rawArgs) {
    if (rawArgs.size() != 3 || rawArgs[1].rfind("--", 0) != 0)
        throw UsageError("pim export needs --contacts, --calendar or --tasks and a file");
    const std::string kind = rawArgs[1].substr(2);
    if (kind != "contacts" && kind != "calendar" && kind != "tasks")
        throw UsageError("pim export: " + rawArgs[1] + " is not --contacts, --calendar or --tasks");
    return createAndCall(options, std::string(progid::PimAdmin), "Export",
                         nlohmann::json::array({kind, absoluteFile(rawArgs[2])}));
}

int runPimCommand(const CliOptions& options, const std::vector<std::string>& rawArgs) {
    if (!rawArgs.empty() && rawArgs[0] == "export") return runExport(options, rawArgs);
    auto args = positionalArgs("pim", rawArgs);
    std::string admin(progid::PimAdmin);
    if (!args.empty() && args[0] == "select") {
        nlohmann::json entryIds = nlohmann::json::array();
        for (size_t i = 1; i < args.size(); ++i) entryIds.push_back(args[i]);
        return createAndCall(options, admin, "Select", std::move(entryIds));
    }
    if (args.size() == 3 && args[0] == "mailbox" && args[1] == "add")
        return createAndCall(options, admin, "AddMailbox", nlohmann::json::array({args[2]}));
    if ((args.size() == 3 || args.size() == 4) && args[0] == "share") {
        int folderType = 0;
        try {
            folderType = std::stoi(args[2]);
        } catch (const std::exception&) {
            throw UsageError("pim share: the folder type must be a number, such as 9 for the calendar");
        }
        bool allowed = true;
        if (args.size() == 4) {
            if (args[3] != "true" && args[3] != "false") throw UsageError("pim share: the last argument is true or false");
            allowed = args[3] == "true";
        }
        return createAndCall(options, admin, "Share", nlohmann::json::array({args[1], folderType, allowed}));
    }
    // The result is how many items the file held; byref[1] and byref[2] how many of them were
    // created and how many updated in place.
    if (args.size() == 2 && args[0] == "import")
        return createAndCall(options, admin, "Import", nlohmann::json::array({absoluteFile(args[1]), 0, 0}));
    throw UsageError(std::string("pim needs one of: ") + kPimUsage);
}

// Each pim command is one unit of work, recorded as the command the person typed. The history
// commands name theirs after the whole command line, and say what they did once it is durable.
int runPim(const CliOptions& options, const std::vector<std::string>& rawArgs) {
    if (isPimHistoryCommand(rawArgs)) return runPimHistoryCommand(options, rawArgs);
    if (isPimAccountCommand(rawArgs)) return runPimAccountCommand(options, rawArgs);
    TopLevelCall unitOfWork("lumora pim" + (rawArgs.empty() ? std::string() : " " + rawArgs.front()));
    const int status = runPimCommand(options, rawArgs);
    unitOfWork.finish();  // work that could not be kept ends the command with its error
    return status;
}

const CommandRegistration kPim{{"pim", kPimUsage,
                                "selects items, adds mailboxes, shares folders, imports and exports in the PIM; adds, lists and removes "
                                "the groupware accounts it syncs with; "
                                "lists its history, undoes an entry, lists, restores and empties its trash",
                                runPim}};

}  // namespace

}  // namespace lumora::host::cli
