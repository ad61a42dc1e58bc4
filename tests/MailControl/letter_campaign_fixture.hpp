#pragma once
// A mail-campaign control on the headless desktop with the real XML, word processor and file
// system stand-ins registered, a temporary folder for the merge's files and a letter template.

#include <filesystem>
#include <string>

#include "Platform/Files/register.hpp"
#include "Platform/Word/register.hpp"
#include "Platform/Xml/register.hpp"
#include "tests/Control/support/deliverable_fixture.hpp"
#include "tests/support/docx_files.hpp"

namespace lumora::testing {

class LetterCampaignTest : public DeliverableTest {
protected:
    void SetUp() override {
        DeliverableTest::SetUp();
        xml::registerXmlClasses(Registry::instance());
        word::registerWordClasses(Registry::instance());
        files::registerFileClasses(Registry::instance());
        mail = create("LumoraMailContl.LumoraMailCtrl");
        temp = dataFolder() / "temp";
        std::filesystem::create_directories(temp);
        templatePath = (dataFolder() / "letter.docx").string();
    }
    // The template's body: WordprocessingML paragraphs.
    void writeTemplate(const std::string& body) { writeDocx(templatePath, withBody(body)); }
    Object recipientDocument(const std::string& markup) {
        Object doc = create("Msxml2.DOMDocument");
        doc.call("loadXML", markup);
        return doc;
    }
    // RunCampaign for letters; "1" merges in the progress window, anything else directly.
    std::string runLetterCampaign(const std::string& markup, const std::string& templateFile,
                                  const std::string& mergeInWindow) {
        Variant recipients(recipientDocument(markup));
        return mail.call("RunCampaign", ByRef{recipients}, "2", "", "", templateFile, "", mergeInWindow).toString();
    }

    Object mail;
    std::filesystem::path temp;
    std::string templatePath;
};

}  // namespace lumora::testing
