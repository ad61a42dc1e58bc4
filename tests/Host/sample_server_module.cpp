// The sample class as an in-process server library, registered and loaded by the lumora
// command line the way the deliverables are.

#include <array>

#include "Automation/server.hpp"
#include "sample_class.hpp"

namespace {

using namespace lumora;

const std::array<ServerClass, 1> kClasses{{
    {tests::kSampleProgId, tests::kSampleClsid, [] { return ClassFactory(tests::makeSample); }},
}};

}  // namespace

extern "C" int32_t DllRegisterServer() { return registerServerClasses(kClasses, reinterpret_cast<const void*>(&DllRegisterServer)); }
extern "C" int32_t DllUnregisterServer() { return unregisterServerClasses(kClasses); }
extern "C" int32_t DllGetClassObject(const char* clsid, ClassFactory* factory) {
    return classObject(kClasses, clsid, factory);
}
extern "C" int32_t DllCanUnloadNow() { return canUnloadNow(); }
