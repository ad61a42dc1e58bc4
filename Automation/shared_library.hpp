#pragma once
// RAII around a dlopen handle.

#include <filesystem>
#include <string>

namespace lumora {

class SharedLibrary {
public:
    explicit SharedLibrary(const std::filesystem::path& path);  // throws Error 429 when it cannot load
    ~SharedLibrary();
    SharedLibrary(const SharedLibrary&) = delete;
    SharedLibrary& operator=(const SharedLibrary&) = delete;

    // The exported symbol, or nullptr.
    void* symbol(const char* name) const;
    const std::filesystem::path& path() const { return m_path; }

private:
    std::filesystem::path m_path;
    void* m_handle = nullptr;
};

}  // namespace lumora
