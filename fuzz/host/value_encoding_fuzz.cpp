// Fuzz target for the value encoding that scripts, the command line and pages share: any JSON
// decodes to a value or fails with an automation Error, and a decoded value encodes to JSON
// that decodes back to a value encoding the same way (one round settles every form). A page's
// session, which gets documents back as markup, is driven too; markup is not compared there,
// since an HTML parser may rightly rearrange what it is given a second time.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <mutex>
#include <string_view>

#include "Automation/error.hpp"
#include "Host/session.hpp"
#include "Host/stand_ins.hpp"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static std::once_flag standIns;
    std::call_once(standIns, lumora::host::registerStandIns);

    std::string_view text(reinterpret_cast<const char*>(data), size);
    for (auto rule : {lumora::host::HandleRule::AnyObject, lumora::host::HandleRule::CreatedClassesOnly}) {
        lumora::host::Session session(rule);
        try {
            nlohmann::json encoded = session.encode(session.decode(lumora::host::parseJsonLimited(text)));
            nlohmann::json again = session.encode(session.decode(encoded));
            if (rule == lumora::host::HandleRule::AnyObject && encoded != again) std::abort();
        } catch (const lumora::Error&) {
        }
    }
    return 0;
}
