#include "campaign_mail.hpp"

#include "Automation/class_ids.hpp"
#include "Automation/registry.hpp"
#include "Automation/traps.hpp"
#include "Automation/vb/strings.hpp"
#include "MailControl/mail_messages.hpp"
#include "mail_errors.hpp"

namespace lumora::mail {

namespace {

constexpr int32_t kMailItem = 0;
constexpr std::string_view kHtmlStart = "<HTML";

bool isHtml(const std::string& body) { return vb::uCase(vb::left(body, 5)) == kHtmlStart; }

}  // namespace

std::string displayCampaignMail(LumoraMailCtrl& control, const CampaignMail& mail) {
    MailState& state = control.state();
    StepText step;
    auto failure = tryLocal([&] {
        step = "About to create outlook app";
        state.OutlookApp = Registry::instance().createObject(progid::Outlook);
        if (state.OutlookApp.isNothing()) raise(MailError::OutlookNotOpened);
        step = "About to create item";
        state.MailItem = state.OutlookApp.call("CreateItem", kMailItem).toObject();
        if (state.MailItem.isNothing()) raise(MailError::MailItemNotCreated);
        step = "About to get outlook user";
        // Reading the name makes Outlook log on; the name itself is not needed.
        state.OutlookApp.getObject("Session").getObject("CurrentUser").get("Name");
        state.MailItem.put("Subject", mail.subject);
        state.MailItem.put(isHtml(mail.body) ? "HTMLBody" : "body", mail.body);
        step = "Subject and body set";
    });
    if (failure) {
        control.ReleaseObjects();
        return std::string(msg::OutlookFailed) + failure->description() + std::string(msg::OutlookFailedAtStep) +
               step.text();
    }
    ResumeNext ignored;
    for (const std::string& attachment : state.Attachments)
        ignored([&] { state.MailItem.getObject("Attachments").call("Add", vb::lTrim(attachment)); });
    ignored([&] { state.MailItem.put("BCC", mail.recipients); });
    step = "About to display";
    ignored([&] { state.MailItem.call("display"); });
    return std::string(msg::Success);
}

}  // namespace lumora::mail
