#pragma once
// The plain properties of each item class, declared once: name, dispatch id, type, default.
// One generic get and put serve them over the item's values (item_values.hpp).

#include "Automation/property_table.hpp"
#include "item_kinds.hpp"

namespace lumora::pim {

// The store's "no date": 4501-01-01 00:00:00, what an unset date property reads.
inline constexpr Date kNoDate{949998.0};

const PropertyTable& propertiesOf(ItemClass itemClass);

}  // namespace lumora::pim
