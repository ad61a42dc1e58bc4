#pragma once
// `lumora pim history | undo | trash`: the PIM store's journal, undo and trash, for the person
// at the command line only (pages never reach them).

#include <string>
#include <vector>

#include "options.hpp"

namespace lumora::host::cli {

inline constexpr const char* kPimHistoryUsage =
    "pim history [--limit N] [--item ENTRYID] [--prune] | undo ENTRY [--force]\n"
    "pim trash list | restore ENTRYID... | empty [--older-than DAYS]";

// True for the arguments of `lumora pim` that name one of these commands.
bool isPimHistoryCommand(const std::vector<std::string>& args);

// Runs the command as one top-level call named after the whole command line ("lumora pim undo
// 42"), so that an undo is one journal entry that says what made it; prints plain text, one line
// per entry or item, once the call's work is durable. Exit status kExitFailed when nothing
// could be done.
int runPimHistoryCommand(const CliOptions& options, const std::vector<std::string>& args);

}  // namespace lumora::host::cli
