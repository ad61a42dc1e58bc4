#pragma once
// The built-in stand-ins for the outside applications the controls drive, and the host's own
// classes beside them (the PIM's account sync).

namespace lumora::host {

// Registers every built-in stand-in class with the process's Registry. Called once at start-up,
// before the first object is created.
void registerStandIns();

}  // namespace lumora::host
