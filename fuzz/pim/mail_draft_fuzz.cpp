// Feeds arbitrary bytes to a mail draft: the input, split at NUL bytes, gives the subject, the
// HTML body, a recipient, an attachment's name and its bytes (the last with the content id the
// body may refer to). Whatever the input, the draft must come out with every header in ASCII
// and no line longer than RFC 5322's 998 characters; none may crash or hang.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "Platform/Outlook/mail_draft.hpp"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    std::vector<std::string> pieces(5);
    size_t start = 0;
    for (size_t i = 0; i < 4 && start <= input.size(); ++i) {
        const size_t end = std::min(input.find('\0', start), input.size());
        pieces[i] = input.substr(start, end - start);
        start = end + 1;
    }
    if (start < input.size()) pieces[4] = input.substr(start);
    lumora::pim::ItemRecord mail;
    mail.values["Subject"] = lumora::Variant(pieces[0]);
    mail.values["HTMLBody"] = lumora::Variant(pieces[1]);
    mail.values["Body"] = lumora::Variant(pieces[0]);
    mail.recipients.push_back(std::make_shared<lumora::pim::RecipientRow>(lumora::pim::RecipientRow{pieces[2], 1}));
    mail.attachments.push_back(
        std::make_shared<lumora::pim::AttachmentRow>(lumora::pim::AttachmentRow{pieces[3], pieces[4], "logo@crm"}));

    const std::string draft = lumora::pim::draftMessage(mail, lumora::Date{46000.5});
    const size_t headersEnd = draft.find("\r\n\r\n");
    for (size_t i = 0; i < headersEnd && i < draft.size(); ++i)
        if (static_cast<unsigned char>(draft[i]) >= 0x80) std::abort();
    size_t line = 0;
    for (char c : draft) {
        line = c == '\n' ? 0 : line + 1;
        if (line > 999) std::abort();  // 998 and the CR
    }
    return 0;
}
