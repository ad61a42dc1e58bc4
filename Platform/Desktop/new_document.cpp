#include "new_document.hpp"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <functional>
#include <random>

#include "Automation/cancellation.hpp"
#include "Automation/error.hpp"
#include "documents_folder.hpp"

namespace lumora::desktop {

namespace fs = std::filesystem;

namespace {

constexpr size_t kMaxStemCharacters = 80;

bool forbiddenInName(unsigned char c) {
    return c < 0x20 || c == 0x7f || std::string_view("/\\:*?\"<>|").find(static_cast<char>(c)) != std::string_view::npos;
}

// An open descriptor, closed at scope exit.
struct Descriptor {
    int fd = -1;
    ~Descriptor() {
        if (fd >= 0) ::close(fd);
    }
};

// The scratch file the bytes are written to first; removed unless it was linked under its name.
struct Scratch {
    fs::path path;
    ~Scratch() {
        std::error_code ignored;
        fs::remove(path, ignored);
    }
};

void writeAll(const fs::path& file, std::string_view bytes) {
    Descriptor out{::open(file.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644)};
    if (out.fd < 0) raise(RuntimeError::PathFileAccessError, file.string());
    while (!bytes.empty()) {
        const ssize_t written = ::write(out.fd, bytes.data(), bytes.size());
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) raise(RuntimeError::PathFileAccessError, file.string());
        bytes.remove_prefix(static_cast<size_t>(written));
    }
    if (::fsync(out.fd) != 0) raise(RuntimeError::PathFileAccessError, file.string());
}

std::string numbered(const std::string& stem, int number, std::string_view extension) {
    std::string name = stem;
    if (number > 1) name += " (" + std::to_string(number) + ")";
    return name + std::string(extension);
}

}  // namespace

std::string scratchName() {
    std::random_device random;
    return ".~new-" + std::to_string((static_cast<uint64_t>(random()) << 32) | random()) + ".tmp";
}

std::string safeFileStem(std::string_view title) {
    std::string stem;
    size_t characters = 0;
    for (size_t i = 0; i < title.size() && characters < kMaxStemCharacters;) {
        const auto lead = static_cast<unsigned char>(title[i]);
        // Whole UTF-8 characters are kept or dropped together, so the name stays valid text.
        size_t length = lead < 0x80 ? 1 : lead >= 0xf0 ? 4 : lead >= 0xe0 ? 3 : lead >= 0xc0 ? 2 : 1;
        if (i + length > title.size()) break;
        if (length == 1 && lead >= 0x80) {
            ++i;  // a stray continuation byte
            continue;
        }
        if (length == 1 && forbiddenInName(lead))
            stem += '_';
        else
            stem.append(title.substr(i, length));
        i += length;
        ++characters;
    }
    // A leading dot hides the file, a trailing one or a blank is lost by some programs; "." and
    // ".." would name folders.
    const size_t first = stem.find_first_not_of(". \t");
    if (first == std::string::npos) return "Untitled";
    stem.erase(0, first);
    stem.erase(stem.find_last_not_of(". \t") + 1);
    return stem;
}

namespace {

// Links the finished scratch file under the first free name of folder that nameFor(1),
// nameFor(2) … gives. A link never replaces an existing file, so two drafts of one subject each
// get a name.
fs::path linkUnderFreeName(const fs::path& scratch, const fs::path& folder, const std::function<std::string(int)>& nameFor) {
    for (int number = 1; number < 10000; ++number) {
        const fs::path target = folder / nameFor(number);
        if (::link(scratch.c_str(), target.c_str()) == 0) return target;
        if (errno == EEXIST) continue;
        // A folder without hard links: the name is taken exclusively, then the finished file
        // replaces that empty placeholder in one step.
        Descriptor placeholder{::open(target.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644)};
        if (placeholder.fd < 0) {
            if (errno == EEXIST) continue;
            raise(RuntimeError::PathFileAccessError, target.string());
        }
        std::error_code error;
        fs::rename(scratch, target, error);
        if (!error) return target;
        fs::remove(target, error);
        raise(RuntimeError::PathFileAccessError, target.string());
    }
    raise(RuntimeError::PathFileAccessError, (folder / nameFor(1)).string());
}

}  // namespace

fs::path saveNewDocument(std::string_view title, std::string_view extension, std::string_view bytes) {
    checkCancelled();
    const fs::path folder = ensureDocumentsFolder();
    const std::string stem = safeFileStem(title);
    Scratch scratch{folder / scratchName()};
    writeAll(scratch.path, bytes);
    return linkUnderFreeName(scratch.path, folder, [&](int number) { return numbered(stem, number, extension); });
}

fs::path keepInDocuments(std::string_view stem, std::string_view extension, const ScratchWriter& write) {
    checkCancelled();
    const fs::path folder = ensureDocumentsFolder();
    Scratch scratch{folder / scratchName()};
    write(scratch.path);
    return linkUnderFreeName(scratch.path, folder,
                             [&](int number) { return std::string(stem) + std::to_string(number) + std::string(extension); });
}

void replaceFile(const fs::path& file, std::string_view bytes) {
    replaceFileWith(file, [&](const fs::path& scratch) { writeAll(scratch, bytes); });
}

void replaceFileWith(const fs::path& file, const ScratchWriter& write) {
    const fs::path folder = file.has_parent_path() ? file.parent_path() : fs::path(".");
    Scratch scratch{folder / scratchName()};
    write(scratch.path);
    std::error_code error;
    fs::rename(scratch.path, file, error);
    if (error) raise(RuntimeError::PathFileAccessError, file.string());
}

}  // namespace lumora::desktop
