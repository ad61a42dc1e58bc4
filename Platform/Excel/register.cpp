#include "register.hpp"

#include "Automation/class_ids.hpp"
#include "excel_objects.hpp"

namespace lumora::excel {

void registerExcelClasses(Registry& registry) {
    registry.registerBuiltin(ClassInfo{std::string(progid::Excel), {}, {}, [] { return makeObject<ExcelApplication>(); }, false});
}

}  // namespace lumora::excel
