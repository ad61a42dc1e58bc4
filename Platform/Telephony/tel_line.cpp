// A desk phone or softphone that registered for tel: links: the call is handed to it through
// the desktop, and from then on it is that program's call, which this line cannot end.

#include "Platform/Desktop/desktop.hpp"
#include "line_call.hpp"
#include "phone_number.hpp"
#include "telephony_errors.hpp"

namespace lumora::telephony {

namespace {

class TelCall : public LineCall {
public:
    explicit TelCall(std::string number) : m_number(std::move(number)) {}

    void connect() override {
        // RFC 3966: the visual separators may stay, but without them no handler misreads a blank.
        const int32_t code = desktop::current().openLink("tel:" + dialledDigits(m_number));
        if (code < 33) raise(TelephonyError::NoLinkHandler, std::to_string(code));
    }
    void disconnect() override {}

private:
    std::string m_number;
};

}  // namespace

std::unique_ptr<LineCall> openTelCall(const std::string& number) { return std::make_unique<TelCall>(number); }

}  // namespace lumora::telephony
