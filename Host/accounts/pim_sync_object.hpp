#pragma once
// Lumora.PimSync: the groupware accounts' sync as the demo page and scripts see it.
// Accounts() gives one row per account: [name, server address, user, state ("synced", "offline",
// "never synced"), status line, changes waiting, last sync ("yyyy-MM-dd HH:mm:ss" or ""), last
// error]. SyncNow([account]) syncs the account, or every account, now and gives the lines a
// person reads of what it did. Adding and removing accounts, which handles passwords, is the
// command line's alone.

#include "Automation/object.hpp"
#include "Automation/registry.hpp"

namespace lumora::host {

class PimSync final : public Dispatch {
public:
    const TypeInfo& typeInfo() const override;
    Variant accounts();
    Variant syncNow(const std::string& account);  // "" for every account
};

void registerAccountClasses(Registry& registry);

}  // namespace lumora::host
