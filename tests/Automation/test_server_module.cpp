// A tiny in-process server with one class, exporting the four entry points the deliverables
// export, so the registry's loading path can be exercised end to end.

#include <array>

#include "Automation/deliverables.hpp"
#include "Automation/server.hpp"

namespace {

using namespace lumora;

class Greeter : public Dispatch {
public:
    const TypeInfo& typeInfo() const override {
        static const TypeInfo info = [] {
            TypeInfo t("Greeter");
            t.method<Greeter>("Hello", 1, {"name"}, 1,
                              [](Greeter&, Args& a) { return Variant("Hello " + a[0].toString()); });
            return t;
        }();
        return info;
    }
};

const std::array<ServerClass, 1> kClasses{{
    {"LumoraTest.Greeter", "{6B0C4D1E-2F3A-4B5C-9D8E-7F6A5B4C3D2E}", [] { return ClassFactory(makeObject<Greeter>); }},
}};

}  // namespace

LUMORA_SERVER_ENTRY_POINTS(kClasses)
