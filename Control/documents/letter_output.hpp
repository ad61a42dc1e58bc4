#pragma once
// What happens to a finished letter: saved under the page's path (as PDF when the path asks for
// it), or mailed through Outlook as an attachment or as the HTML body of a new e-mail.

#include <string>

#include "Automation/object.hpp"
#include "Automation/traps.hpp"
#include "Control/frame/control.hpp"

namespace lumora::control {

// Where a letter member is in its work; each member words a failure by the stage it stopped in.
enum class LetterStage { ReadingTags, StartingWord, OpeningTemplate, ReplacingTags, ListTables, Saving, Mailing };

// Exports the document as PDF to `path`. False, after telling the user, when the export failed.
bool ExportToPdf(const Object& document, const std::string& path);

// Whether a save path asks for a PDF: it ends in "pdf", in any capitals.
bool namesPdf(const std::string& path);

// Saves the document when savePath is given: a path ending in "pdf" (any capitals) is exported
// as PDF, and saved in Word's own format under the same name when that fails. The stage becomes
// Saving for the saves themselves.
void saveLetter(const Object& document, const std::string& savePath, LetterStage& stage);

// Saves the document as a web page (Word's HTML format, 8) at path; Word puts its pictures in
// the folder beside it.
void saveAsWebPage(const Object& document, const std::string& path);

// What CreateLetterXML's e-mail needs.
struct LetterMail {
    std::string address;
    std::string mode;     // "HTML" puts the letter into the body; anything else attaches it
    std::string subject;
    std::string tempFolder;
};

// Builds and shows the e-mail: Word is closed without saving once the letter has been written to
// a temporary file, which is deleted when the e-mail is on screen. The step says how far it got.
void mailLetter(ControlState& state, Object& word, Object& document, const LetterMail& mail, StepText& step);

}  // namespace lumora::control
