#pragma once
// The contact folder SetContactFolder chose, kept between calls for the members that write
// CRM contacts into it, with the index that finds the contacts already there.

#include <cstdint>
#include <string>

#include "Automation/object.hpp"
#include "contact_temp_index.hpp"

namespace lumora::control {

struct ContactFolderChoice {
    // The folder itself, or a folder a list member opened by id; CleanUpOutlook releases it.
    Object TargetFolder;
    // The name as given, and the position of the subfolder whose name matched (0 for none).
    std::string ContactFolderName;
    int16_t MatchedSubfolder = 0;
    ContactTempIndex TempIndex;
};

}  // namespace lumora::control
