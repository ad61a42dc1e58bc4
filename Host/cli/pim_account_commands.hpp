#pragma once
// `lumora pim account add | list | remove`: the groupware accounts (CalDAV and CardDAV servers)
// the PIM syncs with.

#include <string>
#include <vector>

#include "options.hpp"

namespace lumora::host::cli {

inline constexpr const char* kPimAccountUsage =
    "pim account add URL --user NAME [--password-file FILE] [--name NAME]\n"
    "pim account list | remove NAME";

bool isPimAccountCommand(const std::vector<std::string>& args);
int runPimAccountCommand(const CliOptions& options, const std::vector<std::string>& args);

}  // namespace lumora::host::cli
