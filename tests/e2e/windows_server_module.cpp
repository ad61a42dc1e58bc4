// The bridge tests' window class as an in-process server library, so the browser tests can
// drive a modal window through `lumora serve` the way the mail-merge progress window is driven.

#include <array>

#include "Automation/deliverables.hpp"
#include "windows_class.hpp"

namespace {

const std::array<lumora::ServerClass, 1> kClasses{{
    {lumora::tests::kWindowsProgId, lumora::tests::kWindowsClsid,
     [] { return lumora::ClassFactory(lumora::tests::makeWindows); }},
}};

}  // namespace

LUMORA_SERVER_ENTRY_POINTS(kClasses)
