#pragma once
// Shared routines behind the four in-process server entry points every deliverable exports:
//   extern "C" int32_t DllRegisterServer();
//   extern "C" int32_t DllUnregisterServer();
//   extern "C" int32_t DllGetClassObject(const char* clsid, lumora::ClassFactory* factory);
//   extern "C" int32_t DllCanUnloadNow();
// Results are HRESULT values.

#include <cstdint>
#include <span>
#include <string>

#include "registry.hpp"

namespace lumora {

inline constexpr int32_t kOk = 0;                                              // S_OK
inline constexpr int32_t kFalse = 1;                                           // S_FALSE
inline constexpr int32_t kClassNotAvailable = static_cast<int32_t>(0x80040111u);  // CLASS_E_CLASSNOTAVAILABLE
inline constexpr int32_t kRegistrationFailed = static_cast<int32_t>(0x80040201u); // SELFREG_E_CLASS

struct ServerClass {
    const char* progId;
    const char* clsid;
    ClassFactory (*factory)();
    ClassKind kind = ClassKind::Ordinary;  // kept with the registration (registry.hpp)
};

// Writes each class into the per-user registry with the path of the library holding
// `anySymbolOfLibrary`.
int32_t registerServerClasses(std::span<const ServerClass> classes, const void* anySymbolOfLibrary);
int32_t unregisterServerClasses(std::span<const ServerClass> classes);
int32_t classObject(std::span<const ServerClass> classes, const char* clsid, ClassFactory* out);
// S_OK when none of the library's objects is alive.
int32_t canUnloadNow();

using DllRegisterServerFn = int32_t (*)();
using DllGetClassObjectFn = int32_t (*)(const char*, ClassFactory*);

}  // namespace lumora
