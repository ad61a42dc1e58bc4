#pragma once
// How the journal tells the server's own writes from the person's: a pull's entry, and the entry
// of each conflict the server won. Neither is a local change to send back; a conflict's entry
// also settles the person's earlier changes to its item, until that entry is undone.

#include <string_view>

namespace lumora::sync {

inline constexpr std::string_view kPullJournalWhat = "server pull";
inline constexpr std::string_view kConflictJournalWhat = "server conflict";

}  // namespace lumora::sync
