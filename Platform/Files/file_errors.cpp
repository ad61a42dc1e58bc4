#include "file_errors.hpp"

#include <cerrno>

namespace lumora::files {

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
        case EDQUOT: return Error(RuntimeError::DiskFull);
        case EIO: return Error(RuntimeError::DeviceIoError);
        case ENOMEM: return Error(RuntimeError::OutOfMemory);
        default: return Error(RuntimeError::PathFileAccessError);
    }
}

Error errnoError(int errnoValue, RuntimeError whenMissing) {
    return fileError(std::error_code(errnoValue, std::generic_category()), whenMissing);
}

}  // namespace lumora::files
