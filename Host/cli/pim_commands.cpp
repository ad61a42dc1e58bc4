// pim: what a person does in the PIM itself, from a shell: select items, open another user's
// mailbox, share a default folder. Each is one call of Lumora.PimAdmin.

#include "Automation/class_ids.hpp"
#include "commands.hpp"

namespace lumora::host::cli {

namespace {

constexpr const char* kPimUsage =
    "pim select [ENTRYID...] | mailbox add NAME | share NAME TYPE [true|false]";

int runPim(const CliOptions& options, const std::vector<std::string>& rawArgs) {
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
    throw UsageError(std::string("pim needs one of: ") + kPimUsage);
}

const CommandRegistration kPim{{"pim", kPimUsage, "selects items, adds mailboxes and shares folders in the PIM",
                                runPim}};

}  // namespace

}  // namespace lumora::host::cli
