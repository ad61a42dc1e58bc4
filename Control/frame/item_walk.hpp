#pragma once
// A walk over a folder's items by position that visits each item once, also when the visit
// deletes it: a deleted item leaves its position to the item after it, so the walk only moves on
// past an item that stayed, and it ends at the folder's end as it is then. The item visited is
// held in the member's own reference, as the routine it reproduces holds it.

#include <cstdint>

#include "Automation/cancellation.hpp"
#include "Automation/object.hpp"

namespace lumora::control {

template <class Visit>
void walkItems(const Object& items, Object& current, Visit&& visit) {
    int32_t count = items.count();
    for (int32_t position = 1; position <= count;) {
        checkCancelled();
        current = items.item(position);
        visit(current);
        // Whether the item left is read from the folder, not from what the visit meant to do, so
        // an item that stays where it was can never hold the walk at one position.
        const int32_t countNow = items.count();
        if (countNow >= count) ++position;
        count = countNow;
    }
}

}  // namespace lumora::control
