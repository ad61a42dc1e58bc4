#include "mail_control.hpp"

#include <optional>

#include "Automation/deliverables.hpp"
#include "Automation/shared_texts.hpp"
#include "Automation/traps.hpp"
#include "Automation/typed_members.hpp"
#include "Automation/vb/strings.hpp"
#include "MailControl/mail_messages.hpp"
#include "campaign_mail.hpp"
#include "letter_campaign.hpp"
#include "merge_document.hpp"
#include "mail_errors.hpp"
#include "recipient_lists.hpp"

namespace lumora::mail {

namespace {

// The campaign media of strMedium.
constexpr std::string_view kEmailMedium = "0";
constexpr std::string_view kFaxMedium = "1";
constexpr std::string_view kLetterMedium = "2";

constexpr std::string_view kWindowMerge = "1";

Variant failedStage(LumoraMailCtrl& self, std::string_view prefix, const Error& e) {
    return Variant(stageFailure(self, prefix, e));
}

Variant RunCampaign(LumoraMailCtrl& self, Params& params) {
    MailState& state = self.state();
    const std::string& medium = params.str(1);
    const std::string& attachments = params.str(5);

    auto campaignStage = trapped(
        [&]() -> std::optional<Variant> {
            // Each campaign attaches only what it names: a list kept from an earlier call would
            // send that campaign's files to this campaign's recipients.
            state.Attachments.clear();
            if (!attachments.empty()) state.Attachments = vb::split(attachments, ";");
            if (medium == kLetterMedium) {
                if (params.str(6) != kWindowMerge) return Variant(runDirectMerge(self, params[0], params.str(4)));
                runWindowMerge(self, params[0], params.str(4));
                return Variant(msg::Success);
            }
            if (medium != kEmailMedium && medium != kFaxMedium) return Variant(msg::UnknownMedium);
            return std::nullopt;
        },
        [&](const Error& e) -> std::optional<Variant> { return failedStage(self, msg::CampaignFailed, e); });
    if (campaignStage) return *campaignStage;

    CampaignMail mail{params.str(2), params.str(3), {}};
    if (auto error = tryLocal([&] {
            mail.recipients = recipientList(params[0], medium == kEmailMedium ? kEmailField : kFaxField);
        }))
        return failedStage(self, msg::AddressListFailed, *error);
    if (mail.recipients.empty()) return Variant(msg::NoAddresses);
    return Variant(displayCampaignMail(self, mail));
}

Variant BuildAddressList(LumoraMailCtrl&, Params& params) { return Variant(recipientList(params[0], kEmailField)); }

Variant BuildFaxAddressList(LumoraMailCtrl&, Params& params) {
    return Variant(recipientList(params[0], kFaxField));
}

// The merge-document builders have no trap of their own: a failure reaches the caller.
Variant BuildMergeDoc(LumoraMailCtrl& self, Params& params) {
    std::vector<std::string> columns;
    for (const Variant& column : params[1].array().items) columns.push_back(column.toString());
    mail::BuildMergeDoc(self.state(), params[0].toObject(), columns, params[2].toObject());
    return Variant();
}

Variant BuildFieldList(LumoraMailCtrl&, Params& params) {
    std::vector<std::string> columns;
    const std::string headerRecord = mail::BuildFieldList(params[0].toObject(), params[1].toObject(), columns);
    Array list;
    for (std::string& column : columns) list.items.emplace_back(std::move(column));
    params.writeBack(2, Variant(std::move(list)));
    return Variant(headerRecord);
}

Variant GetVersion(LumoraMailCtrl&, Params&) {
    return trapped([] { return Variant(deliverables::versionText(deliverables::kMailControl.version)); },
                   [](const Error&) { return Variant(text::UnknownVersion); });
}

TypeInfo buildTypeInfo() {
    using P = ParamType;
    TypeInfo info("LumoraMailCtrl");
    auto method = [&info](const char* name, DispId id, std::vector<ParamSpec> params, TypedBody<LumoraMailCtrl> body) {
        info.add(typedMember<LumoraMailCtrl>(name, id, MemberKind::Method, std::move(params), body));
    };
    method("GetVersion", 0x60030000, {}, &GetVersion);
    method("RunCampaign", 0x60030001,
           {param("xmlDoc"), param("strMedium", P::String), param("strsubject", P::String),
            param("strBody", P::String), param("strTemplatePath", P::String), param("strAttachments", P::String),
            optionalParam("strUseWordMailMerge", P::String, Variant("0"))},
           &RunCampaign);
    method("BuildMergeDoc", 0x60030002, {param("xmlDoc"), param("arrColumns"), param("oWrdApp")}, &BuildMergeDoc);
    method("BuildFieldList", 0x60030003, {param("xmlDoc"), param("xlFieldList"), param("arrColumns")},
           &BuildFieldList);
    method("BuildAddressList", 0x60030004, {param("xmlDoc")}, &BuildAddressList);
    method("BuildFaxAddressList", 0x60030005, {param("xmlDoc")}, &BuildFaxAddressList);
    return info;
}

}  // namespace

void LumoraMailCtrl::ReleaseObjects() {
    m_state.WordApp.release();
    m_state.WordDocument.release();
    m_state.WordSelection.release();
    m_state.MailMerge.release();
    m_state.MergeFields.release();
}

const TypeInfo& LumoraMailCtrl::typeInfo() const {
    static const TypeInfo info = buildTypeInfo();
    return info;
}

}  // namespace lumora::mail
