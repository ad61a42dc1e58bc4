#pragma once
// "Scripting.FileSystemObject": the page's and the controls' way to the user's files.

#include "Automation/object.hpp"

namespace lumora::files {

inline constexpr const char* kFileSystemObjectProgId = "Scripting.FileSystemObject";
inline constexpr const char* kFileSystemObjectClassId = "{0D43FE01-F093-11CF-8940-00A0C9054228}";

class FileSystemObject : public Dispatch {
public:
    const TypeInfo& typeInfo() const override;
};

}  // namespace lumora::files
