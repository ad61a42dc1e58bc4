#pragma once
// The built-in stand-ins for the outside applications the controls drive.

namespace lumora::host {

// Registers every built-in stand-in class with the process's Registry. Called once at start-up,
// before the first object is created.
void registerStandIns();

}  // namespace lumora::host
