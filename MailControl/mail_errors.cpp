#include "mail_errors.hpp"

namespace lumora::mail {

Error mailError(MailError id) {
    for (const auto& entry : kMailErrors)
        if (entry.id == id) return Error(entry.number, entry.description, entry.source);
    return Error(RuntimeError::InvalidProcedureCall);
}

}  // namespace lumora::mail
