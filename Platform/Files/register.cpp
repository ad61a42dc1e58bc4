#include "register.hpp"

#include "Automation/class_ids.hpp"
#include "file_system_object.hpp"

namespace lumora::files {

void registerFileClasses(Registry& registry) {
    registry.registerBuiltin(ClassInfo{std::string(progid::FileSystem), std::string(clsid::FileSystem), {},
                                       [] { return makeObject<FileSystemObject>(); }, false});
}

}  // namespace lumora::files
