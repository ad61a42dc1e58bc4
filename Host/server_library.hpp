#pragma once
// Self-registration of an in-process server library, as regsvr32 does it: load the library and
// call its DllRegisterServer or DllUnregisterServer, which write or remove its classes in the
// per-user registry of the current data folder.

#include <cstdint>
#include <filesystem>

namespace lumora::host {

enum class Registration { Register, Unregister };

// The entry point's HRESULT (0 = S_OK). Throws Error 429 with the loader's reason when the
// library cannot be loaded, and 453 when it does not export the entry point.
int32_t runRegistration(const std::filesystem::path& library, Registration what);

}  // namespace lumora::host
