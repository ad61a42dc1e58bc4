// Letters in Word from a record document and a template: the ordinary letter (optionally saved
// or mailed), the seminar letter, and the withdrawn contact letter.

#include "Control/frame/control_messages.hpp"
#include "Control/frame/failure_forms.hpp"
#include "Control/frame/members.hpp"
#include "Control/frame/unbuilt_work.hpp"

namespace lumora::control {

namespace {

struct LetterStages {
    const char* routine;
    // Builds the message for a failure to start Word, and for one to open the template.
    std::string (*startingWordFailed)(const Error&);
    std::string (*openingTemplateFailed)(const std::string& templatePath, const Error&);
};

// Both letters start Word, refuse an empty template (Word stays started, not visible, and no
// document is made) and then open a new document on the template.
void letterWorkNotAvailable(const LetterStages& stages, const std::string& templatePath) {
    Object word;
    if (auto error = tryLocal([&] { word = createApplication(progid::Word); })) {
        tell(stages.startingWordFailed(*error));
        return;
    }
    if (templatePath.empty()) {
        tell(msg::NoTemplateSpecified, Icon::Exclamation);
        return;
    }
    if (auto error = tryLocal([&] { workNotAvailable(stages.routine); }))
        tell(stages.openingTemplateFailed(templatePath, *error));
}

const LetterStages kSeminarLetter{
    "CreateSeminarLetterXML",
    [](const Error& e) { return std::string(msg::SeminarStartingWordFailed) + e.description(); },
    [](const std::string& path, const Error& e) {
        return std::string(msg::SeminarOpeningTemplateStart) + path + std::string(msg::SeminarOpeningTemplateEnd) +
               e.description();
    },
};

const LetterStages kLetter{
    "CreateLetterXML",
    [](const Error&) { return std::string(msg::LetterStartingWordFailed); },
    [](const std::string& path, const Error&) {
        return std::string(msg::LetterOpeningTemplateStart) + path + std::string(msg::LetterOpeningTemplateEnd);
    },
};

}  // namespace

Variant CreateSeminarLetterXML(LumoraCtrl2005&, Params& params) {
    letterWorkNotAvailable(kSeminarLetter, params.str(1));
    return emptyResult();
}

Variant CreateLetterXML(LumoraCtrl2005&, Params& params) {
    letterWorkNotAvailable(kLetter, params.str(1));
    return emptyResult();
}

Variant CreateContactLetter(LumoraCtrl2005&, Params&) {
    // No error trap: the member only says that it is gone.
    tell(msg::InterfaceRemoved);
    return emptyResult();
}

}  // namespace lumora::control
