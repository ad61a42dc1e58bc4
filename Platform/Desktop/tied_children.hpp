#pragma once
// Helpers that must not outlive this process, even when it is killed outright: each is started
// in a session of its own (its own process group, which endAllHelpers() ends on a normal stop)
// and asks the kernel to kill it the moment its parent goes (PR_SET_PDEATHSIG). The kernel ties
// that signal to the thread that forked the child, so every such child is forked by one launcher
// thread that lives as long as the process does.

#include <sys/types.h>

#include <filesystem>
#include <string>
#include <vector>

namespace lumora::desktop::process {

// Starts `program` (looked up on PATH) with `args`, stdin from /dev/null and stdout and stderr
// into `log`. Returns the child's pid, which is also its process group; -1 when the program is
// not installed or cannot be started.
pid_t spawnTiedChild(const std::string& program, const std::vector<std::string>& args,
                     const std::filesystem::path& log);

}  // namespace lumora::desktop::process
