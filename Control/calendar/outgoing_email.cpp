// New e-mails in Outlook for the user to check and send: quotes and reports as HTML, a quote as
// a PDF attachment, and plain new, reply and forward messages.

#include "Control/frame/control_messages.hpp"
#include "Control/frame/failure_forms.hpp"
#include "Control/frame/members.hpp"
#include "Control/frame/private_operations.hpp"
#include "Control/frame/unbuilt_work.hpp"

namespace lumora::control {

namespace {

// The four message members fail quietly: False, with Outlook released.
Variant messageWorkNotAvailable(ControlState& state, std::string_view routine) {
    auto onFailure = [&](const Error&) {
        cleanUpOutlook(state);
        return falseResult();
    };
    return outlookWorkNotAvailable(state, OutlookWay::Create, routine, onFailure, onFailure);
}

}  // namespace

Variant GenerateEmail(LumoraCtrl2005& control, Params& params) {
    ControlState& state = control.state();
    const bool isQuote = params.str(3) == msg::QuoteMailType;
    auto onFailure = [&](const Error& e) {
        // Outlook missing is explained for what was being sent; anything else as a quote.
        const bool outlookMissing = e.number() == static_cast<int32_t>(RuntimeError::CantCreateObject);
        if (outlookMissing && !isQuote)
            tell(msg::CannotSendReport, Icon::Information, Title::own(msg::CannotSendReportTitle));
        else
            tell(msg::CannotSendQuote, Icon::Information, Title::own(msg::CannotSendQuoteTitle));
        cleanUpOutlook(state);
        return emptyResult();
    };
    return outlookWorkNotAvailable(state, OutlookWay::Create, "GenerateEmail", onFailure, onFailure);
}

Variant CreateHTMforPDF(LumoraCtrl2005&, Params&) {
    Object acrobat, documentView;
    auto result = trapped(
        [&]() -> Variant {
            if (tryLocal([&] {
                    acrobat = createApplication(progid::AcrobatApp);
                    documentView = createApplication(progid::AcrobatDocView);
                })) {
                tell(msg::AcrobatNotDetected, Icon::Information, Title::own(msg::AcrobatNotDetectedTitle));
                return emptyResult();
            }
            workNotAvailable("CreateHTMforPDF");
        },
        [](const Error& e) {
            tell(std::string(msg::PdfConversionFailedStart) + std::to_string(e.number()) +
                 std::string(msg::PdfConversionFailedEnd));
            return emptyResult();
        });
    documentView.release();
    acrobat.release();
    return result;
}

Variant SendEmail(LumoraCtrl2005& control, Params&) {
    return messageWorkNotAvailable(control.state(), "SendEmail");
}

Variant SendEmailWithOriginal(LumoraCtrl2005& control, Params&) {
    return messageWorkNotAvailable(control.state(), "SendEmailWithOriginal");
}

Variant SendEmailFull(LumoraCtrl2005& control, Params&) {
    return messageWorkNotAvailable(control.state(), "SendEmailFull");
}

Variant ForwardEmailWithOriginal(LumoraCtrl2005& control, Params&) {
    return messageWorkNotAvailable(control.state(), "ForwardEmailWithOriginal");
}

}  // namespace lumora::control
