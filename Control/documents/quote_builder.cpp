// BuildQuoteDocument: the quote's line table (in-line or external), then the record's tags.
// Each stage that fails ends the build in one message box naming it.

#include "quote_builder.hpp"

#include <optional>

#include "Automation/cancellation.hpp"
#include "Automation/shared_texts.hpp"
#include "Automation/traps.hpp"
#include "Automation/vb/strings.hpp"
#include "Control/frame/control_messages.hpp"
#include "Control/frame/failure_forms.hpp"
#include "Control/frame/private_operations.hpp"
#include "Platform/Word/script_constants.hpp"
#include "html_quote_template.hpp"
#include "quote_inline_table.hpp"
#include "quote_paths.hpp"
#include "record_tags.hpp"
#include "word_tags.hpp"

namespace lumora::control {

namespace {

using word::kExtend;
using word::kUnitParagraph;
using word::kWrapContinue;

// The stages whose failures have messages of their own; every other failure names its step.
enum class BuildStage { Tags, FetchingTemplate, FillingTemplate, InsertingTemplate };

struct BuildProgress {
    BuildStage stage = BuildStage::Tags;
    StepText step;
    std::string htmlName;       // the external table template's file name
    std::string temporaryPath;  // its filled copy, once fetched
};

// Looks for the external table marker from the selection; on success the selection is the marker.
bool findExternalMarker(const Object& application) {
    const Object find = application.getObject("Selection").getObject("Find");
    find.put("MatchCase", false);
    find.put("forward", true);
    find.put("wrap", kWrapContinue);
    find.put("text", std::string(msg::HtmlTableMarker));
    find.call("Execute");
    return find.get("Found").toBool();
}

// Takes the marker paragraph out of the document and returns the file name it gives: the rest
// of the paragraph after the marker. The cursor then stands where the paragraph was.
std::string takeExternalMarker(const Object& application) {
    const Object selection = application.getObject("Selection");
    selection.call("MoveDown", Named{"Unit", kUnitParagraph}, Named{"Count", 1}, Named{"Extend", kExtend});
    const std::string text = selection.get("Text").toString();
    // The marker was found without regard to case, so it is taken out the same way.
    const std::string name = vb::replace(vb::left(text, vb::len(text) - 1), msg::HtmlTableMarker, "", 1, -1,
                                         vb::CompareMethod::Text);
    selection.call("Delete", Named{"count", 0});
    return name;
}

// Word takes the filled table in where the marker paragraph was; the copy is then deleted.
void insertExternalTable(const Object& application, const std::string& temporaryPath) {
    application.call("ChangeFileOpenDirectory", FolderOfPath(temporaryPath));
    application.getObject("Selection")
        .call("InsertFile", Named{"FileName", FileNameOfPath(temporaryPath)}, Named{"Range", ""},
              Named{"ConfirmConversions", false}, Named{"link", false}, Named{"Attachment", false});
    DeleteFileQuietly(temporaryPath);
}

void buildExternalTable(BuildProgress& progress, const Object& application, const Object& recordDocument,
                        const std::string& templatePath) {
    progress.step = step::ProcessingExternalTable;
    progress.stage = BuildStage::FetchingTemplate;
    progress.temporaryPath = FetchHtmlTemplate(templatePath, progress.htmlName);
    progress.stage = BuildStage::FillingTemplate;
    FillHtmlTemplate(progress.temporaryPath, recordDocument);
    progress.stage = BuildStage::InsertingTemplate;
    insertExternalTable(application, progress.temporaryPath);
    progress.stage = BuildStage::Tags;
}

void buildInlineTable(BuildProgress& progress, const Object& document, const Object& recordDocument,
                      const Object& quoteRows) {
    progress.step = step::ProcessingInlineTable;
    const Object tables = document.getObject("Tables");
    const Object table = tables.call("item", tables.get("count")).toObject();
    fillInlineLines(table, quoteRows);
    progress.step = step::ProcessingInlineHeaders;
    fillInlineHeaders(table, recordDocument);
}

std::string failureText(const BuildProgress& progress, const Error& error) {
    const std::string description = error.description();
    switch (progress.stage) {
        case BuildStage::FetchingTemplate:
            return std::string(msg::HtmlTemplateFetchFailedStart) + progress.htmlName +
                   std::string(msg::HtmlTemplateNameEnd) + description + std::string(text::LineBreak) +
                   std::string(msg::HtmlTemplateFetchFailedEnd);
        case BuildStage::FillingTemplate:
            return std::string(msg::HtmlTemplateFillFailedStart) + progress.htmlName +
                   std::string(msg::HtmlTemplateNameEnd) + description + std::string(text::LineBreak) +
                   std::string(msg::HtmlTemplateFillFailedEnd);
        case BuildStage::InsertingTemplate:
            return std::string(msg::HtmlTemplateInsertFailedStart) + progress.temporaryPath +
                   std::string(msg::HtmlTemplateInsertFailedEnd) + description;
        case BuildStage::Tags:
            break;
    }
    return std::string(msg::QuoteTagsFailed) + description + std::string(text::LineBreak) +
           std::string(msg::QuoteStepInformation) + progress.step.text();
}

}  // namespace

bool BuildQuoteDocument(RecordTagLists& tags, const Object& recordDocument, const Object& application,
                        const Object& document, const std::string& templatePath, std::string_view replaceInHeader) {
    BuildProgress progress;
    const std::optional<Error> error = tryLocal([&] {
        progress.step = step::SearchingExternalTable;
        const bool external = findExternalMarker(application);
        if (external) progress.htmlName = takeExternalMarker(application);
        if (external || document.getObject("Tables").get("count").toI4() >= 1) {
            progress.step = step::RetrievingQuoteRows;
            const Object quoteRows = recordDocument.call("selectSingleNode", "Data/quoterows").toObject();
            if (external)
                buildExternalTable(progress, application, recordDocument, templatePath);
            else
                buildInlineTable(progress, document, recordDocument, quoteRows);
        } else {
            tell(msg::QuoteNoLineTable, Icon::Information, Title::lumora());
        }
        progress.step = step::ExtractingTagData;
        ExtractTagData(tags, recordDocument);
        progress.step = step::PerformingReplacement;
        for (size_t i = 0; i < tags.TagList.size(); ++i) {
            checkCancelled();
            ReplaceOneTag(tags, document, application, i, replaceInHeader);
        }
        document.call("Range", Named{"Start", 0}, Named{"End", 0}).toObject().call("Select");
    });
    if (!error) return true;
    // The filled copy is of no use once the build has stopped.
    if (!progress.temporaryPath.empty()) DeleteFileQuietly(progress.temporaryPath);
    // A call nobody waits for any more ends in its member's own failure path.
    if (cancelRequested()) raise(*error);
    if (progress.stage == BuildStage::Tags)
        tell(failureText(progress, *error));
    else
        tell(failureText(progress, *error), Icon::Critical, Title::lumora());
    return false;
}

std::string NullToText(const Variant& value) {
    if (value.isNull()) return std::string();
    return value.toString();
}

std::string QuoteHeaderKey(std::string_view text) {
    std::string key;
    key.reserve(text.size());
    // Every character named here is a single byte in UTF-8, so no other character is touched.
    for (const char c : text) {
        if (c == '<' || c == '>' || static_cast<unsigned char>(c) < 32) continue;
        key += c == ' ' ? '_' : c;
    }
    return key;
}

}  // namespace lumora::control
