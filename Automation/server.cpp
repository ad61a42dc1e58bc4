#include "server.hpp"

#include <dlfcn.h>

#include "vb/text.hpp"

namespace lumora {

int32_t registerServerClasses(std::span<const ServerClass> classes, const void* anySymbolOfLibrary) {
    Dl_info info{};
    if (!dladdr(anySymbolOfLibrary, &info) || !info.dli_fname) return kRegistrationFailed;
    std::error_code ec;
    auto library = std::filesystem::canonical(info.dli_fname, ec);
    if (ec) return kRegistrationFailed;
    try {
        for (const auto& c : classes) Registry::instance().registerServer({c.progId, c.clsid, library, c.kind});
    } catch (const std::exception&) {
        return kRegistrationFailed;
    }
    return kOk;
}

int32_t unregisterServerClasses(std::span<const ServerClass> classes) {
    try {
        for (const auto& c : classes) Registry::instance().unregisterServer(c.progId);
    } catch (const std::exception&) {
        return kRegistrationFailed;
    }
    return kOk;
}

int32_t classObject(std::span<const ServerClass> classes, const char* clsid, ClassFactory* out) {
    if (!clsid || !out) return kClassNotAvailable;
    for (const auto& c : classes) {
        if (vb::asciiEqualsNoCase(c.clsid, clsid)) {
            *out = c.factory();
            return kOk;
        }
    }
    return kClassNotAvailable;
}

int32_t canUnloadNow() { return Dispatch::liveCount() == 0 ? kOk : kFalse; }

}  // namespace lumora
