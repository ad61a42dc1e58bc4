#pragma once
// How failures of the file system reach script: the runtime error numbers script tests
// (53 file not found, 76 path not found, 70 permission denied, 58 file already exists, ...).

#include <system_error>

#include "Automation/error.hpp"

namespace lumora::files {

// The error script sees for a failed system call. `whenMissing` is what a missing entry means
// for the member at hand: 53 when a file was asked for, 76 when a folder was.
Error fileError(const std::error_code& error, RuntimeError whenMissing = RuntimeError::FileNotFound);
Error errnoError(int errnoValue, RuntimeError whenMissing = RuntimeError::FileNotFound);

}  // namespace lumora::files
