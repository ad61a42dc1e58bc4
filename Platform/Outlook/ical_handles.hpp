#pragma once
// An owning handle over a libical component (a calendar, an event, a time zone), freed with
// everything in it at scope exit unless released into another component. Private to the files
// that speak libical, so no other header sees its C types.

#include <libical/ical.h>

#include <memory>

namespace lumora::pim {

struct ComponentFree {
    void operator()(icalcomponent* component) const noexcept { icalcomponent_free(component); }
};
using ComponentHandle = std::unique_ptr<icalcomponent, ComponentFree>;

}  // namespace lumora::pim
