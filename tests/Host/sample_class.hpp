#pragma once
// A small automation class for the host tests: echoes values, changes by-reference arguments,
// takes named arguments, raises errors and asks the Desktop, the way the controls do. The
// session tests register it as a built-in class; the command-line tests load it from
// sample_server_module.cpp as an in-process server.

#include "Automation/registry.hpp"

namespace lumora::tests {

inline constexpr const char* kSampleProgId = "LumoraHostTest.Sample";
inline constexpr const char* kSampleClsid = "{3F1B2C4D-5E6F-4A7B-8C9D-0E1F2A3B4C5D}";
inline constexpr int32_t kSampleErrorOffset = 17;

Object makeSample();
void registerSampleClass();

}  // namespace lumora::tests
