#pragma once
// The e-mail and fax campaigns' one Outlook mail item: every recipient in BCC, the subject, an
// HTML or plain body and the attachments, left open on screen for the person to send.

#include <string>
#include <vector>

#include "mail_control.hpp"

namespace lumora::mail {

struct CampaignMail {
    std::string subject;
    std::string body;
    std::string recipients;  // the recipient list, each address followed by ";"
};

// "Success", or the Outlook stage's failure text naming the step that was under way. After the
// subject and body are set nothing fails the campaign: a file that cannot be attached, the BCC
// line or the display are each passed over.
std::string displayCampaignMail(LumoraMailCtrl& control, const CampaignMail& mail);

}  // namespace lumora::mail
