#pragma once
// The PDF converter's application and document view, kept by the control while a quote is
// turned into a PDF and released whichever way the conversion ends.

#include "Automation/object.hpp"

namespace lumora::control {

struct AcrobatReferences {
    Object AcroApp;
    Object AcroAVDoc;
};

}  // namespace lumora::control
