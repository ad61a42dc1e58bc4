#pragma once
// `lumora pim account add | list | remove`: the groupware accounts (CalDAV and CardDAV servers)
// the PIM syncs with; `lumora pim sync` syncs them now.

#include <string>
#include <vector>

#include "options.hpp"

namespace lumora::host::cli {

inline constexpr const char* kPimAccountUsage =
    "pim account add URL --user NAME [--password-file FILE] [--name NAME]\n"
    "pim account list | remove NAME\n"
    "pim sync [--account NAME]";

bool isPimAccountCommand(const std::vector<std::string>& args);
int runPimAccountCommand(const CliOptions& options, const std::vector<std::string>& args);

}  // namespace lumora::host::cli
