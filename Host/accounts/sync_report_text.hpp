#pragma once
// What a sync did, in lines a person reads at the command line and on the demo page: per
// collection what arrived and what was sent, each resource skipped with its reason, and each
// conflict with the undo that brings the person's version back.

#include <string>
#include <vector>

#include "account_sync_runner.hpp"

namespace lumora::host {

std::vector<std::string> reportLines(const AccountSyncReport& report);

}  // namespace lumora::host
