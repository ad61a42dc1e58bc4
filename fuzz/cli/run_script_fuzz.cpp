// Fuzz target for `lumora run` scripts: the limited JSON reading and the step checks that run
// before any step does. Whatever the file holds, reading it ends in a script or in one clear
// complaint (ScriptError, or the automation Error of text that is not JSON), never a crash.

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "Automation/error.hpp"
#include "Host/cli/script.hpp"
#include "Host/value_encoding.hpp"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string_view text(reinterpret_cast<const char*>(data), size);
    try {
        lumora::host::cli::Script script = lumora::host::cli::parseScript(lumora::host::parseJsonLimited(text));
        (void)script;
    } catch (const lumora::host::cli::ScriptError&) {
    } catch (const lumora::Error&) {
    }
    return 0;
}
