#pragma once
// Starting helper programs without a shell: the argument list goes to the program as it is,
// so no file name can smuggle in a command. Internal to the desktop library.

#include <spawn.h>
#include <sys/types.h>

#include <chrono>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "posix_handles.hpp"

namespace lumora::desktop::process {

// The executable of that name in the first folder of PATH that has one; nullopt when none has.
std::optional<std::filesystem::path> findProgram(std::string_view name);

// Runs a program found on PATH and returns what it wrote to standard output, or nullopt when it
// could not start, ended with a failure status, or was still running at the deadline (it is then
// killed with everything it started). Standard input and error are /dev/null; at most 64 KiB of
// output is kept.
std::optional<std::string> captureOutput(const std::vector<std::string>& argv, std::chrono::milliseconds timeout);

// Starts a program found on PATH in a session of its own, its input and output on /dev/null,
// and returns at once; a background thread collects its exit status. False when it could not
// be started (not installed, not executable).
bool startDetached(const std::vector<std::string>& argv);

// The starting steps shared by this library's ways of running a program.
using FileActions = posix::Initialized<posix_spawn_file_actions_t, posix_spawn_file_actions_init, posix_spawn_file_actions_destroy>;
using SpawnAttributes = posix::Initialized<posix_spawnattr_t, posix_spawnattr_init, posix_spawnattr_destroy>;
// Signals back to their defaults, nothing blocked, standard error on /dev/null, standard output
// to stdoutFd and input from stdinFd (each /dev/null when negative), the descriptors in passedOn
// as 3, 4, … in their order (each numbered above them all, so none is overwritten before it is
// passed on), no other descriptor inherited.
void prepareChild(SpawnAttributes& attributes, FileActions& actions, short extraFlags, int stdoutFd, int stdinFd = -1,
                  std::span<const int> passedOn = {});
std::optional<pid_t> spawn(const std::vector<std::string>& argv, SpawnAttributes& attributes, FileActions& actions);
int waitForExit(pid_t pid);

}  // namespace lumora::desktop::process
