#include "server_library.hpp"

#include <dlfcn.h>

#include "Automation/error.hpp"
#include "Automation/server.hpp"
#include "Automation/shared_library.hpp"

namespace lumora::host {

namespace {

// "Specified DLL function not found", as regsvr32 reports a library without the entry point.
constexpr int32_t kEntryPointNotFound = 453;

}  // namespace

int32_t runRegistration(const std::filesystem::path& library, Registration what) {
    // A bare file name would make the loader search the system's folders; the library meant is
    // the file named, so relative paths are made absolute first.
    std::error_code ec;
    std::filesystem::path path = std::filesystem::absolute(library, ec);
    if (ec) path = library;
    if (!std::filesystem::is_regular_file(path, ec)) throw Error(static_cast<int32_t>(RuntimeError::FileNotFound), "File not found: " + path.string());

    std::unique_ptr<SharedLibrary> loaded;
    try {
        loaded = std::make_unique<SharedLibrary>(path);
    } catch (const Error&) {
        const char* reason = dlerror();
        throw Error(static_cast<int32_t>(RuntimeError::CantCreateObject),
                    reason ? reason : Error::standardDescription(429) + ": " + path.string());
    }
    const char* entry = what == Registration::Register ? "DllRegisterServer" : "DllUnregisterServer";
    auto fn = reinterpret_cast<DllRegisterServerFn>(loaded->symbol(entry));
    if (!fn) throw Error(kEntryPointNotFound, "Specified DLL function not found: " + std::string(entry) + " in " + path.string());
    return fn();
}

}  // namespace lumora::host
