#include "pim_sync_object.hpp"

#include "Automation/class_ids.hpp"
#include "Automation/registry.hpp"
#include "account_status.hpp"
#include "account_sync_runner.hpp"
#include "local_time_text.hpp"
#include "sync_report_text.hpp"

namespace lumora::host {

namespace {

Variant textArray(const std::vector<std::string>& lines) {
    std::vector<Variant> cells;
    for (const std::string& line : lines) cells.emplace_back(line);
    return Variant(Array{0, std::move(cells)});
}

}  // namespace

const TypeInfo& PimSync::typeInfo() const {
    static const TypeInfo info = [] {
        TypeInfo t("PimSync");
        t.method<PimSync>("Accounts", 1, {}, 0, [](PimSync& pimSync, Args&) { return pimSync.accounts(); });
        t.method<PimSync>("SyncNow", 2, {"Account"}, 0, [](PimSync& pimSync, Args& a) {
            return pimSync.syncNow(a.valueOr(0, Variant(std::string())).toString());
        });
        return t;
    }();
    return info;
}

Variant PimSync::accounts() {
    std::vector<Variant> rows;
    for (const AccountStatus& status : accountStatuses(Registry::instance().dataFolder())) {
        const GroupwareAccount& account = status.account;
        std::vector<Variant> cells{Variant(account.name),
                                   Variant(account.serverUrl),
                                   Variant(account.user),
                                   Variant(stateWord(account)),
                                   Variant(statusText(status)),
                                   Variant(static_cast<int32_t>(status.pendingChanges)),
                                   Variant(account.lastSync != 0 ? localTimeText(account.lastSync) : std::string()),
                                   Variant(account.lastError)};
        rows.emplace_back(Array{0, std::move(cells)});
    }
    return Variant(Array{0, std::move(rows)});
}

// Within the page's call the sync still writes as the server (sync::syncAccount), so that what
// it brings is neither sent back nor undone with the call.
Variant PimSync::syncNow(const std::string& only) {
    const std::filesystem::path dataFolder = Registry::instance().dataFolder();
    const std::vector<std::string> names =
        only.empty() ? AccountRegistry(dataFolder).names() : std::vector<std::string>{only};
    std::vector<std::string> lines;
    if (names.empty()) lines.emplace_back("No accounts to sync: the PIM keeps everything on this computer.");
    pim::PimStore store(dataFolder);
    for (const std::string& name : names) {
        const std::vector<std::string> report = reportLines(runAccountSync(dataFolder, store, name, SyncScope::SharesAndChanges));
        lines.insert(lines.end(), report.begin(), report.end());
    }
    return textArray(lines);
}

void registerAccountClasses(Registry& registry) {
    registry.registerBuiltin(
        ClassInfo{std::string(progid::PimSync), std::string(), {}, [] { return makeObject<PimSync>(); }, false});
}

}  // namespace lumora::host
