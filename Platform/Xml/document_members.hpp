#pragma once
// The member table of the document object.

#include "Automation/object.hpp"

namespace lumora::xml {

const TypeInfo& documentTypeInfo();

}  // namespace lumora::xml
