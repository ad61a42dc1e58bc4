#include "register.hpp"

#include "file_system_object.hpp"

namespace lumora::files {

void registerFileClasses(Registry& registry) {
    registry.registerBuiltin(ClassInfo{kFileSystemObjectProgId, kFileSystemObjectClassId, {},
                                       [] { return makeObject<FileSystemObject>(); }, false});
}

}  // namespace lumora::files
