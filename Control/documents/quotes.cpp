// Quotes built in Word: left open, saved, or mailed.

#include "Control/frame/control_messages.hpp"
#include "Control/frame/failure_forms.hpp"
#include "Control/frame/members.hpp"
#include "Control/frame/unbuilt_work.hpp"

namespace lumora::control {

namespace {

// The control's own quote errors (0x800403EA to 0x800403EF) carry descriptions meant for the
// user; any other failure is reported in general terms.
std::string quoteFailureResult(const Error& e) {
    constexpr int32_t kFirstQuoteError = static_cast<int32_t>(0x800403EAu);
    constexpr int32_t kLastQuoteError = static_cast<int32_t>(0x800403EFu);
    if (e.number() >= kFirstQuoteError && e.number() <= kLastQuoteError) return e.description();
    return std::string(msg::QuoteUnknownError);
}

// Both quote members start Word (shown at once when asked) and open a document on the template.
// A failure there quits the Word they started without saving and returns the result text.
Variant quoteWorkNotAvailable(std::string_view routine, bool showWord) {
    Object word;
    return trapped(
        [&]() -> Variant {
            word = createApplication(progid::Word);
            if (showWord) word.put("Visible", true);
            workNotAvailable(routine);
        },
        [&](const Error& e) {
            if (word) {
                ResumeNext ignoring;
                ignoring([&] { word.call("Quit", false); });
            }
            word.release();
            std::string result = quoteFailureResult(e);
            tell(std::string(msg::QuoteGenerationFailedStart) + result, Icon::Exclamation,
                 Title::own(msg::QuoteGenerationFailedTitle));
            return Variant(result);
        });
}

}  // namespace

Variant WordQuote(LumoraCtrl2005&, Params& params) {
    return quoteWorkNotAvailable("WordQuote", params.str(3) == msg::MakeWordVisible);
}

Variant WordQuoteHtml(LumoraCtrl2005&, Params& params) {
    return quoteWorkNotAvailable("WordQuoteHtml", params.str(9) == msg::MakeWordVisible);
}

}  // namespace lumora::control
