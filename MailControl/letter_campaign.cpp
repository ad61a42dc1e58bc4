#include "letter_campaign.hpp"

#include "Automation/class_ids.hpp"
#include "Automation/registry.hpp"
#include "Automation/traps.hpp"
#include "Automation/vb/strings.hpp"
#include "MailControl/mail_messages.hpp"
#include "mail_errors.hpp"
#include "merge_document.hpp"

namespace lumora::mail {

namespace {

// The error number a page's own XML errors carry; their text names where they arose.
constexpr int32_t kSuppliedXmlError = 9999;

// Templates on a web or FTP server are the word processor's to fetch; only local ones are checked.
void checkTemplateExists(const std::string& templatePath) {
    const std::string lower = vb::lCase(templatePath);
    if (lower.starts_with("http") || lower.starts_with("ftp")) return;
    Object files;
    ResumeNext ignored;
    ignored([&] { files = Registry::instance().createObject(progid::FileSystem); });
    if (files && !files.call("FileExists", templatePath).toBool()) raise(MailError::TemplateMissing);
}

std::string readingXmlFailure(LumoraMailCtrl& control, const Error& error) {
    std::string text = stageFailure(control, msg::ReadingXmlFailed, error);
    if (error.number() == kSuppliedXmlError) text += " in " + error.source();
    return text;
}

}  // namespace

std::string stageFailure(LumoraMailCtrl& control, std::string_view prefix, const Error& error) {
    control.ReleaseObjects();
    return std::string(prefix) + error.description();
}

void runWindowMerge(LumoraMailCtrl& control, const Variant& recipients, const std::string& templatePath) {
    MergeProgressWindow& window = control.state().mergeProgress;
    window.SetXML(recipients.toObject().get("xml").toString());
    window.SetTemplatePath(templatePath);
    window.SetTimerOKToGo();
    // Each campaign starts from the window's first look: the last one left OK showing and Cancel
    // hidden, which would let the person neither stop this merge nor tell it from the last.
    window.InitForm();
    window.showModal();
}

std::string runDirectMerge(LumoraMailCtrl& control, const Variant& recipients, const std::string& templatePath) {
    MailState& state = control.state();
    checkTemplateExists(templatePath);
    Object document;
    Object fieldList;
    std::vector<std::string> columns;
    std::string headerRecord;
    if (auto error = tryLocal([&] {
            document = recipients.toObject();
            fieldList = document.getObject("selectSingleNode", "MAIL_CAMPAIGN/fieldlist");
            if (!fieldList) raise(MailError::FieldListMissing);
            headerRecord = BuildFieldList(document, fieldList, columns);
        }))
        return readingXmlFailure(control, *error);
    if (auto error = tryLocal([&] { SetTempFile(state); }))
        return stageFailure(control, msg::TempFileFailed, *error);
    if (auto error = tryLocal([&] {
            state.WordApp = Registry::instance().createObject(progid::Word);
            if (!state.WordApp) raise(MailError::WordNotOpened);
        }))
        return stageFailure(control, msg::StartingWordFailed, *error);
    if (auto error = tryLocal([&] {
            state.WordDocument = state.WordApp.getObject("Documents").call("Add", templatePath).toObject();
            state.WordDocument.getObject("MailMerge")
                .call("CreateDataSource", Named{"Name", state.DataSourcePath}, Named{"HeaderRecord", headerRecord});
        }))
        return stageFailure(control, msg::OpeningMergeDocFailed, *error);
    if (auto error = tryLocal([&] { BuildMergeDoc(state, document, columns, state.WordApp); }))
        return stageFailure(control, msg::BuildingMergeDocFailed, *error);
    if (auto error = tryLocal([&] {
            state.MailMerge = state.WordDocument.getObject("MailMerge");
            if (!state.MailMerge) raise(MailError::MailMergeNotCreated);
            state.MergeFields = state.MailMerge.getObject("fields");
            const Object dataFields = state.MailMerge.getObject("DataSource").getObject("DataFields");
            const int32_t count = dataFields.get("Count").toI4();
            for (int32_t i = 1; i <= count; ++i) {
                const std::string name = dataFields.getObject("Item", i).get("Name").toString();
                ReplaceFieldTags(state, name, fieldList, state.WordApp, state.WordDocument);
            }
        }))
        return stageFailure(control, msg::ReplacingTagsFailed, *error);
    if (auto error = tryLocal([&] {
            state.MailMerge.call("Execute", Named{"Pause", Variant(false)});
            state.WordApp.getObject("Documents").getObject("Item", 2).call("Close", Named{"SaveChanges", Variant(false)});
            state.WordApp.put("Visible", Variant(true));
        }))
        return stageFailure(control, msg::PerformingMergeFailed, *error);
    return std::string(msg::Success);
}

}  // namespace lumora::mail
