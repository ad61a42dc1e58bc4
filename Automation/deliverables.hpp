#pragma once
// Identity of the three deliverables: the ProgIDs pages create them by, the class, interface and
// type-library identifiers they register under, their own version numbers and the title their
// message boxes carry when a member passes none. The identifiers were generated once; pages and
// registries name these classes, so they never change from release to release.

#include <cstdint>
#include <string>
#include <string_view>

#include "server.hpp"

namespace lumora::deliverables {

struct Version {
    int32_t major = 0;
    int32_t minor = 0;
    int32_t revision = 0;
};

struct Identity {
    const char* typeLibrary;    // also the default message-box title
    const char* className;
    const char* progId;         // type-library name + "." + class name
    const char* classId;
    const char* interfaceId;    // the default dispatch interface
    const char* typeLibraryId;
    Version version;
};

// Deliverable LumoraControl2005: the desktop control.
inline constexpr Identity kDesktopControl{
    "LumoraControl2005",
    "LumoraCtrl2005",
    "LumoraControl2005.LumoraCtrl2005",
    "{76843D4B-3F63-45A1-922B-AC92001A141F}",
    "{6062A769-058C-4D50-B104-F49A6318DD81}",
    "{DC1FBB0F-780C-42DF-9E90-D9386280D2ED}",
    {5, 8, 7},
};

// Deliverable LumoraGenTAPI30: the dialer.
inline constexpr Identity kDialer{
    "LumoraGenTAPI30",
    "Dialer",
    "LumoraGenTAPI30.Dialer",
    "{E6C8EDFF-0628-45D4-AB5F-958785F72A6C}",
    "{E8403155-BF58-4FF9-9A53-228CBF443030}",
    "{F241B70D-D140-4804-A533-26D5FCD8D7E6}",
    {1, 0, 1},
};

// Deliverable LumoraMailControl: the mail-campaign control (type library LumoraMailContl).
inline constexpr Identity kMailControl{
    "LumoraMailContl",
    "LumoraMailCtrl",
    "LumoraMailContl.LumoraMailCtrl",
    "{98C2672E-02A7-41E7-B69A-CD8BD4536DA6}",
    "{C32622BC-9B85-4286-BD1E-6B22E3AF6204}",
    "{C9850E15-F406-4EAB-993C-2C2985C64FE3}",
    {5, 1, 9},
};

// The controls' own errors name the routine that raised them after this module name, as
// "ROZUzuvOrivAriz.CreateMail". A macro, so that error tables can join it to a literal.
#define LUMORA_ROUTINE_SOURCE(routine) "ROZUzuvOrivAriz." routine
inline std::string routineSource(std::string_view routine) { return LUMORA_ROUTINE_SOURCE("") + std::string(routine); }

// major.minor.revision in decimal without leading zeros, as GetVersion reports it: 5.08.0007 -> "5.8.7".
inline std::string versionText(const Version& v) {
    return std::to_string(v.major) + "." + std::to_string(v.minor) + "." + std::to_string(v.revision);
}

// The class factory of a creatable class: a new object of T for every creation.
template <class T>
ClassFactory factoryOf() {
    return [] { return makeObject<T>(); };
}

}  // namespace lumora::deliverables

// The four in-process server entry points are the only symbols a deliverable exports. Each
// deliverable defines them once, over its table of creatable classes:
//     const lumora::ServerClass kClasses[] = {{progId, classId, &factoryOf<Class>}};
//     LUMORA_SERVER_ENTRY_POINTS(kClasses)
#define LUMORA_SERVER_ENTRY extern "C" __attribute__((visibility("default")))
#define LUMORA_SERVER_ENTRY_POINTS(classes)                                                              \
    LUMORA_SERVER_ENTRY int32_t DllRegisterServer() {                                                    \
        return ::lumora::registerServerClasses(classes, reinterpret_cast<const void*>(&DllRegisterServer)); \
    }                                                                                                    \
    LUMORA_SERVER_ENTRY int32_t DllUnregisterServer() { return ::lumora::unregisterServerClasses(classes); } \
    LUMORA_SERVER_ENTRY int32_t DllGetClassObject(const char* clsid, ::lumora::ClassFactory* factory) {  \
        return ::lumora::classObject(classes, clsid, factory);                                           \
    }                                                                                                    \
    LUMORA_SERVER_ENTRY int32_t DllCanUnloadNow() { return ::lumora::canUnloadNow(); }
