#include "shared_library.hpp"

#include <dlfcn.h>

#include "error.hpp"

namespace lumora {

SharedLibrary::SharedLibrary(const std::filesystem::path& path) : m_path(path) {
    m_handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    // A library that cannot load is an uninstalled component to the caller.
    if (!m_handle) throw Error(RuntimeError::CantCreateObject);
}

SharedLibrary::~SharedLibrary() {
    if (m_handle) dlclose(m_handle);
}

void* SharedLibrary::symbol(const char* name) const { return dlsym(m_handle, name); }

}  // namespace lumora
