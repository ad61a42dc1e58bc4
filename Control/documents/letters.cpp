// Letters in Word from a record document and a template: the ordinary letter (optionally saved
// or mailed), the seminar letter with its list tables, and the withdrawn contact letter. Each
// letter member has one trap and words its failure by the stage the work stopped in.

#include <string>

#include "Automation/cancellation.hpp"
#include "Automation/class_ids.hpp"
#include "Control/frame/control_messages.hpp"
#include "Control/frame/failure_forms.hpp"
#include "Control/frame/members.hpp"
#include "Control/frame/outside_apps.hpp"
#include "Control/frame/private_operations.hpp"
#include "letter_output.hpp"
#include "record_tags.hpp"
#include "word_tags.hpp"

namespace lumora::control {

namespace {

// A new document on the template, selected, ready for the tags.
Object openOnTemplate(const Object& word, const std::string& templatePath) {
    Object document = word.getObject("Documents").call("Add", templatePath).toObject();
    document.call("Select");
    return document;
}

// Starts Word and opens a new document on the template, following the stage as it goes. A
// missing template name is told to the user and gives Nothing.
Object startOnTemplate(Object& word, const std::string& templatePath, LetterStage& stage) {
    stage = LetterStage::StartingWord;
    word = createApplication(progid::Word);
    if (templatePath.empty()) {
        tell(msg::NoTemplateSpecified, Icon::Exclamation);
        return Object();
    }
    stage = LetterStage::OpeningTemplate;
    return openOnTemplate(word, templatePath);
}

void putCursorAtTop(const Object& document) {
    document.call("Range", Named{"Start", 0}, Named{"End", 0}).toObject().call("Select");
}

std::string quoted(const std::string& tag) { return "'" + tag + "'"; }

std::string letterFailureText(LetterStage stage, const Error& e, const std::string& templatePath,
                              const StepText& step) {
    switch (stage) {
        case LetterStage::ReadingTags:
            return std::string(msg::LetterFailedStart) + e.description() + std::string(msg::LetterFailedAtStep) +
                   step.text();
        case LetterStage::StartingWord:
            return std::string(msg::LetterStartingWordFailed);
        case LetterStage::OpeningTemplate:
            return std::string(msg::LetterOpeningTemplateStart) + templatePath +
                   std::string(msg::LetterOpeningTemplateEnd);
        case LetterStage::Saving:
            return std::string(msg::LetterSavingFailed) + e.description();
        case LetterStage::Mailing:
            return std::string(msg::LetterMailingFailedStart) + step.text() + std::string(msg::LetterMailingFailedEnd);
        case LetterStage::ReplacingTags:
        case LetterStage::ListTables:
            break;
    }
    return std::string(msg::LetterReplacingFailed) + step.text() + " " + e.description();
}

struct SeminarProgress {
    std::string lastTag;
    std::string lastHeader;
};

std::string seminarFailureText(LetterStage stage, const Error& e, const std::string& templatePath,
                               const std::string& savePath, const SeminarProgress& progress) {
    const std::string& description = e.description();
    switch (stage) {
        case LetterStage::StartingWord:
            return std::string(msg::SeminarStartingWordFailed) + description;
        case LetterStage::OpeningTemplate:
            return std::string(msg::SeminarOpeningTemplateStart) + templatePath +
                   std::string(msg::SeminarOpeningTemplateEnd) + description;
        case LetterStage::ReadingTags:
            return std::string(msg::SeminarExtractingFailed) + description;
        case LetterStage::ListTables:
            return std::string(msg::SeminarTablesFailedStart) + description + std::string(msg::SeminarTablesFailedEnd) +
                   progress.lastHeader;
        case LetterStage::Saving:
            return std::string(msg::SeminarSavingFailedStart) + savePath + std::string(msg::SeminarSavingFailedMiddle) +
                   description + std::string(msg::SeminarSavingFailedEnd);
        case LetterStage::ReplacingTags:
        case LetterStage::Mailing:
            break;
    }
    return std::string(msg::SeminarReplacingFailedStart) + progress.lastTag +
           std::string(msg::SeminarReplacingFailedEnd) + description;
}

bool isBracketedTag(const std::string& text) {
    return text.size() >= 2 && text.front() == '<' && text.back() == '>';
}

// Fills every table whose first cell names a list of the record that has items.
void fillListTables(const Object& document, const Object& record, SeminarProgress& progress) {
    const Object tables = document.getObject("Tables");
    const int32_t count = tables.get("count").toI4();
    for (int32_t t = 1; t <= count; ++t) {
        checkCancelled();
        const Object table = tables.call("item", t).toObject();
        const std::string header =
            CleanCellText(table.call("Cell", 1, 1).toObject().getObject("Range").get("Text").toString());
        progress.lastHeader = header;
        if (!isBracketedTag(header)) continue;
        const Object list = FindListItems(record, header);
        if (list && list.getObject("childNodes").get("length").toI4() >= 1) FillListTable(table, list);
    }
}

}  // namespace

Variant CreateSeminarLetterXML(LumoraCtrl2005& control, Params& params) {
    ControlState& state = control.state();
    const std::string& templatePath = params.str(1);
    const std::string& savePath = params.str(4);
    LetterStage stage = LetterStage::StartingWord;
    SeminarProgress progress;
    Object word;
    Object document;
    const auto error = tryLocal([&] {
        document = startOnTemplate(word, templatePath, stage);
        if (document.isNothing()) return;
        stage = LetterStage::ReadingTags;
        ExtractRecordTagData(state.tags, params[0].toObject());
        stage = LetterStage::ReplacingTags;
        for (size_t i = 0; i < state.tags.TagList.size(); ++i) {
            checkCancelled();
            progress.lastTag = quoted(state.tags.TagList[i]);
            ReplaceOneTag(state.tags, document, word, i, params.str(5));
        }
        putCursorAtTop(document);
        stage = LetterStage::ListTables;
        fillListTables(document, params[0].toObject(), progress);
        stage = LetterStage::ReplacingTags;
        saveLetter(document, savePath, stage);
        word.put("Visible", true);
    });
    if (error) {
        tell(seminarFailureText(stage, *error, templatePath, savePath, progress));
        // A letter that could not be saved is still shown, so the user can save it by hand.
        if (stage == LetterStage::Saving) tryLocal([&] { word.put("Visible", true); });
    }
    return emptyResult();
}

Variant CreateLetterXML(LumoraCtrl2005& control, Params& params) {
    ControlState& state = control.state();
    const std::string& templatePath = params.str(1);
    const LetterMail mail{params.str(2), params.str(3), params.str(6), GetTempFolderPath()};
    LetterStage stage = LetterStage::ReadingTags;
    StepText step;
    Object word;
    Object document;
    const auto error = tryLocal([&] {
        step = step::ReadingTagInformation;
        ExtractTagData(state.tags, params[0].toObject());
        step = step::ReadingDocumentHeader;
        document = startOnTemplate(word, templatePath, stage);
        if (document.isNothing()) return;
        stage = LetterStage::ReplacingTags;
        for (size_t i = 0; i < state.tags.TagList.size(); ++i) {
            checkCancelled();
            step = quoted(state.tags.TagList[i]);
            ReplaceOneTag(state.tags, document, word, i, params.str(5));
        }
        putCursorAtTop(document);
        saveLetter(document, params.str(4), stage);
        if (mail.address.empty()) {
            word.put("Visible", true);
            return;
        }
        stage = LetterStage::Mailing;
        mailLetter(state, word, document, mail, step);
    });
    if (error) {
        if (stage == LetterStage::OpeningTemplate) {
            document.release();
            word.release();
        }
        if (stage == LetterStage::Mailing) cleanUpOutlook(state);
        tell(letterFailureText(stage, *error, templatePath, step));
    }
    return emptyResult();
}

Variant CreateContactLetter(LumoraCtrl2005&, Params&) {
    // No error trap: the member only says that it is gone.
    tell(msg::InterfaceRemoved);
    return emptyResult();
}

}  // namespace lumora::control
