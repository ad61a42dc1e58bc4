#pragma once
// Letters made by the control through the automation layer, as a page calls the letter members:
// the sample templates and records in a private folder, the headless desktop's transcript.

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "Control/frame/control.hpp"
#include "Host/sample_template.hpp"
#include "Platform/Xml/register.hpp"
#include "tests/Control/support/word_fixture.hpp"

namespace lumora {

// What a shell command prints (LibreOffice converting, pdftotext reading).
inline std::string commandOutput(const std::string& command) {
    std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(command.c_str(), "r"), pclose);
    std::string out;
    char buffer[4096];
    while (pipe && fgets(buffer, sizeof buffer, pipe.get())) out += buffer;
    return out;
}

namespace testing {

// Runs body with PATH holding no programs, so LibreOffice cannot be found.
template <class Body>
void withoutOffice(const std::filesystem::path& emptyFolder, Body&& body) {
    const std::string saved = std::getenv("PATH") ? std::getenv("PATH") : "";
    std::filesystem::create_directories(emptyFolder);
    ::setenv("PATH", emptyFolder.c_str(), 1);
    body();
    ::setenv("PATH", saved.c_str(), 1);
}

}  // namespace testing

class Letters : public testing::WordFixture {
protected:
    void SetUp() override {
        WordFixture::SetUp();
        samples = host::writeSampleDocuments(temp.path() / "samples");
    }

    // CreateLetterXML with the sample letter record, as a page calls it.
    void createLetter(const std::string& templatePath, const std::string& savePath, const std::string& email = "",
                      const std::string& mode = "HTML") {
        call("CreateLetterXML", host::sampleLetterRecord(), templatePath, email, mode, savePath, "Your letter");
    }

    void createSeminarLetter(const std::string& templatePath, const std::string& savePath,
                             std::string_view record = host::sampleSeminarRecord()) {
        call("CreateSeminarLetterXML", record, templatePath, "", "HTML", savePath, std::nullopt);
    }
    // CreateLetterXML with a record of the letter layout of the test's own.
    void createLetterFrom(std::string_view record, const std::string& templatePath, const std::string& savePath) {
        call("CreateLetterXML", record, templatePath, "", "HTML", savePath, "Your letter");
    }

    host::SampleDocuments samples;

private:
    void call(const char* member, std::string_view record, const std::string& templatePath, const std::string& email,
              const std::string& mode, const std::string& savePath, std::optional<std::string> subject) {
        Object xml = xml::createXmlDocument();
        xml.call("loadXML", std::string(record));
        Variant xmlDoc(xml), tpl(templatePath), address(email), mailMode(mode), save(savePath), header("true"),
            emailSubject(subject.value_or(""));
        if (subject)
            control.call(member, ByRef{xmlDoc}, ByRef{tpl}, ByRef{address}, ByRef{mailMode}, ByRef{save},
                         ByRef{header}, ByRef{emailSubject});
        else
            control.call(member, ByRef{xmlDoc}, ByRef{tpl}, ByRef{address}, ByRef{mailMode}, ByRef{save},
                         ByRef{header});
    }

    Object control = makeObject<control::LumoraCtrl2005>();
};

}  // namespace lumora
