#include "os_version.hpp"

#include <sys/utsname.h>

#include <charconv>
#include <string_view>

namespace lumora::control {

namespace {

// The last major version of the older generation, whose Print Screen needs Alt held down.
constexpr int32_t kLastOlderMajorVersion = 4;

// The next dot-separated number of a release text; 0 where there is none.
int32_t nextNumber(std::string_view& release) {
    int32_t number = 0;
    const auto [end, error] = std::from_chars(release.data(), release.data() + release.size(), number);
    if (error != std::errc()) number = 0;
    release.remove_prefix(static_cast<size_t>(end - release.data()));
    if (!release.empty() && release.front() == '.') release.remove_prefix(1);
    return number;
}

}  // namespace

void queryOsVersion(OsVersionRecord& record) {
    record.dwOSVersionInfoSize = OsVersionRecord::kRecordSize;
    record.szCSDVersion.assign(OsVersionRecord::kServicePackCharacters, ' ');
    utsname system{};
    record.QueryResult = ::uname(&system) == 0 ? 1 : 0;
    if (record.QueryResult) {
        std::string_view release(system.release);
        record.dwMajorVersion = nextNumber(release);
        record.dwMinorVersion = nextNumber(release);
        record.dwBuildNumber = nextNumber(release);
        record.szCSDVersion = std::string(system.version).substr(0, OsVersionRecord::kServicePackCharacters);
    }
    record.IsNT5OrLater = record.dwMajorVersion > kLastOlderMajorVersion;
}

}  // namespace lumora::control
