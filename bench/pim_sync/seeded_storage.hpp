#pragma once
// A groupware account filled in bulk: the calendar and address book of one user written straight
// into radicale's filesystem storage (collection-root/<user>/<collection>/ with its
// .Radicale.props, one file per member named by its href), which radicale reads afresh on every
// request. Thousands of members land in a second instead of the minutes as many PUTs take.

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace lumora::bench {

struct SeededCollection {
    std::string path;                // "/alice/calendar/"
    std::vector<std::string> names;  // the members' file names, in the order written
};

struct SeededAccount {
    SeededCollection calendar;
    SeededCollection addressBook;
};

// Writes `events` appointments into <user>/calendar/ (a calendar for events) and `contacts`
// contacts into <user>/contacts/ below radicale's storage folder. Call it before the server has
// answered any request of the user's.
SeededAccount seedAccount(const std::filesystem::path& storageFolder, std::string_view user, int events,
                          int contacts);

}  // namespace lumora::bench
