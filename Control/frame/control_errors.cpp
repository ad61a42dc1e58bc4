#include "control_errors.hpp"

#include <string>

namespace lumora::control {

Error ownError(ControlError id, std::string_view routine) {
    std::string source(kErrorSourcePrefix);
    source += routine;
    for (const auto& entry : kOwnErrors)
        if (entry.id == id) return Error(entry.number, entry.description, std::move(source));
    return Error(RuntimeError::InvalidProcedureCall, std::move(source));
}

void raiseOwn(ControlError id, std::string_view routine) { throw ownError(id, routine); }

}  // namespace lumora::control
