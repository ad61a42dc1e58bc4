#include "atomic_file.hpp"

#include <fstream>
#include <random>

#include "Automation/error.hpp"
#include "word_errors.hpp"

namespace lumora::word {

namespace fs = std::filesystem;

namespace {

struct ScratchFile {
    fs::path path;
    bool kept = false;
    ~ScratchFile() {
        std::error_code ignored;
        if (!kept) fs::remove(path, ignored);
    }
};

}  // namespace

void replaceAtomically(const fs::path& target, const std::function<void(const fs::path&)>& write) {
    const fs::path absolute = fs::absolute(target);
    std::random_device random;
    const uint64_t bits = (static_cast<uint64_t>(random()) << 32) | random();
    ScratchFile scratch{absolute.parent_path() / ("." + absolute.filename().string() + "." + std::to_string(bits) + ".tmp")};
    write(scratch.path);
    std::error_code error;
    fs::rename(scratch.path, absolute, error);
    if (error) raise(WordError::FileNotWritten, target.string());
    scratch.kept = true;
}

void writeBytesAtomically(const fs::path& target, std::string_view bytes) {
    replaceAtomically(target, [&](const fs::path& scratch) {
        std::ofstream out(scratch, std::ios::binary | std::ios::trunc);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        out.close();
        if (!out) raise(WordError::FileNotWritten, target.string());
    });
}

}  // namespace lumora::word
