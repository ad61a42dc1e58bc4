#pragma once
// The operating-system version record GenerateEmail keeps: which Print Screen key presses copy
// the screen depends on the system's generation.

#include <cstdint>
#include <string>

namespace lumora::control {

struct OsVersionRecord {
    static constexpr int32_t kRecordSize = 148;
    static constexpr int32_t kServicePackCharacters = 128;

    int32_t dwOSVersionInfoSize = kRecordSize;
    int32_t dwMajorVersion = 0;
    int32_t dwMinorVersion = 0;
    int32_t dwBuildNumber = 0;
    int32_t dwPlatformId = 0;
    std::string szCSDVersion = std::string(kServicePackCharacters, ' ');
    int16_t QueryResult = 0;  // non-zero once the system answered
    bool IsNT5OrLater = false;
};

// Fills the record from the running kernel's release ("6.1.0-18-amd64": major 6, minor 1,
// build 0) and version text; a major version above 4 is a current generation.
void queryOsVersion(OsVersionRecord& record);

}  // namespace lumora::control
