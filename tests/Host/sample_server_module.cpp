// The sample class as an in-process server library, registered and loaded by the lumora
// command line the way the deliverables are.

#include <array>

#include "Automation/deliverables.hpp"
#include "sample_class.hpp"

namespace {

const std::array<lumora::ServerClass, 1> kClasses{{
    {lumora::tests::kSampleProgId, lumora::tests::kSampleClsid,
     [] { return lumora::ClassFactory(lumora::tests::makeSample); }},
}};

}  // namespace

LUMORA_SERVER_ENTRY_POINTS(kClasses)
