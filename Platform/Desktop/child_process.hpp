#pragma once
// Starting helper programs without a shell: the argument list goes to the program as it is,
// so no file name can smuggle in a command. Internal to the desktop library.

#include <chrono>
#include <optional>
#include <string>
#include <vector>

namespace lumora::desktop::process {

// Runs a program found on PATH and returns what it wrote to standard output, or nullopt when it
// could not start, ended with a failure status, or was still running at the deadline (it is then
// killed with everything it started). Standard input and error are /dev/null; at most 64 KiB of
// output is kept.
std::optional<std::string> captureOutput(const std::vector<std::string>& argv, std::chrono::milliseconds timeout);

// Starts a program found on PATH in a session of its own, its input and output on /dev/null,
// and returns at once; a background thread collects its exit status. False when it could not
// be started (not installed, not executable).
bool startDetached(const std::vector<std::string>& argv);

}  // namespace lumora::desktop::process
