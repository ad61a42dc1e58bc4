// Quotes built in Word from a quote template and the quote's record document: left open
// (optionally saved or exported as PDF) by WordQuote, or put into a new e-mail by WordQuoteHtml.
// Both open Word on the template and let BuildQuoteDocument fill the line table and the tags.

#include "Automation/class_ids.hpp"
#include "Control/calendar/mail_addressing.hpp"
#include "Control/frame/control_messages.hpp"
#include "Control/frame/failure_forms.hpp"
#include "Control/frame/members.hpp"
#include "Control/frame/outside_apps.hpp"
#include "Control/frame/private_operations.hpp"
#include "html_mail_body.hpp"
#include "letter_output.hpp"
#include "quote_builder.hpp"
#include "quote_mail.hpp"
#include "quote_paths.hpp"

namespace lumora::control {

namespace {

// The members' arguments by position.
enum WordQuoteArgument : size_t { XmlDoc, Template, SavePath, MakeWordVisible, ReplaceInHeader };
enum WordQuoteHtmlArgument : size_t {
    HtmlXmlDoc,
    Address,
    Subject,
    MailType,
    AddressType,
    HtmlTemplate,
    Format,
    HtmlSavePath,
    HtmlReplaceInHeader,
    HtmlMakeWordVisible,
    QuoteFileName,
};

// Where a quote member is in its work; a failure is told by the stage it stopped in.
enum class QuoteStage { OpeningWord, Building };

// The control's own quote errors (0x800403EA to 0x800403EF) carry descriptions meant for the
// user; any other failure is reported in general terms.
std::string quoteFailureResult(const Error& e) {
    constexpr int32_t kFirstQuoteError = static_cast<int32_t>(0x800403EAu);
    constexpr int32_t kLastQuoteError = static_cast<int32_t>(0x800403EFu);
    if (e.number() >= kFirstQuoteError && e.number() <= kLastQuoteError) return e.description();
    return std::string(msg::QuoteUnknownError);
}

// Word could not be started or could not open the template: the Word that was started quits
// without saving, and the user is told. The result text is the member's result.
Variant openingFailure(Object& word, Object& document, const Error& e) {
    if (word) {
        ResumeNext ignoring;
        ignoring([&] { word.call("Quit", false); });
    }
    document.release();
    word.release();
    std::string result = quoteFailureResult(e);
    tell(std::string(msg::QuoteGenerationFailedStart) + result, Icon::Exclamation,
         Title::own(msg::QuoteGenerationFailedTitle));
    return Variant(result);
}

// Any later failure: the references go, and the user is told the error.
Variant buildingFailure(Object& word, Object& document, const Error& e) {
    document.release();
    word.release();
    tell(std::string(msg::QuoteInsertFailed) + e.description());
    return emptyText();
}

// Starts Word, shown at once when the page asks for it; false, after telling the user, when no
// Word was obtained.
bool startWord(Object& word, const std::string& makeVisible) {
    word = createApplication(progid::Word);
    if (word.isNothing()) {
        tell(msg::CannotStartWord, Icon::Exclamation, Title::lumora());
        return false;
    }
    if (makeVisible == msg::MakeWordVisible) word.put("Visible", true);
    return true;
}

Object openOnTemplate(const Object& word, const std::string& templatePath) {
    Object document = word.getObject("Documents").call("Add", templatePath).toObject();
    document.call("Select");
    return document;
}

// A quote that could not be completed is not left behind in a Word nobody sees.
void closeUnfinishedQuote(Object& word, Object& document) {
    ResumeNext ignoring;
    ignoring([&] { word.call("Quit", false); });
    document.release();
    word.release();
}

std::string quoteFileBaseName(const Params& params) {
    const std::string& quoteFileName = params.str(QuoteFileName);
    return BaseFileName(quoteFileName.empty() ? params.str(HtmlTemplate) : quoteFileName);
}

// The temporary file a mailed quote leaves, and its picture folder, once the mail holds it.
void deleteQuoteFile(const std::string& path, QuoteMailForm form) {
    if (path.empty()) return;
    deleteFileForced(path);
    if (isWebPage(form)) deletePictureFolder(path);
}

}  // namespace

Variant WordQuote(LumoraCtrl2005& control, Params& params) {
    const std::string& templatePath = params.str(Template);
    const std::string& savePath = params.str(SavePath);
    QuoteStage stage = QuoteStage::OpeningWord;
    LetterStage saving = LetterStage::ReplacingTags;
    Object word;
    Object document;
    return trapped(
        [&]() -> Variant {
            if (!startWord(word, params.str(MakeWordVisible))) return emptyText();
            document = openOnTemplate(word, templatePath);
            stage = QuoteStage::Building;
            if (!BuildQuoteDocument(control.state().tags, params[XmlDoc].toObject(), word, document, templatePath,
                                    params.str(ReplaceInHeader))) {
                closeUnfinishedQuote(word, document);
                return emptyText();
            }
            saveLetter(document, savePath, saving);
            word.put("Visible", true);
            return emptyText();
        },
        [&](const Error& e) -> Variant {
            if (stage == QuoteStage::OpeningWord) return openingFailure(word, document, e);
            if (saving != LetterStage::Saving) return buildingFailure(word, document, e);
            tell(std::string(msg::QuoteSaveFailedStart) + savePath + std::string(msg::QuoteSaveFailedMiddle) +
                     e.description() + std::string(msg::QuoteSaveFailedEnd),
                 Icon::Exclamation);
            // The quote that could not be saved is shown, so the user can save it by hand.
            tryLocal([&] { word.put("Visible", true); });
            return emptyText();
        });
}

Variant WordQuoteHtml(LumoraCtrl2005& control, Params& params) {
    ControlState& state = control.state();
    const std::string& templatePath = params.str(HtmlTemplate);
    const QuoteMailForm form = quoteMailFormOf(params.str(Format));
    QuoteStage stage = QuoteStage::OpeningWord;
    std::string quoteFile;
    Object word;
    Object document;
    return trapped(
        [&]() -> Variant {
            if (!startWord(word, params.str(HtmlMakeWordVisible))) return emptyText();
            document = openOnTemplate(word, templatePath);
            stage = QuoteStage::Building;
            // The mail is prepared whether or not the quote was completed.
            BuildQuoteDocument(state.tags, params[HtmlXmlDoc].toObject(), word, document, templatePath,
                               params.str(HtmlReplaceInHeader));

            reachOutlook(state.outlook, OutlookWay::Create);
            const Object mail = state.outlook.MailItem =
                state.outlook.OutlookApp.call("CreateItem", kMailItem).toObject();
            params.writeBack(Address, Variant(RecipientAddress(params.str(Address), params.str(AddressType),
                                                               params.str(MailType))));
            mail.getObject("Recipients").call("Add", params.str(Address));
            mail.put("Subject", MailSubject(params.str(Subject), params.str(MailType)));
            quoteFile = writeQuoteFile(document, form, GetTempFolderPath() + quoteFileBaseName(params));
            putQuoteInMail(mail, form, quoteFile);
            mail.call("display");
            cleanUpOutlook(state);

            saveQuoteCopy(document, params.str(HtmlSavePath));
            document.call("Close");
            word.call("Quit");
            document.release();
            word.release();
            deleteQuoteFile(quoteFile, form);
            return emptyText();
        },
        [&](const Error& e) -> Variant {
            if (stage == QuoteStage::OpeningWord) return openingFailure(word, document, e);
            cleanUpOutlook(state);
            deleteQuoteFile(quoteFile, form);
            return buildingFailure(word, document, e);
        });
}

}  // namespace lumora::control
