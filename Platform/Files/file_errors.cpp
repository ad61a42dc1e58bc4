#include "file_errors.hpp"

#include <cerrno>

namespace lumora::files {

namespace {

// Runtime errors with no place in the shared table of standard descriptions.
constexpr int32_t kDiskFull = 61;
constexpr int32_t kDeviceIoError = 57;

}  // namespace

Error fileError(const std::error_code& error, RuntimeError whenMissing) {
    if (error.category() != std::generic_category() && error.category() != std::system_category())
        return Error(RuntimeError::PathFileAccessError);
    switch (error.value()) {
        case ENOENT: return Error(whenMissing);
        case ENOTDIR: return Error(RuntimeError::PathNotFound);
        case EACCES:
        case EPERM:
        case EROFS:
        case EBUSY:
        case ETXTBSY:
        case EISDIR:
        case EXDEV: return Error(RuntimeError::PermissionDenied);
        case EEXIST:
        case ENOTEMPTY: return Error(RuntimeError::FileAlreadyExists);
        case ENAMETOOLONG:
        case EILSEQ: return Error(RuntimeError::BadFileNameOrNumber);
        case ENOSPC:
        case EDQUOT: return Error(kDiskFull, "Disk full");
        case EIO: return Error(kDeviceIoError, "Device I/O error");
        case ENOMEM: return Error(RuntimeError::OutOfMemory);
        default: return Error(RuntimeError::PathFileAccessError);
    }
}

void raiseFileError(const std::error_code& error, RuntimeError whenMissing) { throw fileError(error, whenMissing); }

void raiseErrno(int errnoValue, RuntimeError whenMissing) {
    raiseFileError(std::error_code(errnoValue, std::generic_category()), whenMissing);
}

}  // namespace lumora::files
