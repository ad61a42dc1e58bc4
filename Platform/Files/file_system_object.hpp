#pragma once
// "Scripting.FileSystemObject": the page's and the controls' way to the user's files.

#include "Automation/object.hpp"

namespace lumora::files {

class FileSystemObject : public Dispatch {
public:
    const TypeInfo& typeInfo() const override;
};

}  // namespace lumora::files
